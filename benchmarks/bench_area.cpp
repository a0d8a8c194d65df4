// The same-colour area count (pixels per second) on a 50-megapixel region of
// one colour and on a maze, against a plain queue-based flood fill over a
// visited map measured in the same run.

#include <benchmark/benchmark.h>

#include <queue>
#include <random>
#include <vector>

#include "bench/uColorArea.h"

namespace {

using tracemill::TBitmap;

constexpr std::uint32_t kWall = 0xFF000000u, kFloor = 0xFFFFFFFFu;

const TBitmap& OneColour() {
  static const TBitmap b = [] {
    TBitmap p(8000, 6250);  // 50 million pixels
    p.Fill(0xFF336699u);
    return p;
  }();
  return b;
}

// A perfect maze of one-pixel corridors and walls (randomised depth-first),
// 4001 x 4001 pixels: every floor pixel is one region, full of turns and dead ends.
const TBitmap& Maze() {
  static const TBitmap b = [] {
    constexpr int cells = 2000, size = 2 * cells + 1;
    TBitmap p(size, size);
    p.Fill(kWall);
    std::vector<bool> seen(static_cast<std::size_t>(cells) * cells);
    std::vector<std::pair<int, int>> stack{{0, 0}};
    seen[0] = true;
    p.SetPixel(1, 1, kFloor);
    std::mt19937 rng(5);
    const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
    while (!stack.empty()) {
      auto [cx, cy] = stack.back();
      int options[4], n = 0;
      for (int d = 0; d < 4; ++d) {
        const int nx = cx + dx[d], ny = cy + dy[d];
        if (nx >= 0 && ny >= 0 && nx < cells && ny < cells && !seen[static_cast<std::size_t>(ny) * cells + nx])
          options[n++] = d;
      }
      if (n == 0) {
        stack.pop_back();
        continue;
      }
      const int d = options[rng() % static_cast<unsigned>(n)];
      const int nx = cx + dx[d], ny = cy + dy[d];
      seen[static_cast<std::size_t>(ny) * cells + nx] = true;
      p.SetPixel(2 * cx + 1 + dx[d], 2 * cy + 1 + dy[d], kFloor);
      p.SetPixel(2 * nx + 1, 2 * ny + 1, kFloor);
      stack.emplace_back(nx, ny);
    }
    return p;
  }();
  return b;
}

// The baseline: breadth-first over a visited map, four neighbours per pixel.
std::int64_t QueueFill(const TBitmap& b, int x0, int y0) {
  const int w = b.Width(), h = b.Height();
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  const std::uint32_t target = b.Pixel(x0, y0);
  std::queue<std::pair<int, int>> todo;
  todo.emplace(x0, y0);
  seen[static_cast<std::size_t>(y0) * w + x0] = 1;
  std::int64_t n = 0;
  while (!todo.empty()) {
    const auto [x, y] = todo.front();
    todo.pop();
    ++n;
    auto visit = [&](int nx, int ny) {
      if (nx < 0 || ny < 0 || nx >= w || ny >= h) return;
      const std::size_t i = static_cast<std::size_t>(ny) * w + nx;
      if (seen[i] || b.Pixel(nx, ny) != target) return;
      seen[i] = 1;
      todo.emplace(nx, ny);
    };
    visit(x + 1, y);
    visit(x, y + 1);
    visit(x - 1, y);
    visit(x, y - 1);
  }
  return n;
}

template <typename Fill>
void Run(benchmark::State& state, const TBitmap& b, Fill fill) {
  const int x = b.Width() / 2 | 1, y = b.Height() / 2 | 1;
  std::int64_t n = 0;
  for (auto _ : state) {
    n = fill(b, x, y);
    benchmark::DoNotOptimize(n);
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["pixels"] = static_cast<double>(n);
}

void AreaCountOneColour(benchmark::State& s) { Run(s, OneColour(), tracemill::AreaCount); }
void BaselineQueueFillOneColour(benchmark::State& s) { Run(s, OneColour(), QueueFill); }
void AreaCountMaze(benchmark::State& s) { Run(s, Maze(), tracemill::AreaCount); }
void BaselineQueueFillMaze(benchmark::State& s) { Run(s, Maze(), QueueFill); }

}  // namespace

BENCHMARK(AreaCountOneColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BaselineQueueFillOneColour)->Unit(benchmark::kMillisecond);
BENCHMARK(AreaCountMaze)->Unit(benchmark::kMillisecond);
BENCHMARK(BaselineQueueFillMaze)->Unit(benchmark::kMillisecond);
