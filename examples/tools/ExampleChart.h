#pragma once
// The bundled example chart: a 640 x 480 picture of a curve and five data
// markers on a linear X axis (0 to 10) and a logarithmic Y axis (1 to 1000),
// drawn from known data so that a user can check the values Tracemill reads
// off it. The plot maps X = 0 to pixel column 80 and X = 10 to column 600,
// Y = 1 to pixel row 420 and Y = 1000 to row 40: each value lands on the
// centre of the pixel nearest to it.

#include <string>
#include <vector>

#include "image/uBitmap.h"

namespace tracemill::example {

struct TDataPoint {
  double X;
  double Y;
};

inline constexpr int kChartWidth = 640;
inline constexpr int kChartHeight = 480;
inline constexpr int kPlotLeft = 80;     // column of X = 0
inline constexpr int kPlotRight = 600;   // column of X = 10
inline constexpr int kPlotTop = 40;      // row of Y = 1000
inline constexpr int kPlotBottom = 420;  // row of Y = 1
inline constexpr double kXMin = 0;
inline constexpr double kXMax = 10;
inline constexpr double kYMin = 1;
inline constexpr double kYMax = 1000;

// The data behind the markers.
const std::vector<TDataPoint>& ChartData();

// The curve the data scatter around, drawn through the plot anti-aliased
// and centred on its values: Y = 2 * 10^(X / 4).
double CurveY(double x);

// Pixel position (column, row) of a value, not rounded.
double ColumnOf(double x);
double RowOf(double y);

// The chart.
TBitmap DrawChart();

// The data as CSV: the header "X,Y", then one row per data point; CR LF line ends.
std::string ChartDataCsv();

}  // namespace tracemill::example
