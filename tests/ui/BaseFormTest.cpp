// The main window driven as a user would: sorting and deleting in the list,
// copying rows, the state file through its commands, opening images and
// videos, captions in both languages, placement and column widths across a
// restart, and the list model checked against every change of the rows.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "BaseFormSupport.h"
#include "OptionTestSupport.h"
#include "app/uOpenFilter.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "image/uSPI.h"
#include "ui/uBench.h"
#include "ui/uBenchImage.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

enum Menu { FileMenu, EditMenu, ToolMenu, WindowMenu, HelpMenu };
QMenu* MenuOf(TBaseForm& form, int menu) { return form.menuBar()->actions().at(menu)->menu(); }
QAction* Item(TBaseForm& form, int menu, int item) { return MenuOf(form, menu)->actions().at(item); }

void ClickHeader(TBaseForm& form, int column) {
  QHeaderView* header = form.List()->horizontalHeader();
  const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void SelectRows(TBaseForm& form, std::initializer_list<int> rows) {
  QItemSelectionModel* selection = form.List()->selectionModel();
  selection->clearSelection();
  for (int row : rows)
    selection->select(form.Model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Every caption of the menus after each menu was opened once.
QStringList MenuTexts(TBaseForm& form) {
  QStringList texts;
  for (QAction* top : form.menuBar()->actions()) {
    texts << top->text();
    QMenu* menu = top->menu();
    emit menu->aboutToShow();
    for (QAction* item : menu->actions()) texts << item->text();
  }
  emit form.Popup()->aboutToShow();
  for (QAction* item : form.Popup()->actions()) texts << item->text();
  return texts;
}

// Clicks the bench's picture at picture pixel (x, y) (scale 1, not scrolled).
void ClickPicture(TBenchForm& bench, QPoint at) {
  QTest::mouseClick(bench.ImageArea(), Qt::LeftButton, {}, at);
}

}  // namespace

class BaseFormTest : public QObject {
  Q_OBJECT
 private slots:
  void ColumnClicksSortAndDeleteTakesTheSelectedRows() {
    MainWindow w(true);
    w.AddLine(0, "b", {{3, 30}});
    w.AddLine(1, "a", {{1.25, 10}, {5, 5}});
    w.AddLine(2, "c", {{2, 20}});
    QCOMPARE(w.Column(0), (QStringList{"0", "1", "2"}));
    QCOMPARE(w.Column(2), (QStringList{"1", "2", "1"}));

    ClickHeader(*w.form, 3);
    QCOMPARE(w.Column(3), (QStringList{"1.25", "2", "3"}));
    ClickHeader(*w.form, 3);
    QCOMPARE(w.Column(3), (QStringList{"3", "2", "1.25"}));
    ClickHeader(*w.form, 1);
    QCOMPARE(w.Column(1), (QStringList{"a", "b", "c"}));

    // Another window active: neither the shortcut nor the command acts.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    SelectRows(*w.form, {0, 2});
    QTest::keyClick(w.form->List(), Qt::Key_X, Qt::ControlModifier);
    w.form->DeleteCommand();
    QCOMPARE(w.form->Model()->rowCount(), 3);

    w.Activate();
    emit MenuOf(*w.form, EditMenu)->aboutToShow();
    QVERIFY(Item(*w.form, EditMenu, 0)->isEnabled());
    QTest::keyClick(w.form->List(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(w.Column(1), (QStringList{"b"}));
    QCOMPARE(w.workspace->RowCount(), 1);
    QVERIFY(w.form->List()->selectionModel()->selectedRows().isEmpty());
    emit MenuOf(*w.form, EditMenu)->aboutToShow();
    QVERIFY(!Item(*w.form, EditMenu, 0)->isEnabled());  // nothing selected
    QVERIFY(Item(*w.form, EditMenu, 2)->isEnabled());   // rows to select
    emit MenuOf(*w.form, EditMenu)->aboutToHide();

    w.AddLine(7, "d", {{9, 9}});
    QTest::keyClick(w.form->List(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(w.form->List()->selectionModel()->selectedRows().size(), 2);
  }

  void OptionsChangeTheNumberFormatsKeepingTheSelectedLine() {
    MainWindow w(true);
    w.AddLine(0, "b", {{3, 30}});
    w.AddLine(1, "a", {{1.25, 10}});
    ClickHeader(*w.form, 3);  // by X: serial 1 first
    SelectRows(*w.form, {1});
    bool cancel = true;
    w.form->OptionDialog = [&](QWidget*) {
      w.store->WriteValue("Format", "X", "0.00");
      return !cancel;
    };
    w.form->OptionCommand();
    QCOMPARE(w.Column(3), (QStringList{"1.25", "3"}));  // cancelled: read again only on OK
    cancel = false;
    w.form->OptionCommand();
    QCOMPARE(w.Column(3), (QStringList{"1.25", "3.00"}));
    QCOMPARE(w.form->List()->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(w.form->List()->selectionModel()->selectedRows().at(0).row(), 1);
  }

  void CopyPutsTheSelectedRowsUnderTheColumnCaptions() {
    MainWindow w(true);
    w.AddLine(0, "Fig. 1", {{1.5, 2}}, "left\tedge");
    w.AddLine(1, "Fig. 2", {{3, -4}, {5, 6}});
    w.AddLine(2, "Fig. 3", {{7, 8}});
    QApplication::clipboard()->setText(QStringLiteral("before"));
    QTest::keyClick(w.form->List(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));  // nothing selected

    SelectRows(*w.form, {2, 0});
    QTest::keyClick(w.form->List(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("Serial #\tTitle\tPoint #\tX\tY\tComment\n"
                            "0\tFig. 1\t1\t1.5\t2\t\"left\tedge\"\n"
                            "2\tFig. 3\t1\t7\t8\t\n"));
  }

  void StateFileIsSavedAndLoadedThroughTheCommands() {
    MainWindow w(false);
    const std::string picture = w.Picture("chart.bmp");
    w.dialogAnswers.push_back({picture});
    w.form->OpenCommand();
    TBench* bench = w.workspace->Bench(0);
    QVERIFY(bench);
    TBenchForm* benchForm = w.form->FormOf(*bench);
    QVERIFY(benchForm && benchForm->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(benchForm));
    ClickPicture(*benchForm, {10, 20});
    ClickPicture(*benchForm, {30, 40});
    QCOMPARE(w.Column(0), (QStringList{"0", "1"}));
    QCOMPARE(w.Column(3), (QStringList{"11", "31"}));  // 1-based pixel positions without standard points

    const std::string state = w.Path("saved/state.trm");
    w.dialogAnswers.push_back({state});
    w.form->SaveAllCommand();
    const TBaseForm::TFileDialogRequest& save = w.dialogs.back();
    QVERIFY(save.Save);
    QCOMPARE(save.Filter, std::string("Tracemill files (*.trm)|*.trm|All files (*.*)|*.*"));
    QCOMPARE(save.DefaultSuffix, std::string("trm"));
    QVERIFY(FileExists(state));
    QCOMPARE(w.store->ReadValue("Path", "SaveAll", std::string()), w.Path("saved"));

    w.Activate();
    SelectRows(*w.form, {0, 1});
    w.form->DeleteCommand();
    QCOMPARE(w.form->Model()->rowCount(), 0);

    // A file that is not a state file changes nothing and says so.
    const std::string alien = w.Path("alien.trm");
    std::ofstream(alien) << "not a state\r\n";
    w.dialogAnswers.push_back({alien});
    w.form->LoadAllCommand();
    QCOMPARE(w.messages.shown.size(), std::size_t(1));
    QVERIFY(w.workspace->Bench(0));

    w.dialogAnswers.push_back({state});
    w.form->LoadAllCommand();
    QCOMPARE(w.dialogs.back().Folder, w.dir.path().toStdString());  // where the alien file was chosen
    QCOMPARE(w.Column(0), (QStringList{"0", "1"}));
    QCOMPARE(w.Column(4), (QStringList{"21", "41"}));
    QCOMPARE(w.store->ReadValue("Path", "OpenAll", std::string()), w.Path("saved"));
    TBench* restored = w.workspace->Bench(0);
    QVERIFY(restored && w.form->FormOf(*restored) && w.form->FormOf(*restored)->isVisible());
    QCOMPARE(w.form->WindowMenu()->actions().size(), 1);
    QCOMPARE(w.form->WindowMenu()->actions().at(0)->text(), QStringLiteral("&0:chart.bmp"));
  }

  void CsvAndReportsAreWrittenAndHandedOn() {
    MainWindow w(true);
    w.workspace->AddEmptyEntry("chart.bmp");
    w.AddLine(0, "Fig. 2, left", {{1.5, 2}}, "c");
    w.AddLine(1, "b", {{3, 4}, {5, 6}});
    const std::string csv = w.Path("out/list.csv");
    w.dialogAnswers.push_back({csv});
    w.form->SaveCsvCommand();
    QCOMPARE(w.dialogs.back().Filter, std::string("CSV files (*.csv)|*.csv|All files (*.*)|*.*"));
    QVERIFY(w.dialogs.back().Save);
    QCOMPARE(ReadFileBytes(csv).substr(0, 8), std::string("Serial #"));
    QCOMPARE(w.store->ReadValue("Path", "SaveCSV", std::string()), w.Path("out"));

    SelectRows(*w.form, {1});
    w.form->SimpleReportCommand();
    const std::string simple = IncludeTrailingSlash(w.workspace->WorkFolder()) + "SimpleReport.txt";
    QCOMPARE(ReadFileBytes(simple), std::string("1.5, 2, chart.bmp, c\r\n3, 4, chart.bmp, \r\n"));
    QCOMPARE(w.shell.opened, std::vector<std::string>{simple});

    w.store->WriteValue("Application", "ProgrammableReport", "viewer");
    w.form->ProgrammableReportCommand();
    const std::string report = IncludeTrailingSlash(w.workspace->WorkFolder()) + "Report.txt";
    QVERIFY(ReadFileBytes(report).find("Fig. 2, left") != std::string::npos);
    QCOMPARE(w.shell.started, (std::vector<std::string>{"viewer", report}));
    QVERIFY(w.form->List()->selectionModel()->selectedRows().isEmpty());
    QVERIFY(w.messages.shown.empty());
  }

  void OpenCommandFiltersAsksAndSkips() {
    MainWindow w(true);
    w.form->OpenCommand();
    w.form->OpenCommand();
    QCOMPARE(w.dialogs.size(), std::size_t(2));
    QCOMPARE(w.dialogs[0].Filter, WithVideoAndPdfFilters(MakeOpenFilter(true, std::string(kInitialImageFilter))));
    QCOMPARE(w.dialogs[1].Filter, w.dialogs[0].Filter);  // the AVI entry only once
    QVERIFY(w.dialogs[0].Multiple);
    QCOMPARE(w.dialogs[0].Folder, w.workspace->WorkFolder());
    QCOMPARE(w.form->WindowMenu()->actions().at(0)->text(), QStringLiteral("( no picture window )"));

    const std::string a = w.Picture("a.bmp");
    const std::string b = w.Picture("b.bmp");
    const std::string unknown = w.Path("notes.xyz");
    std::ofstream(unknown) << "text";
    w.dialogAnswers.push_back({a, unknown, w.Path("missing.bmp"), b});
    w.form->OpenCommand();
    QCOMPARE(w.workspace->BenchCount(), 2);
    QCOMPARE(w.messages.shown.size(), std::size_t(1));
    QCOMPARE(w.messages.shown[0].Text, NoPluginMessage(true, unknown));
    QCOMPARE(w.store->ReadValue("Path", "Open", std::string()), w.dir.path().toStdString());
    QCOMPARE(w.form->WindowMenu()->actions().size(), 2);
    QCOMPARE(w.form->WindowMenu()->actions().at(1)->text(), QStringLiteral("&1:b.bmp"));

    // The Window menu shows a hidden bench again.
    TBenchForm* first = w.form->FormOf(*w.workspace->Bench(0));
    first->close();
    QVERIFY(!first->isVisible());
    w.form->WindowMenu()->actions().at(0)->trigger();
    QVERIFY(first->isVisible());

    // Dropped files: a state file first loads it; images open.
    const std::string c = w.Picture("c.bmp");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(c))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.form.get(), &drop);
    QCOMPARE(w.workspace->BenchCount(), 3);
  }

  void VideoSplitsUnderProgressAndCancelLeavesNothing() {
    MainWindow w(false);
    const std::string video = std::string(TRACEMILL_CORPUS_DIR) + "/avi/raw_bgr24.avi";
    QVERIFY2(FileExists(video), "the corpus video is missing");
    bool sawDialog = false;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
      for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(top); progress && progress->isVisible()) {
          sawDialog = true;
          progress->cancel();
        }
    });
    cancel.start(0);
    w.dialogAnswers.push_back({video});
    w.form->OpenCommand();
    cancel.stop();
    QVERIFY(sawDialog);
    QCOMPARE(w.workspace->BenchCount(), 0);

    w.dialogAnswers.push_back({video});
    w.form->OpenCommand();
    QCOMPARE(w.workspace->BenchCount(), 20);
    QCOMPARE(w.form->WindowMenu()->actions().size(), 20);
  }

  void CaptionsFollowTheInterfaceLanguage() {
    {
      MainWindow w(true);
      const QStringList texts = MenuTexts(*w.form);
      for (const char* caption : {"ファイル(&F)", "画像を開く (&Open Image) ...", "状態復元 (&Load All) ...",
                                  "削除 (&Delete)", "再測定", "ウィンドウ(&W)", "削除"})
        QVERIFY2(texts.contains(QString::fromUtf8(caption)), caption);
      QCOMPARE(Item(*w.form, EditMenu, 0)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
      QCOMPARE(Item(*w.form, EditMenu, 2)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_A));
    }
    MainWindow w(false);
    w.AddLine(0, "a", {{1, 2}});
    SelectRows(*w.form, {0});
    w.form->RemeasureCommand();  // the remeasure's caption too
    QStringList texts = MenuTexts(*w.form);
    QVERIFY(texts.contains(QStringLiteral("Cancel ReMeasure")));
    w.form->RemeasureCommand();
    texts << MenuTexts(*w.form) << w.form->windowTitle();
    for (int column = 0; column < kListColumnCount; ++column)
      texts << w.form->Model()->headerData(column, Qt::Horizontal).toString();
    for (const QString& text : texts) QVERIFY2(!HasJapanese(text), qPrintable(text));
    for (const char* caption : {"&File", "&Open Image ...", "&Delete", "ReMeasure", "&Window", "Delete", "Serial #"})
      QVERIFY2(texts.contains(QString::fromUtf8(caption)), caption);
  }

  void PlacementColumnWidthsAndSnapshotOutliveTheRun() {
    MainWindow w(true);
    w.form->setGeometry(60, 80, 640, 420);
    w.form->List()->setColumnWidth(2, 77);
    w.form->List()->setColumnWidth(5, 33);
    w.AddLine(0, "kept", {{1, 2}});
    w.Restart();
    QCOMPARE(w.form->normalGeometry().size(), QSize(640, 420));
    QCOMPARE(w.form->List()->columnWidth(2), 77);
    QCOMPARE(w.form->List()->columnWidth(5), 33);
    QCOMPARE(w.form->Model()->rowCount(), 0);  // the snapshot is not read back
    const std::string resume = IncludeTrailingSlash(w.workspace->WorkFolder()) + "Resume.trm";
    QVERIFY(FileExists(resume));
    w.form->HandleCommandLine({resume});
    QCOMPARE(w.Column(1), (QStringList{"kept"}));
  }

  void ModelFollowsEveryChangeOfTheRows() {
    MainWindow w(true);
    QAbstractItemModelTester tester(w.form->Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto agrees = [&] { return w.form->Model()->rowCount() == w.workspace->RowCount(); };
    for (int i = 0; i < 5; ++i) w.AddLine(i, std::string(1, char('e' - i)), {{double(i), double(-i)}});
    QVERIFY(agrees());
    w.dialogAnswers.push_back({w.Picture("m.bmp")});
    w.form->OpenCommand();
    TBenchForm* bench = w.form->FormOf(*w.workspace->Bench(0));
    QVERIFY(QTest::qWaitForWindowExposed(bench));
    ClickPicture(*bench, {5, 5});
    QVERIFY(agrees());
    QCOMPARE(w.form->List()->selectionModel()->selectedRows().size(), 1);  // the new line
    ClickHeader(*w.form, 1);
    ClickHeader(*w.form, 1);
    QVERIFY(agrees());
    SelectRows(*w.form, {1});
    w.form->RemeasureCommand();
    ClickPicture(*bench, {6, 6});
    QVERIFY(agrees());
    w.Activate();
    SelectRows(*w.form, {0, 3, 4});
    w.form->DeleteCommand();
    QVERIFY(agrees());
    QCOMPARE(w.form->Model()->rowCount(), 3);
    w.dialogAnswers.push_back({w.Path("m.trm")});
    w.form->SaveAllCommand();
    w.dialogAnswers.push_back({w.Path("m.trm")});
    w.form->LoadAllCommand();
    QVERIFY(agrees());
    QCOMPARE(w.form->Model()->rowCount(), 3);
  }
};

QTEST_MAIN(BaseFormTest)
#include "BaseFormTest.moc"
