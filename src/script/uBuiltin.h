#pragma once
// The interface between the interpreter's call dispatcher and the library of
// built-in functions, which reach the run's environment (formats, language,
// platform services, random generator) through the interpreter.
#include <random>
#include <string>
#include <string_view>

#include "script/uScriptEnvironment.h"
#include "script/uVariable.h"

namespace tracemill {

// What a built-in may reach of the interpreter that calls it.
class TBuiltinContext {
 public:
  virtual ~TBuiltinContext() = default;
  virtual const TScriptEnvironment& Environment() const = 0;
  // The run's random generator (RANDOM, RANDOMGAUSS, RANDOMIZE).
  virtual std::mt19937_64& RandomGenerator() = 0;
  virtual bool HasError() const = 0;
  // Sets the interpreter's error; ignored when a message is already set
  // (the first message of a statement wins). The run stops after the
  // statement.
  virtual void SetError(const std::string& message) = 0;

  const TFormatSettings& Format() const { return Environment().Format; }
  TScriptServices& Services() const {
    TScriptServices* services = Environment().Services;
    return services ? *services : DefaultScriptServices();
  }
};

// One call as the dispatcher offers it.
struct TBuiltinCall {
  std::string_view Name;       // as written in the call
  std::string_view UpperName;  // trimmed and upper-cased (ASCII letters)
  const TValue& Arguments;     // Empty (bare name, empty parentheses) or a list of >= 1 element
  std::string_view CallText;   // the whole call text, e.g. "SQRT(x)"
  TBuiltinContext& Context;
};

// The built-in library: the dispatcher's last handler.
// Call sets handled when it knows the name and returns success; false makes
// the interpreter report "Invalid function call: " + the call text. It may
// throw ConvertError ("Convert error: " + name), StringListError ("String
// list error: " + name), VariantError ("Variant error: " + name),
// InvalidFloatOperation ("Invalid operation: " + the statement's expression),
// DivisionByZero or ArithmeticOverflow (the run ends with an error).
class TBuiltinLibrary {
 public:
  virtual ~TBuiltinLibrary() = default;
  virtual bool Call(const TBuiltinCall& call, TValue& result, bool& handled) const = 0;
};

// The standard library of built-in functions (defined with the functions in
// uFunction.cpp). Every interpreter uses it unless given another.
const TBuiltinLibrary& StandardBuiltins();

}  // namespace tracemill
