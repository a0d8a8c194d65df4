#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "Charts.h"
#include "bench/uTrace.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

struct TMarkerChart {
  std::string name;
  TMarkerShape shape;
  QColor colour;
  double size, turn;
};

// A scatter chart: a grey line through the markers, markers of two other
// kinds beside them, a legend patch of the markers' colour; returns the true
// centres of the markers of the chart's kind.
std::vector<TTracePoint> Draw(TChart& chart, const TMarkerChart& kind) {
  chart.Axes(40, 50);
  std::vector<QPointF> at;
  for (int i = 0; i < 24; ++i) at.emplace_back(60.3 + i * 20.7, 200 + 120 * std::sin(i * 0.7) + 0.37 * i);
  const auto joined = [&](double x) {
    const std::size_t i = std::min<std::size_t>(std::size_t((x - at[0].x()) / 20.7), at.size() - 2);
    return at[i].y() + (x - at[i].x()) / 20.7 * (at[i + 1].y() - at[i].y());
  };
  chart.Curve(joined, at.front().x(), at.back().x(), Qt::gray, 1);
  std::vector<TTracePoint> centres;
  for (const QPointF& p : at) centres.push_back(chart.Marker(p.x(), p.y(), kind.shape, kind.colour, kind.size));
  for (const QPointF& p : at) chart.Marker(p.x() + 9, p.y() + 11, TMarkerShape::Square, QColor(230, 120, 0), 6);
  chart.Marker(500, 60, TMarkerShape::Square, kind.colour, 24);  // the legend patch
  return centres;
}

}  // namespace

TEST(FindMarkers, FindsEveryMarkerOfTheSeedsColourWithinHalfAPixel) {
  const TMarkerChart charts[] = {
      {"circles 7 px", TMarkerShape::Circle, QColor(20, 60, 200), 7, 0},
      {"squares 6 px", TMarkerShape::Square, QColor(200, 20, 40), 6, 0},
      {"rings 10 px", TMarkerShape::Ring, QColor(0, 130, 60), 10, 0},
      {"diamonds 8 px", TMarkerShape::Diamond, QColor(120, 0, 160), 8, 2.5},
  };
  std::printf("%-16s %-5s %6s %6s %8s %8s\n", "chart", "copy", "drawn", "found", "median", "worst");
  for (const TMarkerChart& kind : charts) {
    TChart chart(600, 400, kind.turn);
    const std::vector<TTracePoint> truth = Draw(chart, kind);
    for (int quality : {0, 75}) {
      SCOPED_TRACE(kind.name + (quality ? " jpeg" : " clean"));
      const TBitmap picture = quality ? chart.Jpeg(quality) : chart.Picture();
      // The seed: the middle of a marker, or its left rim for a ring.
      const double rim = kind.shape == TMarkerShape::Ring ? kind.size / 2 : 0;
      const std::vector<TTracePoint> found =
          FindMarkers(picture, int(truth[5].X - rim), int(truth[5].Y), TTraceSettings::kDefaultTolerance, false);
      std::vector<double> errors;
      for (const TTracePoint& t : truth) {
        double nearest = 1e9;
        for (const TTracePoint& f : found) nearest = std::min(nearest, std::hypot(f.X - t.X, f.Y - t.Y));
        errors.push_back(nearest);
      }
      std::sort(errors.begin(), errors.end());
      std::printf("%-16s %-5s %6zu %6zu %8.3f %8.3f\n", kind.name.c_str(), quality ? "jpeg" : "clean", truth.size(),
                  found.size(), errors[errors.size() / 2], errors.back());
      EXPECT_EQ(found.size(), truth.size());
      EXPECT_LE(errors.back(), 0.5);
      EXPECT_LE(errors[errors.size() / 2], 0.1);  // sub-pixel exact as a rule
      EXPECT_TRUE(std::is_sorted(found.begin(), found.end(), [](auto& a, auto& b) { return a.X < b.X; }));
    }
  }
}
