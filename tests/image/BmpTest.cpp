#include "image/uBmp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "TestImages.h"
#include "common/uError.h"
#include "common/uFileIO.h"

namespace tracemill {
namespace {

using testing::Near;
using testing::Refused;
using testing::ReadPicture;

const std::string kBmpCorpus = testing::kCorpus + "bmp/";

std::string ReadCorpus(const std::string& name) { return ReadFileBytes(kBmpCorpus + name); }
TBitmap Reference(const std::string& stem) { return ReadPicture(kBmpCorpus + "reference/" + stem + ".png"); }

// Little-endian bytes, `width` bytes per value.
std::string Le(int width, std::initializer_list<std::uint32_t> values) {
  std::string s;
  for (std::uint32_t v : values)
    for (int i = 0; i < width; ++i) s += char((v >> (8 * i)) & 0xFF);
  return s;
}

// A 40-byte BITMAPINFOHEADER.
std::string InfoHeader(int w, int h, unsigned bits, unsigned compression = 0, std::uint32_t used = 0,
                       std::uint32_t imageSize = 0) {
  return Le(4, {40, std::uint32_t(w), std::uint32_t(h)}) + Le(2, {1, bits}) +
         Le(4, {compression, imageSize, 2835, 2835, used, 0});
}

// A whole BMP file: file header, then info (header and colour table), then pixels.
std::string BmpFile(const std::string& info, const std::string& pixels) {
  const auto at = std::uint32_t(14 + info.size());
  return Le(2, {19778}) + Le(4, {at + std::uint32_t(pixels.size()), 0, at}) + info + pixels;
}

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
    ASSERT_NO_THROW(LoadBmpFile(entry.path().string(), loaded));
    EXPECT_TRUE(Near(loaded, Reference(it == shared.end() ? stem : it->second)));
    // The same from memory, and from a stream that holds the file after other bytes.
    const std::string data = ReadFileBytes(entry.path().string());
    EXPECT_EQ(DecodeBmp(data), loaded);
    std::istringstream in("prefix" + data);
    in.seekg(6);
    EXPECT_EQ(ReadBmp(in), loaded);
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
    EXPECT_TRUE(Refused([&] { LoadBmpFile(path, target); }, {path, "Invalid BMP data: "}));
    EXPECT_EQ(target, before) << path;
    ++checked;
  }
  EXPECT_EQ(checked, 20);
  std::istringstream notBmp("GIF89a...");
  EXPECT_TRUE(Refused([&] { ReadBmp(notBmp); }));
  TBitmap target;
  EXPECT_TRUE(Refused([&] { LoadBmpFile(kBmpCorpus + "no-such-file.bmp", target); }));
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
  EXPECT_TRUE(Near(DecodeBmp(ReadCorpus("x/ba-bm.bmp")), Reference("pal8")));
  int decoded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kBmpCorpus + "q")) {
    const std::string stem = entry.path().stem().string();
    SCOPED_TRACE(stem);
    try {
      const TBitmap b = DecodeBmp(ReadFileBytes(entry.path().string()));
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
  for (const char* name : {"g/pal4rle.bmp", "g/pal8rle.bmp", "g/pal8os2.bmp", "g/rgb16-565.bmp", "g/pal8v5.bmp",
                           "g/rgb24.bmp"}) {
    SCOPED_TRACE(name);
    const std::string whole = ReadCorpus(name);
    ASSERT_NO_THROW(DecodeBmp(whole));
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
          EXPECT_EQ(DecodeBmp(cut).Width(), 127) << n;
        } catch (const FileError&) {
        }
      } else {
        EXPECT_THROW(DecodeBmp(cut), FileError) << n;
      }
    }
  }
}

