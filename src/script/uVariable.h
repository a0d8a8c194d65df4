#pragma once
// Values of the report language and the variable table.
//
// A value is a tagged union whose tags are the OLE Automation VARIANT type
// codes plus 256 for byte strings (UTF-8 here). A list is a value whose code
// carries the array flag 8192 together with the element code 12; its elements
// are values again, lower bound 0.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
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

class TValue {
 public:
  TValue() = default;  // Empty
  TValue(const TValue& other) : type_(other.type_), bits_(other.bits_) {
    if (other.type_ == kVarString) s_ = other.s_;
    if (other.list_) CopyList(other);
  }
  TValue(TValue&& other) noexcept : type_(other.type_), bits_(other.bits_), list_(other.list_) {
    other.list_ = nullptr;
    if (type_ == kVarString) s_ = std::move(other.s_);
  }
  TValue& operator=(const TValue& other) {
    if (this != &other) {
      type_ = other.type_;
      bits_ = other.bits_;
      if (other.type_ == kVarString) s_ = other.s_;
      else if (!s_.empty()) s_.clear();
      if (list_ || other.list_) CopyList(other);
    }
    return *this;
  }
  TValue& operator=(TValue&& other) noexcept {
    if (this != &other) {
      type_ = other.type_;
      bits_ = other.bits_;
      if (other.type_ == kVarString) s_ = std::move(other.s_);
      else if (!s_.empty()) s_.clear();
      // other may live inside this list: take its list before freeing ours.
      std::vector<TValue>* incoming = other.list_;
      other.list_ = nullptr;
      if (list_) FreeList();
      list_ = incoming;
    }
    return *this;
  }
  ~TValue() {
    if (list_) FreeList();
  }
  static TValue Integer(std::int32_t v) {
    TValue r;
    r.type_ = kVarInteger;
    r.i_ = v;
    return r;
  }
  static TValue Double(double v) {
    TValue r;
    r.type_ = kVarDouble;
    r.d_ = v;
    return r;
  }
  static TValue Date(double v) {
    TValue r;
    r.type_ = kVarDate;
    r.d_ = v;
    return r;
  }
  static TValue Boolean(bool v) {
    TValue r;
    r.type_ = kVarBoolean;
    r.b_ = v;
    return r;
  }
  static TValue String(std::string v);
  static TValue List(std::vector<TValue> elements = {});

  // The full type code: a list gives kVarArray | kVarVariant.
  int TypeCode() const { return type_ == kVarArray ? (kVarArray | kVarVariant) : type_; }
  bool IsEmpty() const { return type_ == kVarEmpty; }
  bool IsList() const { return type_ == kVarArray; }
  bool IsInteger() const { return type_ == kVarInteger; }
  bool IsDouble() const { return type_ == kVarDouble; }
  bool IsDate() const { return type_ == kVarDate; }
  bool IsBoolean() const { return type_ == kVarBoolean; }
  bool IsString() const { return type_ == kVarString; }
  // Integer, Double or Date.
  bool IsNumber() const { return type_ == kVarInteger || type_ == kVarDouble || type_ == kVarDate; }

  // Raw payloads; valid only for the matching type.
  std::int32_t IntegerValue() const { return i_; }
  double DoubleValue() const { return d_; }  // Double and Date
  bool BooleanValue() const { return b_; }
  const std::string& StringValue() const { return s_; }

  // List access. Count is 0 for a value that is no list.
  std::size_t Count() const { return list_ ? list_->size() : 0; }
  const std::vector<TValue>& Elements() const { return list_ ? *list_ : EmptyElements(); }
  std::vector<TValue>& Elements() {
    if (!list_) list_ = new std::vector<TValue>();
    return *list_;
  }
  // Make this value a scalar in place.
  void SetInteger(std::int32_t v) { MakeScalar(kVarInteger), i_ = v; }
  void SetDouble(double v) { MakeScalar(kVarDouble), d_ = v; }
  void SetBoolean(bool v) { MakeScalar(kVarBoolean), b_ = v; }
  // Appends text to a String in place.
  void AppendText(std::string_view text) { s_.append(text); }
  const TValue& operator[](std::size_t i) const { return (*list_)[i]; }

  // The append rule: Empty + v = [v]; scalar s + v = [s, v]; list + v = list
  // one longer.
  void Append(TValue v);

  // Conversions by the variant rules. They throw ConvertError when the value
  // cannot become the type (a string that reads as no number, a list, a
  // Double outside the 32-bit range).
  // Integer: Doubles and Dates rounded to nearest, halves to even; Boolean
  // -1/0; Empty 0; strings read as numbers.
  std::int32_t ToInteger() const;
  double ToDouble() const;
  // Numbers are true when not 0; strings "True"/"False" (any case) or numbers.
  bool ToBoolean() const;
  // Numbers in the general format (15 significant figures, the format
  // settings' decimal separator), Booleans "True"/"False", Dates in the short
  // date and long time formats, Empty "".
  std::string ToString() const;
  std::string ToString(const TFormatSettings& settings) const;
  // The texts of a list's elements run together without a separator (the
  // value's own text when it is not a list): one line of PRINT output.
  std::string ConcatenatedText() const;
  double ToDate() const { return ToDouble(); }

