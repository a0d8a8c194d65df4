#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "bench/uCalibration.h"
#include "bench/uTrace.h"
#include "common/uError.h"

using namespace tracemill;
using tracemill::testing::Refusal;

namespace {

constexpr std::uint32_t kPaper = 0xFFFFFFFF, kInk = 0xFF1030C0;

// A white picture with a horizontal ink line along row `row`.
TBitmap Line(int width, int height, int row) {
  TBitmap picture(width, height);
  picture.Fill(kPaper);
  for (int x = 0; x < width; ++x) picture.SetPixel(x, row, kInk);
  return picture;
}

}  // namespace

TEST(TraceInput, RefusesWhatCannotBeTracedInTheInterfaceLanguage) {
  using TText = std::pair<const char*, const char*>;  // English, Japanese
  const TText tolerance{"The color tolerance must be from 0 to 255.", "色の許容差は０から２５５の範囲で指定してください。"};
  const TText step{"The X step must be from 1 to 1000 pixels.", "Xの間隔は１から１０００ピクセルの範囲で指定してください。"};
  const TText gap{"The largest gap must be from 0 to 100 pixels.", "とぎれの幅は０から１００ピクセルの範囲で指定してください。"};
  const TText outside{"The starting point is outside the picture.", "指定した点が画像の外にあります。"};
  const TBitmap picture = Line(20, 10, 5), none;
  struct TCase {
    const TBitmap& picture;
    int x, y;
    TTraceSettings settings;
    TText message;
  };
  const TCase cases[] = {
      {picture, 3, 5, {-1, 5, 4}, tolerance},  {picture, 3, 5, {256, 5, 4}, tolerance},
      {picture, 3, 5, {60, 0, 4}, step},       {picture, 3, 5, {60, 1001, 4}, step},
      {picture, 3, 5, {60, 5, -1}, gap},       {picture, 3, 5, {60, 5, 101}, gap},
      {picture, -1, 5, {}, outside},           {picture, 20, 5, {}, outside},
      {picture, 3, 10, {}, outside},           {none, 0, 0, {}, {"There is no picture.", "画像がありません。"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.message.first);
    for (bool japanese : {false, true}) {
      const std::string want = japanese ? c.message.second : c.message.first;
      EXPECT_EQ(Refusal([&] { TraceCurve(c.picture, c.x, c.y, c.settings, japanese); }), want);
      // The marker search knows no step or gap.
      if (c.settings.StepX == 5 && c.settings.Gap == 4) {
        EXPECT_EQ(Refusal([&] { FindMarkers(c.picture, c.x, c.y, c.settings.Tolerance, japanese); }), want);
      }
    }
  }
  EXPECT_EQ(TraceSettingsMessage({0, 1, 0}, true), "");
  EXPECT_EQ(TraceSettingsMessage({255, 1000, 100}, false), "");
}

TEST(TraceInput, ResultsBeyondTheLimitAreRefused) {
  // A line across 100,002 columns gives a point in each with step 1, one in
  // every other (and the end) with step 2; 100,001 one-pixel dots are as
  // many markers.
  const TBitmap wide = Line(kMaxTracePoints + 2, 3, 1);
  EXPECT_EQ(Refusal([&] { TraceCurve(wide, 500, 1, {60, 1, 4}, false); }),
            "The curve gives more than 100000 points. Use a larger X step.");
  EXPECT_EQ(TraceCurve(wide, 500, 1, {60, 2, 4}, false).size(), std::size_t(kMaxTracePoints / 2 + 2));
  TBitmap dots(2 * kMaxTracePoints + 2, 1);
  dots.Fill(kPaper);
  for (int x = 0; x < dots.Width(); x += 2) dots.SetPixel(x, 0, kInk);
  EXPECT_EQ(Refusal([&] { FindMarkers(dots, 0, 0, 60, true); }),
            "マーカーが１０００００個を超えました。色の許容差を小さくしてください。");
}

TEST(TraceInput, SeedOnThePaperStaysWithinThePicture) {
  // The paper around a line is traced like a very thick curve, from the
  // picture's left edge to its right.
  const TBitmap picture = Line(400, 50, 20);
  const std::vector<TTracePoint> points = TraceCurve(picture, 100, 40, {}, false);
  ASSERT_EQ(points.size(), 81u);
  EXPECT_DOUBLE_EQ(points.front().X, 0.5);
  EXPECT_DOUBLE_EQ(points.back().X, 399.5);
  for (const TTracePoint& p : points) EXPECT_NEAR(p.Y, 35.5, 1e-9);  // rows 21 .. 49
  const std::vector<TTracePoint> markers = FindMarkers(picture, 100, 40, 60, false);
  ASSERT_EQ(markers.size(), 2u);  // the paper above the line and below it
}

TEST(TraceInput, PointsBecomeMeasuredPointsAtTheNearestPositionUnits) {
  struct TCase {
    double pixel;
    int scale, extent;
    std::int32_t unit;
  };
  const TCase cases[] = {
      {0.0, 1, 10, 0},   {3.5, 1, 10, 3},   {3.99, 1, 10, 3},   {3.5, 3, 10, 10},  {3.34, 3, 10, 10},
      {3.33, 3, 10, 9},  {5.5, 27, 10, 148}, {0.01, 9, 10, 0},  {-0.2, 1, 10, 0},  {10.0, 1, 10, 9},
      {12.5, 27, 10, 269}, {std::nan(""), 3, 10, 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(PositionUnit(c.pixel, c.scale, c.extent), c.unit) << c.pixel << " x" << c.scale;
  // The unit's normalized position reads the point back to within half a unit.
  for (int scale : {1, 3, 9, 27})
    for (double pixel = 0.013; pixel < 640; pixel += 3.917) {
      const std::int32_t unit = PositionUnit(pixel, scale, 640);
      EXPECT_LE(std::fabs(NormalizedU(unit, 640 * scale) * 640 - pixel), 0.5 / scale + 1e-9);
    }

  TCoefficients pixels;  // no standard points: values are 1-based pixel positions
  ASSERT_EQ(Calibrate(TStandardList(), 640, 480, pixels), TCalibrationResult::Ok);
  const auto line = MeasuredLine({{10.5, 20.5}, {11.2, 20.9}}, 9, 640, 480, pixels, false, false);
  EXPECT_EQ(line->Id, -1);
  ASSERT_EQ(line->Count(), 2);
  const TMeasuredPoint& a = *line->Item(0);
  EXPECT_EQ(a.PosX, 94);
  EXPECT_EQ(a.PosY, 184);
  EXPECT_EQ(a.Width, 640 * 9);
  EXPECT_EQ(a.Height, 480 * 9);
  EXPECT_DOUBLE_EQ(a.ValueX, 11);  // the centre of pixel 10 reads 11
  EXPECT_DOUBLE_EQ(a.ValueY, 21);
  EXPECT_NEAR(line->Item(1)->ValueX, 11.7, 0.5 / 9);
  for (int scale : {0, 2, 81})
    EXPECT_THROW(MeasuredLine({}, scale, 640, 480, pixels, false, false), InvalidOperation) << scale;
  EXPECT_THROW(MeasuredLine({}, 27, std::numeric_limits<std::int32_t>::max() / 20, 480, pixels, false, false),
               InvalidOperation);
}
