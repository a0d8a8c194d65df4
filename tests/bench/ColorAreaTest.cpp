#include <gtest/gtest.h>

#include <queue>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "bench/uColorArea.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

// A picture drawn with characters: "#" black, "." white, "r" red, "g" green.
TBitmap Drawn(const std::vector<std::string>& rows) {
  return MakePicture(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), [&](int x, int y) {
    switch (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) {
      case '#': return 0x000000u;
      case 'r': return 0x0000FFu;
      case 'g': return 0x00FF00u;
      default: return 0xFFFFFFu;
    }
  });
}

// The region size by a plain breadth-first walk over a visited map.
std::int64_t Reference(const TBitmap& b, int x0, int y0) {
  std::vector<bool> seen(static_cast<std::size_t>(b.Width() * b.Height()));
  std::queue<std::pair<int, int>> todo;
  const std::uint32_t target = b.Color(x0, y0);
  todo.emplace(x0, y0);
  seen[static_cast<std::size_t>(y0 * b.Width() + x0)] = true;
  std::int64_t n = 0;
  while (!todo.empty()) {
    auto [x, y] = todo.front();
    todo.pop();
    ++n;
    for (auto [dx, dy] : {std::pair{1, 0}, {0, 1}, {-1, 0}, {0, -1}}) {
      const int nx = x + dx, ny = y + dy;
      if (!b.Contains(nx, ny) || b.Color(nx, ny) != target) continue;
      const std::size_t i = static_cast<std::size_t>(ny * b.Width() + nx);
      if (!seen[i]) seen[i] = true, todo.emplace(nx, ny);
    }
  }
  return n;
}

}  // namespace

TEST(ColorArea, RegionsAreFourConnectedAndExact) {
  const struct {
    std::vector<std::string> rows;
    int x, y;
    std::int64_t count;
  } cases[] = {
      {{"r.r", ".r.", "r.r"}, 1, 1, 1},                         // diagonal neighbours do not count
      {{"##.", "#..", "..."}, 0, 0, 3},                         // black is counted like any colour
      {{"rrr", "r.r", "rrr"}, 2, 2, 8},                         // a ring around a hole
      {{"rr.", "rr.", "..r"}, 0, 0, 4},                         // touching at a corner only
      {{"r.rrr", "r.r.r", "r.r.r", "rrr.r"}, 4, 0, 14},          // up, down and up again
      {{".....", ".ggg.", ".g.g.", ".g...", "....."}, 1, 3, 6},  // reached only through a turn
  };
  for (const auto& c : cases) {
    const TBitmap b = Drawn(c.rows);
    EXPECT_EQ(AreaCount(b, c.x, c.y), c.count) << c.rows[0];
  }
  EXPECT_EQ(AreaCount(Drawn({"r"}), 1, 0), 0);
  EXPECT_EQ(AreaCount(Drawn({"r"}), 0, -1), 0);
}

TEST(ColorArea, CountsLikeAPlainFloodFillOnNoiseAndMazes) {
  std::mt19937 rng(11);
  for (int round = 0; round < 12; ++round) {
    const int w = 1 + static_cast<int>(rng() % 90), h = 1 + static_cast<int>(rng() % 60);
    const int colours = 2 + round % 3;
    std::vector<std::uint32_t> palette = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00};
    TBitmap b = MakePicture(w, h, [&](int, int) { return palette[rng() % static_cast<unsigned>(colours)]; });
    if (round % 4 == 3)  // a comb: one long run with teeth above and below
      b = MakePicture(w, h, [](int x, int y) { return (y % 4 == 0 || x % 2 == 0) ? 0u : 0xFFFFFFu; });
    const TBitmap before = b;
    for (int i = 0; i < 40; ++i) {
      const int x = static_cast<int>(rng() % static_cast<unsigned>(w)), y = static_cast<int>(rng() % static_cast<unsigned>(h));
      ASSERT_EQ(AreaCount(b, x, y), Reference(b, x, y)) << "round " << round << " at " << x << "," << y;
    }
    EXPECT_EQ(b, before);  // the picture is never touched
  }
}

TEST(ColorArea, ColourCodeIsBlueFirst) {
  const TBitmap b = Drawn({"rg#."});
  EXPECT_EQ(ColorCode(b, 0, 0), "0000FF");
  EXPECT_EQ(ColorCode(b, 1, 0), "00FF00");
  EXPECT_EQ(ColorCode(b, 2, 0), "000000");
  TBitmap blue(1, 1);
  blue.SetColor(0, 0, 0xFF0000);
  EXPECT_EQ(ColorCode(blue, 0, 0), "FF0000");
  EXPECT_EQ(ColorCode(b, 4, 0), "");
}
