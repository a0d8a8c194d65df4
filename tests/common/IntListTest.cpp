#include <gtest/gtest.h>

#include <algorithm>

#include "common/uIntList.h"
#include "common/uStrC.h"

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

TEST(IntegerList, SortKeepsTheOrderOfEqualKeysInLongInputs) {
  // 48 texts of three keys in mixed letter case, the keys running down and
  // up: with 16 equal keys each, an unstable sort would move some of them.
  const char* const down[] = {"Key", "beta", "ALPHA", "key", "Beta", "alpha", "KEY", "BETA"};
  const char* const up[] = {"alpha", "BETA", "key", "Alpha", "beta", "KEY", "ALPHA", "Beta"};
  for (const auto* pattern : {down, up}) {
    std::vector<std::string> texts;
    for (int i = 0; i < 48; ++i) texts.push_back(pattern[i % 8]);
    const TIntegerList perm = SortUpperCasePermutation(texts);
    ASSERT_EQ(perm.Count(), 48);
    std::vector<std::int32_t> seen = perm.Items();
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < 48; ++i) ASSERT_EQ(seen[i], i);  // a permutation
    for (int i = 1; i < 48; ++i) {
      const std::string before = UpperCaseAscii(texts[perm.Get(i - 1)]);
      const std::string after = UpperCaseAscii(texts[perm.Get(i)]);
      ASSERT_LE(before, after) << i;
      if (before == after) {
        EXPECT_LT(perm.Get(i - 1), perm.Get(i)) << i;  // original order kept
      }
    }
  }
}
