#include "script/uExpression.h"

#include <algorithm>

#include "common/uNumber.h"
#include "common/uStrC.h"

namespace tracemill {

std::vector<std::string_view> SplitArguments(std::string_view text) {
  std::vector<std::string_view> pieces;
  std::string_view rest = TrimmedView(text);
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
    pieces.push_back(TrimmedView(rest.substr(0, comma)));
    rest = TrimmedView(rest.substr(comma + 1));
  }
  return pieces;
}

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsBlankBefore(char c) { return c == ' ' || c == ')' || c == '\t'; }
bool IsBlankAfter(char c) { return c == ' ' || c == '(' || c == '\t'; }
bool IsStructural(char c) { return c == '"' || c == '(' || c == ')'; }

// The operators are ASCII, so a byte scan sees the same matches as a scan by
// characters: a byte of a multi-byte UTF-8 character never equals an operator
// byte, a blank, a parenthesis or a double quote.
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

const TLastBytes& LastBytes() {
  static const TLastBytes lastBytes;
  return lastBytes;
}

bool EndsOperator(int level, char c) { return LastBytes().Ends[level][static_cast<unsigned char>(c)]; }

// The first operator of the level (in index order) that ends at pos of the
// text t[b, e): its index, or -1. A word operator needs a blank, ")" or tab
// (or the start of the text) before it and a blank, "(" or tab (or the end)
// after it.
int MatchAt(std::string_view t, int level, std::size_t pos, std::size_t b, std::size_t e) {
  for (int i = 0; i < OperatorCount(level); ++i) {
    const TOperator& op = OperatorAt(level, i);
    const std::size_t length = op.Text.size();
    if (length > pos + 1 - b) continue;
    const std::size_t start = pos + 1 - length;
    bool same = true;
    for (std::size_t k = 0; k < length && same; ++k) same = Upper(t[start + k]) == op.Text[k];
    if (!same) continue;
    if (op.IsWord) {
      if (start > b && !IsBlankBefore(t[start - 1])) continue;
      if (pos + 1 < e && !IsBlankAfter(t[pos + 1])) continue;
    }
    return i;
  }
  return -1;
}

// Operators are at most this long: positions further from a range's start
// see the same neighbours as in the whole text.
constexpr std::size_t kLongestOperator = 4;
constexpr int kCommaLevel = 5;

}  // namespace

// Builds a tree's nodes from its text.
//
// Where an expression splits is decided by scanning from its end: double
// quotes toggle "inside a string", and parentheses outside strings change the
// depth. Both can be told for any range from prefix counts over the whole
// text: a position is outside strings, seen from a range's end e, when the
// number of double quotes before it has the parity of the number before e;
// and it is at depth 0 when the count of "(" minus ")" before it, counting
// only those with that same parity, equals the count before e. Commas seen
// from a range's start follow the same rule. So the index files every
// operator end and comma under (parity, level, count) in text order, and the
// rightmost operator of a level at depth 0 in a range is one binary search.
// Within a few bytes of a range's ends the word-operator rules look at the
// range's boundary instead of the neighbouring bytes; those positions are
// checked directly.
class TExprParser {
 public:
  TExprParser(TExprTree& tree, char separator, std::size_t scanLimit)
      : tree_(tree), t_(tree.text_), separator_(separator), scanLimit_(scanLimit) {}

  std::uint32_t Parse(std::size_t b, std::size_t e, int depth);

 private:
  struct TSplit {
    int Level = 0, Index = 0;
    std::size_t Start = 0;
  };
  // Quote parity and the two depth counts of the text before a position.
  struct TState {
    std::uint8_t Parity = 0;
    std::int32_t Depth[2] = {0, 0};
  };
  static constexpr std::size_t kCheckpointEvery = 64;