TEST(BmpReader, PicturesBeyondTheLimitAreRefusedBeforeAllocation) {
  const std::string file = ReadCorpus("g/rgb24.bmp");  // 127 x 64
  EXPECT_NO_THROW(DecodeBmp(file, TImageLimits{127 * 64 * 4}));
  EXPECT_TRUE(Refused([&] { DecodeBmp(file, TImageLimits{127 * 64 * 4 - 1}); }, {"too large"}));
  // RLE files of a huge size with nothing in them: refused by the limit, not by memory.
  const std::string endOfLine = Le(1, {0, 1});
  EXPECT_THROW(DecodeBmp(BmpFile(InfoHeader(40000, 30000, 8, 1, 1, 2) + Le(4, {0}), endOfLine)), FileError);
  const std::string big = BmpFile(InfoHeader(1000, 1000, 8, 1, 1, 2) + Le(4, {0}), endOfLine);
  EXPECT_THROW(DecodeBmp(big, TImageLimits{1000 * 999 * 4}), FileError);
  EXPECT_EQ(DecodeBmp(big, TImageLimits{1000 * 1000 * 4}).Width(), 1000);
}

TEST(BmpReader, RleCodesPlacePixelsWhereTheyBelong) {
  // 4 x 3, RLE8, palette: 0 black, 1 red, 2 green, 3 blue.
  const std::string palette = Le(4, {0, 0xFF0000, 0x00FF00, 0x0000FF});
  const std::string info = InfoHeader(4, 3, 8, 1, 4) + palette;
  // Bottom row red red, then a literal of 3 after 2 pixels runs past the row.
  EXPECT_THROW(DecodeBmp(BmpFile(info, Le(1, {2, 1, 0, 3, 2, 3, 2, 0}))), FileError);

  const TBitmap b = DecodeBmp(BmpFile(info, Le(1, {2, 1,              // (0,bottom) (1,bottom) red
                                                   0, 0,              // end of line
                                                   0, 2, 1, 1,        // right 1, up 1 -> x 1 of the top row
                                                   0, 3, 2, 3, 2, 0,  // green blue green, padded to even
                                                   0, 1,              // end of bitmap
                                                   9, 9})));          // ignored
  const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, black = 0xFF000000;
  const std::uint32_t want[3][4] = {{black, green, blue, green},  // top row
                                    {black, black, black, black},
                                    {red, red, black, black}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Pixel(x, y), want[y][x]) << x << "," << y;

  // RLE4: alternate nibbles; colour index 5 is not in the 4-entry table.
  const std::string info4 = InfoHeader(4, 1, 4, 2, 4) + palette;
  const TBitmap b4 = DecodeBmp(BmpFile(info4, Le(1, {3, 0x12, 0, 1})));
  EXPECT_EQ(b4.Pixel(0, 0), red);
  EXPECT_EQ(b4.Pixel(1, 0), green);
  EXPECT_EQ(b4.Pixel(2, 0), red);
  EXPECT_THROW(DecodeBmp(BmpFile(info4, Le(1, {2, 0x15}))), FileError);
}

TEST(BmpReader, PlugInDibsConvertWithoutReadingPastTheirBuffers) {
  // 3 x 2, 8 bits, two colours; rows bottom-up, padded to 4 bytes.
  const std::string info = InfoHeader(3, 2, 8, 0, 2) + Le(4, {0x000000, 0xFFFFFF});
  const std::string bits = Le(1, {1, 0, 1, 0, 0, 1, 0, 0});
  EXPECT_EQ(DibBitsSize(info), 8u);
  const TBitmap b = BitmapFromDib(info, bits);
  EXPECT_EQ(b.Pixel(0, 1), 0xFFFFFFFFu);  // bottom row first
  EXPECT_EQ(b.Pixel(1, 1), 0xFF000000u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFFFFFFFFu);
  // The last row may lack its padding, but not its pixels.
  EXPECT_EQ(BitmapFromDib(info, bits.substr(0, 7)), b);
  EXPECT_THROW(BitmapFromDib(info, bits.substr(0, 6)), FileError);
  // A colour table cut short, and a header cut short.
  EXPECT_THROW(BitmapFromDib(info.substr(0, 44), bits), FileError);
  EXPECT_THROW(BitmapFromDib(info.substr(0, 30), bits), FileError);
  EXPECT_THROW(DibBitsSize(info.substr(0, 10)), FileError);

  // Top-down 24-bit rows, and a packed DIB.
  const std::string top = InfoHeader(1, -2, 24);
  const std::string rows = Le(1, {1, 2, 3, 0, 4, 5, 6, 0});
  const TBitmap t = BitmapFromDib(top, rows);
  EXPECT_EQ(t.Pixel(0, 0), 0xFF030201u);
  EXPECT_EQ(t.Pixel(0, 1), 0xFF060504u);
  EXPECT_EQ(BitmapFromPackedDib(top + rows), t);
  EXPECT_EQ(BitmapFromPackedDib(info + bits), b);
  EXPECT_THROW(BitmapFromPackedDib(top + rows.substr(0, 5)), FileError);
}

