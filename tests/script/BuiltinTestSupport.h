#pragma once
// Calls into the built-in library the way the interpreter's dispatcher does,
// with a context whose format settings and platform services a test controls.

#include <initializer_list>
#include <string>

#include "common/uFormatSettings.h"
#include "common/uStrC.h"
#include "script/uBuiltin.h"
#include "script/uVariable.h"

namespace tracemill::testing {

class TTestContext : public TBuiltinContext {
 public:
  TFormatSettings Settings;
  TScriptServices* ServicesUsed = &DefaultScriptServices();
  std::string Error;

  const TFormatSettings& Format() const override { return Settings; }
  TScriptServices& Services() override { return *ServicesUsed; }
  bool HasError() const override { return !Error.empty(); }
  void SetError(const std::string& message) override {
    if (Error.empty()) Error = message;
  }
};

struct TOutcome {
  bool Handled = false;
  bool Success = false;
  TValue Result;
};

inline TValue Args(std::initializer_list<TValue> values) {
  TValue list;
  for (const TValue& v : values) list.Append(v);
  return list;
}

inline TValue I(int v) { return TValue::Integer(v); }
inline TValue D(double v) { return TValue::Double(v); }
inline TValue S(std::string v) { return TValue::String(std::move(v)); }

// Calls name with the argument value (Empty for a bare name).
inline TOutcome CallBuiltin(TTestContext& context, const std::string& name, const TValue& arguments) {
  const std::string upper = UpperCaseAscii(Trim(name));
  const std::string text = name + "(...)";
  TBuiltinCall call{name, upper, arguments, text, context};
  TOutcome outcome;
  outcome.Success = StandardBuiltins().Call(call, outcome.Result, outcome.Handled);
  return outcome;
}

// The result as a text: lists as "[a, b]" (nested the same way), other values
// by their string conversion.
inline std::string Show(const TValue& v) {
  if (!v.IsList()) return v.ToString(FormatSettings());
  std::string text = "[";
  for (std::size_t i = 0; i < v.Count(); ++i) text += (i ? ", " : "") + Show(v[i]);
  return text + "]";
}

// Calls a function that must succeed and shows its result.
inline std::string Eval(TTestContext& context, const std::string& name, const TValue& arguments) {
  const TOutcome outcome = CallBuiltin(context, name, arguments);
  if (!outcome.Handled) return "<not handled>";
  if (!outcome.Success) return "<failed>";
  return Show(outcome.Result);
}

}  // namespace tracemill::testing
