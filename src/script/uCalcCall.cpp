// The interpreter's call dispatcher: user FUNCTIONs (each run as a frame of
// the calling interpreter with a variable table of its own), the host,
// external libraries, EVALUATE and CITE, and the built-ins.
#include <algorithm>

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

}  // namespace tracemill
