#pragma once
// The transform from positions on the image to graph values, derived from up
// to three standard points with linear or logarithmic axes.

#include <cstdint>
#include <string>
#include <string_view>

#include "bench/uData.h"

namespace tracemill {

// X = Ax u + Bx v + Cx and Y = Ay u + By v + Cy on the normalized position
// (u, v); on a logarithmic axis the value is exp() of that.
struct TCoefficients {
  double Ax = 0, Bx = 0, Cx = 0;
  double Ay = 0, By = 0, Cy = 0;
};

enum class TCalibrationResult {
  Ok,
  Line,      // two standard points share a row or a column
  Log,       // a non-positive value on a logarithmic axis
  Triangle,  // three standard points (nearly) on one line
  OutOfRange,  // a standard point without extent (a damaged state text), or
               // values so large that the transform is not a finite number
};

// Recomputes the coefficients from the first three standard points of the
// list for a picture of width x height image pixels. On failure the
// coefficients stay as they were and the result says why; a calibration
// whose points or coefficients are not finite numbers fails (OutOfRange).
TCalibrationResult Calibrate(const TStandardList& standards, std::int32_t width,
                             std::int32_t height, TCoefficients& coefficients);

// The message the user sees for a failed calibration (with its trailing line
// break), in the interface language; empty for Ok.
extern const char* const kCalibrationErrorCaption;  // "Error"
std::string CalibrationMessage(TCalibrationResult result, bool japanese);

// Sets ValueX and ValueY of the point from its position. A point without a
// positive extent (a damaged state text) has no position: its values stay as
// they were and the result is false.
bool ComputeValues(const TCoefficients& coefficients, bool logX, bool logY, TMeasuredPoint& point);

// The standard grid's value columns.
enum class TStandardColumn { X = 5, Y = 6 };

// Stores a typed value into standard point `row`: accepted only when the text
// converts to a number (with the given decimal separator); then the text is
// kept verbatim and the number beside it. Returns whether it was accepted.
bool EnterStandardValue(TStandardList& standards, int row, TStandardColumn column,
                        std::string_view text, char decimalSeparator);

}  // namespace tracemill
