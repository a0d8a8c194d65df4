// Built-ins for dates: values of the Date type count days since 1899-12-30,
// the time of day as the fraction, in local time.
#include <cmath>

#include "common/uDateTime.h"
#include "script/uFunctionTable.h"

namespace tracemill::builtins {

namespace {

TDateTimeParts Parts(TBuiltinContext& c, const TValue& date) { return DecodeDateTime(date.ToDate(c.Format())); }

const char* const kJapaneseDayNames[] = {"日", "月", "火", "水", "木", "金", "土"};
const char* const kEnglishDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

}  // namespace

TValue DateToStr(TBuiltinContext& c, const TValue& d) {
  return TValue::String(tracemill::DateToStr(d.ToDate(c.Format()), c.Format()));
}
TValue DateYear(TBuiltinContext& c, const TValue& d) { return TValue::Integer(Parts(c, d).Year); }
TValue DateMonth(TBuiltinContext& c, const TValue& d) { return TValue::Integer(Parts(c, d).Month); }
TValue DateDay(TBuiltinContext& c, const TValue& d) { return TValue::Integer(Parts(c, d).Day); }
TValue TimeHour(TBuiltinContext& c, const TValue& d) { return TValue::Integer(Parts(c, d).Hour); }
TValue TimeMinute(TBuiltinContext& c, const TValue& d) { return TValue::Integer(Parts(c, d).Minute); }
TValue TimeSecond(TBuiltinContext& c, const TValue& d) { return TValue::Integer(Parts(c, d).Second); }
TValue TimeMillisecond(TBuiltinContext& c, const TValue& d) {
  return TValue::Integer(Parts(c, d).Millisecond);
}

TValue DayOfWeek(TBuiltinContext& c, const TValue& d) {
  return TValue::Integer(tracemill::DayOfWeek(d.ToDate(c.Format())));
}

TValue DayStringOfWeek(TBuiltinContext& c, const TValue& d) {
  const int day = tracemill::DayOfWeek(d.ToDate(c.Format()));
  return TValue::String((c.Environment().Japanese ? kJapaneseDayNames : kEnglishDayNames)[day - 1]);
}

TValue Now(TBuiltinContext& c, const TValue&) { return TValue::Date(c.Services().Now()); }

TValue Today(TBuiltinContext& c, const TValue&) {
  const double now = c.Services().Now();
  return TValue::Date(std::trunc(now));
}

TValue Time(TBuiltinContext& c, const TValue&) {
  const double now = c.Services().Now();
  return TValue::Date(std::fabs(now - std::trunc(now)));
}

TValue FormatDateTime(const TArgs& args) {
  return TValue::String(tracemill::FormatDateTime(args.Str(0), args.Date(1), args.Context().Format()));
}

TValue EncodeDate(const TArgs& args) {
  return TValue::Date(tracemill::EncodeDate(args.Int(0), args.Int(1), args.Int(2)));
}

TValue EncodeTime(const TArgs& args) {
  const int millisecond = args.Count() >= 4 ? args.Int(3) : 0;
  return TValue::Date(tracemill::EncodeTime(args.Int(0), args.Int(1), args.Int(2), millisecond));
}

TValue DecodeDate(const TArgs& args) {
  const TDateTimeParts t = DecodeDateTime(args.Date(0));
  return TValue::List({TValue::Integer(t.Year), TValue::Integer(t.Month), TValue::Integer(t.Day)});
}

TValue DecodeTime(const TArgs& args) {
  const TDateTimeParts t = DecodeDateTime(args.Date(0));
  return TValue::List({TValue::Integer(t.Hour), TValue::Integer(t.Minute), TValue::Integer(t.Second),
                       TValue::Integer(t.Millisecond)});
}

TValue IncMonth(const TArgs& args) {
  return TValue::Date(tracemill::IncMonth(args.Date(0), args.Int(1)));
}

}  // namespace tracemill::builtins
