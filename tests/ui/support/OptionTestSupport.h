#pragma once
// Shared by the options dialog tests: driving a modal dialog, the texts a
// window shows, and saving screenshots beside the test program.

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
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
    for (const QChar c : t)
      if (!japanese && c.unicode() >= 0x3000) return t;
  return QString();
}

// Saves every page as screenshots/<name>-<language>-<page>.png beside the test program.
inline bool SaveScreenshots(QWidget& dialog, QTabWidget& pages, const QString& name, const QString& language) {
  const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
  QDir().mkpath(folder);
  dialog.show();
  bool written = true;
  for (int i = 0; i < pages.count(); ++i) {
    pages.setCurrentIndex(i);
    QApplication::processEvents();
    written &= dialog.grab().save(QStringLiteral("%1/%2-%3-%4.png").arg(folder, name, language).arg(i));
  }
  return written;
}

}  // namespace tracemill::testing
