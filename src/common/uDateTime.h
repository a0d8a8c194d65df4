#pragma once
// Date-time values: a double counting days since 1899-12-30 00:00 local time,
// the time of day as the fraction (6:00 is .25). Before that day the sign
// belongs to the whole number only: -1.25 is 1899-12-29 06:00. Valid values
// lie between 0001-01-01 and 9999-12-31 23:59:59.999.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/uFormatSettings.h"

namespace tracemill {

struct TDateTimeParts {
  int Year = 0;
  int Month = 0;   // 1..12
  int Day = 0;     // 1..31
  int Hour = 0;    // 0..23
  int Minute = 0;  // 0..59
  int Second = 0;  // 0..59
  int Millisecond = 0;
};

bool IsLeapYear(int year);
// Days of the month (0 for a month outside 1..12).
int DaysInMonth(int year, int month);

// The date (time 0) of a calendar day; nullopt outside 1..9999 or for a day
// that does not exist. EncodeDate throws ConvertError instead.
std::optional<double> TryEncodeDate(int year, int month, int day);
double EncodeDate(int year, int month, int day);

// A time of day as a fraction of a day; nullopt (ConvertError) outside
// 0..23, 0..59, 0..59, 0..999.
std::optional<double> TryEncodeTime(int hour, int minute, int second, int millisecond);
double EncodeTime(int hour, int minute, int second, int millisecond);

// Date part plus time of day, honouring the sign rule for dates before 1899-12-30.
double ComposeDateTime(double date, double time);

// Splits a value into calendar and clock parts (milliseconds rounded).
// Throws ConvertError for NaN, infinities and values outside the valid range.
TDateTimeParts DecodeDateTime(double value);

// 1 for Sunday ... 7 for Saturday. Throws like DecodeDateTime.
int DayOfWeek(double value);

// The same time months later (or earlier); the day is clipped to the end of
// the target month. Throws ConvertError when the result leaves the range.
double IncMonth(double value, int months);

// The value of a local clock reading (seconds since the Unix epoch plus
// milliseconds), and the current local time.
double UnixTimeToDateTime(std::int64_t seconds, int milliseconds);
double NowLocal();

// A picture format: d dd ddd dddd ddddd, m mm mmm mmmm (minutes when it follows
// an hour code), yy yyyy, h hh, n nn, s ss, z zzz, am/pm a/p ampm (12-hour
// clock), c (short date, then the long time unless midnight), t tt, text in
// single or double quotes, "/" and ":" as the record's separators. Other
// characters are copied. Throws like DecodeDateTime.
std::string FormatDateTime(std::string_view picture, double value,
                           const TFormatSettings& settings = FormatSettings());

// The short date; and the short date followed by the long time unless the
// value is exactly midnight (the text of a Date value).
std::string DateToStr(double value, const TFormatSettings& settings = FormatSettings());
std::string DateTimeToStr(double value, const TFormatSettings& settings = FormatSettings());

}  // namespace tracemill
