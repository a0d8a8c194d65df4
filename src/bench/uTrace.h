#pragma once
// Automatic tracing on the bench's picture: follow a curve from one clicked
// pixel, or find every marker of the clicked marker's colour.
//
// Both work on picture pixels. A result point is in picture-pixel
// coordinates, pixel i spanning [i, i + 1), so the centre of pixel (3, 4) is
// (3.5, 4.5); points come out ordered by X. MeasuredLine turns them into a
// line of measured points at the bench's scale.
//
// Colour: a pixel belongs to the clicked ink when its largest channel
// difference from the ink's colour is within the tolerance, or when it is a
// stronger shade of the same ink (further from the paper, within the
// tolerance of that direction). The ink's colour is that of the strongest
// pixels next to the clicked one, so a click on the soft edge of an
// anti-aliased curve still takes its core. Centres are weighted by how much
// ink each pixel holds, soft edges included, which makes them sub-pixel
// exact on anti-aliased drawings.
//
// Where a thin curve and a grid line (or label) lie within the tolerance of
// each other, which happens when JPEG washes out a 1-pixel coloured curve,
// the two are one ink: points where they touch may be off by about half a
// pixel. A smaller tolerance separates them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/uCalibration.h"
#include "bench/uData.h"
#include "image/uBitmap.h"

namespace tracemill {

struct TTracePoint {
  double X = 0;
  double Y = 0;
};

struct TTraceSettings {
  static constexpr int kDefaultTolerance = 60;
  static constexpr int kDefaultStepX = 5;
  static constexpr int kDefaultGap = 4;
  static constexpr int kMaxTolerance = 255;
  static constexpr int kMaxStepX = 1000;
  static constexpr int kMaxGap = 100;

  int Tolerance = kDefaultTolerance;  // largest channel difference, 0 .. 255
  int StepX = kDefaultStepX;          // picture pixels between points, 1 .. 1000
  int Gap = kDefaultGap;              // widest break bridged, picture pixels, 0 .. 100
};

// The most points one trace or one marker search may give.
inline constexpr int kMaxTracePoints = 100000;

// Why the settings cannot be used, in the interface language; empty when
// they can. TraceCurve and FindMarkers refuse such settings with this text.
std::string TraceSettingsMessage(const TTraceSettings& settings, bool japanese);

// Follows the curve through the seed pixel, column by column to the left and
// to the right: in each column the run of ink pixels that continues the
// curve (the one nearest the course of the last points, so crossing curves
// of other colours, grid lines and steep turns are passed), bridging breaks
// of up to settings.Gap pixels. A point every settings.StepX columns, plus
// the last reliable column at each end; columns where the curve touches
// something of another colour, or is cut by a break, give no point.
// Throws InvalidOperation (message in the interface language) for an empty
// picture, a seed outside it, settings out of range, or more than
// kMaxTracePoints points.
std::vector<TTracePoint> TraceCurve(const TBitmap& picture, int seedX, int seedY,
                                    const TTraceSettings& settings, bool japanese);

// Every 8-connected blob of the seed pixel's ink like the blob under the
// seed (that one included): its pixel count within kMarkerSizeFactor, its
// width and height within kMarkerShapeFactor of the seed blob's. Each comes
// out at its ink-weighted centre (soft edge included), ordered by X, then Y.
// Throws InvalidOperation for an empty picture, a seed outside it, a
// tolerance out of range, or more than kMaxTracePoints markers.
inline constexpr double kMarkerSizeFactor = 2.0;
inline constexpr double kMarkerShapeFactor = 1.5;
std::vector<TTracePoint> FindMarkers(const TBitmap& picture, int seedX, int seedY, int tolerance,
                                     bool japanese);

// The position unit at `scale` whose centre lies nearest the picture
// coordinate `pixel`, kept inside an extent of `extent` picture pixels: the
// normalized position (2 Pos + 1) / (2 extent scale) then reads pixel / extent
// to within half a unit.
std::int32_t PositionUnit(double pixel, int scale, int extent);

// A new line (Id -1, no comment or title) holding the points at `scale` on a
// picture of width x height pixels, with values computed by the transform.
// Throws InvalidOperation for a scale other than 1, 3, 9 or 27, or an extent
// that does not fit the position units.
std::unique_ptr<TMeasuredPoints> MeasuredLine(const std::vector<TTracePoint>& points, int scale,
                                              int width, int height,
                                              const TCoefficients& coefficients, bool logX,
                                              bool logY);

}  // namespace tracemill
