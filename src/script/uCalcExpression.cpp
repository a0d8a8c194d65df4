// The interpreter's expression evaluation: the split trees of uExpression
// evaluated against the current variable table, with a fast path for plain
// Integer and Double arithmetic.
#include <new>

#include "common/uStrC.h"
#include "script/uCalc.h"
#include "script/uCalcShared.h"
#include "script/uOperator.h"

namespace tracemill {

using namespace calc_detail;

TValue TCalc::ParseExpression(std::string_view text) {
  const TExprTree tree{std::string(text), Format().DecimalSeparator};
  return EvalNode(tree, tree.Root());
}

TValue TCalc::Evaluate(std::string_view text) {
  const std::string_view t = TrimmedView(text);
  return EvaluateTree(program_->Expression(t, Format().DecimalSeparator), t);
}

TValue TCalc::EvaluateTree(const TExprTree& tree, std::string_view text, bool unwrap) {
  try {
    TValue v = EvalNode(tree, tree.Root());
    if (unwrap) v.UnwrapSingle();
    return v;
  } catch (const ConvertError&) {
    SetError(Joined(kConvertError, text));
  } catch (const VariantError&) {
    SetError(Joined(kConvertError, text));
  } catch (const InvalidOperation&) {
    SetError(Joined(kInvalidOperation, text));
  } catch (const DivisionByZero&) {
    SetError(Joined(kDivisionByZero, text));
  } catch (const ArithmeticOverflow&) {
    SetError(Joined(kOverflow, text));
  } catch (const StringListError&) {
    SetError(Joined(kStringListError, text));
  } catch (const std::bad_alloc&) {
    SetError(Joined(kOutOfMemory, text));
  } catch (const std::exception& e) {
    // Any other failure of a function ends the run with its own text.
    SetError(e.what());
  }
  return TValue();
}

TValue TCalc::EvalNode(const TExprTree& tree, const TExpr& node) {
  switch (node.Kind) {
    case TExprKind::Empty: return TValue();
    case TExprKind::Constant: return tree.Constant(node);
    case TExprKind::InvalidString: SetError(Joined(kInvalidString, tree.TextOf(node))); return TValue();
    case TExprKind::TooDeep: SetError(Joined(kTooDeep, tree.TextOf(node))); return TValue();
    case TExprKind::Binary: return EvalBinary(tree, node);
    case TExprKind::Call: return EvalCall(tree, node);
    case TExprKind::Name: return EvalName(tree, node);
  }
  return TValue();
}

TValue TCalc::EvalBinary(const TExprTree& tree, const TExpr& node) {
  if (StackExhausted()) {
    SetError(Joined(kTooDeep, tree.TextOf(node)));
    return TValue();
  }
  TValue result;
  if (ApplyNumberTree(tree, node, result)) return result;
  // Operands that are literals or variables are read in place. The left one
  // is copied before the right one is evaluated, which may call functions.
  const TExpr& leftNode = tree.Left(node);
  const TExpr& rightNode = tree.Right(node);
  const TValue* leftValue = Peek(tree, leftNode);
  const TValue* rightValue = leftValue ? Peek(tree, rightNode) : nullptr;
  if (leftValue && rightValue) {
    if (ApplyNumericFast(node.Op, *leftValue, *rightValue, result)) return result;
    TValue left = *leftValue;
    if (!ApplyOperatorTo(node.Op, left, *rightValue, Format()))
      SetError(Joined(kInvalidExpression, tree.TextOf(node)));
    return left;
  }
  TValue left = leftValue ? *leftValue : EvalNode(tree, leftNode);
  TValue right;
  if (!leftValue) rightValue = Peek(tree, rightNode);
  if (!rightValue) {
    right = EvalNode(tree, rightNode);
    rightValue = &right;
  }
  if (ApplyNumericFast(node.Op, left, *rightValue, result)) return result;
  if (!ApplyOperatorTo(node.Op, left, *rightValue, Format())) SetError(Joined(kInvalidExpression, tree.TextOf(node)));
  return left;
}

bool TCalc::EvalNumber(const TExprTree& tree, const TExpr& node, TNumber& out) {
  if (!node.MaybeNumber) return false;
  const TValue* v = nullptr;
  switch (node.Kind) {
    case TExprKind::Constant: v = &tree.Constant(node); break;
    case TExprKind::Name: {
      const TExprName& name = tree.Name(node);
      v = ReadVariable(name.Upper, &name.Slot);
      break;
    }
    case TExprKind::Binary: {
      if (node.Op != TOperatorKind::Add && node.Op != TOperatorKind::Subtract && node.Op != TOperatorKind::Multiply)
        return false;
      TNumber a, b;
      if (!EvalNumber(tree, tree.Left(node), a) || !EvalNumber(tree, tree.Right(node), b)) return false;
      if (a.IsInteger && b.IsInteger) {
        const std::int64_t x = a.Integer, y = b.Integer;
        const std::int64_t r = node.Op == TOperatorKind::Add ? x + y : node.Op == TOperatorKind::Subtract ? x - y : x * y;
        if (r >= INT32_MIN && r <= INT32_MAX) out = {true, static_cast<std::int32_t>(r), 0};
        else out = {false, 0, static_cast<double>(r)};
        return true;
      }
      const double x = a.IsInteger ? a.Integer : a.Real, y = b.IsInteger ? b.Integer : b.Real;
      const double r = node.Op == TOperatorKind::Add ? x + y : node.Op == TOperatorKind::Subtract ? x - y : x * y;
      if (r - r != 0) return false;  // overflow or NaN: the general rules report it
      out = {false, 0, r};
      return true;
    }
    default: return false;
  }
  if (v == nullptr) return false;
  if (v->IsInteger()) {
    out = {true, v->IntegerValue(), 0};
    return true;
  }
  if (v->IsDouble() && v->DoubleValue() - v->DoubleValue() == 0) {
    out = {false, 0, v->DoubleValue()};
    return true;
  }
  return false;
}

bool TCalc::ApplyNumberTree(const TExprTree& tree, const TExpr& node, TValue& result) {
  switch (node.Op) {
    case TOperatorKind::Add:
    case TOperatorKind::Subtract:
    case TOperatorKind::Multiply: {
      TNumber n;
      if (!EvalNumber(tree, node, n)) return false;
      if (n.IsInteger) result.SetInteger(n.Integer);
      else result.SetDouble(n.Real);
      return true;
    }
    case TOperatorKind::Less:
    case TOperatorKind::LessEqual:
    case TOperatorKind::Greater:
    case TOperatorKind::GreaterEqual:
    case TOperatorKind::Equal:
    case TOperatorKind::NotEqual: {
      TNumber a, b;
      if (!EvalNumber(tree, tree.Left(node), a) || !EvalNumber(tree, tree.Right(node), b)) return false;
      // Both are Integers or finite numbers: the comparison is exact.
      const double x = a.IsInteger ? a.Integer : a.Real, y = b.IsInteger ? b.Integer : b.Real;
      switch (node.Op) {
        case TOperatorKind::Less: result.SetBoolean(x < y); break;
        case TOperatorKind::LessEqual: result.SetBoolean(x <= y); break;
        case TOperatorKind::Greater: result.SetBoolean(x > y); break;
        case TOperatorKind::GreaterEqual: result.SetBoolean(x >= y); break;
        case TOperatorKind::Equal: result.SetBoolean(x == y); break;
        default: result.SetBoolean(x != y); break;
      }
      return true;
    }
    default: return false;
  }
}

const TValue* TCalc::Peek(const TExprTree& tree, const TExpr& node) {
  if (node.Kind == TExprKind::Constant) return &tree.Constant(node);
  if (node.Kind == TExprKind::Name) {
    const TExprName& name = tree.Name(node);
    return ReadVariable(name.Upper, &name.Slot);
  }
  return nullptr;
}

TValue TCalc::EvalArguments(const TExprTree& tree, const TExpr& call) {
  const std::size_t count = tree.ArgumentCount(call);
  if (count == 0) return TValue();
  if (count == 1) {
    TValue v = EvalNode(tree, tree.Argument(call, 0));
    if (v.IsList()) return v.Count() ? v : TValue();
    return TValue::List({std::move(v)});
  }
  TValue::TElements elements;
  elements.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    TValue v = EvalNode(tree, tree.Argument(call, i));
    if (v.IsList()) elements.push_back(v.Count() ? TValue(v[0]) : TValue());
    else elements.push_back(std::move(v));
  }
  return TValue::List(std::move(elements));
}

