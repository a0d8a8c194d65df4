#include "script/uVariable.h"

#include <cmath>
#include <cstdlib>

#include "common/uNumber.h"
#include "common/uStrC.h"

namespace tracemill {

std::string TypeName(int typeCode) {
  switch (typeCode & kVarTypeMask) {
    case kVarEmpty: return "Empty";
    case kVarNull: return "Null";
    case kVarSmallInt: return "SmallInt";
    case kVarInteger: return "Integer";
    case kVarSingle: return "Single";
    case kVarDouble: return "Double";
    case kVarCurrency: return "Currency";
    case kVarDate: return "Date";
    case kVarOleStr: return "OleStr";
    case kVarDispatch: return "Dispatch";
    case kVarError: return "Error";
    case kVarBoolean: return "Boolean";
    case kVarVariant: return "Variant";
    case kVarUnknown: return "Unknown";
    case kVarByte: return "Byte";
    case kVarString: return "String";
    default: return "Unknown";
  }
}

TValue TValue::Integer(std::int32_t v) {
  TValue r;
  r.type_ = kVarInteger;
  r.i_ = v;
  return r;
}

TValue TValue::Double(double v) {
  TValue r;
  r.type_ = kVarDouble;
  r.d_ = v;
  return r;
}

TValue TValue::Date(double v) {
  TValue r;
  r.type_ = kVarDate;
  r.d_ = v;
  return r;
}

TValue TValue::Boolean(bool v) {
  TValue r;
  r.type_ = kVarBoolean;
  r.b_ = v;
  return r;
}

TValue TValue::String(std::string v) {
  TValue r;
  r.type_ = kVarString;
  r.s_ = std::move(v);
  return r;
}

TValue TValue::List(std::vector<TValue> elements) {
  TValue r;
  r.type_ = kVarArray;
  r.list_ = std::move(elements);
  return r;
}

void TValue::Append(TValue v) {
  if (type_ == kVarArray) {
    list_.push_back(std::move(v));
    return;
  }
  std::vector<TValue> elements;
  if (type_ != kVarEmpty) elements.push_back(std::move(*this));
  elements.push_back(std::move(v));
  *this = List(std::move(elements));
}

std::int32_t RoundToInteger(double value) {
  if (!std::isfinite(value) || value < -2147483648.5 || value > 2147483647.5)
    throw ConvertError("Value out of the integer range");
  double r = std::floor(value);
  const double diff = value - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
  if (r < -2147483648.0 || r > 2147483647.0) throw ConvertError("Value out of the integer range");
  return static_cast<std::int32_t>(r);
}

TValue NumberFromText(std::string_view text, char decimalSeparator) {
  if (const auto i = TryStrToInt(text)) return TValue::Integer(*i);
  if (const auto d = TryStrToFloat(text, decimalSeparator)) return TValue::Double(*d);
  throw ConvertError("'" + std::string(text) + "' is not a valid number");
}

namespace {

bool BooleanText(std::string_view text, bool& value) {
  const std::string t = UpperCaseAscii(Trim(text));
  if (t == "TRUE") return value = true, true;
  if (t == "FALSE") return value = false, true;
  return false;
}

[[noreturn]] void CannotConvert(const TValue& v, const char* to) {
  throw ConvertError("Could not convert variant of type (" + TypeName(v.TypeCode()) + ") into type (" + to + ")");
}

}  // namespace

std::int32_t TValue::ToInteger() const {
  switch (type_) {
    case kVarEmpty: return 0;
    case kVarInteger: return i_;
    case kVarDouble:
    case kVarDate: return RoundToInteger(d_);
    case kVarBoolean: return b_ ? -1 : 0;
    case kVarString: {
      bool b = false;
      if (BooleanText(s_, b)) return b ? -1 : 0;
      const TValue n = NumberFromText(s_, FormatSettings().DecimalSeparator);
      return n.IsInteger() ? n.i_ : RoundToInteger(n.d_);
    }
    default: CannotConvert(*this, "Integer");
  }
}

double TValue::ToDouble() const {
  switch (type_) {
    case kVarEmpty: return 0;
    case kVarInteger: return i_;
    case kVarDouble:
    case kVarDate: return d_;
    case kVarBoolean: return b_ ? -1 : 0;
    case kVarString: {
      bool b = false;
      if (BooleanText(s_, b)) return b ? -1 : 0;
      const TValue n = NumberFromText(s_, FormatSettings().DecimalSeparator);
      return n.IsInteger() ? n.i_ : n.d_;
    }
    default: CannotConvert(*this, "Double");
  }
}

bool TValue::ToBoolean() const {
  switch (type_) {
    case kVarEmpty: return false;
    case kVarInteger: return i_ != 0;
    case kVarDouble:
    case kVarDate: return d_ != 0;
    case kVarBoolean: return b_;
    case kVarString: {
      bool b = false;
      if (BooleanText(s_, b)) return b;
      const TValue n = NumberFromText(s_, FormatSettings().DecimalSeparator);
      return n.IsInteger() ? n.i_ != 0 : n.d_ != 0;
    }
    default: CannotConvert(*this, "Boolean");
  }
}

std::string TValue::ToString() const { return ToString(FormatSettings()); }

std::string TValue::ToString(const TFormatSettings& settings) const {
  switch (type_) {
    case kVarEmpty: return std::string();
    case kVarInteger: return IntToStr(i_);
    case kVarDouble: return FloatToStr(d_, settings.DecimalSeparator);
    case kVarDate: return DateTimeToStr(d_, settings);
    case kVarBoolean: return b_ ? "True" : "False";
    case kVarString: return s_;
    default: CannotConvert(*this, "String");
  }
}

bool TValue::SameAs(const TValue& other) const {
  if (type_ != other.type_) return false;
  switch (type_) {
    case kVarInteger: return i_ == other.i_;
    case kVarDouble:
    case kVarDate: return d_ == other.d_ || (std::isnan(d_) && std::isnan(other.d_));
    case kVarBoolean: return b_ == other.b_;
    case kVarString: return s_ == other.s_;
    case kVarArray:
      if (list_.size() != other.list_.size()) return false;
      for (std::size_t i = 0; i < list_.size(); ++i)
        if (!list_[i].SameAs(other.list_[i])) return false;
      return true;
    default: return true;
  }
}

// ---- dates ----

namespace {
constexpr long long kUnixEpochDay = 25569;  // 1970-01-01 as days since 1899-12-30

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

long long DaysFromCivil(long long y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

std::string Pad(int v, int width) {
  std::string s = std::to_string(v);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

// Expands the letters y, m, d (date) or h, n, s (time) of a format; "/" and
// ":" become the settings' separators; other characters are copied.
std::string ExpandFormat(const std::string& format, const TDateParts& p, const TFormatSettings& settings) {
  std::string out;
  for (std::size_t i = 0; i < format.size();) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i])));
    std::size_t run = 1;
    while (i + run < format.size() && std::tolower(static_cast<unsigned char>(format[i + run])) == c) ++run;
    switch (c) {
      case 'y': out += run <= 2 ? Pad(p.Year % 100, 2) : Pad(p.Year, 4); break;
      case 'm': out += Pad(p.Month, run >= 2 ? 2 : 1); break;
      case 'd': out += Pad(p.Day, run >= 2 ? 2 : 1); break;
      case 'h': out += Pad(p.Hour, run >= 2 ? 2 : 1); break;
      case 'n': out += Pad(p.Minute, run >= 2 ? 2 : 1); break;
      case 's': out += Pad(p.Second, run >= 2 ? 2 : 1); break;
      case '/': out.append(run, settings.DateSeparator); break;
      case ':': out.append(run, settings.TimeSeparator); break;
      default: out.append(format, i, run); break;
    }
    i += run;
  }
  return out;
}
}  // namespace

