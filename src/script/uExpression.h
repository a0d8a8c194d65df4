#pragma once
// The split form of an expression text. An expression is split at the
// operator of lowest precedence that stands outside string literals and
// parentheses (the rightmost one of its level), recursively; the result
// depends only on the text and the operator table, so it is computed once per
// distinct text and kept.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/uOperator.h"
#include "script/uVariable.h"

namespace tracemill {

// Deepest nesting of operators, parentheses and calls in one expression.
constexpr int kMaxExpressionDepth = 1000;

enum class TExprKind {
  Empty,          // the empty text
  Constant,       // a number or string literal
  InvalidString,  // a literal with a lone double quote
  Binary,         // operator split
  Call,           // name(arguments): element variable or function call
  Name,           // variable, else function without arguments
  TooDeep         // nesting beyond kMaxExpressionDepth
};

struct TExpr {
  TExprKind Kind = TExprKind::Empty;
  std::string_view Text;  // the trimmed text at this level (for messages)
  TValue Value;           // Constant
  TOperatorKind Op = TOperatorKind::Add;
  std::unique_ptr<TExpr> Left, Right;       // Binary
  std::string_view Name;                    // Call: the name before "(" ; Name: the text
  std::string UpperName;                    // Call and Name
  std::vector<std::unique_ptr<TExpr>> Args; // Call
  mutable TSlotCache Slot;                  // Name
  // Numbers, names and "+", "-", "*" of such: may be plain arithmetic.
  bool MaybeNumber = false;
};

// An expression text with its split form; the nodes point into Text.
class TExprTree {
 public:
  explicit TExprTree(std::string text, char decimalSeparator);
  TExprTree(const TExprTree&) = delete;
  TExprTree& operator=(const TExprTree&) = delete;
  const std::string& Text() const { return *text_; }
  const TExpr& Root() const { return *root_; }

 private:
  std::unique_ptr<std::string> text_;
  std::unique_ptr<TExpr> root_;
};

// Cache of split expressions by text. Number literals depend on the decimal
// separator, so the separator is part of the key. Trees live as long as the
// cache, so references to them stay valid.
class TExprCache {
 public:
  const TExprTree& Get(std::string_view text, char decimalSeparator);
  std::size_t Size() const { return trees_.size(); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  std::string key_;
  std::unordered_map<std::string, std::unique_ptr<TExprTree>, Hash, std::equal_to<>> trees_;
};

// A statement's remembered tree for its expression text.
struct TTreeSlot {
  const TExprTree* Tree = nullptr;
  char Separator = 0;
};

// Text helpers shared by the compiler and the evaluator.
std::string_view TrimView(std::string_view s);
// Splits at commas outside string literals and parentheses: the text up to
// the first such comma is one piece (trimmed), then the trimmed rest while it
// is not empty. So a trailing comma adds nothing and a leading comma gives an
// empty first piece.
std::vector<std::string_view> SplitArguments(std::string_view text);

}  // namespace tracemill
