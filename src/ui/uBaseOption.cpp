#include "ui/uBaseOption.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "common/uError.h"
#include "settings/uAppliInfo.h"

namespace tracemill {

namespace k = basekeys;

namespace {

constexpr TCaption kFormatPageCaption{"書式", "Format"};
constexpr TCaption kFormatXCaption{" Ｘの書式", "Format for X"};
constexpr TCaption kFormatYCaption{" Ｙの書式", "Format for Y"};
constexpr TCaption kPdfDpiCaption{"PDF のページの解像度 (dpi)", "Resolution of PDF pages (dpi)"};
constexpr TCaption kSimpleReportPageCaption{"簡易レポート", "Simple Report"};
constexpr TCaption kSimpleFormatCaption{"簡易レポートの書式", "Format for Simple Report"};
constexpr TCaption kSimpleApplicationCaption{"簡易レポートを開くアプリケーション", "Application to open Simple Report"};
constexpr TCaption kProgramPageCaption{"詳細レポート", "Programmable Report"};
constexpr TCaption kProgramCaption{"プログラム", "Program"};
constexpr TCaption kOpenCaption{"開く ...", "Open ..."};
constexpr TCaption kSaveCaption{"保存 ...", "Save ..."};
constexpr TCaption kReportApplicationCaption{"詳細レポートを開くアプリケーション", "Application to open Report"};
constexpr const char* kBrowseCaption = "...";
// Room for a report program on the first opening.
constexpr QSize kDesignSize(560, 480);

// The memo shows LF line breaks; the stored program and its files have CR LF.
constexpr std::string_view kMemoLineBreak = "\n";
constexpr std::string_view kProgramLineBreak = "\r\n";

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Text(const QString& text) { return text.toStdString(); }

QLineEdit* TextBox(QWidget& page, std::string_view name) {
  auto* edit = new QLineEdit(&page);
  edit->setObjectName(QString::fromLatin1(name.data(), qsizetype(name.size())));
  return edit;
}

}  // namespace

TBaseOptionForm::TBaseOptionForm(QWidget* parent, TIniFile& store, TMessageService& messages, TShellService& shell)
    : TOptionDialog(parent, store, messages, shell, kName) {
  fontSample_ = AddFontPage();
  BuildFormatPage();
  BuildSimpleReportPage();
  BuildProgramPage();
  RestoreMemory(FontPage, kDesignSize);
  SetValues(ReadBaseOptions(store));
}

bool TBaseOptionForm::Edit(QWidget* parent, TIniFile& store, TMessageService& messages, TShellService& shell) {
  TBaseOptionForm form(parent, store, messages, shell);
  return form.exec() == QDialog::Accepted;
}

void TBaseOptionForm::BuildFormatPage() {
  QWidget& page = AddPage(kFormatPageCaption);
  formatX_ = TextBox(page, "FormatX");
  formatY_ = TextBox(page, "FormatY");
  auto* layout = new QVBoxLayout(&page);
  layout->addWidget(new QLabel(CaptionText(kFormatXCaption), &page));
  layout->addWidget(formatX_);
  layout->addWidget(new QLabel(CaptionText(kFormatYCaption), &page));
  layout->addWidget(formatY_);
  pdfDpi_ = new QSpinBox(&page);
  pdfDpi_->setObjectName(QStringLiteral("PdfDpi"));
  pdfDpi_->setRange(kPdfMinDpi, kPdfMaxDpi);
  layout->addWidget(new QLabel(CaptionText(kPdfDpiCaption), &page));
  layout->addWidget(pdfDpi_, 0, Qt::AlignLeft);
  layout->addStretch(1);
}

QLineEdit* TBaseOptionForm::ApplicationRow(QWidget& page, QGridLayout& layout, int row, std::string_view name) {
  QLineEdit* edit = TextBox(page, name);
  auto* browse = new QPushButton(QString::fromLatin1(kBrowseCaption), &page);
  browse->setObjectName(edit->objectName() + QStringLiteral("Browse"));
  browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(browse->text()) + 16);
  connect(browse, &QPushButton::clicked, this, [this, edit] {
    const QString chosen =
        QFileDialog::getOpenFileName(this, QString(), edit->text(), QtFileFilter(kApplicationFilter));
    if (!chosen.isEmpty()) edit->setText(chosen);
  });
  layout.addWidget(edit, row, 0);
  layout.addWidget(browse, row, 1);
  return edit;
}

