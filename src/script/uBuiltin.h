#pragma once
// The interface between the interpreter's call dispatcher and the library of
// built-in functions, and the platform services (dialogs, shell, clock,
// command line) that built-ins reach through the interpreter.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/uFormatSettings.h"
#include "common/uServices.h"
#include "script/uVariable.h"

namespace tracemill {

// Platform services of the script library. The GUI implements them with its
// dialogs; this base class is the non-interactive form used by tests and the
// batch command line: MESSAGEBOX goes to the given message service (one that
// answers the default button when none is given), INPUTBOX answers its
// default text, SELECTDIRECTORY the folder it was given; SHELL starts the
// program without waiting (33 when it started, 2 when it could not);
// COLORTORGB answers the light theme's system colours.
class TScriptServices {
 public:
  explicit TScriptServices(TMessageService* messages = nullptr);
  virtual ~TScriptServices() = default;
  // flags and result keep the Windows numbers (MB_OK = 0, MB_YESNO = 4,
  // MB_ICONEXCLAMATION = 0x30, MB_DEFBUTTON2 = 0x100, IDOK = 1, IDYES = 6,
  // IDNO = 7, ...), which are those of TMessage and TMessageResult.
  virtual int MessageBox(const std::string& text, const std::string& caption, int flags);
  virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                               const std::string& defaultText);
  virtual std::string SelectDirectory(const std::string& folder, bool style);
  // The shell's result code (above 32 means success).
  virtual int Shell(const std::string& file, const std::string& parameters, const std::string& folder);
  // A colour with the high bit set names a system colour.
  virtual std::uint32_t ColorToRGB(std::uint32_t color);
  // The clock: the current local date and time as days since 1899-12-30.
  virtual double Now();
  // The program's command line; element 0 is the program itself.
  virtual std::vector<std::string> CommandLine();

 private:
  TMessageService* messages_;
};

// The non-interactive services shared by every interpreter that is given none.
TScriptServices& DefaultScriptServices();

// What a built-in may reach of the interpreter that calls it.
class TBuiltinContext {
 public:
  virtual ~TBuiltinContext() = default;
  virtual const TFormatSettings& Format() const = 0;
  virtual TScriptServices& Services() = 0;
  virtual bool HasError() const = 0;
  // Sets the interpreter's error; ignored when a message is already set
  // (the first message of a statement wins). The run stops after the
  // statement.
  virtual void SetError(const std::string& message) = 0;
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
