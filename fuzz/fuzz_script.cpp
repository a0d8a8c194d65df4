// Feeds arbitrary program texts to the interpreter: compile, then run with a
// small step limit. The built-ins are the sandboxed library (no file, folder
// or program functions); a PRINT host collects output.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/uStrC.h"
#include "script/uCalc.h"
#include "script/uFunction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tracemill;
  // Long texts only make the run slower, not different.
  const std::string text(reinterpret_cast<const char*>(data), size < 16384 ? size : 16384);
  TVariableSet variables;
  TCalc calc;
  calc.SetBuiltins(&SandboxedBuiltins());
  calc.SetVariables(&variables);
  calc.SetProgram(text);
  if (calc.HasError()) return 0;
  std::size_t printed = 0;
  calc.SetHostFunction([&](const std::string& name, const TValue& args, TValue&, bool& handled) {
    if (UpperCaseAscii(Trim(name)) != "PRINT") return false;
    handled = true;
    if (args.IsList())
      for (const TValue& a : args.Elements()) printed += a.IsList() ? 0 : a.ToString(TFormatSettings()).size();
    return true;
  });
  calc.SetStepLimit(2000);
  calc.Reset();
  calc.Run();
  return 0;
}
