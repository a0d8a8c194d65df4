// On a screen with two device pixels per view pixel, a click lands on the
// picture pixel that is painted under the cursor, also on the second device
// pixel of a view pixel.
#include <QMouseEvent>
#include <QtTest>

#include "BenchFormSupport.h"

using namespace tracemill;
using namespace tracemill::testing;

class BenchHiDpiTest : public QObject {
  Q_OBJECT
 private slots:
  void ClickLandsOnThePaintedPixel() {
    BenchWindow w(false, DistinctPicture(200, 100));
    QCOMPARE(w.Area()->devicePixelRatioF(), 2.0);
    for (const bool magnified : {false, true}) {
      if (magnified) w.bench->SetMagnified(true);
      const QImage shown = w.Area()->grab().toImage();
      QCOMPARE(shown.width(), 2 * w.Area()->width());
      // Off the magnifier grid, on both device pixels of a view pixel and at a block's last one.
      for (const QPoint device : {QPoint(43, 23), QPoint(42, 22), QPoint(49, 29), QPoint(103, 69), QPoint(9, 99)}) {
        const QPointF at(device.x() / 2.0, device.y() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, w.Area()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(w.Area(), &press);
        const TMeasuredPoints& line = *w.bench->Data().Measured[w.bench->Data().Measured.Count() - 1];
        const TMeasuredPoint& p = *line[0];
        const std::uint32_t clicked = w.bench->Picture().Pixel(p.PosX / w.bench->Scale(), p.PosY / w.bench->Scale());
        QCOMPARE(QColor(clicked), shown.pixelColor(device));
      }
    }
  }
};

int main(int argc, char** argv) {
  qputenv("QT_SCALE_FACTOR", "2");
  QApplication app(argc, argv);
  BenchHiDpiTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "BenchHiDpiTest.moc"
