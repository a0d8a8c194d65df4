#include <gtest/gtest.h>

#include <memory>

#include "bench/uData.h"

using namespace tracemill;

namespace {
std::unique_ptr<TMeasuredPoints> Line(int id, int points = 1) {
  auto line = std::make_unique<TMeasuredPoints>();
  line->Id = id;
  for (int i = 0; i < points; ++i) line->Add(std::make_unique<TMeasuredPoint>(i, i, 100, 100));
  return line;
}
}  // namespace

TEST(PointModel, ListsYieldNothingOutsideTheirRange) {
  TStandardList list;
  list.Add(std::make_unique<TStandardPoint>(1, 2, 10, 10));
  list.Add(nullptr);
  EXPECT_NE(list.Item(0), nullptr);
  EXPECT_EQ(list.Item(1), nullptr);  // an entry without an object
  EXPECT_EQ(list.Item(-1), nullptr);
  EXPECT_EQ(list.Item(2), nullptr);
  list.Delete(2);
  list.Delete(-1);
  EXPECT_EQ(list.Count(), 2);
}

TEST(PointModel, ClickedStandardPointReadsItsOwnPosition) {
  const TStandardPoint p(37, 412, 1920, 1440);
  EXPECT_EQ(p.TextX, "37");
  EXPECT_EQ(p.TextY, "412");
  EXPECT_EQ(p.ValueX, 37);
  EXPECT_EQ(p.ValueY, 412);
  EXPECT_DOUBLE_EQ(NormalizedU(0, 10), 0.05);
  EXPECT_DOUBLE_EQ(NormalizedV(9, 10), 0.95);
}

TEST(PointModel, DeleteLineByIdRemovesEveryMatchAndAlwaysRepaints) {
  TDataSet data;
  int repaints = 0;
  data.OnRepaint = [&] { ++repaints; };
  data.Measured.Add(Line(3));
  data.Measured.Add(Line(5, 2));
  data.Measured.Add(Line(3));
  data.Measured.Add(Line(7));
  data.DeleteLineById(3);
  ASSERT_EQ(data.Measured.Count(), 2);
  EXPECT_EQ(data.Measured.Item(0)->Id, 5);
  EXPECT_EQ(data.Measured.Item(1)->Id, 7);
  EXPECT_EQ(repaints, 1);
  data.DeleteLineById(99);
  EXPECT_EQ(data.Measured.Count(), 2);
  EXPECT_EQ(repaints, 2);
  EXPECT_EQ(data.LastLine()->Id, 7);
  data.OnRepaint = nullptr;
  data.DeleteLineById(1);  // no handler assigned: nothing to call
}

TEST(PointModel, PositionAtTheCurrentScale) {
  // Set at scale 27 (extent 27 * 100), shown at scale 1 (extent 100).
  EXPECT_EQ(PositionAtScale(27 * 40 + 26, 27 * 3, 2700, 100), std::make_pair(40, 3));
  // Set at scale 1, shown at scale 9: the middle of the 9x9 block.
  EXPECT_EQ(PositionAtScale(40, 3, 100, 900), std::make_pair(40 * 9 + 4, 3 * 9 + 4));
  // Scale 3 shown at scale 1 truncates.
  EXPECT_EQ(PositionAtScale(5, 8, 300, 100), std::make_pair(1, 2));
  // A damaged point or an empty bench does not divide by zero.
  EXPECT_EQ(PositionAtScale(5, 8, 0, 100), std::make_pair(5, 8));
  EXPECT_EQ(PositionAtScale(5, 8, 100, 0), std::make_pair(5, 8));
}
