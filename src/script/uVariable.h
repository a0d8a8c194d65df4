#pragma once
// Values of the report language and the variable table.
//
// A value is a tagged union whose tags are the OLE Automation VARIANT type
// codes plus 256 for byte strings (UTF-8 here). A list is a value whose code
// carries the array flag 8192 together with the element code 12; its elements
// are values again, lower bound 0.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "common/uError.h"
#include "common/uFormatSettings.h"

namespace tracemill {

// Type codes (as TYPECODEOF reports them).
constexpr int kVarEmpty = 0;
constexpr int kVarNull = 1;
constexpr int kVarSmallInt = 2;
constexpr int kVarInteger = 3;
constexpr int kVarSingle = 4;
constexpr int kVarDouble = 5;
constexpr int kVarCurrency = 6;
constexpr int kVarDate = 7;
constexpr int kVarOleStr = 8;
constexpr int kVarDispatch = 9;
constexpr int kVarError = 10;
constexpr int kVarBoolean = 11;
constexpr int kVarVariant = 12;
constexpr int kVarUnknown = 13;
constexpr int kVarByte = 17;
constexpr int kVarString = 256;
constexpr int kVarArray = 0x2000;
constexpr int kVarTypeMask = 0x0FFF;

// The name TYPESTRINGOF gives for a code without its flags ("Empty" ...
// "String"); any other code gives "Unknown".
std::string TypeName(int typeCode);

// Failures of value operations. ConvertError (common/uError.h) is the
// conversion error: a value that cannot become the type asked for.
// A variant type error ("Variant error: " when it escapes a function call).
class VariantError : public Error {
 public:
  using Error::Error;
};
// An invalid floating-point operation (0/0, a negative base of "^"). Any
// InvalidOperation escaping to a statement (built-ins throw it for the square
// root of -1 and the like) is reported as "Invalid operation: ".
class InvalidFloatOperation : public InvalidOperation {
 public:
  using InvalidOperation::InvalidOperation;
};
// A list index error inside a function ("String list error: ").
class StringListError : public Error {
 public:
  using Error::Error;
};
// Division by zero (/, \, DIV, MOD, and ln(0) inside "^").
class DivisionByZero : public Error {
 public:
  using Error::Error;
};
// A result that no longer fits: an integer division overflow, a Double
// overflowing to infinity.
class ArithmeticOverflow : public Error {
 public:
  using Error::Error;
};

// A Date: days since 1899-12-30, the time of day as the fraction. A type of
// its own so that a value knows it is no Double.
struct TDateValue {
  double Days;
};

class TValue {
 public:
  using TElements = std::vector<TValue>;

  TValue() = default;  // Empty
  TValue(const TValue&) = default;
  TValue(TValue&&) noexcept = default;
  // The source is taken before the old value goes, so a list may be
  // assigned one of its own elements.
  TValue& operator=(const TValue& other) {
    std::shared_ptr<TShared> keep = other.shared_;
    v_ = other.v_;
    shared_ = std::move(keep);
    return *this;
  }
  TValue& operator=(TValue&& other) noexcept {
    std::shared_ptr<TShared> keep = std::move(other.shared_);
    v_ = other.v_;
    shared_ = std::move(keep);
    return *this;
  }

  static TValue Integer(std::int32_t v) { return TValue(TKind(std::in_place_index<kIntegerIndex>, v)); }
  static TValue Double(double v) { return TValue(TKind(std::in_place_index<kDoubleIndex>, v)); }
  static TValue Date(double v) { return TValue(TKind(std::in_place_index<kDateIndex>, TDateValue{v})); }
  static TValue Boolean(bool v) { return TValue(TKind(std::in_place_index<kBooleanIndex>, v)); }
  static TValue String(std::string v);
  static TValue List(TElements elements = {});

