// The AVI frame source and the split of a video into BMP frame files.

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "BmpFiles.h"
#include "MakeAvi.h"
#include "TestImages.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "image/AVIImage.h"
#include "image/uBitmap.h"
#include "image/uBmp.h"

namespace fs = std::filesystem;
using namespace tracemill;
using namespace tracemill::testing;

namespace {

const std::string kAvi = kCorpus + "avi/";

std::string BmpImage(const TAVIImage& avi) {
  std::ostringstream out;
  avi.SaveToStream(out);
  return out.str();
}

std::uint32_t Le32(const std::string& s, std::size_t at) {
  return std::uint8_t(s[at]) | std::uint8_t(s[at + 1]) << 8 | std::uint8_t(s[at + 2]) << 16 |
         std::uint32_t(std::uint8_t(s[at + 3])) << 24;
}

}  // namespace

TEST(AVIFrames, EveryCorpusVideoYieldsItsFramesMatchingTheReferences) {
  const TBitmap ref0 = ReadPicture(kAvi + "ref_frame_n0.png"), ref7 = ReadPicture(kAvi + "ref_frame_n7.png");
  ASSERT_FALSE(ref0.Empty());
  // Lossless codecs give the references exactly; with lossy ones (and the
  // palette) sharp edges may differ a lot, the picture as a whole only a little.
  const std::vector<const char*> byKind[] = {
      {"raw_bgr24.avi", "huffyuv.avi", "ffv1.avi", "utvideo.avi", "png.avi", "zmbv.avi"},
      {"raw_pal8.avi", "mjpeg.avi", "mpeg4_xvid.avi", "msmpeg4v2.avi", "h264.avi", "cinepak.avi", "msvideo1.avi"}};
  for (const bool lossy : {false, true})
    for (const char* file : byKind[lossy]) {
      SCOPED_TRACE(file);
      const int maxDiff = lossy ? 255 : 0;
      const double meanDiff = lossy ? 4.0 : 0.0;
      TAVIImage avi(kTestLimits);
      int changes = 0;
      avi.OnChange = [&] { ++changes; };
      avi.SetFileName(kAvi + file);
      ASSERT_EQ(avi.Length(), 20);
      EXPECT_EQ(avi.Position(), 0);
      EXPECT_EQ(changes, 1);
      EXPECT_TRUE(Near(avi.Picture(), ref0, maxDiff, meanDiff));
      for (int i = 1; i < 20; ++i) {
        avi.SetPosition(i);
        ASSERT_EQ(avi.FrameWidth(), 160);
        ASSERT_EQ(avi.FrameHeight(), 120);
      }
      EXPECT_EQ(changes, 20);
      avi.SetPosition(7);  // back again
      EXPECT_TRUE(Near(avi.Picture(), ref7, maxDiff, meanDiff));
      EXPECT_FALSE(Near(avi.Picture(), ref0, maxDiff, meanDiff));  // frame 7 is not frame 0
    }
}

TEST(AVIFrames, BmpImageHasTheLayoutOfTheFrame) {
  // Palettised source: 8 bits, 256-entry colour table, pixels at 1078.
  TAVIImage pal(kTestLimits);
  pal.SetFileName(kAvi + "raw_pal8.avi");
  std::string bmp = BmpImage(pal);
  ASSERT_EQ(bmp.size(), 1078u + 160 * 120);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  EXPECT_EQ(Le32(bmp, 10), 1078u);
  EXPECT_EQ(Le32(bmp, 14), 40u);
  EXPECT_EQ(bmp[28], 8);
  EXPECT_EQ(Le32(bmp, 46), 0u);  // biClrUsed 0: the full table
  EXPECT_EQ(DecodeBmp(bmp, kTestLimits), pal.Picture());
  std::ostream failing(nullptr);
  EXPECT_THROW(pal.SaveToStream(failing), FileError);

  // Other sources: 24 bits, no table, pixels at 54. A frame 3 pixels wide
  // has rows of 12 bytes; rows are bottom-up.
  TempFolder temp;
  MakeAvi(temp / "narrow.avi", "rawvideo", "bgr24", 3, 2, 2);
  TAVIImage narrow(kTestLimits);
  narrow.SetFileName(temp / "narrow.avi");
  ASSERT_EQ(narrow.Length(), 2);
  narrow.SetPosition(1);
  bmp = BmpImage(narrow);
  ASSERT_EQ(bmp.size(), 54u + 12 * 2);
  EXPECT_EQ(Le32(bmp, 2), 78u);
  EXPECT_EQ(Le32(bmp, 10), 54u);
  EXPECT_EQ(bmp[28], 24);
  const TBitmap decoded = DecodeBmp(bmp, kTestLimits);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(decoded.Pixel(x, y), 0xFF000000u | TestPixel(x, y, 1)) << x << "," << y;
  EXPECT_EQ(std::uint8_t(bmp[54]), TestPixel(0, 1, 1) & 0xFF);  // first stored row is the bottom one
}

