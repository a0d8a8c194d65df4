#pragma once
// The split form of an expression text. An expression is split at the
// operator of lowest precedence that stands outside string literals and
// parentheses (the rightmost one of its level), recursively; the result
// depends only on the text and the operator table, so it is computed once per
// distinct text and kept.
//
// Splitting takes time in proportion to the text's length (times a small
// logarithm for long texts), however deep the nesting: long texts get an index
// of their operators and commas by nesting depth, so that no level of the
// recursion scans the text again. The nodes are small records in one array
// that refer to each other, to their text and to shared constants and names
// by index.
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
// Parts of an expression up to this many bytes are scanned directly; longer
// ones are split through the index.
constexpr std::size_t kExpressionScanLimit = 256;

enum class TExprKind : std::uint8_t {
  Empty,          // the empty text
  Constant,       // a number or string literal
  InvalidString,  // a literal with a lone double quote
  Binary,         // operator split
  Call,           // name(arguments): element variable or function call
  Name,           // variable, else function without arguments
  TooDeep         // nesting beyond kMaxExpressionDepth
};

struct TExpr {
  std::uint32_t Begin = 0, Length = 0;  // the trimmed text at this level (for messages)
  // Binary: the operand nodes. Call: the first argument's place in the
  // argument list and the number of arguments. Constant: First is the
  // constant's index.
  std::uint32_t First = 0, Second = 0;
  std::uint32_t NameIndex = 0;  // Call and Name
  TExprKind Kind = TExprKind::Empty;
  TOperatorKind Op = TOperatorKind::Add;
  // Numbers, names and "+", "-", "*" of such: may be plain arithmetic.
  bool MaybeNumber = false;
};

// A name of the expression (of a variable or function, or before the "(" of
// a call), shared by every node that writes it the same way.
struct TExprName {
  std::uint32_t Begin = 0, Length = 0;  // as written
  std::string Upper;                    // ASCII letters upper-cased
  mutable TSlotCache Slot;              // where the variable was last found
  // The interpreter's note of the program's FUNCTION of this name (its index,
  // -1 for none), made at the first call; kUnknownFunction before.
  static constexpr int kUnknownFunction = -2;
  mutable int Function = kUnknownFunction;
};

// An expression text with its split form.
class TExprTree {
 public:
  // The tree is the same for every scanLimit; only the time taken differs.
  explicit TExprTree(std::string text, char decimalSeparator, std::size_t scanLimit = kExpressionScanLimit);
  TExprTree(const TExprTree&) = delete;
  TExprTree& operator=(const TExprTree&) = delete;

  const std::string& Text() const { return text_; }
  const TExpr& Root() const { return nodes_[root_]; }
  std::size_t NodeCount() const { return nodes_.size(); }

  std::string_view TextOf(const TExpr& node) const { return View(node.Begin, node.Length); }
  const TExpr& Left(const TExpr& binary) const { return nodes_[binary.First]; }
  const TExpr& Right(const TExpr& binary) const { return nodes_[binary.Second]; }
  std::size_t ArgumentCount(const TExpr& call) const { return call.Second; }
  const TExpr& Argument(const TExpr& call, std::size_t i) const { return nodes_[arguments_[call.First + i]]; }
  const TValue& Constant(const TExpr& constant) const { return constants_[constant.First]; }
  const TExprName& Name(const TExpr& node) const { return names_[node.NameIndex]; }
  std::string_view NameText(const TExpr& node) const {
    const TExprName& name = Name(node);
    return View(name.Begin, name.Length);
  }

 private:
  friend class TExprParser;
  std::string_view View(std::uint32_t begin, std::uint32_t length) const {
    return std::string_view(text_).substr(begin, length);
  }

  std::string text_;
  std::vector<TExpr> nodes_;
  std::vector<std::uint32_t> arguments_;  // the argument nodes of every call, each call's together
  std::vector<TValue> constants_;
  std::vector<TExprName> names_;
  std::uint32_t root_ = 0;
};

// Cache of split expressions by text. Number literals depend on the decimal
// separator, so the separator is part of the key. Trees live as long as the
// cache, so references to them stay valid.
class TExprCache {
 public:
  const TExprTree& Get(std::string_view text, char decimalSeparator);

 private:
  // A key views the text of its own tree, so no text is held twice.
  struct TKey {
    std::string_view Text;
    char Separator;
    bool operator==(const TKey& other) const { return Separator == other.Separator && Text == other.Text; }
  };
  struct THash {
    std::size_t operator()(const TKey& key) const noexcept {
      return std::hash<std::string_view>{}(key.Text) ^ static_cast<unsigned char>(key.Separator);
    }
  };
  std::unordered_map<TKey, std::unique_ptr<TExprTree>, THash> trees_;
};

// A statement's remembered tree for its expression text.
struct TTreeSlot {
  const TExprTree* Tree = nullptr;
  char Separator = 0;
};

// Splits at commas outside string literals and parentheses: the text up to
// the first such comma is one piece (trimmed), then the trimmed rest while it
// is not empty. So a trailing comma adds nothing and a leading comma gives an
// empty first piece.
std::vector<std::string_view> SplitArguments(std::string_view text);

}  // namespace tracemill
