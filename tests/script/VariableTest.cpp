// The value rules and the variable table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/uFormatSettings.h"
#include "script/uOperator.h"
#include "script/uVariable.h"

namespace tracemill {
namespace {

TValue I(int v) { return TValue::Integer(v); }
TValue D(double v) { return TValue::Double(v); }
TValue S(const std::string& v) { return TValue::String(v); }
TValue B(bool v) { return TValue::Boolean(v); }

TEST(Value, TypeCodesAndNames) {
  EXPECT_EQ(TValue().TypeCode(), 0);
  EXPECT_EQ(I(1).TypeCode(), 3);
  EXPECT_EQ(D(1).TypeCode(), 5);
  EXPECT_EQ(TValue::Date(1).TypeCode(), 7);
  EXPECT_EQ(B(true).TypeCode(), 11);
  EXPECT_EQ(S("a").TypeCode(), 256);
  EXPECT_EQ(TValue::List().TypeCode(), 8192 + 12);
  EXPECT_EQ(TypeName(8192 + 12), "Variant");
  EXPECT_EQ(TypeName(256), "String");
  EXPECT_EQ(TypeName(11), "Boolean");
  EXPECT_EQ(TypeName(99), "Unknown");
}

TEST(Value, AppendRule) {
  TValue v;
  v.Append(I(1));
  ASSERT_TRUE(v.IsList());
  EXPECT_EQ(v.Count(), 1u);

  TValue s = S("a");
  s.Append(I(2));
  ASSERT_TRUE(s.IsList());
  ASSERT_EQ(s.Count(), 2u);
  EXPECT_EQ(s[0].StringValue(), "a");
  EXPECT_EQ(s[1].IntegerValue(), 2);

  s.Append(TValue::List({I(7)}));
  ASSERT_EQ(s.Count(), 3u);
  EXPECT_TRUE(s[2].IsList());  // a list element stays one element
}

TEST(Value, IntegerConversionRoundsHalvesToEven) {
  EXPECT_EQ(D(2.5).ToInteger(), 2);
  EXPECT_EQ(D(3.5).ToInteger(), 4);
  EXPECT_EQ(D(-2.5).ToInteger(), -2);
  EXPECT_EQ(D(-2.6).ToInteger(), -3);
  EXPECT_EQ(D(2.4999).ToInteger(), 2);
  EXPECT_EQ(B(true).ToInteger(), -1);
  EXPECT_EQ(B(false).ToInteger(), 0);
  EXPECT_EQ(TValue().ToInteger(), 0);
  EXPECT_EQ(S(" 42 ").ToInteger(), 42);
  EXPECT_EQ(S("4.5").ToInteger(), 4);
  EXPECT_EQ(D(2147483647.4).ToInteger(), 2147483647);
  EXPECT_THROW(D(2147483648.0).ToInteger(), ConvertError);
  EXPECT_THROW(D(1e300).ToInteger(), ConvertError);
  EXPECT_THROW(S("abc").ToInteger(), ConvertError);
  EXPECT_THROW(TValue::List({I(1)}).ToInteger(), ConvertError);
}

TEST(Value, OtherConversions) {
  EXPECT_DOUBLE_EQ(S("1.25").ToDouble(), 1.25);
  EXPECT_DOUBLE_EQ(I(3).ToDouble(), 3.0);
  EXPECT_THROW(S("1.2.3").ToDouble(), ConvertError);
  EXPECT_TRUE(I(2).ToBoolean());
  EXPECT_FALSE(D(0).ToBoolean());
  EXPECT_TRUE(S("true").ToBoolean());
  EXPECT_FALSE(S("FALSE").ToBoolean());
  EXPECT_THROW(S("maybe").ToBoolean(), ConvertError);
  EXPECT_EQ(D(1.5).ToString(), "1.5");
  EXPECT_EQ(D(1.0 / 3).ToString(), "0.333333333333333");
  EXPECT_EQ(I(-7).ToString(), "-7");
  EXPECT_EQ(B(true).ToString(), "True");
  EXPECT_EQ(TValue().ToString(), "");
  EXPECT_THROW(TValue::List().ToString(), ConvertError);

  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  EXPECT_EQ(D(1.5).ToString(comma), "1,5");
  // 2000-01-02 03:04:05 in the default short date and long time formats
  EXPECT_EQ(TValue::Date(36527 + (3 * 3600 + 4 * 60 + 5) / 86400.0).ToString(), "2000/01/02 03:04:05");
  EXPECT_EQ(TValue::Date(36527).ToString(), "2000/01/02");
}

TEST(Operators, VariantArithmetic) {
  TValue r;
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Add, I(2147483647), I(1), r));
  EXPECT_TRUE(r.IsDouble());
  EXPECT_DOUBLE_EQ(r.DoubleValue(), 2147483648.0);
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Multiply, I(-65536), I(65536), r));
  EXPECT_TRUE(r.IsDouble());
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Subtract, TValue(), I(-2147483647 - 1), r));
  EXPECT_DOUBLE_EQ(r.ToDouble(), 2147483648.0);
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Add, S("2"), I(3), r));
  EXPECT_EQ(r.ToInteger(), 5);
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Add, S("2"), S("3"), r));
  EXPECT_EQ(r.StringValue(), "23");
  EXPECT_FALSE(ApplyOperator(TOperatorKind::Add, S("x"), I(3), r));
  EXPECT_FALSE(ApplyOperator(TOperatorKind::Concat, TValue(), I(3), r));  // "" + 3
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Concat, TValue(), S("a"), r));
  EXPECT_EQ(r.StringValue(), "a");
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Modulo, I(-7), I(3), r));
  EXPECT_EQ(r.IntegerValue(), -1);
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Modulo, I(-2147483647 - 1), I(-1), r));
  EXPECT_EQ(r.IntegerValue(), 0);
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Divide, I(3), I(2), r));
  EXPECT_TRUE(r.IsDouble());
  EXPECT_THROW(ApplyOperator(TOperatorKind::Divide, I(1), I(0), r), DivisionByZero);
  EXPECT_THROW(ApplyOperator(TOperatorKind::IntDivide, I(1), D(0.4), r), DivisionByZero);
  EXPECT_THROW(ApplyOperator(TOperatorKind::IntDivide, I(-2147483647 - 1), I(-1), r), ArithmeticOverflow);
  EXPECT_THROW(ApplyOperator(TOperatorKind::Multiply, D(1e200), D(1e200), r), ArithmeticOverflow);
  EXPECT_FALSE(ApplyOperator(TOperatorKind::Power, I(-8), D(0.5), r));
  EXPECT_THROW(ApplyOperator(TOperatorKind::Power, I(0), I(2), r), DivisionByZero);
}

