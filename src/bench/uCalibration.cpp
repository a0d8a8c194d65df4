#include "bench/uCalibration.h"

#include <cmath>
#include <optional>

#include "common/uNumber.h"

namespace tracemill {

const char* const kCalibrationErrorCaption = "Error";

namespace {

constexpr double kMinimumSpread = 0.0001;  // of the image extent, for two points
constexpr double kMinimumArea = 0.0000001;  // determinant, for three points

struct Sample {
  double u, v, x, y;
};

bool HasExtent(std::int32_t width, std::int32_t height) { return width > 0 && height > 0; }

// The normalized position and values of a standard point; nullopt for a point
// that has no position (no extent) or values that are not finite.
std::optional<Sample> SampleOf(const TStandardPoint& p) {
  if (!HasExtent(p.Width, p.Height) || !std::isfinite(p.ValueX) || !std::isfinite(p.ValueY))
    return std::nullopt;
  return Sample{NormalizedU(p.PosX, p.Width), NormalizedV(p.PosY, p.Height), p.ValueX, p.ValueY};
}

// Fails when a value on a logarithmic axis is not positive; otherwise takes
// the logarithms in place.
bool ToAxisScale(Sample* samples, int n, bool logX, bool logY) {
  for (int i = 0; i < n; ++i)
    if ((logX && samples[i].x <= 0) || (logY && samples[i].y <= 0)) return false;
  for (int i = 0; i < n; ++i) {
    if (logX) samples[i].x = std::log(samples[i].x);
    if (logY) samples[i].y = std::log(samples[i].y);
  }
  return true;
}

// The constant term that makes the point a read its value.
double Offset(const Sample& a, double value, double perU, double perV) { return value - (perV * a.v + perU * a.u); }

// One point: one value unit per image pixel, shifted to the point's values.
TCoefficients OnePoint(const Sample& a, std::int32_t width, std::int32_t height) {
  TCoefficients c;
  c.Ax = width;
  c.Cx = Offset(a, a.x, c.Ax, c.Bx);
  c.By = height;
  c.Cy = Offset(a, a.y, c.Ay, c.By);
  return c;
}

// Two points: independent scales, X on u only and Y on v only.
TCalibrationResult TwoPoints(Sample* s, bool logX, bool logY, TCoefficients& c) {
  if (std::fabs(s[1].u - s[0].u) < kMinimumSpread || std::fabs(s[1].v - s[0].v) < kMinimumSpread)
    return TCalibrationResult::Line;
  if (!ToAxisScale(s, 2, logX, logY)) return TCalibrationResult::Log;
  const Sample& a = s[0];
  const Sample& b = s[1];
  c.Ax = (b.x - a.x) / (b.u - a.u);
  c.Bx = 0;
  c.Cx = Offset(a, a.x, c.Ax, c.Bx);
  c.Ay = 0;
  c.By = (b.y - a.y) / (b.v - a.v);
  c.Cy = Offset(a, a.y, c.Ay, c.By);
  return TCalibrationResult::Ok;
}

// Three points: the affine transform through them (Cramer's rule), which
// also serves rotated or skewed axes.
TCalibrationResult ThreePoints(Sample* s, bool logX, bool logY, TCoefficients& c) {
  const double duB = s[1].u - s[0].u, duC = s[2].u - s[0].u;
  const double dvB = s[1].v - s[0].v, dvC = s[2].v - s[0].v;
  if (std::fabs(duC * dvB - duB * dvC) < kMinimumArea) return TCalibrationResult::Triangle;
  if (!ToAxisScale(s, 3, logX, logY)) return TCalibrationResult::Log;
  auto solve = [&](double va, double vb, double vc, double& perU, double& perV, double& offset) {
    perU = ((vc - va) * dvB - (vb - va) * dvC) / (duC * dvB - duB * dvC);
    perV = ((vc - va) * duB - (vb - va) * duC) / (dvC * duB - dvB * duC);
    offset = Offset(s[0], va, perU, perV);
  };
  solve(s[0].x, s[1].x, s[2].x, c.Ax, c.Bx, c.Cx);
  solve(s[0].y, s[1].y, s[2].y, c.Ay, c.By, c.Cy);
  return TCalibrationResult::Ok;
}

bool AllFinite(const TCoefficients& c) {
  for (double k : {c.Ax, c.Bx, c.Cx, c.Ay, c.By, c.Cy})
    if (!std::isfinite(k)) return false;
  return true;
}

// Failure messages, with their trailing line break.
constexpr std::string_view kLineJapanese = "基準点は縦横に並ばないようにしてください。\r\n";
constexpr std::string_view kLineEnglish = "Standard points should not be in Horizontal Line nor Vertical Line.\r\n";
constexpr std::string_view kLogJapanese = "対数軸では正の数を指定してください。\r\n";
constexpr std::string_view kLogEnglish = "Log scale allows only positive value.\r\n";
constexpr std::string_view kTriangleJapanese = "基準点は三角形を形作るように指定してください。\r\n";
constexpr std::string_view kTriangleEnglish = "Standard points should make a triangle.\r\n";
constexpr std::string_view kOutOfRangeJapanese = "基準点またはその値が範囲外です。\r\n";
constexpr std::string_view kOutOfRangeEnglish = "Standard points or their values are out of range.\r\n";

}  // namespace

TCalibrationResult Calibrate(const TStandardList& standards, std::int32_t width,
                             std::int32_t height, TCoefficients& coefficients) {
  Sample s[3];
  int n = 0;
  for (int i = 0; i < standards.Count() && n < 3; ++i) {
    const TStandardPoint* p = standards.Item(i);
    if (!p) continue;
    const auto sample = SampleOf(*p);
    if (!sample) return TCalibrationResult::OutOfRange;
    s[n++] = *sample;
  }
  TCoefficients c;
  TCalibrationResult result = TCalibrationResult::Ok;
  if (n == 0)
    c = {static_cast<double>(width), 0, 0.5, 0, static_cast<double>(height), 0.5};
  else if (n == 1)
    c = OnePoint(s[0], width, height);
  else if (n == 2)
    result = TwoPoints(s, standards.LogX, standards.LogY, c);
  else
    result = ThreePoints(s, standards.LogX, standards.LogY, c);
  if (result != TCalibrationResult::Ok) return result;
  if (!AllFinite(c)) return TCalibrationResult::OutOfRange;
  coefficients = c;
  return TCalibrationResult::Ok;
}

std::string CalibrationMessage(TCalibrationResult result, bool japanese) {
  switch (result) {
    case TCalibrationResult::Line: return std::string(japanese ? kLineJapanese : kLineEnglish);
    case TCalibrationResult::Log: return std::string(japanese ? kLogJapanese : kLogEnglish);
    case TCalibrationResult::Triangle: return std::string(japanese ? kTriangleJapanese : kTriangleEnglish);
    case TCalibrationResult::OutOfRange: return std::string(japanese ? kOutOfRangeJapanese : kOutOfRangeEnglish);
    case TCalibrationResult::Ok: break;
  }
  return {};
}

bool ComputeValues(const TCoefficients& c, bool logX, bool logY, TMeasuredPoint& point) {
  if (!HasExtent(point.Width, point.Height)) return false;
  const double u = NormalizedU(point.PosX, point.Width);
  const double v = NormalizedV(point.PosY, point.Height);
  double x = c.Bx * v + c.Ax * u + c.Cx;
  double y = c.By * v + c.Ay * u + c.Cy;
  if (logX) x = std::exp(x);
  if (logY) y = std::exp(y);
  point.ValueX = x;
  point.ValueY = y;
  return true;
}

bool EnterStandardValue(TStandardList& standards, int row, TStandardColumn column,
                        std::string_view text, char decimalSeparator) {
  TStandardPoint* p = standards.Item(row);
  if (!p) return false;
  const auto value = TryStrToFloat(text, decimalSeparator);
  if (!value) return false;
  if (column == TStandardColumn::X) {
    p->TextX = std::string(text);
    p->ValueX = *value;
  } else {
    p->TextY = std::string(text);
    p->ValueY = *value;
  }
  return true;
}

}  // namespace tracemill
