// The bench window driven as a user would: clicks on the picture at several
// scales and magnifications, the standard grid, the right button and popup,
// the keyboard sink, the wheel, menus in both languages, undo and redo, the
// window's own behaviour and loading a large picture with progress.
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QtTest>
#include <atomic>
#include <fstream>

#include "BenchFormSupport.h"
#include "OptionTestSupport.h"
#include "settings/uAppliInfo.h"
#include "ui/controls/AlignableScrollBar.h"
#include "ui/controls/uHEdit.h"
#include "ui/uBenchLoad.h"
#include "ui/uBenchPanel.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

enum Menu { FileMenu, EditMenu, ViewMenu, ToolMenu, HelpMenu };
QAction* Item(TBenchForm& form, int menu, int item) {
  return form.menuBar()->actions().at(menu)->menu()->actions().at(item);
}
QAction* ScaleItem(TBenchForm& form, int index) { return Item(form, ViewMenu, 5 + (3 - index)); }

// X = (p - 20.5) / 10 and Y = (80.5 - q) / 10 for picture point (p, q), from
// standard points on pixels (20, 80), (180, 80) and (20, 20).
void Calibrate(BenchWindow& w) {
  Item(*w.form, ToolMenu, 0)->trigger();
  QVERIFY(w.bench->StandardMode());
  const struct {
    QPoint at;
    const char *x, *y;
  } points[] = {{{20, 80}, "0", "0"}, {{180, 80}, "16", "0"}, {{20, 20}, "0", "6"}};
  QTableWidget* grid = w.form->StandardPanel()->Grid();
  for (int i = 0; i < 3; ++i) {
    w.Click(points[i].at);
    grid->item(i, 5)->setText(QString::fromLatin1(points[i].x));
    grid->item(i, 6)->setText(QString::fromLatin1(points[i].y));
  }
  QTest::mouseClick(w.form->StandardPanel()->OkButton(), Qt::LeftButton);
  QVERIFY(!w.bench->StandardMode());
}

void Wheel(QWidget* target, QPoint at, QPoint angle, Qt::KeyboardModifiers mods) {
  QWheelEvent event(at, target->mapToGlobal(at), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase, false);
  QApplication::sendEvent(target, &event);
}

void CollectMenuTexts(const QList<QAction*>& actions, QStringList& out) {
  for (QAction* a : actions) {
    out << a->text();
    if (QMenu* m = a->menu()) {
      out << m->title();
      CollectMenuTexts(m->actions(), out);
    }
  }
}

}  // namespace

class BenchFormTest : public QObject {
  Q_OBJECT
 private slots:
  void ClicksGiveTheValuesOfThePixelUnderThem() {
    BenchWindow w(false);
    Calibrate(w);
    const struct {
      int scaleIndex;
      bool magnified;
      int scrollX, scrollY;
      QPoint click;
    } cases[] = {{0, false, 0, 0, {100, 50}}, {1, true, 110, 120, {355, 155}}, {3, false, 2500, 900, {7, 300}}};
    for (const auto& c : cases) {
      ScaleItem(*w.form, c.scaleIndex)->trigger();
      if (w.bench->Magnified() != c.magnified) Item(*w.form, ViewMenu, 3)->trigger();
      w.form->HorizontalBar()->setValue(c.scrollX);
      w.form->VerticalBar()->setValue(c.scrollY);
      const int m = c.magnified ? w.bench->Magnitude() : 1;
      const double s = w.bench->Scale();
      const double posX = c.click.x() / m + w.form->HorizontalBar()->value();
      const double posY = c.click.y() / m + w.form->VerticalBar()->value();
      QCOMPARE(w.form->HorizontalBar()->value(), std::min(c.scrollX, w.bench->HorizontalScroll().Limit()));
      w.Click(c.click);
      const auto& values = w.main.collected.at(w.main.lastId);
      QCOMPARE(values.size(), std::size_t(1));
      QVERIFY(qAbs(values[0].first - ((posX + 0.5) / s - 20.5) / 10) < 1e-9);
      QVERIFY(qAbs(values[0].second - (80.5 - (posY + 0.5) / s) / 10) < 1e-9);
    }
    QCOMPARE(w.main.collected.size(), std::size(cases));
  }

