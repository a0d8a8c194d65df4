#include <gtest/gtest.h>

#include "common/uIntList.h"

using namespace tracemill;

TEST(IntegerList, OutOfRangeAccessIsHarmless) {
  TIntegerList list;
  list.Add(5);
  list.Add(-7);
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(1), -7);
  EXPECT_EQ(list.Get(2), 0);
  EXPECT_EQ(list.Get(-1), 0);
  list.Delete(2);
  list.Delete(-1);
  EXPECT_EQ(list.Count(), 2);
  list.Delete(0);
  EXPECT_EQ(list.Get(0), -7);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(IntegerList, StableUpperCaseSortAndReorder) {
  std::vector<std::string> texts = {"b", "A", "a", "B", "\xe3\x81\x82", "_"};
  const TIntegerList perm = SortUpperCasePermutation(texts);
  // "A" "a" equal after upper-casing keep their order; '_' (0x5F) after 'B';
  // bytes above 0x7F sort last.
  EXPECT_EQ(perm.Items(), (std::vector<std::int32_t>{1, 2, 0, 3, 5, 4}));
  std::vector<int> other = {10, 11, 12, 13, 14, 15};
  ReorderByPermutation(other, perm);
  EXPECT_EQ(other, (std::vector<int>{11, 12, 10, 13, 15, 14}));
}
