#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "Charts.h"
#include "bench/uCalibration.h"
#include "bench/uTrace.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

const QColor kRed(220, 30, 30), kBlue(20, 60, 200), kGreen(0, 140, 60);

double Sine(double x) { return 200 + 110 * std::sin(x / 55); }

struct TCurveChart {
  std::string name;
  std::function<std::vector<TTracePoint>(TChart&)> draw;  // returns the true centre line
  double seedX;                                          // the seed lies on the curve there
  double turn = 0;                                       // degrees, for a crooked scan
};

std::vector<TCurveChart> CurveCharts() {
  const auto curve = [](std::function<double(double)> f, double x0, double x1, QColor colour, double width,
                        std::vector<double> dashes = {}) {
    return [=](TChart& c) {
      c.Axes(40, 50);
      return c.Curve(f, x0, x1, colour, width, dashes);
    };
  };
  return {
      {"sine 1 px", curve(Sine, 40, 560, kBlue, 1), 300},
      {"sine 2 px", curve(Sine, 40, 560, kRed, 2), 300},
      {"exp 3 px", curve([](double x) { return 350 - 2 * std::exp(x / 105); }, 40, 525, kBlue, 3), 200},
      {"parabola 4 px", curve([](double x) { return 80 + (x - 300) * (x - 300) / 260; }, 60, 540, kGreen, 4), 300},
      {"dashed 2 px", curve(Sine, 40, 560, kBlue, 2, {3, 1.5}), 301},
      {"crossing",
       [](TChart& c) {
         c.Axes(40, 50);
         auto line = c.Curve(Sine, 40, 560, kRed, 2);
         c.Curve([](double x) { return 360 - 0.5 * x; }, 40, 560, kBlue, 2);
         c.Curve([](double x) { return 100 + 0.45 * x; }, 40, 560, Qt::black, 1);
         return line;
       },
       100},
      {"steep turn", curve([](double x) { return 200 + 120 * std::tanh((x - 300) / 10); }, 40, 560, kRed, 2), 100},
      {"steps", curve([](double x) { return 330 - 45 * std::floor((x - 35) / 75); }, 40, 560, kBlue, 2), 100},
      {"V turn", curve([](double x) { return 60 + 2.5 * std::fabs(x - 300.3); }, 200, 400, kRed, 2), 250},
      {"crooked scan", curve(Sine, 60, 540, kRed, 2), 300, 2.5},
  };
}

// The seed: the pixel under the true curve nearest the given column.
std::pair<int, int> SeedOn(const std::vector<TTracePoint>& line, double x) {
  const auto near = std::min_element(line.begin(), line.end(), [x](auto& a, auto& b) {
    return std::fabs(a.X - x) < std::fabs(b.X - x);
  });
  return {int(near->X), int(near->Y)};
}

}  // namespace

// Prints, per chart, the points and the median and worst distance from the
// true curve, measured perpendicular to it.
TEST(TraceCurve, FollowsEachCurveWithinHalfAPixel) {
  std::printf("%-14s %-5s %6s %8s %8s %7s %7s\n", "chart", "copy", "points", "first", "last", "median", "worst");
  for (const TCurveChart& chart : CurveCharts()) {
    TChart drawing(600, 400, chart.turn);
    const std::vector<TTracePoint> line = chart.draw(drawing);
    const auto [sx, sy] = SeedOn(line, chart.seedX);
    for (int quality : {0, 75}) {
      SCOPED_TRACE(chart.name + (quality ? " jpeg" : " clean"));
      const TBitmap picture = quality ? drawing.Jpeg(quality) : drawing.Picture();
      const std::vector<TTracePoint> points = TraceCurve(picture, sx, sy, {}, false);
      ASSERT_GE(points.size(), 2u);
      std::vector<double> errors;
      double widest = 0;
      for (std::size_t i = 0; i < points.size(); ++i) {
        errors.push_back(DistanceTo(points[i], line));
        if (i > 0) widest = std::max(widest, points[i].X - points[i - 1].X);
      }
      std::sort(errors.begin(), errors.end());
      std::printf("%-14s %-5s %6zu %8.1f %8.1f %7.3f %7.3f\n", chart.name.c_str(), quality ? "jpeg" : "clean",
                  points.size(), points.front().X, points.back().X, errors[errors.size() / 2], errors.back());
      EXPECT_LE(errors.back(), 0.5);
      EXPECT_LE(errors[errors.size() / 2], 0.05);  // sub-pixel exact as a rule
      EXPECT_GT(widest, 0);  // ordered by X, no column twice
      EXPECT_LE(widest, 6.0 * TTraceSettings::kDefaultStepX);
      EXPECT_NEAR(points.front().X, line.front().X, 12);
      EXPECT_NEAR(points.back().X, line.back().X, 12);
      for (std::size_t i = 1; i < points.size(); ++i) EXPECT_LT(points[i - 1].X, points[i].X);
    }
  }
}

