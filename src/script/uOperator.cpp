#include "script/uOperator.h"

#include <cmath>
#include <limits>

namespace tracemill {

namespace {

using K = TOperatorKind;

const TOperator kLevel0[] = {{"<>", K::NotEqual, false},    {"><", K::NotEqual, false},
                             {"!=", K::NotEqual, false},    {"<=", K::LessEqual, false},
                             {"=<", K::LessEqual, false},   {">=", K::GreaterEqual, false},
                             {"=>", K::GreaterEqual, false}, {"<", K::Less, false},
                             {"=", K::Equal, false},        {">", K::Greater, false}};
const TOperator kLevel1[] = {{"+", K::Add, false},   {"-", K::Subtract, false}, {"&", K::Concat, false},
                             {"OR", K::Or, true},    {"EOR", K::Xor, true},     {"XOR", K::Xor, true},
                             {"NOR", K::Nor, true}};
const TOperator kLevel2[] = {{"*", K::Multiply, false}, {"/", K::Divide, false}, {"\\", K::IntDivide, false},
                             {"DIV", K::IntDivide, true}, {"MOD", K::Modulo, true}, {"AND", K::And, true},
                             {"NAND", K::Nand, true}};
const TOperator kLevel3[] = {{"^", K::Power, false}};
const TOperator kLevel4[] = {{"NOT", K::Not, true}};

struct TLevel {
  const TOperator* Ops;
  int Count;
};
const TLevel kLevels[] = {{kLevel0, 10}, {kLevel1, 7}, {kLevel2, 7}, {kLevel3, 1}, {kLevel4, 1}};

// A numeric operand: Integer, Double or Date payload.
struct TNum {
  enum { Int, Dbl, Dat } Type;
  std::int64_t I;
  double D;
  double AsDouble() const { return Type == Int ? static_cast<double>(I) : D; }
};

TNum ToNum(const TValue& v, const TFormatSettings& f) {
  switch (v.TypeCode()) {
    case kVarEmpty: return {TNum::Int, 0, 0};
    case kVarInteger: return {TNum::Int, v.IntegerValue(), 0};
    case kVarDouble: return {TNum::Dbl, 0, v.DoubleValue()};
    case kVarDate: return {TNum::Dat, 0, v.DoubleValue()};
    case kVarBoolean: return {TNum::Int, v.BooleanValue() ? -1 : 0, 0};
    case kVarString: {
      const TValue n = NumberFromText(v.StringValue(), f.DecimalSeparator);
      if (n.IsInteger()) return {TNum::Int, n.IntegerValue(), 0};
      return {TNum::Dbl, 0, n.DoubleValue()};
    }
    default: throw ConvertError("Invalid operand type");
  }
}

TValue FromInt64(std::int64_t v) {
  if (v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max())
    return TValue::Integer(static_cast<std::int32_t>(v));
  return TValue::Double(static_cast<double>(v));
}

// A real-valued result: infinities are overflows, NaN an invalid operation.
TValue Real(double v, bool date) {
  if (std::isnan(v)) throw InvalidFloatOperation("Invalid floating point operation");
  if (std::isinf(v)) throw ArithmeticOverflow("Floating point overflow");
  return date ? TValue::Date(v) : TValue::Double(v);
}

TValue Add(const TValue& l, const TValue& r, const TFormatSettings& f) {
  if (l.IsString() && r.IsString()) {
    if (l.StringValue().size() + r.StringValue().size() > kMaxStringLength)
      throw ArithmeticOverflow("String too long");
    std::string joined;
    joined.reserve(l.StringValue().size() + r.StringValue().size());
    joined.append(l.StringValue()).append(r.StringValue());
    return TValue::String(std::move(joined));
  }
  const TNum a = ToNum(l, f), b = ToNum(r, f);
  if (a.Type == TNum::Int && b.Type == TNum::Int) return FromInt64(a.I + b.I);
  return Real(a.AsDouble() + b.AsDouble(), a.Type == TNum::Dat || b.Type == TNum::Dat);
}

TValue Subtract(const TValue& l, const TValue& r, const TFormatSettings& f) {
  const TNum a = ToNum(l, f), b = ToNum(r, f);
  if (a.Type == TNum::Int && b.Type == TNum::Int) return FromInt64(a.I - b.I);
  return Real(a.AsDouble() - b.AsDouble(), (a.Type == TNum::Dat) != (b.Type == TNum::Dat));
}

TValue Negate(const TValue& r, const TFormatSettings& f) {
  if (r.IsEmpty()) return TValue();
  const TNum b = ToNum(r, f);
  if (b.Type == TNum::Int) return FromInt64(-b.I);
  return Real(-b.D, b.Type == TNum::Dat);
}

TValue Multiply(const TValue& l, const TValue& r, const TFormatSettings& f) {
  const TNum a = ToNum(l, f), b = ToNum(r, f);
  if (a.Type == TNum::Int && b.Type == TNum::Int) return FromInt64(a.I * b.I);
  return Real(a.AsDouble() * b.AsDouble(), false);
}

TValue Divide(const TValue& l, const TValue& r, const TFormatSettings& f) {
  const double a = ToNum(l, f).AsDouble(), b = ToNum(r, f).AsDouble();
  if (b == 0) {
    if (a == 0 || std::isnan(a)) throw InvalidFloatOperation("Invalid floating point operation");
    throw DivisionByZero("Division by zero");
  }
  return Real(a / b, false);
}

TValue IntegerDivide(const TValue& l, const TValue& r, bool modulo, const TFormatSettings& f) {
  const std::int32_t a = l.ToInteger(f), b = r.ToInteger(f);
  if (b == 0) throw DivisionByZero("Division by zero");
  if (b == -1) {
    // a % -1 is 0; a / -1 overflows only for the smallest integer.
    if (modulo) return TValue::Integer(0);
    if (a == std::numeric_limits<std::int32_t>::min()) throw ArithmeticOverflow("Integer overflow");
    return TValue::Integer(-a);
  }
  return TValue::Integer(modulo ? a % b : a / b);
}

TValue Power(const TValue& l, const TValue& r, const TFormatSettings& f) {
  const double a = ToNum(l, f).AsDouble(), b = ToNum(r, f).AsDouble();
  if (std::isnan(a) || a < 0) throw InvalidFloatOperation("Invalid floating point operation");
  if (a == 0) throw DivisionByZero("Division by zero");
  return Real(std::exp(b * std::log(a)), false);
}

TValue Logical(TOperatorKind kind, const TValue& l, const TValue& r, const TFormatSettings& f) {
  if (l.IsBoolean() && r.IsBoolean()) {
    const bool a = l.BooleanValue(), b = r.BooleanValue();
    switch (kind) {
      case K::Or: return TValue::Boolean(a || b);
      case K::Xor: return TValue::Boolean(a != b);
      case K::Nor: return TValue::Boolean(!(a || b));
      case K::And: return TValue::Boolean(a && b);
      default: return TValue::Boolean(!(a && b));
    }
  }
  const std::uint32_t a = static_cast<std::uint32_t>(l.ToInteger(f));
  const std::uint32_t b = static_cast<std::uint32_t>(r.ToInteger(f));
  std::uint32_t v = 0;
  switch (kind) {
    case K::Or: v = a | b; break;
    case K::Xor: v = a ^ b; break;
    case K::Nor: v = ~(a | b); break;
    case K::And: v = a & b; break;
    default: v = ~(a & b); break;
  }
  return TValue::Integer(static_cast<std::int32_t>(v));
}

TValue Not(const TValue& r, const TFormatSettings& f) {
  if (r.IsBoolean()) return TValue::Boolean(!r.BooleanValue());
  return TValue::Integer(static_cast<std::int32_t>(~static_cast<std::uint32_t>(r.ToInteger(f))));
}

bool CompareMatches(TOperatorKind kind, TCompareResult c) {
  switch (kind) {
    case K::NotEqual: return c != TCompareResult::Equal;
    case K::LessEqual: return c == TCompareResult::Less || c == TCompareResult::Equal;
    case K::GreaterEqual: return c == TCompareResult::Greater || c == TCompareResult::Equal;
    case K::Less: return c == TCompareResult::Less;
    case K::Equal: return c == TCompareResult::Equal;
    default: return c == TCompareResult::Greater;
  }
}

template <typename T>
TCompareResult Order(T a, T b) {
  if (a < b) return TCompareResult::Less;
  if (b < a) return TCompareResult::Greater;
  if (a == b) return TCompareResult::Equal;
  return TCompareResult::Unordered;
}

}  // namespace

int OperatorLevelCount() { return 5; }

int OperatorCount(int level) { return level >= 0 && level < 5 ? kLevels[level].Count : 0; }

const TOperator& OperatorAt(int level, int index) { return kLevels[level].Ops[index]; }


TCompareResult CompareValues(const TValue& left, const TValue& right, const TFormatSettings& f) {
  if (left.IsString() && right.IsString()) {
    const int c = left.StringValue().compare(right.StringValue());
    return c < 0 ? TCompareResult::Less : c > 0 ? TCompareResult::Greater : TCompareResult::Equal;
  }
  if (left.IsList() || right.IsList()) throw ConvertError("A list cannot be compared");
  const TNum a = ToNum(left, f), b = ToNum(right, f);
  if (a.Type == TNum::Int && b.Type == TNum::Int) return Order(a.I, b.I);
  return Order(a.AsDouble(), b.AsDouble());
}

bool ApplyScalarOperator(TOperatorKind kind, const TValue& left, const TValue& right, TValue& result,
                         const TFormatSettings& f) {
  try {
    switch (kind) {
      case K::NotEqual:
      case K::LessEqual:
      case K::GreaterEqual:
      case K::Less:
      case K::Equal:
      case K::Greater: {
        static const TValue kEmptyString = TValue::String(std::string());
        const TValue& l = left.IsEmpty() ? kEmptyString : left;
        const TValue& r = right.IsEmpty() ? kEmptyString : right;
        result = TValue::Boolean(CompareMatches(kind, CompareValues(l, r, f)));
        return true;
      }
      case K::Add:
        if (left.IsEmpty()) result = right;
        else if (right.IsEmpty()) result = left;
        else result = Add(left, right, f);
        return true;
      case K::Subtract:
        result = left.IsEmpty() ? Negate(right, f) : Subtract(left, right, f);
        return true;
      case K::Concat: {
        static const TValue kEmptyString = TValue::String(std::string());
        result = Add(left.IsEmpty() ? kEmptyString : left, right.IsEmpty() ? kEmptyString : right, f);
        return true;
      }
      case K::Or:
      case K::Xor:
      case K::Nor:
      case K::And:
      case K::Nand: result = Logical(kind, left, right, f); return true;
      case K::Multiply: result = Multiply(left, right, f); return true;
      case K::Divide: result = Divide(left, right, f); return true;
      case K::IntDivide: result = IntegerDivide(left, right, false, f); return true;
      case K::Modulo: result = IntegerDivide(left, right, true, f); return true;
      case K::Power: result = Power(left, right, f); return true;
      case K::Not: result = Not(right, f); return true;
    }
  } catch (const ConvertError&) {
  } catch (const VariantError&) {
  } catch (const InvalidFloatOperation&) {
  }
  result = TValue();
  return false;
}

bool ApplyOperator(TOperatorKind kind, const TValue& left, const TValue& right, TValue& result,
                   const TFormatSettings& f) {
  if (!left.IsList() && !right.IsList()) return ApplyScalarOperator(kind, left, right, result, f);
  TValue collected;
  TValue one;
  if (left.IsList() && right.IsList()) {
    const std::size_t n = std::min(left.Count(), right.Count());
    for (std::size_t i = 0; i < n; ++i) {
      if (!ApplyScalarOperator(kind, left[i], right[i], one, f)) return result = TValue(), false;
      collected.Append(std::move(one));
    }
  } else if (left.IsList()) {
    for (const TValue& e : left.Elements()) {
      if (!ApplyScalarOperator(kind, e, right, one, f)) return result = TValue(), false;
      collected.Append(std::move(one));
    }
  } else {
    for (const TValue& e : right.Elements()) {
      if (!ApplyScalarOperator(kind, left, e, one, f)) return result = TValue(), false;
      collected.Append(std::move(one));
    }
  }
  result = std::move(collected);
  return true;
}

namespace {
bool IsConcat(TOperatorKind kind) { return kind == K::Add || kind == K::Concat; }

// left := left op right for scalars, appending in place for two strings.
bool ApplyScalarTo(TOperatorKind kind, TValue& left, const TValue& right, const TFormatSettings& f) {
  if (ApplyNumericFast(kind, left, right, left)) return true;
  if (IsConcat(kind) && left.IsString() && right.IsString() &&
      left.StringValue().size() + right.StringValue().size() <= kMaxStringLength) {
    left.AppendText(right.StringValue());
    return true;
  }
  TValue one;
  const bool ok = ApplyScalarOperator(kind, left, right, one, f);
  left = std::move(one);
  return ok;
}
}  // namespace

bool ApplyOperatorTo(TOperatorKind kind, TValue& left, const TValue& right, const TFormatSettings& f) {
  if (!left.IsList() && !right.IsList()) return ApplyScalarTo(kind, left, right, f);
  if (left.IsList() && (!right.IsList() || right.Count() >= left.Count()) && left.Count() > 0) {
    // Element by element in place; the list keeps its length.
    std::vector<TValue>& elements = left.MutableElements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
      if (!ApplyScalarTo(kind, elements[i], right.IsList() ? right[i] : right, f)) {
        left = TValue();
        return false;
      }
    }
    return true;
  }
  if (!left.IsList() && right.Count() == 1) {
    // A scalar against a one-element list gives a one-element list.
    if (!ApplyScalarTo(kind, left, right[0], f)) return false;
    TValue list = TValue::List();
    list.MutableElements().push_back(std::move(left));
    left = std::move(list);
    return true;
  }
  TValue result;
  const bool ok = ApplyOperator(kind, left, right, result, f);
  left = std::move(result);
  return ok;
}

}  // namespace tracemill
