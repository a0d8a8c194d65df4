// Tracing from the bench window: the popup and Tools entries in both
// languages, the dialog's preview on the picture, OK and Cancel.
#include <QAction>
#include <QFormLayout>
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
constexpr int kToolMenu = 3;
constexpr int kPopupTrace = 4, kPopupMarkers = 5;  // after Magnify, Line, Delete and a separator
constexpr int kToolTrace = 3, kToolMarkers = 4;

// A white chart with a green curve on rows 40 and 41 (x 10 .. 189) and three
// red 5 x 5 markers on rows 70 .. 74.
TBitmap Chart() {
  return MakePicture(200, 100, [](int x, int y) {
    if (y >= 70 && y < 75 && (x % 60) >= 20 && (x % 60) < 25) return kRed;
    return x >= 10 && x < 190 && (y == 40 || y == 41) ? kGreen : kWhite;
  });
}

QAction* ToolItem(TBenchForm& form, int item) {
  return form.menuBar()->actions().at(kToolMenu)->menu()->actions().at(item);
}

// Runs act on the tracing dialog once it is open (and modal).
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

QColor AreaPixel(BenchWindow& w, QPoint at) { return w.Area()->grab().toImage().pixelColor(at); }

}  // namespace

class TraceDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void EntriesInBothLanguagesFollowTheState() {
    const struct {
      bool japanese;
      QStringList tool, popup;
    } cases[] = {
        {true,
         {"基準点設定 (&Standard points)", "再計算 (&Recalculate)", "",
          "曲線トレース (&Trace curve) ...", "マーカー検出 (&Find markers) ...", "",
          "設定 (&Option) ..."},
         {"拡大", "線", "削除", "", "曲線トレース", "マーカー検出"}},
        {false,
         {"&Standard points", "&Recalculate", "", "&Trace curve ...", "&Find markers ...", "",
          "&Option ..."},
         {"Magnify", "Line", "Delete", "", "Trace curve", "Find markers"}},
    };
    for (const auto& c : cases) {
      BenchWindow w(c.japanese, Chart());
      QStringList tool, popup;
      for (QAction* a : w.form->menuBar()->actions().at(kToolMenu)->menu()->actions())
        tool << a->text();
      QCOMPARE(tool, c.tool);
      w.Click({50, 40}, Qt::RightButton);
      for (QAction* a : w.form->Popup()->actions()) popup << a->text();
      w.form->Popup()->hide();
      QCOMPARE(popup, c.popup);
      QVERIFY(w.form->Popup()->actions().at(kPopupTrace)->isEnabled());

      // Beyond the picture the popup offers no tracing; in standard-point mode the menu neither.
      w.Click({300, 40}, Qt::RightButton);
      w.form->Popup()->hide();
      QVERIFY(!w.form->Popup()->actions().at(kPopupTrace)->isEnabled());
      QVERIFY(!w.form->Popup()->actions().at(kPopupMarkers)->isEnabled());
      QVERIFY(ToolItem(*w.form, kToolTrace)->isEnabled());
      ToolItem(*w.form, 0)->trigger();
      QVERIFY(!ToolItem(*w.form, kToolTrace)->isEnabled());
      QVERIFY(!ToolItem(*w.form, kToolMarkers)->isEnabled());
    }
  }

  void DialogPreviewsOnThePictureAndCancelLeavesNothing() {
    BenchWindow w(false, Chart());
    w.Click({50, 40}, Qt::RightButton);
    w.form->Popup()->hide();
    const QColor lineColor = ToQColor(w.bench->Settings().LineColor);
    const QPoint onCurve(63, 41);  // between two traced points, on the line joining them
    QCOMPARE(AreaPixel(w, onCurve), ToQColor(kGreen));
    {
      TTraceDialog dialog(*w.bench, TTraceKind::Curve, w.form.get());
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Trace curve"));
      QCOMPARE(dialog.ToleranceBox()->value(), 60);
      dialog.show();
      QTRY_VERIFY(w.bench->HasPreview());
      const auto count = [&](int step) {
        return QStringLiteral("%1 points")
            .arg(w.bench->TracePreview(TTraceKind::Curve, {60, step, 4}).size());
      };
      QCOMPARE(dialog.ResultLabel()->text(), count(5));
      QCOMPARE(AreaPixel(w, onCurve), lineColor);

      // A change traces again a moment later.
      dialog.StepBox()->setValue(20);
      QCOMPARE(dialog.ResultLabel()->text(), count(5));
      QTRY_COMPARE(dialog.ResultLabel()->text(), count(20));
      QVERIFY(count(20) != count(5));
      QCOMPARE(dialog.Settings().StepX, 20);
      dialog.reject();
      QVERIFY(!w.bench->HasPreview());
    }
    QCOMPARE(AreaPixel(w, onCurve), ToQColor(kGreen));
    QVERIFY(w.main.kinds.empty());
    QCOMPARE(w.bench->TraceSettings().StepX, TTraceSettings::kDefaultStepX);

    // A spot the tracer refuses tells why, and previews nothing.
    w.Click({300, 40}, Qt::RightButton);
    w.form->Popup()->hide();
    TTraceDialog markers(*w.bench, TTraceKind::Markers, w.form.get());
    markers.UpdatePreview();
    QCOMPARE(markers.ResultLabel()->text(),
             QStringLiteral("The starting point is outside the picture."));
    QVERIFY(!w.bench->HasPreview());
    auto* form = markers.findChild<QFormLayout*>();
    QVERIFY(form->isRowVisible(markers.ToleranceBox()));
    QVERIFY(!form->isRowVisible(markers.StepBox()) && !form->isRowVisible(markers.GapBox()));
  }

  void OkAddsOneLineThatUndoTakesAway() {
    BenchWindow w(true, Chart());
    w.Click({22, 72}, Qt::RightButton);
    w.form->Popup()->hide();
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
    ToolItem(*w.form, kToolTrace)->trigger();
    QCOMPARE(w.bench->Data().Measured.Count(), 1);
    w.form->menuBar()->actions().at(1)->menu()->actions().at(0)->trigger();  // Edit, Undo
    QCOMPARE(w.bench->Data().Measured.Count(), 0);
    QVERIFY(w.main.collected.empty());
    QVERIFY(!w.bench->CanUndo());
  }
};

QTEST_MAIN(TraceDialogTest)
#include "TraceDialogTest.moc"
