#include "image/uJpeg.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/uError.h"
#include "common/uFileIO.h"

#include <jpeglib.h>

namespace tracemill {
namespace {

const std::string kJpegCorpus = std::string(TRACEMILL_SOURCE_DIR) + "/../shared/corpus/jpeg/";

std::string ReadCorpus(const std::string& name) { return ReadFileBytes(kJpegCorpus + name); }

// A binary PPM (P6, maxval 255) as a bitmap.
TBitmap ReadPpm(const std::string& path) {
  const std::string data = ReadFileBytes(path);
  int w = 0, h = 0, maxval = 0, used = 0;
  if (std::sscanf(data.c_str(), "P6 %d %d %d%n", &w, &h, &maxval, &used) != 3 || maxval != 255) return {};
  TBitmap b(w, h);
  const auto* p = reinterpret_cast<const unsigned char*>(data.data()) + used + 1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x, p += 3) b.SetPixel(x, y, 0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2]);
  return b;
}

// Encodes a width x height picture of one colour with libjpeg. pixel holds
// the components of one pixel in the input colour space.
std::string Encode(int width, int height, J_COLOR_SPACE in, int components, const std::vector<JSAMPLE>& pixel,
                   J_COLOR_SPACE stored, bool progressive = false) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(width);
  c.image_height = JDIMENSION(height);
  c.input_components = components;
  c.in_color_space = in;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, stored);
  jpeg_set_quality(&c, 95, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row;
  for (int x = 0; x < width; ++x) row.insert(row.end(), pixel.begin(), pixel.end());
  while (c.next_scanline < c.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&c, &r, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string file(reinterpret_cast<char*>(out), size);
  std::free(out);
  return file;
}

::testing::AssertionResult AllPixelsNear(const TBitmap& b, std::uint32_t argb, int tolerance) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      const std::uint32_t p = b.Pixel(x, y);
      for (int shift : {0, 8, 16}) {
        const int got = int((p >> shift) & 0xFF), want = int((argb >> shift) & 0xFF);
        if (std::abs(got - want) > tolerance || (p >> 24) != 0xFF)
          return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << std::hex << p;
      }
    }
  return ::testing::AssertionSuccess();
}

// Largest and mean difference of the colour channels of two same-sized bitmaps.
std::pair<int, double> Difference(const TBitmap& a, const TBitmap& b) {
  int largest = 0;
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      for (int shift : {0, 8, 16}) {
        const int d = std::abs(int((a.Pixel(x, y) >> shift) & 0xFF) - int((b.Pixel(x, y) >> shift) & 0xFF));
        largest = std::max(largest, d);
        sum += d;
      }
  return {largest, sum / (3.0 * a.Width() * a.Height())};
}

TEST(JpegReader, DecodesBaselineArithmeticAndProgressiveFilesAtFullSize) {
  // The test images were compressed from testorig.ppm; a faithful decode is close to it.
  const TBitmap original = ReadPpm(kJpegCorpus + "testimages/testorig.ppm");
  ASSERT_EQ(original.Width(), 227);
  TBitmap loaded;
  LoadJpegFile(kJpegCorpus + "testimages/testimgint.jpg", loaded);
  ASSERT_EQ(loaded.Width(), 227);
  ASSERT_EQ(loaded.Height(), 149);
  const auto [largest, mean] = Difference(loaded, original);
  EXPECT_LT(largest, 40);
  EXPECT_LT(mean, 2.0);
  EXPECT_EQ(DecodeJpeg(ReadCorpus("testimages/testimgint.jpg")), loaded);
  // The arithmetic-coded and the progressive copies hold the same coefficients.
  EXPECT_EQ(DecodeJpeg(ReadCorpus("testimages/testimgari.jpg")), loaded);
  EXPECT_EQ(DecodeJpeg(ReadCorpus("more/testimgp.jpg")), loaded);
  const TBitmap cropped = DecodeJpeg(ReadCorpus("more/testimgcrop.jpg"));
  EXPECT_EQ(cropped.Width(), 124);
  EXPECT_EQ(cropped.Height(), 92);
}

