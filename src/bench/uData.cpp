#include "bench/uData.h"

namespace tracemill {

double NormalizedU(std::int32_t posX, std::int32_t width) {
  return (2.0 * posX + 1.0) / (2.0 * width);
}

double NormalizedV(std::int32_t posY, std::int32_t height) {
  return (2.0 * posY + 1.0) / (2.0 * height);
}

TStandardPoint::TStandardPoint(std::int32_t posX, std::int32_t posY, std::int32_t width,
                               std::int32_t height)
    : PosX(posX),
      PosY(posY),
      Width(width),
      Height(height),
      TextX(std::to_string(posX)),
      TextY(std::to_string(posY)),
      ValueX(posX),
      ValueY(posY) {}

std::pair<std::int32_t, std::int32_t> PositionAtScale(std::int32_t posX, std::int32_t posY,
                                                      std::int32_t width, std::int32_t extent) {
  // A point read from a damaged state text may carry a zero or negative
  // extent; it then stays where it is instead of dividing by zero.
  if (width <= 0 || extent <= 0) return {posX, posY};
  if (width > extent) {
    const std::int32_t f = width / extent;
    return {posX / f, posY / f};
  }
  const std::int64_t f = extent / width;
  const std::int64_t h = f / 2;
  auto scaled = [&](std::int32_t p) {
    const std::int64_t v = p * f + h;
    return static_cast<std::int32_t>(v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : v);
  };
  return {scaled(posX), scaled(posY)};
}

void TDataSet::DeleteLineById(std::int32_t id) {
  for (int i = Measured.Count() - 1; i >= 0; --i) {
    const TMeasuredPoints* line = Measured.Item(i);
    if (line && line->Id == id) Measured.Delete(i);
  }
  if (OnRepaint) OnRepaint();
}

}  // namespace tracemill
