#pragma once
// The work bench's point model: standard (calibration) points, measured
// points grouped into lines, and the per-bench container of both.
//
// Positions are in position units: 1/scale of an image pixel, stored with the
// image extent in the same units at the time of the click, so a point stays
// meaningful when the scale changes.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "common/uOwningList.h"

namespace tracemill {

// The centre of the clicked position unit as a fraction of the image extent:
// u = (2 PosX + 1) / (2 Width), v = (2 PosY + 1) / (2 Height).
double NormalizedU(std::int32_t posX, std::int32_t width);
double NormalizedV(std::int32_t posY, std::int32_t height);

class TStandardPoint {
 public:
  TStandardPoint() = default;
  // A point set by a click: its values are its own position, so an untouched
  // point reads as where it stands.
  TStandardPoint(std::int32_t posX, std::int32_t posY, std::int32_t width, std::int32_t height);

  std::int32_t PosX = 0;
  std::int32_t PosY = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::string TextX;  // the values as the user typed them
  std::string TextY;
  double ValueX = 0;
  double ValueY = 0;
};

class TStandardList : public TOwningList<TStandardPoint> {
 public:
  bool LogX = false;
  bool LogY = false;
};

class TMeasuredPoint {
 public:
  TMeasuredPoint() = default;
  TMeasuredPoint(std::int32_t posX, std::int32_t posY, std::int32_t width, std::int32_t height)
      : PosX(posX), PosY(posY), Width(width), Height(height) {}

  std::int32_t PosX = 0;
  std::int32_t PosY = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  double ValueX = 0;  // computed from the position by the bench's transform
  double ValueY = 0;
};

// One line: the points of one or more clicks, in clicking order.
class TMeasuredPoints : public TOwningList<TMeasuredPoint> {
 public:
  std::string Comment;
  std::string Title;
  std::int32_t Id = -1;  // the line's serial number in the collected data; -1 until assigned
};

// All lines of one bench, oldest first.
class TMeasuredList : public TOwningList<TMeasuredPoints> {};

// Where a stored point lies at the bench's current extent: a point set at a
// finer scale is divided down, one set at a coarser scale lands in the middle
// of its unit. The horizontal ratio serves both coordinates.
std::pair<std::int32_t, std::int32_t> PositionAtScale(std::int32_t posX, std::int32_t posY,
                                                      std::int32_t width, std::int32_t extent);

class TDataSet {
 public:
  TStandardList Standards;
  TMeasuredList Measured;

  // Raised after lines were deleted by id, so the bench redraws its image,
  // markers and magnifier grid.
  std::function<void()> OnRepaint;

  // Deletes every line whose Id equals id (ids need not be unique), walking
  // from the last line to the first, then raises OnRepaint (also when no line
  // matched).
  void DeleteLineById(std::int32_t id);

  // The newest line, or nullptr when there is none.
  TMeasuredPoints* LastLine() const { return Measured.Item(Measured.Count() - 1); }
};

}  // namespace tracemill
