#include "script/uVariable.h"

#include <atomic>
#include <cmath>
#include <cstdlib>

#include "common/uDateTime.h"
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

TValue TValue::String(std::string v) {
  TValue r;
  r.type_ = kVarString;
  r.s_ = std::move(v);
  return r;
}

TValue TValue::List(std::vector<TValue> elements) {
  TValue r;
  r.type_ = kVarArray;
  r.list_ = new std::vector<TValue>(std::move(elements));
  return r;
}

void TValue::CopyList(const TValue& other) {
  std::vector<TValue>* copy = other.list_ ? new std::vector<TValue>(*other.list_) : nullptr;
  delete list_;
  list_ = copy;
}

void TValue::FreeList() {
  delete list_;
  list_ = nullptr;
}

const std::vector<TValue>& TValue::EmptyElements() {
  static const std::vector<TValue> empty;
  return empty;
}

void TValue::Append(TValue v) {
  if (type_ == kVarArray) {
    Elements().push_back(std::move(v));
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

std::string TValue::ConcatenatedText() const {
  if (!IsList()) return ToString();
  std::string text;
  for (const TValue& element : Elements()) text += element.ToString();
  return text;
}

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
      if (Count() != other.Count()) return false;
      for (std::size_t i = 0; i < Count(); ++i)
        if (!(*this)[i].SameAs(other[i])) return false;
      return true;
    default: return true;
  }
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

std::uint64_t TVariableSet::NextSerial() {
  static std::atomic<std::uint64_t> counter{0};
  return ++counter;
}

int TVariableSet::LookUpSlot(std::string_view upperName, TSlotCache& slot) const {
  const int i = IndexOfUpper(upperName);
  if (i >= 0) {
    slot.TableSerial = serial_;
    slot.Index = i;
  }
  return i;
}

void TVariableSet::AssignAt(int index, std::string_view name, TValue value) {
  if (OnBeforeAssign) {
    const std::string nameText(name);
    bool handled = false;
    OnBeforeAssign(*this, nameText, handled, value);
    if (handled) return;
  }
  TVariantObject& cell = *cells_[static_cast<std::size_t>(index)];
  if (cell.ReadOnly) {
    if (OnError) OnError(*this, cell.Name + " is read-only.");
    return;
  }
  if (OnAfterAssign) {
    cell.Value = value;
    OnAfterAssign(*this, std::string(name), value);
  } else {
    cell.Value = std::move(value);
  }
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
    const std::size_t paren = upper.find('(');
    if (paren != std::string::npos) elementBases_.emplace(upper.substr(0, paren));
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
