// An image plug-in that decodes PNG, GIF, TIFF and WebP files with Qt's image
// readers and hands them to the program as 24-bit DIBs. Transparent pixels
// are laid over white. BMP and JPEG are left to the program's own readers.

#include <unistd.h>

#include <QtCore/QBuffer>
#include <QtCore/QByteArray>
#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtGui/QImageReader>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/ImagePluginAbi.h"

namespace {

const char* const kApiVersion = "00IN";
const char* const kPluginName = "Tracemill image plug-in for PNG, GIF, TIFF and WebP (Qt " QT_VERSION_STR ")";

const int kAllocationLimitMb = 2048;

struct FileType {
  const char* qtFormat;
  const char* patterns;
  const char* description;
};

const FileType kFileTypes[] = {
    {"png", "*.png", "Portable Network Graphics"},
    {"gif", "*.gif", "Graphics Interchange Format"},
    {"tiff", "*.tif;*.tiff", "Tagged Image File Format"},
    {"webp", "*.webp", "WebP"},
};

// The file types whose Qt reader is installed.
const std::vector<const FileType*>& AvailableTypes() {
  static const std::vector<const FileType*> types = [] {
    std::vector<const FileType*> result;
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const FileType& t : kFileTypes)
      if (formats.contains(QByteArray(t.qtFormat))) result.push_back(&t);
    return result;
  }();
  return types;
}

// The type that a file starting with these bytes has, if it is available.
const FileType* Sniff(const unsigned char* h, std::size_t n) {
  const char* format = nullptr;
  if (n >= 8 && std::memcmp(h, "\x89PNG\r\n\x1a\n", 8) == 0)
    format = "png";
  else if (n >= 6 && (std::memcmp(h, "GIF87a", 6) == 0 || std::memcmp(h, "GIF89a", 6) == 0))
    format = "gif";
  else if (n >= 4 && (std::memcmp(h, "II*\0", 4) == 0 || std::memcmp(h, "MM\0*", 4) == 0))
    format = "tiff";
  else if (n >= 12 && std::memcmp(h, "RIFF", 4) == 0 && std::memcmp(h + 8, "WEBP", 4) == 0)
    format = "webp";
  if (!format) return nullptr;
  for (const FileType* t : AvailableTypes())
    if (std::strcmp(t->qtFormat, format) == 0) return t;
  return nullptr;
}

int CopyText(const char* text, char* buffer, int length) {
  if (!buffer || length <= 0) return 0;
  int n = static_cast<int>(std::min<std::size_t>(std::strlen(text), static_cast<std::size_t>(length)));
  std::memcpy(buffer, text, static_cast<std::size_t>(n));
  if (n < length) buffer[n] = '\0';
  return n;
}

// Decodes the image read from device, whose first bytes are in head.
int Decode(QIODevice& device, const QByteArray& head, void** info, void** bits) {
  const FileType* type =
      Sniff(reinterpret_cast<const unsigned char*>(head.constData()), static_cast<std::size_t>(head.size()));
  if (!type) return TM_SPI_UNKNOWN_FORMAT;
  // Qt refuses pictures over 256 MB by default; scanned charts can be larger.
  if (QImageReader::allocationLimit() < kAllocationLimitMb) QImageReader::setAllocationLimit(kAllocationLimitMb);
  QImageReader reader(&device, type->qtFormat);
  reader.setDecideFormatFromContent(false);
  QImage image;
  if (!reader.read(&image) || image.isNull()) return TM_SPI_BROKEN_DATA;
  image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) return TM_SPI_NO_MEMORY;

  const std::uint64_t width = static_cast<std::uint64_t>(image.width());
  const std::uint64_t height = static_cast<std::uint64_t>(image.height());
  const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
  if (stride * height > 0xFFFFFFFFu - 54) return TM_SPI_NO_MEMORY;

  auto* header = static_cast<TmBitmapInfoHeader*>(std::calloc(1, sizeof(TmBitmapInfoHeader)));
  auto* pixels = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(stride * height)));
  if (!header || !pixels) {
    std::free(header);
    std::free(pixels);
    return TM_SPI_NO_MEMORY;
  }
  header->biSize = sizeof(TmBitmapInfoHeader);
  header->biWidth = static_cast<std::int32_t>(width);
  header->biHeight = static_cast<std::int32_t>(height);
  header->biPlanes = 1;
  header->biBitCount = 24;
  header->biSizeImage = static_cast<std::uint32_t>(stride * height);

  const bool alpha = image.format() == QImage::Format_ARGB32;
  for (std::uint64_t y = 0; y < height; ++y) {
    const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(y)));
    unsigned char* dst = pixels + (height - 1 - y) * stride;
    for (std::uint64_t x = 0; x < width; ++x) {
      QRgb c = src[x];
      unsigned r = qRed(c), g = qGreen(c), b = qBlue(c);
      if (alpha) {
        unsigned a = qAlpha(c);
        r = (r * a + 255 * (255 - a) + 127) / 255;
        g = (g * a + 255 * (255 - a) + 127) / 255;
        b = (b * a + 255 * (255 - a) + 127) / 255;
      }
      dst[3 * x] = static_cast<unsigned char>(b);
      dst[3 * x + 1] = static_cast<unsigned char>(g);
      dst[3 * x + 2] = static_cast<unsigned char>(r);
    }
    std::memset(dst + 3 * width, 0, static_cast<std::size_t>(stride - 3 * width));
  }
  *info = header;
  *bits = pixels;
  return TM_SPI_SUCCESS;
}

}  // namespace

extern "C" {

TM_SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) {
  if (number == 0) return CopyText(kApiVersion, buffer, length);
  if (number == 1) return CopyText(kPluginName, buffer, length);
  if (number < 2) return 0;
  const auto& types = AvailableTypes();
  const std::size_t index = static_cast<std::size_t>(number - 2) / 2;
  if (index >= types.size()) return 0;
  return CopyText(number % 2 == 0 ? types[index]->patterns : types[index]->description, buffer, length);
}

// Claims a file that starts with a known signature, also behind a 128-byte
// MacBinary header (GetPicture is then called again with offset 128).
TM_SPI_EXPORT int IsSupported(const char* /*fileName*/, intptr_t fd) {
  for (off_t at : {off_t(0), off_t(128)}) {
    unsigned char head[16];
    ssize_t n = ::pread(static_cast<int>(fd), head, sizeof head, at);
    if (n > 0 && Sniff(head, static_cast<std::size_t>(n))) return 1;
  }
  return 0;
}

TM_SPI_EXPORT int GetPicture(const char* fileName, intptr_t offset, unsigned int flag, void** info, void** bits,
                             TmSpiProgressCallback /*progress*/, intptr_t /*data*/) {
  if (!fileName || !info || !bits) return TM_SPI_INTERNAL_ERROR;
  if ((flag & 7) == TM_SPI_INPUT_MEMORY) {
    if (offset <= 0) return TM_SPI_BROKEN_DATA;
    QByteArray bytes = QByteArray::fromRawData(fileName, static_cast<qsizetype>(offset));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return Decode(buffer, bytes.left(16), info, bits);
  }
  if ((flag & 7) != TM_SPI_INPUT_FILE || offset < 0) return TM_SPI_NOT_IMPLEMENTED;
  QFile file(QString::fromUtf8(fileName));
  if (!file.open(QIODevice::ReadOnly) || !file.seek(offset)) return TM_SPI_FILE_READ_ERROR;
  QByteArray head = file.peek(16);
  return Decode(file, head, info, bits);
}

}  // extern "C"
