#include "bench/uTraceInk.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace tracemill {

namespace {

constexpr int kPaperRadius = 40;        // the square around the seed where the paper is sought
constexpr int kCoreRadius = 2;          // the square around the seed that gives the ink's colour
constexpr double kCoreFraction = 0.9;   // pixels this close to the strongest make the ink's colour
constexpr int kMinContrast = 12;        // ink closer than this to the paper: no paper known
constexpr int kPaperSpread = 40;        // largest channel difference still read as paper
constexpr double kWeightFloor = 0.05;
constexpr double kWeightCeiling = 2.0;
constexpr double kStrongest = 1.25;  // the most ink a pixel of the ink holds, noise included

int Channel(std::uint32_t argb, int i) { return int((argb >> (16 - 8 * i)) & 0xFF); }

}  // namespace

TInk::TInk(const TBitmap& picture, int seedX, int seedY, int tolerance)
    : tolerance_(tolerance), seedX_(seedX), seedY_(seedY) {
  SetInk(picture.Pixel(seedX, seedY));
  FindPaper(picture);
  if (hasPaper_) MoveToCore(picture);
}

void TInk::SetInk(std::uint32_t argb) {
  toInkSquared_ = 0;
  for (int i = 0; i < 3; ++i) {
    ink_[i] = Channel(argb, i);
    toInk_[i] = ink_[i] - paper_[i];
    toInkSquared_ += std::int64_t(toInk_[i]) * toInk_[i];
  }
}

void TInk::FindPaper(const TBitmap& picture) {
  // The commonest colour (on a 16-level grid per channel) near the seed,
  // averaged over its cell. When that is the seed's own colour, the seed lies
  // on the paper (or inside a large patch) and no paper is known.
  constexpr int kCells = 16 * 16 * 16;
  std::vector<int> count(kCells, 0);
  std::vector<std::array<int, 3>> sum(kCells, {0, 0, 0});
  const int x0 = std::max(0, seedX_ - kPaperRadius), x1 = std::min(picture.Width() - 1, seedX_ + kPaperRadius);
  const int y0 = std::max(0, seedY_ - kPaperRadius), y1 = std::min(picture.Height() - 1, seedY_ + kPaperRadius);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const std::uint32_t p = picture.Pixel(x, y);
      const int cell = int((p >> 12) & 0xF00) | int((p >> 8) & 0xF0) | int((p >> 4) & 0xF);
      ++count[cell];
      for (int i = 0; i < 3; ++i) sum[cell][i] += Channel(p, i);
    }
  const int best = int(std::max_element(count.begin(), count.end()) - count.begin());
  int contrast = 0;
  for (int i = 0; i < 3; ++i) {
    paper_[i] = (sum[best][i] + count[best] / 2) / count[best];
    contrast = std::max(contrast, std::abs(ink_[i] - paper_[i]));
  }
  hasPaper_ = contrast >= kMinContrast;
  SetInk(picture.Pixel(seedX_, seedY_));
}

void TInk::MoveToCore(const TBitmap& picture) {
  // The ink's own colour is the mean of the strongest pixels of the clicked
  // ink next to the seed; one noisy pixel (a JPEG picture) or a weak one (the
  // soft edge of a stroke) does not set the tolerance.
  struct TNear {
    int x, y;
    double share;
  };
  std::vector<TNear> near;
  double strongest = 0;
  for (int y = std::max(0, seedY_ - kCoreRadius); y <= std::min(picture.Height() - 1, seedY_ + kCoreRadius); ++y)
    for (int x = std::max(0, seedX_ - kCoreRadius); x <= std::min(picture.Width() - 1, seedX_ + kCoreRadius); ++x) {
      const std::uint32_t p = picture.Pixel(x, y);
      if (!Member(p)) continue;
      near.push_back({x, y, Share(Channel(p, 0), Channel(p, 1), Channel(p, 2))});
      strongest = std::max(strongest, near.back().share);
    }
  int sum[3] = {0, 0, 0}, count = 0;
  for (const TNear& n : near)
    if (n.share >= kCoreFraction * strongest) {
      for (int i = 0; i < 3; ++i) sum[i] += Channel(picture.Pixel(n.x, n.y), i);
      ++count;
    }
  const std::uint32_t core = 0xFF000000u | std::uint32_t((sum[0] + count / 2) / count) << 16 |
                             std::uint32_t((sum[1] + count / 2) / count) << 8 |
                             std::uint32_t((sum[2] + count / 2) / count);
  SetInk(core);
  // The seed stays where it is if it holds the ink, else goes to the pixel
  // nearest the ink's colour.
  if (Member(picture.Pixel(seedX_, seedY_))) return;
  int closest = 256;
  for (const TNear& n : near) {
    const std::uint32_t p = picture.Pixel(n.x, n.y);
    int difference = 0;
    for (int i = 0; i < 3; ++i) difference = std::max(difference, std::abs(Channel(p, i) - ink_[i]));
    if (difference < closest) {
      closest = difference;
      seedX_ = n.x;
      seedY_ = n.y;
    }
  }
}

