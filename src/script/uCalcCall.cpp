// The interpreter's call dispatcher: user FUNCTIONs (each run as a frame of
// the calling interpreter with a variable table of its own), the host,
// external libraries, EVALUATE and CITE, and the built-ins.
#include <algorithm>
#include <array>

#include "common/uStrC.h"
#include "script/uCalc.h"
#include "script/uCalcShared.h"
#include "script/uExternal.h"

namespace tracemill {

using namespace calc_detail;

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
      // A value that is no list (Empty) is the first parameter's.
      const bool list = arguments.IsList();
      success = CallUserFunction(*f, name, list ? arguments.Elements().data() : &arguments,
                                 list ? arguments.Count() : 1, result);
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
      const std::string_view trimmedUpper = TrimmedView(upperName);
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

bool TCalc::CallUserFunction(const TFunctionBlock& f, std::string_view name, const TValue* values,
                             std::size_t count, TValue& result) {
  if (functionDepth_ >= kMaxFunctionDepth || StackExhausted()) {
    SetError(Joined(kTooDeep, name));
    return false;
  }
  const auto level = static_cast<std::size_t>(functionDepth_);
  if (callTables_.size() <= level) {
    auto table = std::make_unique<TVariableSet>();
    table->OnError = [this](TVariableSet&, const std::string& message) { SetError(message); };
    callTables_.push_back(std::move(table));
  }
  TVariableSet& locals = *callTables_[level];
  // The table is emptied and the caller's frame comes back however the call
  // ends.
  struct TTableGuard {
    TVariableSet& Table;
    ~TTableGuard() {
      Table.OnBeforeAssign = nullptr;
      Table.OnAfterAssign = nullptr;
      Table.Clear();
      Table.SetBudget(nullptr);
    }
  } tableGuard{locals};
  struct TFrameGuard {
    TCalc& Calc;
    TCallerFrame Caller;
    ~TFrameGuard() { Calc.LeaveFrame(Caller); }
  };
  locals.SetBudget(&run_->Budget);
  // The parameters are bound before the assignment hooks are passed on.
  const std::size_t n = std::min(count, f.Parameters.size());
  for (std::size_t i = 0; i < n; ++i) locals.SetValue(f.Parameters[i], f.UpperParameters[i], values[i]);
  bool failed = error_;
  std::string failure;
  if (!failed) {
    if (OnBeforeAssign) locals.OnBeforeAssign = OnBeforeAssign;
    if (OnAfterAssign) locals.OnAfterAssign = OnAfterAssign;
    const TFrameGuard frameGuard{*this, EnterFrame(locals, f.FunctionLine + 1)};
    Run();
    failed = error_;
    failure = std::move(message_);
    result = std::move(functionResult_);
  }
  if (!failed) return true;
  if (!error_) SetError(Joined(Joined(kFunctionRuntimeError, name), "\r\n") + failure);
  return false;
}

void TCalc::ResolveFunction(const TExprName& name) const {
  const TFunctionBlock* f = name.Upper == "EVALUATE" || name.Upper == "CITE" ? nullptr : program_->FindFunction(name.Upper);
  name.Function = f ? static_cast<int>(f - program_->Functions().data()) : -1;
}

TValue TCalc::EvalUserCall(const TExprTree& tree, const TExpr& node, const TFunctionBlock& f) {
  // The arguments as EvalArguments gives them: one argument whole (a list
  // spread, an empty list as Empty), several each by its first element.
  const auto call = [&](const TValue* values, std::size_t n) {
    TValue result;
    if (error_) return result;  // as every call after a failure
    if (!CallUserFunction(f, tree.NameText(node), values, n, result))
      SetError(Joined(kInvalidCall, tree.TextOf(node)));
    return result;
  };
  const std::size_t count = tree.ArgumentCount(node);
  if (count <= 1) {
    TValue only = count ? EvalNode(tree, tree.Argument(node, 0)) : TValue();
    if (!only.IsList()) return call(&only, 1);
    if (only.Count() > 0) return call(only.Elements().data(), only.Count());
    const TValue empty;
    return call(&empty, 1);
  }
  constexpr std::size_t kInlineArguments = 4;
  std::array<TValue, kInlineArguments> inlineValues;
  std::vector<TValue> moreValues(count > kInlineArguments ? count : 0);
  TValue* values = count > kInlineArguments ? moreValues.data() : inlineValues.data();
  for (std::size_t i = 0; i < count; ++i) {
    TValue v = EvalNode(tree, tree.Argument(node, i));
    values[i] = v.IsList() ? (v.Count() ? v[0] : TValue()) : std::move(v);
  }
  return call(values, count);
}

TCalc::TCallerFrame TCalc::EnterFrame(TVariableSet& locals, int firstLine) {
  TCallerFrame caller{variables_, current_, next_, finished_, std::move(functionResult_), {}};
  if (program_->HasLoops()) {
    const auto level = static_cast<std::size_t>(functionDepth_);
    if (callLoops_.size() <= level) callLoops_.resize(level + 1);
    caller.Loops = std::move(loops_);
    loops_ = std::move(callLoops_[level]);
    ResetLoops(loops_);
  }
  ++functionDepth_;
  variables_ = &locals;
  current_ = 0;
  next_ = firstLine;
  finished_ = next_ >= program_->LineCount();
  functionResult_ = TValue();
  return caller;
}

void TCalc::LeaveFrame(TCallerFrame& caller) {
  --functionDepth_;
  if (program_->HasLoops()) {
    callLoops_[static_cast<std::size_t>(functionDepth_)] = std::move(loops_);
    loops_ = std::move(caller.Loops);
  }
  variables_ = caller.Variables;
  current_ = caller.Current;
  next_ = caller.Next;
  finished_ = caller.Finished;
  functionResult_ = std::move(caller.Result);
  error_ = false;
  message_.clear();
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

}  // namespace tracemill
