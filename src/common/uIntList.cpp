#include "common/uIntList.h"

#include <algorithm>
#include <numeric>

#include "common/uStrC.h"

namespace tracemill {

std::int32_t TIntegerList::Get(int index) const {
  if (index < 0 || index >= Count()) return 0;
  return items_[static_cast<std::size_t>(index)];
}

void TIntegerList::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

TIntegerList SortUpperCasePermutation(const std::vector<std::string>& texts) {
  std::vector<std::string> keys;
  keys.reserve(texts.size());
  for (const auto& t : texts) keys.push_back(UpperCaseAscii(t));
  std::vector<std::int32_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0);
  // std::string compares char_traits<char>, which orders bytes as unsigned.
  std::stable_sort(order.begin(), order.end(),
                   [&](std::int32_t a, std::int32_t b) { return keys[a] < keys[b]; });
  TIntegerList result;
  for (auto i : order) result.Add(i);
  return result;
}

}  // namespace tracemill
