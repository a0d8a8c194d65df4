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
  // Palettised sources: 8 bits with the full colour table; others 24 bits
  // without one. Rows of a frame 3 pixels wide take 12 bytes, bottom-up.
  TempFolder temp;
  MakeAvi(temp / "narrow.avi", "rawvideo", "bgr24", 3, 2, 2);
  const struct {
    std::string file;
    std::size_t size;
    char bits;
  } cases[] = {{kAvi + "raw_pal8.avi", 1078u + 160 * 120, 8}, {temp / "narrow.avi", 54u + 12 * 2, 24}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    TAVIImage avi(kTestLimits);
    avi.SetFileName(c.file);
    avi.SetPosition(1);
    const std::string bmp = BmpImage(avi);
    ASSERT_EQ(bmp.size(), c.size);
    EXPECT_EQ(bmp.substr(0, kBmpFileHeaderSize), BmpFileHeader(std::string_view(bmp).substr(kBmpFileHeaderSize)));
    EXPECT_EQ(bmp[28], c.bits);
    EXPECT_EQ(DecodeBmp(bmp, kTestLimits), avi.Picture());
    std::ostream failing(nullptr);
    EXPECT_THROW(avi.SaveToStream(failing), FileError);
  }
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
  TempFolder temp;
  // No file, and a file that is no AVI video: no stream, no frame, nothing to save.
  for (const std::string& file : {std::string(), kAvi + "ref_frame_n0.png"}) {
    TAVIImage none(kTestLimits);
    if (!file.empty()) none.SetFileName(file);
    EXPECT_EQ(none.Length(), 0);
    EXPECT_EQ(none.FrameWidth(), 0);
    EXPECT_TRUE(none.Picture().Empty());
    EXPECT_EQ(BmpImage(none), "");
    EXPECT_THROW(none.SaveToFile(temp / "none.bmp"), FileError);
    EXPECT_FALSE(fs::exists(temp / "none.bmp"));
  }

  // Positions outside the video keep the frame; so does a missing file's
  // name (only stored) and a video removed while open.
  const std::string gone = temp / "gone.avi";
  fs::copy_file(kAvi + "ffv1.avi", gone);
  TAVIImage avi(kTestLimits);
  avi.SetFileName(gone);
  avi.SetPosition(3);
  const TBitmap third = avi.Picture();
  fs::remove(gone);
  for (int position : {20, -1, 2, 9}) {
    avi.SetPosition(position);
    EXPECT_EQ(avi.Position(), position);
    EXPECT_EQ(avi.Picture(), third) << position;
  }
  avi.SetFileName(kAvi + "missing.avi");
  EXPECT_EQ(avi.FileName(), kAvi + "missing.avi");
  EXPECT_EQ(avi.Length(), 20);
  EXPECT_EQ(avi.Picture(), third);

}

TEST(AVISplit, WritesOneNumberedBmpFilePerFrameInFrameOrder) {
  for (const auto& [index, name] : {std::pair{0, "AVI00001.bmp"}, {99998, "AVI99999.bmp"}, {99999, "AVI100000.bmp"}})
    EXPECT_EQ(AviFrameFileName(index), name);  // more figures instead of wrapping

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
