// The workspace's export and report commands, over the landed export and
// report units: the settings give template, formats, program and application.

#include "app/uBaseOptions.h"
#include "app/uWorkspace.h"

namespace tracemill {

void TWorkspace::SaveCsv(const std::string& fileName) const { SaveCsvFile(fileName, data_, formatX_, formatY_); }

std::string TWorkspace::SimpleReport(TShellService& shell) {
  const TBaseOptions options = ReadBaseOptions(store_);
  const std::string path =
      SaveSimpleReport(WorkFolder(), data_, *this, {options.SimpleReportFormat, options.FormatX, options.FormatY});
  OpenReport(shell, path, options.SimpleReportApplication);
  return path;
}

TReportFile TWorkspace::ProgrammableReport(TShellService& shell, const TReportOptions& options) {
  const TBaseOptions stored = ReadBaseOptions(store_);
  // The run reorders the lines and puts them back; the view reads them anew either way.
  TReportFile report;
  try {
    report = SaveReport(WorkFolder(), stored.Program, TReportData{data_, *this, sortItem_, sortReverse_}, options);
  } catch (...) {
    ResetList(-1);
    throw;
  }
  ResetList(-1);
  OpenReport(shell, report.Path, stored.ReportApplication);
  return report;
}

}  // namespace tracemill