bool TCalc::ElementName(std::string_view name, const TValue& args, std::string& out) {
  if (!args.IsList() || args.Count() == 0) return false;
  for (const TValue& a : args.Elements())
    if (!a.IsInteger()) return false;
  out.assign(name);
  out += '(';
  for (std::size_t i = 0; i < args.Count(); ++i) {
    if (i) out += ',';
    out += std::to_string(args[i].IntegerValue());
  }
  out += ')';
  return true;
}

const TValue* TCalc::ReadVariable(std::string_view upperName, TSlotCache* slot) {
  const int i = slot ? variables_->IndexOfUpper(upperName, *slot) : variables_->IndexOfUpper(upperName);
  return i < 0 ? nullptr : &variables_->Cell(i).Value;
}

TValue TCalc::EvalCall(const TExprTree& tree, const TExpr& node) {
  if (StackExhausted()) {
    SetError(Joined(kTooDeep, tree.TextOf(node)));
    return TValue();
  }
  const TExprName& name = tree.Name(node);
  if (const TFunctionBlock* f = UserFunction(name); f && !variables_->HasElementsOf(name.Upper))
    return EvalUserCall(tree, node, *f);
  const TValue args = EvalArguments(tree, node);
  std::string element;
  if (variables_->HasElementsOf(name.Upper) && ElementName(name.Upper, args, element))
    if (const TValue* v = ReadVariable(element, nullptr)) return *v;
  TValue result;
  if (!CallFunctionAt(tree.NameText(node), name.Upper, args, result, tree.TextOf(node)))
    SetError(Joined(kInvalidCall, tree.TextOf(node)));
  return result;
}

TValue TCalc::EvalName(const TExprTree& tree, const TExpr& node) {
  const TExprName& name = tree.Name(node);
  if (const TValue* v = ReadVariable(name.Upper, &name.Slot)) return *v;
  TValue result;
  if (!CallFunctionAt(tree.NameText(node), name.Upper, TValue(), result, tree.TextOf(node))) {
    // The unknown name has been reported; a known function that failed is an
    // invalid call like any other.
    SetError(Joined(kInvalidCall, tree.TextOf(node)));
    return TValue::String(std::string(tree.NameText(node)));
  }
  return result;
}

}  // namespace tracemill
