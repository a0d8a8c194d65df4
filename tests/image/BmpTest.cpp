#include "image/uBmp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BmpFiles.h"
#include "TestImages.h"
#include "common/uError.h"
#include "common/uFileIO.h"

namespace tracemill {
namespace {

using testing::BmpFile;
using testing::InfoHeader;
using testing::Le;
using testing::Near;
using testing::Refused;
using testing::ReadPicture;

const TImageLimits& kLimits = testing::kTestLimits;

const std::string kBmpCorpus = testing::kCorpus + "bmp/";

std::string ReadCorpus(const std::string& name) { return ReadFileBytes(kBmpCorpus + name); }
TBitmap Reference(const std::string& stem) { return ReadPicture(kBmpCorpus + "reference/" + stem + ".png"); }

TEST(BmpReader, EveryGoodSuiteFileMatchesItsReferenceRendering) {
  // Files rendered by a reference of another name; the rest by their own.
  const std::map<std::string, std::string> shared = {
      {"pal1wb", "pal1"},          {"pal4rle", "pal4"},     {"pal8-0", "pal8"},      {"pal8rle", "pal8"},
      {"pal8topdown", "pal8"},     {"pal8os2", "pal8"},     {"pal8v4", "pal8"},      {"pal8v5", "pal8"},
      {"pal8nonsquare", "pal8nonsquare-e"}, {"rgb16bfdef", "rgb16"}, {"rgb16-565pal", "rgb16-565"},
      {"rgb24pal", "rgb24"},       {"rgb32", "rgb24"},      {"rgb32bf", "rgb24"},    {"rgb32bfdef", "rgb24"}};
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kBmpCorpus + "g")) {
    const std::string stem = entry.path().stem().string();
    SCOPED_TRACE(stem);
    const auto it = shared.find(stem);
    TBitmap loaded;
    ASSERT_NO_THROW(LoadBmpFile(entry.path().string(), loaded, kLimits));
    EXPECT_TRUE(Near(loaded, Reference(it == shared.end() ? stem : it->second)));
    // The same from memory, and from a stream that holds the file after other bytes.
    const std::string data = ReadFileBytes(entry.path().string());
    EXPECT_EQ(DecodeBmp(data, kLimits), loaded);
    std::istringstream in("prefix" + data);
    in.seekg(6);
    EXPECT_EQ(ReadBmp(in, kLimits), loaded);
    ++checked;
  }
  EXPECT_EQ(checked, 27);
}

TEST(BmpReader, EveryBadSuiteFileIsRefusedAndTheTargetKept) {
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kBmpCorpus + "b")) {
    const std::string path = entry.path().string();
    const TBitmap before = testing::Filled(2, 2, 0xFF123456);
    TBitmap target = before;
    EXPECT_TRUE(Refused([&] { LoadBmpFile(path, target, kLimits); }, {path, "Invalid BMP data: "}));
    EXPECT_EQ(target, before) << path;
    ++checked;
  }
  EXPECT_EQ(checked, 20);
  std::istringstream notBmp("GIF89a...");
  EXPECT_TRUE(Refused([&] { ReadBmp(notBmp, kLimits); }));
  TBitmap target;
  EXPECT_TRUE(Refused([&] { LoadBmpFile(kBmpCorpus + "no-such-file.bmp", target, kLimits); }));
}

TEST(BmpReader, QuestionableFilesDecodeSensiblyOrAreRefused) {
  // Those a careful reader is expected to decode exactly.
  const std::map<std::string, std::string> exact = {
      {"pal2", "pal2"},           {"pal2color", "pal2color"}, {"pal8offs", "pal8"},       {"pal8os2-hs", "pal8"},
      {"pal8os2-sz", "pal8"},     {"pal8os2sp", "pal8"},      {"pal8os2v2", "pal8"},      {"pal8os2v2-16", "pal8"},
      {"pal8os2v2-sz", "pal8"},   {"pal8os2v2-40sz", "pal8"}, {"pal8oversizepal", "pal8"}, {"rgb24largepal", "rgb24"},
      {"rgb24prof", "rgb24"},     {"rgb24lprof", "rgb24"},    {"rgb32h52", "rgb24"},      {"rgb32-xbgr", "rgb24"},
      {"rgb32fakealpha", "rgb24"}, {"rgb16-231", "rgb16-231"}, {"rgb16-3103", "rgb16-3103"}};
  // The bitmap array: its first picture.
  EXPECT_TRUE(Near(DecodeBmp(ReadCorpus("x/ba-bm.bmp"), kLimits), Reference("pal8")));
  int decoded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kBmpCorpus + "q")) {
    const std::string stem = entry.path().stem().string();
    SCOPED_TRACE(stem);
    try {
      const TBitmap b = DecodeBmp(ReadFileBytes(entry.path().string()), kLimits);
      EXPECT_EQ(b.Width(), 127);
      EXPECT_EQ(b.Height(), 64);
      if (const auto it = exact.find(stem); it != exact.end()) {
        EXPECT_TRUE(Near(b, Reference(it->second)));
      }
      ++decoded;
    } catch (const FileError&) {
      EXPECT_EQ(exact.count(stem), 0u) << "refused";
    }
  }
  EXPECT_GE(decoded, 30);
}

