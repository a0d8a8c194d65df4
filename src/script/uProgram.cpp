#include "script/uProgram.h"

#include <algorithm>
#include <initializer_list>

#include "common/uStrC.h"

namespace tracemill {

namespace {

// Structure messages (each followed by " on line " n ".").
constexpr const char* kSyntaxWhile = "Syntax error of WHILE statement";
constexpr const char* kSyntaxDo = "Syntax error of DO statement";
constexpr const char* kSyntaxFor = "Syntax error of FOR statement";
constexpr const char* kLoopMismatch = "Loop mismatch";
constexpr const char* kIfMismatch = "If block mismatch";
constexpr const char* kFunctionMismatch = "Function and EndFunction mismatch";
constexpr const char* kEndFunctionMismatch = "EndFunction mismatch";
constexpr const char* kMismatch = "Mismatch";
constexpr const char* kUnmatchedQuotation = "Unmatched quotation";
constexpr const char* kUnmatchedParentheses = "Unmatched parentheses";

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// The upper-cased line in which every byte inside a string literal is
// replaced by a placeholder, so that no keyword is found inside a string.
std::string MaskStrings(std::string_view s) {
  std::string u = UpperCaseAscii(s);
  bool inString = false;
  for (char& c : u) {
    if (c == '"') inString = !inString;
    else if (inString) c = 'X';
  }
  return u;
}

// A line cut into parts at separators (see TLineParts::Cut).
class TLineParts {
 public:
  TLineParts(std::string_view s, std::string_view u) : s_(s), u_(u) { parts_.push_back(Trimmed(0, s.size())); }

  // Cuts the first part that contains sep (searched in the masked text) at
  // its first occurrence; the piece from sep on becomes a new part.
  void Cut(std::string_view sep) {
    for (std::size_t i = 0; i < parts_.size(); ++i) {
      const auto [b, e] = parts_[i];
      const std::size_t pos = u_.substr(b, e - b).find(sep);
      if (pos == std::string_view::npos) continue;
      parts_[i] = Trimmed(b, b + pos);
      parts_.insert(parts_.begin() + static_cast<std::ptrdiff_t>(i) + 1, Trimmed(b + pos, e));
      return;
    }
  }

  // The trimmed text after prefix of the part that starts with prefix
  // (upper-cased); found tells whether there is one.
  std::string After(std::string_view prefix, bool& found) const {
    for (const auto& [b, e] : parts_) {
      if (StartsWith(u_.substr(b, e - b), prefix)) {
        found = true;
        return std::string(TrimmedView(s_.substr(b + prefix.size(), e - b - prefix.size())));
      }
    }
    found = false;
    return std::string();
  }

 private:
  std::pair<std::size_t, std::size_t> Trimmed(std::size_t b, std::size_t e) const {
    while (b < e && static_cast<unsigned char>(s_[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s_[e - 1]) <= ' ') --e;
    return {b, e};
  }
  std::string_view s_, u_;
  std::vector<std::pair<std::size_t, std::size_t>> parts_;
};

struct TLoopConditions {
  std::string Until, Max;
  bool Both = false;
};

TLoopConditions CutLoopLine(std::string_view s, std::string_view u) {
  TLineParts parts(s, u);
  parts.Cut(" WHILE ");
  parts.Cut(" UNTIL ");
  parts.Cut(" MAX ");
  TLoopConditions c;
  bool hasWhile = false, hasUntil = false, hasMax = false;
  const std::string whileCond = parts.After("WHILE ", hasWhile);
  const std::string untilCond = parts.After("UNTIL ", hasUntil);
  c.Max = parts.After("MAX ", hasMax);
  c.Both = hasWhile && hasUntil;
  c.Until = hasWhile ? "not(" + whileCond + ")" : untilCond;
  return c;
}

void FirstWord(std::string_view s, std::string& upperWord, std::string_view& rest) {
  const std::size_t blank = s.find(' ');
  upperWord = UpperCaseAscii(s.substr(0, blank));
  rest = blank == std::string_view::npos ? std::string_view() : TrimmedView(s.substr(blank));
}

}  // namespace

TProgram::TProgram(std::string_view text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines_.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c == '\t' ? ' ' : c;
    }
  }
  if (!line.empty()) lines_.push_back(std::move(line));
  frames_.assign(lines_.size(), TFrameInfo{});
  PassComments();
  PassBlocks();
  if (!error_) PassExits();
  if (!error_) PassStatements();
}

