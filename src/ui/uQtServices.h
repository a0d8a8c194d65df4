#pragma once
// The desktop services the core asks for, made with Qt: message boxes, the
// shell, the hourglass cursor and the dialogs of report programs.

#include <QPointer>
#include <QWidget>
#include <Qt>
#include <string>
#include <vector>

#include "common/uServices.h"
#include "script/uBuiltin.h"

class QMessageBox;

namespace tracemill {

// Modal message boxes: caption, text, icon, buttons and default button as
// given. The owner is the given window, else the application's active window.
class TQtMessageService : public TMessageService {
 public:
  explicit TQtMessageService(QWidget* owner = nullptr) : owner_(owner) {}
  TMessageResult ShowMessage(const TMessage& message) override;

 private:
  QPointer<QWidget> owner_;
};

// Fills a message box as the message asks (text, caption, icon, buttons and
// the default one); exec() then answers with ResultOf.
void PrepareMessageBox(QMessageBox& box, const TMessage& message);
TMessageResult ResultOf(const QMessageBox& box);

// Files open with the desktop's program for their type; programs start
// through the program's one process launcher, each argument passed as one.
class TQtShellService : public TProcessShellService {
 public:
  bool OpenFile(const std::string& path, const std::string& anchor) override;
};

// The hourglass: shown while the guard lives, restored on every path out.
// Guards nest.
class TWaitCursor {
 public:
  explicit TWaitCursor(Qt::CursorShape shape = Qt::WaitCursor);
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// The dialogs of report programs: MESSAGEBOX through the Qt message boxes,
// INPUTBOX as a one-line input dialog (the default text when cancelled),
// SELECTDIRECTORY as a folder chooser (the folder given when cancelled; the
// style flag chooses Qt's own chooser over the desktop's). The command line
// is the application's.
class TQtScriptServices : public TScriptServices {
 public:
  explicit TQtScriptServices(QWidget* owner = nullptr);
  std::string InputBox(const std::string& caption, const std::string& prompt,
                       const std::string& defaultText) override;
  std::string SelectDirectory(const std::string& folder, bool style) override;
  std::vector<std::string> CommandLine() override;

 private:
  QWidget* Owner() const;
  TQtMessageService messages_;
  QPointer<QWidget> owner_;
};

}  // namespace tracemill
