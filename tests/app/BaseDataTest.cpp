#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "app/uBaseData.h"
#include "common/uError.h"

using namespace tracemill;

namespace {

// A list whose line i has PointsID ids[i] and the given key fields.
struct Row {
  Row(int id, double x = 0, std::string title = "", int points = 1)
      : id(id), x(x), title(std::move(title)), points(points) {}
  int id;
  double x;
  std::string title;
  int points;
};

TBaseMeasuredList Make(const std::vector<Row>& rows) {
  TBaseMeasuredList list;
  for (const Row& r : rows) {
    auto line = std::make_unique<TBaseMeasuredPoints>();
    line->PointsID = r.id;
    line->WindowID = r.id % 3;
    line->Title = r.title;
    line->Comment = "c" + r.title;
    for (int k = 0; k < r.points; ++k) line->AddPoint(r.x + k, -r.x);
    list.Add(std::move(line));
  }
  return list;
}

std::vector<int> Ids(const TBaseMeasuredList& list) {
  std::vector<int> ids;
  for (int i = 0; i < list.Count(); ++i) ids.push_back(list.Item(i)->PointsID);
  return ids;
}

}  // namespace

TEST(CollectedData, CopiesAreDeepAndKeepEveryField) {
  TBaseMeasuredList list = Make({{1, 2.5, "a", 2}, {7, 3.5, "b"}});
  list.Item(1)->WindowID = 4;
  const auto copy = list.Copy();
  ASSERT_EQ(copy->Count(), 2);
  const TBaseMeasuredPoints* line = copy->Item(1);
  EXPECT_EQ(line->PointsID, 7);
  EXPECT_EQ(line->WindowID, 4);
  EXPECT_EQ(line->Title, "b");
  EXPECT_EQ(line->Comment, "cb");
  copy->Item(0)->Item(1)->X = 99;
  EXPECT_EQ(list.Item(0)->Item(1)->X, 3.5);
  EXPECT_NE(copy->Item(0), list.Item(0));

  auto lineCopy = list.Item(0)->Copy();
  lineCopy->Item(0)->Y = 42;
  EXPECT_EQ(list.Item(0)->Item(0)->Y, -2.5);
  lineCopy->Clear();
  EXPECT_EQ(lineCopy->Count(), 0);
  EXPECT_EQ(lineCopy->PointsID, 1);  // clearing keeps the line's fields
  EXPECT_EQ(list.Item(0)->Count(), 2);
}

TEST(CollectedData, OutOfRangeAccessAndDeleteAreHarmless) {
  TBaseMeasuredList list = Make({{1}, {2}});
  EXPECT_EQ(list.Item(-1), nullptr);
  EXPECT_EQ(list.Item(2), nullptr);
  EXPECT_EQ(list.Item(0)->Item(1), nullptr);
  list.Delete(-1);
  list.Delete(2);
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 2}));
  list.Delete(0);
  EXPECT_EQ(Ids(list), (std::vector<int>{2}));
}

TEST(CollectedDataSort, EqualKeysComeInDescendingPositionBothWays) {
  TBaseMeasuredList list = Make({{10, 1}, {11, 1}, {12, 1}});
  SortMeasuredList(list, "X", false);
  EXPECT_EQ(Ids(list), (std::vector<int>{12, 11, 10}));
  SortMeasuredList(list, "X", false);  // sorting again reverses the run again
  EXPECT_EQ(Ids(list), (std::vector<int>{10, 11, 12}));
  SortMeasuredList(list, "X", true);
  EXPECT_EQ(Ids(list), (std::vector<int>{12, 11, 10}));

  TBaseMeasuredList mixed = Make({{1, 5}, {2, 3}, {3, 5}, {4, 3}, {5, 9}});
  SortMeasuredList(mixed, "x", false);  // key names ignore case
  EXPECT_EQ(Ids(mixed), (std::vector<int>{4, 2, 3, 1, 5}));
  SortMeasuredList(mixed, "X", true);
  EXPECT_EQ(Ids(mixed), (std::vector<int>{5, 1, 3, 2, 4}));
}

