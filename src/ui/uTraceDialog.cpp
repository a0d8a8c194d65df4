#include "ui/uTraceDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

#include "common/uNumber.h"
#include "common/uStrC.h"
#include "settings/uEnvironment.h"
#include "ui/uOptionDialog.h"
#include "ui/uQtConvert.h"
#include "ui/uQtServices.h"

namespace tracemill {

namespace {

constexpr TCaption kTolerance{"色の許容差", "Color tolerance"};
constexpr TCaption kStep{"Xの間隔 (ピクセル)", "X step (pixels)"};
constexpr TCaption kGap{"とぎれの幅 (ピクセル)", "Largest gap (pixels)"};
constexpr std::string_view kPointsJa = "点";
constexpr std::string_view kPointsEn = " points";

QSpinBox* NumberBox(int low, int high, int value, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(low, high);
  box->setValue(value);
  return box;
}

}  // namespace

TTraceDialog::TTraceDialog(TBench& bench, TTraceKind kind, QWidget* parent)
    : QDialog(parent), bench_(bench), kind_(kind) {
  const bool japanese = IsJapanese();
  setWindowTitle(ToQt(TBench::TraceCaption(kind, japanese)));
  const TTraceSettings remembered = bench.TraceSettings();
  tolerance_ = NumberBox(0, TTraceSettings::kMaxTolerance, remembered.Tolerance, this);
  step_ = NumberBox(1, TTraceSettings::kMaxStepX, remembered.StepX, this);
  gap_ = NumberBox(0, TTraceSettings::kMaxGap, remembered.Gap, this);
  result_ = new QLabel(this);
  result_->setWordWrap(true);

  auto* form = new QFormLayout;
  form->addRow(CaptionText(kTolerance), tolerance_);
  form->addRow(CaptionText(kStep), step_);
  form->addRow(CaptionText(kGap), gap_);
  // Markers take the tolerance alone.
  const bool curve = kind == TTraceKind::Curve;
  form->setRowVisible(step_, curve);
  form->setRowVisible(gap_, curve);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(CaptionText(kDialogOk), QDialogButtonBox::AcceptRole);
  QPushButton* cancel =
      buttons->addButton(CaptionText(kDialogCancel), QDialogButtonBox::RejectRole);
  ok->setObjectName(QStringLiteral("OkButton"));
  cancel->setObjectName(QStringLiteral("CancelButton"));
  ok->setDefault(true);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(result_);
  layout->addWidget(buttons);

  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, &TTraceDialog::UpdatePreview);
  for (QSpinBox* box : {tolerance_, step_, gap_})
    connect(box, &QSpinBox::valueChanged, this, [this] { timer_->start(kPreviewDelayMs); });
  timer_->start(0);  // the first preview once the dialog shows
}

TTraceDialog::~TTraceDialog() { bench_.ClearPreview(); }

TTraceSettings TTraceDialog::Settings() const {
  TTraceSettings s;
  s.Tolerance = tolerance_->value();
  s.StepX = step_->value();
  s.Gap = gap_->value();
  return s;
}

void TTraceDialog::UpdatePreview() {
  timer_->stop();
  try {
    TWaitCursor wait;
    const std::vector<TTracePoint> points = bench_.TracePreview(kind_, Settings());
    bench_.SetPreview(points);
    const std::string count = IntToStr(static_cast<std::int64_t>(points.size()));
    result_->setText(ToQt(IsJapanese() ? FullWidthNumerals(count) + std::string(kPointsJa)
                                       : count + std::string(kPointsEn)));
  } catch (const std::exception& e) {
    bench_.ClearPreview();
    result_->setText(ToQt(e.what()));
  }
}

void TTraceDialog::done(int result) {
  timer_->stop();
  bench_.ClearPreview();
  QDialog::done(result);
}

}  // namespace tracemill
