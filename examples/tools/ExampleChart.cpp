#include "ExampleChart.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/uNumber.h"

namespace tracemill::example {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kGridGrey = 0xFFDDDDDDu;
constexpr std::uint32_t kCurveBlue = 0xFF1F4FD0u;
constexpr std::uint32_t kMarkerRed = 0xFFD02020u;

constexpr int kMajorTick = 8;
constexpr int kMinorTick = 4;
constexpr int kMarkerRadius = 4;
constexpr int kGlyphScale = 2;

// The curve's width across it, in pixels.
constexpr double kCurveWidth = 2.0;
// Columns between the samples of the curve that its pixels are measured against.
constexpr double kCurveSampleStep = 0.02;

// 3 x 5 glyphs, one row per entry, the leftmost pixel in bit 2.
struct TGlyph {
  char Character;
  std::array<std::uint8_t, 5> Rows;
};
constexpr std::array<TGlyph, 12> kGlyphs{{
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}}, {'3', {7, 1, 7, 1, 7}},
    {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}}, {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}},
    {'8', {7, 5, 7, 5, 7}}, {'9', {7, 5, 7, 1, 7}}, {'X', {5, 5, 2, 5, 5}}, {'Y', {5, 5, 2, 2, 2}},
}};
constexpr int kGlyphWidth = 3 * kGlyphScale;
constexpr int kGlyphHeight = 5 * kGlyphScale;
constexpr int kGlyphAdvance = kGlyphWidth + kGlyphScale;

void Plot(TBitmap& b, int x, int y, std::uint32_t argb) {
  if (b.Contains(x, y)) b.SetPixel(x, y, argb);
}

void FillRect(TBitmap& b, int left, int top, int right, int bottom, std::uint32_t argb) {
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) Plot(b, x, y, argb);
}

void Disc(TBitmap& b, int cx, int cy, int radius, std::uint32_t argb) {
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx)
      if (dx * dx + dy * dy <= radius * radius + radius) Plot(b, cx + dx, cy + dy, argb);
}

void Text(TBitmap& b, int left, int top, std::string_view text, std::uint32_t argb) {
  for (char c : text) {
    const auto glyph = std::find_if(kGlyphs.begin(), kGlyphs.end(),
                                    [c](const TGlyph& g) { return g.Character == c; });
    if (glyph != kGlyphs.end())
      for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 3; ++col)
          if (glyph->Rows[row] & (4 >> col))
            FillRect(b, left + col * kGlyphScale, top + row * kGlyphScale,
                     left + (col + 1) * kGlyphScale - 1, top + (row + 1) * kGlyphScale - 1, argb);
    left += kGlyphAdvance;
  }
}

// Mixes `share` (0 to 1) of the colour argb into the pixel.
void Blend(TBitmap& b, int x, int y, std::uint32_t argb, double share) {
  if (!b.Contains(x, y) || share <= 0) return;
  const std::uint32_t under = b.Pixel(x, y);
  std::uint32_t mixed = 0xFF000000u;
  for (const int shift : {0, 8, 16}) {
    const double from = (under >> shift) & 0xFFu, to = (argb >> shift) & 0xFFu;
    mixed |= static_cast<std::uint32_t>(std::lround(from + (to - from) * std::min(share, 1.0))) << shift;
  }
  b.SetPixel(x, y, mixed);
}

// The curve, anti-aliased: a band kCurveWidth wide centred on the function
// from X = kXMin to kXMax, each pixel taking the curve's colour by how far
// its centre lies from the function (fully within half the width less half
// a pixel, not at all beyond half the width plus half a pixel), so that the
// ink of every column is centred on the function.
void DrawCurve(TBitmap& b, std::uint32_t argb) {
  struct TSample {
    double Col, Row;
  };
  std::vector<TSample> samples;
  const double first = ColumnOf(kXMin), last = ColumnOf(kXMax);
  const int count = static_cast<int>(std::lround((last - first) / kCurveSampleStep));
  for (int i = 0; i <= count; ++i) {
    const double col = first + (last - first) * i / count;
    const double x = kXMin + (col - first) / (last - first) * (kXMax - kXMin);
    samples.push_back({col, RowOf(CurveY(x))});
  }
  const double reach = kCurveWidth / 2 + 0.5;
  const int span = static_cast<int>(std::ceil(reach / kCurveSampleStep));
  for (int col = static_cast<int>(std::floor(first - reach)); col <= static_cast<int>(std::ceil(last + reach)); ++col) {
    // The samples within reach of the column, and the rows they pass.
    const int centre = static_cast<int>(std::lround((col - first) / kCurveSampleStep));
    const int from = std::max(centre - span, 0), to = std::min(centre + span, count);
    if (from > to) continue;
    double top = samples[from].Row, bottom = top;
    for (int i = from; i <= to; ++i) {
      top = std::min(top, samples[i].Row);
      bottom = std::max(bottom, samples[i].Row);
    }
    for (int row = static_cast<int>(std::floor(top - reach)); row <= static_cast<int>(std::ceil(bottom + reach));
         ++row) {
      double nearest = reach;
      for (int i = from; i <= to; ++i)
        nearest = std::min(nearest, std::hypot(samples[i].Col - col, samples[i].Row - row));
      Blend(b, col, row, argb, reach - nearest);
    }
  }
}

