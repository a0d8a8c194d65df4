#include "script/uExpression.h"

#include "common/uNumber.h"
#include "common/uStrC.h"

namespace tracemill {

std::string_view TrimView(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

std::vector<std::string_view> SplitArguments(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::string_view rest = TrimView(text);
  while (!rest.empty()) {
    bool inString = false;
    int depth = 0;
    std::size_t comma = std::string_view::npos;
    for (std::size_t i = 0; i < rest.size(); ++i) {
      const char c = rest[i];
      if (c == '"') inString = !inString;
      else if (inString) continue;
      else if (c == '(') ++depth;
      else if (c == ')') --depth;
      else if (c == ',' && depth == 0) {
        comma = i;
        break;
      }
    }
    if (comma == std::string_view::npos) {
      pieces.push_back(rest);
      break;
    }
    pieces.push_back(TrimView(rest.substr(0, comma)));
    rest = TrimView(rest.substr(comma + 1));
  }
  return pieces;
}

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsBlankBefore(char c) { return c == ' ' || c == ')' || c == '\t'; }
bool IsBlankAfter(char c) { return c == ' ' || c == '(' || c == '\t'; }

// Finds the split operator: for each level, the rightmost position outside
// strings at depth 0 where an operator of the level ends. The operators are
// ASCII, so a byte scan sees the same matches as a scan by characters: a
// byte of a multi-byte UTF-8 character never equals an operator byte, a blank,
// a parenthesis or a double quote.
// For each level, which bytes end one of its operators (either letter case).
struct TLastBytes {
  bool Ends[5][256] = {};
  TLastBytes() {
    for (int lv = 0; lv < OperatorLevelCount(); ++lv)
      for (int i = 0; i < OperatorCount(lv); ++i) {
        const char c = OperatorAt(lv, i).Text.back();
        Ends[lv][static_cast<unsigned char>(c)] = true;
        if (c >= 'A' && c <= 'Z') Ends[lv][static_cast<unsigned char>(c - 'A' + 'a')] = true;
      }
  }
};

bool FindSplit(std::string_view t, int& level, int& index, std::size_t& start) {
  static const TLastBytes lastBytes;
  const int levels = OperatorLevelCount();
  for (int lv = 0; lv < levels; ++lv) {
    const int count = OperatorCount(lv);
    const bool* ends = lastBytes.Ends[lv];
    bool inString = false;
    int depth = 0;
    for (std::size_t pos = t.size(); pos-- > 0;) {
      const char c = t[pos];
      if (c == '"') {
        inString = !inString;
        continue;
      }
      if (inString) continue;
      if (c == ')') {
        ++depth;
        continue;
      }
      if (c == '(') {
        --depth;
        continue;
      }
      if (depth != 0 || !ends[static_cast<unsigned char>(c)]) continue;
      for (int i = 0; i < count; ++i) {
        const TOperator& op = OperatorAt(lv, i);
        const std::size_t len = op.Text.size();
        if (len > pos + 1) continue;
        const std::size_t s = pos + 1 - len;
        bool same = true;
        for (std::size_t k = 0; k < len && same; ++k) same = Upper(t[s + k]) == op.Text[k];
        if (!same) continue;
        if (op.IsWord) {
          if (s > 0 && !IsBlankBefore(t[s - 1])) continue;
          if (pos + 1 < t.size() && !IsBlankAfter(t[pos + 1])) continue;
        }
        level = lv;
        index = i;
        start = s;
        return true;
      }
    }
  }
  return false;
}

std::unique_ptr<TExpr> Parse(std::string_view text, char separator, int depth) {
  auto node = std::make_unique<TExpr>();
  node->Text = text;
  if (depth > kMaxExpressionDepth) {
    node->Kind = TExprKind::TooDeep;
    return node;
  }
  int level = 0, index = 0;
  std::size_t start = 0;
  if (FindSplit(text, level, index, start)) {
    const TOperator& op = OperatorAt(level, index);
    node->Kind = TExprKind::Binary;
    node->Op = op.Kind;
    node->Left = Parse(TrimView(text.substr(0, start)), separator, depth + 1);
    node->Right = Parse(TrimView(text.substr(start + op.Text.size())), separator, depth + 1);
    node->MaybeNumber = (op.Kind == TOperatorKind::Add || op.Kind == TOperatorKind::Subtract ||
                         op.Kind == TOperatorKind::Multiply) &&
                        node->Left->MaybeNumber && node->Right->MaybeNumber;
    return node;
  }
  const std::size_t n = text.size();
  if (n >= 2 && text.front() == '(' && text.back() == ')') return Parse(TrimView(text.substr(1, n - 2)), separator, depth + 1);
  if (n >= 1 && text.front() == '"' && text.back() == '"') {
    if (n == 1) {
      node->Kind = TExprKind::InvalidString;
      return node;
    }
    std::string s;
    for (std::size_t i = 1; i + 1 < n; ++i) {
      if (text[i] == '"') {
        if (i + 2 < n && text[i + 1] == '"') {
          s += '"';
          ++i;
          continue;
        }
        node->Kind = TExprKind::InvalidString;
        return node;
      }
      s += text[i];
    }
    node->Kind = TExprKind::Constant;
    // An empty literal is a one-element list holding the empty string.
    node->Value = s.empty() ? TValue::List({TValue::String(std::string())}) : TValue::String(std::move(s));
    return node;
  }
  const std::size_t paren = text.find('(');
  if (paren != std::string_view::npos && n > 0 && text.back() == ')') {
    node->Kind = TExprKind::Call;
    node->Name = TrimView(text.substr(0, paren));
    node->UpperName = UpperCaseAscii(node->Name);
    for (std::string_view a : SplitArguments(text.substr(paren + 1, n - paren - 2)))
      node->Args.push_back(Parse(a, separator, depth + 1));
    return node;
  }
  if (n == 0) return node;  // Empty
  if (IsFloatText(text, separator)) {
    node->Kind = TExprKind::Constant;
    if (const auto i = TryStrToInt(text)) node->Value = TValue::Integer(*i);
    else node->Value = TValue::Double(*TryStrToFloat(text, separator));
    node->MaybeNumber = true;
    return node;
  }
  node->Kind = TExprKind::Name;
  node->Name = text;
  node->UpperName = UpperCaseAscii(text);
  node->MaybeNumber = true;
  return node;
}

}  // namespace

TExprTree::TExprTree(std::string text, char decimalSeparator)
    : text_(std::make_unique<std::string>(std::move(text))),
      root_(Parse(TrimView(*text_), decimalSeparator, 0)) {}

const TExprTree& TExprCache::Get(std::string_view text, char decimalSeparator) {
  key_.assign(1, decimalSeparator);
  key_.append(text);
  const auto it = trees_.find(key_);
  if (it != trees_.end()) return *it->second;
  auto tree = std::make_unique<TExprTree>(std::string(text), decimalSeparator);
  const TExprTree& ref = *tree;
  trees_.emplace(key_, std::move(tree));
  return ref;
}

}  // namespace tracemill
