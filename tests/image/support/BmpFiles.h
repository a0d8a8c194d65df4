#pragma once
// BMP files built byte by byte, for the image tests, the fuzz targets and the
// benchmarks (no test framework needed).

#include <cstdint>
#include <initializer_list>
#include <string>

#include "image/uBitmap.h"

namespace tracemill::testing {

// Little-endian bytes, `width` bytes per value.
inline std::string Le(int width, std::initializer_list<std::uint32_t> values) {
  std::string s;
  for (std::uint32_t v : values)
    for (int i = 0; i < width; ++i) s += char((v >> (8 * i)) & 0xFF);
  return s;
}

// A 40-byte BITMAPINFOHEADER.
inline std::string InfoHeader(int w, int h, unsigned bits, unsigned compression = 0, std::uint32_t used = 0,
                              std::uint32_t imageSize = 0) {
  return Le(4, {40, std::uint32_t(w), std::uint32_t(h)}) + Le(2, {1, bits}) +
         Le(4, {compression, imageSize, 2835, 2835, used, 0});
}

// A whole BMP file: file header, then info (header and colour table), then pixels.
inline std::string BmpFile(const std::string& info, const std::string& pixels) {
  const auto at = std::uint32_t(14 + info.size());
  return Le(2, {19778}) + Le(4, {at + std::uint32_t(pixels.size()), 0, at}) + info + pixels;
}

// The bitmap as a 24-bit bottom-up BMP file.
inline std::string BmpFileOf(const TBitmap& bitmap) {
  const int w = bitmap.Width(), h = bitmap.Height();
  const std::size_t stride = (std::size_t(w) * 3 + 3) / 4 * 4;
  std::string pixels(stride * std::size_t(h), '\0');
  for (int y = 0; y < h; ++y) {
    char* row = pixels.data() + std::size_t(h - 1 - y) * stride;
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = bitmap.Pixel(x, y);
      row[3 * x] = char(p), row[3 * x + 1] = char(p >> 8), row[3 * x + 2] = char(p >> 16);
    }
  }
  return BmpFile(InfoHeader(w, h, 24, 0, 0, std::uint32_t(pixels.size())), pixels);
}

}  // namespace tracemill::testing
