#pragma once
// The main window: a thin window over the workspace (the benches and the
// collected data). It shows the collected lines in a list, carries the
// program's commands in its menus and popup menu, opens a bench window for
// every bench the workspace creates, and keeps its placement and column
// widths in the settings store.

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/uBaseList.h"
#include "ui/uPdfOpen.h"
#include "ui/uQtServices.h"

class QAction;
class QMenu;
class QTableView;

namespace tracemill {

class TBench;
class TBenchForm;
class TIniFile;
class TWorkspace;

class TBaseForm : public QMainWindow {
  Q_OBJECT

 public:
  // Restores the placement and column widths from the store and reads the
  // display options. The workspace, the store, the message service (errors
  // of the commands, the Help menu) and the shell (reports, help and
  // document; the desktop's when none is given) outlive the window.
  TBaseForm(TWorkspace& workspace, TIniFile& store, TMessageService& messages, TShellService* shell = nullptr,
            QWidget* parent = nullptr);
  ~TBaseForm() override;

  TWorkspace& Workspace() const { return workspace_; }

  // The program's arguments without argv[0] and the language switches: a
  // state file first loads it; otherwise every existing image file opens.
  void HandleCommandLine(const std::vector<std::string>& arguments);

  // The commands of the menus and the list. Delete and Select All act only
  // while this window is the active window.
  void OpenCommand();
  void SaveCsvCommand();
  void SaveAllCommand();
  void LoadAllCommand();
  void DeleteCommand();
  void SelectAllCommand();
  void CopyCommand();
  void SimpleReportCommand();
  void ProgrammableReportCommand();
  void RemeasureCommand();
  void OptionCommand();
  void ColumnClicked(int column);

  // Opens the files as dropped on the window.
  void DropFiles(const std::vector<std::string>& files);

  // The file dialogs; tests replace them. Each returns the chosen files
  // (none on cancel). The filter is in the program's "Desc|patterns" form.
  struct TFileDialogRequest {
    std::string Filter;
    std::string Folder;
    std::string DefaultSuffix;
    bool Save = false;  // a save dialog that asks before overwriting
    bool Multiple = false;
  };
  std::function<std::vector<std::string>(QWidget* parent, const TFileDialogRequest& request)> FileDialog;
  // The options dialog: true when it closed with OK.
  std::function<bool(QWidget* parent)> OptionDialog;
  // Asks which pages of a long PDF document to open; empty: the page chooser dialog.
  TPdfPageChooser PageChooser;

  // The parts, for the window's own tests.
  QTableView* List() const { return list_; }
  TBaseListModel* Model() const { return model_; }
  QMenu* Popup() const { return popup_; }
  QMenu* WindowMenu() const { return windowMenu_; }
  const std::string& OpenFilter() const { return openFilter_; }
  TBenchForm* FormOf(const TBench& bench) const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildToolMenu();
  void BuildPopup();
  void BuildList();
  void ConnectWorkspace();
  void RowsChanged(const TRowsChange& change);
  void ShowBench(int index);
  void UpdateEditMenu();
  void UpdateToolMenu();
  void UpdatePopup();
  void UpdateWindowMenu();
  void RestoreColumnWidths();
  void StoreColumnWidths();
  void ReadDisplayOptions();
  void ShowPopup(const QPoint& at);
  std::vector<int> Selection() const;
  // The serial number shown in the first selected row, -1 without one.
  int SelectedSerial() const;
  std::vector<std::string> AskFiles(const TFileDialogRequest& request);
  std::string RememberedFolder(std::string_view key) const;
  void RememberFolder(std::string_view key, const std::string& file);
  void OpenFiles(const std::vector<std::string>& files);
  // Opens dropped files or the command line's: a state file first is loaded,
  // else every file opens (videos through OpenVideo).
  void OpenDropped(const std::vector<std::string>& files);
  // One image, video or PDF file; a missing file is passed over.
  TBench* OpenOne(const std::string& file);
  // Splits a video into frame files under a progress dialog with Cancel and
  // opens a bench per frame; Cancel leaves no bench and no new frame file.
  TBench* OpenVideo(const std::string& file);
  // Runs a command; an error ends it with a message.
  void Guarded(const std::function<void()>& command);
  void ShowAddedBenches();
  std::unique_ptr<TBench> MakeBench();

  TWorkspace& workspace_;
  TIniFile& store_;
  TMessageService& messages_;
  TQtShellService desktop_;
  TShellService& shell_;
  std::string openFilter_;
  bool closed_ = false;

  TBaseListModel* model_ = nullptr;
  QTableView* list_ = nullptr;
  std::function<std::unique_ptr<TBench>()> makeBench_;  // the workspace's own factory
  std::map<const TBench*, std::unique_ptr<TBenchForm>> benchForms_;
  std::vector<int> added_;  // window numbers of the benches added by the running command

  QAction* deleteItem_ = nullptr;
  QAction* selectAllItem_ = nullptr;
  QAction* remeasureItem_ = nullptr;
  QMenu* windowMenu_ = nullptr;
  QMenu* popup_ = nullptr;
  QAction* popupDelete_ = nullptr;
  QAction* popupRemeasure_ = nullptr;
};

}  // namespace tracemill