const TFunctionBlock* TProgram::FindFunction(std::string_view upperName) const {
  if (functions_.empty()) return nullptr;
  const auto it = functionIndex_.find(upperName);
  return it == functionIndex_.end() ? nullptr : &functions_[static_cast<std::size_t>(it->second)];
}

void TProgram::Fail(const std::string& what, int line) {
  if (error_) return;
  error_ = true;
  message_ = what + " on line " + std::to_string(line + 1) + ".";
}

void TProgram::PassComments() {
  for (int n = 0; n < LineCount(); ++n) {
    const std::string s = UpperCaseAscii(Trim(lines_[static_cast<std::size_t>(n)]));
    if (StartsWith(s, "'") || StartsWith(s, "//") || (StartsWith(s, "REM") && (s.size() == 3 || s[3] == ' ')))
      frames_[static_cast<std::size_t>(n)] = {TFrameKind::Comment, -1};
  }
}

// Pass 2 keeps the lines of the open DO, FOR, IF/ELSEIF/ELSE and FUNCTION
// blocks on a stack; each keyword line opens, continues or closes a block.
void TProgram::PassBlocks() {
  std::vector<int> open;
  for (int n = 0; n < LineCount() && !error_; ++n) {
    if (Frame(n).Kind != TFrameKind::None) continue;
    const std::string_view s = TrimmedView(Line(n));
    std::string word;
    std::string_view rest;
    FirstWord(s, word, rest);
    if (word == "DO") OpenDo(n, s, open);
    else if (word == "LOOP") CloseDo(n, s, open);
    else if (word == "FOR") OpenFor(n, s, open);
    else if (word == "NEXT") CloseFor(n, open);
    else if (word == "IF") OpenIf(n, rest, open);
    else if (word == "ELSEIF" || word == "ELSE") NextBranch(n, word == "ELSE", rest, open);
    else if (word == "ENDIF") CloseIf(n, open);
    else if (word == "FUNCTION") OpenFunction(n, rest, open);
    else if (word == "ENDFUNCTION") CloseFunction(n, open);
  }
  if (!error_ && !open.empty()) Fail(kMismatch, open.back());
}

bool TProgram::TopIs(const std::vector<int>& open, std::initializer_list<TFrameKind> kinds) const {
  if (open.empty()) return false;
  const TFrameKind top = Frame(open.back()).Kind;
  return std::find(kinds.begin(), kinds.end(), top) != kinds.end();
}

void TProgram::OpenDo(int n, std::string_view s, std::vector<int>& open) {
  const TLoopConditions c = CutLoopLine(s, MaskStrings(s));
  if (c.Both) return Fail(kSyntaxWhile, n);
  TDoLoop loop;
  loop.DoLine = n;
  loop.DoUntil = c.Until;
  loop.DoMax = c.Max;
  doLoops_.push_back(std::move(loop));
  frames_[static_cast<std::size_t>(n)] = {TFrameKind::Do, static_cast<int>(doLoops_.size()) - 1};
  open.push_back(n);
}

void TProgram::CloseDo(int n, std::string_view s, std::vector<int>& open) {
  if (!TopIs(open, {TFrameKind::Do})) return Fail(kLoopMismatch, n);
  const TLoopConditions c = CutLoopLine(s, MaskStrings(s));
  if (c.Both) return Fail(kSyntaxDo, n);
  const int index = Frame(open.back()).Index;
  TDoLoop& loop = doLoops_[static_cast<std::size_t>(index)];
  loop.LoopLine = n;
  loop.LoopUntil = c.Until;
  loop.LoopMax = c.Max;
  frames_[static_cast<std::size_t>(n)] = {TFrameKind::Loop, index};
  open.pop_back();
}

