#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "bench/uCalibration.h"

using namespace tracemill;

namespace {

constexpr int kW = 640, kH = 480;  // picture size in image pixels

void AddAt(TStandardList& list, int posX, int posY, int width, int height, double x, double y) {
  auto p = std::make_unique<TStandardPoint>(posX, posY, width, height);
  p->ValueX = x;
  p->ValueY = y;
  list.Add(std::move(p));
}

// A standard point in the middle unit of pixel (px, py) of a picture shown at `scale`.
void AddStandard(TStandardList& list, int px, int py, double x, double y, int scale = 1) {
  AddAt(list, px * scale + scale / 2, py * scale + scale / 2, kW * scale, kH * scale, x, y);
}

std::pair<double, double> Read(const TCoefficients& c, const TStandardList& s, int posX, int posY,
                               int scale = 1) {
  TMeasuredPoint p(posX, posY, kW * scale, kH * scale);
  ComputeValues(c, s.LogX, s.LogY, p);
  return {p.ValueX, p.ValueY};
}

}  // namespace

TEST(Calibration, ValuesFollowNoneOneOrTwoStandardPoints) {
  struct TPoint {
    int px, py;
    double x, y;
    int scale;
  };
  struct TRead {
    int posX, posY, scale;
    double x, y;
  };
  const struct {
    const char* what;
    std::vector<TPoint> points;
    std::vector<TRead> reads;
  } cases[] = {
      // Pixel positions from 1; at scale 3 the units of pixel (0, 0) read
      // 0.667, 1 and 1.333; at scale 27 the middle unit reads the centre.
      {"none",
       {},
       {{0, 0, 1, 1, 1}, {kW - 1, kH - 1, 1, kW, kH}, {0, 0, 3, 2.0 / 3, 2.0 / 3}, {1, 1, 3, 1, 1},
        {2, 2, 3, 4.0 / 3, 4.0 / 3}, {10 * 27 + 13, 20 * 27 + 13, 27, 11, 21}}},
      // The pixel grid shifted; Y grows downwards, one unit per pixel.
      {"one", {{100, 200, 100, 50, 1}}, {{100, 200, 1, 100, 50}, {101, 200, 1, 101, 50}, {100, 190, 1, 100, 40}}},
      // Independent axis scales: X does not depend on Y nor Y on X.
      {"two",
       {{40, 400, 0, 0, 1}, {600, 40, 10, 100, 1}},
       {{320, 220, 1, 5, 50}, {40, 220, 1, 0, 50}, {320, 400, 1, 5, 0}}},
      {"two set at scale 3", {{40, 400, 0, 0, 3}, {600, 40, 10, 100, 3}}, {{320 * 3 + 1, 220 * 3 + 1, 3, 5, 50}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TStandardList s;
    for (const TPoint& p : c.points) AddStandard(s, p.px, p.py, p.x, p.y, p.scale);
    TCoefficients k;
    ASSERT_EQ(Calibrate(s, kW, kH, k), TCalibrationResult::Ok);
    for (const TRead& r : c.reads) {
      const auto [x, y] = Read(k, s, r.posX, r.posY, r.scale);
      EXPECT_NEAR(x, r.x, 1e-9) << r.posX << "," << r.posY;
      EXPECT_NEAR(y, r.y, 1e-9) << r.posX << "," << r.posY;
    }
  }
}

TEST(Calibration, LogarithmicAxes) {
  // X = 1 at u = 0.25 and X = 100 at u = 0.75 on a log axis: u = 0.5 reads 10.
  // An extent of 2 units gives u = 0.25 and 0.75 exactly; Y stays linear.
  TStandardList s;
  AddAt(s, 0, 0, 2, 4, 1, 10);     // u = 0.25, v = 0.125
  AddAt(s, 1, 2, 2, 4, 100, 1000);  // u = 0.75, v = 0.625
  s.LogX = true;
  TCoefficients c;
  ASSERT_EQ(Calibrate(s, kW, kH, c), TCalibrationResult::Ok);
  TMeasuredPoint half(1, 3, 3, 8);  // u = 3/6 = 0.5, v = 7/16
  ComputeValues(c, s.LogX, s.LogY, half);
  EXPECT_NEAR(half.ValueX, 10, 1e-9);
  EXPECT_NEAR(half.ValueY, 10 + (1000 - 10) * ((7.0 / 16 - 0.125) / 0.5), 1e-9);

  // Three points on log-log axes reproduce their own values.
  TStandardList three;
  AddStandard(three, 50, 430, 1, 0.01);
  AddStandard(three, 590, 430, 1000, 0.01);
  AddStandard(three, 50, 50, 1, 100);
  three.LogX = three.LogY = true;
  ASSERT_EQ(Calibrate(three, kW, kH, c), TCalibrationResult::Ok);
  auto [x, y] = Read(c, three, 590, 50);
  EXPECT_NEAR(x, 1000, 1e-9);
  EXPECT_NEAR(y, 100, 1e-9);
  std::tie(x, y) = Read(c, three, 320, 240);  // halfway: geometric means
  EXPECT_NEAR(x, std::sqrt(1000.0), 1e-6);
  EXPECT_NEAR(y, 1.0, 1e-3);
}

TEST(Calibration, ThreePointsHandleRotatedAxes) {
  // The graph's axes are rotated by 30 degrees on the image; one graph unit
  // is 10 pixels and the graph's Y grows upwards. Positions use 100 units per
  // pixel, whose centres lie at pixel coordinate (unit + 0.5) / 100.
  const double angle = M_PI / 6, ox = 200, oy = 300;
  auto unitOf = [&](double gx, double gy) {
    const double px = ox + 10 * (gx * std::cos(angle) - gy * std::sin(angle));
    const double py = oy - 10 * (gx * std::sin(angle) + gy * std::cos(angle));
    return std::make_pair(static_cast<int>(px * 100), static_cast<int>(py * 100));
  };
  auto graphOf = [&](int ux, int uy) {
    const double dx = ((ux + 0.5) / 100 - ox) / 10, dy = -((uy + 0.5) / 100 - oy) / 10;
    return std::make_pair(dx * std::cos(angle) + dy * std::sin(angle),
                          -dx * std::sin(angle) + dy * std::cos(angle));
  };
  TStandardList s;
  for (auto [gx, gy] : {std::pair{0.0, 0.0}, {20.0, 0.0}, {0.0, 15.0}}) {
    auto [ux, uy] = unitOf(gx, gy);
    const auto [vx, vy] = graphOf(ux, uy);
    AddAt(s, ux, uy, kW * 100, kH * 100, vx, vy);
  }
  TCoefficients c;
  ASSERT_EQ(Calibrate(s, kW, kH, c), TCalibrationResult::Ok);
  EXPECT_NE(c.Bx, 0);  // X depends on v too: the axes are rotated
  for (auto [gx, gy] : {std::pair{12.0, 7.0}, {-5.0, 3.0}, {1.0, -8.0}}) {
    auto [ux, uy] = unitOf(gx, gy);
    TMeasuredPoint m(ux, uy, kW * 100, kH * 100);
    ComputeValues(c, false, false, m);
    auto [ex, ey] = graphOf(ux, uy);
    EXPECT_NEAR(m.ValueX, ex, 1e-9);
    EXPECT_NEAR(m.ValueY, ey, 1e-9);
  }
  // A fourth point never changes the result.
  const TCoefficients before = c;
  AddAt(s, 5, 5, kW * 100, kH * 100, 1e6, 0);
  ASSERT_EQ(Calibrate(s, kW, kH, c), TCalibrationResult::Ok);
  EXPECT_EQ(c.Ax, before.Ax);
  EXPECT_EQ(c.Bx, before.Bx);
  EXPECT_EQ(c.By, before.By);
  EXPECT_EQ(c.Cy, before.Cy);
}

TEST(Calibration, FailuresKeepTheCoefficientsAndSayWhy) {
  struct Point {
    int px, py;
    double x, y;
    int width = kW, height = kH;  // a damaged state text may give 0
  };
  struct Case {
    const char* what;
    std::vector<Point> points;
    bool logX;
    TCalibrationResult expected;
  };
  const Case cases[] = {
      {"same column, different Y values", {{100, 10, 0, 0}, {100, 400, 5, 7}}, false,
       TCalibrationResult::Line},
      {"the row test comes before the log test", {{10, 100, 0, 0}, {400, 100, 5, 7}}, true,
       TCalibrationResult::Line},
      {"a zero on a linear axis", {{10, 10, 0, 1}, {400, 300, 5, 7}}, false, TCalibrationResult::Ok},
      {"the same zero on a log axis", {{10, 10, 0, 1}, {400, 300, 5, 7}}, true, TCalibrationResult::Log},
      {"three collinear points", {{10, 10, 0, 0}, {20, 20, 1, 1}, {30, 30, 2, 2}}, false,
       TCalibrationResult::Triangle},
      // Values whose scale is not a finite number.
      {"two values at both ends of the range", {{10, 10, -1e308, 0}, {400, 300, 1e308, 7}}, false,
       TCalibrationResult::OutOfRange},
      // Points without extent have no position.
      {"one point of width 0", {{10, 10, 1, 1, 0, kH}}, false, TCalibrationResult::OutOfRange},
      {"a third point of width 0", {{10, 400, 0, 0}, {600, 400, 10, 0}, {10, 20, 0, 10, 0, 0}}, false,
       TCalibrationResult::OutOfRange},
  };
  for (const Case& k : cases) {
    TStandardList s;
    for (const Point& p : k.points) AddAt(s, p.px, p.py, p.width, p.height, p.x, p.y);
    s.LogX = k.logX;
    TCoefficients c{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(Calibrate(s, kW, kH, c), k.expected) << k.what;
    if (k.expected != TCalibrationResult::Ok) {
      EXPECT_EQ(std::vector<double>({c.Ax, c.Bx, c.Cx, c.Ay, c.By, c.Cy}),
                std::vector<double>({1, 2, 3, 4, 5, 6}))
          << k.what;
      // The failed attempt left the points and flags alone.
      EXPECT_EQ(s.Item(0)->ValueX, k.points[0].x) << k.what;
      EXPECT_EQ(s.LogX, k.logX) << k.what;
    }
  }
  const struct {
    TCalibrationResult result;
    const char* japanese;
    const char* english;
  } messages[] = {
      {TCalibrationResult::Line, "基準点は縦横に並ばないようにしてください。\r\n",
       "Standard points should not be in Horizontal Line nor Vertical Line.\r\n"},
      {TCalibrationResult::Log, "対数軸では正の数を指定してください。\r\n", "Log scale allows only positive value.\r\n"},
      {TCalibrationResult::Triangle, "基準点は三角形を形作るように指定してください。\r\n",
       "Standard points should make a triangle.\r\n"},
      {TCalibrationResult::OutOfRange, "基準点またはその値が範囲外です。\r\n",
       "Standard points or their values are out of range.\r\n"},
  };
  for (const auto& m : messages) {
    EXPECT_EQ(CalibrationMessage(m.result, true), m.japanese);
    EXPECT_EQ(CalibrationMessage(m.result, false), m.english);
  }
}

TEST(Calibration, APointWithoutExtentKeepsItsValues) {
  TStandardList s;
  TCoefficients c;
  ASSERT_EQ(Calibrate(s, kW, kH, c), TCalibrationResult::Ok);
  for (auto [width, height] : {std::pair{0, kH}, {kW, 0}, {0, 0}}) {
    TMeasuredPoint p(5, 5, width, height);
    p.ValueX = 7;
    p.ValueY = 8;
    EXPECT_FALSE(ComputeValues(c, false, false, p));
    EXPECT_EQ(p.ValueX, 7);
    EXPECT_EQ(p.ValueY, 8);
  }
  TMeasuredPoint p(0, 0, kW, kH);
  EXPECT_TRUE(ComputeValues(c, false, false, p));
  EXPECT_DOUBLE_EQ(p.ValueX, 1);
}

TEST(Calibration, TwoPointsJustFarEnoughApartCalibrate) {
  // u differs by exactly 2/20000 = 0.0001 (not less): accepted.
  TStandardList s;
  AddAt(s, 0, 0, 20000, 20000, 0, 0);
  AddAt(s, 2, 2, 20000, 20000, 1, 1);
  TCoefficients c;
  EXPECT_EQ(Calibrate(s, kW, kH, c), TCalibrationResult::Ok);
  s.Item(1)->PosY = 1;  // v differs by 0.00005
  EXPECT_EQ(Calibrate(s, kW, kH, c), TCalibrationResult::Line);
}

TEST(Calibration, StandardValueEntryAcceptsOnlyNumbers) {
  TStandardList s;
  s.Add(std::make_unique<TStandardPoint>(3, 4, 10, 10));
  EXPECT_TRUE(EnterStandardValue(s, 0, TStandardColumn::X, "1.50e2", '.'));
  EXPECT_EQ(s.Item(0)->TextX, "1.50e2");
  EXPECT_EQ(s.Item(0)->ValueX, 150);
  EXPECT_FALSE(EnterStandardValue(s, 0, TStandardColumn::Y, "abc", '.'));
  EXPECT_EQ(s.Item(0)->TextY, "4");
  EXPECT_EQ(s.Item(0)->ValueY, 4);
  EXPECT_TRUE(EnterStandardValue(s, 0, TStandardColumn::Y, "-2,5", ','));
  EXPECT_EQ(s.Item(0)->ValueY, -2.5);
  EXPECT_FALSE(EnterStandardValue(s, 1, TStandardColumn::X, "1", '.'));  // no such row
}