void TBaseOptionForm::BuildSimpleReportPage() {
  QWidget& page = AddPage(kSimpleReportPageCaption);
  simpleFormat_ = TextBox(page, "SimpleReportFormat");
  auto* layout = new QGridLayout(&page);
  layout->addWidget(new QLabel(CaptionText(kSimpleFormatCaption), &page), 0, 0, 1, 2);
  layout->addWidget(simpleFormat_, 1, 0, 1, 2);
  layout->addWidget(new QLabel(CaptionText(kSimpleApplicationCaption), &page), 2, 0, 1, 2);
  simpleApplication_ = ApplicationRow(page, *layout, 3, "SimpleReportApplication");
  layout->setRowStretch(4, 1);
}

void TBaseOptionForm::BuildProgramPage() {
  QWidget& page = AddPage(kProgramPageCaption);
  program_ = new QPlainTextEdit(&page);
  program_->setObjectName(QStringLiteral("Program"));
  program_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  program_->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* open = new QPushButton(CaptionText(kOpenCaption), &page);
  auto* save = new QPushButton(CaptionText(kSaveCaption), &page);
  open->setObjectName(QStringLiteral("OpenProgram"));
  save->setObjectName(QStringLiteral("SaveProgram"));
  connect(open, &QPushButton::clicked, this, [this] { ChooseProgramFile(false); });
  connect(save, &QPushButton::clicked, this, [this] { ChooseProgramFile(true); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(CaptionText(kProgramCaption), &page));
  buttons->addStretch(1);
  buttons->addWidget(open);
  buttons->addWidget(save);
  auto* layout = new QGridLayout(&page);
  layout->addLayout(buttons, 0, 0, 1, 2);
  layout->addWidget(program_, 1, 0, 1, 2);
  layout->addWidget(new QLabel(CaptionText(kReportApplicationCaption), &page), 2, 0, 1, 2);
  reportApplication_ = ApplicationRow(page, *layout, 3, "ReportApplication");
  layout->setRowStretch(1, 1);
}

TBaseOptions TBaseOptionForm::Values() const {
  TBaseOptions o;
  o.Font = fontSample_->FontRecord();
  o.FormatX = Text(formatX_->text());
  o.FormatY = Text(formatY_->text());
  o.SimpleReportFormat = Text(simpleFormat_->text());
  o.SimpleReportApplication = Text(simpleApplication_->text());
  o.Program = WithLineBreaks(Text(program_->toPlainText()), kProgramLineBreak);
  o.ReportApplication = Text(reportApplication_->text());
  o.PdfDpi = pdfDpi_->value();
  return o;
}

void TBaseOptionForm::SetValues(const TBaseOptions& o) {
  fontSample_->SetFontRecord(o.Font);
  formatX_->setText(Text(o.FormatX));
  formatY_->setText(Text(o.FormatY));
  simpleFormat_->setText(Text(o.SimpleReportFormat));
  simpleApplication_->setText(Text(o.SimpleReportApplication));
  program_->setPlainText(Text(WithLineBreaks(o.Program, kMemoLineBreak)));
  reportApplication_->setText(Text(o.ReportApplication));
  pdfDpi_->setValue(o.PdfDpi);
}

void TBaseOptionForm::accept() {
  WriteBaseOptions(store_, Values());
  try {
    store_.Save();
  } catch (const std::exception& e) {
    ShowError(messages_, e);
  }
  TOptionDialog::accept();
}

void TBaseOptionForm::ChooseProgramFile(bool save) {
  std::string initial = store_.ReadValue(k::kPathSection, k::kPathProgram, std::string_view());
  if (initial.empty()) initial = Appli().WorkFolder;
  const QString filter = QtFileFilter(kProgramFilter);
  const QString chosen = save ? QFileDialog::getSaveFileName(this, QString(), Text(initial), filter)
                              : QFileDialog::getOpenFileName(this, QString(), Text(initial), filter);
  if (chosen.isEmpty()) return;
  if (save)
    SaveProgram(Text(chosen));
  else
    OpenProgram(Text(chosen));
}

void TBaseOptionForm::RememberProgramFile(const std::string& fileName) {
  store_.WriteValue(k::kPathSection, k::kPathProgram, fileName);
  try {
    store_.Save();
  } catch (const std::exception& e) {
    ShowError(messages_, e);
  }
}

void TBaseOptionForm::OpenProgram(const std::string& fileName) {
  RememberProgramFile(fileName);
  try {
    program_->setPlainText(Text(WithLineBreaks(ReadProgramFile(fileName), kMemoLineBreak)));
  } catch (const Error& e) {
    ShowError(messages_, e);
  }
}

void TBaseOptionForm::SaveProgram(const std::string& fileName) {
  RememberProgramFile(fileName);
  try {
    WriteProgramFile(fileName, WithLineBreaks(Text(program_->toPlainText()), kProgramLineBreak));
  } catch (const Error& e) {
    ShowError(messages_, e);
  }
}

}  // namespace tracemill