TEST(BmpReader, EveryTruncationOfAValidFileIsRefusedCleanly) {
  for (const char* name : {"g/pal8rle.bmp", "g/pal8os2.bmp", "g/rgb16-565.bmp", "g/rgb24.bmp"}) {
    SCOPED_TRACE(name);
    const std::string whole = ReadCorpus(name);
    ASSERT_NO_THROW(DecodeBmp(whole, kLimits));
    const bool rle = std::string(name).find("rle") != std::string::npos;
    for (std::size_t n = 0; n < whole.size(); n += (n < 1200 ? 1 : 31)) {
      // Make the file header and the image size agree with the cut, so that
      // the reader has to notice the missing data itself.
      std::string cut = whole.substr(0, n);
      if (n >= 6) cut.replace(2, 4, Le(4, {std::uint32_t(n)}));
      if (n >= 38 && whole[14] != 12) cut.replace(34, 4, Le(4, {0}));
      if (rle) {
        // RLE data may end early by design: a picture of the right size or an error.
        try {
          EXPECT_EQ(DecodeBmp(cut, kLimits).Width(), 127) << n;
        } catch (const FileError&) {
        }
      } else {
        EXPECT_THROW(DecodeBmp(cut, kLimits), FileError) << n;
      }
    }
  }
}

TEST(BmpReader, PicturesBeyondTheLimitAreRefusedBeforeAllocationNamingSizeAndLimit) {
  const std::string rgb24 = ReadCorpus("g/rgb24.bmp");  // 127 x 64
  EXPECT_EQ(DecodeBmp(rgb24, TImageLimits{127 * 64 * 4}).Width(), 127);
  // RLE files of a huge size with nothing in them (60 bytes, just the end of
  // the bitmap): refused by the limit, not by running out of memory.
  const auto emptyRle = [](int w, int h) {
    return BmpFile(InfoHeader(w, h, 8, 1, 1, 2) + Le(4, {0}), Le(1, {0, 1}));
  };
  ASSERT_EQ(emptyRle(32000, 32000).size(), 60u);
  EXPECT_EQ(DecodeBmp(emptyRle(1000, 1000), TImageLimits{1000 * 1000 * 4}).Width(), 1000);
  const struct {
    std::string file;
    std::uint64_t limit;
    std::vector<std::string_view> named;
  } refused[] = {
      {rgb24, 127 * 64 * 4 - 1, {"127 x 64 pixels", "32512 bytes", "limit is 32511 bytes"}},
      {emptyRle(32000, 32000), 256 << 20, {"32000 x 32000 pixels", "3906.2 MiB", "limit is 256.0 MiB"}},
      {emptyRle(1000, 1000), 1000 * 999 * 4, {"1000 x 1000 pixels"}},
      {emptyRle(40000, 30000), TBitmap::kMaxBytes, {"40000 x 30000 pixels", "limit is 4096.0 MiB"}}};
  for (const auto& [file, limit, named] : refused)
    EXPECT_TRUE(Refused([&] { DecodeBmp(file, TImageLimits{limit}); }, named));
}