TEST(AVIFrames, VideoWhoseFramesExceedTheLimitIsRefusedBeforeDecoding) {
  TempFolder temp;
  const std::string small = temp / "small.avi";
  MakeAvi(small, "rawvideo", "bgr24", 4, 3, 2);
  // The same few hundred bytes declaring frames of 16000 x 16000 pixels in the
  // stream format (biWidth and biHeight of its BITMAPINFOHEADER).
  std::string bytes = ReadFileBytes(small);
  const std::size_t format = bytes.find("strf");
  ASSERT_NE(format, std::string::npos);
  bytes.replace(format + 12, 8, Le(4, {16000, 16000}));
  const std::string huge = temp.File("huge.avi", bytes);

  const TImageLimits limits{64 << 20};
  TAVIImage avi(limits);
  EXPECT_TRUE(Refused([&] { avi.SetFileName(huge); }, {huge, "16000 x 16000 pixels", "limit is 64.0 MiB"}));
  EXPECT_EQ(avi.Length(), 0);
  EXPECT_EQ(avi.FrameWidth(), 0);
  const std::string work = temp.Sub("work");
  EXPECT_TRUE(Refused([&] { SplitAviFile(huge, work, limits); }, {"16000 x 16000 pixels"}));
  EXPECT_TRUE(fs::is_empty(work));

  // The limit counts 4 bytes a pixel, as the frame's bitmap takes.
  TAVIImage exact(TImageLimits{4 * 3 * 4});
  exact.SetFileName(small);
  EXPECT_EQ(exact.FrameWidth(), 4);
  TAVIImage under(TImageLimits{4 * 3 * 4 - 1});
  EXPECT_TRUE(Refused([&] { under.SetFileName(small); }, {"4 x 3 pixels"}));
}

TEST(AVIFrames, DroppedFramesShowTheFrameBefore) {
  TempFolder temp;
  MakeAvi(temp / "dropped.avi", "rawvideo", "bgr24", 4, 3, 6, 2);  // frame 2 is an empty chunk
  TAVIImage avi(kTestLimits);
  int changes = 0;
  avi.OnChange = [&] { ++changes; };
  avi.SetFileName(temp / "dropped.avi");
  ASSERT_EQ(avi.Length(), 6);
  const int shown[] = {0, 1, 1, 3, 4, 5};
  for (int i : {0, 1, 2, 3, 4, 5, 2, 1, 4}) {
    avi.SetPosition(i);
    EXPECT_EQ(avi.Picture().Pixel(1, 2), 0xFF000000u | TestPixel(1, 2, shown[i])) << i;
  }
  EXPECT_GE(changes, 5);
  EXPECT_EQ(SplitAviFile(temp / "dropped.avi", temp.Dir(), kTestLimits).size(), 6u);
  EXPECT_EQ(ReadFileBytes(temp / "AVI00003.bmp"), ReadFileBytes(temp / "AVI00002.bmp"));
}

