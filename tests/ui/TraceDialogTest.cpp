// Tracing from the bench window: the popup and Tools entries, the dialog's
// preview on the picture, OK and Cancel. (Captions: BenchFormTest.)
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <functional>

#include "BenchFormSupport.h"
#include "ui/uOptionDialog.h"
#include "ui/uTraceDialog.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kGreen = 0x208020, kRed = 0x1020D0;
constexpr int kPopupTrace = 4, kPopupMarkers = 5;  // after Magnify, Line, Delete and a separator

// A white chart with a green curve on rows 40 and 41 (x 10 .. 189) and three
// red 5 x 5 markers at x = 20, 80, 140, y = 70.
TBitmap Chart() {
  return MakePicture(200, 100, [](int x, int y) {
    if (y >= 70 && y < 75 && x % 60 >= 20 && x % 60 < 25) return kRed;
    return x >= 10 && x < 190 && (y == 40 || y == 41) ? kGreen : kWhite;
  });
}

QAction* TraceToolItem(TBenchForm& form) {
  return form.menuBar()->actions().at(3)->menu()->actions().at(3);  // Tool, after a separator
}

// Runs act on the tracing dialog once it is open and modal.
void WhenDialogOpens(std::function<void(TTraceDialog&)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    auto* dialog = qobject_cast<TTraceDialog*>(QApplication::activeModalWidget());
    if (!dialog) return;
    poll->stop();
    poll->deleteLater();
    act(*dialog);
  });
  poll->start(10);
}

void RightClick(BenchWindow& w, QPoint at) {
  w.Click(at, Qt::RightButton);
  w.form->Popup()->hide();
}

}  // namespace

class TraceDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void PreviewShowsOnThePictureAndCancelLeavesNothing() {
    BenchWindow w(false, Chart());
    // Beyond the picture the popup offers no tracing and the dialog says why.
    RightClick(w, {300, 40});
    QVERIFY(!w.form->Popup()->actions().at(kPopupTrace)->isEnabled());
    TTraceDialog markers(*w.bench, TTraceKind::Markers, w.form.get());
    markers.UpdatePreview();
    QCOMPARE(markers.ResultLabel()->text(),
             QStringLiteral("The starting point is outside the picture."));
    QVERIFY(!w.bench->HasPreview());
    QVERIFY(!markers.StepBox()->isVisibleTo(&markers) && !markers.GapBox()->isVisibleTo(&markers));

    RightClick(w, {50, 40});
    QVERIFY(w.form->Popup()->actions().at(kPopupTrace)->isEnabled());
    const QPoint onCurve(63, 41);  // between two traced points, on the line joining them
    auto pixel = [&] { return w.Area()->grab().toImage().pixelColor(onCurve); };
    auto count = [&](int step) {
      return QStringLiteral("%1 points")
          .arg(w.bench->TracePreview(TTraceKind::Curve, {60, step, 4}).size());
    };
    QCOMPARE(pixel(), ToQColor(kGreen));
    {
      TTraceDialog dialog(*w.bench, TTraceKind::Curve, w.form.get());
      dialog.show();
      QTRY_VERIFY(w.bench->HasPreview());
      QCOMPARE(dialog.ResultLabel()->text(), count(5));
      QCOMPARE(pixel(), ToQColor(w.bench->Settings().LineColor));
      // A change traces again a moment later.
      dialog.StepBox()->setValue(20);
      QVERIFY(count(20) != count(5));
      QCOMPARE(dialog.ResultLabel()->text(), count(5));
      QTRY_COMPARE(dialog.ResultLabel()->text(), count(20));
      dialog.reject();
      QVERIFY(!w.bench->HasPreview());
    }
    QCOMPARE(pixel(), ToQColor(kGreen));
    QVERIFY(w.main.kinds.empty());
    QCOMPARE(w.bench->TraceSettings().StepX, TTraceSettings::kDefaultStepX);
    // In standard-point mode the Tools entries are off.
    w.form->menuBar()->actions().at(3)->menu()->actions().at(0)->trigger();
    QVERIFY(!TraceToolItem(*w.form)->isEnabled());
  }

  void OkAddsOneLineThatUndoTakesAway() {
    BenchWindow w(true, Chart());
    RightClick(w, {22, 72});
    QString title, result;
    WhenDialogOpens([&](TTraceDialog& dialog) {
      title = dialog.windowTitle();
      dialog.ToleranceBox()->setValue(40);
      dialog.UpdatePreview();
      result = dialog.ResultLabel()->text();
      dialog.findChild<QPushButton*>(QStringLiteral("OkButton"))->click();
    });
    w.form->Popup()->actions().at(kPopupMarkers)->trigger();
    QCOMPARE(title, QStringLiteral("マーカー検出"));
    QCOMPARE(result, QStringLiteral("３点"));
    QVERIFY(!w.bench->HasPreview());
    QCOMPARE(w.main.kinds, std::vector<std::string>{"Point"});
    QCOMPARE(w.main.collected.at(0).size(), std::size_t(3));
    QCOMPARE(w.bench->TraceSettings().Tolerance, 40);

    // Cancel from the Tools menu adds nothing; undo takes the line away in one step.
    WhenDialogOpens([](TTraceDialog& dialog) { dialog.reject(); });
    TraceToolItem(*w.form)->trigger();
    QCOMPARE(w.bench->Data().Measured.Count(), 1);
    w.form->menuBar()->actions().at(1)->menu()->actions().at(0)->trigger();  // Edit, Undo
    QVERIFY(w.main.collected.empty());
    QVERIFY(!w.bench->CanUndo());
  }
};

QTEST_MAIN(TraceDialogTest)
#include "TraceDialogTest.moc"
