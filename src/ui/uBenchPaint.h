#pragma once
// Draws a bench's view with QPainter from the view geometry the bench
// computes: the visible part of the picture, each picture pixel a block of
// s x m view pixels without smoothing, then the standard markers, each
// line's markers and polyline, a trace's preview drawn the same way, and the
// magnifier grid. The work is in
// proportion to the view's size, never to the picture's.

#include <QColor>
#include <QImage>
#include <QSize>

#include "bench/uBenchView.h"
#include "image/uBitmap.h"

class QPainter;

namespace tracemill {

class TBenchPainter {
 public:
  // Paints a view of client size (view pixels) onto the painter. The
  // background fills what the picture does not cover. The picture's part is
  // kept between calls and rebuilt only when the picture, the view or the
  // background changed, or after InvalidatePicture.
  void Paint(QPainter& painter, const TBitmap& picture, const TViewGeometry& geometry, QSize client,
             const QColor& background);
  // The picture's pixels changed (a new picture was loaded).
  void InvalidatePicture() { valid_ = false; }

  // The picture's part of the view as Paint draws it (tests, benchmarks).
  const QImage& Frame() const { return frame_; }

 private:
  struct Key {
    const void* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    TPictureDraw Draw;
    QSize Client;
    QRgb Background = 0;
    bool operator==(const Key& o) const {
      return Bits == o.Bits && Width == o.Width && Height == o.Height && Draw.Visible == o.Draw.Visible &&
             Draw.Source == o.Draw.Source && Draw.Dest == o.Draw.Dest && Draw.PixelSize == o.Draw.PixelSize &&
             Client == o.Client && Background == o.Background;
    }
  };

  void BuildFrame(const TBitmap& picture, const TPictureDraw& draw, QSize client, QRgb background);
  // The frame with markers, lines and grid drawn over it, into compose_.
  void PaintOverlay(const TViewGeometry& geometry);

  QImage frame_;
  QImage compose_;
  Key key_;
  bool valid_ = false;
};

// One marker: its shape's pixels as blocks of CellSize in its colour.
void PaintMarker(QPainter& painter, const TMarkerDraw& marker);
// A one-pixel line from a to b, both ends included, clipped to the image.
void DrawThinLine(QImage& image, QPoint a, QPoint b, QRgb color);

}  // namespace tracemill
