#pragma once
// Opening a PDF document from the main window: a document of many pages asks
// which pages to open, and the pages are written under a progress dialog
// whose Cancel leaves everything as it was.

#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;

namespace tracemill {

class TBench;
class TWorkspace;

// The page chooser: a page range text such as "1-3,7", checked when OK is
// pressed; a wrong text is explained in the dialog, which stays open.
class TPdfPagesDialog : public QDialog {
  Q_OBJECT
 public:
  TPdfPagesDialog(QWidget* parent, const std::string& fileName, int pageCount);

  // The pages chosen (0-based, in the order given), after OK.
  const std::vector<int>& Pages() const { return pages_; }
  QLineEdit* RangeEdit() const { return range_; }
  QLabel* ErrorLabel() const { return error_; }

  // Shows the dialog; the pages chosen, or nothing when it was cancelled.
  static std::optional<std::vector<int>> Ask(QWidget* parent, const std::string& fileName, int pageCount);

  void accept() override;

 private:
  int pageCount_;
  std::vector<int> pages_;
  QLineEdit* range_ = nullptr;
  QLabel* error_ = nullptr;
};

// Asks which pages of a document of pageCount pages to open; nothing: cancelled.
using TPdfPageChooser =
    std::function<std::optional<std::vector<int>>(QWidget* parent, const std::string& fileName, int pageCount)>;

// Opens the pages of a PDF document as benches of the workspace: with more
// than kPagesOpenedWithoutAsking pages, choose (TPdfPagesDialog::Ask when
// empty) names the pages first; the pages are written under a progress
// dialog with Cancel. Returns the last page's bench, or nullptr when nothing
// was opened (the file is missing, or the choice or the progress was
// cancelled). Throws what TWorkspace::OpenPdfFile throws.
TBench* OpenPdfDocument(QWidget* parent, TWorkspace& workspace, const std::string& fileName,
                        const TPdfPageChooser& choose = {});

}  // namespace tracemill
