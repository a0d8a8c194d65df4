#pragma once
// The Qt application of the window benchmarks, on the offscreen platform
// unless another is asked for.

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>

namespace tracemill::benchmarks {

inline QApplication& OffscreenApp() {
  static int argc = 1;
  static char name[] = "bench_ui";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

// Shows the window and lets the platform expose it, so that repaint() paints.
inline void ShowExposed(QWidget& window) {
  window.show();
  QElapsedTimer clock;
  clock.start();
  while (!(window.windowHandle() && window.windowHandle()->isExposed()) && clock.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  QApplication::processEvents();
}

}  // namespace tracemill::benchmarks