TEST(AVIFrames, PositionsOutsideTheVideoAndUnreadableFilesChangeNothing) {
  TAVIImage avi(kTestLimits);
  EXPECT_EQ(avi.Length(), 0);
  EXPECT_TRUE(avi.Picture().Empty());
  EXPECT_EQ(BmpImage(avi), "");
  EXPECT_THROW(avi.SaveToFile("/nonexistent/x.bmp"), FileError);

  avi.SetFileName(kAvi + "ffv1.avi");
  avi.SetPosition(3);
  const TBitmap third = avi.Picture();
  avi.SetPosition(20);
  EXPECT_EQ(avi.Position(), 20);
  EXPECT_EQ(avi.Picture(), third);
  avi.SetPosition(-1);
  EXPECT_EQ(avi.Picture(), third);

  // A missing file's name is stored; the open stream stays.
  avi.SetFileName(kAvi + "missing.avi");
  EXPECT_EQ(avi.FileName(), kAvi + "missing.avi");
  EXPECT_EQ(avi.Length(), 20);
  EXPECT_EQ(avi.Picture(), third);

  // Not an AVI video: no stream, no frame.
  TempFolder temp;
  avi.SetFileName(kAvi + "ref_frame_n0.png");
  EXPECT_EQ(avi.Length(), 0);
  EXPECT_EQ(avi.FrameWidth(), 0);
  EXPECT_EQ(BmpImage(avi), "");
  EXPECT_THROW(avi.SaveToFile(temp / "none.bmp"), FileError);
  EXPECT_FALSE(fs::exists(temp / "none.bmp"));

  // A video removed while open: stepping back cannot reopen it; the frame stays.
  const std::string gone = temp / "gone.avi";
  fs::copy_file(kAvi + "ffv1.avi", gone);
  TAVIImage vanishing(kTestLimits);
  vanishing.SetFileName(gone);
  vanishing.SetPosition(5);
  const TBitmap fifth = vanishing.Picture();
  fs::remove(gone);
  vanishing.SetPosition(2);
  vanishing.SetPosition(9);
  EXPECT_EQ(vanishing.Picture(), fifth);

  // A video cut short still yields the frames it holds, and never crashes.
  const std::string whole = ReadFileBytes(kAvi + "mjpeg.avi");
  for (std::size_t cut : {std::size_t(100), whole.size() / 3, whole.size() / 2, whole.size() - 7}) {
    TAVIImage broken(kTestLimits);
    broken.SetFileName(temp.File("cut" + std::to_string(cut) + ".avi", std::string_view(whole).substr(0, cut)));
    EXPECT_LE(broken.Length(), 20);
    for (int i = 0; i < broken.Length(); ++i) broken.SetPosition(i);
    if (broken.FrameWidth() != 0) {
      EXPECT_EQ(broken.FrameWidth(), 160);
    }
  }
}

TEST(AVISplit, WritesOneNumberedBmpFilePerFrameInFrameOrder) {
  EXPECT_EQ(AviFrameFileName(0), "AVI00001.bmp");
  EXPECT_EQ(AviFrameFileName(1), "AVI00002.bmp");
  EXPECT_EQ(AviFrameFileName(99998), "AVI99999.bmp");
  EXPECT_EQ(AviFrameFileName(99999), "AVI100000.bmp");  // more figures instead of wrapping

  TempFolder temp;
  MakeAvi(temp / "three.avi", "rawvideo", "bgr24", 4, 3, 3);
  MakeAvi(temp / "two.avi", "mjpeg", "yuvj420p", 16, 8, 2);
  const std::string work = temp.Sub("work");

  std::vector<std::string> opened;
  auto written = SplitAviFile(temp / "three.avi", work, kTestLimits, [&](const std::string& f) { opened.push_back(f); });
  const std::vector<std::string> expected = {work + "AVI00001.bmp", work + "AVI00002.bmp", work + "AVI00003.bmp"};
  EXPECT_EQ(written, expected);
  EXPECT_EQ(opened, expected);
  for (int f = 0; f < 3; ++f) {
    const TBitmap frame = DecodeBmp(ReadFileBytes(expected[f]), kTestLimits);
    ASSERT_EQ(frame.Width(), 4);
    EXPECT_EQ(frame.Pixel(2, 1), 0xFF000000u | TestPixel(2, 1, f)) << f;
  }

  // A second split overwrites the files with the same numbers; the folder
  // may be given without its final "/".
  EXPECT_EQ(SplitAviFile(temp / "two.avi", temp / "work", kTestLimits).size(), 2u);
  EXPECT_EQ(DecodeBmp(ReadFileBytes(expected[0]), kTestLimits).Width(), 16);
  EXPECT_EQ(DecodeBmp(ReadFileBytes(expected[2]), kTestLimits).Width(), 4);

  // Nothing for a missing file or one without video; a folder that cannot
  // take the files ends the split with an error.
  EXPECT_TRUE(SplitAviFile(temp / "missing.avi", work, kTestLimits).empty());
  EXPECT_TRUE(SplitAviFile(kAvi + "ref_frame_n7.png", work, kTestLimits).empty());
  EXPECT_THROW(SplitAviFile(temp / "three.avi", temp.Dir() + "no/such/folder", kTestLimits), FileError);
}
