#pragma once
// The bench's view: scroll bars, the mapping from view pixels to positions,
// and what to draw for the current view (picture, markers, lines, magnifier
// grid), computed without any drawing surface. Positions are in position
// units (1/scale of a picture pixel); one position unit covers
// magnification x magnification view pixels.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "bench/uBenchSettings.h"
#include "bench/uData.h"

namespace tracemill {

// One scroll bar of the image area: range 0 .. Max, the thumb covering
// PageSize; Position never exceeds Limit() = Max - PageSize + 1 (nor goes
// below 0).
struct TScrollBarState {
  std::int32_t Position = 0;
  std::int32_t Max = 0;
  std::int32_t PageSize = 0;
  std::int32_t LargeChange = 1;

  std::int32_t Limit() const;
  // The position limited to 0 .. Limit().
  std::int32_t Clamp(std::int64_t position) const;
};

// The scroll bar for an extent (position units) shown in clientSize view
// pixels at the magnification, keeping the position where it can stay.
TScrollBarState MakeScrollBar(std::int32_t extent, std::int32_t clientSize, std::int32_t magnification,
                              std::int32_t position);

// The largest scale index (0 .. 3) at which the picture's extent, size x
// 3^index, still fits a position (a 32-bit signed number).
int MaxScaleIndexFor(std::int64_t pictureWidth, std::int64_t pictureHeight);

// Everything about the view that drawing and hit tests need.
struct TViewParams {
  std::int32_t PictureWidth = 0;  // picture pixels; 0 without a picture
  std::int32_t PictureHeight = 0;
  std::int32_t Scale = 1;          // 1, 3, 9 or 27
  std::int32_t Magnification = 1;  // the magnifier factor while magnified, else 1
  std::int32_t ScrollX = 0;        // first visible position unit
  std::int32_t ScrollY = 0;
  std::int32_t ClientWidth = 0;  // view pixels
  std::int32_t ClientHeight = 0;

  std::int32_t ExtentX() const { return PictureWidth * Scale; }
  std::int32_t ExtentY() const { return PictureHeight * Scale; }
};

// The position under view pixel (x, y), or nullopt outside the picture.
std::optional<std::pair<std::int32_t, std::int32_t>> ScreenToPosition(const TViewParams& view, int x, int y);

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;  // exclusive
  int Bottom = 0;
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct TPointF {
  double X = 0;
  double Y = 0;
  friend bool operator==(const TPointF&, const TPointF&) = default;
};

// The picture's part in view: picture pixels [Source) stretched without
// smoothing onto view pixels [Dest), each picture pixel a PixelSize x
// PixelSize block. Dest may reach past the view's right and bottom edges by
// less than one block and start left of and above it.
struct TPictureDraw {
  bool Visible = false;
  TRect Source;
  TRect Dest;
  int PixelSize = 1;
};

// One marker: Shape's pixel (i, j) covers view pixels Left + i*CellSize ..
// and Top + j*CellSize .., each CellSize wide and high, painted in Color
// (0x00BBGGRR); clear pixels leave the view as it is.
struct TMarkerDraw {
  int Left = 0;
  int Top = 0;
  int CellSize = 1;
  std::uint32_t Color = 0;
  TMarkerShape Shape;
};

// The markers of one measured line and the parts of its polyline that cross
// the view (consecutive points; a part that leaves the view ends far enough
// outside it that neither its end nor its pen width shows).
struct TLineDraw {
  std::vector<TMarkerDraw> Markers;
  std::vector<std::vector<TPointF>> Polylines;
};

// A grid line from (X1, Y1) to (X2, Y2), both ends included.
struct TGridLine {
  int X1 = 0;
  int Y1 = 0;
  int X2 = 0;
  int Y2 = 0;
};

// What the view shows, in painting order: the picture, the standard markers,
// for each line its markers and then its polyline, the preview of a trace
// (drawn like a line), then the grid. Only what reaches into the view is
// listed.
struct TViewGeometry {
  TPictureDraw Picture;
  std::vector<TMarkerDraw> StandardMarkers;
  std::vector<TLineDraw> Lines;
  std::vector<TLineDraw> Preview;  // none, or the one previewed line
  std::uint32_t LineColor = 0;
  int LineWidth = 0;  // pen width of the polylines, at most the view's larger side
  std::vector<TGridLine> Grid;
  std::uint32_t GridColor = 0;
};

// In standard-point mode the standard markers always show and the measured
// ones only when settings.MeasuredVisible; while measuring the standard
// markers show only when settings.StandardVisible. Without a picture nothing
// is drawn. The cost grows with the number of points and the view's size,
// never with the picture's size. A preview line, when given, shows in every
// mode.
TViewGeometry ComputeViewGeometry(const TViewParams& view, const TBenchSettings& settings,
                                  const TDataSet& data, bool standardMode,
                                  const TMeasuredPoints* preview = nullptr);

}  // namespace tracemill