  // The full type code: a list gives kVarArray | kVarVariant.
  int TypeCode() const;
  bool IsEmpty() const { return v_.index() == kEmptyIndex; }
  bool IsList() const { return v_.index() == kListIndex; }
  bool IsInteger() const { return v_.index() == kIntegerIndex; }
  bool IsDouble() const { return v_.index() == kDoubleIndex; }
  bool IsDate() const { return v_.index() == kDateIndex; }
  bool IsBoolean() const { return v_.index() == kBooleanIndex; }
  bool IsString() const { return v_.index() == kShortStringIndex || v_.index() == kStringIndex; }
  // Neither string nor list: nothing shared, Footprint() is sizeof(TValue).
  bool IsScalar() const { return v_.index() < kShortStringIndex; }

  // Payloads; asking for another type than the value has throws
  // std::bad_variant_access.
  std::int32_t IntegerValue() const { return std::get<kIntegerIndex>(v_); }
  double DoubleValue() const {  // Double and Date
    return IsDate() ? std::get<kDateIndex>(v_).Days : std::get<kDoubleIndex>(v_);
  }
  bool BooleanValue() const { return std::get<kBooleanIndex>(v_); }
  std::string_view StringValue() const {
    if (const auto* s = std::get_if<kShortStringIndex>(&v_)) return {s->Data.data(), s->Size};
    if (!IsString()) throw std::bad_variant_access();
    return shared_->Text;
  }

  // List access. Count is 0 and Elements empty for a value that is no list.
  std::size_t Count() const { return IsList() ? shared_->Items.size() : 0; }
  const TElements& Elements() const;
  const TValue& operator[](std::size_t i) const { return shared_->Items[i]; }
  // The elements for changing them: the list is copied first when another
  // value shares it. A value that is no list becomes the empty list.
  TElements& MutableElements();

  // A list of exactly one element becomes that element.
  void UnwrapSingle();

  // Make this value a scalar in place.
  void SetInteger(std::int32_t v) { SetScalar(TKind(std::in_place_index<kIntegerIndex>, v)); }
  void SetDouble(double v) { SetScalar(TKind(std::in_place_index<kDoubleIndex>, v)); }
  void SetBoolean(bool v) { SetScalar(TKind(std::in_place_index<kBooleanIndex>, v)); }
  // Appends text to a String (copied first when another value shares it).
  void AppendText(std::string_view text);

  // The append rule: Empty + v = [v]; scalar s + v = [s, v]; list + v = list
  // one longer.
  void Append(TValue v);

  // The bytes this value stands for: the value itself, a string's text, a
  // list's elements (counted once for each value that holds them, however
  // they are shared).
  std::size_t Footprint() const { return IsScalar() ? sizeof(TValue) : SharedFootprint(); }

  // Conversions by the variant rules. They throw ConvertError when the value
  // cannot become the type (a string that reads as no number, a list, a
  // Double outside the 32-bit range).
  // Integer: Doubles and Dates rounded to nearest, halves to even; Boolean
  // -1/0; Empty 0; strings read as numbers.
  // Strings read as numbers with the format's decimal separator.
  std::int32_t ToInteger(const TFormatSettings& format) const;
  double ToDouble(const TFormatSettings& format) const;
  // Numbers are true when not 0; strings "True"/"False" (any case) or numbers.
  bool ToBoolean(const TFormatSettings& format) const;
  // Numbers in the general format (15 significant figures, the format's
  // decimal separator), Booleans "True"/"False", Dates in the short date and
  // long time formats, Empty "".
  std::string ToString(const TFormatSettings& format) const;
  // The texts of a list's elements run together without a separator (the
  // value's own text when it is not a list): one line of PRINT output.
  std::string ConcatenatedText(const TFormatSettings& format) const;
  double ToDate(const TFormatSettings& format) const { return ToDouble(format); }

  // Exact equality of type and payload (lists element by element); for tests
  // and caches, not the language's "=".
  bool SameAs(const TValue& other) const;

