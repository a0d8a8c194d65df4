#include "app/uBaseData.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "common/uError.h"
#include "common/uStrC.h"

namespace tracemill {

TBaseMeasuredPoint* TBaseMeasuredPoints::AddPoint(double x, double y) {
  return Add(std::make_unique<TBaseMeasuredPoint>(TBaseMeasuredPoint{x, y}));
}

std::unique_ptr<TBaseMeasuredPoints> TBaseMeasuredPoints::Copy() const {
  auto line = std::make_unique<TBaseMeasuredPoints>();
  line->Comment = Comment;
  line->Title = Title;
  line->PointsID = PointsID;
  line->WindowID = WindowID;
  for (int i = 0; i < Count(); ++i) {
    const TBaseMeasuredPoint* p = Item(i);
    line->Add(p ? std::make_unique<TBaseMeasuredPoint>(*p) : nullptr);
  }
  return line;
}

std::unique_ptr<TBaseMeasuredList> TBaseMeasuredList::Copy() const {
  auto list = std::make_unique<TBaseMeasuredList>();
  for (int i = 0; i < Count(); ++i) {
    const TBaseMeasuredPoints* line = Item(i);
    list->Add(line ? line->Copy() : nullptr);
  }
  return list;
}

namespace {

enum class KeyKind { Integer, Float, Text, Unknown };

struct KeyInfo {
  KeyKind kind;
  int field;  // which integer / float / text field
};

KeyInfo KeyOf(std::string_view name) {
  const std::string key = UpperCaseAscii(name);
  if (key == "SERIAL") return {KeyKind::Integer, 0};
  if (key == "BENCH") return {KeyKind::Integer, 1};
  if (key == "NUMBER") return {KeyKind::Integer, 2};
  if (key == "X") return {KeyKind::Float, 0};
  if (key == "Y") return {KeyKind::Float, 1};
  if (key == "COMMENT") return {KeyKind::Text, 0};
  if (key == "TITLE") return {KeyKind::Text, 1};
  return {KeyKind::Unknown, 0};
}

// Three-way comparison of floats that is a total order: NaN above +INF, all
// NaNs equal, -0 equal to 0.
int CompareFloat(double a, double b) {
  const bool na = std::isnan(a), nb = std::isnan(b);
  if (na || nb) return static_cast<int>(na) - static_cast<int>(nb);
  return a < b ? -1 : (a > b ? 1 : 0);
}

// Sorts the positions 0 .. n-1 by key(i) (three-way) ascending or descending,
// equal keys by descending position, and applies the order to the list.
template <typename Compare>
void SortBy(TBaseMeasuredList& list, bool reverse, Compare compare) {
  std::vector<int> order(static_cast<std::size_t>(list.Count()));
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    int c = compare(a, b);
    if (reverse) c = -c;
    return c != 0 ? c < 0 : a > b;
  });
  list.Reorder(order);
}

}  // namespace

bool IsSortKey(std::string_view name) { return KeyOf(name).kind != KeyKind::Unknown; }

void SortMeasuredList(TBaseMeasuredList& list, std::string_view key, bool reverse) {
  const int n = list.Count();
  const KeyInfo info = KeyOf(key);
  if (info.kind == KeyKind::Unknown) {
    if (n >= 2)
      throw InvalidOperation("Invalid operation: \"" + std::string(key) +
                             "\" is not a sort key of the collected data");
    return;
  }
  if (n < 2) return;

  // Keys are gathered once; a line without an object or without points has
  // the lowest key of its kind (0 points, no first point, empty text).
  switch (info.kind) {
    case KeyKind::Integer: {
      std::vector<std::int64_t> k(static_cast<std::size_t>(n));
      for (int i = 0; i < n; ++i) {
        const TBaseMeasuredPoints* line = list.Item(i);
        if (!line) continue;
        k[i] = info.field == 0 ? line->PointsID : info.field == 1 ? line->WindowID : line->Count();
      }
      SortBy(list, reverse, [&](int a, int b) { return (k[a] > k[b]) - (k[a] < k[b]); });
      break;
    }
    case KeyKind::Float: {
      std::vector<double> k(static_cast<std::size_t>(n), -INFINITY);
      for (int i = 0; i < n; ++i) {
        const TBaseMeasuredPoints* line = list.Item(i);
        const TBaseMeasuredPoint* first = line ? line->Item(0) : nullptr;
        if (first) k[i] = info.field == 0 ? first->X : first->Y;
      }
      SortBy(list, reverse, [&](int a, int b) { return CompareFloat(k[a], k[b]); });
      break;
    }
    case KeyKind::Text: {
      std::vector<const std::string*> k(static_cast<std::size_t>(n));
      static const std::string kEmpty;
      for (int i = 0; i < n; ++i) {
        const TBaseMeasuredPoints* line = list.Item(i);
        k[i] = !line ? &kEmpty : info.field == 0 ? &line->Comment : &line->Title;
      }
      // std::string compares bytes as unsigned values, a prefix first.
      SortBy(list, reverse, [&](int a, int b) {
        const int c = k[a]->compare(*k[b]);
        return (c > 0) - (c < 0);
      });
      break;
    }
    case KeyKind::Unknown:
      break;
  }
}

}  // namespace tracemill
