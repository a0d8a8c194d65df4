#include "ui/uOptionDialog.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "ui/uPlacement.h"

namespace tracemill {

namespace {

constexpr TCaption kFontPageCaption{"フォント", "Font"};
constexpr TCaption kFontSampleCaption{"フォントの見本", "Sample Typeface"};
constexpr TCaption kFontButtonCaption{"フォント ...", "Font ..."};

constexpr TCaption kTitle{"設定 / ", "Option / "};
constexpr TCaption kHelp{"ヘルプ", "Help"};
constexpr std::string_view kFontSampleText = "0123456789ABCXYZabcxyz";

// Sizes beyond these are shown at the bound (the record keeps its own).
constexpr int kLeastShownPointSize = 1;
constexpr int kMostShownPointSize = 144;

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

// "*.a;*.b" as "*.a *.b", with the all-files pattern "*.*" as "*".
QString QtPatterns(std::string_view patterns) {
  QStringList out;
  for (const QString& p : FromUtf8(patterns).split(u';', Qt::SkipEmptyParts)) {
    const QString pattern = p.trimmed();
    out << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
  }
  return out.join(u' ');
}

}  // namespace

QString CaptionText(const TCaption& caption) {
  return FromUtf8(IsJapanese() ? caption.Japanese : caption.English);
}

QFont ToQFont(const TFontRecord& font) {
  QFont f;
  f.setFamily(QString::fromStdString(font.Name));
  if (font.Size > 0) f.setPointSize(std::clamp(font.Size, kLeastShownPointSize, kMostShownPointSize));
  f.setFixedPitch(font.Pitch == TFontPitch::Fixed);
  f.setBold(font.Bold);
  f.setItalic(font.Italic);
  f.setUnderline(font.Underline);
  f.setStrikeOut(font.Strikeout);
  return f;
}

TFontRecord WithChosenFont(TFontRecord record, const QFont& chosen) {
  const std::string name = chosen.family().toStdString();
  if (name != record.Name) record.Pitch = TFontPitch::Default;
  record.Name = name;
  if (chosen.pointSize() > 0) record.Size = chosen.pointSize();
  record.Bold = chosen.bold();
  record.Italic = chosen.italic();
  record.Underline = chosen.underline();
  record.Strikeout = chosen.strikeOut();
  return record;
}

QColor ToQColor(std::uint32_t color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

std::uint32_t FromQColor(const QColor& color) {
  return std::uint32_t(color.red()) | (std::uint32_t(color.green()) << 8) | (std::uint32_t(color.blue()) << 16);
}

QString QtFileFilter(std::string_view filter) {
  QStringList entries;
  while (!filter.empty()) {
    const std::size_t bar = filter.find('|');
    if (bar == std::string_view::npos) break;  // a description without patterns
    QString description = FromUtf8(filter.substr(0, bar)).trimmed();
    filter.remove_prefix(bar + 1);
    const std::size_t next = filter.find('|');
    const std::string_view patterns = filter.substr(0, next);
    filter.remove_prefix(next == std::string_view::npos ? filter.size() : next + 1);
    // The description's own "(*.a)" gives way to the patterns in the dialog's form.
    if (description.endsWith(u')') && description.contains(u'('))
      description = description.left(description.lastIndexOf(u'(')).trimmed();
    entries << description + QStringLiteral(" (") + QtPatterns(patterns) + u')';
  }
  return entries.join(QStringLiteral(";;"));
}

void ShowError(TMessageService& messages, const std::exception& error) {
  TMessage m;
  m.Caption = Appli().Name;
  m.Text = error.what();
  m.Buttons = TMessageButtons::Ok;
  m.Icon = TMessageIcon::Exclamation;
  messages.ShowMessage(m);
}

// --- Font sample -------------------------------------------------------------

TFontSample::TFontSample(QWidget* parent) : QLabel(FromUtf8(kFontSampleText), parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAlignment(Qt::AlignCenter);
  setMinimumHeight(48);
  SetFontRecord(font_);
}

void TFontSample::SetFontRecord(const TFontRecord& font) {
  font_ = font;
  setFont(ToQFont(font));
  QPalette p = palette();
  p.setColor(QPalette::WindowText, ToQColor(static_cast<std::uint32_t>(font.Color)));
  setPalette(p);
}

void TFontSample::ChooseFont() {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, ToQFont(font_), this);
  if (ok) SetFontRecord(WithChosenFont(font_, chosen));
}

// --- Colour panel ------------------------------------------------------------

TColorPanel::TColorPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
  setFixedSize(48, 24);
  SetColor(color_);
}

