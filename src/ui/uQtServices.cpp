#include "ui/uQtServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <array>

#include "ui/uQtConvert.h"

namespace tracemill {

namespace {

using Button = QMessageBox::StandardButton;

struct ButtonSet {
  std::array<Button, 3> Buttons;
  int Count;
};

// The buttons of each classic button set, left to right.
ButtonSet ButtonsOf(TMessageButtons set) {
  switch (set) {
    case TMessageButtons::Ok: return {{Button::Ok}, 1};
    case TMessageButtons::OkCancel: return {{Button::Ok, Button::Cancel}, 2};
    case TMessageButtons::AbortRetryIgnore: return {{Button::Abort, Button::Retry, Button::Ignore}, 3};
    case TMessageButtons::YesNoCancel: return {{Button::Yes, Button::No, Button::Cancel}, 3};
    case TMessageButtons::YesNo: return {{Button::Yes, Button::No}, 2};
    case TMessageButtons::RetryCancel: return {{Button::Retry, Button::Cancel}, 2};
    case TMessageButtons::CancelTryContinue: break;
  }
  return {{Button::Ok}, 1};
}

QMessageBox::Icon IconOf(TMessageIcon icon) {
  switch (icon) {
    case TMessageIcon::Stop: return QMessageBox::Critical;
    case TMessageIcon::Question: return QMessageBox::Question;
    case TMessageIcon::Exclamation: return QMessageBox::Warning;
    case TMessageIcon::Information: return QMessageBox::Information;
    case TMessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

// Cancel, Try Again and Continue have no standard button of their own.
constexpr std::string_view kTryAgainCaption = "&Try Again";
constexpr std::string_view kContinueCaption = "&Continue";

QString PlainLineBreaks(const std::string& text) {
  QString s = ToQt(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

TMessageResult ResultOfButton(Button b) {
  switch (b) {
    case Button::Ok: return TMessageResult::Ok;
    case Button::Cancel: return TMessageResult::Cancel;
    case Button::Abort: return TMessageResult::Abort;
    case Button::Retry: return TMessageResult::Retry;
    case Button::Ignore: return TMessageResult::Ignore;
    case Button::Yes: return TMessageResult::Yes;
    case Button::No: return TMessageResult::No;
    default: break;
  }
  return TMessageResult::Cancel;
}

constexpr const char* kResultProperty = "tracemillResult";

}  // namespace

void PrepareMessageBox(QMessageBox& box, const TMessage& message) {
  box.setWindowTitle(ToQt(message.Caption));
  box.setText(PlainLineBreaks(message.Text));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(IconOf(message.Icon));
  std::vector<QAbstractButton*> buttons;
  if (message.Buttons == TMessageButtons::CancelTryContinue) {
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    QPushButton* again = box.addButton(ToQt(kTryAgainCaption), QMessageBox::AcceptRole);
    QPushButton* go = box.addButton(ToQt(kContinueCaption), QMessageBox::AcceptRole);
    cancel->setProperty(kResultProperty, static_cast<int>(TMessageResult::Cancel));
    again->setProperty(kResultProperty, static_cast<int>(TMessageResult::TryAgain));
    go->setProperty(kResultProperty, static_cast<int>(TMessageResult::Continue));
    buttons = {cancel, again, go};
  } else {
    const ButtonSet set = ButtonsOf(message.Buttons);
    for (int i = 0; i < set.Count; ++i) {
      QPushButton* b = box.addButton(set.Buttons[static_cast<std::size_t>(i)]);
      b->setProperty(kResultProperty, static_cast<int>(ResultOfButton(set.Buttons[static_cast<std::size_t>(i)])));
      buttons.push_back(b);
    }
  }
  const int index = message.DefaultButton >= 0 && message.DefaultButton < static_cast<int>(buttons.size())
                        ? message.DefaultButton
                        : 0;
  if (auto* b = qobject_cast<QPushButton*>(buttons[static_cast<std::size_t>(index)])) box.setDefaultButton(b);
  // Esc and the close box answer with the last button (Cancel or No where the set has one).
  box.setEscapeButton(buttons.back());
}

TMessageResult ResultOf(const QMessageBox& box) {
  const QAbstractButton* clicked = box.clickedButton();
  if (!clicked) return TMessageResult::Cancel;
  return static_cast<TMessageResult>(clicked->property(kResultProperty).toInt());
}

TMessageResult TQtMessageService::ShowMessage(const TMessage& message) {
  QWidget* owner = owner_ ? owner_.data() : QApplication::activeWindow();
  QMessageBox box(owner);
  PrepareMessageBox(box, message);
  box.exec();
  return ResultOf(box);
}

bool TQtShellService::OpenFile(const std::string& path, const std::string& anchor) {
  QUrl url = QUrl::fromLocalFile(ToQt(path));
  if (!anchor.empty()) url.setFragment(ToQt(anchor));
  return QDesktopServices::openUrl(url);
}


TWaitCursor::TWaitCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(QCursor(shape)); }
TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }

TQtScriptServices::TQtScriptServices(QWidget* owner)
    : TScriptServices(&messages_), messages_(owner), owner_(owner) {}

QWidget* TQtScriptServices::Owner() const { return owner_ ? owner_.data() : QApplication::activeWindow(); }

std::string TQtScriptServices::InputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultText) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(Owner(), ToQt(caption), ToQt(prompt), QLineEdit::Normal, ToQt(defaultText), &ok);
  return ok ? FromQt(text) : defaultText;
}

std::string TQtScriptServices::SelectDirectory(const std::string& folder, bool style) {
  const QFileDialog::Options options = style ? QFileDialog::DontUseNativeDialog : QFileDialog::Options();
  const QString chosen = QFileDialog::getExistingDirectory(Owner(), QString(), ToQt(folder),
                                                           options | QFileDialog::ShowDirsOnly);
  return chosen.isEmpty() ? folder : FromQt(chosen);
}

std::vector<std::string> TQtScriptServices::CommandLine() {
  std::vector<std::string> result;
  for (const QString& a : QCoreApplication::arguments()) result.push_back(FromQt(a));
  if (result.empty()) return TScriptServices::CommandLine();
  return result;
}

}  // namespace tracemill
