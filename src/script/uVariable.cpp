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
  if (v.size() <= TShortString::kCapacity) {
    TShortString s{};
    std::copy(v.begin(), v.end(), s.Data.begin());
    s.Size = static_cast<std::uint8_t>(v.size());
    return TValue(TKind(std::in_place_index<kShortStringIndex>, s));
  }
  auto shared = std::make_shared<TShared>();
  shared->Text = std::move(v);
  return TValue(TKind(std::in_place_index<kStringIndex>), std::move(shared));
}

TValue TValue::List(TElements elements) {
  auto shared = std::make_shared<TShared>();
  shared->Items = std::move(elements);
  return TValue(TKind(std::in_place_index<kListIndex>), std::move(shared));
}

int TValue::TypeCode() const {
  static constexpr int kCodes[] = {kVarEmpty,   kVarInteger, kVarDouble, kVarDate,
                                   kVarBoolean, kVarString,  kVarString, kVarArray | kVarVariant};
  return kCodes[v_.index()];
}

const TValue::TElements& TValue::Elements() const {
  static const TElements kNone;
  return IsList() ? shared_->Items : kNone;
}

TValue::TElements& TValue::MutableElements() {
  if (!IsList()) {
    *this = List();
  } else if (shared_.use_count() > 1) {
    auto copy = std::make_shared<TShared>();
    copy->Items = shared_->Items;
    shared_ = std::move(copy);
  }
  shared_->Footprint = kUnknownFootprint;
  return shared_->Items;
}

void TValue::UnwrapSingle() {
  if (!IsList() || Count() != 1) return;
  if (shared_.use_count() > 1) *this = shared_->Items[0];
  else *this = std::move(shared_->Items[0]);
}

void TValue::AppendText(std::string_view text) {
  if (auto* small = std::get_if<kShortStringIndex>(&v_)) {
    if (small->Size + text.size() <= TShortString::kCapacity) {
      std::copy(text.begin(), text.end(), small->Data.begin() + small->Size);
      small->Size = static_cast<std::uint8_t>(small->Size + text.size());
      return;
    }
    auto shared = std::make_shared<TShared>();
    shared->Text.reserve(small->Size + text.size());
    shared->Text.append(small->Data.data(), small->Size).append(text);
    v_.emplace<kStringIndex>();
    shared_ = std::move(shared);
    return;
  }
  if (!IsString()) throw std::bad_variant_access();
  if (shared_.use_count() > 1) {
    auto copy = std::make_shared<TShared>();
    copy->Text.reserve(shared_->Text.size() + text.size());
    copy->Text.append(shared_->Text).append(text);
    shared_ = std::move(copy);
  } else {
    shared_->Text.append(text);
  }
}

void TValue::Append(TValue v) {
  if (IsList()) {
    MutableElements().push_back(std::move(v));
    return;
  }
  TElements elements;
  elements.reserve(2);
  if (!IsEmpty()) elements.push_back(std::move(*this));
  elements.push_back(std::move(v));
  *this = List(std::move(elements));
}