 private:
  // The kind of a value with its payload when that fits: numbers, Booleans,
  // strings of up to 15 bytes. Longer strings and lists keep their payload
  // in a block shared between copies and copied when one of them changes, so
  // reading a variable or passing a value on costs no copy. Every member is
  // trivially copied, so values of the common kinds are copied and dropped
  // without looking at their kind.
  struct TShortString {
    static constexpr std::size_t kCapacity = 15;
    std::array<char, kCapacity> Data;
    std::uint8_t Size;
  };
  struct TLongString {};  // the text is in the shared block
  struct TListKind {};    // the elements are in the shared block
  using TKind = std::variant<std::monostate, std::int32_t, double, TDateValue, bool, TShortString, TLongString,
                             TListKind>;
  static_assert(std::is_trivially_copyable_v<TKind>);
  static constexpr std::size_t kEmptyIndex = 0, kIntegerIndex = 1, kDoubleIndex = 2, kDateIndex = 3,
                               kBooleanIndex = 4, kShortStringIndex = 5, kStringIndex = 6, kListIndex = 7;
  static constexpr std::size_t kUnknownFootprint = ~std::size_t(0);
  struct TShared {
    std::string Text;  // a long string
    TElements Items;   // a list
    mutable std::size_t Footprint = kUnknownFootprint;  // of the elements
  };

  explicit TValue(TKind v) : v_(v) {}
  TValue(TKind v, std::shared_ptr<TShared> shared) : v_(v), shared_(std::move(shared)) {}
  void SetScalar(TKind v) {
    v_ = v;
    shared_.reset();
  }
  std::size_t SharedFootprint() const;

  TKind v_;
  std::shared_ptr<TShared> shared_;  // long strings and lists only
};

// Rounds to the nearest 32-bit integer, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Throws ConvertError outside the range.
std::int32_t RoundToInteger(double value);

// Reads a text as a number the way a string operand does: an Integer when it
// reads as a 32-bit integer, else a Double. Throws ConvertError otherwise.
TValue NumberFromText(std::string_view text, char decimalSeparator);

// Remembers where a variable was found in a table, so that later accesses of
// the same name skip the lookup. Cells are deleted only all at once, and a
// cell made again at an index under another name gives the table a new
// serial, so an index stays valid for the table and serial it was found in;
// in another table it is a first guess.
struct TSlotCache {
  std::uint64_t TableSerial = 0;
  int Index = -1;
};

// What the variables of one run may hold together (see TValue::Footprint),
// shared by the tables of the run.
class TMemoryBudget {
 public:
  explicit TMemoryBudget(std::size_t limit) : limit_(limit) {}
  std::size_t Limit() const { return limit_; }
  std::size_t Used() const { return used_; }
  // Whether bytes more stay within the limit.
  bool Fits(std::size_t bytes) const { return used_ <= limit_ && bytes <= limit_ - used_; }
  void Add(std::size_t bytes) { used_ += bytes; }
  void Remove(std::size_t bytes) { used_ -= bytes < used_ ? bytes : used_; }

 private:
  std::size_t limit_;
  std::size_t used_ = 0;
};

// A variable cell.
class TVariantObject {
 public:
  std::string Name;  // as first assigned; used in messages
  TValue Value;
  bool ReadOnly = false;
};

// The variable table: cells in insertion order, names matched after upper-
// casing the ASCII letters.
class TVariableSet {
 public:
  using TBeforeAssign =
      std::function<void(TVariableSet& sender, const std::string& name, bool& handled, TValue& value)>;
  using TAfterAssign = std::function<void(TVariableSet& sender, const std::string& name, const TValue& value)>;
  using TErrorHook = std::function<void(TVariableSet& sender, const std::string& message)>;

  TBeforeAssign OnBeforeAssign;
  TAfterAssign OnAfterAssign;
  TErrorHook OnError;

  TVariableSet() = default;
  ~TVariableSet() { SetBudget(nullptr); }
  TVariableSet(const TVariableSet&) = delete;
  TVariableSet& operator=(const TVariableSet&) = delete;

