#include "ui/uOption.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "bench/uBenchKeys.h"
#include "common/uNumber.h"
#include "ui/uOptionPages.h"

namespace tracemill {

namespace k = benchkeys;

namespace {

constexpr TCaption kStandardPageCaption{"基準点", "Standard"};
constexpr TMarkerCaptions kStandardCaptions{{"基準点の見本", "Sample"},
                                            {"基準点の色", "Color"},
                                            {"基準点の形", "Shape"},
                                            {"測定中も表示する", "Show while measuring"}};
constexpr TCaption kMeasuredPageCaption{"測定点", "Measured"};
constexpr TMarkerCaptions kMeasuredCaptions{{"測定点の見本", "Sample"},
                                            {"測定点の色", "Color"},
                                            {"測定点の形", "Shape"},
                                            {"基準点設定中も表示する", "Show while setting standards"}};
constexpr TCaption kLinePageCaption{"線", "Line"};
constexpr TCaption kLineSampleCaption{"線の見本", "Sample Line"};
constexpr TCaption kLineColorCaption{"線の色", "Color"};
constexpr TCaption kLineWidthCaption{"線の太さ", "Width"};
constexpr TCaption kMagnifierPageCaption{"拡大表示", "Magnifier"};
constexpr TCaption kGridSampleCaption{"拡大表示の見本", "Sample Grid"};
constexpr TCaption kMagnitudeCaption{"拡大表示の倍率", "Magnitude"};
constexpr TCaption kGridColorCaption{"格子線の色", "Grid Color"};
constexpr TCaption kCommentPageCaption{"コメント", "Comment"};
constexpr TCaption kStatusPageCaption{"ステータス", "Status"};
constexpr TCaption kRightPageCaption{"右ボタン", "Right Button"};
constexpr TCaption kOtherWindowCaption{"他のウィンドウの設定もこれに合わせる", "All windows follow this setting"};
constexpr TCaption kDefaultCaption{"この設定を今後の標準の設定にする", "Make this setting default"};

constexpr TOptionCheck kCommentChecks[] = {
    {k::kCommentArea, {"同じ色の部分の面積をコメントにする", "Comment shows the area of same color"},
     &TBenchSettings::CommentArea},
    {k::kCommentColor, {"色コードをコメントにする", "Comment shows the color code of the point"},
     &TBenchSettings::CommentColor},
};
// The blank inside the coordinate captions is the ideographic space.
constexpr TOptionCheck kStatusChecks[] = {
    {k::kStatusXo, {"変換前の座標　ｘ", "Original X"}, &TBenchSettings::StatusXo},
    {k::kStatusYo, {"変換前の座標　ｙ", "Original Y"}, &TBenchSettings::StatusYo},
    {k::kStatusXv, {"変換後の座標　Ｘ", "Translated X"}, &TBenchSettings::StatusXv},
    {k::kStatusYv, {"変換後の座標　Ｙ", "Translated Y"}, &TBenchSettings::StatusYv},
    {k::kStatusColor, {"色コード", "Color Code"}, &TBenchSettings::StatusColor},
};
constexpr TOptionCheck kRightChecks[] = {
    {k::kRightMagnifier, {"拡大", "Magnify"}, &TBenchSettings::RightMagnifier},
    {k::kRightLine, {"線", "Line"}, &TBenchSettings::RightLine},
    {k::kRightDelete, {"削除", "Delete"}, &TBenchSettings::RightDelete},
};

// The width the line sample draws while no width is chosen.
constexpr int kUnchosenSampleWidth = 1;

QString Name(std::string_view key) { return QString::fromLatin1(key.data(), qsizetype(key.size())); }

QComboBox* ItemList(std::span<const std::string_view> items, std::string_view key, QWidget* parent) {
  auto* list = new QComboBox(parent);
  list->setObjectName(Name(key));
  for (std::string_view item : items) list->addItem(Name(item));
  return list;
}

std::int32_t ItemNumber(std::span<const std::string_view> items, int index) { return StrToInt(items[index]); }

QCheckBox* CheckBox(const TCaption& caption, std::string_view key, QWidget* parent) {
  auto* box = new QCheckBox(CaptionText(caption), parent);
  box->setObjectName(Name(key));
  return box;
}

// A colour panel with its button.
QHBoxLayout* ColorRow(TColorPanel& panel, QWidget* parent) {
  auto* button = new QPushButton(CaptionText(kColorButtonCaption), parent);
  QObject::connect(button, &QPushButton::clicked, &panel, &TColorPanel::ChooseColor);
  auto* row = new QHBoxLayout;
  row->addWidget(&panel);
  row->addWidget(button);
  row->addStretch(1);
  return row;
}

}  // namespace

TOptionForm::TOptionForm(QWidget* parent, TIniFile& store, TMessageService& messages, TShellService& shell)
    : TOptionDialog(parent, store, messages, shell, kName) {
  // The dialog's own font: never stored, so the interface language's default face.
  TOptionValues initial;
  store.ReadFont(kName, initial.Settings.Font);
  setFont(ToQFont(initial.Settings.Font));

  fontSample_ = AddFontPage();
  standard_ = new TMarkerPage(kStandardCaptions, &Pages());
  standard_->setObjectName(QStringLiteral("StandardPage"));
  Pages().addTab(standard_, CaptionText(kStandardPageCaption));
  measured_ = new TMarkerPage(kMeasuredCaptions, &Pages());
  measured_->setObjectName(QStringLiteral("MeasuredPage"));
  Pages().addTab(measured_, CaptionText(kMeasuredPageCaption));
  BuildLinePage();
  BuildMagnifierPage();
  BuildCheckPage(kCommentPageCaption, kCommentChecks);
  BuildCheckPage(kStatusPageCaption, kStatusChecks);
  BuildCheckPage(kRightPageCaption, kRightChecks);

  otherWindow_ = CheckBox(kOtherWindowCaption, k::kOtherWindow, this);
  default_ = CheckBox(kDefaultCaption, k::kDefault, this);
  AddAboveButtons(*otherWindow_);
  AddAboveButtons(*default_);

  SetValues(initial);
  connect(&Pages(), &QTabWidget::currentChanged, this, &TOptionForm::RedrawPageSample);
  RestoreMemory(MeasuredPage);
}

std::optional<std::string> TOptionForm::Edit(QWidget* parent, TIniFile& store, TMessageService& messages,
                                             TShellService& shell, const std::string& settingsText) {
  TOptionForm form(parent, store, messages, shell);
  form.LoadText(settingsText);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.ProducedText();
}

void TOptionForm::BuildLinePage() {
  QWidget& page = AddPage(kLinePageCaption);
  lineColor_ = new TColorPanel(&page);
  lineColor_->setObjectName(Name(k::kLineColor));
  width_ = ItemList(kLineWidthItems, k::kLineWidth, &page);
  linePicture_ = new QLabel(&page);
  auto* layout = new QGridLayout(&page);
  layout->addWidget(new QLabel(CaptionText(kLineSampleCaption), &page), 0, 0);
  layout->addWidget(linePicture_, 1, 0, 4, 1, Qt::AlignLeft | Qt::AlignTop);
  layout->addWidget(new QLabel(CaptionText(kLineColorCaption), &page), 0, 1);
  layout->addLayout(ColorRow(*lineColor_, &page), 1, 1);
  layout->addWidget(new QLabel(CaptionText(kLineWidthCaption), &page), 2, 1);
  layout->addWidget(width_, 3, 1, Qt::AlignLeft);
  layout->setRowStretch(4, 1);
  layout->setColumnStretch(1, 1);
  connect(lineColor_, &TColorPanel::ColorChanged, this, &TOptionForm::RedrawLineSample);
  connect(width_, &QComboBox::currentIndexChanged, this, &TOptionForm::RedrawLineSample);
}

void TOptionForm::BuildMagnifierPage() {
  QWidget& page = AddPage(kMagnifierPageCaption);
  magnitude_ = ItemList(kMagnitudeItems, k::kMagnitude, &page);
  gridColor_ = new TColorPanel(&page);
  gridColor_->setObjectName(Name(k::kGridColor));
  gridPicture_ = new QLabel(&page);
  auto* layout = new QGridLayout(&page);
  layout->addWidget(new QLabel(CaptionText(kGridSampleCaption), &page), 0, 0);
  layout->addWidget(gridPicture_, 1, 0, 4, 1, Qt::AlignLeft | Qt::AlignTop);
  layout->addWidget(new QLabel(CaptionText(kMagnitudeCaption), &page), 0, 1);
  layout->addWidget(magnitude_, 1, 1, Qt::AlignLeft);
  layout->addWidget(new QLabel(CaptionText(kGridColorCaption), &page), 2, 1);
  layout->addLayout(ColorRow(*gridColor_, &page), 3, 1);
  layout->setRowStretch(4, 1);
  layout->setColumnStretch(1, 1);
  connect(gridColor_, &TColorPanel::ColorChanged, this, &TOptionForm::RedrawGridSample);
  connect(magnitude_, &QComboBox::currentIndexChanged, this, &TOptionForm::RedrawGridSample);
}

void TOptionForm::BuildCheckPage(const TCaption& caption, std::span<const TOptionCheck> checks) {
  QWidget& page = AddPage(caption);
  auto* layout = new QVBoxLayout(&page);
  for (const TOptionCheck& check : checks) {
    QCheckBox* box = CheckBox(check.Caption, check.Key, &page);
    layout->addWidget(box);
    boxes_.push_back({box, check.Value});
  }
  layout->addStretch(1);
}

void TOptionForm::LoadText(std::string_view text) {
  TOptionValues values = Values();
  LoadOptionText(text, values);
  SetValues(values);
}

std::string TOptionForm::ProducedText() const { return OptionText(Values()); }

TOptionValues TOptionForm::Values() const {
  TOptionValues v;
  TBenchSettings& s = v.Settings;
  s.Font = fontSample_->FontRecord();
  s.Standard.Color = standard_->ColorPanel().Color();
  s.Standard.SetShape(standard_->Grid().Shape());
  s.StandardVisible = standard_->VisibleBox().isChecked();
  s.Measured.Color = measured_->ColorPanel().Color();
  s.Measured.SetShape(measured_->Grid().Shape());
  s.MeasuredVisible = measured_->VisibleBox().isChecked();
  s.LineColor = lineColor_->Color();
  s.LineWidth = width_->currentIndex() >= 0 ? ItemNumber(kLineWidthItems, width_->currentIndex()) : keptWidth_;
  s.Magnitude = ItemNumber(kMagnitudeItems, std::max(magnitude_->currentIndex(), 0));
  s.GridColor = gridColor_->Color();
  for (const TBox& b : boxes_) s.*b.Value = b.Box->isChecked();
  v.OtherWindow = otherWindow_->isChecked();
  v.Default = default_->isChecked();
  return v;
}

void TOptionForm::SetValues(const TOptionValues& v) {
  const TBenchSettings& s = v.Settings;
  fontSample_->SetFontRecord(s.Font);
  standard_->ColorPanel().SetColor(s.Standard.Color);
  standard_->Grid().SetShape(s.Standard.Shape);
  standard_->VisibleBox().setChecked(s.StandardVisible);
  measured_->ColorPanel().SetColor(s.Measured.Color);
  measured_->Grid().SetShape(s.Measured.Shape);
  measured_->VisibleBox().setChecked(s.MeasuredVisible);
  lineColor_->SetColor(s.LineColor);
  keptWidth_ = s.LineWidth;
  width_->setCurrentIndex(ItemIndex(kLineWidthItems, s.LineWidth));
  magnitude_->setCurrentIndex(std::max(ItemIndex(kMagnitudeItems, s.Magnitude), 0));
  gridColor_->SetColor(s.GridColor);
  for (const TBox& b : boxes_) b.Box->setChecked(s.*b.Value);
  otherWindow_->setChecked(v.OtherWindow);
  default_->setChecked(v.Default);
  standard_->RedrawSample();
  measured_->RedrawSample();
  RedrawLineSample();
  RedrawGridSample();
}

int TOptionForm::SelectedWidth() const {
  return width_->currentIndex() >= 0 ? ItemNumber(kLineWidthItems, width_->currentIndex()) : kUnchosenSampleWidth;
}

void TOptionForm::RedrawLineSample() {
  lineSample_ = LineSample(palette().color(QPalette::Window), ToQColor(lineColor_->Color()), SelectedWidth());
  ShowSample(*linePicture_, lineSample_);
}

void TOptionForm::RedrawGridSample() {
  gridSample_ = GridSample(palette().color(QPalette::Window), ToQColor(gridColor_->Color()),
                           ItemNumber(kMagnitudeItems, std::max(magnitude_->currentIndex(), 0)));
  ShowSample(*gridPicture_, gridSample_);
}

void TOptionForm::RedrawPageSample(int page) {
  if (page == StandardPage || page == MeasuredPage) Marker(TPage(page)).RedrawSample();
  if (page == MagnifierPage) RedrawGridSample();
}

}  // namespace tracemill
