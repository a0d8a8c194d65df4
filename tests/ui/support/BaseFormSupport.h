#pragma once
// A main window over a workspace of its own: settings in a temporary folder,
// messages recorded, file dialogs answered by the test, pictures as BMP files.

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "../../bench/BenchSupport.h"
#include "app/uWorkspace.h"
#include "image/uBmp.h"
#include "settings/uEnvironment.h"
#include "settings/uIniFile.h"
#include "ui/uBase.h"

namespace tracemill::testing {

// Records what would have been opened or started.
struct RecordingShell : TShellService {
  bool OpenFile(const std::string& path, const std::string& anchor) override {
    opened.push_back(path + (anchor.empty() ? "" : "#" + anchor));
    return true;
  }
  bool RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string&) override {
    started.push_back(program);
    for (const std::string& a : arguments) started.push_back(a);
    return true;
  }
  std::vector<std::string> opened;
  std::vector<std::string> started;
};

struct MainWindow {
  QTemporaryDir dir;
  RecordingMessages messages;
  RecordingShell shell;
  std::unique_ptr<TIniFile> store;
  std::unique_ptr<TWorkspace> workspace;
  std::unique_ptr<TBaseForm> form;
  std::deque<std::vector<std::string>> dialogAnswers;  // one per file dialog shown
  std::vector<TBaseForm::TFileDialogRequest> dialogs;  // the dialogs asked for

  explicit MainWindow(bool japanese) {
    SetJapanese(japanese);
    LoadStore();
    Open();
  }

  void LoadStore() {
    store = std::make_unique<TIniFile>(Path("settings.ini"));
    store->Load();
  }

  // Closes the window and starts the program again on the settings it saved.
  void Restart() {
    Close();
    LoadStore();
    Open();
  }

  void Open() {
    workspace = std::make_unique<TWorkspace>(messages, *store);
    workspace->SetWorkFolder(Path("work/"));
    form = std::make_unique<TBaseForm>(*workspace, *store, messages, &shell);
    form->FileDialog = [this](QWidget*, const TBaseForm::TFileDialogRequest& request) {
      dialogs.push_back(request);
      if (dialogAnswers.empty()) return std::vector<std::string>{};
      std::vector<std::string> answer = dialogAnswers.front();
      dialogAnswers.pop_front();
      return answer;
    };
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  }

  // Closes the window as the user does, then drops it and its workspace.
  void Close() {
    form->close();
    form.reset();
    workspace.reset();
  }

  void Activate() {
    QApplication::setActiveWindow(form.get());
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
  }

  std::string Path(const std::string& name) const { return dir.path().toStdString() + "/" + name; }

  // A BMP file of w x h white pixels.
  std::string Picture(const std::string& name, int w = 120, int h = 80) const {
    const std::string path = Path(name);
    std::ofstream(path, std::ios::binary) << EncodeBmp(MakePicture(w, h, [](int, int) { return 0xFFFFFFu; }));
    return path;
  }

  // Appends a collected line as a bench would have sent it, and shows the list.
  void AddLine(std::int32_t serial, const std::string& title, std::vector<std::pair<double, double>> points,
               const std::string& comment = "") {
    auto line = std::make_unique<TBaseMeasuredPoints>();
    for (auto [x, y] : points) line->AddPoint(x, y);
    line->Title = title;
    line->Comment = comment;
    line->PointsID = serial;
    line->WindowID = 0;
    workspace->AddLine(std::move(line));
    workspace->SetLastPointsID(std::max(workspace->LastPointsID(), serial));
    workspace->RefreshList(-1);
  }

  QString Cell(int row, int column) const {
    return form->Model()->data(form->Model()->index(row, column)).toString();
  }
  QStringList Column(int column) const {
    QStringList texts;
    for (int row = 0; row < form->Model()->rowCount(); ++row) texts << Cell(row, column);
    return texts;
  }
};

}  // namespace tracemill::testing
