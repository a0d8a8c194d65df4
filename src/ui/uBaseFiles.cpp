// The main window's file commands: opening images (videos split into frames
// and PDF documents into pages under a progress dialog), the state file and the remembered folders of
// their dialogs.

#include <QFileDialog>

#include "app/uOpenFilter.h"
#include "common/uError.h"
#include "common/uFilename.h"
#include "image/uSPI.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "ui/uBase.h"
#include "ui/uOptionDialog.h"
#include "ui/uPdfOpen.h"
#include "ui/uProgress.h"
#include "ui/uQtConvert.h"

namespace tracemill {

namespace {

constexpr std::string_view kPathSection = "Path";
constexpr std::string_view kOpenKey = "Open";
constexpr std::string_view kSaveAllKey = "SaveAll";
constexpr std::string_view kOpenAllKey = "OpenAll";
constexpr std::string_view kStateFilter = "Tracemill files (*.trm)|*.trm|All files (*.*)|*.*";
constexpr std::string_view kStateSuffix = "trm";
constexpr TCaption kSplitting{"動画をフレームに分けています...", "Splitting the video into frames ..."};

std::vector<std::string> RunFileDialog(QWidget* parent, const TBaseForm::TFileDialogRequest& request) {
  QFileDialog dialog(parent);
  dialog.setNameFilter(QtFileFilter(request.Filter));
  dialog.setDirectory(ToQt(request.Folder));
  if (request.Save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(ToQt(request.DefaultSuffix));
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.Multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  }
  std::vector<std::string> files;
  if (dialog.exec() != QDialog::Accepted) return files;
  for (const QString& file : dialog.selectedFiles()) files.push_back(FromQt(file));
  return files;
}

}  // namespace

std::vector<std::string> TBaseForm::AskFiles(const TFileDialogRequest& request) {
  return FileDialog ? FileDialog(this, request) : RunFileDialog(this, request);
}

// A folder not remembered yet is the work folder, made when missing.
std::string TBaseForm::RememberedFolder(std::string_view key) const {
  if (store_.ValueExists(kPathSection, key)) return store_.ReadValue(kPathSection, key, std::string());
  ForceDirectories(workspace_.WorkFolder());
  return workspace_.WorkFolder();
}

void TBaseForm::RememberFolder(std::string_view key, const std::string& file) {
  store_.WriteValue(kPathSection, key, ExtractFileDir(file));
  store_.Save();
}

// --- Images -----------------------------------------------------------------------------

void TBaseForm::OpenCommand() {
  openFilter_ = WithVideoAndPdfFilters(MakeOpenFilter(IsJapanese(), openFilter_));
  TFileDialogRequest request;
  request.Filter = openFilter_;
  request.Folder = RememberedFolder(kOpenKey);
  request.Multiple = true;
  const std::vector<std::string> files = AskFiles(request);
  if (files.empty()) return;
  Guarded([&] { RememberFolder(kOpenKey, files.front()); });
  OpenFiles(files);
}

void TBaseForm::OpenFiles(const std::vector<std::string>& files) {
  const bool japanese = IsJapanese();
  for (const std::string& file : files) {
    if (!TWorkspace::CanOpenFile(file)) {
      TMessage m;
      m.Text = NoPluginMessage(japanese, file);
      m.Icon = TMessageIcon::Exclamation;
      messages_.ShowMessage(m);
      continue;
    }
    Guarded([&] { OpenOne(file); });
  }
}

TBench* TBaseForm::OpenOne(const std::string& file) {
  if (TWorkspace::IsPdfFile(file)) return OpenPdfDocument(this, workspace_, file, PageChooser);
  return TWorkspace::IsVideoFile(file) ? OpenVideo(file) : workspace_.OpenImageFile(file, true);
}

TBench* TBaseForm::OpenVideo(const std::string& file) {
  TWaitCursor wait;
  const auto progress = MakeProgressDialog(this, file, kSplitting, 1);
  const auto step = ProgressOf(*progress);
  TWaitCursor arrow(Qt::BusyCursor);  // the dialog stays usable over the hourglass
  return workspace_.OpenVideoFile(file, true, [&](int done, int total) {
    if (!step(done, total)) return false;
    if (done >= total) progress->hide();  // the benches open next
    return true;
  });
}

// --- State file ----------------------------------------------------------------------------

void TBaseForm::SaveAllCommand() {
  TFileDialogRequest request;
  request.Filter = kStateFilter;
  request.Folder = RememberedFolder(kSaveAllKey);
  request.DefaultSuffix = kStateSuffix;
  request.Save = true;
  const std::vector<std::string> files = AskFiles(request);
  if (files.empty()) return;
  Guarded([&] {
    RememberFolder(kSaveAllKey, files.front());
    TWaitCursor wait;
    workspace_.SaveState(files.front());
  });
}

void TBaseForm::LoadAllCommand() {
  TFileDialogRequest request;
  request.Filter = kStateFilter;
  request.Folder = RememberedFolder(kOpenAllKey);
  const std::vector<std::string> files = AskFiles(request);
  if (files.empty()) return;
  Guarded([&] {
    RememberFolder(kOpenAllKey, files.front());
    TWaitCursor wait;
    workspace_.LoadState(files.front());
  });
}

}  // namespace tracemill
