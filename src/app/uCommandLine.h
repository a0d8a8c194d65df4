#pragma once
// The program's command line: how it starts (windows, batch run, help or
// version) and, for a batch run, what it opens and the actions to run in order.
//
//   tracemill [/JAPANESE | /ENGLISH] [FILE ...]             the windows
//   tracemill --batch [--pdf-dpi N] [STATE.trm | IMAGE ...] [ACTION ...]  no display
//   tracemill --help | --version
//
// Every option is one row of a single table (name, value, what it does, its
// usage line); the parser and the usage text both read that table.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/uError.h"

namespace tracemill {

// Exit status of the program.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;      // an action failed, or a named file could not be read
inline constexpr int kExitUsage = 2;        // a wrong command line
inline constexpr int kExitReportError = 3;  // the report program had an error (the report is written)

// A file argument of "-" names standard output.
inline constexpr std::string_view kStandardOutput = "-";

enum class TStartMode { Windows, Batch, Help, Version };

enum class TBatchActionKind { Recalculate, Sort, Program, Report, SimpleReport, Csv, SaveState, Trace, FindMarkers };

// Where a tracing action starts and the settings given with it; a setting
// not given is the bench's remembered one.
struct TTraceRequest {
  int Bench = 0;  // the window number counted from 1, as given
  int X = 0;      // the seed: a picture pixel counted from 0 at the top-left
  int Y = 0;
  std::optional<int> StepX;      // Trace only
  std::optional<int> Tolerance;
  std::optional<int> Gap;        // Trace only
};

struct TBatchAction {
  TBatchActionKind Kind = TBatchActionKind::Recalculate;
  std::string File;           // Program, Report, SimpleReport, Csv, SaveState;
                              // Trace, FindMarkers: the value as given
  std::string SortKey;        // Sort: the key name as given
  bool SortReverse = false;   // Sort: ",reverse" was given
  bool HasTemplate = false;   // SimpleReport: --template followed
  std::string Template;
  TTraceRequest Trace;        // Trace, FindMarkers
};

struct TCommandLine {
  TStartMode Mode = TStartMode::Windows;
  // Windows: the arguments as given (file names and language switches).
  // Batch: the files to open, a state file or images, language switches left out.
  std::vector<std::string> Files;
  std::vector<TBatchAction> Actions;  // Batch only, in the order given
  bool StateInput = false;            // Batch: Files holds one state file
  int PdfDpi = 0;                     // Batch: --pdf-dpi, the resolution of PDF pages; 0: the setting
};

// A command line that cannot be run; what() says why in the interface language.
class TCommandLineError : public Error {
 public:
  using Error::Error;
};

// Parses the arguments after the program name. Throws TCommandLineError.
// An argument "--" ends the options: every later one is a file name.
TCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// True when the file name has the state file's extension ".trm" (any letter case).
bool IsStateFileName(std::string_view fileName);

// The usage text, built from the option table, in the interface language of
// japanese; lines end with "\n".
std::string UsageText(bool japanese);

}  // namespace tracemill
