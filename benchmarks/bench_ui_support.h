#pragma once
// The Qt application of the window benchmarks, on the offscreen platform
// unless another is asked for.

#include <QApplication>
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

}  // namespace tracemill::benchmarks
