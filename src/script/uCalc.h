#pragma once
// TCalc: the interpreter of the report language. SetProgram compiles a text,
// Reset and Run execute it line by line; errors set a flag and a message
// (the first message wins) and stop the run after the current statement.
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "script/uBuiltin.h"
#include "script/uProgram.h"
#include "script/uVariable.h"

namespace tracemill {

class TExternalLibraries;

// The host function: (name as written, arguments, result to fill, handled).
// Sets handled when it knows the name; returns success.
using THostFunction =
    std::function<bool(const std::string& name, const TValue& arguments, TValue& result, bool& handled)>;

// Deepest nesting of user FUNCTION calls.
constexpr int kMaxFunctionDepth = 1000;

class TCalc final : public TBuiltinContext {
 public:
  // An interpreter with the process's format settings and interface language
  // as they are now (TScriptEnvironment::FromProcess()).
  TCalc();
  explicit TCalc(TScriptEnvironment environment);
  ~TCalc() override;
  TCalc(const TCalc&) = delete;
  TCalc& operator=(const TCalc&) = delete;

  // Assignment hooks, passed on to the variable table by SetVariables.
  TVariableSet::TBeforeAssign OnBeforeAssign;
  TVariableSet::TAfterAssign OnAfterAssign;

  // Compiles the text; HasError/ErrorMessage then tell whether it is well
  // formed ("... on line n.").
  void SetProgram(std::string_view text);
  // The table holding the program's variables; not owned, must outlive the
  // interpreter or be replaced first. Installs the interpreter's error hook.
  void SetVariables(TVariableSet* table);
  void SetHostFunction(THostFunction function);
  // The default maximum pass count of FOR and DO loops (100 after creation).
  void SetMaxLoopCount(int n);
  // Loads every "*.so" of the folder that exports "ExternalFunction"; an
  // empty folder releases the libraries.
  void SetExternalFolder(const std::string& folder);
  // The built-in library consulted last (StandardBuiltins() by default).
  void SetBuiltins(const TBuiltinLibrary* library) { builtins_ = library; }
  // Formats, interface language, platform services, memory budget and random
  // seed of the runs that follow; conversions, operators and built-ins read
  // nothing else. FUNCTION calls share their caller's.
  void SetEnvironment(TScriptEnvironment environment);

  // Limits the number of steps a run may take, FUNCTION calls and the
  // iterations of EVALUATE and CITE included; a run that needs more stops
  // with "Step limit reached". 0: no limit.
  void SetStepLimit(std::int64_t steps);

  void Reset();
  void Run();
  void Step();

  bool HasError() const override { return error_; }
  const std::string& ErrorMessage() const { return message_; }
  bool Finished() const { return finished_; }
  // After an error: for a failing statement the 1-based number of its line.
  int NextLine() const { return next_; }
  const TValue& FunctionResult() const { return functionResult_; }

  // Evaluates an expression text as a statement does: the trimmed text, a
  // one-element list unwrapped, escaping failures turned into messages.
  TValue Evaluate(std::string_view text);
  // Evaluates an expression text without unwrapping.
  TValue ParseExpression(std::string_view text);
  // The call dispatcher: user FUNCTION, host, external libraries, EVALUATE
  // and CITE, built-ins. Returns success.
  bool CallFunction(std::string_view name, const TValue& arguments, TValue& result);

  // TBuiltinContext
  const TScriptEnvironment& Environment() const override { return run_->Environment; }
  std::mt19937_64& RandomGenerator() override { return run_->Random; }
  void SetError(const std::string& message) override;

 private:
  // The environment of the runs and what they use of it: the random
  // sequence, the memory budget and the steps.
  struct TRunState {
    explicit TRunState(TScriptEnvironment environment);
    TScriptEnvironment Environment;
    std::mt19937_64 Random;
    TMemoryBudget Budget;
    std::int64_t StepLimit = 0;  // 0: none
    std::int64_t StepsLeft = 0;
  };
  struct TDoState {
    int Counter = 0, Maximum = 0;
  };
  struct TForState {
    int Counter = 0, Maximum = 0;
    TValue Step, Limit;
    TSlotCache Slot;
  };
  // The loop counters of one running body: the program or one FUNCTION call.
  struct TLoopStates {
    std::vector<TDoState> Do;
    std::vector<TForState> For;
  };
  // What a FUNCTION call puts aside of its caller while its body runs.
  struct TCallerFrame {
    TVariableSet* Variables;
    int Current, Next;
    bool Finished;
    TValue Result;
    TLoopStates Loops;
  };

