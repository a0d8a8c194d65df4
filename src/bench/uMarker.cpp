#include "bench/uMarker.h"

namespace tracemill {

namespace {

constexpr char kMarkerChar = 'o';
constexpr char kClearChar = ' ';

constexpr std::string_view kPresets[kPresetShapeCount] = {
    "                         ",  // empty
    "            o            ",  // single centre pixel
    "       o   ooo   o       ",  // small plus
    "  o    o  ooooo  o    o  ",  // plus
    "      o o   o   o o      ",  // small diagonal cross
    "      ooo  ooo  ooo      ",  // filled 3 x 3 square
    "  o   ooo ooooo ooo   o  ",  // filled diamond
    "o   o o o   o   o o o   o",  // diagonal cross
    "o   o ooo  ooo  ooo o   o",  // diagonal cross with a filled centre
    "o o o ooo ooooo ooo o o o",  // eight-pointed star
    " ooo o   oo o oo   o ooo ",  // ring with a centre pixel
};

}  // namespace

TMarkerShape TMarkerShape::FromText(std::string_view text) {
  std::uint32_t bits = 0;
  const std::size_t n = text.size() < 25 ? text.size() : 25;
  for (std::size_t i = 0; i < n; ++i)
    if (text[i] == kMarkerChar) bits |= 1u << i;
  return TMarkerShape(bits);
}

std::string TMarkerShape::Text() const {
  std::string text(25, kClearChar);
  for (int i = 0; i < 25; ++i)
    if ((bits_ >> i) & 1u) text[static_cast<std::size_t>(i)] = kMarkerChar;
  return text;
}

void TMarkerShape::SetPixel(int x, int y, bool on) {
  const std::uint32_t bit = 1u << (y * kSize + x);
  bits_ = on ? (bits_ | bit) : (bits_ & ~bit);
}

std::string_view PresetShapeText(int index) {
  if (index < 1 || index >= kPresetShapeCount) return kPresets[0];
  return kPresets[index];
}

TMarkerShape PresetShape(int index) { return TMarkerShape::FromText(PresetShapeText(index)); }

void TMarkerStyle::SetPattern(int index) {
  if (index >= 0) Shape = PresetShape(index);
  Pattern = index;
}

void TMarkerStyle::SetShape(TMarkerShape shape) {
  Shape = shape;
  Pattern = -1;
}

}  // namespace tracemill
