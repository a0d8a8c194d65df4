// The bench options dialog reaching beyond its own bench through the main
// window: "All windows follow this setting" and "Make this setting default".
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "BaseFormSupport.h"
#include "ui/uBench.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

// Answers the next options dialog: sets the named check boxes and presses a
// button ("OkButton" or "CancelButton").
void AnswerOptions(std::vector<std::pair<const char*, bool>> boxes, const char* button) {
  QTimer::singleShot(0, [boxes, button] {
    QWidget* dialog = QApplication::activeModalWidget();
    QVERIFY(dialog);
    for (const auto& [name, checked] : boxes) {
      auto* box = dialog->findChild<QCheckBox*>(name);
      QVERIFY2(box, name);
      box->setChecked(checked);
    }
    QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
  });
}

bool Has(const TBench& bench, const std::string& line) {
  return bench.SettingsText().find(line + "\r\n") != std::string::npos;
}

}  // namespace

class OptionWiringTest : public QObject {
  Q_OBJECT
 private slots:
  void AllWindowsFollowReachesEveryOtherBench() {
    MainWindow w(false);
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) w.workspace->OpenImageFile(w.Picture(name), true);
    QCOMPARE(w.workspace->BenchCount(), 3);
    TBench& first = *w.workspace->Bench(0);
    QVERIFY(!Has(*w.workspace->Bench(1), "CommentArea=True"));

    // Cancel: nothing changes anywhere.
    AnswerOptions({{"CommentArea", true}, {"OtherWindow", true}}, "CancelButton");
    w.form->FormOf(first)->OptionCommand();
    for (int i = 0; i < 3; ++i) QVERIFY(!Has(*w.workspace->Bench(i), "CommentArea=True"));

    // Without the check box only this bench takes the setting.
    AnswerOptions({{"CommentArea", true}}, "OkButton");
    w.form->FormOf(first)->OptionCommand();
    QVERIFY(Has(first, "CommentArea=True"));
    QVERIFY(!Has(*w.workspace->Bench(1), "CommentArea=True"));

    // With it every other bench follows.
    AnswerOptions({{"StatusColor", false}, {"OtherWindow", true}}, "OkButton");
    w.form->FormOf(*w.workspace->Bench(2))->OptionCommand();
    for (int i = 0; i < 3; ++i) {
      QVERIFY2(Has(*w.workspace->Bench(i), "StatusColor=False"), qPrintable(QString::number(i)));
      QVERIFY(Has(*w.workspace->Bench(i), "CommentArea=False"));  // the whole setting, not one value
    }
    // The defaults were not touched: a new bench starts as before.
    w.workspace->OpenImageFile(w.Picture("d.bmp"), true);
    QVERIFY(Has(*w.workspace->Bench(3), "StatusColor=True"));
  }

  void MakeThisSettingDefaultReachesNewBenchesAndTheNextRun() {
    MainWindow w(true);
    w.workspace->OpenImageFile(w.Picture("a.bmp"), true);
    w.workspace->OpenImageFile(w.Picture("b.bmp"), true);
    AnswerOptions({{"StatusColor", false}, {"Default", true}}, "OkButton");
    w.form->FormOf(*w.workspace->Bench(0))->OptionCommand();
    QVERIFY(Has(*w.workspace->Bench(0), "StatusColor=False"));
    QVERIFY(Has(*w.workspace->Bench(1), "StatusColor=True"));  // an open bench keeps its own

    w.workspace->OpenImageFile(w.Picture("c.bmp"), true);
    QVERIFY(Has(*w.workspace->Bench(2), "StatusColor=False"));
    w.Restart();
    w.workspace->OpenImageFile(w.Picture("d.bmp"), true);
    QVERIFY(Has(*w.workspace->Bench(0), "StatusColor=False"));
  }
};

QTEST_MAIN(OptionWiringTest)
#include "OptionWiringTest.moc"
