// What the bench's view paints, pixel by pixel: the picture in blocks of
// s x m without smoothing and in agreement with where clicks land, the
// background beside it, the magnifier grid, markers and lines.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "BenchFormSupport.h"
#include "ui/uBenchPaint.h"
#include "ui/uOptionDialog.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

const QColor kBackground(0xF0, 0xF0, 0xF0);

QImage Render(const TBitmap& picture, const TViewGeometry& g, QSize client) {
  QImage target(client, QImage::Format_RGB32);
  target.fill(Qt::magenta);
  QPainter painter(&target);
  TBenchPainter p;
  p.Paint(painter, picture, g, client, kBackground);
  return target;
}

}  // namespace

class BenchPaintTest : public QObject {
  Q_OBJECT
 private slots:
  void PictureBlocksMatchTheClickedPositions() {
    const TBitmap picture = DistinctPicture(40, 30);
    const struct {
      int scale, magnification, scrollX, scrollY, width, height;
    } cases[] = {{1, 1, 7, 3, 25, 20}, {3, 5, 4, 7, 90, 64}, {27, 10, 500, 300, 300, 200}};
    TBenchSettings settings;
    const TDataSet empty;
    for (const auto& c : cases) {
      const TViewParams view{40, 30, c.scale, c.magnification, c.scrollX, c.scrollY, c.width, c.height};
      const TViewGeometry g = ComputeViewGeometry(view, settings, empty, false);
      const QImage image = Render(picture, g, QSize(c.width, c.height));
      const QRgb grid = ToQColor(settings.GridColor).rgb();
      const TRect& d = g.Picture.Dest;
      int gridPixels = 0;
      for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
          const auto pos = ScreenToPosition(view, x, y);
          const bool onGrid = c.magnification > 1 && x <= d.Right && y <= d.Bottom &&
                              ((x - d.Left) % c.magnification == 0 || (y - d.Top) % c.magnification == 0);
          QRgb expected = kBackground.rgb();
          if (onGrid)
            expected = grid;
          else if (pos)
            expected = picture.Pixel(pos->first / c.scale, pos->second / c.scale) | 0xFF000000u;
          gridPixels += onGrid;
          QVERIFY2(image.pixel(x, y) == expected,
                   qPrintable(QStringLiteral("scale %1 x%2 at (%3, %4)").arg(c.scale).arg(c.magnification).arg(x).arg(y)));
        }
      }
      QCOMPARE(gridPixels > 0, c.magnification > 1);
    }
  }

  void MarkersAndLinesInTheirColours() {
    const TBitmap picture = MakePicture(50, 40, [](int, int) { return 0xFFFFFFu; });
    TBenchSettings settings;
    settings.Standard.Color = 0x0000FF;
    settings.Measured.Color = 0x00AA00;
    settings.Measured.SetPattern(5);  // filled 3 x 3 square
    settings.LineColor = 0xFF0000;
    settings.LineWidth = 1;
    TDataSet data;
    data.Standards.Add(std::make_unique<TStandardPoint>(10, 10, 50, 40));
    auto line = std::make_unique<TMeasuredPoints>();
    line->Add(std::make_unique<TMeasuredPoint>(20, 30, 50, 40));
    line->Add(std::make_unique<TMeasuredPoint>(40, 30, 50, 40));
    data.Measured.Add(std::move(line));
    const int m = 3;
    const TViewParams view{50, 40, 1, m, 0, 0, 150, 120};
    const QImage image = Render(picture, ComputeViewGeometry(view, settings, data, false), QSize(150, 120));
    const QRgb white = 0xFFFFFFFFu, grid = ToQColor(settings.GridColor).rgb();
    // The standard marker: the diagonal cross, each pixel a 3 x 3 block inside the grid.
    for (int j = 0; j < 5; ++j)
      for (int i = 0; i < 5; ++i) {
        const QRgb inside = image.pixel((8 + i) * m + 1, (8 + j) * m + 1);
        QCOMPARE(inside, settings.Standard.Shape.Pixel(i, j) ? ToQColor(0x0000FF).rgb() : white);
      }
    // The measured marker's square, then the line between the two points in its colour.
    QCOMPARE(image.pixel(19 * m + 1, 29 * m + 1), ToQColor(0x00AA00).rgb());
    QCOMPARE(image.pixel(30 * m + 1, 30 * m + 1), ToQColor(0xFF0000).rgb());
    QCOMPARE(image.pixel(30 * m + 1, 28 * m + 1), white);
    QCOMPARE(image.pixel(30 * m, 28 * m + 1), grid);
  }

  void ThinLinesIncludeBothEndsAndStayInside() {
    const struct {
      QPoint from, to;
      QList<QPoint> drawn;
      int count;  // pixels drawn inside the image
    } cases[] = {{{-5, -5}, {15, 15}, {{0, 0}, {4, 4}, {9, 9}}, 10},
                 {{3, 7}, {3, 7}, {{3, 7}}, 1},
                 {{9, 2}, {0, 2}, {{0, 2}, {5, 2}, {9, 2}}, 10},
                 {{-20, 3}, {-1, 30}, {}, 0}};
    for (const auto& c : cases) {
      QImage image(10, 10, QImage::Format_RGB32);
      image.fill(Qt::white);
      DrawThinLine(image, c.from, c.to, qRgb(255, 0, 0));
      int count = 0;
      for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) count += image.pixel(x, y) == qRgb(255, 0, 0);
      for (QPoint p : c.drawn) QCOMPARE(image.pixel(p), qRgb(255, 0, 0));
      QCOMPARE(count, c.count);
    }
  }
};

QTEST_MAIN(BenchPaintTest)
#include "BenchPaintTest.moc"