void TProgram::OpenFor(int n, std::string_view s, std::vector<int>& open) {
  const std::string u = MaskStrings(s);
  TLineParts parts(s, u);
  parts.Cut("=");
  parts.Cut(" TO ");
  parts.Cut(" STEP ");
  parts.Cut(" MAX ");
  TForLoop loop;
  bool hasVar = false, hasStart = false, hasLimit = false, hasStep = false, hasMax = false;
  loop.Variable = parts.After("FOR ", hasVar);
  loop.Start = parts.After("=", hasStart);
  loop.Limit = parts.After("TO ", hasLimit);
  const std::string step = parts.After("STEP ", hasStep);
  loop.Max = parts.After("MAX ", hasMax);
  if (loop.Variable.empty() || loop.Start.empty() || loop.Limit.empty()) return Fail(kSyntaxFor, n);
  if (!step.empty()) loop.Step = step;
  loop.UpperVariable = UpperCaseAscii(loop.Variable);
  loop.ForLine = n;
  forLoops_.push_back(std::move(loop));
  frames_[static_cast<std::size_t>(n)] = {TFrameKind::For, static_cast<int>(forLoops_.size()) - 1};
  open.push_back(n);
}

void TProgram::CloseFor(int n, std::vector<int>& open) {
  if (!TopIs(open, {TFrameKind::For})) return Fail(kLoopMismatch, n);
  const int index = Frame(open.back()).Index;
  forLoops_[static_cast<std::size_t>(index)].NextLine = n;
  frames_[static_cast<std::size_t>(n)] = {TFrameKind::Next, index};
  open.pop_back();
}

void TProgram::OpenIf(int n, std::string_view condition, std::vector<int>& open) {
  ifBlocks_.push_back({-1, std::string(condition), {}});
  frames_[static_cast<std::size_t>(n)] = {TFrameKind::If, static_cast<int>(ifBlocks_.size()) - 1};
  open.push_back(n);
}

void TProgram::NextBranch(int n, bool isElse, std::string_view condition, std::vector<int>& open) {
  if (!TopIs(open, {TFrameKind::If, TFrameKind::ElseIf})) return Fail(kIfMismatch, n);
  ifBlocks_[static_cast<std::size_t>(Frame(open.back()).Index)].NextBranch = n;
  ifBlocks_.push_back({-1, isElse ? std::string() : std::string(condition), {}});
  frames_[static_cast<std::size_t>(n)] = {isElse ? TFrameKind::Else : TFrameKind::ElseIf,
                                          static_cast<int>(ifBlocks_.size()) - 1};
  open.back() = n;
}

void TProgram::CloseIf(int n, std::vector<int>& open) {
  if (!TopIs(open, {TFrameKind::If, TFrameKind::ElseIf, TFrameKind::Else})) return Fail(kIfMismatch, n);
  ifBlocks_[static_cast<std::size_t>(Frame(open.back()).Index)].NextBranch = n;
  frames_[static_cast<std::size_t>(n)] = {TFrameKind::EndIf, -1};
  open.pop_back();
}

void TProgram::OpenFunction(int n, std::string_view rest, std::vector<int>& open) {
  TFunctionBlock f;
  const std::size_t paren = rest.find('(');
  if (paren != std::string_view::npos) {
    f.Name = std::string(TrimmedView(rest.substr(0, paren)));
    std::string_view params = TrimmedView(rest.substr(paren + 1));
    if (!params.empty()) params.remove_suffix(1);
    for (std::string_view p : SplitArguments(params)) {
      f.Parameters.emplace_back(p);
      f.UpperParameters.push_back(UpperCaseAscii(p));
    }
  } else {
    f.Name = std::string(rest);
  }
  f.FunctionLine = n;
  functions_.push_back(std::move(f));
  const int index = static_cast<int>(functions_.size()) - 1;
  functionIndex_.emplace(UpperCaseAscii(functions_.back().Name), index);
  frames_[static_cast<std::size_t>(n)] = {TFrameKind::Function, index};
  open.push_back(n);
}

