#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bench/uBenchView.h"

using namespace tracemill;

namespace {

TViewParams View(int w, int h, int scale, int m, int sx, int sy, int cw, int ch) {
  return {w, h, scale, m, sx, sy, cw, ch};
}

void AddStandard(TDataSet& data, int x, int y, int extent) {
  data.Standards.Add(std::make_unique<TStandardPoint>(x, y, extent, extent));
}

void AddLine(TDataSet& data, std::initializer_list<std::pair<int, int>> points, int extent) {
  auto line = std::make_unique<TMeasuredPoints>();
  for (auto [x, y] : points) line->Add(std::make_unique<TMeasuredPoint>(x, y, extent, extent));
  data.Measured.Add(std::move(line));
}

}  // namespace

TEST(BenchView, ScrollBarsKeepThePageInsideTheExtent) {
  const struct {
    int extent, client, m, position;
    int expectedPosition, page, largeChange;
  } cases[] = {
      {1000, 100, 1, 950, 901, 100, 99},  // dragged to the end
      {200, 400, 1, 50, 0, 400, 399},     // the picture is smaller than the view
      {600, 400, 5, 100, 100, 80, 79},
      {100, 1, 1, 0, 0, 1, 1},            // large change at least 1
      {100, 0, 1, 5, 5, 0, 1},            // no page: only the range limits
      {100, 50, 1, -7, 0, 50, 49},
  };
  for (const auto& c : cases) {
    const TScrollBarState bar = MakeScrollBar(c.extent, c.client, c.m, c.position);
    EXPECT_EQ(bar.Position, c.expectedPosition) << c.extent << " " << c.client;
    EXPECT_EQ(bar.PageSize, c.page);
    EXPECT_EQ(bar.LargeChange, c.largeChange);
    EXPECT_EQ(bar.Max, c.extent);
  }
}

