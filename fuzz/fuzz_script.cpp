// Feeds arbitrary program texts to the interpreter: compile, then run with a
// small step limit. The built-ins are the sandboxed library (no file, folder
// or program functions); a PRINT host collects output. The whole text is also
// split as one expression through the index alone, which long program lines
// reach only in parts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/uStrC.h"
#include "script/uCalc.h"
#include "script/uExpression.h"
#include "script/uFunction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tracemill;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TExprTree indexed(text, '.', 0);
  TScriptEnvironment environment;
  environment.MemoryBudget = std::size_t(64) << 20;
  TVariableSet variables;
  TCalc calc(environment);
  calc.SetBuiltins(&SandboxedBuiltins());
  calc.SetVariables(&variables);
  calc.SetProgram(text);
  if (calc.HasError()) return 0;
  std::size_t printed = 0;
  calc.SetHostFunction([&](const std::string& name, const TValue& args, TValue&, bool& handled) {
    if (UpperCaseAscii(Trim(name)) != "PRINT") return false;
    handled = true;
    printed += args.ConcatenatedText(environment.Format).size();
    return true;
  });
  calc.SetStepLimit(2000);
  calc.Reset();
  calc.Run();
  return 0;
}
