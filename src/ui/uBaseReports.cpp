// The main window's CSV export and reports.

#include <memory>

#include "app/uBaseOptions.h"
#include "app/uExport.h"
#include "app/uReport.h"
#include "app/uWorkspaceBenches.h"
#include "settings/uEnvironment.h"
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
    SaveCsvFile(files.front(), workspace_.Data(), workspace_.FormatX(), workspace_.FormatY());
  });
}

void TBaseForm::SimpleReportCommand() {
  Guarded([&] {
    const TBaseOptions options = ReadBaseOptions(store_);
    const TWorkspaceBenches benches(workspace_);
    TSimpleReportFormat format;
    format.Template = options.SimpleReportFormat;
    format.FormatX = workspace_.FormatX();
    format.FormatY = workspace_.FormatY();
    std::string path;
    {
      TWaitCursor wait;
      path = SaveSimpleReport(workspace_.WorkFolder(), workspace_.Data(), benches, format);
    }
    OpenReport(shell_, path, options.SimpleReportApplication);
  });
}

// The program runs over a copy of the collected data, so that whatever its
// SORT calls do the list keeps its order; afterwards no row is selected.
void TBaseForm::ProgrammableReportCommand() {
  Guarded([&] {
    const TBaseOptions options = ReadBaseOptions(store_);
    const TWorkspaceBenches benches(workspace_);
    const std::unique_ptr<TBaseMeasuredList> copy = workspace_.Data().Copy();
    const TReportData data{*copy, benches, workspace_.SortItem(), workspace_.SortReverse()};
    TQtScriptServices services(this);
    TReportOptions run;
    run.Environment.Services = &services;
    TReportFile report;
    {
      TWaitCursor wait;
      report = SaveReport(workspace_.WorkFolder(), options.Program, data, run);
    }
    OpenReport(shell_, report.Path, options.ReportApplication);
  });
  workspace_.RefreshList(-1);
}

}  // namespace tracemill
