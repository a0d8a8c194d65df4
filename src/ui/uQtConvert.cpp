#include "ui/uQtConvert.h"

#include <QWidget>

namespace tracemill {

TWindowPlacement PlacementOf(const QWidget& window) {
  TWindowPlacement p;
  const QRect current = window.geometry();
  const QRect normal = window.isMaximized() || window.isMinimized() ? window.normalGeometry() : current;
  p.Left = current.left();
  p.Top = current.top();
  p.Width = current.width();
  p.Height = current.height();
  p.Sizeable = true;
  p.HasRestoredRect = true;
  p.RestoredLeft = normal.left();
  p.RestoredTop = normal.top();
  p.RestoredWidth = normal.width();
  p.RestoredHeight = normal.height();
  if (window.isMaximized())
    p.State = TWindowState::Maximized;
  else if (window.isMinimized())
    p.State = TWindowState::Minimized;
  else
    p.State = TWindowState::Normal;
  return p;
}

void ApplyPlacement(QWidget& window, const TWindowPlacement& placement) {
  const TWindowPlacement& p = placement;
  const int width = p.HasRestoredRect ? p.RestoredWidth : p.Width;
  const int height = p.HasRestoredRect ? p.RestoredHeight : p.Height;
  const int left = p.HasRestoredRect ? p.RestoredLeft : p.Left;
  const int top = p.HasRestoredRect ? p.RestoredTop : p.Top;
  Qt::WindowStates states = window.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
  window.setWindowState(states);
  if (width > 0 && height > 0) window.setGeometry(left, top, width, height);
  if (p.State == TWindowState::Maximized) window.setWindowState(states | Qt::WindowMaximized);
}

}  // namespace tracemill
