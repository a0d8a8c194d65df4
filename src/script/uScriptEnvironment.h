#pragma once
// What a run of the report language takes from its surroundings: number and
// date formats, the interface language, the platform services and the limits.
// An interpreter reads only its own environment, never the process's globals,
// so two interpreters never share a format or a random sequence.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/uFormatSettings.h"
#include "common/uServices.h"

namespace tracemill {

// Platform services of the script library. The GUI implements them with its
// dialogs; this base class is the non-interactive form used by tests and the
// batch command line: MESSAGEBOX goes to the given message service (one that
// answers the default button when none is given), INPUTBOX answers its
// default text, SELECTDIRECTORY the folder it was given; SHELL goes to the
// given shell service (TProcessShellService when none is given); COLORTORGB
// answers the light theme's system colours.
class TScriptServices {
 public:
  explicit TScriptServices(TMessageService* messages = nullptr, TShellService* shell = nullptr);
  virtual ~TScriptServices() = default;
  // flags and result keep the Windows numbers (MB_OK = 0, MB_YESNO = 4,
  // MB_ICONEXCLAMATION = 0x30, MB_DEFBUTTON2 = 0x100, IDOK = 1, IDYES = 6,
  // IDNO = 7, ...), which are those of TMessage and TMessageResult.
  virtual int MessageBox(const std::string& text, const std::string& caption, int flags);
  virtual std::string InputBox(const std::string& caption, const std::string& prompt,
                               const std::string& defaultText);
  virtual std::string SelectDirectory(const std::string& folder, bool style);
  // Opens file as a document or starts it as a program, with the parameters,
  // in folder; the shell's result code (above 32 means success).
  virtual int Shell(const std::string& file, const std::string& parameters, const std::string& folder);
  // A colour with the high bit set names a system colour.
  virtual std::uint32_t ColorToRGB(std::uint32_t color);
  // The clock: the current local date and time as days since 1899-12-30.
  virtual double Now();
  // The program's command line; element 0 is the program itself.
  virtual std::vector<std::string> CommandLine();

 private:
  TMessageService* messages_;
  TShellService* shell_;
};

// The non-interactive services of an environment that names none.
TScriptServices& DefaultScriptServices();

// The bytes all variables of one run may hold together.
constexpr std::size_t kDefaultMemoryBudget = std::size_t(1) << 30;

struct TScriptEnvironment {
  // Number and date texts: conversions, operators and built-ins.
  TFormatSettings Format;
  // The interface language (day names).
  bool Japanese = false;
  // Dialogs, shell, clock and command line; not owned. nullptr: the
  // non-interactive DefaultScriptServices().
  TScriptServices* Services = nullptr;
  // What the variables of a run may hold together; a run that would pass it
  // stops with an error.
  std::size_t MemoryBudget = kDefaultMemoryBudget;
  // The random generator's seed; 0 gives every interpreter a sequence of its
  // own.
  std::uint64_t RandomSeed = 0;

  // The process's format settings and interface language as they are now.
  static TScriptEnvironment FromProcess();
};

}  // namespace tracemill
