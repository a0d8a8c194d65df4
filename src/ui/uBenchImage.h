#pragma once
// The bench's image area: paints the view, turns mouse buttons, the wheel
// and the keyboard into calls on the bench, and is the keyboard sink that
// takes the focus after every click and scroll. Positions are view pixels
// (logical pixels): on a screen with more device pixels per view pixel, a
// click lands on the view pixel that holds the device pixel under the
// cursor.

#include <QPoint>
#include <QPointF>
#include <QWidget>

#include "bench/uBench.h"
#include "ui/uBenchPaint.h"

namespace tracemill {

class TBenchImageArea : public QWidget {
  Q_OBJECT

 public:
  explicit TBenchImageArea(TBench& bench, QWidget* parent = nullptr);

  // The view pixel that holds a point of the widget.
  static QPoint ViewPixel(QPointF position);

  // A mouse-down at view pixel (x, y) with a button, as a click does; global
  // is where a popup opens.
  void Press(QPoint pixel, TMouseButton button, QPoint global);

  void InvalidatePicture() { painter_.InvalidatePicture(); }
  const TBenchPainter& Painter() const { return painter_; }

  // View pixels one wheel notch scrolls.
  static constexpr int kWheelNotchPixels = 60;

 signals:
  // The pointer moved to view pixel (x, y).
  void PointerMoved(QPoint pixel);
  // The bench asks for its popup menu at the global position.
  void PopupRequested(QPoint global);
  // A click or key changed the bench (menu states may follow).
  void Acted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Scroll(int dx, int dy);  // view pixels
  void Zoom(int steps, QPoint pixel);

  TBench& bench_;
  TBenchPainter painter_;
  int zoomDelta_ = 0;  // wheel angle not yet turned into a scale step
};

}  // namespace tracemill
