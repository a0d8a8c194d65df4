#pragma once
// An ordered list of 32-bit integers, and the stable case-insensitive sort of
// a list of texts that returns its permutation.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tracemill {

class TIntegerList {
 public:
  void Add(std::int32_t value) { items_.push_back(value); }
  // The value at index, or 0 for an index outside the list.
  std::int32_t Get(int index) const;
  void Delete(int index);                   // ignored outside the list
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  const std::vector<std::int32_t>& Items() const { return items_; }

 private:
  std::vector<std::int32_t> items_;
};

// Stable sort of texts by their ASCII upper-cased bytes (unsigned byte order).
// Result[i] is the original index of the text that comes i-th.
TIntegerList SortUpperCasePermutation(const std::vector<std::string>& texts);

// Reorders items so that the new item i is the old item permutation.Get(i).
// The permutation must be one of items.size() indices (as the sort returns).
template <typename T>
void ReorderByPermutation(std::vector<T>& items, const TIntegerList& permutation) {
  std::vector<T> reordered;
  reordered.reserve(items.size());
  for (int i = 0; i < permutation.Count(); ++i)
    reordered.push_back(std::move(items[static_cast<std::size_t>(permutation.Get(i))]));
  items = std::move(reordered);
}

}  // namespace tracemill
