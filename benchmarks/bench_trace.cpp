// Automatic tracing on large pictures.
//
// Trace curve: an anti-aliased sine 2 pixels wide across a 10,000 x 1,000
// picture with grid lines (goal: at most 50 ms).
// Find markers: 20,000 anti-aliased discs on a 10,000 x 5,000 picture
// (50 megapixels) with grid lines (goal: at most 1 s).
// Baseline for both: a plain queue-based 4-connected flood fill of the paper
// from one pixel over the same picture, counting the pixels it reaches (the
// grid lines are dotted, so it reaches nearly the whole picture).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <queue>
#include <random>
#include <vector>

#include "bench/uTrace.h"

namespace {

using namespace tracemill;

constexpr std::uint32_t kPaper = 0xFFFFFFFF;
constexpr int kInk[3] = {20, 60, 200};

std::uint32_t Mix(std::uint32_t paper, double share) {
  std::uint32_t argb = 0xFF000000u;
  for (int i = 0; i < 3; ++i) {
    const double channel = ((paper >> (16 - 8 * i)) & 0xFF) * (1 - share) + kInk[i] * share;
    argb |= std::uint32_t(std::lround(channel)) << (16 - 8 * i);
  }
  return argb;
}

// White paper with dotted grey grid lines every 100 pixels (the paper stays
// one region for the flood fill).
TBitmap Paper(int width, int height) {
  TBitmap picture(width, height);
  picture.Fill(kPaper);
  for (int y = 0; y < height; y += 100)
    for (int x = 0; x < width; x += 2) picture.SetPixel(x, y, 0xFFC8C8C8);
  for (int x = 0; x < width; x += 100)
    for (int y = 0; y < height; y += 2) picture.SetPixel(x, y, 0xFFC8C8C8);
  return picture;
}

double Sine(double x) { return 500 + 400 * std::sin(x / 700); }

// Coverage of each pixel by a 2-pixel stroke along the sine, from its
// distance to the curve across the stroke.
const TBitmap& CurvePicture() {
  static const TBitmap picture = [] {
    TBitmap b = Paper(10000, 1000);
    for (int x = 0; x < b.Width(); ++x) {
      const double c = Sine(x + 0.5), slope = (Sine(x + 1) - Sine(x)), across = std::sqrt(1 + slope * slope);
      for (int y = int(c) - 4; y <= int(c) + 4; ++y) {
        const double share = std::clamp(1.5 - std::fabs(y + 0.5 - c) / across, 0.0, 1.0);
        if (share > 0) b.SetPixel(x, y, Mix(b.Pixel(x, y), share));
      }
    }
    return b;
  }();
  return picture;
}

const TBitmap& MarkerPicture() {
  static const TBitmap picture = [] {
    TBitmap b = Paper(10000, 5000);
    std::mt19937 random(50);
    for (int i = 0; i < 20000; ++i) {
      const double cx = 10 + (random() % 9980) + (random() % 100) / 100.0;
      const double cy = 10 + (random() % 4980) + (random() % 100) / 100.0;
      for (int y = int(cy) - 5; y <= int(cy) + 5; ++y)
        for (int x = int(cx) - 5; x <= int(cx) + 5; ++x) {
          const double share = std::clamp(3.5 - std::hypot(x + 0.5 - cx, y + 0.5 - cy), 0.0, 1.0);
          if (share > 0) b.SetPixel(x, y, Mix(b.Pixel(x, y), share));
        }
    }
    return b;
  }();
  return picture;
}

std::int64_t FloodFill(const TBitmap& picture, int x0, int y0) {
  const int w = picture.Width(), h = picture.Height();
  const std::uint32_t target = picture.Pixel(x0, y0);
  std::vector<std::uint8_t> seen(std::size_t(w) * std::size_t(h), 0);
  std::queue<std::int64_t> queue;
  queue.push(std::int64_t(y0) * w + x0);
  seen[std::size_t(y0) * w + x0] = 1;
  std::int64_t count = 0;
  while (!queue.empty()) {
    const std::int64_t i = queue.front();
    queue.pop();
    ++count;
    const int x = int(i % w), y = int(i / w);
    const int nx[4] = {x + 1, x, x - 1, x}, ny[4] = {y, y + 1, y, y - 1};
    for (int k = 0; k < 4; ++k) {
      if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) continue;
      const std::size_t j = std::size_t(ny[k]) * w + nx[k];
      if (seen[j] || picture.Pixel(nx[k], ny[k]) != target) continue;
      seen[j] = 1;
      queue.push(std::int64_t(j));
    }
  }
  return count;
}

void BM_TraceCurve_10000Wide(benchmark::State& state) {
  const TBitmap& picture = CurvePicture();
  const int seedX = 5000, seedY = int(Sine(5000.5));
  std::size_t points = 0;
  for (auto _ : state) points = TraceCurve(picture, seedX, seedY, {}, false).size();
  state.counters["points"] = double(points);
}

void BM_FloodFillBaseline_10000Wide(benchmark::State& state) {
  const TBitmap& picture = CurvePicture();
  std::int64_t count = 0;
  for (auto _ : state) benchmark::DoNotOptimize(count = FloodFill(picture, 5050, 50));
  state.counters["pixels"] = double(count);
}

void BM_FindMarkers_50Megapixels(benchmark::State& state) {
  const TBitmap& picture = MarkerPicture();
  // The seed: the first pixel of full ink from row 2,500 on.
  int seedX = -1, seedY = 2500;
  for (; seedX < 0; ++seedY)
    for (int x = 0; x < picture.Width() && seedX < 0; ++x)
      if (picture.Pixel(x, seedY) == Mix(kPaper, 1)) seedX = x;
  --seedY;
  std::size_t markers = 0;
  for (auto _ : state) markers = FindMarkers(picture, seedX, seedY, 60, false).size();
  state.counters["markers"] = double(markers);
}

void BM_FloodFillBaseline_50Megapixels(benchmark::State& state) {
  const TBitmap& picture = MarkerPicture();
  std::int64_t count = 0;
  for (auto _ : state) benchmark::DoNotOptimize(count = FloodFill(picture, 50, 50));
  state.counters["pixels"] = double(count);
}

}  // namespace

BENCHMARK(BM_TraceCurve_10000Wide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloodFillBaseline_10000Wide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindMarkers_50Megapixels)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FloodFillBaseline_50Megapixels)->Unit(benchmark::kMillisecond)->Iterations(3);
