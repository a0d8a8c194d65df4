// The split form of expressions: the index that splits long texts gives the
// same trees as the direct scan, and trees stay small.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "ScriptTestSupport.h"
#include "script/uExpression.h"

namespace tracemill {
namespace {

using testing::Show;

// The first difference between two trees of the same text ("" when equal).
std::string Difference(const TExprTree& a, const TExpr& x, const TExprTree& b, const TExpr& y) {
  const std::string at = " at [" + std::string(a.TextOf(x)) + "]";
  if (x.Kind != y.Kind || x.Op != y.Op || x.MaybeNumber != y.MaybeNumber || a.TextOf(x) != b.TextOf(y))
    return "node" + at + " vs [" + std::string(b.TextOf(y)) + "]";
  switch (x.Kind) {
    case TExprKind::Binary: {
      const std::string left = Difference(a, a.Left(x), b, b.Left(y));
      return left.empty() ? Difference(a, a.Right(x), b, b.Right(y)) : left;
    }
    case TExprKind::Constant:
      return a.Constant(x).SameAs(b.Constant(y)) ? "" : "constant" + at;
    case TExprKind::Name:
      return a.NameText(x) == b.NameText(y) ? "" : "name" + at;
    case TExprKind::Call:
      if (a.NameText(x) != b.NameText(y) || a.ArgumentCount(x) != b.ArgumentCount(y)) return "call" + at;
      for (std::size_t i = 0; i < a.ArgumentCount(x); ++i) {
        const std::string d = Difference(a, a.Argument(x, i), b, b.Argument(y, i));
        if (!d.empty()) return d;
      }
      return "";
    default: return "";
  }
}

std::string IndexAgainstScan(const std::string& text, char separator) {
  const TExprTree indexed(text, separator, 0);
  const TExprTree scanned(text, separator, std::numeric_limits<std::size_t>::max());
  return Difference(indexed, indexed.Root(), scanned, scanned.Root());
}

TEST(Expression, TheIndexSplitsLikeTheScan) {
  // Word operators at the ends of a part, strings and parentheses that do
  // not close, commas inside strings and calls.
  const char* const cases[] = {
      "a OR(b)",  "NOT a AND b", "+OR b",        "x = y <= z",   "\"a(\" + b)",  "f(1, \"x,y\", g(2, 3))",
      "(a) OR",   "a) + (b",     "\"abc + 1",    "1 - 2 - 3",    "2E-4 + 1",     "a=<>b",
      "MOD MOD",  "ORDER",       "f(,1,)",       "\"\"\"\"",     "x NAND(y)",    "((1)",
  };
  for (const char* text : cases) EXPECT_EQ(IndexAgainstScan(text, '.'), "") << text;

  const char* const tokens[] = {" ", " ", "(", ")", "\"", "\"", ",", "+", "-", "*", "/", "\\", "^", "<",
                                ">", "=", "!", "&", "a", "1", ".", "E", "OR", "AND", "NOT", "MOD", "DIV",
                                "XOR", "NOR", "NAND", "or", "\t", "f(", "\"\"", "2,5", "<>", "=>"};
  std::mt19937 random(2024);
  for (int k = 0; k < 20000; ++k) {
    std::string text;
    const int count = static_cast<int>(random() % (k % 10 == 0 ? 400 : 40));
    for (int i = 0; i < count; ++i) text += tokens[random() % std::size(tokens)];
    const std::string difference = IndexAgainstScan(text, k % 2 ? ',' : '.');
    ASSERT_EQ(difference, "") << text;
  }
}

// Equal leaves are one node; long operator chains stop at the depth limit.
TEST(Expression, TreesOfLongTextsStaySmall) {
  std::string sum = "SUM(1";
  std::string chain = "1";
  while (sum.size() < (1 << 20)) sum += ", 1, x, \"s\"";
  while (chain.size() < (1 << 20)) chain += "+1";
  const TExprTree arguments(sum + ")", '.');
  EXPECT_LE(arguments.NodeCount(), 5u);
  const TExprTree operators(chain, '.');
  EXPECT_LE(operators.NodeCount(), std::size_t(2 * kMaxExpressionDepth + 2));
}

}  // namespace
}  // namespace tracemill
