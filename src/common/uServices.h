#pragma once
// What the core asks of the desktop: modal message boxes and the shell. The
// Qt program implements these with QMessageBox and QDesktopServices/QProcess;
// the batch command line and the tests implement them without a display.

#include <string>
#include <vector>

namespace tracemill {

// The button sets, icons and answers keep the classic message-box numbers,
// which report programs pass to MESSAGEBOX and test in its result
// (MB_OK = 0, MB_YESNO = 4, MB_ICONEXCLAMATION = 0x30, IDOK = 1, IDYES = 6 ...).
enum class TMessageButtons : int {
  Ok = 0,
  OkCancel = 1,
  AbortRetryIgnore = 2,
  YesNoCancel = 3,
  YesNo = 4,
  RetryCancel = 5,
  CancelTryContinue = 6,
};

enum class TMessageIcon : int {
  None = 0,
  Stop = 0x10,
  Question = 0x20,
  Exclamation = 0x30,
  Information = 0x40,
};

enum class TMessageResult : int {
  Ok = 1,
  Cancel = 2,
  Abort = 3,
  Retry = 4,
  Ignore = 5,
  Yes = 6,
  No = 7,
  TryAgain = 10,
  Continue = 11,
};

// One message box: owned by the application window, modal.
struct TMessage {
  std::string Caption;
  std::string Text;  // line breaks as "\n" (or "\r\n" where a caller builds them so)
  TMessageButtons Buttons = TMessageButtons::Ok;
  TMessageIcon Icon = TMessageIcon::None;
  int DefaultButton = 0;  // 0-based: the first, second or third button is the default
};

class TMessageService {
 public:
  virtual ~TMessageService() = default;
  // Shows the message and returns the button chosen (a non-interactive
  // implementation returns the default button).
  virtual TMessageResult ShowMessage(const TMessage& message) = 0;
};

// The answer of the message's default button: what a message box without a
// display (batch runs, tests) gives. An unknown button set answers Ok.
TMessageResult DefaultAnswer(const TMessage& message);

// Answers every message with its default button, showing nothing.
class TQuietMessageService : public TMessageService {
 public:
  TMessageResult ShowMessage(const TMessage& message) override { return DefaultAnswer(message); }
};

class TShellService {
 public:
  virtual ~TShellService() = default;
  // Opens a file with the program the desktop associates with its type (the
  // shell's "open" verb). anchor, when not empty, is the fragment to show
  // ("ja" for file:///...#ja). False when nothing could be started.
  virtual bool OpenFile(const std::string& path, const std::string& anchor) = 0;
  // Starts program with the arguments, each passed as one argument (blanks in
  // paths are safe), in folder (the current folder when empty); does not wait
  // for it. False when it could not be started.
  virtual bool RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& folder) = 0;
};

// The shell of a program without a desktop toolkit (batch runs): programs
// start through StartProcess, documents open through xdg-open.
class TProcessShellService : public TShellService {
 public:
  bool OpenFile(const std::string& path, const std::string& anchor) override;
  bool RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& folder) override;
};

// The program's one process launcher. Starts program (looked up in PATH when
// it names no folder) with the arguments in folder (the current folder when
// empty), without waiting for it and without leaving a child to reap. False,
// with nothing started, when the program or the folder cannot be used.
bool StartProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& folder);

// The path of the executable that program names: program itself when it
// contains a "/" (and is an executable file), else the first match in PATH;
// "" when there is none.
std::string FindProgram(const std::string& program);

}  // namespace tracemill
