#pragma once
// Shared by the window tests: driving a modal dialog, the texts a window
// shows and whether they hold Japanese (full-width) characters.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace tracemill::testing {

// Runs act on the modal window once it is shown (call before the modal call); sets done then.
inline void WhenModal(std::function<void(QWidget&)> act, bool* done = nullptr) {
  QTimer::singleShot(0, [act = std::move(act), done] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return;
    act(*modal);
    if (done) *done = true;
  });
}

inline bool HasJapanese(const QString& text) {
  for (QChar c : text)
    if (c.unicode() >= 0x3000) return true;
  return false;
}

// Every text the window shows: its title, labels, buttons and page captions.
inline QStringList ShownTexts(const QWidget& window) {
  QStringList texts{window.windowTitle()};
  for (const QLabel* l : window.findChildren<QLabel*>()) texts << l->text();
  for (const QAbstractButton* b : window.findChildren<QAbstractButton*>()) texts << b->text();
  for (const QTabWidget* t : window.findChildren<QTabWidget*>())
    for (int i = 0; i < t->count(); ++i) texts << t->tabText(i);
  texts.removeAll(QString());
  return texts;
}

// What is wrong with the dialog's captions in the interface language: its
// title, a caption it must show, and in English no Japanese (full-width)
// character anywhere. Empty when nothing is.
inline QString CaptionFault(const QWidget& dialog, bool japanese, const QString& shown) {
  const QStringList texts = ShownTexts(dialog);
  if (dialog.windowTitle() != (japanese ? QStringLiteral("設定 / Tracemill") : QStringLiteral("Option / Tracemill")))
    return dialog.windowTitle();
  if (!texts.contains(shown)) return QStringLiteral("missing ") + shown;
  for (const QString& t : texts)
    if (!japanese && HasJapanese(t)) return t;
  return QString();
}

}  // namespace tracemill::testing