TEST(Operators, ComparisonsAndLogic) {
  TValue r;
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Equal, TValue(), S(""), r));
  EXPECT_TRUE(r.BooleanValue());
  EXPECT_FALSE(ApplyOperator(TOperatorKind::Equal, TValue(), I(0), r));  // "" is no number
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Less, S("10"), I(9), r));
  EXPECT_FALSE(r.BooleanValue());
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Less, S("10"), S("9"), r));
  EXPECT_TRUE(r.BooleanValue());  // two strings compare as text
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Or, B(true), B(false), r));
  EXPECT_TRUE(r.IsBoolean());
  ASSERT_TRUE(ApplyOperator(TOperatorKind::And, B(true), I(6), r));
  EXPECT_EQ(r.IntegerValue(), 6);  // True is -1
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Not, TValue(), I(1), r));
  EXPECT_EQ(r.IntegerValue(), -2);
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Not, TValue(), B(false), r));
  EXPECT_TRUE(r.BooleanValue());
}

TEST(Operators, ElementWise) {
  TValue r;
  const TValue l3 = TValue::List({I(1), I(2), I(3)});
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Add, l3, I(10), r));
  ASSERT_EQ(r.Count(), 3u);
  EXPECT_EQ(r[2].IntegerValue(), 13);
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Subtract, I(10), l3, r));
  EXPECT_EQ(r[0].IntegerValue(), 9);
  ASSERT_TRUE(ApplyOperator(TOperatorKind::Add, l3, TValue::List({I(10), I(20)}), r));
  ASSERT_EQ(r.Count(), 2u);
  EXPECT_EQ(r[1].IntegerValue(), 22);
  EXPECT_FALSE(ApplyOperator(TOperatorKind::Add, TValue::List({I(1), S("x")}), I(1), r));
}

