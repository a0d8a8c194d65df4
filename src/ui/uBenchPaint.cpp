#include "ui/uBenchPaint.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cstring>

#include "ui/uOptionDialog.h"

namespace tracemill {

namespace {

// Fills out[0 .. count) with the picture row's pixels from column first on,
// each repeated n times; the row starts offset view pixels into the first
// pixel's block.
void ScaleRow(const QRgb* source, int first, int offset, int n, QRgb* out, int count) {
  if (n == 1) {
    std::memcpy(out, source + first, sizeof(QRgb) * static_cast<std::size_t>(count));
    return;
  }
  int x = 0;
  int column = first;
  int run = n - offset;
  while (x < count) {
    const QRgb value = source[column++];
    const int end = std::min(x + run, count);
    std::fill(out + x, out + end, value);
    x = end;
    run = n;
  }
}

}  // namespace

// The picture's part: view pixel (x, y) shows picture pixel
// (Source.Left + (x - Dest.Left) div n, Source.Top + (y - Dest.Top) div n).
// It reaches to the view's edge wherever the picture has pixels there, also
// past Dest's last block.
void TBenchPainter::BuildFrame(const TBitmap& picture, const TPictureDraw& draw, QSize client, QRgb background) {
  if (frame_.size() != client) frame_ = QImage(client, QImage::Format_RGB32);
  const int w = client.width(), h = client.height();
  int x1 = 0, y1 = 0;  // the end of the picture's part (exclusive)
  if (draw.Visible && !picture.Empty()) {
    // The picture's own pixels, wrapped without copying.
    const QImage source(reinterpret_cast<const uchar*>(picture.Bits()), picture.Width(), picture.Height(),
                        static_cast<qsizetype>(picture.BytesPerLine()), QImage::Format_RGB32);
    const std::int64_t n = std::max(draw.PixelSize, 1);
    const std::int64_t left = draw.Dest.Left, top = draw.Dest.Top;
    x1 = static_cast<int>(std::clamp<std::int64_t>(left + (picture.Width() - draw.Source.Left) * n, 0, w));
    y1 = static_cast<int>(std::clamp<std::int64_t>(top + (picture.Height() - draw.Source.Top) * n, 0, h));
    const int x0 = static_cast<int>(std::clamp<std::int64_t>(left, 0, w));
    const int y0 = static_cast<int>(std::clamp<std::int64_t>(top, 0, h));
    const int firstColumn = static_cast<int>(draw.Source.Left + (x0 - left) / n);
    const int offset = static_cast<int>((x0 - left) % n);
    int lastRow = -1;
    QRgb* previous = nullptr;
    for (int y = y0; y < y1; ++y) {
      const int row = static_cast<int>(draw.Source.Top + (y - top) / n);
      QRgb* out = reinterpret_cast<QRgb*>(frame_.scanLine(y));
      if (row == lastRow && previous) {
        std::memcpy(out + x0, previous + x0, sizeof(QRgb) * static_cast<std::size_t>(x1 - x0));
      } else {
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        ScaleRow(in, firstColumn, offset, static_cast<int>(n), out + x0, x1 - x0);
      }
      std::fill(out, out + x0, background);
      std::fill(out + x1, out + w, background);
      lastRow = row;
      previous = out;
    }
    for (int y = 0; y < y0; ++y) {
      QRgb* out = reinterpret_cast<QRgb*>(frame_.scanLine(y));
      std::fill(out, out + w, background);
    }
  }
  for (int y = y1; y < h; ++y) {
    QRgb* out = reinterpret_cast<QRgb*>(frame_.scanLine(y));
    std::fill(out, out + w, background);
  }
}

void PaintMarker(QPainter& painter, const TMarkerDraw& marker) {
  const QColor color = ToQColor(marker.Color);
  const int c = marker.CellSize;
  for (int j = 0; j < TMarkerShape::kSize; ++j) {
    int i = 0;
    while (i < TMarkerShape::kSize) {
      if (!marker.Shape.Pixel(i, j)) {
        ++i;
        continue;
      }
      const int start = i;
      while (i < TMarkerShape::kSize && marker.Shape.Pixel(i, j)) ++i;
      painter.fillRect(marker.Left + start * c, marker.Top + j * c, (i - start) * c, c, color);
    }
  }
}

// A one-pixel line from a to b, both ends included, the pixels outside the
// image left out. Drawn here rather than with a pen: thin pens are slow in
// the raster engine when lines cross the whole view.
void DrawThinLine(QImage& image, QPoint a, QPoint b, QRgb color) {
  const int w = image.width(), h = image.height();
  const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
  QRgb* bits = reinterpret_cast<QRgb*>(image.bits());
  int x = a.x(), y = a.y();
  const int dx = std::abs(b.x() - x), dy = -std::abs(b.y() - y);
  const int sx = x < b.x() ? 1 : -1, sy = y < b.y() ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    if (x >= 0 && y >= 0 && x < w && y < h) bits[y * stride + x] = color;
    if (x == b.x() && y == b.y()) return;
    const int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void TBenchPainter::PaintOverlay(const TViewGeometry& g) {
  if (compose_.size() != frame_.size()) compose_ = QImage(frame_.size(), QImage::Format_RGB32);
  std::memcpy(compose_.bits(), frame_.constBits(), static_cast<std::size_t>(frame_.sizeInBytes()));
  QPainter painter(&compose_);
  for (const TMarkerDraw& m : g.StandardMarkers) PaintMarker(painter, m);
  const QColor lineColor = ToQColor(g.LineColor);
  QPen pen(lineColor, std::max(g.LineWidth, 1), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  for (const std::vector<TLineDraw>* lines : {&g.Lines, &g.Preview}) {
    for (const TLineDraw& line : *lines) {
      for (const TMarkerDraw& m : line.Markers) PaintMarker(painter, m);
      if (g.LineWidth <= 0) continue;
      for (const std::vector<TPointF>& part : line.Polylines) {
        if (g.LineWidth == 1) {
          for (std::size_t i = 1; i < part.size(); ++i)
            DrawThinLine(compose_, QPointF(part[i - 1].X, part[i - 1].Y).toPoint(),
                         QPointF(part[i].X, part[i].Y).toPoint(), lineColor.rgb());
          continue;
        }
        QPolygonF polygon;
        polygon.reserve(static_cast<qsizetype>(part.size()));
        for (const TPointF& p : part) polygon << QPointF(p.X, p.Y);
        painter.drawPolyline(polygon);
      }
    }
  }
  const QColor grid = ToQColor(g.GridColor);
  for (const TGridLine& l : g.Grid) painter.fillRect(QRect(QPoint(l.X1, l.Y1), QPoint(l.X2, l.Y2)), grid);
}

void TBenchPainter::Paint(QPainter& painter, const TBitmap& picture, const TViewGeometry& g, QSize client,
                          const QColor& background) {
  if (client.isEmpty()) return;
  const Key key{picture.Bits(), picture.Width(), picture.Height(), g.Picture, client, background.rgb()};
  if (!valid_ || !(key == key_)) {
    BuildFrame(picture, g.Picture, client, background.rgb());
    key_ = key;
    valid_ = true;
  }
  if (g.StandardMarkers.empty() && g.Lines.empty() && g.Preview.empty() && g.Grid.empty()) {
    painter.drawImage(QPoint(0, 0), frame_);
    return;
  }
  PaintOverlay(g);
  painter.drawImage(QPoint(0, 0), compose_);
}

}  // namespace tracemill