TDateParts DecodeDateTime(double dateTime) {
  TDateParts p{};
  if (!std::isfinite(dateTime) || std::fabs(dateTime) > 1e9) throw ConvertError("Invalid date value");
  const double day = std::trunc(dateTime);
  long long ms = std::llround(std::fabs(dateTime - day) * 86400000.0);
  if (ms >= 86400000) ms = 86399999;
  CivilFromDays(static_cast<long long>(day) - kUnixEpochDay, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(ms / 3600000);
  p.Minute = static_cast<int>(ms / 60000 % 60);
  p.Second = static_cast<int>(ms / 1000 % 60);
  p.Millisecond = static_cast<int>(ms % 1000);
  return p;
}

double EncodeDateValue(int year, int month, int day) {
  return static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDay);
}

std::string DateTimeToStr(double dateTime, const TFormatSettings& settings) {
  const TDateParts p = DecodeDateTime(dateTime);
  const bool hasDate = std::trunc(dateTime) != 0;
  const bool hasTime = p.Hour != 0 || p.Minute != 0 || p.Second != 0 || p.Millisecond != 0;
  std::string out;
  if (hasDate || !hasTime) out = ExpandFormat(settings.ShortDateFormat, p, settings);
  if (hasTime) {
    if (!out.empty()) out += ' ';
    out += ExpandFormat(settings.LongTimeFormat, p, settings);
  }
  return out;
}

