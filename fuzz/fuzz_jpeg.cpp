// JPEG reader: any bytes either decode or give a FileError, within bounded
// memory and time.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/uError.h"
#include "image/uJpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tracemill;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    DecodeJpeg(bytes, TImageLimits{std::uint64_t(64) << 20});
  } catch (const FileError&) {
  }
  return 0;
}
