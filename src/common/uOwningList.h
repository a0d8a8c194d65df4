#pragma once
// An ordered list whose entries each own one object (or none). Deleting an
// entry, clearing the list and destroying the list free the objects. Access
// outside the list yields no object instead of failing.

#include <memory>
#include <utility>
#include <vector>

namespace tracemill {

template <typename T>
class TOwningList {
 public:
  TOwningList() = default;
  TOwningList(TOwningList&&) noexcept = default;
  TOwningList& operator=(TOwningList&&) noexcept = default;
  TOwningList(const TOwningList&) = delete;
  TOwningList& operator=(const TOwningList&) = delete;
  virtual ~TOwningList() = default;

  // Appends the object (which may be null); the list takes ownership.
  T* Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return items_.back().get();
  }
  // The object at index, or nullptr outside 0 .. Count()-1 or for an empty entry.
  T* Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return items_[static_cast<std::size_t>(index)].get();
  }
  T* operator[](int index) const { return Item(index); }
  // Frees the object at index and removes the entry; ignored outside the list.
  void Delete(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
  }
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }

  // Reorders the entries: new entry i is old entry order[i]. order must be a
  // permutation of 0 .. Count()-1.
  void Reorder(const std::vector<int>& order) {
    std::vector<std::unique_ptr<T>> next;
    next.reserve(items_.size());
    for (int i : order) next.push_back(std::move(items_[static_cast<std::size_t>(i)]));
    items_ = std::move(next);
  }

 private:
  std::vector<std::unique_ptr<T>> items_;
};

}  // namespace tracemill
