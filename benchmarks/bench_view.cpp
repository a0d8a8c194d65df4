// The view geometry of a 1920 x 1080 view holding 10,000 measured points in
// 1,000 lines and 3 standard points, at scale 1 and with the magnifier, on a
// small picture (the baseline), a large and a huge one: the cost must not
// grow with the picture.

#include <benchmark/benchmark.h>

#include <random>

#include "bench/uBenchView.h"

namespace {

using namespace tracemill;

constexpr int kViewWidth = 1920, kViewHeight = 1080;

// Points spread over the visible part of a picture of w x h pixels scrolled
// to (sx, sy) at scale 1, lines of 10 points each.
TDataSet Points(int w, int h, int sx, int sy) {
  TDataSet data;
  std::mt19937 rng(3);
  auto at = [&](int range) { return static_cast<int>(rng() % static_cast<unsigned>(range)); };
  for (int i = 0; i < 3; ++i)
    data.Standards.Add(std::make_unique<TStandardPoint>(sx + at(kViewWidth), sy + at(kViewHeight), w, h));
  for (int i = 0; i < 1000; ++i) {
    auto line = std::make_unique<TMeasuredPoints>();
    for (int j = 0; j < 10; ++j)
      line->Add(std::make_unique<TMeasuredPoint>(sx + at(kViewWidth), sy + at(kViewHeight), w, h));
    data.Measured.Add(std::move(line));
  }
  return data;
}

void Geometry(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const int magnification = static_cast<int>(state.range(1));
  const int sx = size / 2 - kViewWidth / 2, sy = size / 2 - kViewHeight / 2;
  const TDataSet data = Points(size, size, sx, sy);
  const TViewParams view{size, size, 1, magnification, sx, sy, kViewWidth, kViewHeight};
  TBenchSettings settings;
  std::size_t drawn = 0;
  for (auto _ : state) {
    const TViewGeometry g = ComputeViewGeometry(view, settings, data, false);
    drawn = g.Lines.size();
    benchmark::DoNotOptimize(g);
  }
  state.counters["lines"] = static_cast<double>(drawn);
}

}  // namespace

// Picture side in pixels (1,000 is the baseline; 100,000 is 10 gigapixels), magnification.
BENCHMARK(Geometry)->ArgsProduct({{1000, 20000, 100000}, {1, 5}})->Unit(benchmark::kMicrosecond);
