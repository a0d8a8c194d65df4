#pragma once
// The operator table of the report language: five precedence levels, lowest
// first; within a level the order decides which operator is tried first at a
// position. The expression splitter and the evaluator both read it.
#include <cstdint>
#include <string_view>

#include "script/uVariable.h"

namespace tracemill {

// The longest string "+" and "&" build (256 MiB); longer is an overflow.
constexpr std::size_t kMaxStringLength = std::size_t(1) << 28;

enum class TOperatorKind {
  NotEqual, LessEqual, GreaterEqual, Less, Equal, Greater,  // level 0
  Add, Subtract, Concat, Or, Xor, Nor,                       // level 1
  Multiply, Divide, IntDivide, Modulo, And, Nand,            // level 2
  Power,                                                     // level 3
  Not                                                        // level 4
};

struct TOperator {
  std::string_view Text;  // upper case
  TOperatorKind Kind;
  bool IsWord;  // starts with a letter: needs blank/parenthesis neighbours
};

// The level list: 5 levels with 10, 7, 7, 1 and 1 operators.
int OperatorLevelCount();
int OperatorCount(int level);
const TOperator& OperatorAt(int level, int index);

// Applies an operator to two scalar operands (no lists); a string operand
// reads as a number with the format's decimal separator. Returns false when
// the operation fails with a conversion, variant type or invalid floating-
// point error; throws DivisionByZero or ArithmeticOverflow for those faults.
bool ApplyScalarOperator(TOperatorKind kind, const TValue& left, const TValue& right, TValue& result,
                         const TFormatSettings& format);

namespace operator_detail {

// One arithmetic or comparison operator on two numbers of type T. Returns
// false for other operators; a comparison stores its Boolean in result and
// leaves arithmetic false.
template <typename T>
inline bool ApplyNumeric(TOperatorKind kind, T a, T b, T& value, bool& arithmetic, TValue& result) {
  arithmetic = true;
  switch (kind) {
    case TOperatorKind::Add: value = a + b; return true;
    case TOperatorKind::Subtract: value = a - b; return true;
    case TOperatorKind::Multiply: value = a * b; return true;
    default: break;
  }
  arithmetic = false;
  switch (kind) {
    case TOperatorKind::Less: result.SetBoolean(a < b); return true;
    case TOperatorKind::LessEqual: result.SetBoolean(a <= b); return true;
    case TOperatorKind::Greater: result.SetBoolean(a > b); return true;
    case TOperatorKind::GreaterEqual: result.SetBoolean(a >= b); return true;
    case TOperatorKind::Equal: result.SetBoolean(a == b); return true;
    case TOperatorKind::NotEqual: result.SetBoolean(a != b); return true;
    default: return false;
  }
}

}  // namespace operator_detail

// The common case of Integer and Double operands of "+", "-", "*" and the
// comparisons, decided without the general rules. Returns false when the
// general rules are needed (other types or operators, overflow, NaN).
inline bool ApplyNumericFast(TOperatorKind kind, const TValue& l, const TValue& r, TValue& result) {
  bool arithmetic = false;
  if (l.IsInteger() && r.IsInteger()) {
    std::int64_t v = 0;  // 32-bit operands: sums and products fit 64 bits
    if (!operator_detail::ApplyNumeric<std::int64_t>(kind, l.IntegerValue(), r.IntegerValue(), v,
                                                     arithmetic, result))
      return false;
    if (!arithmetic) return true;
    if (v < INT32_MIN || v > INT32_MAX)
      result.SetDouble(static_cast<double>(v));
    else
      result.SetInteger(static_cast<std::int32_t>(v));
    return true;
  }
  if ((l.IsInteger() || l.IsDouble()) && (r.IsInteger() || r.IsDouble())) {
    const double a = l.IsInteger() ? l.IntegerValue() : l.DoubleValue();
    const double b = r.IsInteger() ? r.IntegerValue() : r.DoubleValue();
    if (a != a || b != b) return false;  // NaN: the general rules decide
    double v = 0;
    if (!operator_detail::ApplyNumeric(kind, a, b, v, arithmetic, result)) return false;
    if (!arithmetic) return true;
    if (v - v != 0) return false;  // overflow: reported by the general rules
    result.SetDouble(v);
    return true;
  }
  return false;
}

// Applies an operator element-wise: lists against scalars element by element,
// two lists pairwise up to the shorter length; results collected by the
// append rule. The first failing element makes the whole application fail.
bool ApplyOperator(TOperatorKind kind, const TValue& left, const TValue& right, TValue& result,
                   const TFormatSettings& format);
// The same with left as operand and result: the left value is consumed and
// replaced by the result (Empty on failure); strings grow in place.
bool ApplyOperatorTo(TOperatorKind kind, TValue& left, const TValue& right, const TFormatSettings& format);

// The comparison of the variant rules, used by FOR loops as well. Throws
// ConvertError when the operands cannot be compared.
enum class TCompareResult { Less, Equal, Greater, Unordered };
TCompareResult CompareValues(const TValue& left, const TValue& right, const TFormatSettings& format);

}  // namespace tracemill