  // Exact equality of type and payload (lists element by element); for tests
  // and caches, not the language's "=".
  bool SameAs(const TValue& other) const;

 private:
  static const std::vector<TValue>& EmptyElements();
  void MakeScalar(int type) {
    if (list_) FreeList();
    if (!s_.empty()) s_.clear();
    type_ = type;
    bits_ = 0;
  }
  void CopyList(const TValue& other);  // list_ := a copy of other's list (or none)
  void FreeList();

  int type_ = kVarEmpty;
  // The scalar payload; copies take bits_, which covers the others.
  union {
    std::uint64_t bits_ = 0;
    std::int32_t i_;
    double d_;
    bool b_;
  };
  std::string s_;                                // String
  std::vector<TValue>* list_ = nullptr;          // list elements, owned
};

// Rounds to the nearest 32-bit integer, halves to the even neighbour
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2). Throws ConvertError outside the range.
std::int32_t RoundToInteger(double value);

// Reads a text as a number the way a string operand does: an Integer when it
// reads as a 32-bit integer, else a Double. Throws ConvertError otherwise.
TValue NumberFromText(std::string_view text, char decimalSeparator);

// Remembers where a variable was found in a table, so that later accesses of
// the same name skip the hash lookup. Tables never delete cells, so an index
// stays valid for the table it was found in (tables are told apart by serial).
struct TSlotCache {
  std::uint64_t TableSerial = 0;
  int Index = -1;
};

// A variable cell.
class TVariantObject {
 public:
  std::string Name;  // as first assigned; used in messages
  TValue Value;
  bool ReadOnly = false;
};

// The variable table: cells in insertion order, names matched after upper-
// casing the ASCII letters, lookup by hash.
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
  TVariableSet(const TVariableSet&) = delete;
  TVariableSet& operator=(const TVariableSet&) = delete;

  // Found: index is the cell's position; not found: index 0.
  bool Find(std::string_view name, int& index) const;
  bool Exists(std::string_view name) const;
  // The stored value, or the Integer 0 outside the table.
  TValue GetValueByIndex(int index) const;
  TValue GetValue(std::string_view name) const;
  void SetValue(std::string_view name, TValue value);
  void SetReadOnly(std::string_view name, bool flag);

  int Count() const { return static_cast<int>(cells_.size()); }
  // The cell at index (0 <= index < Count()).
  const TVariantObject& Cell(int index) const { return *cells_[static_cast<std::size_t>(index)]; }

  // Fast paths for the interpreter: the name is already upper-cased.
  // Returns the stored value or nullptr.
  const TValue* FindUpper(std::string_view upperName) const;
  int IndexOfUpper(std::string_view upperName) const;  // -1 when absent
  // As IndexOfUpper, remembering a hit in slot.
  int IndexOfUpper(std::string_view upperName, TSlotCache& slot) const {
    if (slot.TableSerial == serial_ && slot.Index >= 0 && slot.Index < Count()) return slot.Index;
    return LookUpSlot(upperName, slot);
  }
  // SetValue for the cell at index (0 <= index < Count()); name is the name
  // as passed, for the hooks.
  void SetValueAt(int index, std::string_view name, TValue value) {
    TVariantObject& cell = *cells_[static_cast<std::size_t>(index)];
    if (!OnBeforeAssign && !OnAfterAssign && !cell.ReadOnly) {
      cell.Value = std::move(value);
      return;
    }
    AssignAt(index, name, std::move(value));
  }
  void SetReadOnlyAt(int index, bool flag) { cells_[static_cast<std::size_t>(index)]->ReadOnly = flag; }
  std::uint64_t Serial() const { return serial_; }
  // Whether some variable is named upperBase + "(" ...: element variables of
  // that name may exist. A quick test before building an element name.
  bool HasElementsOf(std::string_view upperBase) const {
    return !elementBases_.empty() && elementBases_.find(upperBase) != elementBases_.end();
  }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  int LookUpSlot(std::string_view upperName, TSlotCache& slot) const;
  void AssignAt(int index, std::string_view name, TValue value);
  std::uint64_t serial_ = NextSerial();
  static std::uint64_t NextSerial();
  std::vector<std::unique_ptr<TVariantObject>> cells_;
  std::unordered_map<std::string, int, Hash, std::equal_to<>> index_;
  std::unordered_set<std::string, Hash, std::equal_to<>> elementBases_;
};

}  // namespace tracemill
