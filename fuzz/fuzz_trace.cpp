// Arbitrary pictures (a header, a small palette and palette indices) traced
// from an arbitrary seed with arbitrary settings: nothing crashes, and what
// comes back lies inside the picture, ordered by X and within the limit.
//
// Layout: width-1, height-1, seed x, seed y, tolerance, step-1, gap (one
// byte each, reduced to their ranges), palette count (1..8), the palette
// (3 bytes a colour), then one palette index per pixel, row by row (missing
// pixels are the first colour).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/uTrace.h"
#include "common/uError.h"

using namespace tracemill;

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "trace: %s\n", what);
    std::abort();
  }
}

void CheckPoints(const std::vector<TTracePoint>& points, const TBitmap& picture) {
  Check(points.size() <= std::size_t(kMaxTracePoints), "more points than the limit");
  for (std::size_t i = 0; i < points.size(); ++i) {
    Check(points[i].X >= 0 && points[i].X <= picture.Width(), "X outside the picture");
    Check(points[i].Y >= 0 && points[i].Y <= picture.Height(), "Y outside the picture");
    Check(i == 0 || points[i - 1].X <= points[i].X, "points out of order");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return 0;
  const int width = 1 + data[0] % 96, height = 1 + data[1] % 96;
  const int seedX = data[2] % width, seedY = data[3] % height;
  const TTraceSettings settings{data[4], 1 + data[5] % 16, data[6] % 8};
  const std::size_t colours = 1 + data[7] % 8;
  std::size_t at = 8;
  std::vector<std::uint32_t> palette;
  for (std::size_t i = 0; i < colours; ++i, at += 3) {
    std::uint32_t c = 0xFF000000u;
    for (int k = 0; k < 3; ++k) c |= std::uint32_t(at + k < size ? data[at + k] : 0) << (16 - 8 * k);
    palette.push_back(c);
  }
  TBitmap picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x, ++at) picture.SetPixel(x, y, palette[at < size ? data[at] % colours : 0]);

  CheckPoints(TraceCurve(picture, seedX, seedY, settings, false), picture);
  CheckPoints(FindMarkers(picture, seedX, seedY, settings.Tolerance, false), picture);
  return 0;
}