TEST(CollectedDataSort, EveryKey) {
  TBaseMeasuredList list = Make({{30, 2.5, "B", 1}, {10, -1, "a", 3}, {20, 7, "A", 2}});
  SortMeasuredList(list, "SERIAL", false);
  EXPECT_EQ(Ids(list), (std::vector<int>{10, 20, 30}));
  SortMeasuredList(list, "serial", true);
  EXPECT_EQ(Ids(list), (std::vector<int>{30, 20, 10}));
  SortMeasuredList(list, "NUMBER", false);  // points per line, not serial numbers
  EXPECT_EQ(Ids(list), (std::vector<int>{30, 20, 10}));
  SortMeasuredList(list, "NUMBER", true);
  EXPECT_EQ(Ids(list), (std::vector<int>{10, 20, 30}));
  SortMeasuredList(list, "Y", false);  // Y = -x
  EXPECT_EQ(Ids(list), (std::vector<int>{20, 30, 10}));
  SortMeasuredList(list, "TITLE", false);  // byte order: capitals first
  EXPECT_EQ(Ids(list), (std::vector<int>{20, 30, 10}));
  SortMeasuredList(list, "COMMENT", true);
  EXPECT_EQ(Ids(list), (std::vector<int>{10, 30, 20}));
  SortMeasuredList(list, "BENCH", false);  // WindowID = id % 3: 1, 0, 2
  EXPECT_EQ(Ids(list), (std::vector<int>{30, 10, 20}));
}

TEST(CollectedDataSort, TextsCompareAsUnsignedBytesWithPrefixesFirst) {
  TBaseMeasuredList list =
      Make({{1, 0, "ab"}, {2, 0, "\xe3\x81\x82"}, {3, 0, "a"}, {4, 0, "Z"}, {5, 0, ""}});
  SortMeasuredList(list, "TITLE", false);
  EXPECT_EQ(Ids(list), (std::vector<int>{5, 4, 3, 1, 2}));
}

TEST(CollectedDataSort, NonFiniteValuesHaveAWellDefinedOrder) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TBaseMeasuredList list = Make({{1, nan}, {2, inf}, {3, -inf}, {4, 0}, {5, nan}, {6, -0.0}});
  SortMeasuredList(list, "X", false);
  EXPECT_EQ(Ids(list), (std::vector<int>{3, 6, 4, 2, 5, 1}));
  SortMeasuredList(list, "X", true);
  EXPECT_EQ(Ids(list), (std::vector<int>{1, 5, 2, 4, 6, 3}));
}

TEST(CollectedDataSort, UnknownKeyFailsOnlyWithTwoLinesAndChangesNothing) {
  TBaseMeasuredList none;
  EXPECT_NO_THROW(SortMeasuredList(none, "COLOUR", false));
  TBaseMeasuredList one = Make({{1}});
  EXPECT_NO_THROW(SortMeasuredList(one, "COLOUR", false));
  TBaseMeasuredList two = Make({{2}, {1}});
  EXPECT_THROW(SortMeasuredList(two, "COLOUR", false), InvalidOperation);
  EXPECT_EQ(Ids(two), (std::vector<int>{2, 1}));
}

TEST(CollectedDataSort, LargeSortedAndEqualInputsKeepTheRule) {
  // Already sorted, reverse sorted and all-equal inputs of some size give the
  // same order as the rule "key, then descending position".
  for (int pattern = 0; pattern < 3; ++pattern) {
    std::vector<Row> rows;
    for (int i = 0; i < 5000; ++i)
      rows.push_back({i, pattern == 0 ? i : pattern == 1 ? 5000 - i : 1.0 * (i % 7)});
    TBaseMeasuredList list = Make(rows);
    SortMeasuredList(list, "X", false);
    for (int i = 1; i < list.Count(); ++i) {
      const double a = list.Item(i - 1)->Item(0)->X, b = list.Item(i)->Item(0)->X;
      ASSERT_LE(a, b);
      if (a == b) {
        ASSERT_GT(list.Item(i - 1)->PointsID, list.Item(i)->PointsID);
      }
    }
  }
}