int TextWidth(std::string_view text) { return static_cast<int>(text.size()) * kGlyphAdvance - kGlyphScale; }

int Round(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

const std::vector<TDataPoint>& ChartData() {
  static const std::vector<TDataPoint> data{{1, 3.5}, {3, 11.5}, {5, 34}, {7, 115}, {9, 350}};
  return data;
}

double CurveY(double x) { return 2.0 * std::pow(10.0, x / 4.0); }

double ColumnOf(double x) { return kPlotLeft + (x - kXMin) / (kXMax - kXMin) * (kPlotRight - kPlotLeft); }

double RowOf(double y) {
  return kPlotBottom - std::log10(y / kYMin) / std::log10(kYMax / kYMin) * (kPlotBottom - kPlotTop);
}

TBitmap DrawChart() {
  TBitmap b(kChartWidth, kChartHeight);
  b.Fill(kWhite);

  // Grid: every second X unit, every decade and its steps 2 to 9.
  for (int x = 2; x < 10; x += 2) FillRect(b, Round(ColumnOf(x)), kPlotTop, Round(ColumnOf(x)), kPlotBottom, kGridGrey);
  for (double decade = 1; decade < kYMax; decade *= 10)
    for (int step = 1; step <= 9; ++step) {
      const int row = Round(RowOf(decade * step));
      if (row > kPlotTop && row < kPlotBottom) FillRect(b, kPlotLeft, row, kPlotRight, row, kGridGrey);
    }

  // Frame and ticks.
  FillRect(b, kPlotLeft, kPlotTop, kPlotRight, kPlotTop, kBlack);
  FillRect(b, kPlotLeft, kPlotBottom, kPlotRight, kPlotBottom, kBlack);
  FillRect(b, kPlotLeft, kPlotTop, kPlotLeft, kPlotBottom, kBlack);
  FillRect(b, kPlotRight, kPlotTop, kPlotRight, kPlotBottom, kBlack);
  for (int x = 0; x <= 10; ++x) {
    const int col = Round(ColumnOf(x));
    const int length = x % 2 == 0 ? kMajorTick : kMinorTick;
    FillRect(b, col, kPlotBottom + 1, col, kPlotBottom + length, kBlack);
    if (x % 2 == 0) {
      const std::string label = std::to_string(x);
      Text(b, col - TextWidth(label) / 2, kPlotBottom + kMajorTick + 6, label, kBlack);
    }
  }
  for (double decade = 1; decade <= kYMax; decade *= 10)
    for (int step = 1; step <= (decade < kYMax ? 9 : 1); ++step) {
      const int row = Round(RowOf(decade * step));
      FillRect(b, kPlotLeft - (step == 1 ? kMajorTick : kMinorTick), row, kPlotLeft - 1, row, kBlack);
      if (step == 1) {
        const std::string label = std::to_string(static_cast<int>(decade));
        Text(b, kPlotLeft - kMajorTick - 6 - TextWidth(label), row - kGlyphHeight / 2, label, kBlack);
      }
    }
  Text(b, (kPlotLeft + kPlotRight) / 2 - kGlyphWidth / 2, kPlotBottom + kMajorTick + 26, "X", kBlack);
  Text(b, 16, (kPlotTop + kPlotBottom) / 2 - kGlyphHeight / 2, "Y", kBlack);

  // The curve, then the markers on top of it.
  DrawCurve(b, kCurveBlue);
  for (const TDataPoint& p : ChartData())
    Disc(b, Round(ColumnOf(p.X)), Round(RowOf(p.Y)), kMarkerRadius, kMarkerRed);
  return b;
}

std::string ChartDataCsv() {
  std::string csv = "X,Y\r\n";
  for (const TDataPoint& p : ChartData()) csv += FloatToStr(p.X) + "," + FloatToStr(p.Y) + "\r\n";
  return csv;
}

}  // namespace tracemill::example
