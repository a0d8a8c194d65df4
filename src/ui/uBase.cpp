// The main window: its parts, the workspace's events, the bench windows,
// closing, placement and column widths, and dropped files.

#include "ui/uBase.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMimeData>
#include <QScreen>
#include <QTableView>
#include <QUrl>
#include <filesystem>

#include "app/uBaseOptions.h"
#include "app/uOpenFilter.h"
#include "common/uFilename.h"
#include "common/uStrC.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "ui/uBaseOption.h"
#include "ui/uBench.h"
#include "ui/uOptionDialog.h"
#include "ui/uPlacement.h"
#include "ui/uQtConvert.h"

namespace tracemill {

namespace {

constexpr std::string_view kSection = "BaseForm";
constexpr std::string_view kColumnWidthKey = "ColumnWidth-";
constexpr int kDesignLeft = 20;
constexpr int kDesignTop = 140;
constexpr int kDesignWidth = 597;
constexpr int kDesignHeight = 515;
constexpr std::array<int, kListColumnCount> kDesignColumnWidths = {60, 120, 60, 100, 100, 140};

constexpr std::string_view kStateExtension = ".trm";

std::string ColumnKey(int column) { return std::string(kColumnWidthKey) + std::to_string(column); }

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  return (std::filesystem::path(CurrentFolder()) / path).lexically_normal().string();
}

}  // namespace

TBaseForm::TBaseForm(TWorkspace& workspace, TIniFile& store, TMessageService& messages, TShellService* shell,
                     QWidget* parent)
    : QMainWindow(parent), workspace_(workspace), store_(store), messages_(messages),
      shell_(shell ? *shell : desktop_),
      openFilter_(kInitialImageFilter) {
  setWindowTitle(ToQt(Appli().Name));
  setGeometry(kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight);
  BuildList();
  BuildMenus();
  BuildPopup();
  ConnectWorkspace();

  RestoreWindowPlacement(*this, store_, kSection);
  RestoreColumnWidths();
  setAcceptDrops(true);
  ReadDisplayOptions();
  UpdateWindowMenu();

  OptionDialog = [this](QWidget* owner) {
    return TBaseOptionForm::Edit(owner, store_, messages_, shell_);
  };
}

TBaseForm::~TBaseForm() {
  // The bench windows let go of their benches before the workspace drops them.
  benchForms_.clear();
  workspace_.OnRowsChanged = nullptr;
  workspace_.OnBenchAdded = nullptr;
  workspace_.OnBenchesReleasing = nullptr;
  workspace_.OnWindowMenuChanged = nullptr;
  workspace_.OnShowBench = nullptr;
  workspace_.CreateBench = makeBench_;
}

void TBaseForm::BuildList() {
  model_ = new TBaseListModel(workspace_, this);
  list_ = new QTableView(this);
  list_->setModel(model_);
  SetUpListView(*list_);
  for (int i = 0; i < kListColumnCount; ++i) list_->setColumnWidth(i, kDesignColumnWidths[static_cast<std::size_t>(i)]);
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this, &TBaseForm::ShowPopup);
  connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, &TBaseForm::ColumnClicked);
  auto* copy = new QAction(list_);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  connect(copy, &QAction::triggered, this, &TBaseForm::CopyCommand);
  list_->addAction(copy);
  setCentralWidget(list_);
}

void TBaseForm::ConnectWorkspace() {
  makeBench_ = workspace_.CreateBench;
  workspace_.CreateBench = [this] { return MakeBench(); };
  workspace_.OnRowsChanged = [this](const TRowsChange& change) { RowsChanged(change); };
  workspace_.OnBenchAdded = [this](int index) { added_.push_back(index); };
  workspace_.OnBenchesReleasing = [this] {
    benchForms_.clear();
    added_.clear();
  };
  workspace_.OnWindowMenuChanged = [this] { UpdateWindowMenu(); };
  workspace_.OnShowBench = [this](int index) { ShowBench(index); };
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    workspace_.SetScreenSize(area.width(), area.height());
  }
}

// Every bench gets its window before it loads its picture, so that a large
// picture loads with the progress dialog. The window shows when the
// workspace shows the bench.
std::unique_ptr<TBench> TBaseForm::MakeBench() {
  std::unique_ptr<TBench> bench =
      makeBench_ ? makeBench_() : std::make_unique<TBench>(messages_, store_, DefaultPictureLoader(workspace_.Limits()));
  if (bench) benchForms_[bench.get()] = std::make_unique<TBenchForm>(*bench);
  return bench;
}

TBenchForm* TBaseForm::FormOf(const TBench& bench) const {
  const auto found = benchForms_.find(&bench);
  return found == benchForms_.end() ? nullptr : found->second.get();
}

