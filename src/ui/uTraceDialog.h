#pragma once
// The dialog of the bench's tracing commands: the colour tolerance, and for a
// curve the X step and the largest gap, starting from the remembered values.
// While it is open the result is previewed on the bench's picture, traced
// again a moment after each change; closing it in any way takes the preview
// away. The command itself runs after OK, with Settings().

#include <QDialog>

#include "bench/uBench.h"

class QLabel;
class QSpinBox;
class QTimer;

namespace tracemill {

class TTraceDialog : public QDialog {
  Q_OBJECT

 public:
  TTraceDialog(TBench& bench, TTraceKind kind, QWidget* parent = nullptr);
  ~TTraceDialog() override;

  TTraceSettings Settings() const;
  // Traces with the values shown and previews the result; the result line
  // tells how many points it has, or why there are none.
  void UpdatePreview();

  // Between the last change of a value and the preview.
  static constexpr int kPreviewDelayMs = 250;

  // The parts, for the dialog's tests.
  QSpinBox* ToleranceBox() const { return tolerance_; }
  QSpinBox* StepBox() const { return step_; }
  QSpinBox* GapBox() const { return gap_; }
  QLabel* ResultLabel() const { return result_; }

 protected:
  void done(int result) override;

 private:
  TBench& bench_;
  TTraceKind kind_;
  QSpinBox* tolerance_ = nullptr;
  QSpinBox* step_ = nullptr;
  QSpinBox* gap_ = nullptr;
  QLabel* result_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace tracemill
