#pragma once
// The work-bench window: a thin window over a bench that the main window
// owns. It shows the bench's picture, standard-point panel, title and
// comment bars, scroll bars and status bar, and forwards menus, clicks,
// keys, the wheel and dropped files to the bench. Closing or minimising
// only hides it.

#include <QMainWindow>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "bench/uBench.h"
#include "ui/uQtServices.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;

namespace tracemill {

class TAlignableScrollBar;
class TBenchImageArea;
class TEditWithHeader;
class TStandardPanelWidget;

class TBenchForm : public QMainWindow {
  Q_OBJECT

 public:
  // Takes the bench's repaint and busy events and wraps its picture loader
  // with the progress dialog; the destructor gives them back.
  explicit TBenchForm(TBench& bench, QWidget* parent = nullptr);
  ~TBenchForm() override;

  TBench& Bench() const { return bench_; }

  // The bench options dialog: shown with the bench's settings text, it
  // returns the new text on OK. The program's options dialog (on the
  // program's settings store) unless replaced; the Option item is disabled
  // while none is set.
  using TOptionDialog = std::function<std::optional<std::string>(QWidget* parent, const std::string& settingsText)>;
  TOptionDialog OptionDialog;

  // The commands of the menus.
  void OpenCommand();
  void OptionCommand();
  // The tracing dialog for the command at the last mouse-down; on OK the
  // command runs with its values.
  void TraceCommand(TTraceKind kind);
  // Loads a dropped or chosen file into the bench, under the hourglass.
  void LoadFile(const std::string& path);

  // The parts, for the window's own tests.
  TBenchImageArea* ImageArea() const { return image_; }
  TStandardPanelWidget* StandardPanel() const { return panel_; }
  TEditWithHeader* TitleBar() const { return title_; }
  TEditWithHeader* CommentBar() const { return comment_; }
  TAlignableScrollBar* HorizontalBar() const { return hbar_; }
  TAlignableScrollBar* VerticalBar() const { return vbar_; }
  const std::array<QLabel*, kStatusPanelCount>& StatusPanels() const { return status_; }
  QMenu* Popup() const { return popup_; }

  // The filter of the open dialog, in the program's "Desc|patterns|..." form.
  const std::string& OpenFilter() const { return openFilter_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenus();
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildViewMenu();
  void BuildToolMenu();
  void BuildPopup();
  void BuildStatusBar();
  QWidget* BuildCentral();
  void ConnectParts();

  void Repaint(unsigned layers);
  void UpdateScrollBars();
  void UpdateBars();
  void UpdateMenuStates();
  void LayoutStatusBar();
  void ShowStatus(QPoint pixel);
  void ApplyFont();
  void ShowPopup(QPoint global);
  void KeepPlacement();
  // Runs a command; an error ends it with a message.
  void Guarded(const std::function<void()>& command);

  TBench& bench_;
  TPictureLoader ownLoader_;  // the bench's loader before the window wrapped it
  TQtMessageService messages_;
  TQtShellService shell_;
  std::optional<TWaitCursor> busy_;
  std::string openFilter_;
  bool applyingPlacement_ = false;

  TStandardPanelWidget* panel_ = nullptr;
  TEditWithHeader* title_ = nullptr;
  TEditWithHeader* comment_ = nullptr;
  TBenchImageArea* image_ = nullptr;
  TAlignableScrollBar* hbar_ = nullptr;
  TAlignableScrollBar* vbar_ = nullptr;
  std::array<QLabel*, kStatusPanelCount> status_{};

  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  QAction* commentBarItem_ = nullptr;
  QAction* titleBarItem_ = nullptr;
  QAction* magnifyItem_ = nullptr;
  std::array<QAction*, 4> scaleItems_{};  // by scale index
  QAction* standardItem_ = nullptr;
  QAction* recalculateItem_ = nullptr;
  QAction* traceItem_ = nullptr;
  QAction* markersItem_ = nullptr;
  QAction* optionItem_ = nullptr;
  QMenu* popup_ = nullptr;
  QAction* popupMagnify_ = nullptr;
  QAction* popupLine_ = nullptr;
  QAction* popupDelete_ = nullptr;
  QAction* popupTrace_ = nullptr;
  QAction* popupMarkers_ = nullptr;
};

}  // namespace tracemill
