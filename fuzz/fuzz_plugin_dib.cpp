// Plug-in output: any BITMAPINFO and pixel rows either convert or give a
// FileError, and neither block is read beyond its allocation.
//
// Input: a BMP file (its info block is bytes 14 .. pixel offset, its rows
// the rest), or otherwise one byte k followed by a 40 + 4k byte info block
// and the rows.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/uError.h"
#include "image/uSPI.h"

namespace {

void* Block(const std::uint8_t* data, std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (size) std::memcpy(block, data, size);
  return block;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tracemill;
  std::size_t infoStart, infoEnd;
  if (size >= 14 && data[0] == 'B' && data[1] == 'M') {
    std::uint32_t offset = data[10] | data[11] << 8 | data[12] << 16 | std::uint32_t(data[13]) << 24;
    infoStart = 14;
    infoEnd = offset < 14 ? 14 : offset > size ? size : offset;
  } else {
    if (size < 1) return 0;
    infoStart = 1;
    infoEnd = std::min<std::size_t>(size, 1 + 40 + 4 * std::size_t(data[0]));
  }
  void* info = Block(data + infoStart, infoEnd - infoStart);
  void* bits = Block(data + infoEnd, size - infoEnd);
  try {
    const TBitmap picture = BitmapFromPluginPicture(info, bits, TImageLimits{std::uint64_t(64) << 20});
    if (picture.Empty()) __builtin_trap();
  } catch (const FileError&) {
  }
  return 0;
}
