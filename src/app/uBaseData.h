#pragma once
// The collected data: the main window's own deep copies of every line that a
// work bench has sent, in the order of the main list.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/uOwningList.h"

namespace tracemill {

struct TBaseMeasuredPoint {
  double X = 0;
  double Y = 0;
};

// One collected line: its points in measuring order.
class TBaseMeasuredPoints : public TOwningList<TBaseMeasuredPoint> {
 public:
  std::string Comment;
  std::string Title;
  std::int32_t PointsID = 0;  // serial number, unique within one working state
  std::int32_t WindowID = 0;  // position of the sending bench in the bench list

  // Appends a copy of (x, y).
  TBaseMeasuredPoint* AddPoint(double x, double y);
  // A new line with the same fields and a copy of every point.
  std::unique_ptr<TBaseMeasuredPoints> Copy() const;
};

class TBaseMeasuredList : public TOwningList<TBaseMeasuredPoints> {
 public:
  // A new list holding a copy of every line, in the same order.
  std::unique_ptr<TBaseMeasuredList> Copy() const;
};

// Reorders the lines by a key: "SERIAL" (PointsID), "BENCH" (WindowID),
// "NUMBER" (number of points), "X" / "Y" (first point), "COMMENT", "TITLE"
// (byte order, capitals first). The key name is compared upper-cased. Lines
// with equal keys come in descending original position in both directions,
// so sorting twice by the same key reverses every run of equal keys. NaN
// values sort above every number. An unknown key throws InvalidOperation when
// the list has two lines or more, and leaves the list unchanged.
void SortMeasuredList(TBaseMeasuredList& list, std::string_view key, bool reverse);

// True when name is one of the sort keys above (any letter case).
bool IsSortKey(std::string_view name);

}  // namespace tracemill
