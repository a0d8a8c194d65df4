#include "image/uJpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestImages.h"
#include "common/uError.h"
#include "common/uFileIO.h"

#include <jpeglib.h>

namespace tracemill {
namespace {

using testing::Filled;
using testing::Near;

const std::string kJpegCorpus = testing::kCorpus + "jpeg/";
const TImageLimits& kLimits = testing::kTestLimits;

std::string ReadCorpus(const std::string& name) { return ReadFileBytes(kJpegCorpus + name); }

// A 33 x 17 JPEG file of one colour given as CMYK components (libjpeg's
// Adobe convention: inverted, 0 means full ink), stored as CMYK or YCCK.
std::string EncodeCmyk(const std::vector<JSAMPLE>& pixel, J_COLOR_SPACE stored) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = 33;
  c.image_height = 17;
  c.input_components = 4;
  c.in_color_space = JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_colorspace(&c, stored);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row;
  for (int x = 0; x < 33; ++x) row.insert(row.end(), pixel.begin(), pixel.end());
  for (JSAMPROW r = row.data(); c.next_scanline < c.image_height;) jpeg_write_scanlines(&c, &r, 1);
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string file(reinterpret_cast<char*>(out), size);
  std::free(out);
  return file;
}

TEST(JpegReader, DecodesBaselineArithmeticAndProgressiveFilesAtFullSize) {
  // The test images were compressed from testorig.ppm; a faithful decode is close to it.
  TBitmap loaded;
  LoadJpegFile(kJpegCorpus + "testimages/testimgint.jpg", loaded, kLimits);
  EXPECT_TRUE(Near(loaded, testing::ReadPicture(kJpegCorpus + "testimages/testorig.ppm"), 39, 2.0));
  EXPECT_EQ(DecodeJpeg(ReadCorpus("testimages/testimgint.jpg"), kLimits), loaded);
  // The arithmetic-coded and the progressive copies hold the same coefficients.
  EXPECT_EQ(DecodeJpeg(ReadCorpus("testimages/testimgari.jpg"), kLimits), loaded);
  EXPECT_EQ(DecodeJpeg(ReadCorpus("more/testimgp.jpg"), kLimits), loaded);
}

TEST(JpegReader, GrayscaleCmykAndYcckFilesGiveRgbPixels) {
  const TBitmap gray = DecodeJpeg(ReadCorpus("more/testimggray.jpg"), kLimits);
  ASSERT_EQ(gray.Width(), 227);
  int nonBlack = 0;
  for (int y = 0; y < gray.Height(); ++y)
    for (int x = 0; x < gray.Width(); ++x) {
      const std::uint32_t p = gray.Pixel(x, y), level = p & 0xFF;
      ASSERT_EQ(p, 0xFF000000u | level << 16 | level << 8 | level) << x << "," << y;
      nonBlack += level > 16;
    }
  EXPECT_GT(nonBlack, 1000);

  // Cyan ink only, stored as CMYK and as YCCK; half black ink over yellow ink.
  for (const auto& [pixel, stored, want, tolerance] :
       {std::tuple{std::vector<JSAMPLE>{0, 255, 255, 255}, JCS_CMYK, 0xFF00FFFFu, 2},
        {std::vector<JSAMPLE>{0, 255, 255, 255}, JCS_YCCK, 0xFF00FFFFu, 3},
        {std::vector<JSAMPLE>{255, 255, 0, 128}, JCS_CMYK, 0xFF808000u, 3}})
    EXPECT_TRUE(Near(DecodeJpeg(EncodeCmyk(pixel, stored), kLimits), Filled(33, 17, want), tolerance, tolerance));
}

TEST(JpegReader, HarmlessWarningsPassAndFileFailuresNameTheFile) {
  const std::string whole = ReadCorpus("testimages/testorig.jpg");
  const TBitmap picture = DecodeJpeg(whole, kLimits);
  // Two stray bytes before a marker, as scanners and cameras write them:
  // libjpeg warns, the picture is whole.
  std::string stray = whole;
  stray.insert(whole.find("\xFF\xC4", 2, 2), "\x12\x34");  // before a Huffman table
  EXPECT_EQ(DecodeJpeg(stray, kLimits), picture);

  // From a file: the message names it, and the target is left alone.
  const TBitmap before = Filled(1, 1, 0xFF010203);
  TBitmap target = before;
  testing::TempFolder temp;
  const std::string path = temp.File("cut.jpg", whole.substr(0, whole.size() * 2 / 3));
  EXPECT_TRUE(testing::Refused([&] { LoadJpegFile(path, target, kLimits); }, {path, "Premature end"}));
  EXPECT_THROW(LoadJpegFile(kJpegCorpus + "no-such-file.jpg", target, kLimits), FileError);
  EXPECT_EQ(target, before);
  LoadJpegFile(temp.File("stray.jpg", stray), target, kLimits);
  EXPECT_EQ(target, picture);
}

TEST(JpegReader, RefusalsNameTheirReason) {
  const std::string whole = ReadCorpus("testimages/testorig.jpg");  // 227 x 149
  const std::uint64_t fits = 227 * 149 * 4;
  EXPECT_NO_THROW(DecodeJpeg(whole, TImageLimits{fits}));
  std::string damaged = whole;  // damage in the entropy-coded data
  damaged.replace(whole.size() / 2, 40, 40, char(0xFF));
  // A header that claims 65000 x 65000 pixels is refused before any decoding.
  std::string huge = whole;
  const std::size_t sof = huge.find("\xFF\xC0", 0, 2);
  ASSERT_NE(sof, std::string::npos);
  huge[sof + 5] = huge[sof + 7] = char(0xFD);
  huge[sof + 6] = huge[sof + 8] = char(0xE8);
  const struct {
    std::string data;
    std::uint64_t limit;
    std::vector<std::string_view> parts;
  } refused[] = {
      {whole.substr(0, whole.size() * 2 / 3), fits, {"Invalid JPEG data: ", "Premature end of JPEG file"}},
      {whole.substr(0, 2), fits, {"Invalid JPEG data: ", "Premature end of JPEG file"}},
      {"", fits, {"Invalid JPEG data: ", "the file is empty"}},
      {damaged, fits, {"Invalid JPEG data: ", "Corrupt JPEG data"}},
      {"not a JPEG file at all", fits, {"Invalid JPEG data: ", "Not a JPEG file"}},
      {ReadCorpus("testimages/monkey12.jpg"), kLimits.maxBytes, {"only 8-bit JPEG files are supported"}},
      {whole, fits - 1, {"227 x 149 pixels is too large"}},
      {huge, TBitmap::kMaxBytes, {"65000 x 65000 pixels"}}};
  for (const auto& [data, limit, parts] : refused)
    EXPECT_TRUE(testing::Refused([&] { DecodeJpeg(data, TImageLimits{limit}); }, parts)) << data.size();
}

}  // namespace
}  // namespace tracemill
