#include "bench/uTrace.h"

#include <cmath>
#include <limits>

#include "bench/uTraceInk.h"
#include "common/uBilingual.h"
#include "common/uError.h"

namespace tracemill {

namespace {

constexpr TBilingualText kToleranceOutOfRange = {
    "The color tolerance must be from 0 to 255.",
    "色の許容差は０から２５５の範囲で指定してください。"};
constexpr TBilingualText kStepOutOfRange = {
    "The X step must be from 1 to 1000 pixels.",
    "Xの間隔は１から１０００ピクセルの範囲で指定してください。"};
constexpr TBilingualText kGapOutOfRange = {
    "The largest gap must be from 0 to 100 pixels.",
    "とぎれの幅は０から１００ピクセルの範囲で指定してください。"};
constexpr TBilingualText kNoPicture = {"There is no picture.", "画像がありません。"};
constexpr TBilingualText kSeedOutside = {"The starting point is outside the picture.",
                                         "指定した点が画像の外にあります。"};
constexpr TBilingualText kTooManyPoints = {
    "The curve gives more than 100000 points. Use a larger X step.",
    "点が１０００００個を超えました。Xの間隔を大きくしてください。"};
constexpr TBilingualText kTooManyMarkers = {
    "More than 100000 markers were found. Use a smaller color tolerance.",
    "マーカーが１０００００個を超えました。色の許容差を小さくしてください。"};

constexpr int kScales[] = {1, 3, 9, 27};

}  // namespace

std::string TraceSettingsMessage(const TTraceSettings& settings, bool japanese) {
  if (settings.Tolerance < 0 || settings.Tolerance > TTraceSettings::kMaxTolerance)
    return kToleranceOutOfRange.In(japanese);
  if (settings.StepX < 1 || settings.StepX > TTraceSettings::kMaxStepX)
    return kStepOutOfRange.In(japanese);
  if (settings.Gap < 0 || settings.Gap > TTraceSettings::kMaxGap)
    return kGapOutOfRange.In(japanese);
  return {};
}

void CheckTraceRequest(const TBitmap& picture, int seedX, int seedY, const TTraceSettings& settings,
                       bool japanese) {
  const std::string message = TraceSettingsMessage(settings, japanese);
  if (!message.empty()) throw InvalidOperation(message);
  if (picture.Empty()) throw InvalidOperation(kNoPicture.In(japanese));
  if (!picture.Contains(seedX, seedY)) throw InvalidOperation(kSeedOutside.In(japanese));
}

void RefuseTooManyPoints(bool markers, bool japanese) {
  throw InvalidOperation((markers ? kTooManyMarkers : kTooManyPoints).In(japanese));
}

std::int32_t PositionUnit(double pixel, int scale, int extent) {
  const double unit = std::floor(pixel * scale);  // the unit whose span holds the point
  const double last = double(extent) * scale - 1;
  if (!(unit > 0)) return 0;  // also NaN
  return std::int32_t(unit < last ? unit : last);
}

std::unique_ptr<TMeasuredPoints> MeasuredLine(const std::vector<TTracePoint>& points, int scale,
                                              int width, int height,
                                              const TCoefficients& coefficients, bool logX,
                                              bool logY) {
  bool knownScale = false;
  for (int s : kScales) knownScale = knownScale || s == scale;
  constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
  if (!knownScale || width <= 0 || height <= 0 || std::int64_t(width) * scale > kLargest ||
      std::int64_t(height) * scale > kLargest)
    throw InvalidOperation("MeasuredLine: scale or picture size out of range");
  auto line = std::make_unique<TMeasuredPoints>();
  for (const TTracePoint& p : points) {
    auto point = std::make_unique<TMeasuredPoint>(PositionUnit(p.X, scale, width),
                                                  PositionUnit(p.Y, scale, height), width * scale,
                                                  height * scale);
    ComputeValues(coefficients, logX, logY, *point);
    line->Add(std::move(point));
  }
  return line;
}

}  // namespace tracemill
