#include "bench/uCalibration.h"

#include <cmath>

#include "common/uNumber.h"

namespace tracemill {

const char* const kCalibrationErrorCaption = "Error";

namespace {

constexpr double kMinimumSpread = 0.0001;  // of the image extent, for two points
constexpr double kMinimumArea = 0.0000001;  // determinant, for three points

struct Sample {
  double u, v, x, y;
};

Sample SampleOf(const TStandardPoint& p) {
  return {NormalizedU(p.PosX, p.Width), NormalizedV(p.PosY, p.Height), p.ValueX, p.ValueY};
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

}  // namespace

TCalibrationResult Calibrate(const TStandardList& standards, std::int32_t width,
                             std::int32_t height, TCoefficients& coefficients) {
  Sample s[3];
  int n = 0;
  for (int i = 0; i < standards.Count() && n < 3; ++i) {
    const TStandardPoint* p = standards.Item(i);
    if (p) s[n++] = SampleOf(*p);
  }
  TCoefficients c;
  if (n == 0) {
    c = {static_cast<double>(width), 0, 0.5, 0, static_cast<double>(height), 0.5};
  } else if (n == 1) {
    c.Ax = width;
    c.Bx = 0;
    c.Cx = s[0].x - (c.Bx * s[0].v + c.Ax * s[0].u);
    c.Ay = 0;
    c.By = height;
    c.Cy = s[0].y - (c.By * s[0].v + c.Ay * s[0].u);
  } else if (n == 2) {
    const Sample& a = s[0];
    const Sample& b = s[1];
    if (std::fabs(b.u - a.u) < kMinimumSpread || std::fabs(b.v - a.v) < kMinimumSpread)
      return TCalibrationResult::Line;
    if (!ToAxisScale(s, 2, standards.LogX, standards.LogY)) return TCalibrationResult::Log;
    c.Ax = (b.x - a.x) / (b.u - a.u);
    c.Bx = 0;
    c.Cx = a.x - (c.Bx * a.v + c.Ax * a.u);
    c.Ay = 0;
    c.By = (b.y - a.y) / (b.v - a.v);
    c.Cy = a.y - (c.By * a.v + c.Ay * a.u);
  } else {
    const double duB = s[1].u - s[0].u, duC = s[2].u - s[0].u;
    const double dvB = s[1].v - s[0].v, dvC = s[2].v - s[0].v;
    const double d = duC * dvB - duB * dvC;
    if (std::fabs(d) < kMinimumArea) return TCalibrationResult::Triangle;
    if (!ToAxisScale(s, 3, standards.LogX, standards.LogY)) return TCalibrationResult::Log;
    const Sample& a = s[0];
    auto solve = [&](double va, double vb, double vc, double& p, double& q, double& r) {
      p = ((vc - va) * dvB - (vb - va) * dvC) / (duC * dvB - duB * dvC);
      q = ((vc - va) * duB - (vb - va) * duC) / (dvC * duB - dvB * duC);
      r = va - (q * a.v + p * a.u);
    };
    solve(s[0].x, s[1].x, s[2].x, c.Ax, c.Bx, c.Cx);
    solve(s[0].y, s[1].y, s[2].y, c.Ay, c.By, c.Cy);
  }
  coefficients = c;
  return TCalibrationResult::Ok;
}

std::string CalibrationMessage(TCalibrationResult result, bool japanese) {
  switch (result) {
    case TCalibrationResult::Line:
      return japanese ? "基準点は縦横に並ばないようにしてください。\r\n"
                      : "Standard points should not be in Horizontal Line nor Vertical Line.\r\n";
    case TCalibrationResult::Log:
      return japanese ? "対数軸では正の数を指定してください。\r\n"
                      : "Log scale allows only positive value.\r\n";
    case TCalibrationResult::Triangle:
      return japanese ? "基準点は三角形を形作るように指定してください。\r\n"
                      : "Standard points should make a triangle.\r\n";
    case TCalibrationResult::Ok:
      break;
  }
  return {};
}

void ComputeValues(const TCoefficients& c, bool logX, bool logY, TMeasuredPoint& point) {
  const double u = NormalizedU(point.PosX, point.Width);
  const double v = NormalizedV(point.PosY, point.Height);
  double x = c.Bx * v + c.Ax * u + c.Cx;
  double y = c.By * v + c.Ay * u + c.Cy;
  if (logX) x = std::exp(x);
  if (logY) y = std::exp(y);
  point.ValueX = x;
  point.ValueY = y;
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
