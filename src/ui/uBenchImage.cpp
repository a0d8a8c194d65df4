#include "ui/uBenchImage.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace tracemill {

namespace {

constexpr int kWheelNotch = 120;  // angle delta of one notch
constexpr int kLargestScaleIndex = 3;

TMouseButton ButtonOf(Qt::MouseButton b) {
  if (b == Qt::LeftButton) return TMouseButton::Left;
  if (b == Qt::RightButton) return TMouseButton::Right;
  return TMouseButton::Middle;
}

}  // namespace

TBenchImageArea::TBenchImageArea(TBench& bench, QWidget* parent) : QWidget(parent), bench_(bench) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(1, 1);
}

QPoint TBenchImageArea::ViewPixel(QPointF position) {
  return QPoint(static_cast<int>(std::floor(position.x())), static_cast<int>(std::floor(position.y())));
}

void TBenchImageArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter_.Paint(painter, bench_.Picture(), bench_.ViewGeometry(), size(), palette().color(QPalette::Button));
}

void TBenchImageArea::resizeEvent(QResizeEvent*) { bench_.SetClientSize(width(), height()); }

void TBenchImageArea::Press(QPoint pixel, TMouseButton button, QPoint global) {
  setFocus(Qt::MouseFocusReason);
  if (bench_.MouseDown(pixel.x(), pixel.y(), button) == TRightAction::Popup) emit PopupRequested(global);
  emit Acted();
}

void TBenchImageArea::mousePressEvent(QMouseEvent* event) {
  Press(ViewPixel(event->position()), ButtonOf(event->button()), event->globalPosition().toPoint());
  event->accept();
}

void TBenchImageArea::mouseMoveEvent(QMouseEvent* event) { emit PointerMoved(ViewPixel(event->position())); }

void TBenchImageArea::Scroll(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  const int m = std::max(bench_.Magnification(), 1);
  // At least one position unit per notch, also at high magnifications.
  auto units = [m](int pixels) { return pixels == 0 ? 0 : (pixels / m != 0 ? pixels / m : (pixels > 0 ? 1 : -1)); };
  const std::int64_t x = std::int64_t(bench_.HorizontalScroll().Position) + units(dx);
  const std::int64_t y = std::int64_t(bench_.VerticalScroll().Position) + units(dy);
  bench_.SetScrollPosition(static_cast<std::int32_t>(std::clamp<std::int64_t>(x, 0, INT32_MAX)),
                           static_cast<std::int32_t>(std::clamp<std::int64_t>(y, 0, INT32_MAX)));
}

void TBenchImageArea::Zoom(int steps, QPoint pixel) {
  const int index = std::clamp(bench_.ScaleIndex() + steps, 0, kLargestScaleIndex);
  if (index != bench_.ScaleIndex()) bench_.SetScaleIndexAt(index, pixel.x(), pixel.y());
}

// The wheel scrolls (sideways with Shift); with Ctrl it changes the scale
// one step a notch, keeping the picture point under the pointer in place.
void TBenchImageArea::wheelEvent(QWheelEvent* event) {
  const QPoint angle = event->angleDelta();
  const int along = angle.y() != 0 ? angle.y() : angle.x();
  if (event->modifiers() & Qt::ControlModifier) {
    zoomDelta_ += along;
    const int steps = zoomDelta_ / kWheelNotch;
    zoomDelta_ -= steps * kWheelNotch;
    if (steps != 0) Zoom(steps, ViewPixel(event->position()));
  } else {
    QPoint pixels = event->pixelDelta();
    if (pixels.isNull()) pixels = angle * kWheelNotchPixels / kWheelNotch;
    if (event->modifiers() & Qt::ShiftModifier)
      Scroll(-(pixels.y() != 0 ? pixels.y() : pixels.x()), 0);
    else
      Scroll(-pixels.x(), -pixels.y());
  }
  setFocus(Qt::MouseFocusReason);
  event->accept();
}

// Arrow keys move the pointer by the bench's steps; the space bar clicks
// with the left button where the pointer is.
void TBenchImageArea::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool shift = mods & Qt::ShiftModifier, ctrl = mods & Qt::ControlModifier, alt = mods & Qt::AltModifier;
  TArrowKey key;
  switch (event->key()) {
    case Qt::Key_Left: key = TArrowKey::Left; break;
    case Qt::Key_Right: key = TArrowKey::Right; break;
    case Qt::Key_Up: key = TArrowKey::Up; break;
    case Qt::Key_Down: key = TArrowKey::Down; break;
    case Qt::Key_Space: {
      const QPoint global = QCursor::pos();
      Press(ViewPixel(mapFromGlobal(QPointF(global))), TMouseButton::Left, global);
      event->accept();
      return;
    }
    default: QWidget::keyPressEvent(event); return;
  }
  const auto [dx, dy] = TBench::ArrowStep(key, shift, ctrl, alt);
  QCursor::setPos(QCursor::pos() + QPoint(dx, dy));
  event->accept();
}

}  // namespace tracemill