// ---- variable table ----

bool TVariableSet::Find(std::string_view name, int& index) const {
  index = IndexOfUpper(UpperCaseAscii(name));
  if (index < 0) {
    index = 0;
    return false;
  }
  return true;
}

bool TVariableSet::Exists(std::string_view name) const { return IndexOfUpper(UpperCaseAscii(name)) >= 0; }

int TVariableSet::IndexOfUpper(std::string_view upperName) const {
  const auto it = index_.find(upperName);
  return it == index_.end() ? -1 : it->second;
}

const TValue* TVariableSet::FindUpper(std::string_view upperName) const {
  const int i = IndexOfUpper(upperName);
  return i < 0 ? nullptr : &cells_[static_cast<std::size_t>(i)]->Value;
}

TValue TVariableSet::GetValueByIndex(int index) const {
  if (index < 0 || index >= Count()) return TValue::Integer(0);
  return cells_[static_cast<std::size_t>(index)]->Value;
}

TValue TVariableSet::GetValue(std::string_view name) const {
  const TValue* v = FindUpper(UpperCaseAscii(name));
  return v ? *v : TValue::Integer(0);
}

void TVariableSet::SetValue(std::string_view name, TValue value) {
  const std::string nameText(name);
  if (OnBeforeAssign) {
    bool handled = false;
    OnBeforeAssign(*this, nameText, handled, value);
    if (handled) return;
  }
  std::string upper = UpperCaseAscii(name);
  const auto it = index_.find(upper);
  if (it == index_.end()) {
    auto cell = std::make_unique<TVariantObject>();
    cell->Name = nameText;
    cell->Value = value;
    index_.emplace(std::move(upper), Count());
    cells_.push_back(std::move(cell));
  } else {
    TVariantObject& cell = *cells_[static_cast<std::size_t>(it->second)];
    if (cell.ReadOnly) {
      if (OnError) OnError(*this, cell.Name + " is read-only.");
      return;
    }
    cell.Value = value;
  }
  if (OnAfterAssign) OnAfterAssign(*this, nameText, value);
}

void TVariableSet::SetReadOnly(std::string_view name, bool flag) {
  const int i = IndexOfUpper(UpperCaseAscii(name));
  if (i < 0) {
    if (OnError) OnError(*this, std::string(name) + " is not exist.");
    return;
  }
  cells_[static_cast<std::size_t>(i)]->ReadOnly = flag;
}

}  // namespace tracemill