TEST(JpegReader, GrayscaleCmykAndYcckFilesGiveRgbPixels) {
  const TBitmap gray = DecodeJpeg(ReadCorpus("more/testimggray.jpg"));
  ASSERT_EQ(gray.Width(), 227);
  int nonBlack = 0;
  for (int y = 0; y < gray.Height(); ++y)
    for (int x = 0; x < gray.Width(); ++x) {
      const std::uint32_t p = gray.Pixel(x, y);
      ASSERT_EQ(p & 0xFF, (p >> 8) & 0xFF);
      ASSERT_EQ(p & 0xFF, (p >> 16) & 0xFF);
      ASSERT_EQ(p >> 24, 0xFFu);
      nonBlack += (p & 0xFF) > 16;
    }
  EXPECT_GT(nonBlack, 1000);

  // libjpeg stores CMYK the Adobe way (inverted, with the Adobe marker):
  // stored 0 means full ink. Cyan ink only: components (0, 255, 255, 255).
  const std::vector<JSAMPLE> cyan = {0, 255, 255, 255};
  EXPECT_TRUE(AllPixelsNear(DecodeJpeg(Encode(16, 8, JCS_CMYK, 4, cyan, JCS_CMYK)), 0xFF00FFFF, 2));
  EXPECT_TRUE(AllPixelsNear(DecodeJpeg(Encode(16, 8, JCS_CMYK, 4, cyan, JCS_YCCK)), 0xFF00FFFF, 3));
  // Half black ink over yellow ink.
  const std::vector<JSAMPLE> darkYellow = {255, 255, 0, 128};
  EXPECT_TRUE(AllPixelsNear(DecodeJpeg(Encode(16, 8, JCS_CMYK, 4, darkYellow, JCS_CMYK)), 0xFF808000, 3));

  const std::vector<JSAMPLE> orange = {250, 120, 10};
  EXPECT_TRUE(AllPixelsNear(DecodeJpeg(Encode(33, 17, JCS_RGB, 3, orange, JCS_YCbCr, true)), 0xFFFA780A, 4));
}

TEST(JpegReader, TruncatedOrCorruptFilesFailAndLeaveTheTargetAlone) {
  const std::string whole = ReadCorpus("testimages/testorig.jpg");
  TBitmap target(1, 1);
  target.SetPixel(0, 0, 0xFF010203);
  const TBitmap before = target;

  const std::string path = ::testing::TempDir() + "/tracemill-cut.jpg";
  WriteFileAtomic(path, whole.substr(0, whole.size() * 2 / 3));
  try {
    LoadJpegFile(path, target);
    ADD_FAILURE() << "a truncated file was accepted";
  } catch (const FileError& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find("Invalid JPEG data: "), std::string::npos) << message;
  }
  EXPECT_EQ(target, before);
  std::filesystem::remove(path);

  for (std::size_t n : {std::size_t(0), std::size_t(1), std::size_t(2), std::size_t(100), whole.size() / 2,
                        whole.size() - 3})
    EXPECT_THROW(DecodeJpeg(std::string_view(whole.data(), n)), FileError) << n;

  // Damage in the entropy-coded data is a libjpeg warning; it still fails.
  std::string damaged = whole;
  for (std::size_t i = whole.size() / 2; i < whole.size() / 2 + 40; ++i) damaged[i] = char(0xFF);
  EXPECT_THROW(DecodeJpeg(damaged), FileError);

  EXPECT_THROW(DecodeJpeg("not a JPEG file at all"), FileError);
  EXPECT_THROW(LoadJpegFile(kJpegCorpus + "no-such-file.jpg", target), FileError);
  EXPECT_EQ(target, before);
}

TEST(JpegReader, TwelveBitAndOversizedPicturesAreRefusedAsUnsupported) {
  for (const char* name : {"testimages/monkey12.jpg", "more/testorig12.jpg"}) {
    try {
      DecodeJpeg(ReadCorpus(name));
      ADD_FAILURE() << name << " was accepted";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("only 8-bit JPEG files are supported"), std::string::npos) << e.what();
    }
  }
  const std::string file = ReadCorpus("testimages/testorig.jpg");  // 227 x 149
  EXPECT_NO_THROW(DecodeJpeg(file, TImageLimits{227 * 149 * 4}));
  try {
    DecodeJpeg(file, TImageLimits{227 * 149 * 4 - 1});
    ADD_FAILURE() << "accepted beyond the limit";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
  }
  // A header that claims 65000 x 65000 pixels is refused before any decoding.
  std::string huge = Encode(8, 8, JCS_RGB, 3, {1, 2, 3}, JCS_YCbCr);
  const std::size_t sof = huge.find("\xFF\xC0", 0, 2);
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = huge[sof + 7] = char(0xFD);
  huge[sof + 6] = huge[sof + 8] = char(0xE8);
  EXPECT_THROW(DecodeJpeg(huge), FileError);
}

}  // namespace
}  // namespace tracemill
