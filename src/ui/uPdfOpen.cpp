#include "ui/uPdfOpen.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/uPageRange.h"
#include "app/uWorkspace.h"
#include "common/uError.h"
#include "common/uFilename.h"
#include "settings/uEnvironment.h"
#include "ui/uOptionDialog.h"
#include "ui/uProgress.h"
#include "ui/uQtConvert.h"
#include "ui/uQtServices.h"

namespace tracemill {

namespace {

constexpr TCaption kChooserTitle{"開くページ", "Pages to Open"};
constexpr TCaption kPageCountBefore{"この文書には ", "This document has "};
constexpr TCaption kPageCountAfter{" ページあります。開くページ (例: 1-3,7):",
                                   " pages. Pages to open (for example 1-3,7):"};
constexpr TCaption kOpening{"PDF のページを開いています...", "Opening the pages of the PDF document ..."};
// A document whose pages are written faster than this shows no progress dialog.
constexpr int kProgressDelayMs = 500;

}  // namespace

TPdfPagesDialog::TPdfPagesDialog(QWidget* parent, const std::string& fileName, int pageCount)
    : QDialog(parent), pageCount_(pageCount) {
  setObjectName(QStringLiteral("PdfPagesDialog"));
  setWindowTitle(CaptionText(kChooserTitle));
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel(ToQt(ExtractFileName(fileName)), this);
  name->setObjectName(QStringLiteral("FileName"));
  layout->addWidget(name);
  layout->addWidget(new QLabel(CaptionText(kPageCountBefore) + QString::number(pageCount) +
                                   CaptionText(kPageCountAfter),
                               this));
  range_ = new QLineEdit(ToQt(AllPagesRange(pageCount)), this);
  range_->setObjectName(QStringLiteral("PageRange"));
  range_->selectAll();
  layout->addWidget(range_);
  error_ = new QLabel(this);
  error_->setObjectName(QStringLiteral("RangeError"));
  error_->setStyleSheet(QStringLiteral("color: #b00000"));
  error_->setWordWrap(true);
  error_->hide();
  layout->addWidget(error_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkButton"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelButton"));
  buttons->button(QDialogButtonBox::Cancel)->setText(CaptionText(kDialogCancel));
  connect(buttons, &QDialogButtonBox::accepted, this, &TPdfPagesDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TPdfPagesDialog::reject);
  layout->addWidget(buttons);
}

void TPdfPagesDialog::accept() {
  try {
    pages_ = ParsePageRange(FromQt(range_->text()), pageCount_, IsJapanese());
  } catch (const ConvertError& e) {
    error_->setText(ToQt(e.what()));
    error_->show();
    range_->setFocus();
    range_->selectAll();
    return;
  }
  QDialog::accept();
}

std::optional<std::vector<int>> TPdfPagesDialog::Ask(QWidget* parent, const std::string& fileName, int pageCount) {
  TPdfPagesDialog dialog(parent, fileName, pageCount);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Pages();
}

TBench* OpenPdfDocument(QWidget* parent, TWorkspace& workspace, const std::string& fileName,
                        const TPdfPageChooser& choose) {
  if (!FileExists(fileName)) return nullptr;
  TWorkspace::TPdfOpenRequest request;
  {
    TWaitCursor wait;
    const int pageCount = workspace.PdfPageCount(fileName);
    if (AsksForPages(pageCount)) {
      TWaitCursor arrow(Qt::ArrowCursor);
      std::optional<std::vector<int>> pages =
          choose ? choose(parent, fileName, pageCount) : TPdfPagesDialog::Ask(parent, fileName, pageCount);
      if (!pages) return nullptr;
      request.Pages = std::move(*pages);
    }
  }

  const auto progress = MakeProgressDialog(parent, fileName, kOpening, 1, kProgressDelayMs);
  progress->setObjectName(QStringLiteral("PdfProgress"));
  request.Progress = ProgressOf(*progress);
  TWaitCursor busy(Qt::BusyCursor);  // the dialog stays usable over it
  TBench* last = workspace.OpenPdfFile(fileName, true, request);
  progress->hide();
  return last;
}

}  // namespace tracemill
