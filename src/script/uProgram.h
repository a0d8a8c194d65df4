#pragma once
// The compiled form of a report program: its lines, the record of every line
// and the block records, made by four passes over the text. A compiled
// program never changes, so one copy is shared by the interpreter that loaded
// it and by every interpreter that its FUNCTION calls create.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/uExpression.h"

namespace tracemill {

enum class TFrameKind : std::uint8_t {
  Do = 0,
  ExitDo = 1,
  Loop = 2,
  For = 3,
  ExitFor = 4,
  Next = 5,
  If = 6,
  ElseIf = 7,
  Else = 8,
  EndIf = 9,
  Let = 10,
  Function = 11,
  Result = 12,
  ExitFunction = 13,
  EndFunction = 14,
  ExitProgram = 15,
  End = 16,
  Comment = 17,
  None = 255
};

struct TFrameInfo {
  TFrameKind Kind = TFrameKind::None;
  int Index = -1;  // into the list of its kind's records
};

struct TDoLoop {
  int DoLine = -1, LoopLine = -1;
  std::string DoUntil, LoopUntil;  // until-conditions ("" when absent)
  std::string DoMax, LoopMax;      // maxima ("" when absent)
};

struct TForLoop {
  int ForLine = -1, NextLine = -1;
  std::string Variable;
  std::string UpperVariable;  // Variable upper-cased, for the table lookup
  std::string Start, Step = "1", Limit, Max;
};

struct TIfBlock {
  int NextBranch = -1;   // the following ELSEIF, ELSE or ENDIF line
  std::string Condition;  // empty for ELSE
  mutable TTreeSlot ConditionTree;
};

// One assignment target, split once: Name with argument texts when written
// as name(arguments), else the whole text.
struct TTarget {
  std::string Text;                   // as written
  std::string Name;                   // text before "(" (trimmed) when indexed
  std::vector<std::string> Arguments;  // argument texts when indexed
  bool Indexed = false;
  std::string UpperText;     // Text upper-cased, for the table lookup
  mutable TSlotCache Slot;   // where Text was last found
};

struct TLetStatement {
  std::string Target;      // empty for an expression statement
  std::string Expression;
  std::vector<TTarget> Targets;
  mutable TTreeSlot ExpressionTree;
};

struct TFunctionBlock {
  std::string Name;
  std::vector<std::string> Parameters;
  std::vector<std::string> UpperParameters;  // upper-cased, for the table
  int FunctionLine = -1, EndFunctionLine = -1;
};

struct TResultStatement {
  std::vector<std::string> Expressions;
  mutable std::vector<TTreeSlot> Trees;  // one per expression
};

class TProgram {
 public:
  // Compiles text: tabs become blanks, lines end at CR LF, LF or CR.
  explicit TProgram(std::string_view text);

  bool HasError() const { return error_; }
  const std::string& ErrorMessage() const { return message_; }

  int LineCount() const { return static_cast<int>(lines_.size()); }
  const std::string& Line(int i) const { return lines_[static_cast<std::size_t>(i)]; }
  const TFrameInfo& Frame(int i) const { return frames_[static_cast<std::size_t>(i)]; }

  const std::vector<TDoLoop>& DoLoops() const { return doLoops_; }
  const std::vector<TForLoop>& ForLoops() const { return forLoops_; }
  bool HasLoops() const { return !doLoops_.empty() || !forLoops_.empty(); }
  const std::vector<TIfBlock>& IfBlocks() const { return ifBlocks_; }
  const std::vector<TLetStatement>& Lets() const { return lets_; }
  const std::vector<TFunctionBlock>& Functions() const { return functions_; }
  const std::vector<TResultStatement>& Results() const { return results_; }
  // The function of that upper-cased name (the first one defined), or nullptr.
  const TFunctionBlock* FindFunction(std::string_view upperName) const;

  // The split form of an expression text of this program.
  const TExprTree& Expression(std::string_view text, char decimalSeparator) const {
    return cache_.Get(text, decimalSeparator);
  }
  // The same, remembered in a statement's slot.
  const TExprTree& Expression(std::string_view text, char decimalSeparator, TTreeSlot& slot) const {
    if (slot.Tree == nullptr || slot.Separator != decimalSeparator) {
      slot.Tree = &cache_.Get(text, decimalSeparator);
      slot.Separator = decimalSeparator;
    }
    return *slot.Tree;
  }

 private:
  void Fail(const std::string& what, int line);
  void PassComments();
  void PassBlocks();
  // The block keywords of pass 2; open holds the lines of the open blocks.
  bool TopIs(const std::vector<int>& open, std::initializer_list<TFrameKind> kinds) const;
  void OpenDo(int n, std::string_view line, std::vector<int>& open);
  void CloseDo(int n, std::string_view line, std::vector<int>& open);
  void OpenFor(int n, std::string_view line, std::vector<int>& open);
  void CloseFor(int n, std::vector<int>& open);
  void OpenIf(int n, std::string_view condition, std::vector<int>& open);
  void NextBranch(int n, bool isElse, std::string_view condition, std::vector<int>& open);
  void CloseIf(int n, std::vector<int>& open);
  void OpenFunction(int n, std::string_view rest, std::vector<int>& open);
  void CloseFunction(int n, std::vector<int>& open);
  void PassExits();
  void PassStatements();

  std::vector<std::string> lines_;
  std::vector<TFrameInfo> frames_;
  std::vector<TDoLoop> doLoops_;
  std::vector<TForLoop> forLoops_;
  std::vector<TIfBlock> ifBlocks_;
  std::vector<TLetStatement> lets_;
  std::vector<TFunctionBlock> functions_;
  std::vector<TResultStatement> results_;
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
  };
  std::unordered_map<std::string, int, Hash, std::equal_to<>> functionIndex_;
  bool error_ = false;
  std::string message_;
  mutable TExprCache cache_;
};

}  // namespace tracemill