TEST(TraceCurve, StepGapAndSeedShapeTheResult) {
  TChart drawing(600, 400);
  drawing.Axes(40, 50);
  const std::vector<TTracePoint> dashed = drawing.Curve(Sine, 40, 300, kBlue, 2, {3, 1.5});  // 6 on, 3 off
  const std::vector<TTracePoint> solid = drawing.Curve(Sine, 320, 560, kRed, 1);
  const TBitmap picture = drawing.Picture();
  const auto [dx, dy] = SeedOn(dashed, 150);
  const auto [sx, sy] = SeedOn(solid, 470);
  // The faintest pixel of the 1-pixel curve in the seed's column.
  int faint = sy;
  for (int y = sy - 2; y <= sy + 2; ++y) {
    const int green = int((picture.Pixel(sx, y) >> 8) & 0xFF);
    if (green < 0xF0 && green > int((picture.Pixel(sx, faint) >> 8) & 0xFF)) faint = y;
  }
  struct TCase {
    const char* what;
    int seedX, seedY;
    TTraceSettings settings;
    double minSpan, maxSpan;  // of X from the first point to the last
    std::size_t minPoints, maxPoints;
  };
  const TCase cases[] = {
      {"dashes bridged", dx, dy, {}, 220, 260, 8, 60},
      {"no gap allowed: one dash", dx, dy, {60, 1, 0}, 0, 9, 1, 9},
      {"every column", sx, sy, {60, 1, 4}, 225, 240, 200, 240},
      {"every 20 columns", sx, sy, {60, 20, 4}, 225, 240, 12, 14},
      {"seed on the soft edge", sx, faint, {}, 225, 240, 45, 50},
  };
  ASSERT_NE(faint, sy);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<TTracePoint> points = TraceCurve(picture, c.seedX, c.seedY, c.settings, false);
    ASSERT_FALSE(points.empty());
    EXPECT_GE(points.back().X - points.front().X, c.minSpan);
    EXPECT_LE(points.back().X - points.front().X, c.maxSpan);
    EXPECT_GE(points.size(), c.minPoints);
    EXPECT_LE(points.size(), c.maxPoints);
    for (const TTracePoint& p : points) EXPECT_LE(DistanceTo(p, c.seedX < 310 ? dashed : solid), 0.5);
  }
}

TEST(TraceCurve, LogAxisValuesMatchTheFunction) {
  // v = 2 + t^3 for t in 0 .. 10 on a linear t axis (52 pixels a unit from
  // x = 40) and a logarithmic v axis (80 pixels a decade from v = 1 at y = 360).
  constexpr int kScale = 3;
  const auto px = [](double t) { return 40 + 52 * t; };
  const auto py = [](double v) { return 360 - 80 * std::log10(v); };
  TChart drawing(600, 400);
  drawing.Axes(40, 1000);  // frame only
  for (double v : {2., 3., 5., 10., 20., 30., 50., 100., 200., 300., 500., 1000., 2000., 3000., 5000.})
    drawing.Curve([&](double) { return py(v); }, 40, 560, QColor(210, 210, 210), 1);
  const std::vector<TTracePoint> line =
      drawing.Curve([&](double x) { return py(2 + std::pow((x - 40) / 52, 3)); }, 40, 560, kBlue, 2);
  const auto [sx, sy] = SeedOn(line, 300);
  const std::vector<TTracePoint> points = TraceCurve(drawing.Jpeg(75), sx, sy, {}, false);

  // Standard points at three unit centres on the frame's corners.
  TStandardList standards;
  standards.LogY = true;
  for (auto [x, y] : {std::pair{40.5, 360.5}, {560.5, 360.5}, {40.5, 40.5}}) {
    auto p = std::make_unique<TStandardPoint>(int(x * kScale), int(y * kScale), 600 * kScale, 400 * kScale);
    p->ValueX = (x - 40) / 52;
    p->ValueY = std::pow(10, (360 - y) / 80);
    standards.Add(std::move(p));
  }
  TCoefficients coefficients;
  ASSERT_EQ(Calibrate(standards, 600, 400, coefficients), TCalibrationResult::Ok);
  const auto measured = MeasuredLine(points, kScale, 600, 400, coefficients, false, true);
  ASSERT_EQ(measured->Count(), int(points.size()));
  ASSERT_GE(measured->Count(), 90);
  // Half a pixel from the trace, a sixth of one on each axis from the units.
  std::vector<double> errors;
  for (int i = 0; i < measured->Count(); ++i) {
    const TMeasuredPoint& m = *measured->Item(i);
    errors.push_back(DistanceTo({px(m.ValueX), py(m.ValueY)}, line));
    EXPECT_LE(errors.back(), 0.5 + std::sqrt(2.0) / 6) << m.ValueX;
  }
  std::sort(errors.begin(), errors.end());
  std::printf("log axes, values at scale 3, jpeg: %zu points, median %.3f, worst %.3f pixels\n", errors.size(),
              errors[errors.size() / 2], errors.back());
}
