#include "image/uBmp.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <map>
#include <sstream>
#include <streambuf>
#include <string>

#include "common/uError.h"
#include "common/uFileIO.h"

namespace tracemill {
namespace {

const std::string kBmpCorpus = std::string(TRACEMILL_SOURCE_DIR) + "/../shared/corpus/bmp/";

std::string ReadCorpus(const std::string& name) { return ReadFileBytes(kBmpCorpus + name); }

// Compares the colours (not alpha) of a decoded bitmap with a reference PNG.
::testing::AssertionResult SameAsReference(const TBitmap& bitmap, const std::string& png) {
  QImage ref(QString::fromStdString(kBmpCorpus + "reference/" + png));
  if (ref.isNull()) return ::testing::AssertionFailure() << "cannot read " << png;
  ref = ref.convertToFormat(QImage::Format_RGB32);
  if (ref.width() != bitmap.Width() || ref.height() != bitmap.Height())
    return ::testing::AssertionFailure() << "size " << bitmap.Width() << "x" << bitmap.Height() << ", reference "
                                         << ref.width() << "x" << ref.height();
  for (int y = 0; y < ref.height(); ++y)
    for (int x = 0; x < ref.width(); ++x) {
      const std::uint32_t want = ref.pixel(x, y) & 0xFFFFFFu, got = bitmap.Pixel(x, y) & 0xFFFFFFu;
      if (want != got)
        return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << std::hex << got
                                             << ", reference " << want;
    }
  return ::testing::AssertionSuccess();
}

// A little-endian writer for hand-made test files.
struct Bytes {
  std::string s;
  Bytes& U8(unsigned v) {
    s += char(v & 0xFF);
    return *this;
  }
  Bytes& U16(unsigned v) { return U8(v).U8(v >> 8); }
  Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  Bytes& Raw(std::string_view r) {
    s += r;
    return *this;
  }
};

// A 40-byte BITMAPINFOHEADER.
Bytes InfoHeader(int w, int h, unsigned bits, unsigned compression = 0, std::uint32_t used = 0,
                 std::uint32_t imageSize = 0) {
  Bytes b;
  b.U32(40).U32(std::uint32_t(w)).U32(std::uint32_t(h)).U16(1).U16(bits).U32(compression).U32(imageSize);
  b.U32(2835).U32(2835).U32(used).U32(0);
  return b;
}

// A whole BMP file: file header, then info (header and colour table), then pixels.
std::string BmpFile(const std::string& info, const std::string& pixels) {
  Bytes f;
  f.U16(19778).U32(std::uint32_t(14 + info.size() + pixels.size())).U32(0).U32(std::uint32_t(14 + info.size()));
  return f.s + info + pixels;
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
    const std::string png = (it == shared.end() ? stem : it->second) + ".png";
    TBitmap loaded;
    ASSERT_NO_THROW(LoadBmpFile(entry.path().string(), loaded));
    EXPECT_TRUE(SameAsReference(loaded, png));
    EXPECT_EQ(DecodeBmp(ReadFileBytes(entry.path().string())), loaded);
    ++checked;
  }
  EXPECT_EQ(checked, 27);
}

TEST(BmpReader, EveryBadSuiteFileIsRefusedAndTheTargetKept) {
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kBmpCorpus + "b")) {
    const std::string path = entry.path().string();
    SCOPED_TRACE(path);
    TBitmap target(2, 2);
    target.SetPixel(1, 1, 0xFF123456);
    const TBitmap before = target;
    try {
      LoadBmpFile(path, target);
      ADD_FAILURE() << "accepted";
    } catch (const FileError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(path), std::string::npos) << message;
      EXPECT_NE(message.find("Invalid BMP data: "), std::string::npos) << message;
    }
    EXPECT_EQ(target, before);
    ++checked;
  }
  EXPECT_EQ(checked, 20);
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
  EXPECT_TRUE(SameAsReference(DecodeBmp(ReadCorpus("x/ba-bm.bmp")), "pal8.png"));
  int decoded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kBmpCorpus + "q")) {
    const std::string stem = entry.path().stem().string();
    SCOPED_TRACE(stem);
    try {
      const TBitmap b = DecodeBmp(ReadFileBytes(entry.path().string()));
      EXPECT_EQ(b.Width(), 127);
      EXPECT_EQ(b.Height(), 64);
      if (const auto it = exact.find(stem); it != exact.end()) {
        EXPECT_TRUE(SameAsReference(b, it->second + ".png"));
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
      if (n >= 6) cut.replace(2, 4, Bytes().U32(std::uint32_t(n)).s);
      if (n >= 38 && whole[14] != 12) cut.replace(34, 4, Bytes().U32(0).s);
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

TEST(BmpReader, StreamsAndMemoryGiveTheSamePicture) {
  const std::string file = ReadCorpus("g/rgb24.bmp");
  std::istringstream in("prefix" + file);
  in.seekg(6);
  const TBitmap fromStream = ReadBmp(in);
  EXPECT_EQ(fromStream, DecodeBmp(file));
  EXPECT_EQ(fromStream.Width(), 127);

  std::istringstream notBmp("GIF89a...");
  EXPECT_THROW(ReadBmp(notBmp), FileError);
  TBitmap target;
  EXPECT_THROW(LoadBmpFile(kBmpCorpus + "no-such-file.bmp", target), FileError);
}

TEST(BmpReader, PicturesBeyondTheLimitAreRefusedBeforeAllocation) {
  const std::string file = ReadCorpus("g/rgb24.bmp");  // 127 x 64
  EXPECT_NO_THROW(DecodeBmp(file, TImageLimits{127 * 64 * 4}));
  try {
    DecodeBmp(file, TImageLimits{127 * 64 * 4 - 1});
    ADD_FAILURE() << "accepted";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos);
  }
  // RLE files of a huge size with nothing in them: refused by the limit, not by memory.
  Bytes rle;
  rle.U8(0).U8(1);
  EXPECT_THROW(DecodeBmp(BmpFile(InfoHeader(40000, 30000, 8, 1, 1, 2).U32(0).s, rle.s)), FileError);
  const std::string big = BmpFile(InfoHeader(1000, 1000, 8, 1, 1, 2).U32(0).s, rle.s);
  EXPECT_THROW(DecodeBmp(big, TImageLimits{1000 * 999 * 4}), FileError);
  EXPECT_EQ(DecodeBmp(big, TImageLimits{1000 * 1000 * 4}).Width(), 1000);
}

TEST(BmpReader, RleCodesPlacePixelsWhereTheyBelong) {
  // 4 x 3, RLE8, palette: 0 black, 1 red, 2 green, 3 blue.
  Bytes info = InfoHeader(4, 3, 8, 1, 4);
  info.U32(0).U32(0xFF0000).U32(0x00FF00).U32(0x0000FF);
  Bytes data;
  data.U8(2).U8(1);                            // bottom row: red red
  data.U8(0).U8(3).U8(2).U8(3).U8(2).U8(0);    // literal green blue green, padded
  const std::string bad = BmpFile(info.s, data.s);
  EXPECT_THROW(DecodeBmp(bad), FileError);  // a literal of 3 after 2 pixels runs past a 4-pixel row

  Bytes good;
  good.U8(2).U8(1);                           // (0,bottom) (1,bottom) red
  good.U8(0).U8(0);                           // end of line
  good.U8(0).U8(2).U8(1).U8(1);               // right 1, up 1 -> x 1 of the top row
  good.U8(0).U8(3).U8(2).U8(3).U8(2).U8(0);   // green blue green, padded to even
  good.U8(0).U8(1);                           // end of bitmap
  good.U8(9).U8(9);                           // ignored
  const TBitmap b = DecodeBmp(BmpFile(info.s, good.s));
  EXPECT_EQ(b.Pixel(0, 2), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(1, 2), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(2, 2), 0xFF000000u);  // not set: black
  EXPECT_EQ(b.Pixel(0, 0), 0xFF000000u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(b.Pixel(2, 0), 0xFF0000FFu);
  EXPECT_EQ(b.Pixel(3, 0), 0xFF00FF00u);

  // RLE4: alternate nibbles; colour index 5 is not in the 4-entry table.
  Bytes info4 = InfoHeader(4, 1, 4, 2, 4);
  info4.U32(0).U32(0xFF0000).U32(0x00FF00).U32(0x0000FF);
  Bytes d4;
  d4.U8(3).U8(0x12).U8(0).U8(1);
  const TBitmap b4 = DecodeBmp(BmpFile(info4.s, d4.s));
  EXPECT_EQ(b4.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(b4.Pixel(1, 0), 0xFF00FF00u);
  EXPECT_EQ(b4.Pixel(2, 0), 0xFFFF0000u);
  Bytes d4bad;
  d4bad.U8(2).U8(0x15);
  EXPECT_THROW(DecodeBmp(BmpFile(info4.s, d4bad.s)), FileError);
}

TEST(BmpReader, PlugInDibsConvertWithoutReadingPastTheirBuffers) {
  // 3 x 2, 8 bits, two colours; rows bottom-up, padded to 4 bytes.
  Bytes info = InfoHeader(3, 2, 8, 0, 2);
  info.U32(0x000000).U32(0xFFFFFF);
  const std::string bits("\x01\x00\x01\x00" "\x00\x01\x00\x00", 8);
  EXPECT_EQ(DibBitsSize(info.s), 8u);
  const TBitmap b = BitmapFromDib(info.s, bits);
  EXPECT_EQ(b.Pixel(0, 1), 0xFFFFFFFFu);  // bottom row first
  EXPECT_EQ(b.Pixel(1, 1), 0xFF000000u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFFFFFFFFu);
  // The last row may lack its padding, but not its pixels.
  EXPECT_EQ(BitmapFromDib(info.s, bits.substr(0, 7)), b);
  EXPECT_THROW(BitmapFromDib(info.s, bits.substr(0, 6)), FileError);
  // A colour table cut short, and a header cut short.
  EXPECT_THROW(BitmapFromDib(info.s.substr(0, 44), bits), FileError);
  EXPECT_THROW(BitmapFromDib(info.s.substr(0, 30), bits), FileError);
  EXPECT_THROW(DibBitsSize(info.s.substr(0, 10)), FileError);

  // Top-down 24-bit rows, and a packed DIB.
  Bytes top = InfoHeader(1, -2, 24);
  const std::string rows("\x01\x02\x03\x00" "\x04\x05\x06\x00", 8);
  const TBitmap t = BitmapFromDib(top.s, rows);
  EXPECT_EQ(t.Pixel(0, 0), 0xFF030201u);
  EXPECT_EQ(t.Pixel(0, 1), 0xFF060504u);
  EXPECT_EQ(BitmapFromPackedDib(top.s + rows), t);
  EXPECT_EQ(BitmapFromPackedDib(info.s + bits), b);
  EXPECT_THROW(BitmapFromPackedDib(top.s + rows.substr(0, 5)), FileError);
}

TEST(BmpReader, BitFieldMasksAreScaledToEightBitsAndCheckedForSense) {
  // 16 bits, 5-6-5 masks after a 40-byte header.
  Bytes info = InfoHeader(2, 1, 16, 3);
  info.U32(0xF800).U32(0x07E0).U32(0x001F);
  Bytes px;
  px.U16(0xF800).U16(0x0410);  // full red; green 32 of 63 -> 130, blue 16 of 31 -> 132
  const TBitmap b = DecodeBmp(BmpFile(info.s, px.s));
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF008284u);

  Bytes gaps = InfoHeader(2, 1, 16, 3);
  gaps.U32(0xF000).U32(0x0A00).U32(0x001F);  // green mask with a hole
  EXPECT_THROW(DecodeBmp(BmpFile(gaps.s, px.s)), FileError);
  Bytes overlap = InfoHeader(2, 1, 16, 3);
  overlap.U32(0xF800).U32(0x0FE0).U32(0x001F);
  EXPECT_THROW(DecodeBmp(BmpFile(overlap.s, px.s)), FileError);
  Bytes wide = InfoHeader(2, 1, 16, 3);
  wide.U32(0xF8000).U32(0x07E0).U32(0x001F);  // beyond 16 bits
  EXPECT_THROW(DecodeBmp(BmpFile(wide.s, px.s)), FileError);
}

TEST(BmpWriter, FileHeaderAndColourTableFollowTheDibsBitCount) {
  // 8 bits, biClrUsed 0: a full table of 256 entries, pixels at 1078.
  Bytes dib8 = InfoHeader(3, 2, 8);
  dib8.Raw(std::string(1024, '\x11')).Raw(std::string(8, '\x01'));
  const std::string file8 = BmpFromDib(dib8.s);
  ASSERT_EQ(file8.size(), 1078u + 8u);
  EXPECT_EQ(file8.substr(0, 2), "BM");
  EXPECT_EQ(Bytes().U32(1086).s, file8.substr(2, 4));
  EXPECT_EQ(Bytes().U32(0).s, file8.substr(6, 4));
  EXPECT_EQ(Bytes().U32(1078).s, file8.substr(10, 4));
  EXPECT_EQ(file8.substr(14), dib8.s);

  // 4 bits with biClrUsed 3: three entries; rows of 3 pixels take 4 bytes.
  Bytes dib4 = InfoHeader(3, 1, 4, 0, 3);
  dib4.Raw(std::string(12, '\0')).Raw(std::string("\x12\x00\x00\x00", 4)).Raw("trailing bytes are not written");
  const std::string file4 = BmpFromDib(dib4.s);
  EXPECT_EQ(file4.size(), 14u + 40 + 12 + 4);
  EXPECT_EQ(Bytes().U32(66).s, file4.substr(10, 4));

  // 24 bits, 3 pixels wide: rows of 12 bytes, pixels at 54; top-down sized by |height|.
  Bytes dib24 = InfoHeader(3, -2, 24);
  dib24.Raw(std::string(24, '\x7F'));
  const std::string file24 = BmpFromDib(dib24.s);
  EXPECT_EQ(file24.size(), 54u + 24u);
  EXPECT_EQ(Bytes().U32(54).s, file24.substr(10, 4));

  // A DIB shorter than its header says is refused, not read past its end.
  EXPECT_THROW(BmpFromDib(dib24.s.substr(0, dib24.s.size() - 1)), FileError);
  EXPECT_THROW(BmpFromDib(dib8.s.substr(0, 1000)), FileError);
  EXPECT_THROW(BmpFromDib("short"), FileError);
}

// A stream buffer that accepts n bytes and then fails.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::size_t n) : left_(n) {}

 protected:
  int_type overflow(int_type c) override {
    if (left_ == 0) return traits_type::eof();
    --left_;
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    const std::streamsize took = std::min<std::streamsize>(n, std::streamsize(left_));
    left_ -= std::size_t(took);
    return took;
  }

 private:
  std::size_t left_;
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
    FailingBuffer buffer(n);
    std::ostream failing(&buffer);
    EXPECT_THROW(WriteDibAsBmp(failing, dib), FileError) << n;
  }
}

}  // namespace
}  // namespace tracemill