TEST(VariableSet, NamesIgnoreLetterCaseAndKeepFirstForm) {
  TVariableSet vars;
  std::vector<std::string> errors;
  vars.OnError = [&](TVariableSet&, const std::string& m) { errors.push_back(m); };
  vars.SetValue("Total", I(1));
  vars.SetValue("TOTAL", I(2));
  EXPECT_EQ(vars.Count(), 1);
  EXPECT_EQ(vars.GetValue("total").IntegerValue(), 2);
  EXPECT_EQ(vars.Cell(0).Name, "Total");
  vars.SetValue("A(3)", S("x"));
  vars.SetValue("my name", I(5));
  int index = -1;
  EXPECT_TRUE(vars.Find("a(3)", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(vars.Find("nothing", index));
  EXPECT_EQ(index, 0);
  EXPECT_TRUE(vars.Exists("MY NAME"));
  EXPECT_EQ(vars.GetValue("missing").TypeCode(), kVarInteger);
  EXPECT_EQ(vars.GetValue("missing").IntegerValue(), 0);
  EXPECT_EQ(vars.GetValueByIndex(7).IntegerValue(), 0);
  EXPECT_EQ(vars.GetValueByIndex(-1).IntegerValue(), 0);
  EXPECT_EQ(vars.GetValueByIndex(2).IntegerValue(), 5);
  EXPECT_TRUE(errors.empty());
}

TEST(VariableSet, ReadOnlyCells) {
  TVariableSet vars;
  std::vector<std::string> errors;
  vars.OnError = [&](TVariableSet&, const std::string& m) { errors.push_back(m); };
  vars.SetValue("I", I(1));
  vars.SetReadOnly("i", true);
  vars.SetValue("i", I(2));
  EXPECT_EQ(vars.GetValue("I").IntegerValue(), 1);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "I is read-only.");
  vars.SetReadOnly("I", false);
  vars.SetValue("i", I(3));
  EXPECT_EQ(vars.GetValue("I").IntegerValue(), 3);
  vars.SetReadOnly("Ghost", true);
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[1], "Ghost is not exist.");
  EXPECT_FALSE(vars.Exists("Ghost"));
}

TEST(VariableSet, AssignmentHooks) {
  TVariableSet vars;
  std::vector<std::string> after;
  vars.OnAfterAssign = [&](TVariableSet&, const std::string& name, const TValue& v) {
    after.push_back(name + "=" + v.ToString());
  };
  vars.SetValue("x", I(1));
  vars.SetValue("X", I(2));
  EXPECT_EQ(after, (std::vector<std::string>{"x=1", "X=2"}));

  // A before-hook may change the value, or mark the assignment handled.
  vars.OnBeforeAssign = [](TVariableSet&, const std::string& name, bool& handled, TValue& v) {
    if (name == "skip") handled = true;
    else v = TValue::Integer(v.ToInteger() * 10);
  };
  vars.SetValue("y", I(4));
  vars.SetValue("skip", I(5));
  EXPECT_EQ(vars.GetValue("y").IntegerValue(), 40);
  EXPECT_FALSE(vars.Exists("skip"));
  EXPECT_EQ(after.back(), "y=40");

  // A read-only cell reports and calls no after-hook.
  vars.OnBeforeAssign = nullptr;
  vars.SetReadOnly("y", true);
  const std::size_t n = after.size();
  vars.SetValue("y", I(1));
  EXPECT_EQ(after.size(), n);
}

TEST(VariableSet, EveryAssignmentHandledCreatesNothing) {
  TVariableSet vars;
  vars.OnBeforeAssign = [](TVariableSet&, const std::string&, bool& handled, TValue&) { handled = true; };
  for (const char* name : {"a", "b", "A(1)"}) vars.SetValue(name, I(1));
  EXPECT_EQ(vars.Count(), 0);
}

TEST(VariableSet, CachedSlotsFollowTheirTable) {
  TVariableSet a, b;
  a.SetValue("x", I(1));
  b.SetValue("y", I(2));
  b.SetValue("x", I(3));
  TSlotCache slot;
  EXPECT_EQ(a.IndexOfUpper("X", slot), 0);
  EXPECT_EQ(b.IndexOfUpper("X", slot), 1);  // another table: looked up again
  EXPECT_EQ(b.IndexOfUpper("X", slot), 1);
  TSlotCache none;
  EXPECT_EQ(a.IndexOfUpper("Z", none), -1);
  a.SetValue("z", I(0));
  EXPECT_EQ(a.IndexOfUpper("Z", none), 1);  // a miss is not remembered
}

}  // namespace
}  // namespace tracemill
