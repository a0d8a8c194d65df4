// The bundled image plug-in: PNG, GIF, TIFF and WebP through uSPI, while BMP
// and JPEG stay with the built-in readers.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QtCore/QBuffer>
#include <QtGui/QImage>
#include <filesystem>
#include <string>

#include "common/uError.h"
#include "common/uFileIO.h"
#include "image/uBitmap.h"
#include "image/uSPI.h"

namespace fs = std::filesystem;
using namespace tracemill;

#ifdef TRACEMILL_PLUGIN_BUILD_DIR

namespace {

class BundledPlugin : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadPlugins({TRACEMILL_PLUGIN_BUILD_DIR});
    BuildFilterTable();
    folder_ = fs::temp_directory_path() / ("tm-qtspi-" + std::to_string(::getpid()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    UnloadPlugins();
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }

  // A 7 x 5 picture of a few flat colours, saved in the given format.
  static QImage Sample() {
    QImage image(7, 5, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(250, 250, 10)};
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) image.setPixel(x, y, colours[(x + 2 * y) % 4]);
    return image;
  }
  std::string Save(const QImage& image, const std::string& name, const char* format, int quality = -1) const {
    const std::string path = Path(name);
    EXPECT_TRUE(image.save(QString::fromStdString(path), format, quality)) << format;
    return path;
  }

  fs::path folder_;
};

// Qt writes no GIF files; this writes one with 9-bit LZW codes and a clear
// code often enough that the code width never grows.
std::string GifOf(const QImage& image) {
  QList<QRgb> palette;
  std::string out = "GIF89a";
  auto put16 = [&](int v) { out += char(v & 0xFF), out += char(v >> 8); };
  put16(image.width());
  put16(image.height());
  out += char(0xF7), out += char(0), out += char(0);
  std::vector<int> indices;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      QRgb c = image.pixel(x, y) | 0xFF000000u;
      if (!palette.contains(c)) palette.append(c);
      indices.push_back(static_cast<int>(palette.indexOf(c)));
    }
  for (int i = 0; i < 256; ++i) {
    QRgb c = i < palette.size() ? palette[i] : 0;
    out += char(qRed(c)), out += char(qGreen(c)), out += char(qBlue(c));
  }
  out += char(0x2C);
  put16(0), put16(0), put16(image.width()), put16(image.height());
  out += char(0), out += char(8);
  std::string data;
  std::uint32_t bits = 0;
  int count = 0;
  auto code = [&](int c) {
    bits |= std::uint32_t(c) << count;
    for (count += 9; count >= 8; count -= 8, bits >>= 8) data += char(bits & 0xFF);
  };
  code(256);
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i && i % 200 == 0) code(256);
    code(indices[i]);
  }
  code(257);
  if (count) data += char(bits & 0xFF);
  for (std::size_t i = 0; i < data.size(); i += 255) {
    const std::string block = data.substr(i, 255);
    out += char(block.size()) + block;
  }
  out += char(0), out += char(0x3B);
  return out;
}

void ExpectSamePixels(const TBitmap& bitmap, const QImage& image) {
  ASSERT_EQ(bitmap.Width(), image.width());
  ASSERT_EQ(bitmap.Height(), image.height());
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      EXPECT_EQ(bitmap.Pixel(x, y), image.pixel(x, y) | 0xFF000000u) << x << "," << y;
}

}  // namespace

TEST_F(BundledPlugin, RegistersItsFileTypesBesideTheBuiltInOnes) {
  ASSERT_EQ(PluginCount(), 1);
  EXPECT_EQ(PluginApiVersion(0), "00IN");
  const std::string all = AllFilterPatterns();
  for (const char* pattern : {"*.png", "*.gif", "*.tif", "*.tiff", "*.webp", "*.bmp", "*.dib", "*.jpeg", "*.jpg"})
    EXPECT_NE((";" + all + ";").find(std::string(";") + pattern + ";"), std::string::npos) << pattern;
  EXPECT_EQ(FilterDescription(FilterCount() - 2), "Windows Bitmap");
  EXPECT_EQ(FilterDescription(FilterCount() - 1), "JPEG");
}

TEST_F(BundledPlugin, DecodesPngGifTiffAndWebp) {
  const QImage sample = Sample();
  WriteFileAtomic(Path("a.gif"), GifOf(sample));
  for (auto [name, format, quality] : {std::tuple{"a.png", "png", -1}, std::tuple{"a.gif", "", -1},
                                       std::tuple{"a.tif", "tiff", -1}, std::tuple{"a.webp", "webp", 100}}) {
    SCOPED_TRACE(name);
    const std::string path = *format ? Save(sample, name, format, quality) : Path(name);
    EXPECT_EQ(FindPictureLoader(path), 0);
    TBitmap target;
    LoadPictureFile(path, target);
    ExpectSamePixels(target, sample);
  }

  // The plug-in goes by content: a PNG named .bmp is still its file.
  const std::string disguised = Save(sample, "png.bmp", "png");
  EXPECT_EQ(FindPictureLoader(disguised), 0);

  // Behind a 128-byte MacBinary header.
  const std::string mac = Path("mac.png");
  WriteFileAtomic(mac, std::string(128, '\0') + ReadFileBytes(Path("a.png")));
  EXPECT_EQ(FindPictureLoader(mac), 0);
  TBitmap macTarget;
  LoadPictureFile(mac, macTarget);
  ExpectSamePixels(macTarget, sample);

  // Transparent pixels are laid over white.
  QImage clear(2, 1, QImage::Format_ARGB32);
  clear.setPixel(0, 0, qRgba(0, 0, 0, 0));
  clear.setPixel(1, 0, qRgba(0, 0, 255, 255));
  TBitmap target;
  LoadPictureFile(Save(clear, "clear.png", "png"), target);
  ASSERT_EQ(target.Width(), 2);
  EXPECT_EQ(target.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(target.Pixel(1, 0), 0xFF0000FFu);
}

TEST_F(BundledPlugin, LeavesBmpAndJpegToTheBuiltInReadersAndFailsCleanly) {
  const QImage sample = Sample();
  EXPECT_EQ(FindPictureLoader(Save(sample, "b.bmp", "bmp")), 1);
  EXPECT_EQ(FindPictureLoader(Save(sample, "b.jpg", "jpeg")), 2);
  EXPECT_EQ(FindPictureLoader(Save(sample, "b.ppm", "ppm")), -1);

  // A PNG cut short: claimed, not decoded, target untouched.
  const std::string png = ReadFileBytes(Save(sample, "whole.png", "png"));
  const std::string cut = Path("cut.png");
  WriteFileAtomic(cut, std::string_view(png).substr(0, png.size() / 2));
  TBitmap target(1, 1);
  const TBitmap before = target;
  EXPECT_EQ(FindPictureLoader(cut), 0);
  LoadPictureFile(cut, target);
  EXPECT_EQ(target, before);
}

#endif
