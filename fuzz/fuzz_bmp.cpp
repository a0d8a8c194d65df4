// BMP reader: any bytes either decode or give a FileError; what decodes
// survives a round trip through a 24-bit BMP file unchanged. The same bytes
// also go through the packed-DIB conversion and the BMP file header writer.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "BmpFiles.h"
#include "common/uError.h"
#include "image/uBmp.h"
#include "image/uLittleEndian.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tracemill;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const TImageLimits limits{std::uint64_t(64) << 20};
  try {
    const TBitmap picture = DecodeBmp(bytes, limits);
    const TBitmap again = DecodeBmp(testing::BmpFileOf(picture), limits);
    if (!(again == picture)) __builtin_trap();
  } catch (const FileError&) {
  }
  std::istringstream in{std::string(bytes)};
  try {
    ReadBmp(in, limits);
  } catch (const FileError&) {
  }
  const std::string_view dib = bytes.size() > 14 ? bytes.substr(14) : bytes;
  try {
    BitmapFromPackedDib(dib, limits);
  } catch (const FileError&) {
  }
  try {
    const std::string header = BmpFileHeader(dib);
    const std::uint32_t fileSize = GetLE32(reinterpret_cast<const std::uint8_t*>(header.data()) + 2);
    if (header.size() != kBmpFileHeaderSize || fileSize < 14 || fileSize - 14 > dib.size()) __builtin_trap();
  } catch (const FileError&) {
  }
  return 0;
}
