#include "ui/uProgress.h"

#include <QApplication>

#include "ui/uQtConvert.h"

namespace tracemill {

std::unique_ptr<QProgressDialog> MakeProgressDialog(QWidget* parent, const std::string& file, const TCaption& doing,
                                                    int maximum, int delayMs) {
  auto dialog = std::make_unique<QProgressDialog>(ToQt(file) + QLatin1Char('\n') + CaptionText(doing),
                                                  CaptionText(kDialogCancel), 0, maximum, parent);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->setMinimumDuration(delayMs);
  dialog->setAutoClose(false);
  dialog->setAutoReset(false);
  return dialog;
}

std::function<bool(int done, int total)> ProgressOf(QProgressDialog& dialog) {
  return [&dialog](int done, int total) {
    if (dialog.maximum() != total) dialog.setMaximum(total);
    dialog.setValue(done);
    QApplication::processEvents();
    return !dialog.wasCanceled();
  };
}

}  // namespace tracemill
