// Finding every marker of one ink.
//
// The picture is read row by row, once to measure the blob under the seed and
// once to collect the blobs of a like size. Within a row the ink forms runs;
// a run joins the blobs of the runs above it that it touches, corners
// included. A blob that no run of the current row continues is finished and
// handed on, so memory grows with the width of the picture, not its area.

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "bench/uTrace.h"
#include "bench/uTraceInk.h"

namespace tracemill {

namespace {

constexpr double kNoiseShare = 0.05;  // less ink than this in a paper pixel is noise
constexpr int kSparse = 16;           // a blob this many times smaller than its bounds is a thin line

struct TBlob {
  std::int64_t pixels = 0;
  std::int64_t mixed = 0;  // pixels of the ink mixed with something else
  double weight = 0, momentX = 0, momentY = 0;   // ink-weighted sums over the pixels
  int left = 0, right = 0, top = 0, bottom = 0;  // bounds, inclusive
  bool seed = false;                             // holds the seed pixel

  void Merge(const TBlob& other) {
    pixels += other.pixels;
    mixed += other.mixed;
    weight += other.weight;
    momentX += other.momentX;
    momentY += other.momentY;
    left = std::min(left, other.left);
    right = std::max(right, other.right);
    top = std::min(top, other.top);
    bottom = std::max(bottom, other.bottom);
    seed = seed || other.seed;
  }
};

bool NextToInk(const TBitmap& picture, const TInk& ink, int x, int y) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (picture.Contains(x + dx, y + dy) && ink.Member(picture.Pixel(x + dx, y + dy))) return true;
  return false;
}

// The ink-weighted centre of a blob and of its soft edge: the blob's pixels
// and the pixels touching them, each by its share of ink; things of other
// colours left out. A thin line's bounds are mostly paper: its centre comes
// from its own pixels, so the work stays in proportion to the blob.
TTracePoint Centre(const TBitmap& picture, const TInk& ink, const TBlob& blob) {
  const std::int64_t bounds = std::int64_t(blob.right - blob.left + 3) * (blob.bottom - blob.top + 3);
  if (bounds > kSparse * blob.pixels) return {blob.momentX / blob.weight + 0.5, blob.momentY / blob.weight + 0.5};
  double weight = 0, momentX = 0, momentY = 0;
  const int x0 = std::max(0, blob.left - 1), x1 = std::min(picture.Width() - 1, blob.right + 1);
  const int y0 = std::max(0, blob.top - 1), y1 = std::min(picture.Height() - 1, blob.bottom + 1);
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      const std::uint32_t p = picture.Pixel(x, y);
      double w = 0;
      if (ink.Member(p)) w = ink.Weight(p);
      else if (!NextToInk(picture, ink, x, y) ||
               (ink.Classify(p, w) == TInk::TEdge::Paper && w < kNoiseShare))
        w = 0;
      weight += w;
      momentX += w * (x + 0.5);
      momentY += w * (y + 0.5);
    }
  return {momentX / weight, momentY / weight};
}

class TBlobScanner {
 public:
  TBlobScanner(const TBitmap& picture, const TInk& ink, int seedX, int seedY)
      : picture_(picture), ink_(ink), seedX_(seedX), seedY_(seedY) {}

  // Hands every blob to found as it is finished, top to bottom; stops as
  // soon as found returns false.
  template <typename Found>
  void Scan(Found found) {
    std::vector<TRowRun> above, row;
    blobs_.clear();
    parent_.clear();
    live_.clear();
    for (int y = 0; y < picture_.Height(); ++y) {
      ReadRow(y, row);
      Join(above, row);
      for (const TRowRun& r : row) live_[Root(r.label)] = 1;
      for (const TRowRun& r : above) {
        const int root = Root(r.label);
        if (live_[root]) continue;
        live_[root] = 1;  // hand each finished blob on once
        if (!found(blobs_[std::size_t(root)])) return;
      }
      Compact(row);
      above.swap(row);
    }
    for (const TRowRun& r : above) {  // the blobs that reach the last row
      if (live_[std::size_t(r.label)]) continue;
      live_[std::size_t(r.label)] = 1;
      if (!found(blobs_[std::size_t(r.label)])) return;
    }
  }

 private:
  struct TRowRun {
    int left, right;  // columns, inclusive
    int label;
  };

  int NewLabel(const TBlob& blob) {
    parent_.push_back(int(parent_.size()));
    blobs_.push_back(blob);
    live_.push_back(0);
    return parent_.back();
  }
  int Root(int label) {
    while (parent_[std::size_t(label)] != label) {
      const int up = parent_[std::size_t(label)];
      parent_[std::size_t(label)] = parent_[std::size_t(up)];
      label = up;
    }
    return label;
  }
  void Unite(int a, int b) {
    a = Root(a);
    b = Root(b);
    if (a == b) return;
    blobs_[std::size_t(a)].Merge(blobs_[std::size_t(b)]);
    parent_[std::size_t(b)] = a;
  }