TEST(BmpReader, PixelsOutsideTheColourTableAreRefused) {
  // Colour tables of two entries (black, white); one index below the table's
  // size and one equal to it, in every coding that has a colour table. The
  // table's size comes from biClrUsed, or from the room before the pixels.
  const std::string two = Le(4, {0, 0xFFFFFF});
  const struct {
    const char* what;
    std::string info;  // header and colour table
    std::string inTable, pastTable;  // pixel data
  } cases[] = {
      {"1 bit, 1 colour", InfoHeader(1, 1, 1, 0, 1) + Le(4, {0}), Le(1, {0x00, 0, 0, 0}), Le(1, {0x80, 0, 0, 0})},
      {"4 bits", InfoHeader(1, 1, 4, 0, 2) + two, Le(1, {0x10, 0, 0, 0}), Le(1, {0x20, 0, 0, 0})},
      {"8 bits", InfoHeader(1, 1, 8, 0, 2) + two, Le(1, {1, 0, 0, 0}), Le(1, {2, 0, 0, 0})},
      {"8 bits, table cut by the pixel offset", InfoHeader(1, 1, 8, 0, 0) + two, Le(1, {1, 0, 0, 0}),
       Le(1, {2, 0, 0, 0})},
      {"RLE8 run", InfoHeader(1, 1, 8, 1, 2) + two, Le(1, {1, 1, 0, 1}), Le(1, {1, 2, 0, 1})},
      {"RLE8 literal", InfoHeader(3, 1, 8, 1, 2) + two, Le(1, {0, 3, 1, 0, 1, 0, 0, 1}),
       Le(1, {0, 3, 1, 2, 1, 0, 0, 1})},
      {"RLE4 run", InfoHeader(2, 1, 4, 2, 2) + two, Le(1, {2, 0x01, 0, 1}), Le(1, {2, 0x12, 0, 1})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NO_THROW(DecodeBmp(BmpFile(c.info, c.inTable), kLimits));
    EXPECT_TRUE(Refused([&] { DecodeBmp(BmpFile(c.info, c.pastTable), kLimits); },
                        {"a pixel refers to a colour the colour table does not hold"}));
  }
  // The same from a plug-in's header and rows.
  const std::string info = InfoHeader(2, 1, 8, 0, 2) + two;
  EXPECT_EQ(BitmapFromDib(info, Le(1, {1, 0, 0, 0}), kLimits).Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_THROW(BitmapFromDib(info, Le(1, {1, 2, 0, 0}), kLimits), FileError);
}

TEST(BmpReader, RleCodesPlacePixelsWhereTheyBelong) {
  // 4 x 3, RLE8, palette: 0 black, 1 red, 2 green, 3 blue.
  const std::string palette = Le(4, {0, 0xFF0000, 0x00FF00, 0x0000FF});
  const std::string info = InfoHeader(4, 3, 8, 1, 4) + palette;
  // Bottom row red red, then a literal of 3 after 2 pixels runs past the row.
  EXPECT_THROW(DecodeBmp(BmpFile(info, Le(1, {2, 1, 0, 3, 2, 3, 2, 0})), kLimits), FileError);

  const TBitmap b = DecodeBmp(BmpFile(info, Le(1, {2, 1,              // (0,bottom) (1,bottom) red
                                                   0, 0,              // end of line
                                                   0, 2, 1, 1,        // right 1, up 1 -> x 1 of the top row
                                                   0, 3, 2, 3, 2, 0,  // green blue green, padded to even
                                                   0, 1,              // end of bitmap
                                                   9, 9})),           // ignored
                              kLimits);
  const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, black = 0xFF000000;
  const std::uint32_t want[3][4] = {{black, green, blue, green},  // top row
                                    {black, black, black, black},
                                    {red, red, black, black}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Pixel(x, y), want[y][x]) << x << "," << y;

  // RLE4: alternate nibbles.
  const TBitmap b4 = DecodeBmp(BmpFile(InfoHeader(4, 1, 4, 2, 4) + palette, Le(1, {3, 0x12, 0, 1})), kLimits);
  EXPECT_EQ(b4.Pixel(0, 0), red);
  EXPECT_EQ(b4.Pixel(1, 0), green);
  EXPECT_EQ(b4.Pixel(2, 0), red);
}

TEST(BmpReader, PlugInDibsConvertWithoutReadingPastTheirBuffers) {
  // 3 x 2, 8 bits, two colours; rows bottom-up, padded to 4 bytes.
  const std::string info = InfoHeader(3, 2, 8, 0, 2) + Le(4, {0x000000, 0xFFFFFF});
  const std::string bits = Le(1, {1, 0, 1, 0, 0, 1, 0, 0});
  const TBitmap b = BitmapFromDib(info, bits, kLimits);
  EXPECT_EQ(b.Pixel(0, 1), 0xFFFFFFFFu);  // bottom row first
  EXPECT_EQ(b.Pixel(1, 1), 0xFF000000u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFFFFFFFFu);
  // The last row may lack its padding, but not its pixels.
  EXPECT_EQ(BitmapFromDib(info, bits.substr(0, 7), kLimits), b);
  EXPECT_THROW(BitmapFromDib(info, bits.substr(0, 6), kLimits), FileError);
  // A colour table cut short, and a header cut short.
  EXPECT_THROW(BitmapFromDib(info.substr(0, 44), bits, kLimits), FileError);
  EXPECT_THROW(BitmapFromDib(info.substr(0, 30), bits, kLimits), FileError);

  // Top-down 24-bit rows, and a packed DIB.
  const std::string top = InfoHeader(1, -2, 24);
  const std::string rows = Le(1, {1, 2, 3, 0, 4, 5, 6, 0});
  const TBitmap t = BitmapFromDib(top, rows, kLimits);
  EXPECT_EQ(t.Pixel(0, 0), 0xFF030201u);
  EXPECT_EQ(t.Pixel(0, 1), 0xFF060504u);
  EXPECT_EQ(BitmapFromPackedDib(top + rows, kLimits), t);
  EXPECT_EQ(BitmapFromPackedDib(info + bits, kLimits), b);
  EXPECT_THROW(BitmapFromPackedDib(top + rows.substr(0, 5), kLimits), FileError);
}

TEST(BmpReader, BitFieldMasksAreScaledToEightBitsAndCheckedForSense) {
  // 16 bits, 5-6-5 masks after a 40-byte header.
  const std::string pixels = Le(2, {0xF800, 0x0410});  // full red; green 32 of 63 -> 130, blue 16 of 31 -> 132
  const TBitmap b = DecodeBmp(BmpFile(InfoHeader(2, 1, 16, 3) + Le(4, {0xF800, 0x07E0, 0x001F}), pixels), kLimits);
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF008284u);
  // A green mask with a hole, masks that overlap, a red mask beyond 16 bits.
  for (auto [red, green] : {std::pair{0xF000u, 0x0A00u}, {0xF800u, 0x0FE0u}, {0xF8000u, 0x07E0u}}) {
    EXPECT_THROW(DecodeBmp(BmpFile(InfoHeader(2, 1, 16, 3) + Le(4, {red, green, 0x001F}), pixels), kLimits),
                 FileError)
        << std::hex << red << " " << green;
  }
}

TEST(BmpWriter, FileHeaderFollowsTheDibsBitCountAndColourTable) {
  const struct {
    const char* what;
    std::string dib;
    std::uint32_t fileSize, offset;
  } cases[] = {
      // 8 bits, biClrUsed 0: a full table of 256 entries, pixels at 1078.
      {"8 bits", InfoHeader(3, 2, 8) + std::string(1024, '\x11') + std::string(8, '\x01'), 1086, 1078},
      // 4 bits with biClrUsed 3: three entries; rows of 3 pixels take 4 bytes;
      // bytes after the pixels are not part of the file.
      {"4 bits", InfoHeader(3, 1, 4, 0, 3) + std::string(12, '\0') + Le(1, {0x12, 0, 0, 0}) + "trailing", 70, 66},
      // 24 bits, 3 pixels wide: rows of 12 bytes, pixels at 54; top-down sized by |height|.
      {"24 bits", InfoHeader(3, -2, 24) + std::string(24, '\x7F'), 78, 54},
      // Bit fields behind a 40-byte header: three masks before the pixels.
      {"bit fields", InfoHeader(1, 1, 16, 3) + Le(4, {0xF800, 0x07E0, 0x001F}) + Le(2, {0, 0}), 70, 66}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(BmpFileHeader(c.dib), "BM" + Le(4, {c.fileSize, 0, c.offset}));
    // Short by one byte, and far too short: refused, never read past the end.
    const std::size_t needed = c.fileSize - kBmpFileHeaderSize;
    EXPECT_THROW(BmpFileHeader(std::string_view(c.dib).substr(0, needed - 1)), FileError);
    EXPECT_THROW(BmpFileHeader(std::string_view(c.dib).substr(0, 39)), FileError);
  }
  // What the header describes is what the reader reads.
  const std::string dib24 = InfoHeader(2, 1, 24) + Le(1, {1, 2, 3, 4, 5, 6, 0, 0});
  EXPECT_EQ(DecodeBmp(BmpFileHeader(dib24) + dib24, kLimits).Pixel(1, 0), 0xFF060504u);
}

TEST(BmpWriter, WholeFilesOfBitmapsReadBackPixelForPixel) {
  // Widths 1 to 5 cover every row padding of 24-bit rows.
  for (int w = 1; w <= 5; ++w) {
    SCOPED_TRACE(w);
    TBitmap bitmap(w, 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < w; ++x) bitmap.SetColor(x, y, 0x102030u * std::uint32_t(x + 1) + 0x0F0000u * std::uint32_t(y));
    const std::string file = EncodeBmp(bitmap);
    EXPECT_EQ(file, testing::BmpFileOf(bitmap));
    EXPECT_EQ(DecodeBmp(file, kLimits), bitmap);
  }
}

}  // namespace
}  // namespace tracemill