std::size_t TValue::SharedFootprint() const {
  if (IsString()) return sizeof(TValue) + StringValue().size();
  if (shared_->Footprint == kUnknownFootprint) {
    std::size_t bytes = 0;
    for (const TValue& e : shared_->Items) bytes += e.Footprint();
    shared_->Footprint = bytes;
  }
  return sizeof(TValue) + shared_->Footprint;
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

std::int32_t TValue::ToInteger(const TFormatSettings& format) const {
  switch (TypeCode()) {
    case kVarEmpty: return 0;
    case kVarInteger: return IntegerValue();
    case kVarDouble:
    case kVarDate: return RoundToInteger(DoubleValue());
    case kVarBoolean: return BooleanValue() ? -1 : 0;
    case kVarString: {
      bool b = false;
      if (BooleanText(StringValue(), b)) return b ? -1 : 0;
      const TValue n = NumberFromText(StringValue(), format.DecimalSeparator);
      return n.IsInteger() ? n.IntegerValue() : RoundToInteger(n.DoubleValue());
    }
    default: CannotConvert(*this, "Integer");
  }
}

double TValue::ToDouble(const TFormatSettings& format) const {
  switch (TypeCode()) {
    case kVarEmpty: return 0;
    case kVarInteger: return IntegerValue();
    case kVarDouble:
    case kVarDate: return DoubleValue();
    case kVarBoolean: return BooleanValue() ? -1 : 0;
    case kVarString: {
      bool b = false;
      if (BooleanText(StringValue(), b)) return b ? -1 : 0;
      const TValue n = NumberFromText(StringValue(), format.DecimalSeparator);
      return n.IsInteger() ? n.IntegerValue() : n.DoubleValue();
    }
    default: CannotConvert(*this, "Double");
  }
}

bool TValue::ToBoolean(const TFormatSettings& format) const {
  switch (TypeCode()) {
    case kVarEmpty: return false;
    case kVarInteger: return IntegerValue() != 0;
    case kVarDouble:
    case kVarDate: return DoubleValue() != 0;
    case kVarBoolean: return BooleanValue();
    case kVarString: {
      bool b = false;
      if (BooleanText(StringValue(), b)) return b;
      const TValue n = NumberFromText(StringValue(), format.DecimalSeparator);
      return n.IsInteger() ? n.IntegerValue() != 0 : n.DoubleValue() != 0;
    }
    default: CannotConvert(*this, "Boolean");
  }
}

std::string TValue::ConcatenatedText(const TFormatSettings& format) const {
  if (!IsList()) return ToString(format);
  std::string text;
  for (const TValue& element : Elements()) text += element.ToString(format);
  return text;
}

std::string TValue::ToString(const TFormatSettings& format) const {
  switch (TypeCode()) {
    case kVarEmpty: return std::string();
    case kVarInteger: return IntToStr(IntegerValue());
    case kVarDouble: return FloatToStr(DoubleValue(), format.DecimalSeparator);
    case kVarDate: return DateTimeToStr(DoubleValue(), format);
    case kVarBoolean: return BooleanValue() ? "True" : "False";
    case kVarString: return std::string(StringValue());
    default: CannotConvert(*this, "String");
  }
}

bool TValue::SameAs(const TValue& other) const {
  if (TypeCode() != other.TypeCode()) return false;
  switch (TypeCode()) {
    case kVarInteger: return IntegerValue() == other.IntegerValue();
    case kVarDouble:
    case kVarDate: {
      const double a = DoubleValue(), b = other.DoubleValue();
      return a == b || (std::isnan(a) && std::isnan(b));
    }
    case kVarBoolean: return BooleanValue() == other.BooleanValue();
    case kVarString: return StringValue() == other.StringValue();
    case kVarEmpty: return true;
    default:
      if (Count() != other.Count()) return false;
      for (std::size_t i = 0; i < Count(); ++i)
        if (!(*this)[i].SameAs(other[i])) return false;
      return true;
  }
}

// ---- variable table ----

namespace {
constexpr const char* kReadOnly = " is read-only.";
constexpr const char* kNotExist = " is not exist.";
constexpr const char* kBudgetExceeded = "Memory budget exceeded: ";
}  // namespace

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
  if (count_ > kLinearLimit) {
    const auto it = index_.find(upperName);
    return it == index_.end() ? -1 : it->second;
  }
  for (std::size_t i = 0; i < count_; ++i)
    if (cells_[i].Upper == upperName) return static_cast<int>(i);
  return -1;
}

const TValue* TVariableSet::FindUpper(std::string_view upperName) const {
  const int i = IndexOfUpper(upperName);
  return i < 0 ? nullptr : &cells_[static_cast<std::size_t>(i)].Object.Value;
}

TValue TVariableSet::GetValueByIndex(int index) const {
  if (index < 0 || index >= Count()) return TValue::Integer(0);
  return cells_[static_cast<std::size_t>(index)].Object.Value;
}

TValue TVariableSet::GetValue(std::string_view name) const {
  const TValue* v = FindUpper(UpperCaseAscii(name));
  return v ? *v : TValue::Integer(0);
}

