// Opening a 50-megapixel JPEG in a bench window until the bench is painted
// (through the window's loader, which decodes in a worker thread under its
// progress dialog), against decoding the file alone (the baseline).

#include <benchmark/benchmark.h>

#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include "bench_ui_support.h"
#include "image/uJpeg.h"
#include "ui/uBench.h"
#include "ui/uBenchImage.h"

namespace {

using namespace tracemill;

constexpr int kWidth = 8200, kHeight = 6150;  // 50.4 megapixels

class NoMessages : public TMessageService {
 public:
  TMessageResult ShowMessage(const TMessage& m) override { return DefaultAnswer(m); }
};

// A chart-like picture: white, a grid and curves, written once per run.
const std::string& ChartFile() {
  static const std::string path = [] {
    benchmarks::OffscreenApp();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::lightGray, 3));
    for (int x = 0; x < kWidth; x += 200) painter.drawLine(x, 0, x, kHeight);
    for (int y = 0; y < kHeight; y += 200) painter.drawLine(0, y, kWidth, y);
    painter.setPen(QPen(Qt::blue, 9));
    for (int k = 1; k < 6; ++k)
      for (int x = 0; x + 20 < kWidth; x += 20)
        painter.drawLine(x, kHeight * k / 6 + (x * k) % 700, x + 20, kHeight * k / 6 + ((x + 20) * k) % 700);
    painter.end();
    const QString file = QDir::temp().filePath(QStringLiteral("tm-bench-50mp.jpg"));
    QImageWriter writer(file, "jpeg");
    writer.setQuality(90);
    writer.write(image);
    return file.toStdString();
  }();
  return path;
}

void DecodeAlone(benchmark::State& state) {
  const std::string& path = ChartFile();
  for (auto _ : state) {
    TBitmap bitmap;
    LoadJpegFile(path, bitmap, DefaultImageLimits());
    benchmark::DoNotOptimize(bitmap.Bits());
  }
}

void OpenUntilPainted(benchmark::State& state) {
  const std::string& path = ChartFile();
  NoMessages messages;
  TIniFile store("unused-settings.ini");
  TBench bench(messages, store, DefaultPictureLoader(DefaultImageLimits()));
  TBenchForm form(bench);
  form.resize(1280, 900);
  benchmarks::ShowExposed(form);
  for (auto _ : state) {
    if (!bench.LoadImage(path)) state.SkipWithError("the picture did not load");
    form.ImageArea()->repaint();
  }
  state.counters["megapixels"] = double(bench.Picture().Width()) * bench.Picture().Height() / 1e6;
}

}  // namespace

// Wall-clock time: the window decodes in a worker thread.
BENCHMARK(DecodeAlone)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
BENCHMARK(OpenUntilPainted)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();
