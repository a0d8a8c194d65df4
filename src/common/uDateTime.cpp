#include "common/uDateTime.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "common/uError.h"
#include "common/uNumber.h"

namespace tracemill {

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kUnixEpochDay = 25569;  // 1970-01-01
constexpr double kMinDay = -693593;            // 0001-01-01
constexpr double kMaxDay = 2958465;            // 9999-12-31

const char* const kShortMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonthNames[] = {"January", "February", "March",     "April",
                                       "May",     "June",     "July",      "August",
                                       "September", "October", "November", "December"};
const char* const kShortDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

// Calendar day number (days since 1899-12-30) and milliseconds of the day.
void SplitValue(double value, std::int64_t& day, std::int64_t& ms) {
  if (!std::isfinite(value) || value <= kMinDay - 1 || value >= kMaxDay + 1)
    throw ConvertError("Invalid date value: " + FloatToStr(value));
  const double whole = std::trunc(value);
  day = static_cast<std::int64_t>(whole);
  ms = std::llround(std::fabs(value - whole) * static_cast<double>(kMsPerDay));
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    ++day;
  }
  if (day > static_cast<std::int64_t>(kMaxDay))
    throw ConvertError("Invalid date value: " + FloatToStr(value));
}

std::string Padded(int value, int width) {
  std::string s = std::to_string(value);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
  return s;
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view prefix) {
  if (s.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (Upper(s[at + i]) != Upper(prefix[i])) return false;
  return true;
}

// True when the picture holds an am/pm code outside quoted text.
bool HasAmPm(std::string_view p) {
  char quote = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    if (quote) {
      if (p[i] == quote) quote = 0;
    } else if (p[i] == '"' || p[i] == '\'') {
      quote = p[i];
    } else if (StartsWithNoCase(p, i, "AM/PM") || StartsWithNoCase(p, i, "A/P") ||
               StartsWithNoCase(p, i, "AMPM")) {
      return true;
    }
  }
  return false;
}

// What a picture is formatted with.
struct TFormatInput {
  const TDateTimeParts& t;
  int weekday;
  bool midnight;
  const TFormatSettings& settings;
};

void AppendFormat(std::string& out, std::string_view p, const TFormatInput& in, int depth);

// The am/pm code at p[i], if any: appends its text and returns its length (0
// when no such code starts there).
std::size_t AppendAmPm(std::string& out, std::string_view p, std::size_t i, const TFormatInput& in) {
  const bool lower = p[i] == 'a';
  const bool morning = in.t.Hour < 12;
  if (StartsWithNoCase(p, i, "AM/PM")) {
    out += morning ? (lower ? "am" : "AM") : (lower ? "pm" : "PM");
    return 5;
  }
  if (StartsWithNoCase(p, i, "A/P")) {
    out += morning ? (lower ? 'a' : 'A') : (lower ? 'p' : 'P');
    return 3;
  }
  if (StartsWithNoCase(p, i, "AMPM")) {
    out += morning ? in.settings.TimeAMString : in.settings.TimePMString;
    return 4;
  }
  return 0;
}

// Appends the code c (upper-case u) written run times; "m" after an hour code
// means minutes. Returns whether the next "m" follows an hour code.
bool AppendCode(std::string& out, char c, char u, std::size_t run, bool afterHour, bool twelveHour,
                const TFormatInput& in, int depth) {
  const TDateTimeParts& t = in.t;
  const TFormatSettings& settings = in.settings;
  const int hour = twelveHour ? (t.Hour % 12 == 0 ? 12 : t.Hour % 12) : t.Hour;
  switch (u) {
    case '/': out += settings.DateSeparator; return afterHour;
    case ':': out += settings.TimeSeparator; return afterHour;
    case 'Y': out += run <= 2 ? Padded(t.Year % 100, 2) : Padded(t.Year, 4); return false;
    case 'M':
      if (afterHour && run <= 2)
        out += Padded(t.Minute, run == 1 ? 1 : 2);
      else if (run <= 2)
        out += Padded(t.Month, static_cast<int>(run));
      else
        out += (run == 3 ? kShortMonthNames : kLongMonthNames)[t.Month - 1];
      return false;
    case 'D':
      if (run <= 2)
        out += Padded(t.Day, static_cast<int>(run));
      else if (run <= 4)
        out += (run == 3 ? kShortDayNames : kLongDayNames)[in.weekday - 1];
      else
        AppendFormat(out, settings.ShortDateFormat, in, depth + 1);
      return false;
    case 'H': out += Padded(hour, run == 1 ? 1 : 2); return true;
    case 'N': out += Padded(t.Minute, run == 1 ? 1 : 2); return false;
    case 'S': out += Padded(t.Second, run == 1 ? 1 : 2); return false;
    case 'Z': out += Padded(t.Millisecond, run == 1 ? 1 : 3); return false;
    case 'T':
      if (run == 1) {
        out += Padded(hour, 1);
        out += settings.TimeSeparator;
        out += Padded(t.Minute, 2);
      } else {
        AppendFormat(out, settings.LongTimeFormat, in, depth + 1);
      }
      return false;
    case 'C':
      AppendFormat(out, settings.ShortDateFormat, in, depth + 1);
      if (!in.midnight) {
        out += ' ';
        AppendFormat(out, settings.LongTimeFormat, in, depth + 1);
      }
      return false;
    default: out += c; return afterHour;
  }
}

