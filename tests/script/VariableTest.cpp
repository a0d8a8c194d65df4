// The value rules, the operators on values, and the variable table.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "ScriptTestSupport.h"
#include "common/uFormatSettings.h"
#include "script/uOperator.h"

namespace tracemill {
namespace {

using namespace testing;

TEST(Value, TypeNamesOfListsAndUnknownCodes) {
  EXPECT_EQ(TypeName(TValue::List().TypeCode()), "Variant");
  EXPECT_EQ(TypeName(99), "Unknown");
}

TEST(Value, AppendRule) {
  TValue v;
  v.Append(I(1));
  EXPECT_EQ(Show(v), "[1]");
  TValue s = S("a");
  s.Append(I(2));
  EXPECT_EQ(Show(s), "[a, 2]");
  s.Append(TValue::List({I(7)}));
  EXPECT_EQ(Show(s), "[a, 2, [7]]");  // a list element stays one element
}

TEST(Value, IntegerConversionRoundsHalvesToEven) {
  const std::pair<TValue, int> cases[] = {
      {D(2.5), 2},     {D(3.5), 4},      {D(-2.5), -2}, {D(-2.6), -3},    {D(2.4999), 2},
      {B(true), -1},   {B(false), 0},    {TValue(), 0}, {S(" 42 "), 42},  {S("4.5"), 4},
      {D(2147483647.4), 2147483647}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(value.ToInteger(kFormat), expected) << Show(value);
  for (const TValue& v : {D(2147483648.0), D(1e300), S("abc"), TValue::List({I(1)})})
    EXPECT_THROW(v.ToInteger(kFormat), ConvertError) << Show(v);
}

TEST(Value, OtherConversions) {
  EXPECT_DOUBLE_EQ(S("1.25").ToDouble(kFormat), 1.25);
  EXPECT_THROW(S("1.2.3").ToDouble(kFormat), ConvertError);
  EXPECT_TRUE(I(2).ToBoolean(kFormat));
  EXPECT_FALSE(D(0).ToBoolean(kFormat));
  EXPECT_TRUE(S("true").ToBoolean(kFormat));
  EXPECT_FALSE(S("FALSE").ToBoolean(kFormat));
  EXPECT_THROW(S("maybe").ToBoolean(kFormat), ConvertError);

  const std::pair<TValue, std::string> texts[] = {
      {D(1.0 / 3), "0.333333333333333"}, {I(-7), "-7"}, {B(true), "True"}, {TValue(), ""},
      // 2000-01-02 03:04:05 in the default short date and long time formats
      {TValue::Date(36527 + (3 * 3600 + 4 * 60 + 5) / 86400.0), "2000/01/02 03:04:05"},
      {TValue::Date(36527), "2000/01/02"}};
  for (const auto& [value, text] : texts) EXPECT_EQ(value.ToString(kFormat), text);
  EXPECT_THROW(TValue::List().ToString(kFormat), ConvertError);
  TFormatSettings comma;
  comma.DecimalSeparator = ',';
  EXPECT_EQ(D(1.5).ToString(comma), "1,5");
}

// The general operator rules (literal arithmetic in programs may take a
// faster path): the result with its type code, or "fails".
std::string Apply(TOperatorKind kind, const TValue& left, const TValue& right) {
  TValue result;
  if (!ApplyOperator(kind, left, right, result, kFormat)) return "fails";
  return Show(result) + (result.IsList() ? "" : ":" + std::to_string(result.TypeCode()));
}

TEST(Operators, VariantRules) {
  using K = TOperatorKind;
  const TValue l3 = TValue::List({I(1), I(2), I(3)});
  const struct {
    K Kind;
    TValue Left, Right;
    const char* Expected;
  } cases[] = {
      // Integer results that do not fit become Doubles; Empty on the left is
      // the unary form.
      {K::Add, I(INT_MAX), I(1), "2147483648:5"},
      {K::Multiply, I(-65536), I(65536), "-4294967296:5"},
      {K::Subtract, TValue(), I(INT_MIN), "2147483648:5"},
      {K::Modulo, I(INT_MIN), I(-1), "0:3"},
      {K::Add, S("2"), I(3), "5:3"},
      {K::Add, S("2"), S("3"), "23:256"},  // two strings join, numbers or not
      {K::Concat, TValue(), I(3), "fails"},  // "" + 3
      {K::Concat, TValue(), S("a"), "a:256"},
      // Empty equals "" but is no number; a string and a number compare as
      // numbers, two strings as text.
      {K::Equal, TValue(), I(0), "fails"},
      {K::Less, S("10"), I(9), "False:11"},
      {K::Less, S("10"), S("9"), "True:11"},
      {K::Or, B(true), B(false), "True:11"},
      {K::And, B(true), I(6), "6:3"},  // True is -1
      {K::Not, TValue(), B(false), "True:11"},
      // Lists element by element, two lists up to the shorter one; one
      // failing element fails the whole.
      {K::Subtract, I(10), l3, "[9, 8, 7]"},
      {K::Add, l3, TValue::List({I(10), I(20)}), "[11, 22]"},
      {K::Add, TValue::List({I(1), S("x")}), I(1), "fails"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Apply(c.Kind, c.Left, c.Right), c.Expected) << Show(c.Left) << " op " << Show(c.Right);
}

TEST(VariableSet, NamesIgnoreLetterCaseAndKeepFirstForm) {
  TVariableSet vars;
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
  // Outside the table: the Integer 0.
  EXPECT_EQ(vars.GetValue("missing").TypeCode(), kVarInteger);
  EXPECT_EQ(vars.GetValue("missing").IntegerValue(), 0);
  EXPECT_EQ(vars.GetValueByIndex(7).IntegerValue(), 0);
  EXPECT_EQ(vars.GetValueByIndex(-1).IntegerValue(), 0);
  EXPECT_EQ(vars.GetValueByIndex(2).IntegerValue(), 5);
}

TEST(VariableSet, ReadOnlyCells) {
  TVariableSet vars;
  std::vector<std::string> errors;
  vars.OnError = [&](TVariableSet&, const std::string& m) { errors.push_back(m); };
  vars.SetValue("I", I(1));
  vars.SetReadOnly("i", true);
  vars.SetValue("i", I(2));
  EXPECT_EQ(vars.GetValue("I").IntegerValue(), 1);
  vars.SetReadOnly("I", false);
  vars.SetValue("i", I(3));
  EXPECT_EQ(vars.GetValue("I").IntegerValue(), 3);
  vars.SetReadOnly("Ghost", true);
  EXPECT_EQ(errors, (std::vector<std::string>{"I is read-only.", "Ghost is not exist."}));
  EXPECT_FALSE(vars.Exists("Ghost"));
}

TEST(VariableSet, AssignmentHooks) {
  TVariableSet vars;
  std::vector<std::string> after;
  vars.OnAfterAssign = [&](TVariableSet&, const std::string& name, const TValue& v) {
    after.push_back(name + "=" + v.ToString(kFormat));
  };
  vars.SetValue("x", I(1));
  vars.SetValue("X", I(2));
  EXPECT_EQ(after, (std::vector<std::string>{"x=1", "X=2"}));

  // A before-hook may change the value, or mark the assignment handled: then
  // no cell is made.
  vars.OnBeforeAssign = [](TVariableSet&, const std::string& name, bool& handled, TValue& v) {
    if (name == "skip" || name == "S(1)") handled = true;
    else v = TValue::Integer(v.ToInteger(kFormat) * 10);
  };
  vars.SetValue("y", I(4));
  vars.SetValue("skip", I(5));
  vars.SetValue("S(1)", I(5));
  EXPECT_EQ(vars.GetValue("y").IntegerValue(), 40);
  EXPECT_EQ(vars.Count(), 2);
  EXPECT_EQ(after.back(), "y=40");

  // A read-only cell reports and calls no after-hook.
  vars.OnBeforeAssign = nullptr;
  vars.SetReadOnly("y", true);
  const std::size_t n = after.size();
  vars.SetValue("y", I(1));
  EXPECT_EQ(after.size(), n);
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

  // Emptied and filled again in another order, a table finds no name where
  // it was before.
  TSlotCache z;
  ASSERT_EQ(a.IndexOfUpper("Z", z), 1);
  a.Clear();
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.IndexOfUpper("Z", z), -1);
  a.SetValue("Z", I(7));
  a.SetValue("x", I(8));
  EXPECT_EQ(a.IndexOfUpper("Z", z), 0);
  EXPECT_EQ(a.IndexOfUpper("X", slot), 1);
  EXPECT_EQ(a.Cell(0).Name, "Z");
  EXPECT_EQ(a.GetValue("x").IntegerValue(), 8);
}

}  // namespace
}  // namespace tracemill