TEST(BmpReader, BitFieldMasksAreScaledToEightBitsAndCheckedForSense) {
  // 16 bits, 5-6-5 masks after a 40-byte header.
  const std::string pixels = Le(2, {0xF800, 0x0410});  // full red; green 32 of 63 -> 130, blue 16 of 31 -> 132
  const TBitmap b = DecodeBmp(BmpFile(InfoHeader(2, 1, 16, 3) + Le(4, {0xF800, 0x07E0, 0x001F}), pixels));
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF008284u);
  // A green mask with a hole, masks that overlap, a red mask beyond 16 bits.
  for (auto [red, green] : {std::pair{0xF000u, 0x0A00u}, {0xF800u, 0x0FE0u}, {0xF8000u, 0x07E0u}}) {
    EXPECT_THROW(DecodeBmp(BmpFile(InfoHeader(2, 1, 16, 3) + Le(4, {red, green, 0x001F}), pixels)), FileError)
        << std::hex << red << " " << green;
  }
}

TEST(BmpWriter, FileHeaderAndColourTableFollowTheDibsBitCount) {
  // 8 bits, biClrUsed 0: a full table of 256 entries, pixels at 1078.
  const std::string dib8 = InfoHeader(3, 2, 8) + std::string(1024, '\x11') + std::string(8, '\x01');
  const std::string file8 = BmpFromDib(dib8);
  EXPECT_EQ(file8, "BM" + Le(4, {1086, 0, 1078}) + dib8);

  // 4 bits with biClrUsed 3: three entries; rows of 3 pixels take 4 bytes.
  const std::string dib4 = InfoHeader(3, 1, 4, 0, 3) + std::string(12, '\0') + Le(1, {0x12, 0, 0, 0});
  EXPECT_EQ(BmpFromDib(dib4 + "trailing bytes are not written"), "BM" + Le(4, {14 + 40 + 12 + 4, 0, 66}) + dib4);

  // 24 bits, 3 pixels wide: rows of 12 bytes, pixels at 54; top-down sized by |height|.
  const std::string dib24 = InfoHeader(3, -2, 24) + std::string(24, '\x7F');
  EXPECT_EQ(BmpFromDib(dib24), "BM" + Le(4, {54 + 24, 0, 54}) + dib24);

  // A DIB shorter than its header says is refused, not read past its end.
  EXPECT_THROW(BmpFromDib(dib24.substr(0, dib24.size() - 1)), FileError);
  EXPECT_THROW(BmpFromDib(dib8.substr(0, 1000)), FileError);
  EXPECT_THROW(BmpFromDib("short"), FileError);
}

// A stream buffer that takes n bytes and then fails.
struct FullBuffer : std::streambuf {
  explicit FullBuffer(std::size_t n) : space(n) { setp(space.data(), space.data() + n); }
  std::vector<char> space;
};

TEST(BmpWriter, WrittenFilesReadBackAndStreamFailuresAreReported) {
  TBitmap picture(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) picture.SetColor(x, y, std::uint32_t(x * 40 + y * 0x1000 + 0x30000 * (x + y)));
  const std::string dib = DibFromBitmap(picture);
  EXPECT_EQ(dib.size(), 40u + 16 * 3);
  const std::string file = BmpFromDib(dib);
  EXPECT_EQ(DecodeBmp(file), picture);

  std::ostringstream out;
  WriteDibAsBmp(out, dib);
  EXPECT_EQ(out.str(), file);

  for (std::size_t n : {0, 10, 14, 60}) {
    FullBuffer buffer(n);
    std::ostream failing(&buffer);
    EXPECT_THROW(WriteDibAsBmp(failing, dib), FileError) << n;
  }
}

}  // namespace
}  // namespace tracemill
