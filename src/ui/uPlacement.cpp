#include "ui/uPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "ui/uQtConvert.h"

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
  // The client geometry, as RestoreWindowPlacement sets it again (the frame's
  // position would move the window by its frame at every run).
  TWindowPlacement p = PlacementOf(window);
  p.Sizeable = window.minimumSize() != window.maximumSize();
  store.WritePlacement(p, section);
}

}  // namespace tracemill
