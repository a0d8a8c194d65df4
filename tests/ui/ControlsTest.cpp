// The edit box with header, the picture's scroll bar, and the Qt services:
// message boxes and script dialogs.
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "ui/controls/AlignableScrollBar.h"
#include "ui/controls/uHEdit.h"
#include "ui/uQtServices.h"

using namespace tracemill;

class ControlsTest : public QObject {
  Q_OBJECT
 private slots:
  void EditWithHeaderForwardsToItsChildren() {
    TEditWithHeader bar;
    bar.SetHeaderCaption(QStringLiteral(" Title"));
    bar.SetHeaderWidth(65);
    bar.resize(605, bar.sizeHint().height());
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QCOMPARE(bar.Header()->text(), QStringLiteral(" Title"));
    QCOMPARE(bar.Edit()->width(), 540);
    QCOMPARE(bar.height(), bar.Edit()->sizeHint().height());

    QSignalSpy changes(&bar, &TEditWithHeader::OnChange);
    bar.SetEditText(QStringLiteral("chart.bmp"));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).value<TEditWithHeader*>(), &bar);
    QCOMPARE(bar.Edit()->text(), QStringLiteral("chart.bmp"));
    bar.Edit()->setSelection(0, 5);
    QCOMPARE(bar.SelLength(), 5);
    QCOMPARE(bar.SelText(), QStringLiteral("chart"));
    bar.SetSelText(QStringLiteral("graph"));
    QCOMPARE(bar.EditText(), QStringLiteral("graph.bmp"));
    QCOMPARE(changes.count(), 2);
  }

  void ScrollBarStopsAPageBeforeTheEnd() {
    const struct {
      int max, page, large, requested, position;
    } cases[] = {{1000, 100, 99, 5000, 901}, {1000, 0, 1, 5000, 1000}, {50, 100, 99, 30, 0}, {2000000000, 10, 9, 2000000000, 1999999991}};
    for (const auto& c : cases) {
      TAlignableScrollBar bar(Qt::Horizontal);
      QSignalSpy moved(&bar, &TAlignableScrollBar::Scrolled);
      bar.SetState(c.max, c.page, c.large, c.requested);
      QCOMPARE(bar.Position(), c.position);
      QCOMPARE(moved.count(), 0);
      bar.triggerAction(QAbstractSlider::SliderToMaximum);  // dragged to the end
      QCOMPARE(bar.Position(), c.position);
      bar.triggerAction(QAbstractSlider::SliderToMinimum);
      bar.triggerAction(QAbstractSlider::SliderPageStepAdd);
      QCOMPARE(bar.Position(), std::min(c.large, bar.Limit()));
      QCOMPARE(moved.count() > 0, c.position > 0);
    }
  }

  void MessageBoxesAsAsked() {
    const struct {
      TMessageButtons buttons;
      TMessageIcon icon;
      int defaultButton;
      QMessageBox::Icon qtIcon;
      QList<QMessageBox::StandardButton> shown;
      TMessageResult answer;  // of the default button
    } cases[] = {
        {TMessageButtons::Ok, TMessageIcon::Exclamation, 0, QMessageBox::Warning, {QMessageBox::Ok}, TMessageResult::Ok},
        {TMessageButtons::YesNoCancel, TMessageIcon::Question, 2, QMessageBox::Question,
         {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, TMessageResult::Cancel},
        {TMessageButtons::OkCancel, TMessageIcon::Information, 7, QMessageBox::Information,
         {QMessageBox::Ok, QMessageBox::Cancel}, TMessageResult::Ok},
        {TMessageButtons::CancelTryContinue, TMessageIcon::Stop, 1, QMessageBox::Critical, {}, TMessageResult::TryAgain},
    };
    for (const auto& c : cases) {
      TMessage m{"Caption", "first\r\nsecond", c.buttons, c.icon, c.defaultButton};
      QMessageBox box;
      PrepareMessageBox(box, m);
      QCOMPARE(box.windowTitle(), QStringLiteral("Caption"));
      QCOMPARE(box.text(), QStringLiteral("first\nsecond"));
      QCOMPARE(box.icon(), c.qtIcon);
      for (QMessageBox::StandardButton b : c.shown) QVERIFY(box.button(b));
      QCOMPARE(box.buttons().size(), c.buttons == TMessageButtons::CancelTryContinue ? 3 : c.shown.size());
      box.defaultButton()->click();
      QCOMPARE(ResultOf(box), c.answer);
    }
    // A shown box answers with the button pressed, here the default one.
    QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
    TQtScriptServices services;
    QCOMPARE(services.MessageBox("Sure?", "Caption", 4 | 0x30 | 0x100), 7);  // Yes/No, No the default: IDNO
  }

  void ScriptDialogsGiveTheirDefaultsWhenCancelled() {
    TQtScriptServices services;
    auto cancel = [] {
      QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape); });
    };
    cancel();
    QCOMPARE(services.InputBox("Caption", "Prompt", "default"), std::string("default"));
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      dialog->setTextValue(QStringLiteral("typed"));
      dialog->accept();
    });
    QCOMPARE(services.InputBox("Caption", "Prompt", "default"), std::string("typed"));
    cancel();
    QCOMPARE(services.SelectDirectory("/tmp", true), std::string("/tmp"));
    QCOMPARE(services.CommandLine().at(0), QCoreApplication::arguments().at(0).toStdString());
  }
};

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