void TColorPanel::SetColor(std::uint32_t color) {
  color_ = color & 0xFFFFFFu;
  QPalette p = palette();
  p.setColor(QPalette::Window, ToQColor(color_));
  setPalette(p);
  emit ColorChanged();
}

void TColorPanel::ChooseColor() {
  const QColor chosen = QColorDialog::getColor(ToQColor(color_), this);
  if (chosen.isValid()) SetColor(FromQColor(chosen));
}

// --- Dialog frame ------------------------------------------------------------

TOptionDialog::TOptionDialog(QWidget* parent, TIniFile& store, TMessageService& messages, TShellService& shell,
                             std::string_view name)
    : QDialog(parent), store_(store), messages_(messages), shell_(shell), name_(name) {
  setObjectName(QString::fromStdString(name_));
  setModal(true);
  setWindowTitle(CaptionText(kTitle) + QString::fromStdString(Appli().Name));
  layout_ = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->setUsesScrollButtons(false);  // every page caption in sight
  layout_->addWidget(pages_, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* ok = new QPushButton(CaptionText(kDialogOk), this);
  auto* cancel = new QPushButton(CaptionText(kDialogCancel), this);
  auto* help = new QPushButton(CaptionText(kHelp), this);
  ok->setObjectName(QStringLiteral("OkButton"));
  cancel->setObjectName(QStringLiteral("CancelButton"));
  help->setObjectName(QStringLiteral("HelpButton"));
  ok->setDefault(true);
  for (QPushButton* b : {ok, cancel, help}) buttons->addWidget(b);
  layout_->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(help, &QPushButton::clicked, this, [this] { Appli().ShowHelp(shell_, messages_); });
}

QWidget& TOptionDialog::AddPage(const TCaption& caption) {
  auto* page = new QWidget(pages_);
  pages_->addTab(page, CaptionText(caption));
  return *page;
}

TFontSample* TOptionDialog::AddFontPage() {
  QWidget& page = AddPage(kFontPageCaption);
  auto* sample = new TFontSample(&page);
  sample->setObjectName(QStringLiteral("FontSample"));
  auto* button = new QPushButton(CaptionText(kFontButtonCaption), &page);
  connect(button, &QPushButton::clicked, sample, &TFontSample::ChooseFont);
  auto* layout = new QVBoxLayout(&page);
  layout->addWidget(new QLabel(CaptionText(kFontSampleCaption), &page));
  layout->addWidget(sample, 1);
  layout->addWidget(button, 0, Qt::AlignRight);
  return sample;
}

void TOptionDialog::AddAboveButtons(QWidget& widget) { layout_->insertWidget(layout_->count() - 1, &widget); }

void TOptionDialog::RestoreMemory(int openingPage, QSize designSize) {
  resize(designSize.expandedTo(sizeHint()));
  // The first opening centres the dialog over its owner's window (or the screen).
  const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect around = owner ? owner->geometry() : screen ? screen->availableGeometry() : QRect();
  QRect placed(QPoint(0, 0), size());
  placed.moveCenter(around.center());
  setGeometry(placed);
  RestoreWindowPlacement(*this, store_, name_);

  const std::int32_t page = store_.ReadValue(name_, kPageKey, std::int32_t(0));
  const bool usable = page >= 0 && page < pages_->count() && pages_->isTabVisible(page);
  pages_->setCurrentIndex(usable ? page : openingPage);
}

void TOptionDialog::done(int result) {
  store_.WriteValue(name_, kPageKey, std::int32_t(pages_->currentIndex()));
  StoreWindowPlacement(*this, store_, name_);
  try {
    store_.Save();
  } catch (const std::exception& e) {
    ShowError(messages_, e);
  }
  QDialog::done(result);
}

}  // namespace tracemill
