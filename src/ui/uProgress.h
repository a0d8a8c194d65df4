#pragma once
// The progress dialog of long work on one file (loading a large picture,
// splitting a video, writing the pages of a PDF document).

#include <QProgressDialog>
#include <functional>
#include <memory>
#include <string>

#include "ui/uOptionDialog.h"

namespace tracemill {

// A modal dialog with the file's name, a line saying what is being done and
// Cancel, in the interface language. It shows after delayMs; it neither closes
// nor resets by itself. maximum 0 shows a busy bar.
std::unique_ptr<QProgressDialog> MakeProgressDialog(QWidget* parent, const std::string& file, const TCaption& doing,
                                                    int maximum, int delayMs = 0);

// A progress callback (work done, work to do; false cancels) that moves the
// dialog and keeps the windows answering.
std::function<bool(int done, int total)> ProgressOf(QProgressDialog& dialog);

}  // namespace tracemill
