#pragma once
// The main window's options dialog: the list font, the number formats of X
// and Y, the simple report's template and application, and the programmable
// report's program and application, and the resolution PDF pages are opened
// at. It reads the settings store when it
// opens and stores everything on OK; its Open and Save buttons load and keep
// report program files.

#include <string>

#include "app/uBaseOptions.h"
#include "ui/uOptionDialog.h"

class QGridLayout;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace tracemill {

class TFontSample;

class TBaseOptionForm : public TOptionDialog {
  Q_OBJECT
 public:
  static constexpr std::string_view kName = "BaseOptionForm";
  enum TPage { FontPage, FormatPage, SimpleReportPage, ProgramPage };
  // The filters of the application and program file dialogs.
  static constexpr std::string_view kApplicationFilter = "Executable Files (*.exe)|*.exe|All Files (*.*)|*.*";
  static constexpr std::string_view kProgramFilter =
      "Basic Files (*.bas)|*.bas|Text Files (*.txt)|*.txt|All Files (*.*)|*.*";

  // Shows the dialog; true when it closed with OK (everything stored and the
  // store saved). The main window then reads its font and formats again.
  static bool Edit(QWidget* parent, TIniFile& store, TMessageService& messages, TShellService& shell);

  TBaseOptionForm(QWidget* parent, TIniFile& store, TMessageService& messages, TShellService& shell);

  TBaseOptions Values() const;
  void SetValues(const TBaseOptions& values);

  // The program page's Open and Save with a chosen file: the name is stored as
  // the last program file and the store saved; then the memo is read from the
  // file, or written to it (its folder made first). A file that cannot be read
  // or written is reported, and the memo keeps its text.
  void OpenProgram(const std::string& fileName);
  void SaveProgram(const std::string& fileName);

  void accept() override;

 private:
  void BuildFormatPage();
  void BuildSimpleReportPage();
  void BuildProgramPage();
  // An edit box for a program's file name and its "..." button.
  QLineEdit* ApplicationRow(QWidget& page, QGridLayout& layout, int row, std::string_view name);
  void ChooseProgramFile(bool save);
  void RememberProgramFile(const std::string& fileName);

  TFontSample* fontSample_ = nullptr;
  QLineEdit* formatX_ = nullptr;
  QLineEdit* formatY_ = nullptr;
  QSpinBox* pdfDpi_ = nullptr;  // on the format page
  QLineEdit* simpleFormat_ = nullptr;
  QLineEdit* simpleApplication_ = nullptr;
  QPlainTextEdit* program_ = nullptr;
  QLineEdit* reportApplication_ = nullptr;
};

}  // namespace tracemill
