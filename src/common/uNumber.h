#pragma once
// Number texts: the general format, the picture formats typed by users, the
// two validators and the conversions.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/uFormatSettings.h"

namespace tracemill {

// The general format: the shortest text that reads back as the value rounded
// to 15 significant figures; plain notation for 1E-5 <= |x| < 1E15, otherwise
// mantissa, "E" and an exponent with a sign only when negative (1E15, 1.5E-7).
// The decimal separator is '.' unless another is given. NaN and infinities
// give "NAN", "INF" and "-INF".
std::string FloatToStr(double value, char decimalSeparator = '.');

// Writes the general format into buf (at least 32 bytes); returns the length.
std::size_t FormatGeneral(double value, char* buf, char decimalSeparator = '.');

// A picture format (see the options dialog): "0", "#", ".", ",", E+/E-/e+/e-,
// quoted text and up to three ";" sections. An empty pattern gives the
// general format. Separators come from the settings record.
std::string FormatFloat(std::string_view pattern, double value,
                        const TFormatSettings& settings = FormatSettings());

// Strict conversions of a whole text, surrounding blanks allowed.
// Integers: optional sign, then decimal figures within the 32-bit range, or
// "$"/"0x" and hexadecimal figures of at most 32 bits, which name the bit
// pattern ("$FFFFFFFF" is -1; "-$10" is -16).
// Floats: optional sign, figures with an optional decimal separator (the given
// one), optional exponent; the value is the nearest double, however many
// figures the text has. A magnitude beyond the largest double does not
// convert; one below the smallest denormal gives 0.
std::optional<std::int32_t> TryStrToInt(std::string_view text);
std::optional<double> TryStrToFloat(std::string_view text, char decimalSeparator = '.');

// The validators: does the text convert (without converting it for the caller).
bool IsIntegerText(std::string_view text);
bool IsFloatText(std::string_view text, char decimalSeparator = '.');

// Conversions that throw ConvertError with a message naming the text.
std::int32_t StrToInt(std::string_view text);
double StrToFloat(std::string_view text, char decimalSeparator = '.');

// Decimal text of an integer.
std::string IntToStr(std::int64_t value);

}  // namespace tracemill
