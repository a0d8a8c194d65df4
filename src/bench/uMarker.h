#pragma once
// Marker shapes: 5 x 5 patterns drawn at every standard and measured point,
// the eleven preset shapes, and the shape text of the settings ("o" for a
// marker pixel, a blank for a transparent one, 25 characters row by row).

#include <cstdint>
#include <string>
#include <string_view>

namespace tracemill {

class TMarkerShape {
 public:
  static constexpr int kSize = 5;

  constexpr TMarkerShape() = default;
  // Bit y * 5 + x set for the marker pixel (x, y).
  constexpr explicit TMarkerShape(std::uint32_t bits) : bits_(bits & kAllBits) {}

  // Character i (from 0) marks pixel (i mod 5, i div 5) when it is "o";
  // characters past the 25th are ignored, missing ones leave pixels clear.
  static TMarkerShape FromText(std::string_view text);
  // 25 characters: "o" for a marker pixel, a blank for a transparent one.
  std::string Text() const;

  // (x, y) must lie within 0..4.
  bool Pixel(int x, int y) const { return (bits_ >> (y * kSize + x)) & 1u; }
  void SetPixel(int x, int y, bool on);
  std::uint32_t Bits() const { return bits_; }

  friend bool operator==(TMarkerShape a, TMarkerShape b) { return a.bits_ == b.bits_; }

 private:
  static constexpr std::uint32_t kAllBits = (1u << 25) - 1;
  std::uint32_t bits_ = 0;
};

inline constexpr int kPresetShapeCount = 11;
// The preset shape of an index (0 .. 10); any other index is the empty shape.
std::string_view PresetShapeText(int index);
TMarkerShape PresetShape(int index);

// The pattern a bench starts with for both kinds of marker: the diagonal cross.
inline constexpr int kInitialPattern = 7;

// How one kind of marker looks: colour (0x00BBGGRR), preset index (-1 for a
// shape of the user's own) and shape.
struct TMarkerStyle {
  std::uint32_t Color = 0;
  int Pattern = kInitialPattern;
  TMarkerShape Shape = PresetShape(kInitialPattern);

  // A preset index (>= 0) also sets its shape; a negative one keeps the shape.
  void SetPattern(int index);
  // A shape of the user's own: the pattern index becomes -1.
  void SetShape(TMarkerShape shape);
};

}  // namespace tracemill
