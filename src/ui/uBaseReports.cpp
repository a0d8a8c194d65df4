// The main window's CSV export and reports.

#include "app/uReport.h"
#include "ui/uBase.h"

namespace tracemill {

namespace {

constexpr std::string_view kSaveCsvKey = "SaveCSV";
constexpr std::string_view kCsvFilter = "CSV files (*.csv)|*.csv|All files (*.*)|*.*";
constexpr std::string_view kCsvSuffix = "csv";

}  // namespace

void TBaseForm::SaveCsvCommand() {
  TFileDialogRequest request;
  request.Filter = kCsvFilter;
  request.Folder = RememberedFolder(kSaveCsvKey);
  request.DefaultSuffix = kCsvSuffix;
  request.Save = true;
  const std::vector<std::string> files = AskFiles(request);
  if (files.empty()) return;
  Guarded([&] {
    RememberFolder(kSaveCsvKey, files.front());
    TWaitCursor wait;
    workspace_.SaveCsv(files.front());
  });
}

void TBaseForm::SimpleReportCommand() {
  Guarded([&] {
    TWaitCursor wait;
    workspace_.SimpleReport(shell_);
  });
}

// The report program's dialogs (MESSAGEBOX, INPUTBOX, SELECTDIRECTORY) are Qt's.
void TBaseForm::ProgrammableReportCommand() {
  Guarded([&] {
    TQtScriptServices services(this);
    TReportOptions options;
    options.Environment.Services = &services;
    TWaitCursor wait;
    workspace_.ProgrammableReport(shell_, options);
  });
}

}  // namespace tracemill
