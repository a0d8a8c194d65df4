// The bundled image plug-in: PNG, GIF, TIFF and WebP through uSPI, while BMP
// and JPEG stay with the built-in readers.

#include <gtest/gtest.h>

#include <QtGui/QImage>
#include <string>
#include <tuple>

#include "TestImages.h"
#include "common/uFileIO.h"
#include "image/uBitmap.h"
#include "image/uSPI.h"

using namespace tracemill;
using namespace tracemill::testing;

#ifdef TRACEMILL_PLUGIN_BUILD_DIR

namespace {

// A 7 x 5 picture of four flat colours.
QImage Sample() {
  QImage image(7, 5, QImage::Format_RGB32);
  const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(250, 250, 10)};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) image.setPixel(x, y, colours[(x + 2 * y) % 4]);
  return image;
}

class BundledPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.LoadPlugins({TRACEMILL_PLUGIN_BUILD_DIR});
    table_.BuildFilterTable();
  }
  std::string Save(const QImage& image, const std::string& name, const char* format, int quality = -1) const {
    EXPECT_TRUE(image.save(QString::fromStdString(temp_ / name), format, quality)) << format;
    return temp_ / name;
  }
  TBitmap Load(const std::string& path) const {
    TBitmap target;
    table_.LoadPictureFile(path, target, kTestLimits);
    return target;
  }

  TPluginTable table_;
  TempFolder temp_;
  const QImage sample_ = Sample();
};

}  // namespace

TEST_F(BundledPlugin, RegistersItsFileTypesBesideTheBuiltInOnes) {
  ASSERT_EQ(table_.PluginCount(), 1);
  EXPECT_EQ(table_.PluginApiVersion(0), "00IN");
  const std::string all = ";" + table_.AllFilterPatterns() + ";";
  for (const char* pattern : {"*.png", "*.gif", "*.tif", "*.tiff", "*.webp", "*.bmp", "*.dib", "*.jpeg", "*.jpg"})
    EXPECT_NE(all.find(std::string(";") + pattern + ";"), std::string::npos) << pattern;
  EXPECT_EQ(table_.FilterDescription(table_.FilterCount() - 2), "Windows Bitmap");
  EXPECT_EQ(table_.FilterDescription(table_.FilterCount() - 1), "JPEG");
}

TEST_F(BundledPlugin, DecodesPngGifTiffAndWebp) {
  const TBitmap want = FromQImage(sample_);
  for (auto [name, format, quality] :
       {std::tuple{"a.png", "png", -1}, std::tuple{"a.tif", "tiff", -1}, std::tuple{"a.webp", "webp", 100}}) {
    SCOPED_TRACE(name);
    const std::string path = Save(sample_, name, format, quality);
    EXPECT_EQ(table_.FindPictureLoader(path), 0);
    EXPECT_TRUE(Near(Load(path), want));
  }

  // Qt writes no GIF files; this one is 2 x 2 with a 4-colour table (red,
  // green, blue, white) and 3-bit LZW codes: clear, 0, 1, clear, 2, 3, end.
  const std::string gif = temp_.File("a.gif", std::string("GIF89a\x02\0\x02\0\x91\0\0"
                                                          "\xFF\0\0\0\xFF\0\0\0\xFF\xFF\xFF\xFF"
                                                          "\x2C\0\0\0\0\x02\0\x02\0\0"
                                                          "\x02\x03\x44\xA8\x15\0\x3B",
                                                          42));
  TBitmap gifPixels(2, 2);
  gifPixels.SetPixel(0, 0, 0xFFFF0000);
  gifPixels.SetPixel(1, 0, 0xFF00FF00);
  gifPixels.SetPixel(0, 1, 0xFF0000FF);
  gifPixels.SetPixel(1, 1, 0xFFFFFFFF);
  EXPECT_EQ(table_.FindPictureLoader(gif), 0);
  EXPECT_TRUE(Near(Load(gif), gifPixels));

  // The plug-in goes by content: a PNG named .bmp is still its file.
  EXPECT_EQ(table_.FindPictureLoader(Save(sample_, "png.bmp", "png")), 0);

  // Behind a 128-byte MacBinary header.
  const std::string mac = temp_.File("mac.png", std::string(128, '\0') + ReadFileBytes(temp_ / "a.png"));
  EXPECT_EQ(table_.FindPictureLoader(mac), 0);
  EXPECT_TRUE(Near(Load(mac), want));

  // Transparent pixels are laid over white.
  QImage clear(2, 1, QImage::Format_ARGB32);
  clear.setPixel(0, 0, qRgba(0, 0, 0, 0));
  clear.setPixel(1, 0, qRgba(0, 0, 255, 255));
  const TBitmap overWhite = Load(Save(clear, "clear.png", "png"));
  ASSERT_EQ(overWhite.Width(), 2);
  EXPECT_EQ(overWhite.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(overWhite.Pixel(1, 0), 0xFF0000FFu);
}

TEST_F(BundledPlugin, LeavesBmpAndJpegToTheBuiltInReadersAndFailsCleanly) {
  EXPECT_EQ(table_.FindPictureLoader(Save(sample_, "b.bmp", "bmp")), 1);
  EXPECT_EQ(table_.FindPictureLoader(Save(sample_, "b.jpg", "jpeg")), 2);
  EXPECT_EQ(table_.FindPictureLoader(Save(sample_, "b.ppm", "ppm")), -1);

  // A PNG cut short: claimed, not decoded, target untouched.
  const std::string png = ReadFileBytes(Save(sample_, "whole.png", "png"));
  const std::string cut = temp_.File("cut.png", png.substr(0, png.size() / 2));
  const TBitmap before = Filled(1, 1, 0xFF102030);
  TBitmap target = before;
  EXPECT_EQ(table_.FindPictureLoader(cut), 0);
  EXPECT_TRUE(Refused([&] { table_.LoadPictureFile(cut, target, kTestLimits); }, {cut, "qtimage.spi", "broken data"}));
  EXPECT_EQ(target, before);
}

#endif
