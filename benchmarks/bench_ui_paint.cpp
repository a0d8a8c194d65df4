// A repaint of a 1920 x 1080 image area (picture, 3 standard markers, 100
// lines of 10 measured points, magnifier grid) at every scale, with and
// without the magnifier, on a 20000 x 20000 picture and, as the baseline, on
// a 1000 x 1000 one. Each repaint scrolls by one position unit, so the
// picture's part is rebuilt every time. The cost must not follow the
// picture's size.

#include <benchmark/benchmark.h>

#include <random>

#include "bench_ui_support.h"
#include "ui/uBenchImage.h"

namespace {

using namespace tracemill;

constexpr int kViewWidth = 1920, kViewHeight = 1080;

class NoMessages : public TMessageService {
 public:
  TMessageResult ShowMessage(const TMessage& m) override { return DefaultAnswer(m); }
};

void Repaint(benchmark::State& state) {
  benchmarks::OffscreenApp();
  const int size = static_cast<int>(state.range(0));
  const int scaleIndex = static_cast<int>(state.range(1));
  const bool magnified = state.range(2) != 0;

  NoMessages messages;
  TIniFile store("unused-settings.ini");
  TBitmap picture(size, size);
  TPictureLoader loader{[](const std::string&) { return true; }, [](const std::string&) { return true; },
                        [&](const std::string&, TBitmap& target) { target.Swap(picture); }};
  TBench bench(messages, store, loader);
  bench.LoadImage("picture");
  TBenchImageArea area(bench);
  area.resize(kViewWidth, kViewHeight);
  benchmarks::ShowExposed(area);
  bench.SetScaleIndex(scaleIndex);
  bench.SetMagnified(magnified);

  // Points around the middle of the picture, where the view looks.
  const std::int32_t cx = bench.HorizontalScroll().Limit() / 2, cy = bench.VerticalScroll().Limit() / 2;
  std::mt19937 rng(5);
  const int m = bench.Magnification();
  auto inView = [&](int range, int from) { return from + static_cast<int>(rng() % static_cast<unsigned>(range / m)); };
  bench.SetScrollPosition(cx, cy);
  bench.SetStandardMode(true);
  for (int i = 0; i < 3; ++i) bench.MouseDown(inView(kViewWidth, 0), inView(kViewHeight, 0), TMouseButton::Left);
  bench.SetStandardMode(false);
  for (int i = 0; i < 100; ++i) {
    for (int j = 0; j < 9; ++j) {
      bench.MouseDown(inView(kViewWidth, 0), inView(kViewHeight, 0), TMouseButton::Right);
      if (bench.Data().Measured.Count() > 0) bench.LineCommand();
    }
    bench.MouseDown(inView(kViewWidth, 0), inView(kViewHeight, 0), TMouseButton::Left);
  }

  int step = 0;
  for (auto _ : state) {
    bench.SetScrollPosition(cx + (step & 1), cy + (step & 1));
    ++step;
    area.repaint();
  }
  state.counters["lines"] = static_cast<double>(bench.ViewGeometry().Lines.size());
}

}  // namespace

// Picture side (1000 is the baseline), scale index, magnifier.
BENCHMARK(Repaint)->ArgsProduct({{1000, 20000}, {0, 1, 2, 3}, {0, 1}})->Unit(benchmark::kMillisecond);