  void StandardGridKeepsOnlyNumbers() {
    BenchWindow w(false);
    Calibrate(w);
    Item(*w.form, ToolMenu, 0)->trigger();
    QTableWidget* grid = w.form->StandardPanel()->Grid();
    QVERIFY(grid->isVisible());
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("2"));
    QCOMPARE(grid->item(1, 3)->text(), QStringLiteral("180"));
    QVERIFY(!(grid->item(1, 3)->flags() & Qt::ItemIsEditable));
    const struct {
      const char* typed;
      const char* kept;
    } cases[] = {{"12.5", "12.5"}, {"abc", "12.5"}, {"-3e2", "-3e2"}};
    for (const auto& c : cases) {
      grid->setCurrentCell(1, 5);
      grid->editItem(grid->item(1, 5));
      auto* editor = grid->viewport()->findChild<QLineEdit*>();
      QVERIFY(editor);
      editor->selectAll();
      QTest::keyClicks(editor, QString::fromLatin1(c.typed));
      QTest::keyClick(editor, Qt::Key_Return);
      QCoreApplication::processEvents();  // the grid commits after the key
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      QCOMPARE(QString::fromStdString(w.bench->Data().Standards[1]->TextX), QString::fromLatin1(c.kept));
      QCOMPARE(grid->item(1, 5)->text(), QString::fromLatin1(c.kept));
    }
    // The delete button removes the current row.
    grid->setCurrentCell(0, 5);
    QTest::mouseClick(w.form->StandardPanel()->DeleteButton(), Qt::LeftButton);
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->item(0, 3)->text(), QStringLiteral("180"));
    // A cell still in edit when the window goes commits to the bench alone.
    grid->editItem(grid->item(0, 6));
    QTest::keyClicks(grid->viewport()->findChild<QLineEdit*>(), QStringLiteral("5"));
  }

  void RightButtonCommandsAndPopup() {
    BenchWindow w(false);
    QMenu* popup = w.form->Popup();
    auto items = popup->actions();
    w.Click({40, 40}, Qt::RightButton);
    QVERIFY(popup->isVisible());
    QCOMPARE(items[0]->text(), QStringLiteral("Magnify"));
    QCOMPARE(items[1]->text(), QStringLiteral("Line"));
    QCOMPARE(items[2]->text(), QStringLiteral("Delete"));
    QVERIFY(!items[1]->isEnabled());
    QVERIFY(!items[2]->isEnabled());
    popup->hide();

    // A click, then two Line commands and a click make a line of three points.
    w.Click({20, 20});
    for (QPoint at : {QPoint(40, 40), QPoint(60, 60)}) {
      w.Click(at, Qt::RightButton);
      popup->hide();
      items[1]->trigger();
    }
    w.Click({80, 50});
    QCOMPARE(w.main.kinds, (std::vector<std::string>{"Point", "Line", "Line", "Point"}));
    QCOMPARE(w.main.collected.at(1).size(), std::size_t(3));

    // Delete on one of its points asks, then the line goes.
    w.Click({60, 60}, Qt::RightButton);
    QVERIFY(items[2]->isEnabled());
    popup->hide();
    items[2]->trigger();
    QCOMPARE(QString::fromStdString(w.messages.shown.back().Caption), QStringLiteral("Delete"));
    QCOMPARE(w.main.collected.size(), std::size_t(1));
    QCOMPARE(w.main.collected.count(1), std::size_t(0));

    // With one command the right button runs it without a popup.
    w.bench->ApplySettingsText("RightMagnifier=False\r\nRightDelete=False\r\n");
    w.Click({30, 30}, Qt::RightButton);
    QVERIFY(!popup->isVisible());
    QCOMPARE(w.main.kinds.back(), std::string("Line"));
  }

  void KeyboardSinkMovesThePointerAndClicks() {
    BenchWindow w(false);
    const QPoint start = w.Area()->mapToGlobal(QPoint(30, 30));
    const struct {
      Qt::Key key;
      Qt::KeyboardModifiers mods;
      QPoint step;
    } cases[] = {{Qt::Key_Right, Qt::NoModifier, {1, 0}},
                 {Qt::Key_Left, Qt::ShiftModifier, {-2, 0}},
                 {Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, {0, -100}}};
    for (const auto& c : cases) {
      QCursor::setPos(start);
      QTest::keyClick(w.Area(), c.key, c.mods);
      QCOMPARE(QCursor::pos(), start + c.step);
    }
    QCursor::setPos(w.Area()->mapToGlobal(QPoint(120, 45)));
    QTest::keyClick(w.Area(), Qt::Key_Space);
    const TMeasuredPoint* p = (*w.bench->Data().Measured[0])[0];
    QCOMPARE(p->PosX, 120);
    QCOMPARE(p->PosY, 45);
  }

  void WheelScrollsAndCtrlWheelZoomsAtThePointer() {
    BenchWindow w(false, MakePicture(2000, 1500, [](int, int) { return 0u; }));
    ScaleItem(*w.form, 2)->trigger();
    Wheel(w.Area(), {50, 50}, {0, -240}, Qt::NoModifier);
    QCOMPARE(w.bench->VerticalScroll().Position, 2 * TBenchImageArea::kWheelNotchPixels);
    Wheel(w.Area(), {50, 50}, {0, -120}, Qt::ShiftModifier);
    QCOMPARE(w.bench->HorizontalScroll().Position, TBenchImageArea::kWheelNotchPixels);
    Wheel(w.Area(), {50, 50}, {0, 120}, Qt::NoModifier);
    QCOMPARE(w.bench->VerticalScroll().Position, TBenchImageArea::kWheelNotchPixels);

    // The picture pixel under the pointer stays there, zooming out and in.
    w.form->HorizontalBar()->setValue(9000);
    w.form->VerticalBar()->setValue(6000);
    const QPoint at(210, 130);
    for (const int notches : {-1, -1, 1, 2}) {
      const auto before = *w.bench->ScreenToPosition(at.x(), at.y());
      const int scaleBefore = w.bench->Scale();
      const int index = w.bench->ScaleIndex();
      Wheel(w.Area(), at, {0, 120 * notches}, Qt::ControlModifier);
      QCOMPARE(w.bench->ScaleIndex(), std::clamp(index + notches, 0, 3));
      const auto after = *w.bench->ScreenToPosition(at.x(), at.y());
      QCOMPARE(after.first / w.bench->Scale(), before.first / scaleBefore);
      QCOMPARE(after.second / w.bench->Scale(), before.second / scaleBefore);
    }
  }

  // Every caption of the window (menus, popup, labels, buttons, headers,
  // title): English ones hold no Japanese character.
  void CaptionsInEitherLanguage() {
    const struct {
      bool japanese;
      QStringList some;
    } cases[] = {{true, {"表示(&V)", " タイトル", "Ｘ軸は対数軸", "削除", "２７倍", "マーカー検出 (&Find markers) ..."}},
                 {false, {"&View", " Title", "X is log scale", "Delete", "x27", "&Find markers ...", "Line"}}};
    for (const auto& c : cases) {
      BenchWindow w(c.japanese);
      QCOMPARE(w.form->windowTitle(), QStringLiteral("chart.bmp / ") + QString::fromStdString(Appli().Name));
      w.Click({10, 10}, Qt::RightButton);  // the popup takes its captions
      w.form->Popup()->hide();
      Item(*w.form, ToolMenu, 0)->trigger();  // the standard panel shows
      QStringList texts = ShownTexts(*w.form);
      CollectMenuTexts(w.form->menuBar()->actions(), texts);
      CollectMenuTexts(w.form->Popup()->actions(), texts);
      QTableWidget* grid = w.form->StandardPanel()->Grid();
      for (int i = 0; i < grid->columnCount(); ++i) texts << grid->horizontalHeaderItem(i)->text();
      for (const QString& t : c.some) QVERIFY2(texts.contains(t), qPrintable(t));
      if (!c.japanese)
        for (const QString& t : texts) QVERIFY2(!HasJapanese(t), qPrintable(t));
    }
  }

  void UndoAndRedoFollowTheBench() {
    BenchWindow w(false);
    QVERIFY(QTest::qWaitForWindowActive(w.form.get()));
    QAction* undo = Item(*w.form, EditMenu, 0);
    QAction* redo = Item(*w.form, EditMenu, 1);
    QVERIFY(!undo->isEnabled());
    w.Click({100, 50});
    QVERIFY(undo->isEnabled() && !redo->isEnabled());
    QTest::keyClick(w.Area(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(w.main.collected.empty());
    QVERIFY(!undo->isEnabled() && redo->isEnabled());
    QTest::keyClick(w.Area(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w.main.collected.size(), std::size_t(1));
  }

  void WindowHidesStatusFollowsThePointerAndDropsLoad() {
    BenchWindow w(false, DistinctPicture(200, 100));
    QMouseEvent move(QEvent::MouseMove, QPointF(120, 45), w.Area()->mapToGlobal(QPointF(120, 45)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.Area(), &move);
    const auto& panels = w.form->StatusPanels();
    QCOMPARE(panels[0]->text(), QStringLiteral("120"));
    QCOMPARE(panels[1]->text(), QStringLiteral("45"));
    QCOMPARE(panels[2]->text(), QStringLiteral("121"));  // 1-based pixels without standard points
    QCOMPARE(panels[4]->text().size(), 6);
    QMouseEvent outside(QEvent::MouseMove, QPointF(250, 45), w.Area()->mapToGlobal(QPointF(250, 45)),
                        Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.Area(), &outside);
    QVERIFY(panels[0]->text().isEmpty() && panels[4]->text().isEmpty());

    w.bench->ApplySettingsText("StatusXo=False\r\nStatusColor=False\r\n");
    QCoreApplication::sendPostedEvents();  // the status bar lays its panels out
    const auto widths = w.bench->StatusPanelWidths(w.form->statusBar()->width());
    for (std::size_t i = 0; i < panels.size(); ++i) {
      QCOMPARE(panels[i]->isVisibleTo(w.form.get()), widths[i] > 0);
      if (widths[i] > 0) QCOMPARE(panels[i]->width(), widths[i]);
    }

    // A drop loads its first file.
    w.pictures.pictures["/img/second.bmp"] = DistinctPicture(30, 20);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/img/second.bmp"), QUrl::fromLocalFile(kPicturePath)});
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QApplication::sendEvent(w.form.get(), &drop);
    QCOMPARE(w.bench->FileName(), std::string("/img/second.bmp"));
    QCOMPARE(w.form->windowTitle(), QStringLiteral("second.bmp / ") + QString::fromStdString(Appli().Name));

    // Closing and minimising hide the window; the bench stays.
    w.form->close();
    QVERIFY(!w.form->isVisible());
    w.form->show();
    w.form->showMinimized();
    QTRY_VERIFY(!w.form->isVisible());
    QCOMPARE(w.bench->FileName(), std::string("/img/second.bmp"));
  }

  void LargePictureLoadsWithProgressAndCancelKeepsTheBench() {
    SetJapanese(false);
    // A BMP header that claims 10000 x 6000 pixels.
    const QString path = QDir::temp().filePath(QStringLiteral("tm-large-%1.bmp").arg(QCoreApplication::applicationPid()));
    {
      std::ofstream out(path.toStdString(), std::ios::binary);
      auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
      };
      out << "BM";
      put(54 + 180000000u, 4), put(0, 4), put(54, 4);
      put(40, 4), put(10000, 4), put(6000, 4), put(1, 2), put(24, 2), put(0, 4), put(180000000u, 4);
      put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    }
    std::atomic<bool> release{false};
    TBitmap small = DistinctPicture(30, 20);
    TPictureLoader loader{[](const std::string&) { return true; }, [](const std::string&) { return true; },
                          [&](const std::string&, TBitmap& target) {
                            while (!release) QThread::msleep(2);
                            target = small;
                          }};
    RecordingMessages messages;
    TIniFile store("unused-settings.ini");
    TBench bench(messages, store, loader);
    TBenchForm form(bench);
    form.show();

    for (const bool cancel : {true, false}) {
      release = false;
      bool dialogSeen = false;
      QTimer::singleShot(30, [&] {
        auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
        dialogSeen = dialog != nullptr;
        if (!dialog) return void(release = true);
        if (cancel)
          dialog->findChild<QPushButton*>()->click();
        release = true;
      });
      const bool loaded = bench.LoadImage(path.toStdString());
      QVERIFY(dialogSeen);
      QCOMPARE(loaded, !cancel);
      QCOMPARE(bench.HasPicture(), !cancel);
      QVERIFY(messages.shown.empty());
      QVERIFY(QApplication::activeModalWidget() == nullptr);
    }
    QCOMPARE(bench.Picture().Width(), 30);
    QCOMPARE(PictureSizeOf(path.toStdString()), std::optional<QSize>(QSize(10000, 6000)));
    WaitForCancelledLoads();
    QFile::remove(path);
  }
};

QTEST_MAIN(BenchFormTest)
#include "BenchFormTest.moc"
