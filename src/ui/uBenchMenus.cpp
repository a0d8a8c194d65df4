// The bench window's menus, its popup menu and the commands behind them.

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>

#include "image/uSPI.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "ui/uBench.h"
#include "ui/uBenchImage.h"
#include "ui/uMenuText.h"
#include "ui/uOptionDialog.h"
#include "ui/uQtConvert.h"
#include "ui/uQtServices.h"
#include "ui/uTraceDialog.h"

namespace tracemill {

namespace {

constexpr std::string_view kFileMenu = "ファイル(&F)";
constexpr std::string_view kOpenItem = "開く (&Open) ...";
constexpr std::string_view kCloseItem = "閉じる (&Close)";
constexpr std::string_view kEditMenu = "編集(&E)";
constexpr std::string_view kUndoItem = "元に戻す (&Undo)";
constexpr std::string_view kRedoItem = "やり直し (&Redo)";
constexpr std::string_view kViewMenu = "表示(&V)";
constexpr std::string_view kCommentBarItem = "コメントバー (&Comment bar)";
constexpr std::string_view kTitleBarItem = "タイトルバー (&Title bar)";
constexpr std::string_view kMagnifyItem = "拡大 (&Magnify)";
constexpr std::string_view kToolMenu = "ツール(&T)";
constexpr std::string_view kStandardItem = "基準点設定 (&Standard points)";
constexpr std::string_view kRecalculateItem = "再計算 (&Recalculate)";
constexpr std::string_view kTraceItem = "曲線トレース (&Trace curve) ...";
constexpr std::string_view kMarkersItem = "マーカー検出 (&Find markers) ...";
constexpr std::string_view kOptionItem = "設定 (&Option) ...";

// The scale items from the largest factor down.
constexpr int kScaleOrder[] = {3, 2, 1, 0};

}  // namespace

void TBenchForm::BuildMenus() {
  BuildFileMenu();
  BuildEditMenu();
  BuildViewMenu();
  BuildToolMenu();
  AddHelpMenu(*menuBar(), shell_, messages_);
  if (!IsJapanese()) {
    TranslateMenuBar(*menuBar());
    for (int index : kScaleOrder)
      scaleItems_[static_cast<std::size_t>(index)]->setText(ToQt(TBench::ScaleCaption(index, false)));
  }
  for (QAction* menu : menuBar()->actions())
    if (QMenu* m = menu->menu()) connect(m, &QMenu::aboutToShow, this, &TBenchForm::UpdateMenuStates);
}

void TBenchForm::BuildFileMenu() {
  QMenu* file = menuBar()->addMenu(ToQt(kFileMenu));
  file->addAction(ToQt(kOpenItem), this, &TBenchForm::OpenCommand);
  file->addSeparator();
  file->addAction(ToQt(kCloseItem), this, &QWidget::close);
}

void TBenchForm::BuildEditMenu() {
  QMenu* edit = menuBar()->addMenu(ToQt(kEditMenu));
  undo_ = edit->addAction(ToQt(kUndoItem), this, [this] {
    if (bench_.CanUndo()) Guarded([this] { bench_.Undo(); });
  });
  undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_ = edit->addAction(ToQt(kRedoItem), this, [this] {
    if (bench_.CanRedo()) Guarded([this] { bench_.Redo(); });
  });
  redo_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
}

void TBenchForm::BuildViewMenu() {
  QMenu* view = menuBar()->addMenu(ToQt(kViewMenu));
  commentBarItem_ = view->addAction(ToQt(kCommentBarItem), this,
                                    [this] { bench_.SetCommentVisible(!bench_.CommentVisible()); });
  titleBarItem_ =
      view->addAction(ToQt(kTitleBarItem), this, [this] { bench_.SetTitleVisible(!bench_.TitleVisible()); });
  view->addSeparator();
  magnifyItem_ = view->addAction(ToQt(kMagnifyItem), this, [this] { bench_.SetMagnified(!bench_.Magnified()); });
  view->addSeparator();
  auto* scales = new QActionGroup(this);
  for (int index : kScaleOrder) {
    QAction* item = view->addAction(ToQt(TBench::ScaleCaption(index, true)), this,
                                    [this, index] { bench_.SetScaleIndex(index); });
    item->setData(index);
    item->setActionGroup(scales);
    scaleItems_[static_cast<std::size_t>(index)] = item;
  }
  for (QAction* a : {commentBarItem_, titleBarItem_, magnifyItem_}) a->setCheckable(true);
  for (QAction* a : scaleItems_) a->setCheckable(true);
}

void TBenchForm::BuildToolMenu() {
  QMenu* tool = menuBar()->addMenu(ToQt(kToolMenu));
  standardItem_ = tool->addAction(ToQt(kStandardItem), this, [this] { bench_.ToggleStandardMode(); });
  standardItem_->setCheckable(true);
  recalculateItem_ = tool->addAction(ToQt(kRecalculateItem), this, [this] { Guarded([this] { bench_.Recalculate(); }); });
  tool->addSeparator();
  traceItem_ = tool->addAction(ToQt(kTraceItem), this, [this] { TraceCommand(TTraceKind::Curve); });
  markersItem_ = tool->addAction(ToQt(kMarkersItem), this, [this] { TraceCommand(TTraceKind::Markers); });
  tool->addSeparator();
  optionItem_ = tool->addAction(ToQt(kOptionItem), this, &TBenchForm::OptionCommand);
}

void TBenchForm::BuildPopup() {
  popup_ = new QMenu(this);
  popupMagnify_ = popup_->addAction(QString(), this, [this] { bench_.Magnify(); });
  popupLine_ = popup_->addAction(QString(), this, [this] { bench_.LineCommand(); });
  popupDelete_ = popup_->addAction(QString(), this, [this] { bench_.DeleteCommand(); });
  popup_->addSeparator();
  popupTrace_ = popup_->addAction(QString(), this, [this] { TraceCommand(TTraceKind::Curve); });
  popupMarkers_ = popup_->addAction(QString(), this, [this] { TraceCommand(TTraceKind::Markers); });
  for (QAction* a : popup_->actions())
    connect(a, &QAction::triggered, this, [this] {
      UpdateMenuStates();
      image_->setFocus();
    });
}

void TBenchForm::ShowPopup(QPoint global) {
  const TBenchPopup p = bench_.Popup();
  popupMagnify_->setText(ToQt(p.MagnifyCaption));
  popupLine_->setText(ToQt(p.LineCaption));
  popupDelete_->setText(ToQt(p.DeleteCaption));
  popupMagnify_->setVisible(p.MagnifyVisible);
  popupLine_->setVisible(p.LineVisible);
  popupDelete_->setVisible(p.DeleteVisible);
  popupLine_->setEnabled(p.LineEnabled);
  popupDelete_->setEnabled(p.DeleteEnabled);
  popupTrace_->setText(ToQt(p.TraceCaption));
  popupMarkers_->setText(ToQt(p.MarkersCaption));
  for (QAction* a : {popupTrace_, popupMarkers_}) a->setEnabled(p.TraceEnabled);
  popup_->popup(global);
}

void TBenchForm::UpdateMenuStates() {
  const TBenchMenuState s = bench_.MenuState();
  commentBarItem_->setChecked(s.CommentBarChecked);
  titleBarItem_->setChecked(s.TitleBarChecked);
  magnifyItem_->setChecked(s.MagnifyChecked);
  for (std::size_t i = 0; i < scaleItems_.size(); ++i)
    scaleItems_[i]->setChecked(static_cast<int>(i) == s.CheckedScaleIndex);
  standardItem_->setChecked(s.StandardPointsChecked);
  recalculateItem_->setEnabled(s.RecalculateEnabled);
  for (QAction* a : {traceItem_, markersItem_}) a->setEnabled(s.TraceEnabled);
  undo_->setEnabled(s.UndoEnabled);
  redo_->setEnabled(s.RedoEnabled);
  optionItem_->setEnabled(static_cast<bool>(OptionDialog));
}

// --- Commands -------------------------------------------------------------------

void TBenchForm::OpenCommand() {
  openFilter_ = MakeOpenFilter(IsJapanese(), openFilter_);
  QFileDialog dialog(this);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilter(QtFileFilter(openFilter_));
  if (bench_.HasPicture())
    dialog.selectFile(ToQt(bench_.FileName()));
  else
    dialog.setDirectory(ToQt(Appli().WorkFolder));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  LoadFile(FromQt(dialog.selectedFiles().first()));
}

void TBenchForm::TraceCommand(TTraceKind kind) {
  if (!bench_.MenuState().TraceEnabled) return;
  TTraceDialog dialog(bench_, kind, this);
  if (dialog.exec() == QDialog::Accepted) {
    Guarded([&] {
      TWaitCursor wait;
      bench_.TraceCommand(kind, dialog.Settings());
    });
  }
  image_->setFocus();
}

void TBenchForm::OptionCommand() {
  if (!OptionDialog) return;
  const std::optional<std::string> text = OptionDialog(this, bench_.SettingsText());
  if (text) Guarded([&] { bench_.ApplyOptions(*text); });
}

}  // namespace tracemill