TEST(BenchView, ScreenToPositionUsesOnlyTheUpperBoundsOfThePicture) {
  const TViewParams v = View(200, 100, 1, 5, 10, 20, 400, 300);
  const struct {
    int x, y;
    std::optional<std::pair<int, int>> pos;
  } cases[] = {
      {0, 0, std::pair{10, 20}},    {4, 4, std::pair{10, 20}},     {5, 9, std::pair{11, 21}},
      {949, 399, std::pair{199, 99}}, {950, 0, std::nullopt},       {0, 400, std::nullopt},
      {-1, 0, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ScreenToPosition(v, c.x, c.y), c.pos) << c.x << "," << c.y;
  EXPECT_EQ(MaxScaleIndexFor(200, 100), 3);
  EXPECT_EQ(MaxScaleIndexFor(100'000'000, 1), 2);  // x27 would not fit a position
  EXPECT_EQ(MaxScaleIndexFor(800'000'000, 1), 0);
}

TEST(BenchView, PictureRectanglesCoverOnlyTheView) {
  const struct {
    TViewParams view;
    TRect source, dest;
  } cases[] = {
      {View(200, 100, 1, 1, 0, 0, 400, 300), {0, 0, 200, 100}, {0, 0, 200, 100}},
      // Scale 3, scroll 4: column 1 first, one magnified unit left of the view.
      {View(200, 100, 3, 5, 4, 0, 400, 300), {1, 0, 28, 20}, {-5, 0, 400, 300}},
      // A huge picture costs nothing more: only the visible pixels are named.
      {View(100000, 100000, 27, 10, 1000000, 2000000, 1920, 1080), {37037, 74074, 37045, 74079}, {-10, -20, 2150, 1330}},
  };
  for (const auto& c : cases) {
    const TViewGeometry g = ComputeViewGeometry(c.view, TBenchSettings(), TDataSet(), false);
    EXPECT_TRUE(g.Picture.Visible);
    EXPECT_EQ(g.Picture.Source, c.source);
    EXPECT_EQ(g.Picture.Dest, c.dest);
    EXPECT_EQ(g.Picture.PixelSize, c.view.Scale * c.view.Magnification);
  }
  EXPECT_FALSE(ComputeViewGeometry(View(200, 100, 1, 1, 250, 0, 400, 300), {}, {}, false).Picture.Visible);
  EXPECT_FALSE(ComputeViewGeometry(View(0, 0, 1, 1, 0, 0, 400, 300), {}, {}, false).Picture.Visible);
}

TEST(BenchView, MarkersReachIntoTheViewOrAreLeftOut) {
  TDataSet data;
  // Scroll 10 at magnification 5 in a 100-pixel view: centres 1, 3 and 4 units
  // left of the view, and the last ones that still start inside it.
  for (int x : {9, 7, 6, 32, 33}) AddStandard(data, x, 15, 200);
  TBenchSettings s;
  const TViewGeometry g = ComputeViewGeometry(View(200, 200, 1, 5, 10, 10, 100, 100), s, data, true);
  std::vector<int> lefts;
  for (const TMarkerDraw& m : g.StandardMarkers) {
    lefts.push_back(m.Left);
    EXPECT_EQ(m.Top, 15);
    EXPECT_EQ(m.CellSize, 5);
    EXPECT_EQ(m.Color, s.Standard.Color);
  }
  EXPECT_THAT(lefts, ::testing::ElementsAre(-15, -25, 100));

  // Which markers show in which mode.
  AddLine(data, {{20, 20}, {30, 30}}, 200);
  const struct {
    bool standardMode, standardVisible, measuredVisible;
    bool standards, measured;
  } modes[] = {
      {false, true, true, true, true},   {false, false, true, false, true},
      {true, false, false, true, false}, {true, true, true, true, true},
  };
  for (const auto& m : modes) {
    s.StandardVisible = m.standardVisible;
    s.MeasuredVisible = m.measuredVisible;
    const TViewGeometry v = ComputeViewGeometry(View(200, 200, 1, 1, 0, 0, 300, 300), s, data, m.standardMode);
    EXPECT_EQ(!v.StandardMarkers.empty(), m.standards);
    EXPECT_EQ(!v.Lines.empty(), m.measured);
  }
}

TEST(BenchView, PolylinesJoinTheUnitCentresAndAreCutAtTheView) {
  TDataSet data;
  AddLine(data, {{2, 2}, {5, 2}, {5, 500}}, 1000);       // leaves the view downwards
  AddLine(data, {{-300, 8}, {900, 8}}, 1000);            // crosses it, both ends outside
  AddLine(data, {{600, 600}, {700, 700}}, 1000);         // never in it
  AddLine(data, {{7, 7}}, 1000);                         // one point: a marker only
  AddLine(data, {{9, 9}, {9, 9}}, 1000);                 // no length
  TBenchSettings s;
  s.LineWidth = 3;
  const TViewGeometry g = ComputeViewGeometry(View(1000, 1000, 1, 4, 0, 0, 100, 80), s, data, false);
  ASSERT_EQ(g.Lines.size(), 4u);
  EXPECT_THAT(g.Lines[0].Polylines, ::testing::ElementsAre(::testing::ElementsAre(
                                        TPointF{10, 10}, TPointF{22, 10}, TPointF{22, 85})));
  EXPECT_THAT(g.Lines[1].Polylines,
              ::testing::ElementsAre(::testing::ElementsAre(TPointF{-5, 34}, TPointF{105, 34})));
  EXPECT_TRUE(g.Lines[1].Markers.empty());
  EXPECT_EQ(g.Lines[2].Markers.size(), 1u);
  EXPECT_TRUE(g.Lines[2].Polylines.empty());
  EXPECT_TRUE(g.Lines[3].Polylines.empty());
  EXPECT_EQ(g.LineWidth, 3);

  s.LineWidth = 2'000'000'000;  // from a damaged text: no wider than the view
  EXPECT_EQ(ComputeViewGeometry(View(1000, 1000, 1, 4, 0, 0, 100, 80), s, data, false).LineWidth, 100);
  s.LineWidth = 0;  // markers only
  for (const TLineDraw& line : ComputeViewGeometry(View(1000, 1000, 1, 4, 0, 0, 100, 80), s, data, false).Lines)
    EXPECT_TRUE(line.Polylines.empty());
}

TEST(BenchView, GridSeparatesMagnifiedUnits) {
  EXPECT_TRUE(ComputeViewGeometry(View(200, 100, 3, 1, 0, 0, 60, 30), {}, {}, false).Grid.empty());
  // 4 x 2 picture pixels at scale 1, magnification 5: dest (0, 0) - (20, 10).
  const TViewGeometry g = ComputeViewGeometry(View(4, 2, 1, 5, 0, 0, 60, 30), {}, {}, false);
  std::vector<std::array<int, 4>> lines;
  for (const TGridLine& l : g.Grid) lines.push_back({l.X1, l.Y1, l.X2, l.Y2});
  EXPECT_THAT(lines, ::testing::ElementsAre(std::array{0, 0, 0, 10}, std::array{5, 0, 5, 10},
                                            std::array{10, 0, 10, 10}, std::array{15, 0, 15, 10},
                                            std::array{20, 0, 20, 10}, std::array{0, 0, 20, 0},
                                            std::array{0, 5, 20, 5}, std::array{0, 10, 20, 10}));
}
