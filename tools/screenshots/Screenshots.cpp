// Pictures of the windows for the user manual: draws an example chart, opens
// it on a work bench with standard points and measured lines, and saves what
// the main window, the bench and both options dialogs show, in Japanese and
// in English, as PNG files (main-ja.png, bench-standard-en.png, ...).
//
//   tm_screenshots OUTPUT_FOLDER
//
// Run it on the offscreen platform (QT_QPA_PLATFORM=offscreen) with a fresh
// settings folder, so that no one's own settings show; scripts/screenshots
// does both.

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

#include "app/uWorkspace.h"
#include "bench/uBench.h"
#include "settings/uEnvironment.h"
#include "settings/uIniFile.h"
#include "ui/uBase.h"
#include "ui/uBaseOption.h"
#include "ui/uBench.h"
#include "ui/uOption.h"
#include "ui/uQtServices.h"

using namespace tracemill;

namespace {

// The chart: y = 100 e^(-x/3) for x from 0 to 10, on axes 0..10 and 0..100.
constexpr int kChartWidth = 480, kChartHeight = 360;
constexpr int kLeft = 60, kTop = 30, kRight = 450, kBottom = 310;

QPointF ChartPoint(double x, double y) {
  return {kLeft + (kRight - kLeft) * x / 10.0, kBottom - (kBottom - kTop) * y / 100.0};
}

QImage DrawChart() {
  QImage image(kChartWidth, kChartHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0xd8, 0xd8, 0xd8), 1));
  for (int i = 1; i <= 10; ++i) p.drawLine(ChartPoint(i, 0), ChartPoint(i, 100));
  for (int j = 10; j <= 100; j += 10) p.drawLine(ChartPoint(0, j), ChartPoint(10, j));
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(ChartPoint(0, 0), ChartPoint(10, 0));
  p.drawLine(ChartPoint(0, 0), ChartPoint(0, 100));
  QFont font(QStringLiteral("DejaVu Sans"), 9);
  p.setFont(font);
  for (int i = 0; i <= 10; i += 2) {
    const QPointF at = ChartPoint(i, 0);
    p.drawText(QRectF(at.x() - 20, at.y() + 4, 40, 16), Qt::AlignCenter, QString::number(i));
  }
  for (int j = 0; j <= 100; j += 20) {
    const QPointF at = ChartPoint(0, j);
    p.drawText(QRectF(at.x() - 44, at.y() - 8, 38, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(j));
  }
  p.drawText(QRectF(kLeft, kBottom + 22, kRight - kLeft, 20), Qt::AlignCenter, QStringLiteral("time (s)"));
  QPainterPath curve(ChartPoint(0, 100));
  for (int k = 1; k <= 200; ++k) {
    const double x = k * 10.0 / 200;
    curve.lineTo(ChartPoint(x, 100 * std::exp(-x / 3)));
  }
  p.setPen(QPen(QColor(0x30, 0x30, 0x30), 2));
  p.drawPath(curve);
  return image;
}

// The measured lines: five points on the curve, and one point of its tail.
const double kLineX[] = {1, 2, 3, 4.5, 6};
const double kTailX = 8;
double Curve(double x) { return 100 * std::exp(-x / 3); }
std::string Pair(double x, double y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; }

// The bench's state: three standard points on the axes and the two measured lines.
std::string BenchState(const std::string& chartPath) {
  auto pos = [](double x, double y) {
    const QPointF at = ChartPoint(x, y);
    return std::to_string(int(at.x())) + "," + std::to_string(int(at.y()));
  };
  const std::string extent = "/(" + std::to_string(kChartWidth) + "," + std::to_string(kChartHeight) + ")";
  auto point = [&](double x, double y) {
    return "(" + pos(x, y) + ")" + extent + "=(" + std::to_string(x) + "," + std::to_string(y) + ")";
  };
  std::string text = "Filename=" + chartPath + "\r\nTitle=Fig. 1\r\nScaleIndex=0\r\n";
  text += "Standard[0]=(" + pos(0, 0) + ")" + extent + "=(0,0)\r\n";
  text += "Standard[1]=(" + pos(10, 0) + ")" + extent + "=(10,0)\r\n";
  text += "Standard[2]=(" + pos(0, 100) + ")" + extent + "=(0,100)\r\n";
  text += "Measured[0]=0,";
  for (std::size_t i = 0; i < std::size(kLineX); ++i) {
    if (i > 0) text += "-";
    text += point(kLineX[i], Curve(kLineX[i]));
  }
  text += ",\"\",\"Fig. 1\"\r\nMeasured[1]=1," + point(kTailX, Curve(kTailX)) + ",\"tail\",\"Fig. 1\"\r\n";
  return text;
}

// A state file of that bench with its two lines collected.
std::string WorkState(const std::string& chartPath) {
  std::string text = "Tracemill Setting File\r\n\r\n[Window0]\r\n" + BenchState(chartPath);
  text += "\r\n[Data]\r\nSortItem=SERIAL\r\nSortReverse=False\r\nLastPointsID=1\r\nData[0]=0,0,";
  for (std::size_t i = 0; i < std::size(kLineX); ++i) {
    if (i > 0) text += "-";
    text += Pair(kLineX[i], Curve(kLineX[i]));
  }
  text += ",\"\",\"Fig. 1\"\r\nData[1]=1,0," + Pair(kTailX, Curve(kTailX)) + ",\"tail\",\"Fig. 1\"\r\n";
  return text;
}

bool Save(QWidget& window, const QString& folder, const QString& name) {
  window.show();
  QApplication::processEvents();
  const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
  // Quality 0: the strongest compression, so that the pictures stay small in the repository.
  const QImage shot = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
  if (!shot.save(file, "PNG", 0)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
  }
  std::printf("%s\n", qPrintable(file));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tm_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  QTemporaryDir scratch;
  const std::string chartPath = QDir(scratch.path()).filePath(QStringLiteral("chart.bmp")).toStdString();
  if (!DrawChart().save(QString::fromStdString(chartPath), "BMP")) return 1;

  bool ok = true;
  for (const bool japanese : {true, false}) {
    SetJapanese(japanese);
    const QString lang = japanese ? QStringLiteral("ja") : QStringLiteral("en");
    TQtMessageService messages;
    TQtShellService shell;
    TIniFile store(QDir(scratch.path()).filePath(QStringLiteral("screenshots.ini")).toStdString());

    {
      TWorkspace workspace(messages, store);
      TBaseForm main(workspace, store, messages, &shell);
      main.resize(600, 300);
      std::istringstream state(WorkState(chartPath));
      workspace.LoadState(state, "screenshots.trm");
      ok &= Save(main, folder, QStringLiteral("main-") + lang);
    }

    TBench bench(messages, store);
    TBenchForm form(bench);
    form.resize(600, 600);
    form.show();
    bench.ApplyStateText(BenchState(chartPath));
    ok &= Save(form, folder, QStringLiteral("bench-") + lang);
    bench.SetStandardMode(true);
    ok &= Save(form, folder, QStringLiteral("bench-standard-") + lang);
    bench.SetStandardMode(false);

    TOptionForm option(nullptr, store, messages, shell);
    option.LoadText(bench.SettingsText());
    option.Pages().setCurrentIndex(TOptionForm::StandardPage);
    ok &= Save(option, folder, QStringLiteral("option-") + lang);

    TBaseOptionForm baseOption(nullptr, store, messages, shell);
    baseOption.Pages().setCurrentIndex(TBaseOptionForm::ProgramPage);
    ok &= Save(baseOption, folder, QStringLiteral("base-option-") + lang);
  }
  return ok ? 0 : 1;
}
