// The main window's menus, the list's popup menu, their states on opening,
// the Window menu and the commands of the list and of the Help menu.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

#include "settings/uEnvironment.h"
#include "ui/uBase.h"
#include "ui/uMenuText.h"
#include "ui/uQtConvert.h"

namespace tracemill {

namespace {

constexpr std::string_view kFileMenu = "ファイル(&F)";
constexpr std::string_view kOpenItem = "画像を開く (&Open Image) ...";
constexpr std::string_view kSaveCsvItem = "ＣＳＶ保存 (Save &CSV) ...";
constexpr std::string_view kSaveAllItem = "状態保存 (Save &All) ...";
constexpr std::string_view kLoadAllItem = "状態復元 (&Load All) ...";
constexpr std::string_view kExitItem = "終了 (E&xit)";
constexpr std::string_view kEditMenu = "編集(&E)";
constexpr std::string_view kDeleteItem = "削除 (&Delete)";
constexpr std::string_view kSelectAllItem = "全て選択 (Select &All)";
constexpr std::string_view kToolMenu = "ツール(&T)";
constexpr std::string_view kSimpleReportItem = "簡易レポート (&Simple Report)";
constexpr std::string_view kProgrammableReportItem = "詳細レポート (&Programmable Report)";
constexpr std::string_view kRemeasureItem = "再測定 (&ReMeasure)";
constexpr std::string_view kOptionItem = "設定 (&Option) ...";
constexpr std::string_view kWindowMenu = "ウィンドウ(&W)";
constexpr std::string_view kPopupDeleteJa = "削除";
constexpr std::string_view kPopupDeleteEn = "Delete";
constexpr std::string_view kPopupRemeasureJa = "再測定";
constexpr std::string_view kPopupRemeasureEn = "ReMeasure";

}  // namespace

void TBaseForm::BuildMenus() {
  BuildFileMenu();
  BuildEditMenu();
  BuildToolMenu();
  windowMenu_ = menuBar()->addMenu(ToQt(kWindowMenu));
  AddHelpMenu(*menuBar(), shell_, messages_);
  if (!IsJapanese()) TranslateMenuBar(*menuBar());
}

void TBaseForm::BuildFileMenu() {
  QMenu* file = menuBar()->addMenu(ToQt(kFileMenu));
  file->addAction(ToQt(kOpenItem), this, &TBaseForm::OpenCommand);
  file->addSeparator();
  file->addAction(ToQt(kSaveCsvItem), this, &TBaseForm::SaveCsvCommand);
  file->addSeparator();
  file->addAction(ToQt(kSaveAllItem), this, &TBaseForm::SaveAllCommand);
  file->addAction(ToQt(kLoadAllItem), this, &TBaseForm::LoadAllCommand);
  file->addSeparator();
  file->addAction(ToQt(kExitItem), this, &QWidget::close);
}

void TBaseForm::BuildEditMenu() {
  QMenu* edit = menuBar()->addMenu(ToQt(kEditMenu));
  deleteItem_ = edit->addAction(ToQt(kDeleteItem), this, &TBaseForm::DeleteCommand);
  deleteItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
  edit->addSeparator();
  selectAllItem_ = edit->addAction(ToQt(kSelectAllItem), this, &TBaseForm::SelectAllCommand);
  selectAllItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  // The shortcuts belong to this window only; the items' states follow the
  // list on opening, while the shortcuts stay live and check for themselves.
  for (QAction* item : {deleteItem_, selectAllItem_}) item->setShortcutContext(Qt::WindowShortcut);
  connect(edit, &QMenu::aboutToShow, this, &TBaseForm::UpdateEditMenu);
  connect(edit, &QMenu::aboutToHide, this, [this] {
    deleteItem_->setEnabled(true);
    selectAllItem_->setEnabled(true);
  });
}

void TBaseForm::BuildToolMenu() {
  QMenu* tool = menuBar()->addMenu(ToQt(kToolMenu));
  tool->addAction(ToQt(kSimpleReportItem), this, &TBaseForm::SimpleReportCommand);
  tool->addAction(ToQt(kProgrammableReportItem), this, &TBaseForm::ProgrammableReportCommand);
  tool->addSeparator();
  remeasureItem_ = tool->addAction(ToQt(kRemeasureItem), this, &TBaseForm::RemeasureCommand);
  tool->addSeparator();
  tool->addAction(ToQt(kOptionItem), this, &TBaseForm::OptionCommand);
  connect(tool, &QMenu::aboutToShow, this, &TBaseForm::UpdateToolMenu);
}

void TBaseForm::BuildPopup() {
  const bool japanese = IsJapanese();
  popup_ = new QMenu(this);
  popupDelete_ = popup_->addAction(ToQt(japanese ? kPopupDeleteJa : kPopupDeleteEn), this, &TBaseForm::DeleteCommand);
  popupRemeasure_ = popup_->addAction(ToQt(japanese ? kPopupRemeasureJa : kPopupRemeasureEn), this,
                                      &TBaseForm::RemeasureCommand);
  connect(popup_, &QMenu::aboutToShow, this, &TBaseForm::UpdatePopup);
}

// --- Menu states on opening ----------------------------------------------------------

void TBaseForm::UpdateEditMenu() {
  const TWorkspaceMenuState s = workspace_.MenuState(Selection());
  deleteItem_->setEnabled(s.DeleteEnabled);
  selectAllItem_->setEnabled(s.SelectAllEnabled);
}

void TBaseForm::UpdateToolMenu() {
  const TWorkspaceMenuState s = workspace_.MenuState(Selection());
  remeasureItem_->setEnabled(s.RemeasureEnabled);
  remeasureItem_->setText(ToQt(s.RemeasureCaption));
}

void TBaseForm::UpdatePopup() {
  const TWorkspaceMenuState s = workspace_.MenuState(Selection());
  popupDelete_->setEnabled(s.DeleteEnabled);
  popupRemeasure_->setEnabled(s.RemeasureEnabled);
  popupRemeasure_->setText(ToQt(s.RemeasureCaption));
}

void TBaseForm::ShowPopup(const QPoint& at) { popup_->popup(list_->viewport()->mapToGlobal(at)); }

// --- Window menu ------------------------------------------------------------------------

void TBaseForm::UpdateWindowMenu() {
  windowMenu_->clear();
  for (const TWindowMenuItem& item : workspace_.WindowMenu()) {
    QAction* action = windowMenu_->addAction(ToQt(item.Caption));
    action->setData(item.Tag);
    if (item.Tag >= 0)
      connect(action, &QAction::triggered, this, [this, tag = item.Tag] { workspace_.ShowBench(tag); });
  }
}

// --- Commands of the list -----------------------------------------------------------------

void TBaseForm::DeleteCommand() {
  if (!isActiveWindow()) return;
  const std::vector<int> selection = Selection();
  if (selection.empty()) return;
  TWaitCursor wait;
  Guarded([&] { workspace_.DeleteRows(selection); });
  list_->selectionModel()->clearSelection();
}

void TBaseForm::SelectAllCommand() {
  if (!isActiveWindow() || model_->rowCount() == 0) return;
  list_->selectAll();
}

void TBaseForm::CopyCommand() {
  if (Selection().empty()) return;
  QApplication::clipboard()->setText(ToQt(SelectedRowsText(*list_, workspace_)));
}

void TBaseForm::RemeasureCommand() {
  const std::vector<int> selection = Selection();
  Guarded([&] { workspace_.Remeasure(selection); });
}

void TBaseForm::ColumnClicked(int column) {
  const std::vector<int> selection = Selection();
  Guarded([&] { workspace_.ColumnClick(column, selection); });
}

void TBaseForm::OptionCommand() {
  const std::int32_t select = SelectedSerial();
  if (!OptionDialog || !OptionDialog(this)) return;
  Guarded([&] {
    ReadDisplayOptions();
    workspace_.RefreshList(select);
  });
}

}  // namespace tracemill
