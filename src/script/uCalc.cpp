#include "script/uCalc.h"

#include <pthread.h>

#include <algorithm>
#include <new>

#include "common/uNumber.h"
#include "common/uStrC.h"
#include "script/uExternal.h"
#include "script/uOperator.h"

namespace tracemill {

namespace {

// Run-time messages.
constexpr const char* kInvalidExpression = "Invalid expression: ";
constexpr const char* kInvalidString = "Invalid string: ";
constexpr const char* kInvalidCall = "Invalid function call: ";
constexpr const char* kNoSuchFunction = "No such function: ";
constexpr const char* kConvertError = "Convert error: ";
constexpr const char* kInvalidOperation = "Invalid operation: ";
constexpr const char* kStringListError = "String list error: ";
constexpr const char* kVariantError = "Variant error: ";
constexpr const char* kFunctionRuntimeError = "Function runtime error: ";
constexpr const char* kDivisionByZero = "Division by zero: ";
constexpr const char* kOverflow = "Overflow: ";
constexpr const char* kTooDeep = "Nesting too deep: ";
constexpr const char* kOutOfMemory = "Out of memory: ";
constexpr const char* kStepLimit = "Step limit reached";
constexpr const char* kBudgetExceeded = "Memory budget exceeded: ";

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

// The lowest frame address this thread may reach before evaluation stops:
// the stack's low end plus the reserve (0 when unknown or not yet known).
thread_local std::uintptr_t tStackLimit = 0;

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

inline bool StackExhausted() {
  return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) < tStackLimit;
}

std::string Joined(std::string_view a, std::string_view b) {
  std::string s;
  s.reserve(a.size() + b.size());
  s.append(a);
  s.append(b);
  return s;
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
      run_(std::make_shared<TRunState>(std::move(environment))) {
  InitStackLimit();
  Attach(&ownVariables_);
}

TCalc::TCalc(const TCalc& caller, TVariableSet& locals)
    : OnBeforeAssign(caller.OnBeforeAssign),
      OnAfterAssign(caller.OnAfterAssign),
      program_(caller.program_),
      host_(caller.host_),
      builtins_(caller.builtins_),
      externalFolder_(caller.externalFolder_),
      libraries_(caller.libraries_),
      maxLoopCount_(caller.maxLoopCount_),
      functionDepth_(caller.functionDepth_ + 1),
      run_(caller.run_) {
  PrepareState();
  Attach(&locals);
}

void TCalc::SetEnvironment(TScriptEnvironment environment) {
  auto run = std::make_shared<TRunState>(std::move(environment));
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

bool TCalc::CountStep() {
  if (run_->StepLimit > 0 && --run_->StepsLeft < 0) {
    SetError(kStepLimit);
    return false;
  }
  return true;
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
  PrepareState();
}

void TCalc::PrepareState() {
  doStates_.assign(program_->DoLoops().size(), TDoState{});
  forStates_.assign(program_->ForLoops().size(), TForState{});
  for (std::size_t i = 0; i < forStates_.size(); ++i)
    forStates_[i].UpperVariable = UpperCaseAscii(program_->ForLoops()[i].Variable);
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
  while (!finished_ && !error_) Step();
}

// ---- expressions ----

TValue TCalc::ParseExpression(std::string_view text) {
  const TExprTree tree{std::string(text), Format().DecimalSeparator};
  return EvalNode(tree, tree.Root());
}

TValue TCalc::Evaluate(std::string_view text) {
  const std::string_view t = TrimView(text);
  return EvaluateTree(program_->Expression(t, Format().DecimalSeparator), t);
}

TValue TCalc::Evaluate(const std::string& text, TTreeSlot& slot) {
  return EvaluateTree(program_->Expression(text, Format().DecimalSeparator, slot), text);
}

TValue TCalc::EvaluateTree(const TExprTree& tree, std::string_view text) {
  try {
    TValue v = EvalNode(tree, tree.Root());
    v.UnwrapSingle();
    return v;
  } catch (const ConvertError&) {
    SetError(Joined(kConvertError, text));
  } catch (const VariantError&) {
    SetError(Joined(kConvertError, text));
  } catch (const InvalidOperation&) {
    SetError(Joined(kInvalidOperation, text));
  } catch (const DivisionByZero&) {
    SetError(Joined(kDivisionByZero, text));
  } catch (const ArithmeticOverflow&) {
    SetError(Joined(kOverflow, text));
  } catch (const StringListError&) {
    SetError(Joined(kStringListError, text));
  } catch (const std::bad_alloc&) {
    SetError(Joined(kOutOfMemory, text));
  } catch (const std::exception& e) {
    // Any other failure of a function ends the run with its own text.
    SetError(e.what());
  }
  return TValue();
}

TValue TCalc::EvalNode(const TExprTree& tree, const TExpr& node) {
  switch (node.Kind) {
    case TExprKind::Empty: return TValue();
    case TExprKind::Constant: return tree.Constant(node);
    case TExprKind::InvalidString: SetError(Joined(kInvalidString, tree.TextOf(node))); return TValue();
    case TExprKind::TooDeep: SetError(Joined(kTooDeep, tree.TextOf(node))); return TValue();
    case TExprKind::Binary: return EvalBinary(tree, node);
    case TExprKind::Call: return EvalCall(tree, node);
    case TExprKind::Name: return EvalName(tree, node);
  }
  return TValue();
}

TValue TCalc::EvalBinary(const TExprTree& tree, const TExpr& node) {
  if (StackExhausted()) {
    SetError(Joined(kTooDeep, tree.TextOf(node)));
    return TValue();
  }
  TValue result;
  if (ApplyNumberTree(tree, node, result)) return result;
  // Operands that are literals or variables are read in place. The left one
  // is copied before the right one is evaluated, which may call functions.
  const TExpr& leftNode = tree.Left(node);
  const TExpr& rightNode = tree.Right(node);
  const TValue* leftValue = Peek(tree, leftNode);
  const TValue* rightValue = leftValue ? Peek(tree, rightNode) : nullptr;
  if (leftValue && rightValue) {
    if (ApplyNumericFast(node.Op, *leftValue, *rightValue, result)) return result;
    TValue left = *leftValue;
    if (!ApplyOperatorTo(node.Op, left, *rightValue, Format()))
      SetError(Joined(kInvalidExpression, tree.TextOf(node)));
    return left;
  }
  TValue left = leftValue ? *leftValue : EvalNode(tree, leftNode);
  TValue right;
  if (!leftValue) rightValue = Peek(tree, rightNode);
  if (!rightValue) {
    right = EvalNode(tree, rightNode);
    rightValue = &right;
  }
  if (ApplyNumericFast(node.Op, left, *rightValue, result)) return result;
  if (!ApplyOperatorTo(node.Op, left, *rightValue, Format())) SetError(Joined(kInvalidExpression, tree.TextOf(node)));
  return left;
}

bool TCalc::EvalNumber(const TExprTree& tree, const TExpr& node, TNumber& out) {
  if (!node.MaybeNumber) return false;
  const TValue* v = nullptr;
  switch (node.Kind) {
    case TExprKind::Constant: v = &tree.Constant(node); break;
    case TExprKind::Name: {
      const TExprName& name = tree.Name(node);
      v = ReadVariable(name.Upper, &name.Slot);
      break;
    }
    case TExprKind::Binary: {
      if (node.Op != TOperatorKind::Add && node.Op != TOperatorKind::Subtract && node.Op != TOperatorKind::Multiply)
        return false;
      TNumber a, b;
      if (!EvalNumber(tree, tree.Left(node), a) || !EvalNumber(tree, tree.Right(node), b)) return false;
      if (a.IsInteger && b.IsInteger) {
        const std::int64_t x = a.Integer, y = b.Integer;
        const std::int64_t r = node.Op == TOperatorKind::Add ? x + y : node.Op == TOperatorKind::Subtract ? x - y : x * y;
        if (r >= INT32_MIN && r <= INT32_MAX) out = {true, static_cast<std::int32_t>(r), 0};
        else out = {false, 0, static_cast<double>(r)};
        return true;
      }
      const double x = a.IsInteger ? a.Integer : a.Real, y = b.IsInteger ? b.Integer : b.Real;
      const double r = node.Op == TOperatorKind::Add ? x + y : node.Op == TOperatorKind::Subtract ? x - y : x * y;
      if (r - r != 0) return false;  // overflow or NaN: the general rules report it
      out = {false, 0, r};
      return true;
    }
    default: return false;
  }
  if (v == nullptr) return false;
  if (v->IsInteger()) {
    out = {true, v->IntegerValue(), 0};
    return true;
  }
  if (v->IsDouble() && v->DoubleValue() - v->DoubleValue() == 0) {
    out = {false, 0, v->DoubleValue()};
    return true;
  }
  return false;
}

bool TCalc::ApplyNumberTree(const TExprTree& tree, const TExpr& node, TValue& result) {
  switch (node.Op) {
    case TOperatorKind::Add:
    case TOperatorKind::Subtract:
    case TOperatorKind::Multiply: {
      TNumber n;
      if (!EvalNumber(tree, node, n)) return false;
      if (n.IsInteger) result.SetInteger(n.Integer);
      else result.SetDouble(n.Real);
      return true;
    }
    case TOperatorKind::Less:
    case TOperatorKind::LessEqual:
    case TOperatorKind::Greater:
    case TOperatorKind::GreaterEqual:
    case TOperatorKind::Equal:
    case TOperatorKind::NotEqual: {
      TNumber a, b;
      if (!EvalNumber(tree, tree.Left(node), a) || !EvalNumber(tree, tree.Right(node), b)) return false;
      TValue l, r;
      if (a.IsInteger) l.SetInteger(a.Integer);
      else l.SetDouble(a.Real);
      if (b.IsInteger) r.SetInteger(b.Integer);
      else r.SetDouble(b.Real);
      return ApplyNumericFast(node.Op, l, r, result);
    }
    default: return false;
  }
}

const TValue* TCalc::Peek(const TExprTree& tree, const TExpr& node) {
  if (node.Kind == TExprKind::Constant) return &tree.Constant(node);
  if (node.Kind == TExprKind::Name) {
    const TExprName& name = tree.Name(node);
    return ReadVariable(name.Upper, &name.Slot);
  }
  return nullptr;
}

TValue TCalc::EvalArguments(const TExprTree& tree, const TExpr& call) {
  const std::size_t count = tree.ArgumentCount(call);
  if (count == 0) return TValue();
  if (count == 1) {
    TValue v = EvalNode(tree, tree.Argument(call, 0));
    if (v.IsList()) return v.Count() ? v : TValue();
    return TValue::List({std::move(v)});
  }
  TValue::TElements elements;
  elements.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    TValue v = EvalNode(tree, tree.Argument(call, i));
    if (v.IsList()) elements.push_back(v.Count() ? TValue(v[0]) : TValue());
    else elements.push_back(std::move(v));
  }
  return TValue::List(std::move(elements));
}

bool TCalc::ElementName(std::string_view name, const TValue& args, std::string& out) {
  if (!args.IsList() || args.Count() == 0) return false;
  for (const TValue& a : args.Elements())
    if (!a.IsInteger()) return false;
  out.assign(name);
  out += '(';
  for (std::size_t i = 0; i < args.Count(); ++i) {
    if (i) out += ',';
    out += std::to_string(args[i].IntegerValue());
  }
  out += ')';
  return true;
}

const TValue* TCalc::ReadVariable(std::string_view upperName, TSlotCache* slot) {
  const int i = slot ? variables_->IndexOfUpper(upperName, *slot) : variables_->IndexOfUpper(upperName);
  return i < 0 ? nullptr : &variables_->Cell(i).Value;
}

TValue TCalc::EvalCall(const TExprTree& tree, const TExpr& node) {
  if (StackExhausted()) {
    SetError(Joined(kTooDeep, tree.TextOf(node)));
    return TValue();
  }
  const TValue args = EvalArguments(tree, node);
  const TExprName& name = tree.Name(node);
  std::string element;
  if (variables_->HasElementsOf(name.Upper) && ElementName(name.Upper, args, element))
    if (const TValue* v = ReadVariable(element, nullptr)) return *v;
  TValue result;
  if (!CallFunctionAt(tree.NameText(node), name.Upper, args, result, tree.TextOf(node)))
    SetError(Joined(kInvalidCall, tree.TextOf(node)));
  return result;
}

TValue TCalc::EvalName(const TExprTree& tree, const TExpr& node) {
  const TExprName& name = tree.Name(node);
  if (const TValue* v = ReadVariable(name.Upper, &name.Slot)) return *v;
  TValue result;
  if (!CallFunctionAt(tree.NameText(node), name.Upper, TValue(), result, tree.TextOf(node))) {
    // The unknown name has been reported; a known function that failed is an
    // invalid call like any other.
    SetError(Joined(kInvalidCall, tree.TextOf(node)));
    return TValue::String(std::string(tree.NameText(node)));
  }
  return result;
}

// ---- calls ----

bool TCalc::CallFunction(std::string_view name, const TValue& arguments, TValue& result) {
  return CallFunctionAt(name, UpperCaseAscii(name), arguments, result, name);
}

bool TCalc::CallFunctionAt(std::string_view name, std::string_view upperName, const TValue& arguments,
                           TValue& result, std::string_view callText) {
  // Once a statement has failed, its remaining calls are not made: their
  // values would never be used, and a PRINT or a file function would act on
  // the placeholder value of the failed part.
  if (error_) return false;
  bool handled = false;
  bool success = false;
  try {
    if (const TFunctionBlock* f = program_->FindFunction(upperName)) {
      handled = true;
      success = CallUserFunction(*f, name, arguments, result);
    }
    if (!handled && host_) success = host_(std::string(name), arguments, result, handled);
    if (!handled && libraries_) success = libraries_->Call(std::string(name), arguments, result, handled);
    if (upperName == "EVALUATE") {
      result = CallEvaluate(arguments);
      handled = true;
      success = true;
    } else if (upperName == "CITE" && arguments.IsList() && arguments.Count() >= 3) {
      result = CallCite(arguments);
      handled = true;
      success = true;
    }
    if (!handled && builtins_) {
      const std::string_view trimmedUpper = TrimView(upperName);
      const TBuiltinCall call{name, trimmedUpper, arguments, callText, *this};
      success = builtins_->Call(call, result, handled);
    }
    if (!handled) {
      SetError(Joined(kNoSuchFunction, name));
      success = false;
    }
  } catch (const ConvertError&) {
    SetError(Joined(kConvertError, name));
    success = false;
  } catch (const StringListError&) {
    SetError(Joined(kStringListError, name));
    success = false;
  } catch (const VariantError&) {
    SetError(Joined(kVariantError, name));
    success = false;
  }
  return success;
}

bool TCalc::CallUserFunction(const TFunctionBlock& f, std::string_view name, const TValue& args, TValue& result) {
  if (functionDepth_ >= kMaxFunctionDepth || StackExhausted()) {
    SetError(Joined(kTooDeep, name));
    return false;
  }
  TVariableSet locals;
  if (args.IsList()) {
    const std::size_t n = std::min(args.Count(), f.Parameters.size());
    for (std::size_t i = 0; i < n; ++i) locals.SetValue(f.Parameters[i], args[i]);
  } else if (!f.Parameters.empty()) {
    locals.SetValue(f.Parameters[0], args);
  }
  TCalc inner(*this, locals);
  inner.Reset();
  inner.next_ = f.FunctionLine + 1;
  inner.finished_ = inner.next_ >= program_->LineCount();
  inner.Run();
  if (inner.error_) {
    std::string message = Joined(kFunctionRuntimeError, name);
    message += "\r\n";
    message += inner.message_;
    SetError(message);
    return false;
  }
  result = std::move(inner.functionResult_);
  return true;
}

namespace {
// A one-element list stands for its element, as a statement's value does.
TValue Unwrapped(TValue v) {
  v.UnwrapSingle();
  return v;
}
}  // namespace

// EVALUATE and CITE build their lists one element per step; the list counts
// against the memory budget as it grows.
TValue TCalc::CallEvaluate(const TValue& args) {
  TValue out;
  if (!args.IsList()) return out;
  std::size_t bytes = 0;
  for (const TValue& a : args.Elements()) {
    if (error_ || !CountStep()) break;
    const TValue first = Unwrapped(ParseExpression(a.ToString(Format())));
    TValue value = Unwrapped(ParseExpression(first.ToString(Format())));
    bytes += value.Footprint();
    if (!FitsBudget(bytes, "EVALUATE")) break;
    out.Append(std::move(value));
  }
  return out;
}

TValue TCalc::CallCite(const TValue& args) {
  const std::string name = args[0].ToString(Format());
  const std::int32_t from = args[1].ToInteger(Format());
  const std::int32_t to = args[2].ToInteger(Format());
  TValue out;
  std::size_t bytes = 0;
  for (std::int64_t i = from; i <= to && !error_ && CountStep(); ++i) {
    TValue value = ParseExpression(name + "(" + std::to_string(i) + ")");
    bytes += value.Footprint();
    if (!FitsBudget(bytes, "CITE")) break;
    out.Append(std::move(value));
  }
  return out;
}

// ---- statements ----

void TCalc::Step() {
  if (program_->HasError()) {
    // A program that did not compile is never run, even after a Reset.
    SetError(program_->ErrorMessage());
    return;
  }
  current_ = next_;
  if (current_ < 0 || current_ >= program_->LineCount()) {
    finished_ = true;
    return;
  }
  next_ = current_ + 1;
  if (!CountStep()) return;
  try {
    StepLine(program_->Frame(current_));
  } catch (const ConvertError&) {
    SetError(Joined(kConvertError, TrimView(program_->Line(current_))));
  } catch (const VariantError&) {
    SetError(Joined(kConvertError, TrimView(program_->Line(current_))));
  } catch (const InvalidOperation&) {
    SetError(Joined(kInvalidOperation, TrimView(program_->Line(current_))));
  } catch (const DivisionByZero&) {
    SetError(Joined(kDivisionByZero, TrimView(program_->Line(current_))));
  } catch (const ArithmeticOverflow&) {
    SetError(Joined(kOverflow, TrimView(program_->Line(current_))));
  } catch (const StringListError&) {
    SetError(Joined(kStringListError, TrimView(program_->Line(current_))));
  } catch (const std::bad_alloc&) {
    SetError(Joined(kOutOfMemory, TrimView(program_->Line(current_))));
  } catch (const std::exception& e) {
    SetError(e.what());
  }
  if (next_ >= program_->LineCount() && !error_) finished_ = true;
}

void TCalc::StepLine(const TFrameInfo& frame) {
  const TProgram& p = *program_;
  switch (frame.Kind) {
    case TFrameKind::Let: StepLet(p.Lets()[static_cast<std::size_t>(frame.Index)]); return;
    case TFrameKind::Do: {
      const TDoLoop& loop = p.DoLoops()[static_cast<std::size_t>(frame.Index)];
      TDoState& st = doStates_[static_cast<std::size_t>(frame.Index)];
      const int doMax = LoopMaximum(loop.DoMax);
      const int loopMax = LoopMaximum(loop.LoopMax);
      st.Maximum = std::min(doMax, loopMax);
      st.Counter = 0;
      if (!loop.DoUntil.empty() && ConditionTrue(loop.DoUntil)) next_ = loop.LoopLine + 1;
      return;
    }
    case TFrameKind::Loop: {
      const TDoLoop& loop = p.DoLoops()[static_cast<std::size_t>(frame.Index)];
      TDoState& st = doStates_[static_cast<std::size_t>(frame.Index)];
      ++st.Counter;
      if (st.Counter >= st.Maximum) next_ = loop.LoopLine + 1;
      else if ((!loop.LoopUntil.empty() && ConditionTrue(loop.LoopUntil)) ||
               (!loop.DoUntil.empty() && ConditionTrue(loop.DoUntil)))
        next_ = loop.LoopLine + 1;
      else next_ = loop.DoLine + 1;
      return;
    }
    case TFrameKind::ExitDo: next_ = p.DoLoops()[static_cast<std::size_t>(frame.Index)].LoopLine + 1; return;
    case TFrameKind::For: StepFor(frame.Index); return;
    case TFrameKind::Next: StepNext(frame.Index); return;
    case TFrameKind::ExitFor: {
      const TForLoop& loop = p.ForLoops()[static_cast<std::size_t>(frame.Index)];
      SetReadOnly(loop.Variable, false);
      next_ = loop.NextLine + 1;
      return;
    }
    case TFrameKind::If: StepIf(current_); return;
    case TFrameKind::ElseIf:
    case TFrameKind::Else: {
      int line = p.IfBlocks()[static_cast<std::size_t>(frame.Index)].NextBranch;
      while (p.Frame(line).Kind == TFrameKind::ElseIf || p.Frame(line).Kind == TFrameKind::Else)
        line = p.IfBlocks()[static_cast<std::size_t>(p.Frame(line).Index)].NextBranch;
      next_ = line;
      return;
    }
    case TFrameKind::Function:
      next_ = p.Functions()[static_cast<std::size_t>(frame.Index)].EndFunctionLine + 1;
      return;
    case TFrameKind::Result: {
      TValue list = TValue::List();
      const TResultStatement& r = p.Results()[static_cast<std::size_t>(frame.Index)];
      for (std::size_t i = 0; i < r.Expressions.size(); ++i)
        list.MutableElements().push_back(Evaluate(r.Expressions[i], r.Trees[i]));
      functionResult_ = std::move(list);
      return;
    }
    case TFrameKind::ExitFunction:
    case TFrameKind::EndFunction:
    case TFrameKind::ExitProgram:
    case TFrameKind::End: next_ = p.LineCount(); return;
    case TFrameKind::EndIf:
    case TFrameKind::Comment:
    case TFrameKind::None: return;
  }
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

void TCalc::Assign(const TTarget& target, TValue value) {
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
      Assign(let.Targets[i], element);
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
  TForState& st = forStates_[static_cast<std::size_t>(index)];
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
  TForState& st = forStates_[static_cast<std::size_t>(index)];
  ++st.Counter;
  const int slot = variables_->IndexOfUpper(st.UpperVariable, st.Slot);
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
  if (slot >= 0) variables_->SetValueAt(slot, loop.Variable, candidate);
  else SetVariable(loop.Variable, candidate);
  writable(false);
  next_ = loop.ForLine + 1;
}

}  // namespace tracemill