bool TVariableSet::HasBase(std::string_view upperBase) const {
  if (bases_.size() > kLinearLimit) return baseIndex_.find(upperBase) != baseIndex_.end();
  for (const std::string& base : bases_)
    if (base == upperBase) return true;
  return false;
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

void TVariableSet::SetBudget(TMemoryBudget* budget) {
  if (budget_) budget_->Remove(footprint_);
  budget_ = budget;
  if (budget_) budget_->Add(footprint_);
}

bool TVariableSet::Store(TCell& cell, TValue& value) {
  if (cell.Object.ReadOnly) {
    if (OnError) OnError(*this, cell.Object.Name + kReadOnly);
    return false;
  }
  const std::size_t before = cell.Object.Value.Footprint();
  const std::size_t after = value.Footprint();
  if (after > before && budget_ && !budget_->Fits(after - before)) {
    if (OnError) OnError(*this, kBudgetExceeded + cell.Object.Name);
    return false;
  }
  cell.Object.Value = OnAfterAssign ? value : std::move(value);
  if (after != before) {
    cell.Footprint = cell.Footprint - before + after;
    footprint_ = footprint_ - before + after;
    if (budget_) {
      budget_->Remove(before);
      budget_->Add(after);
    }
  }
  return true;
}

void TVariableSet::AddCell(std::string_view name, std::string_view upper, TValue value) {
  const std::size_t footprint = sizeof(TCell) + name.size() + upper.size() + value.Footprint();
  if (budget_ && !budget_->Fits(footprint)) {
    if (OnError) OnError(*this, kBudgetExceeded + std::string(name));
    return;
  }
  if (count_ == cells_.size()) cells_.emplace_back();
  TCell& cell = cells_[count_++];
  if (cell.Upper != upper) {
    serial_ = NextSerial();  // places remembered for the old cell no longer hold
    cell.Upper = upper;
  }
  if (cell.Object.Name != name) cell.Object.Name = name;
  cell.Object.Value = std::move(value);
  cell.Footprint = footprint;
  const std::size_t paren = cell.Upper.find('(');
  if (paren != std::string::npos) {
    const std::string_view base = std::string_view(cell.Upper).substr(0, paren);
    if (!HasElementsOf(base)) {
      bases_.emplace_back(base);
      if (bases_.size() > kLinearLimit) {
        if (baseIndex_.empty())
          for (std::size_t i = 0; i < bases_.size(); ++i) baseIndex_.emplace(bases_[i], static_cast<int>(i));
        else
          baseIndex_.emplace(bases_.back(), static_cast<int>(bases_.size() - 1));
      }
    }
  }
  footprint_ += cell.Footprint;
  if (budget_) budget_->Add(cell.Footprint);
  if (count_ > kLinearLimit) {
    if (index_.empty())
      for (std::size_t i = 0; i < count_; ++i) index_.emplace(cells_[i].Upper, static_cast<int>(i));
    else
      index_.emplace(cell.Upper, Count() - 1);
  }
}

void TVariableSet::AssignAt(TCell& target, std::string_view name, TValue&& value) {
  const std::size_t index = static_cast<std::size_t>(&target - cells_.data());
  if (OnBeforeAssign) {
    const std::string nameText(name);
    bool handled = false;
    OnBeforeAssign(*this, nameText, handled, value);  // may add cells
    if (handled) return;
  }
  if (Store(cells_[index], value) && OnAfterAssign) OnAfterAssign(*this, std::string(name), value);
}

void TVariableSet::SetValue(std::string_view name, TValue value) {
  SetValue(name, UpperCaseAscii(name), std::move(value));
}

void TVariableSet::SetValue(std::string_view name, std::string_view upper, TValue value) {
  if (OnBeforeAssign) {
    const std::string nameText(name);
    bool handled = false;
    OnBeforeAssign(*this, nameText, handled, value);
    if (handled) return;
  }
  const int i = count_ == 0 ? -1 : IndexOfUpper(upper);
  if (i >= 0) {
    if (!Store(cells_[static_cast<std::size_t>(i)], value)) return;
  } else {
    const std::size_t before = count_;
    AddCell(name, upper, OnAfterAssign ? value : std::move(value));
    if (count_ == before) return;
  }
  if (OnAfterAssign) OnAfterAssign(*this, std::string(name), value);
}

void TVariableSet::Clear() {
  if (budget_) budget_->Remove(footprint_);
  footprint_ = 0;
  for (std::size_t i = 0; i < count_; ++i) {
    cells_[i].Object.Value = TValue();
    cells_[i].Object.ReadOnly = false;
  }
  count_ = 0;
  if (!index_.empty()) index_.clear();
  bases_.clear();
  if (!baseIndex_.empty()) baseIndex_.clear();
}

void TVariableSet::SetReadOnly(std::string_view name, bool flag) {
  const int i = IndexOfUpper(UpperCaseAscii(name));
  if (i < 0) {
    if (OnError) OnError(*this, std::string(name) + kNotExist);
    return;
  }
  cells_[static_cast<std::size_t>(i)].Object.ReadOnly = flag;
}

}  // namespace tracemill