void TBaseForm::ShowBench(int index) {
  TBench* bench = workspace_.Bench(index);
  TBenchForm* form = bench ? FormOf(*bench) : nullptr;
  if (!form) return;
  ApplyPlacement(*form, bench->Placement);
  form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
  form->show();
  form->raise();
  form->activateWindow();
}

void TBaseForm::RowsChanged(const TRowsChange& change) {
  model_->Follow(change);
  QItemSelectionModel* selection = list_->selectionModel();
  // The list is rebuilt: only the row asked for stays selected.
  selection->clearSelection();
  if (change.Select >= 0 && change.Select < model_->rowCount()) {
    const QModelIndex row = model_->index(change.Select, 0);
    selection->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(row);
  }
}

std::vector<int> TBaseForm::Selection() const { return SelectedRows(*list_); }

int TBaseForm::SelectedSerial() const { return workspace_.SelectedSerial(Selection()); }

void TBaseForm::ReadDisplayOptions() {
  const TFontRecord font = ReadBaseOptions(store_).Font;
  list_->setFont(ToQFont(font));
  QPalette palette = list_->palette();
  palette.setColor(QPalette::Text, ToQColor(static_cast<std::uint32_t>(font.Color)));
  list_->setPalette(palette);
  list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
  workspace_.ReadDisplayOptions();
}

void TBaseForm::RestoreColumnWidths() {
  for (int i = 0; i < kListColumnCount; ++i) {
    const std::int32_t width = store_.ReadValue(kSection, ColumnKey(i), std::int32_t(list_->columnWidth(i)));
    list_->setColumnWidth(i, std::clamp(width, 0, 10000));
  }
}

void TBaseForm::StoreColumnWidths() {
  for (int i = 0; i < kListColumnCount; ++i)
    store_.WriteValue(kSection, ColumnKey(i), std::int32_t(list_->columnWidth(i)));
}

// Videos among the files split under the progress dialog; everything else
// is the workspace's.
// Relative names are taken from the current folder now: a state file saved
// later must name the pictures wherever it is loaded.
void TBaseForm::HandleCommandLine(const std::vector<std::string>& arguments) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments)
    if (!IsLanguageSwitch(argument)) files.push_back(AbsolutePath(argument));
  if (files.empty() || !FileExists(files.front())) return;
  OpenDropped(files);
}

void TBaseForm::DropFiles(const std::vector<std::string>& files) {
  OpenDropped(files);
  raise();
  activateWindow();
}

void TBaseForm::OpenDropped(const std::vector<std::string>& files) {
  // Videos and PDF documents open under their progress dialogs (and the page chooser).
  const bool split = std::any_of(files.begin(), files.end(),
                                 [](const std::string& f) { return TWorkspace::IsVideoFile(f) || TWorkspace::IsPdfFile(f); });
  if (files.empty() || !split || SameTextAscii(ExtractFileExt(files.front()), kStateExtension)) {
    Guarded([&] { workspace_.OpenDroppedFiles(files); });
    return;
  }
  for (const std::string& file : files) Guarded([&] { OpenOne(file); });
}

void TBaseForm::Guarded(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    ShowError(messages_, e);
  }
  ShowAddedBenches();
}

// Benches restored from a state file show as they were saved (a minimised
// one stays hidden, as minimising hides a bench); opened ones are shown by
// the workspace already.
void TBaseForm::ShowAddedBenches() {
  const std::vector<int> added = std::move(added_);
  added_.clear();
  for (int index : added) {
    const TBench* bench = workspace_.Bench(index);
    TBenchForm* form = bench ? FormOf(*bench) : nullptr;
    if (form && !form->isVisible() && bench->Placement.State != TWindowState::Minimized) ShowBench(index);
  }
}

// --- The window's own events ------------------------------------------------------

// The working state goes to the snapshot file, the benches are released, and
// the column widths and the placement are stored with the settings.
void TBaseForm::closeEvent(QCloseEvent* event) {
  if (closed_) {
    event->accept();
    return;
  }
  closed_ = true;
  Guarded([this] { workspace_.SaveResume(); });
  workspace_.ReleaseAll();
  StoreColumnWidths();
  StoreWindowPlacement(*this, store_, kSection);
  Guarded([this] { store_.Save(); });
  event->accept();
}

void TBaseForm::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
    event->acceptProposedAction();
}

void TBaseForm::dropEvent(QDropEvent* event) {
  std::vector<std::string> files;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) files.push_back(FromQt(url.toLocalFile()));
  if (files.empty()) return;
  event->acceptProposedAction();
  DropFiles(files);
}

}  // namespace tracemill
