#pragma once
// Shared pieces of the script tests: value shorthands, calls into a built-in
// library the way the interpreter's dispatcher makes them (with a context
// whose format settings and platform services a test controls), and an
// interpreter whose host provides PRINT.

#include <initializer_list>
#include <string>
#include <vector>

#include "common/uFormatSettings.h"
#include "common/uStrC.h"
#include "script/uBuiltin.h"
#include "script/uCalc.h"
#include "script/uVariable.h"

namespace tracemill::testing {

// The format settings of a caller that changes none.
inline const TFormatSettings kFormat{};

inline TValue I(int v) { return TValue::Integer(v); }
inline TValue D(double v) { return TValue::Double(v); }
inline TValue S(std::string v) { return TValue::String(std::move(v)); }
inline TValue B(bool v) { return TValue::Boolean(v); }

inline TValue Args(std::initializer_list<TValue> values) { return TValue::List(values); }

// A value as a text: lists as "[a, b]" (nested the same way), other values
// by their string conversion.
inline std::string Show(const TValue& v) {
  if (!v.IsList()) return v.ToString(kFormat);
  std::string text = "[";
  for (std::size_t i = 0; i < v.Count(); ++i) text += (i ? ", " : "") + Show(v[i]);
  return text + "]";
}

class TTestContext : public TBuiltinContext {
 public:
  TScriptEnvironment Env;
  std::mt19937_64 Random{1};
  std::string Error;

  const TScriptEnvironment& Environment() const override { return Env; }
  std::mt19937_64& RandomGenerator() override { return Random; }
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

// Calls name with the argument value (Empty for a bare name).
inline TOutcome CallBuiltin(TTestContext& context, const std::string& name, const TValue& arguments,
                            const TBuiltinLibrary& library = StandardBuiltins()) {
  const std::string upper = UpperCaseAscii(Trim(name));
  const std::string text = name + "(...)";
  TOutcome outcome;
  outcome.Success = library.Call({name, upper, arguments, text, context}, outcome.Result, outcome.Handled);
  return outcome;
}

// Calls a function that must succeed and shows its result.
inline std::string Eval(TTestContext& context, const std::string& name, const TValue& arguments) {
  const TOutcome outcome = CallBuiltin(context, name, arguments);
  if (!outcome.Handled) return "<not handled>";
  if (!outcome.Success) return "<failed>";
  return Show(outcome.Result);
}

// A shell that records what it is asked ("open PATH", "run PROGRAM|ARGUMENT|...
// in FOLDER"), starts nothing and answers Started.
class TRecordingShell : public TShellService {
 public:
  std::vector<std::string> Asked;
  bool Started = true;
  bool OpenFile(const std::string& path, const std::string& anchor) override {
    Asked.push_back("open " + path + (anchor.empty() ? "" : "#" + anchor));
    return Started;
  }
  bool RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& folder) override {
    std::string asked = "run " + program;
    for (const std::string& a : arguments) asked += "|" + a;
    Asked.push_back(asked + " in " + folder);
    return Started;
  }
};

// An interpreter with its own variable table and a host that provides PRINT
// (one line of the concatenated argument texts); Extra is asked first. Its
// environment has the default formats, English and the recording shell.
struct TRunner {
  TRecordingShell Shell;
  TScriptServices Services{nullptr, &Shell};
  TVariableSet Vars;
  TCalc Calc{Env()};
  std::vector<std::string> Printed;
  THostFunction Extra;

  // The runner's environment, to change and hand back with SetEnvironment.
  TScriptEnvironment Env() {
    TScriptEnvironment environment;
    environment.Services = &Services;
    return environment;
  }

  TRunner() {
    Calc.SetVariables(&Vars);
    Calc.SetHostFunction([this](const std::string& name, const TValue& args, TValue& result, bool& handled) {
      if (Extra) {
        const bool ok = Extra(name, args, result, handled);
        if (handled) return ok;
      }
      if (UpperCaseAscii(Trim(name)) != "PRINT") return false;
      handled = true;
      Printed.push_back(args.ConcatenatedText(kFormat));
      return true;
    });
  }

  // Compiles and runs; returns the error message ("" without error), a
  // compile error prefixed with "structure: ".
  std::string Run(const std::string& program) {
    Printed.clear();
    Calc.SetProgram(program);
    if (Calc.HasError()) return "structure: " + Calc.ErrorMessage();
    Calc.Reset();
    Calc.Run();
    return Calc.HasError() ? Calc.ErrorMessage() : std::string();
  }

  // Runs; the printed lines joined with "|", then "|error: " and the message
  // when the run failed.
  std::string Output(const std::string& program) {
    const std::string message = Run(program);
    std::string text;
    for (std::size_t i = 0; i < Printed.size(); ++i) text += (i ? "|" : "") + Printed[i];
    return message.empty() ? text : text + "|error: " + message;
  }
};

}  // namespace tracemill::testing
