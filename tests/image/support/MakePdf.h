#pragma once
// Writes a small two-page vector PDF with Qt's PDF writer, for the PDF tests,
// the fuzz seeds and the PDF benchmark. Every length is in points (1/72 inch),
// measured from the page's top-left corner.

#include <string>

namespace tracemill::testing {

struct TPlotLine {
  double x0, y0, x1, y1, width;
};

// Page 1: 4 x 3 inches, a black vertical line and a black diagonal line.
inline constexpr double kPage1Width = 288, kPage1Height = 216;
inline constexpr TPlotLine kPage1Line{100, 20, 100, 196, 2};
inline constexpr TPlotLine kPage1Diagonal{140, 190, 270, 30, 1};

// Page 2: 6 x 8 inches, axes, a grid with tick labels, a curve of known data
// through kCurvePoints points and a red horizontal line.
inline constexpr double kPage2Width = 432, kPage2Height = 576;
inline constexpr TPlotLine kPage2Line{72, 288, 360, 288, 2};

// The PDF file's bytes; curvePoints sets how many points the curve of page 2
// passes through (more make a heavier page). Throws std::runtime_error.
std::string MakePlotPdf(int curvePoints = 200);

// A PDF of one empty page of the given size.
std::string MakeBlankPdf(double width, double height);

// A PDF of pages pages of width x height points, each with its page number
// written large.
std::string MakeNumberedPdf(int pages, double width = 144, double height = 144);

}  // namespace tracemill::testing