void AppendFormat(std::string& out, std::string_view p, const TFormatInput& in, int depth) {
  if (depth > 2) return;  // a date format that names itself
  const bool twelveHour = HasAmPm(p);
  bool afterHour = false;
  std::size_t i = 0;
  while (i < p.size()) {
    const char c = p[i];
    const char u = Upper(c);
    if (c == '"' || c == '\'') {
      const std::size_t end = p.find(c, i + 1);
      const std::size_t stop = end == std::string_view::npos ? p.size() : end;
      out.append(p.substr(i + 1, stop - i - 1));
      i = end == std::string_view::npos ? p.size() : end + 1;
      continue;
    }
    if (u == 'A') {
      const std::size_t length = AppendAmPm(out, p, i, in);
      if (length == 0) out += c;
      i += length == 0 ? 1 : length;
      continue;
    }
    std::size_t run = 1;
    if (std::string_view("DMYHNSZT").find(u) != std::string_view::npos)
      while (i + run < p.size() && Upper(p[i + run]) == u) ++run;
    afterHour = AppendCode(out, c, u, run, afterHour, twelveHour, in, depth);
    i += run;
  }
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

std::optional<double> TryEncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return std::nullopt;
  return static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDay);
}

double EncodeDate(int year, int month, int day) {
  const auto date = TryEncodeDate(year, month, day);
  if (!date)
    throw ConvertError("Invalid date: " + std::to_string(year) + "/" + std::to_string(month) +
                       "/" + std::to_string(day));
  return *date;
}

std::optional<double> TryEncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      millisecond < 0 || millisecond > 999)
    return std::nullopt;
  const std::int64_t ms = ((hour * 60 + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

double EncodeTime(int hour, int minute, int second, int millisecond) {
  const auto time = TryEncodeTime(hour, minute, second, millisecond);
  if (!time)
    throw ConvertError("Invalid time: " + std::to_string(hour) + ":" + std::to_string(minute) +
                       ":" + std::to_string(second) + "." + std::to_string(millisecond));
  return *time;
}

double ComposeDateTime(double date, double time) {
  return date < 0 ? date - time : date + time;
}

TDateTimeParts DecodeDateTime(double value) {
  std::int64_t day = 0;
  std::int64_t ms = 0;
  SplitValue(value, day, ms);
  TDateTimeParts t;
  CivilFromDays(day - kUnixEpochDay, t.Year, t.Month, t.Day);
  t.Millisecond = static_cast<int>(ms % 1000);
  t.Second = static_cast<int>(ms / 1000 % 60);
  t.Minute = static_cast<int>(ms / 60000 % 60);
  t.Hour = static_cast<int>(ms / 3600000);
  return t;
}

int DayOfWeek(double value) {
  std::int64_t day = 0;
  std::int64_t ms = 0;
  SplitValue(value, day, ms);
  // Day 0 (1899-12-30) was a Saturday.
  return static_cast<int>(((day - 1) % 7 + 7) % 7) + 1;
}

double IncMonth(double value, int months) {
  const TDateTimeParts t = DecodeDateTime(value);
  const std::int64_t index = static_cast<std::int64_t>(t.Year) * 12 + (t.Month - 1) + months;
  const std::int64_t year = index >= 0 ? index / 12 : (index - 11) / 12;
  const int month = static_cast<int>(index - year * 12) + 1;
  if (year < 1 || year > 9999) throw ConvertError("Invalid date: month out of range");
  const int y = static_cast<int>(year);
  const int day = std::min(t.Day, DaysInMonth(y, month));
  const double time = EncodeTime(t.Hour, t.Minute, t.Second, t.Millisecond);
  return ComposeDateTime(EncodeDate(y, month, day), time);
}

double UnixTimeToDateTime(std::int64_t seconds, int milliseconds) {
  const std::time_t when = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (!localtime_r(&when, &local)) throw ConvertError("Invalid time stamp");
  const auto date = TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  if (!date) throw ConvertError("Invalid time stamp");
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;  // leap second
  return ComposeDateTime(*date, EncodeTime(local.tm_hour, local.tm_min, second, milliseconds));
}

double NowLocal() {
  std::timespec now{};
  std::timespec_get(&now, TIME_UTC);
  return UnixTimeToDateTime(now.tv_sec, static_cast<int>(now.tv_nsec / 1000000));
}

std::string FormatDateTime(std::string_view picture, double value,
                           const TFormatSettings& settings) {
  const TDateTimeParts t = DecodeDateTime(value);
  const int weekday = DayOfWeek(value);
  const bool midnight = t.Hour == 0 && t.Minute == 0 && t.Second == 0 && t.Millisecond == 0;
  std::string out;
  AppendFormat(out, picture, TFormatInput{t, weekday, midnight, settings}, 0);
  return out;
}

std::string DateToStr(double value, const TFormatSettings& settings) {
  return FormatDateTime(settings.ShortDateFormat, value, settings);
}

std::string DateTimeToStr(double value, const TFormatSettings& settings) {
  return FormatDateTime("c", value, settings);
}

}  // namespace tracemill
