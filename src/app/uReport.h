#pragma once
// The programmable report: a program in the report language runs over the
// collected data, reading it through the host functions DATACOUNT,
// POINTCOUNT, POINTSID, WINDOWID, TITLE, COMMENT, X, Y and FILENAMEOFWINDOW,
// writing its lines with PRINT and reordering the data with SORT. Errors of
// the program end up in the report itself.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/uBaseData.h"
#include "app/uExport.h"
#include "script/uScriptEnvironment.h"

namespace tracemill {
class TBuiltinLibrary;
}

namespace tracemill {

// The first line of the report of a program that does not compile; the
// compiler's message follows it.
inline constexpr std::string_view kProgramStructureError = "Program Structure Error";
// After the lines printed before a run-time error: an empty line, this text
// with the failing line's 1-based number, and the error message.
inline constexpr std::string_view kProgramErrorOnLine = "Program Error on Line #";

enum class TReportStatus {
  Completed,       // the program ran to its end
  StructureError,  // the program did not compile and was not run
  RunError,        // the program stopped with a run-time error
};

struct TReportResult {
  std::vector<std::string> Lines;  // the report, error lines included
  TReportStatus Status = TReportStatus::Completed;
  bool HasError() const { return Status != TReportStatus::Completed; }
};

// What a report run reads and changes.
struct TReportData {
  // The collected lines; SORT reorders them while the program runs, and the
  // run puts them back in the list's order (SortItem, SortReverse) however it
  // ends. A caller that shows the list rebuilds it afterwards, with no row
  // selected.
  TBaseMeasuredList& Data;
  const TBenchSource& Benches;
  std::string SortItem = "SERIAL";
  bool SortReverse = false;
};

// How a report program runs.
struct TReportOptions {
  // Formats, language, services and memory budget of the run.
  TScriptEnvironment Environment = TScriptEnvironment::FromProcess();
  // The steps the run may take (0: no limit); a run that needs more stops
  // with a run-time error.
  std::int64_t StepLimit = 0;
  // The built-in library; nullptr: the standard one.
  const TBuiltinLibrary* Builtins = nullptr;
};

// Runs the program over the data. Loops without MAX may pass at least as
// often as there are collected lines, and as a line has points, so that a
// program that walks the data sees all of it (never fewer than 100 passes).
// Everything printed is kept until the report reaches the environment's
// memory budget; a program that prints more stops with a run-time error.
TReportResult RunReport(std::string_view program, const TReportData& data, const TReportOptions& options = {});

struct TReportFile {
  std::string Path;  // the report file written
  TReportStatus Status = TReportStatus::Completed;
};

// Runs the program and writes its report, error lines included, to
// folder + "Report.txt". Throws FileError when the file cannot be written
// (an existing report stays whole); the data is back in the list's order
// either way.
TReportFile SaveReport(const std::string& folder, std::string_view program, const TReportData& data,
                       const TReportOptions& options = {});

}  // namespace tracemill
