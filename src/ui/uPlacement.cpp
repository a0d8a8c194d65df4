#include "ui/uPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tracemill {

namespace {

// The screens' usable area, in the coordinates of window geometries.
QRect ScreenArea(const QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableVirtualGeometry() : QRect(0, 0, 1024, 768);
}

int Bounded(int value, int low, int high) { return std::clamp(value, low, std::max(low, high)); }

}  // namespace

void RestoreWindowPlacement(QWidget& window, const TIniFile& store, std::string_view section) {
  const QRect area = ScreenArea(window);
  const QRect current = window.geometry();
  TWindowPlacement p;
  p.Left = current.x();
  p.Top = current.y();
  p.Width = current.width();
  p.Height = current.height();
  p.Sizeable = window.minimumSize() != window.maximumSize();
  store.ReadPlacement(p, section, area.x() + area.width(), area.y() + area.height());

  const QSize least = window.minimumSizeHint().expandedTo(window.minimumSize());
  const int width = Bounded(p.Width, least.width(), area.width());
  const int height = Bounded(p.Height, least.height(), area.height());
  const int left = Bounded(p.Left, area.x(), area.x() + area.width() - width);
  const int top = Bounded(p.Top, area.y(), area.y() + area.height() - height);
  window.setGeometry(left, top, width, height);
  if (p.State == TWindowState::Maximized)
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
  else if (p.State == TWindowState::Minimized && !window.isModal())
    window.setWindowState(window.windowState() | Qt::WindowMinimized);
}

void StoreWindowPlacement(const QWidget& window, TIniFile& store, std::string_view section) {
  const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
  TWindowPlacement p;
  p.Left = window.x();
  p.Top = window.y();
  p.Width = window.width();
  p.Height = window.height();
  p.Sizeable = window.minimumSize() != window.maximumSize();
  p.HasRestoredRect = true;
  p.RestoredLeft = normal.x();
  p.RestoredTop = normal.y();
  p.RestoredWidth = normal.width();
  p.RestoredHeight = normal.height();
  if (window.isMaximized())
    p.State = TWindowState::Maximized;
  else if (window.isMinimized())
    p.State = TWindowState::Minimized;
  store.WritePlacement(p, section);
}

}  // namespace tracemill
