#pragma once
// Little-endian 16- and 32-bit values in byte buffers, as BMP files and
// device-independent bitmaps store them.

#include <cstdint>

namespace tracemill {

inline std::uint16_t GetLE16(const std::uint8_t* p) { return std::uint16_t(p[0] | (p[1] << 8)); }

inline std::uint32_t GetLE32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
         (std::uint32_t(p[3]) << 24);
}

inline std::int32_t GetLE32Signed(const std::uint8_t* p) { return static_cast<std::int32_t>(GetLE32(p)); }

inline void PutLE16(std::uint8_t* p, std::uint32_t v) {
  p[0] = std::uint8_t(v);
  p[1] = std::uint8_t(v >> 8);
}

inline void PutLE32(std::uint8_t* p, std::uint32_t v) {
  PutLE16(p, v);
  PutLE16(p + 2, v >> 16);
}

}  // namespace tracemill