bool TInk::StrongerShade(int r, int g, int b) const {
  // Beyond the seed's colour on the line from the paper through it, and
  // within the tolerance of that line: dot / S2 >= 1 and, per channel,
  // |(p - paper) S2 - dot toInk| <= tolerance S2.
  const std::int64_t d[3] = {r - paper_[0], g - paper_[1], b - paper_[2]};
  const std::int64_t dot = d[0] * toInk_[0] + d[1] * toInk_[1] + d[2] * toInk_[2];
  if (dot < toInkSquared_) return false;
  const std::int64_t limit = std::int64_t(tolerance_) * toInkSquared_;
  for (int i = 0; i < 3; ++i)
    if (std::llabs(d[i] * toInkSquared_ - dot * toInk_[i]) > limit) return false;
  return true;
}

double TInk::Share(int r, int g, int b) const {
  const double inkLuma = 0.299 * toInk_[0] + 0.587 * toInk_[1] + 0.114 * toInk_[2];
  if (std::fabs(inkLuma) >= 32)
    return (0.299 * (r - paper_[0]) + 0.587 * (g - paper_[1]) + 0.114 * (b - paper_[2])) / inkLuma;
  const double dot = double(r - paper_[0]) * toInk_[0] + double(g - paper_[1]) * toInk_[1] +
                     double(b - paper_[2]) * toInk_[2];
  return dot / double(toInkSquared_);
}

double TInk::Weight(std::uint32_t argb) const {
  if (!hasPaper_) return 1;
  const double share = Share(Channel(argb, 0), Channel(argb, 1), Channel(argb, 2));
  return std::clamp(share, kWeightFloor, kWeightCeiling);
}

double TInk::Residual(const int (&c)[3], double share) const {
  double residual = 0;
  for (int i = 0; i < 3; ++i) residual = std::max(residual, std::fabs(c[i] - paper_[i] - share * toInk_[i]));
  return residual;
}

bool TInk::Pure(std::uint32_t argb) const {
  if (!hasPaper_) return true;
  const int c[3] = {Channel(argb, 0), Channel(argb, 1), Channel(argb, 2)};
  const double share = Share(c[0], c[1], c[2]);
  return share <= kStrongest && Residual(c, share) <= tolerance_;
}

TInk::TEdge TInk::Classify(std::uint32_t argb, double& share) const {
  share = 0;
  if (!hasPaper_) return TEdge::Paper;
  const int c[3] = {Channel(argb, 0), Channel(argb, 1), Channel(argb, 2)};
  const double s = Share(c[0], c[1], c[2]);
  int fromPaper = 0, contrast = 0;
  for (int i = 0; i < 3; ++i) {
    fromPaper = std::max(fromPaper, std::abs(c[i] - paper_[i]));
    contrast = std::max(contrast, std::abs(toInk_[i]));
  }
  if (fromPaper <= std::min(kPaperSpread, contrast / 3)) {
    share = std::max(0.0, s);
    return TEdge::Paper;
  }
  if (s > 0 && Residual(c, s) <= BlendLimit()) {
    share = s;
    return TEdge::Blend;
  }
  return TEdge::Foreign;
}

}  // namespace tracemill