  void ReadRow(int y, std::vector<TRowRun>& row) {
    row.clear();
    const std::uint32_t* pixels = picture_.Row(y);
    const int width = picture_.Width();
    // Most of a picture is paper of one colour: ask about a colour once per run of it.
    std::uint32_t known = ~pixels[0];
    bool knownInk = false;
    const auto ink = [&](std::uint32_t p) {
      if (p != known) known = p, knownInk = ink_.Member(p);
      return knownInk;
    };
    for (int x = 0; x < width; ++x) {
      if (!ink(pixels[x])) continue;
      TBlob blob{.left = x, .top = y, .bottom = y};
      for (; x < width && ink(pixels[x]); ++x) {
        const double w = ink_.Weight(pixels[x]);
        blob.mixed += !ink_.Pure(pixels[x]);
        blob.weight += w;
        blob.momentX += w * x;
      }
      blob.momentY = blob.weight * y;
      blob.pixels = x - blob.left;
      blob.right = x - 1;
      blob.seed = y == seedY_ && blob.left <= seedX_ && seedX_ < x;
      row.push_back({blob.left, x - 1, NewLabel(blob)});
    }
  }

  // Unites each run of the row with the runs above that touch it.
  void Join(const std::vector<TRowRun>& above, const std::vector<TRowRun>& row) {
    std::size_t first = 0;
    for (const TRowRun& r : row) {
      while (first < above.size() && above[first].right < r.left - 1) ++first;
      for (std::size_t k = first; k < above.size() && above[k].left <= r.right + 1; ++k)
        Unite(above[k].label, r.label);
    }
  }

  // Keeps only the blobs the row continues, renumbered from 0.
  void Compact(std::vector<TRowRun>& row) {
    renumber_.assign(parent_.size(), -1);
    kept_.clear();
    for (TRowRun& r : row) {
      const int root = Root(r.label);
      if (renumber_[std::size_t(root)] < 0) {
        renumber_[std::size_t(root)] = int(kept_.size());
        kept_.push_back(blobs_[std::size_t(root)]);
      }
      r.label = renumber_[std::size_t(root)];
    }
    blobs_.swap(kept_);
    parent_.resize(blobs_.size());
    std::iota(parent_.begin(), parent_.end(), 0);
    live_.assign(blobs_.size(), 0);
  }

  const TBitmap& picture_;
  const TInk& ink_;
  int seedX_, seedY_;
  std::vector<TBlob> blobs_;
  std::vector<int> parent_;
  std::vector<char> live_;  // continued by the current row, or already handed on
  std::vector<int> renumber_;
  std::vector<TBlob> kept_;
};

}  // namespace

std::vector<TTracePoint> FindMarkers(const TBitmap& picture, int seedX, int seedY, int tolerance,
                                     bool japanese) {
  TTraceSettings settings;
  settings.Tolerance = tolerance;
  CheckTraceRequest(picture, seedX, seedY, settings, japanese);
  const TInk ink(picture, seedX, seedY, tolerance);
  TBlobScanner scanner(picture, ink, ink.SeedX(), ink.SeedY());

  TBlob seedBlob;
  scanner.Scan([&](const TBlob& blob) {
    if (blob.seed) seedBlob = blob;
    return !blob.seed;
  });
  // Like the marker under the seed: as many pixels to within a factor, and
  // as wide and as high to within a smaller one (labels and fragments of
  // other things of the ink's colour differ there), and mostly of the ink
  // itself rather than the fringes where something else meets the paper.
  const auto within = [](double value, double target, double factor) {
    return value >= target / factor && value <= target * factor;
  };
  const auto alike = [&](const TBlob& blob) {
    return within(double(blob.pixels), double(seedBlob.pixels), kMarkerSizeFactor) &&
           within(blob.right - blob.left + 1, seedBlob.right - seedBlob.left + 1, kMarkerShapeFactor) &&
           within(blob.bottom - blob.top + 1, seedBlob.bottom - seedBlob.top + 1, kMarkerShapeFactor) &&
           double(blob.mixed) / blob.pixels <= std::max(0.5, double(seedBlob.mixed) / seedBlob.pixels);
  };

  std::vector<TTracePoint> markers;
  scanner.Scan([&](const TBlob& blob) {
    if (!alike(blob)) return true;
    if (markers.size() >= std::size_t(kMaxTracePoints)) RefuseTooManyPoints(true, japanese);
    markers.push_back(Centre(picture, ink, blob));
    return true;
  });
  std::sort(markers.begin(), markers.end(), [](const TTracePoint& a, const TTracePoint& b) {
    return a.X < b.X || (a.X == b.X && a.Y < b.Y);
  });
  return markers;
}

}  // namespace tracemill