void TProgram::CloseFunction(int n, std::vector<int>& open) {
  if (open.empty()) return Fail(kFunctionMismatch, n);
  if (!TopIs(open, {TFrameKind::Function})) return Fail(kEndFunctionMismatch, n);
  const int index = Frame(open.back()).Index;
  functions_[static_cast<std::size_t>(index)].EndFunctionLine = n;
  frames_[static_cast<std::size_t>(n)] = {TFrameKind::EndFunction, index};
  open.pop_back();
}

void TProgram::PassExits() {
  std::vector<TFrameInfo> open;  // FOR, DO and FUNCTION blocks
  for (int n = 0; n < LineCount(); ++n) {
    TFrameInfo& frame = frames_[static_cast<std::size_t>(n)];
    switch (frame.Kind) {
      case TFrameKind::For:
      case TFrameKind::Do:
      case TFrameKind::Function: open.push_back(frame); continue;
      case TFrameKind::Next:
      case TFrameKind::Loop:
      case TFrameKind::EndFunction:
        if (!open.empty()) open.pop_back();
        continue;
      case TFrameKind::None: break;
      default: continue;
    }
    std::string word;
    std::string_view rest;
    FirstWord(TrimmedView(lines_[static_cast<std::size_t>(n)]), word, rest);
    if (word == "RESULT") {
      TResultStatement r;
      for (std::string_view e : SplitArguments(rest)) r.Expressions.emplace_back(e);
      r.Trees.resize(r.Expressions.size());
      results_.push_back(std::move(r));
      frame = {TFrameKind::Result, static_cast<int>(results_.size()) - 1};
    } else if (word == "EXIT") {
      if (open.empty()) {
        frame = {TFrameKind::ExitProgram, -1};
      } else {
        const TFrameInfo& top = open.back();
        const TFrameKind kind = top.Kind == TFrameKind::For  ? TFrameKind::ExitFor
                                : top.Kind == TFrameKind::Do ? TFrameKind::ExitDo
                                                             : TFrameKind::ExitFunction;
        frame = {kind, top.Index};
      }
    } else if (word == "END") {
      frame = {TFrameKind::End, -1};
    }
  }
}

void TProgram::PassStatements() {
  for (int n = 0; n < LineCount() && !error_; ++n) {
    TFrameInfo& frame = frames_[static_cast<std::size_t>(n)];
    if (frame.Kind != TFrameKind::None) continue;
    const std::string_view s = TrimmedView(lines_[static_cast<std::size_t>(n)]);
    bool inString = false;
    int depth = 0;
    std::size_t equals = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const char c = s[i];
      if (c == '"') inString = !inString;
      else if (inString) continue;
      else if (c == '(') ++depth;
      else if (c == ')') --depth;
      else if (c == '=' && depth == 0) equals = i;
    }
    if (inString) return Fail(kUnmatchedQuotation, n);
    if (depth != 0) return Fail(kUnmatchedParentheses, n);
    TLetStatement let;
    if (equals == std::string_view::npos) {
      let.Expression = std::string(s);
    } else {
      let.Target = std::string(TrimmedView(s.substr(0, equals)));
      let.Expression = std::string(TrimmedView(s.substr(equals + 1)));
      for (std::string_view t : SplitArguments(let.Target)) {
        TTarget target;
        target.Text = std::string(t);
        target.UpperText = UpperCaseAscii(t);
        const std::size_t paren = t.find('(');
        if (paren != std::string_view::npos && t.back() == ')') {
          target.Indexed = true;
          target.Name = std::string(TrimmedView(t.substr(0, paren)));
          for (std::string_view a : SplitArguments(t.substr(paren + 1, t.size() - paren - 2)))
            target.Arguments.emplace_back(a);
        }
        let.Targets.push_back(std::move(target));
      }
    }
    lets_.push_back(std::move(let));
    frame = {TFrameKind::Let, static_cast<int>(lets_.size()) - 1};
  }
}

}  // namespace tracemill
