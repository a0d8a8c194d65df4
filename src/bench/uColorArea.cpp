#include "bench/uColorArea.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tracemill {

std::string ColorCode(const TBitmap& picture, int x, int y) {
  if (!picture.Contains(x, y)) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(picture.Color(x, y) & 0xFFFFFFu));
  return text;
}

namespace {

constexpr std::uint32_t kRgb = 0x00FFFFFFu;

// A counted run of one row, both ends included. Runs are always maximal (the
// pixels left and right of them have another colour), so a pixel of a
// counted run tells that its whole run is counted.
struct Run {
  int Start;
  int End;
};

// The counted runs of one row: a sorted list plus a short unsorted list of
// the latest ones, merged into the sorted list when it grows past about the
// square root of the sorted list's length. Both adding and finding stay
// cheap for rows crossed by thousands of runs (a maze).
class RowRuns {
 public:
  // The last pixel of the counted run containing x, or -1.
  int Find(int x) const {
    auto it = std::upper_bound(sorted_.begin(), sorted_.end(), x,
                               [](int v, const Run& r) { return v < r.Start; });
    if (it != sorted_.begin() && std::prev(it)->End >= x) return std::prev(it)->End;
    for (const Run& r : recent_)
      if (r.Start <= x && x <= r.End) return r.End;
    return -1;
  }

  void Add(Run run) {
    recent_.push_back(run);
    if (recent_.size() < limit_) return;
    std::sort(recent_.begin(), recent_.end(), [](const Run& a, const Run& b) { return a.Start < b.Start; });
    const std::size_t middle = sorted_.size();
    sorted_.insert(sorted_.end(), recent_.begin(), recent_.end());
    std::inplace_merge(sorted_.begin(), sorted_.begin() + static_cast<std::ptrdiff_t>(middle), sorted_.end(),
                       [](const Run& a, const Run& b) { return a.Start < b.Start; });
    recent_.clear();
    limit_ = 8 + static_cast<std::size_t>(std::sqrt(static_cast<double>(sorted_.size())));
  }

 private:
  std::vector<Run> sorted_;
  std::vector<Run> recent_;
  std::size_t limit_ = 8;
};

// The rows the region has reached so far, grown on demand in both directions
// within the picture's rows 0 .. height-1.
class RowTable {
 public:
  RowTable(int firstRow, int height) : base_(firstRow), height_(height), rows_(1) {}

  RowRuns& At(int y) {
    const int size = static_cast<int>(rows_.size());
    if (y < base_) {
      const int newBase = std::max(0, base_ - std::max(base_ - y, size));
      rows_.insert(rows_.begin(), static_cast<std::size_t>(base_ - newBase), RowRuns());
      base_ = newBase;
    } else if (y - base_ >= size) {
      const int newSize = std::min(height_ - base_, std::max(y - base_ + 1, 2 * size));
      rows_.resize(static_cast<std::size_t>(newSize));
    }
    return rows_[static_cast<std::size_t>(y - base_)];
  }

 private:
  int base_;
  int height_;
  std::vector<RowRuns> rows_;
};

// A stretch of row Y, Left .. Right, whose pixels of the target colour
// belong to the region (they touch a counted run of the next row).
struct Span {
  int Y;
  int Left;
  int Right;
};

}  // namespace

std::int64_t AreaCount(const TBitmap& picture, int x, int y) {
  if (!picture.Contains(x, y)) return 0;
  const int width = picture.Width();
  const int height = picture.Height();
  const std::uint32_t target = picture.Pixel(x, y) & kRgb;
  RowTable rows(y, height);
  std::vector<Span> pending{{y, x, x}};
  std::int64_t count = 0;
  while (!pending.empty()) {
    const Span span = pending.back();
    pending.pop_back();
    const std::uint32_t* row = picture.Row(span.Y);
    RowRuns& runs = rows.At(span.Y);
    for (int i = span.Left; i <= span.Right;) {
      if ((row[i] & kRgb) != target) {
        ++i;
        continue;
      }
      // The pixel after a maximal run has another colour: skip both.
      if (const int end = runs.Find(i); end >= 0) {
        i = end + 2;
        continue;
      }
      int start = i;
      while (start > 0 && (row[start - 1] & kRgb) == target) --start;
      int end = i;
      while (end + 1 < width && (row[end + 1] & kRgb) == target) ++end;
      runs.Add({start, end});
      count += end - start + 1;
      if (span.Y > 0) pending.push_back({span.Y - 1, start, end});
      if (span.Y + 1 < height) pending.push_back({span.Y + 1, start, end});
      i = end + 2;
    }
  }
  return count;
}

}  // namespace tracemill
