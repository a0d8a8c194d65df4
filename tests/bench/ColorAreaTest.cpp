#include <gtest/gtest.h>

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