  // Found: index is the cell's position; not found: index 0.
  bool Find(std::string_view name, int& index) const;
  bool Exists(std::string_view name) const;
  // The stored value, or the Integer 0 outside the table.
  TValue GetValueByIndex(int index) const;
  TValue GetValue(std::string_view name) const;
  // Stores the value, unless the cell is read-only or the value would pass
  // the memory budget: then OnError is told and the old value stays.
  void SetValue(std::string_view name, TValue value);
  // The same with the name upper-cased already.
  void SetValue(std::string_view name, std::string_view upperName, TValue value);
  void SetReadOnly(std::string_view name, bool flag);
  // Removes every cell (a FUNCTION call's table is emptied for the next
  // call). The cells are kept for the next ones: a cell made again under the
  // name it had keeps the places remembered for it.
  void Clear();

  int Count() const { return static_cast<int>(count_); }
  // The cell at index (0 <= index < Count()); valid until the next cell is
  // made.
  const TVariantObject& Cell(int index) const { return cells_[static_cast<std::size_t>(index)].Object; }

  // Counts what the cells hold against budget (none: no limit) from now on;
  // the budget is charged with what they hold already.
  void SetBudget(TMemoryBudget* budget);
  // The bytes the cells hold (names, values and bookkeeping).
  std::size_t Footprint() const { return footprint_; }

  // Fast paths for the interpreter: the name is already upper-cased.
  // Returns the stored value or nullptr.
  const TValue* FindUpper(std::string_view upperName) const;
  int IndexOfUpper(std::string_view upperName) const;  // -1 when absent
  // As IndexOfUpper, remembering a hit in slot.
  int IndexOfUpper(std::string_view upperName, TSlotCache& slot) const {
    const int i = slot.Index;
    if (i >= 0 && i < Count()) {
      if (slot.TableSerial == serial_) return i;
      // The place remembered in another table (or before a new serial) holds
      // when the cell there has the name.
      if (cells_[static_cast<std::size_t>(i)].Upper == upperName) {
        slot.TableSerial = serial_;
        return i;
      }
    }
    return LookUpSlot(upperName, slot);
  }
  // SetValue for the cell at index (0 <= index < Count()); name is the name
  // as passed, for the hooks.
  void SetValueAt(int index, std::string_view name, TValue&& value) {
    TCell& cell = cells_[static_cast<std::size_t>(index)];
    if (!OnBeforeAssign && !OnAfterAssign && !cell.Object.ReadOnly && value.IsScalar() && cell.Object.Value.IsScalar())
      cell.Object.Value = std::move(value);  // the footprint stays
    else
      AssignAt(cell, name, std::move(value));
  }
  void SetReadOnlyAt(int index, bool flag) { cells_[static_cast<std::size_t>(index)].Object.ReadOnly = flag; }
  // Whether some variable is named upperBase + "(" ...: element variables of
  // that name may exist. A quick test before building an element name.
  bool HasElementsOf(std::string_view upperBase) const { return !bases_.empty() && HasBase(upperBase); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  using TIndex = std::unordered_map<std::string, int, Hash, std::equal_to<>>;
  struct TCell {
    TVariantObject Object;
    std::string Upper;
    std::size_t Footprint = 0;  // of the whole cell
  };
  // Tables up to this many cells (or element bases) are searched in order;
  // bigger ones get a hash index.
  static constexpr std::size_t kLinearLimit = 8;

  int LookUpSlot(std::string_view upperName, TSlotCache& slot) const;
  bool HasBase(std::string_view upperBase) const;
  // Replaces the value of an existing cell, checking read-only and budget.
  bool Store(TCell& cell, TValue& value);
  void AssignAt(TCell& cell, std::string_view name, TValue&& value);
  void AddCell(std::string_view name, std::string_view upper, TValue value);
  static std::uint64_t NextSerial();

  std::uint64_t serial_ = NextSerial();
  std::vector<TCell> cells_;  // the first count_ are the table's, the rest kept for reuse
  std::size_t count_ = 0;
  TIndex index_;                        // upper name -> cell, beyond kLinearLimit cells
  std::vector<std::string> bases_;      // element bases (upper case)
  TIndex baseIndex_;                    // the same, beyond kLinearLimit bases
  TMemoryBudget* budget_ = nullptr;
  std::size_t footprint_ = 0;
};

}  // namespace tracemill
