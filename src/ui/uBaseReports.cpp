// The main window's CSV export and reports.

#include "ui/uBase.h"

namespace tracemill {

// The export and both reports come with the report writers.
void TBaseForm::SaveCsvCommand() {}
void TBaseForm::SimpleReportCommand() {}
void TBaseForm::ProgrammableReportCommand() {}

}  // namespace tracemill
