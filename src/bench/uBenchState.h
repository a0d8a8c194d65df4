#pragma once
// The value forms of the bench state text: a standard point
// "(PosX,PosY)/(Width,Height)=(TextX,TextY)" and a measured line
// "Id,(PosX,PosY)/(Width,Height)=(ValueX,ValueY)-(...)...,"Comment","Title"".
// The bench writes and reads the whole text (uBench); these are its parts.

#include <memory>
#include <string>
#include <string_view>

#include "bench/uData.h"

namespace tracemill {

std::string StandardValueText(const TStandardPoint& point);
// Reads the parts by searching for their delimiters. TextX and TextY are kept
// verbatim and converted with the decimal separator (or with "." when that
// fails). Should the typed values themselves hold commas, the split is taken
// at the first comma that leaves two numbers. Throws ConvertError.
TStandardPoint ParseStandardValue(std::string_view value, char decimalSeparator);

// A measured value as LineValueText writes it: a number with "." or "INF",
// "-INF", "NAN"; a magnitude beyond the largest double reads as infinite.
// Throws ConvertError.
double ReadMeasuredValue(std::string_view text);

// Values in the general format with "."; "INF", "-INF" and "NAN" are read
// back as what they stand for.
std::string LineValueText(const TMeasuredPoints& line);
// Throws ConvertError. A line without points gives null (a line always has a point).
std::unique_ptr<TMeasuredPoints> ParseLineValue(std::string_view value);

}  // namespace tracemill