  void Attach(TVariableSet* table);
  void Detach();
  // Counts one step against the step limit; false (with the error set) when
  // the limit is reached.
  bool CountStep() { return run_->StepLimit <= 0 || --run_->StepsLeft >= 0 || StepLimitReached(); }
  bool StepLimitReached();
  // Whether a value being built of bytes still fits the memory budget; false
  // (with the error set, naming what) when it does not.
  bool FitsBudget(std::size_t bytes, std::string_view what);
  // Counters for every loop of the program, all 0.
  void ResetLoops(TLoopStates& loops) const;
  // A FUNCTION body runs as a frame of this interpreter: Enter puts the
  // caller's frame aside and starts the body at firstLine with the table
  // locals; Leave brings the caller's frame back.
  TCallerFrame EnterFrame(TVariableSet& locals, int firstLine);
  void LeaveFrame(TCallerFrame& caller);
  // A statement's expression; unwrap false keeps a one-element list whole.
  TValue EvaluateTree(const TExprTree& tree, std::string_view text, bool unwrap = true);
  TValue Evaluate(const std::string& text, TTreeSlot& slot, bool unwrap = true) {
    const char separator = run_->Environment.Format.DecimalSeparator;
    const TExprTree& tree = slot.Tree && slot.Separator == separator ? *slot.Tree
                                                                      : program_->Expression(text, separator, slot);
    return EvaluateTree(tree, text, unwrap);
  }
  TValue EvalNode(const TExprTree& tree, const TExpr& node);
  // The value of a literal or an existing variable without copying it.
  const TValue* Peek(const TExprTree& tree, const TExpr& node);
  // Integer and Double arithmetic of literals and existing variables with
  // "+", "-" and "*", computed without building values; false (with nothing
  // evaluated that has effects) when the general evaluation is needed.
  struct TNumber {
    bool IsInteger;
    std::int32_t Integer;
    double Real;
  };
  bool EvalNumber(const TExprTree& tree, const TExpr& node, TNumber& out);
  bool ApplyNumberTree(const TExprTree& tree, const TExpr& binary, TValue& result);
  TValue EvalBinary(const TExprTree& tree, const TExpr& node);
  TValue EvalCall(const TExprTree& tree, const TExpr& node);
  TValue EvalName(const TExprTree& tree, const TExpr& node);
  TValue EvalArguments(const TExprTree& tree, const TExpr& call);
  const TValue* ReadVariable(std::string_view upperName, TSlotCache* slot);
  bool ElementName(std::string_view name, const TValue& args, std::string& out);
  bool CallFunctionAt(std::string_view name, std::string_view upperName, const TValue& arguments, TValue& result,
                      std::string_view callText);
  // Runs FUNCTION f with the argument values (bound to its parameters in
  // order); false when it failed.
  bool CallUserFunction(const TFunctionBlock& f, std::string_view name, const TValue* values, std::size_t count,
                        TValue& result);
  // The program's FUNCTION that a call of name runs ahead of every other
  // handler, or nullptr (also for EVALUATE and CITE, which come after it).
  const TFunctionBlock* UserFunction(const TExprName& name) const {
    if (name.Function == TExprName::kUnknownFunction) ResolveFunction(name);
    return name.Function < 0 ? nullptr : &program_->Functions()[static_cast<std::size_t>(name.Function)];
  }
  void ResolveFunction(const TExprName& name) const;
  // A call of a user FUNCTION whose arguments go straight to its parameters.
  TValue EvalUserCall(const TExprTree& tree, const TExpr& node, const TFunctionBlock& f);
  TValue TargetArguments(const TTarget& target);
  TValue CallEvaluate(const TValue& args);
  TValue CallCite(const TValue& args);
  int LoopMaximum(const std::string& text);
  bool ConditionTrue(const std::string& text);
  void Assign(const TTarget& target, TValue&& value);
  void StepLine(const TFrameInfo& frame);
  void StepLet(const TLetStatement& let);
  void StepIf(int line);
  void StepDo(std::size_t index);
  void StepLoop(std::size_t index);
  void StepResult(const TResultStatement& result);
  // The ENDIF line of the IF block whose branch starts at line.
  int EndOfIf(int line) const;
  // The line that a line which evaluates nothing leads to, or -1 for a line
  // that does work.
  int PassOn(const TFrameInfo& frame, int line) const;
  void StepFor(int index);
  void StepNext(int index);
  void SetVariable(const std::string& name, const TValue& value);
  void SetReadOnly(const std::string& name, bool flag);

  std::shared_ptr<const TProgram> program_;
  TVariableSet ownVariables_;
  TVariableSet* variables_ = nullptr;
  THostFunction host_;
  const TBuiltinLibrary* builtins_;
  std::string externalFolder_;
  std::shared_ptr<TExternalLibraries> libraries_;
  TLoopStates loops_;
  int current_ = 0, next_ = 0;
  int maxLoopCount_ = 100;
  int functionDepth_ = 0;
  bool error_ = false, finished_ = false;
  std::string message_;
  TValue functionResult_;
  std::unique_ptr<TRunState> run_;
  // The variable tables and loop counters of the FUNCTION calls at each
  // depth, kept for the next call at that depth.
  std::vector<std::unique_ptr<TVariableSet>> callTables_;
  std::vector<TLoopStates> callLoops_;
};

}  // namespace tracemill