  std::pair<std::size_t, std::size_t> Trim(std::size_t b, std::size_t e) const {
    while (b < e && static_cast<unsigned char>(t_[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(t_[e - 1]) <= ' ') --e;
    return {b, e};
  }
  bool FindSplit(std::size_t b, std::size_t e, TSplit& split);
  bool ScanSplit(std::size_t b, std::size_t e, TSplit& split) const;
  bool IndexedSplit(std::size_t b, std::size_t e, TSplit& split);
  // The commas of t[b, e) at depth 0 outside strings, seen from b.
  std::vector<std::size_t> Commas(std::size_t b, std::size_t e);
  std::uint32_t Leaf(std::size_t b, std::size_t e);
  std::uint32_t StringLiteral(TExpr node);
  std::uint32_t Call(TExpr node, std::size_t paren, int depth);
  std::uint32_t NameOf(std::size_t b, std::size_t e);
  std::uint32_t Add(const TExpr& node) {
    tree_.nodes_.push_back(node);
    return static_cast<std::uint32_t>(tree_.nodes_.size() - 1);
  }

  void BuildIndex();
  TState StateAt(std::size_t pos) const;
  static std::uint64_t Key(int parity, int level, std::int32_t depth) {
    return (static_cast<std::uint64_t>(parity * 8 + level) << 32) | static_cast<std::uint32_t>(depth);
  }
  const std::vector<std::uint32_t>* Bucket(int parity, int level, std::int32_t depth) const {
    const auto it = buckets_.find(Key(parity, level, depth));
    return it == buckets_.end() ? nullptr : &it->second;
  }

  TExprTree& tree_;
  std::string_view t_;
  char separator_;
  std::size_t scanLimit_;  // ranges up to this length are scanned directly
  // Equal leaf texts give equal leaves: one node serves them all.
  std::unordered_map<std::string_view, std::uint32_t> leaves_;
  std::unordered_map<std::string_view, std::uint32_t> names_;
  bool indexed_ = false;
  std::vector<TState> checkpoints_;  // the state at every kCheckpointEvery-th position
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> buckets_;
};

std::uint32_t TExprParser::Parse(std::size_t b, std::size_t e, int depth) {
  TExpr node;
  node.Begin = static_cast<std::uint32_t>(b);
  node.Length = static_cast<std::uint32_t>(e - b);
  if (depth > kMaxExpressionDepth) {
    node.Kind = TExprKind::TooDeep;
    return Add(node);
  }
  TSplit split;
  if (FindSplit(b, e, split)) {
    const TOperator& op = OperatorAt(split.Level, split.Index);
    const auto [lb, le] = Trim(b, split.Start);
    node.First = Parse(lb, le, depth + 1);
    const auto [rb, re] = Trim(split.Start + op.Text.size(), e);
    node.Second = Parse(rb, re, depth + 1);
    node.Kind = TExprKind::Binary;
    node.Op = op.Kind;
    node.MaybeNumber = (op.Kind == TOperatorKind::Add || op.Kind == TOperatorKind::Subtract ||
                        op.Kind == TOperatorKind::Multiply) &&
                       tree_.nodes_[node.First].MaybeNumber && tree_.nodes_[node.Second].MaybeNumber;
    return Add(node);
  }
  const std::size_t n = e - b;
  if (n >= 2 && t_[b] == '(' && t_[e - 1] == ')') {
    const auto [ib, ie] = Trim(b + 1, e - 1);
    return Parse(ib, ie, depth + 1);
  }
  const std::size_t paren = t_.substr(b, n).find('(');
  if (paren != std::string_view::npos && t_[e - 1] == ')') return Call(node, b + paren, depth);
  return Leaf(b, e);
}

std::uint32_t TExprParser::Leaf(std::size_t b, std::size_t e) {
  const std::string_view text = t_.substr(b, e - b);
  const auto found = leaves_.find(text);
  if (found != leaves_.end()) return found->second;
  TExpr node;
  node.Begin = static_cast<std::uint32_t>(b);
  node.Length = static_cast<std::uint32_t>(e - b);
  std::uint32_t id = 0;
  if (!text.empty() && text.front() == '"' && text.back() == '"') {
    id = StringLiteral(node);
  } else if (!text.empty() && IsFloatText(text, separator_)) {
    node.Kind = TExprKind::Constant;
    node.First = static_cast<std::uint32_t>(tree_.constants_.size());
    if (const auto i = TryStrToInt(text)) tree_.constants_.push_back(TValue::Integer(*i));
    else tree_.constants_.push_back(TValue::Double(*TryStrToFloat(text, separator_)));
    node.MaybeNumber = true;
    id = Add(node);
  } else if (!text.empty()) {
    node.Kind = TExprKind::Name;
    node.NameIndex = NameOf(b, e);
    node.MaybeNumber = true;
    id = Add(node);
  } else {
    id = Add(node);  // Empty
  }
  leaves_.emplace(text, id);
  return id;
}

std::uint32_t TExprParser::StringLiteral(TExpr node) {
  const std::size_t b = node.Begin, n = node.Length;
  if (n == 1) {
    node.Kind = TExprKind::InvalidString;
    return Add(node);
  }
  std::string s;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const char c = t_[b + i];
    if (c == '"') {
      if (i + 2 < n && t_[b + i + 1] == '"') {
        s += '"';
        ++i;
        continue;
      }
      node.Kind = TExprKind::InvalidString;
      return Add(node);
    }
    s += c;
  }
  node.Kind = TExprKind::Constant;
  node.First = static_cast<std::uint32_t>(tree_.constants_.size());
  // An empty literal is a one-element list holding the empty string.
  tree_.constants_.push_back(s.empty() ? TValue::List({TValue::String(std::string())})
                                       : TValue::String(std::move(s)));
  return Add(node);
}

std::uint32_t TExprParser::Call(TExpr node, std::size_t paren, int depth) {
  const std::size_t b = node.Begin, e = node.Begin + node.Length;
  const auto [nb, ne] = Trim(b, paren);
  node.Kind = TExprKind::Call;
  node.NameIndex = NameOf(nb, ne);
  const auto [ab, ae] = Trim(paren + 1, e - 1);
  std::vector<std::uint32_t> arguments;
  std::size_t start = ab;
  for (const std::size_t comma : Commas(ab, ae)) {
    const auto [pb, pe] = Trim(start, comma);
    arguments.push_back(Parse(pb, pe, depth + 1));
    start = comma + 1;
  }
  const auto [pb, pe] = Trim(start, ae);
  if (pb < pe) arguments.push_back(Parse(pb, pe, depth + 1));
  node.First = static_cast<std::uint32_t>(tree_.arguments_.size());
  node.Second = static_cast<std::uint32_t>(arguments.size());
  tree_.arguments_.insert(tree_.arguments_.end(), arguments.begin(), arguments.end());
  return Add(node);
}

std::uint32_t TExprParser::NameOf(std::size_t b, std::size_t e) {
  const std::string_view text = t_.substr(b, e - b);
  const auto found = names_.find(text);
  if (found != names_.end()) return found->second;
  TExprName name;
  name.Begin = static_cast<std::uint32_t>(b);
  name.Length = static_cast<std::uint32_t>(e - b);
  name.Upper = UpperCaseAscii(text);
  tree_.names_.push_back(std::move(name));
  const auto id = static_cast<std::uint32_t>(tree_.names_.size() - 1);
  names_.emplace(text, id);
  return id;
}

bool TExprParser::FindSplit(std::size_t b, std::size_t e, TSplit& split) {
  if (e - b <= scanLimit_) return ScanSplit(b, e, split);
  return IndexedSplit(b, e, split);
}

// For each level, the rightmost position outside strings at depth 0 where an
// operator of the level ends.
bool TExprParser::ScanSplit(std::size_t b, std::size_t e, TSplit& split) const {
  for (int level = 0; level < OperatorLevelCount(); ++level) {
    bool inString = false;
    int depth = 0;
    for (std::size_t pos = e; pos-- > b;) {
      const char c = t_[pos];
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
      if (depth != 0 || !EndsOperator(level, c)) continue;
      const int index = MatchAt(t_, level, pos, b, e);
      if (index < 0) continue;
      split = {level, index, pos + 1 - OperatorAt(level, index).Text.size()};
      return true;
    }
  }
  return false;
}

bool TExprParser::IndexedSplit(std::size_t b, std::size_t e, TSplit& split) {
  if (!indexed_) BuildIndex();
  const TState end = StateAt(e);
  const int parity = end.Parity;
  const std::int32_t depth = end.Depth[parity];
  const auto found = [&](int level, std::size_t pos) {
    const int index = MatchAt(t_, level, pos, b, e);
    if (index < 0) return false;
    split = {level, index, pos + 1 - OperatorAt(level, index).Text.size()};
    return true;
  };
  // A position near the start is a candidate when it is outside strings and
  // at depth 0 seen from e.
  const auto candidate = [&](int level, std::size_t pos) {
    const char c = t_[pos];
    if (IsStructural(c) || !EndsOperator(level, c)) return false;
    const TState at = StateAt(pos);
    return at.Parity == parity && at.Depth[parity] == depth;
  };
  for (int level = 0; level < OperatorLevelCount(); ++level) {
    // The last position sees the range's end as its right neighbour.
    const char last = t_[e - 1];
    if (!IsStructural(last) && EndsOperator(level, last) && found(level, e - 1)) return true;
    if (const auto* positions = Bucket(parity, level, depth)) {
      const auto it = std::lower_bound(positions->begin(), positions->end(), e - 1);
      if (it != positions->begin() && *(it - 1) >= b + kLongestOperator && found(level, *(it - 1))) return true;
    }
    for (std::size_t pos = std::min(b + kLongestOperator, e - 1); pos-- > b;)
      if (candidate(level, pos) && found(level, pos)) return true;
  }
  return false;
}

std::vector<std::size_t> TExprParser::Commas(std::size_t b, std::size_t e) {
  std::vector<std::size_t> commas;
  if (e - b <= scanLimit_) {
    bool inString = false;
    int depth = 0;
    for (std::size_t i = b; i < e; ++i) {
      const char c = t_[i];
      if (c == '"') inString = !inString;
      else if (inString) continue;
      else if (c == '(') ++depth;
      else if (c == ')') --depth;
      else if (c == ',' && depth == 0) commas.push_back(i);
    }
    return commas;
  }
  if (!indexed_) BuildIndex();
  const TState start = StateAt(b);
  if (const auto* positions = Bucket(start.Parity, kCommaLevel, start.Depth[start.Parity])) {
    for (auto it = std::lower_bound(positions->begin(), positions->end(), b); it != positions->end() && *it < e; ++it)
      commas.push_back(*it);
  }
  return commas;
}

void TExprParser::BuildIndex() {
  indexed_ = true;
  TState state;
  const std::size_t n = t_.size();
  checkpoints_.reserve(n / kCheckpointEvery + 1);
  for (std::size_t i = 0; i <= n; ++i) {
    if (i % kCheckpointEvery == 0) checkpoints_.push_back(state);
    if (i == n) break;
    const char c = t_[i];
    const int parity = state.Parity;
    if (c == '"') {
      state.Parity ^= 1;
    } else if (c == '(') {
      ++state.Depth[parity];
    } else if (c == ')') {
      --state.Depth[parity];
    } else if (c == ',') {
      buckets_[Key(parity, kCommaLevel, state.Depth[parity])].push_back(static_cast<std::uint32_t>(i));
    } else {
      for (int level = 0; level < OperatorLevelCount(); ++level)
        if (EndsOperator(level, c) && MatchAt(t_, level, i, 0, n) >= 0)
          buckets_[Key(parity, level, state.Depth[parity])].push_back(static_cast<std::uint32_t>(i));
    }
  }
}

TExprParser::TState TExprParser::StateAt(std::size_t pos) const {
  TState state = checkpoints_[pos / kCheckpointEvery];
  for (std::size_t i = pos - pos % kCheckpointEvery; i < pos; ++i) {
    const char c = t_[i];
    if (c == '"') state.Parity ^= 1;
    else if (c == '(') ++state.Depth[state.Parity];
    else if (c == ')') --state.Depth[state.Parity];
  }
  return state;
}

TExprTree::TExprTree(std::string text, char decimalSeparator, std::size_t scanLimit) : text_(std::move(text)) {
  TExprParser parser(*this, decimalSeparator, scanLimit);
  const std::string_view trimmed = TrimmedView(text_);
  const std::size_t b = static_cast<std::size_t>(trimmed.data() - text_.data());
  root_ = parser.Parse(b, b + trimmed.size(), 0);
}

const TExprTree& TExprCache::Get(std::string_view text, char decimalSeparator) {
  const auto it = trees_.find(TKey{text, decimalSeparator});
  if (it != trees_.end()) return *it->second;
  auto tree = std::make_unique<TExprTree>(std::string(text), decimalSeparator);
  const TExprTree& ref = *tree;
  trees_.emplace(TKey{ref.Text(), decimalSeparator}, std::move(tree));
  return ref;
}

}  // namespace tracemill
