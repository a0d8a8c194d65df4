#include "script/uCalc.h"

#include <pthread.h>

#include <algorithm>
#include <new>

#include "common/uStrC.h"
#include "script/uCalcShared.h"
#include "script/uExternal.h"
#include "script/uOperator.h"

namespace tracemill {

namespace calc_detail {

// Stack reserve: an evaluation that finds less free stack than this below
// its frame stops with an error instead of overflowing. Sanitizer builds use
// far bigger frames.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kStackReserve = 1536 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr std::size_t kStackReserve = 1536 * 1024;
#else
constexpr std::size_t kStackReserve = 256 * 1024;
#endif
#else
constexpr std::size_t kStackReserve = 256 * 1024;
#endif

void InitStackLimit() {
  if (tStackLimit != 0) return;
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
  void* addr = nullptr;
  std::size_t size = 0;
  if (pthread_attr_getstack(&attr, &addr, &size) == 0 && size > kStackReserve)
    tStackLimit = reinterpret_cast<std::uintptr_t>(addr) + kStackReserve;
  pthread_attr_destroy(&attr);
}

}  // namespace calc_detail

using namespace calc_detail;

namespace {

// The lines that evaluate nothing: ELSEIF and ELSE reached from the branch
// before, ENDIF, FUNCTION run through, the ends and exits of functions and
// of the program, comments.
bool PassesOn(TFrameKind kind) {
  return kind >= TFrameKind::ElseIf && kind != TFrameKind::Let && kind != TFrameKind::Result;
}

}  // namespace

TCalc::TRunState::TRunState(TScriptEnvironment environment)
    : Environment(std::move(environment)), Budget(Environment.MemoryBudget) {
  std::uint64_t seed = Environment.RandomSeed;
  if (seed == 0) {
    std::random_device device;
    seed = (std::uint64_t{device()} << 32) ^ device();
  }
  Random.seed(seed);
}

TCalc::TCalc() : TCalc(TScriptEnvironment::FromProcess()) {}

TCalc::TCalc(TScriptEnvironment environment)
    : program_(std::make_shared<TProgram>(std::string_view())),
      builtins_(&StandardBuiltins()),
      run_(std::make_unique<TRunState>(std::move(environment))) {
  InitStackLimit();
  Attach(&ownVariables_);
}

void TCalc::SetEnvironment(TScriptEnvironment environment) {
  auto run = std::make_unique<TRunState>(std::move(environment));
  run->StepLimit = run_->StepLimit;
  run->StepsLeft = run_->StepsLeft;
  TVariableSet* table = variables_;
  Detach();
  run_ = std::move(run);
  Attach(table);
}

TCalc::~TCalc() { Detach(); }

void TCalc::Attach(TVariableSet* table) {
  variables_ = table;
  variables_->OnError = [this](TVariableSet&, const std::string& message) { SetError(message); };
  if (OnBeforeAssign) variables_->OnBeforeAssign = OnBeforeAssign;
  if (OnAfterAssign) variables_->OnAfterAssign = OnAfterAssign;
  variables_->SetBudget(&run_->Budget);
}

void TCalc::Detach() {
  // The table may outlive the interpreter: leave no hook pointing at it.
  if (!variables_) return;
  variables_->OnError = nullptr;
  variables_->SetBudget(nullptr);
}

bool TCalc::StepLimitReached() {
  SetError(kStepLimit);
  return false;
}

bool TCalc::FitsBudget(std::size_t bytes, std::string_view what) {
  if (run_->Budget.Fits(bytes)) return true;
  SetError(Joined(kBudgetExceeded, what));
  return false;
}

void TCalc::SetProgram(std::string_view text) {
  program_ = std::make_shared<TProgram>(text);
  error_ = program_->HasError();
  message_ = program_->ErrorMessage();
  ResetLoops(loops_);
}

void TCalc::ResetLoops(TLoopStates& loops) const {
  loops.Do.assign(program_->DoLoops().size(), TDoState{});
  loops.For.assign(program_->ForLoops().size(), TForState{});
}

void TCalc::SetVariables(TVariableSet* table) {
  Detach();
  Attach(table ? table : &ownVariables_);
}

void TCalc::SetHostFunction(THostFunction function) { host_ = std::move(function); }

void TCalc::SetMaxLoopCount(int n) {
  maxLoopCount_ = n;
  // Compiling again gives the same records; it also clears a run's error.
  error_ = program_->HasError();
  message_ = program_->ErrorMessage();
}

void TCalc::SetExternalFolder(const std::string& folder) {
  libraries_.reset();
  externalFolder_ = folder;
  if (folder.empty()) return;
  std::string path = folder;
  if (path.back() != '/') path += '/';
  libraries_ = std::make_shared<TExternalLibraries>(path);
}

void TCalc::SetError(const std::string& message) {
  error_ = true;
  if (message_.empty()) message_ = message;
}

void TCalc::SetStepLimit(std::int64_t steps) {
  run_->StepLimit = steps > 0 ? steps : 0;
  run_->StepsLeft = run_->StepLimit;
}

void TCalc::Reset() {
  if (functionDepth_ == 0) run_->StepsLeft = run_->StepLimit;
  current_ = 0;
  next_ = 0;
  error_ = false;
  message_.clear();
  finished_ = program_->LineCount() == 0;
}

void TCalc::Run() {
  const TProgram& p = *program_;
  const int lines = p.LineCount();
  while (!finished_ && !error_) {
    Step();
    // Lines that evaluate nothing and only pass on (ENDIF, ELSE after its
    // branch, comments, a FUNCTION block run through, ENDFUNCTION, END,
    // EXIT) are followed here rather than stepped through; they all lead
    // forward.
    while (!finished_ && !error_ && next_ >= 0 && next_ < lines) {
      const TFrameInfo& frame = p.Frame(next_);
      if (!PassesOn(frame.Kind)) break;
      const int to = PassOn(frame, next_);
      current_ = next_;
      next_ = to;
      finished_ = next_ >= lines;
    }
  }
}

// ---- statements ----

void TCalc::Step() {
  const TProgram& p = *program_;
  if (p.HasError()) {
    // A program that did not compile is never run, even after a Reset.
    SetError(p.ErrorMessage());
    return;
  }
  current_ = next_;
  const int lines = p.LineCount();
  if (current_ < 0 || current_ >= lines) {
    finished_ = true;
    return;
  }
  next_ = current_ + 1;
  if (!CountStep()) return;
  try {
    StepLine(p.Frame(current_));
  } catch (const ConvertError&) {
    SetError(Joined(kConvertError, TrimmedView(program_->Line(current_))));
  } catch (const VariantError&) {
    SetError(Joined(kConvertError, TrimmedView(program_->Line(current_))));
  } catch (const InvalidOperation&) {
    SetError(Joined(kInvalidOperation, TrimmedView(program_->Line(current_))));
  } catch (const DivisionByZero&) {
    SetError(Joined(kDivisionByZero, TrimmedView(program_->Line(current_))));
  } catch (const ArithmeticOverflow&) {
    SetError(Joined(kOverflow, TrimmedView(program_->Line(current_))));
  } catch (const StringListError&) {
    SetError(Joined(kStringListError, TrimmedView(program_->Line(current_))));
  } catch (const std::bad_alloc&) {
    SetError(Joined(kOutOfMemory, TrimmedView(program_->Line(current_))));
  } catch (const std::exception& e) {
    SetError(e.what());
  }
  if (next_ >= lines && !error_) finished_ = true;
}

int TCalc::PassOn(const TFrameInfo& frame, int line) const {
  const TProgram& p = *program_;
  const auto index = static_cast<std::size_t>(frame.Index);
  switch (frame.Kind) {
    case TFrameKind::EndIf:
    case TFrameKind::Comment:
    case TFrameKind::None: return line + 1;
    case TFrameKind::ElseIf:
    case TFrameKind::Else: return EndOfIf(p.IfBlocks()[index].NextBranch);
    case TFrameKind::Function: return p.Functions()[index].EndFunctionLine + 1;
    case TFrameKind::ExitFunction:
    case TFrameKind::EndFunction:
    case TFrameKind::ExitProgram:
    case TFrameKind::End: return p.LineCount();
    default: return -1;
  }
}

void TCalc::StepLine(const TFrameInfo& frame) {
  const TProgram& p = *program_;
  const auto index = static_cast<std::size_t>(frame.Index);
  switch (frame.Kind) {
    case TFrameKind::Let: StepLet(p.Lets()[index]); return;
    case TFrameKind::Do: StepDo(index); return;
    case TFrameKind::Loop: StepLoop(index); return;
    case TFrameKind::ExitDo: next_ = p.DoLoops()[index].LoopLine + 1; return;
    case TFrameKind::For: StepFor(frame.Index); return;
    case TFrameKind::Next: StepNext(frame.Index); return;
    case TFrameKind::ExitFor:
      SetReadOnly(p.ForLoops()[index].Variable, false);
      next_ = p.ForLoops()[index].NextLine + 1;
      return;
    case TFrameKind::If: StepIf(current_); return;
    case TFrameKind::Result: StepResult(p.Results()[index]); return;
    default: next_ = PassOn(frame, current_); return;
  }
}

void TCalc::StepDo(std::size_t index) {
  const TDoLoop& loop = program_->DoLoops()[index];
  TDoState& st = loops_.Do[index];
  const int doMax = LoopMaximum(loop.DoMax);
  const int loopMax = LoopMaximum(loop.LoopMax);
  st.Maximum = std::min(doMax, loopMax);
  st.Counter = 0;
  if (!loop.DoUntil.empty() && ConditionTrue(loop.DoUntil)) next_ = loop.LoopLine + 1;
}

void TCalc::StepLoop(std::size_t index) {
  const TDoLoop& loop = program_->DoLoops()[index];
  TDoState& st = loops_.Do[index];
  ++st.Counter;
  if (st.Counter >= st.Maximum) next_ = loop.LoopLine + 1;
  else if ((!loop.LoopUntil.empty() && ConditionTrue(loop.LoopUntil)) ||
           (!loop.DoUntil.empty() && ConditionTrue(loop.DoUntil)))
    next_ = loop.LoopLine + 1;
  else next_ = loop.DoLine + 1;
}

int TCalc::EndOfIf(int line) const {
  const TProgram& p = *program_;
  while (p.Frame(line).Kind == TFrameKind::ElseIf || p.Frame(line).Kind == TFrameKind::Else)
    line = p.IfBlocks()[static_cast<std::size_t>(p.Frame(line).Index)].NextBranch;
  return line;
}

void TCalc::StepResult(const TResultStatement& r) {
  if (r.Expressions.size() == 1) {
    // The list of the one statement value: a one-element list is that list
    // already, anything else gets wrapped.
    TValue v = Evaluate(r.Expressions[0], r.Trees[0], false);
    if (v.IsList() && v.Count() == 1) {
      functionResult_ = std::move(v);
    } else {
      TValue::TElements values;
      values.push_back(std::move(v));
      functionResult_ = TValue::List(std::move(values));
    }
    return;
  }
  TValue::TElements values;
  values.reserve(r.Expressions.size());
  for (std::size_t i = 0; i < r.Expressions.size(); ++i) values.push_back(Evaluate(r.Expressions[i], r.Trees[i]));
  functionResult_ = TValue::List(std::move(values));
}

int TCalc::LoopMaximum(const std::string& text) {
  if (text.empty()) return maxLoopCount_;
  return Evaluate(text).ToInteger(Format());
}

bool TCalc::ConditionTrue(const std::string& text) { return Evaluate(text).ToBoolean(Format()); }

void TCalc::SetVariable(const std::string& name, const TValue& value) { variables_->SetValue(name, value); }

void TCalc::SetReadOnly(const std::string& name, bool flag) { variables_->SetReadOnly(name, flag); }

TValue TCalc::TargetArguments(const TTarget& target) {
  // The texts inside the parentheses of a target, evaluated as an argument list.
  const char separator = Format().DecimalSeparator;
  if (target.Arguments.size() == 1) {
    const TExprTree& tree = program_->Expression(target.Arguments[0], separator);
    TValue v = EvalNode(tree, tree.Root());
    if (v.IsList()) return v.Count() ? v : TValue();
    return TValue::List({std::move(v)});
  }
  TValue args;
  if (target.Arguments.empty()) return args;
  args = TValue::List();
  for (const std::string& a : target.Arguments) {
    const TExprTree& tree = program_->Expression(a, separator);
    TValue v = EvalNode(tree, tree.Root());
    args.MutableElements().push_back(v.IsList() ? (v.Count() ? TValue(v[0]) : TValue()) : std::move(v));
  }
  return args;
}

void TCalc::Assign(const TTarget& target, TValue&& value) {
  if (target.Indexed) {
    std::string name;
    if (ElementName(target.Name, TargetArguments(target), name)) {
      variables_->SetValue(name, value);
      return;
    }
  }
  const int index = variables_->IndexOfUpper(target.UpperText, target.Slot);
  if (index >= 0) variables_->SetValueAt(index, target.Text, std::move(value));
  else variables_->SetValue(target.Text, std::move(value));
}

void TCalc::StepLet(const TLetStatement& let) {
  TValue value = Evaluate(let.Expression, let.ExpressionTree);
  if (error_ || let.Targets.empty()) return;
  if (!value.IsList()) {
    Assign(let.Targets[0], std::move(value));
    return;
  }
  const std::size_t n = std::min(value.Count(), let.Targets.size());
  for (std::size_t i = 0; i < n; ++i) {
    const TValue& element = value[i];
    if (!element.IsList()) {
      Assign(let.Targets[i], TValue(element));
      continue;
    }
    // A list element fills name(0), name(1), ... of the resolved target.
    const TTarget& target = let.Targets[i];
    std::string base = target.Text;
    if (target.Indexed) {
      std::string resolved;
      if (ElementName(target.Name, TargetArguments(target), resolved)) base = resolved;
    }
    for (std::size_t j = 0; j < element.Count(); ++j)
      variables_->SetValue(base + "(" + std::to_string(j) + ")", element[j]);
  }
}

void TCalc::StepIf(int line) {
  const TProgram& p = *program_;
  for (;;) {
    const TFrameInfo& frame = p.Frame(line);
    if (frame.Kind != TFrameKind::If && frame.Kind != TFrameKind::ElseIf && frame.Kind != TFrameKind::Else) {
      next_ = line;  // the ENDIF line
      return;
    }
    const TIfBlock& block = p.IfBlocks()[static_cast<std::size_t>(frame.Index)];
    bool truth = true;
    if (frame.Kind != TFrameKind::Else) {
      const TValue v = Evaluate(block.Condition, block.ConditionTree);
      truth = v.IsBoolean() && v.BooleanValue();
    }
    if (truth) {
      next_ = line + 1;
      return;
    }
    line = block.NextBranch;
  }
}

namespace {
// The loop's direction test: step > 0 and value > limit, or step < 0 and
// value < limit.
bool BeyondLimit(const TValue& value, const TValue& step, const TValue& limit, const TFormatSettings& format) {
  if (value.IsInteger() && step.IsInteger() && limit.IsInteger()) {
    const int s = step.IntegerValue();
    return (s > 0 && value.IntegerValue() > limit.IntegerValue()) ||
           (s < 0 && value.IntegerValue() < limit.IntegerValue());
  }
  static const TValue kZero = TValue::Integer(0);
  const TCompareResult s = CompareValues(step, kZero, format);
  if (s == TCompareResult::Greater) return CompareValues(value, limit, format) == TCompareResult::Greater;
  if (s == TCompareResult::Less) return CompareValues(value, limit, format) == TCompareResult::Less;
  return false;
}
}  // namespace

void TCalc::StepFor(int index) {
  const TForLoop& loop = program_->ForLoops()[static_cast<std::size_t>(index)];
  TForState& st = loops_.For[static_cast<std::size_t>(index)];
  st.Maximum = LoopMaximum(loop.Max);
  st.Counter = 0;
  SetVariable(loop.Variable, Evaluate(loop.Start));
  st.Limit = Evaluate(loop.Limit);
  st.Step = Evaluate(loop.Step);
  const TValue value = variables_->GetValue(loop.Variable);
  if (st.Counter >= st.Maximum || BeyondLimit(value, st.Step, st.Limit, Format())) {
    next_ = loop.NextLine + 1;
    return;
  }
  SetReadOnly(loop.Variable, true);
}

void TCalc::StepNext(int index) {
  const TForLoop& loop = program_->ForLoops()[static_cast<std::size_t>(index)];
  TForState& st = loops_.For[static_cast<std::size_t>(index)];
  ++st.Counter;
  const int slot = variables_->IndexOfUpper(loop.UpperVariable, st.Slot);
  auto writable = [&](bool flag) {
    if (slot >= 0) variables_->SetReadOnlyAt(slot, !flag);
    else SetReadOnly(loop.Variable, !flag);
  };
  if (st.Counter >= st.Maximum) {
    writable(true);
    next_ = loop.NextLine + 1;
    return;
  }
  static const TValue kZero = TValue::Integer(0);
  const TValue& value = slot >= 0 ? variables_->Cell(slot).Value : kZero;
  TValue candidate;
  if (!ApplyNumericFast(TOperatorKind::Add, value, st.Step, candidate) &&
      !ApplyOperator(TOperatorKind::Add, value, st.Step, candidate, Format()))
    throw ConvertError("The loop variable cannot be stepped");
  writable(true);
  if (BeyondLimit(candidate, st.Step, st.Limit, Format())) {
    next_ = loop.NextLine + 1;
    return;
  }
  if (slot >= 0) variables_->SetValueAt(slot, loop.Variable, std::move(candidate));
  else SetVariable(loop.Variable, candidate);
  writable(false);
  next_ = loop.ForLine + 1;
}

}  // namespace tracemill
