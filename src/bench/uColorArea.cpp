#include "bench/uColorArea.h"

#include <algorithm>
#include <bit>
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

// The counted runs of one row as their boundaries: for each 64-pixel block
// that holds the first or last pixel of a counted run, one bit per pixel
// marking first pixels and one marking last pixels. Only blocks with a
// boundary are kept (in order), so a row keeps no more than its runs' ends,
// and a run of any length costs two bits.
class RowRuns {
 public:
  // The last pixel of the counted run containing x, or -1.
  int Find(int x) const {
    const int block = x >> kShift;
    const int bit = x & kMask;
    auto it = std::lower_bound(blocks_.begin(), blocks_.end(), block,
                               [](const Block& b, int index) { return b.Index < index; });
    const bool here = it != blocks_.end() && it->Index == block;
    // The nearest boundary left of x decides: a first pixel (at or before x)
    // opens a run that x lies in, a last pixel (before x) closes it.
    bool inside = false;
    const std::uint64_t starts = here ? it->Starts & Through(bit) : 0;
    const std::uint64_t ends = here ? it->Ends & Before(bit) : 0;
    if (starts | ends) {
      inside = Highest(starts) > Highest(ends);
    } else if (it != blocks_.begin()) {
      const Block& previous = *std::prev(it);
      inside = Highest(previous.Starts) > Highest(previous.Ends);
    }
    if (!inside) return -1;
    // The next boundary from x on is the run's last pixel.
    if (here) {
      if (const std::uint64_t later = it->Ends & ~Before(bit)) return (block << kShift) + std::countr_zero(later);
      ++it;
    }
    if (it == blocks_.end()) return -1;  // cannot happen: every first pixel has its last
    return (it->Index << kShift) + std::countr_zero(it->Ends);
  }

  void Add(Run run) {
    Mark(run.Start).Starts |= std::uint64_t(1) << (run.Start & kMask);
    Mark(run.End).Ends |= std::uint64_t(1) << (run.End & kMask);
  }

 private:
  static constexpr int kShift = 6;
  static constexpr int kMask = 63;

  struct Block {
    int Index;
    std::uint64_t Starts;
    std::uint64_t Ends;
  };

  static std::uint64_t Before(int bit) { return (std::uint64_t(1) << bit) - 1; }
  static std::uint64_t Through(int bit) { return bit == kMask ? ~std::uint64_t(0) : Before(bit + 1); }
  static int Highest(std::uint64_t bits) { return static_cast<int>(std::bit_width(bits)) - 1; }

  Block& Mark(int x) {
    const int block = x >> kShift;
    auto it = std::lower_bound(blocks_.begin(), blocks_.end(), block,
                               [](const Block& b, int index) { return b.Index < index; });
    if (it == blocks_.end() || it->Index != block) it = blocks_.insert(it, Block{block, 0, 0});
    return *it;
  }

  std::vector<Block> blocks_;
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

// A stretch of row Y, Left .. Right, to search for pixels of the region: it
// lies next to a counted run of row Y - Dir (Dir is +1 or -1), whose pixels
// from Left - 1 to Right + 1 are counted or of another colour. The first
// stretch has Dir 0.
struct Span {
  int Y;
  int Left;
  int Right;
  int Dir;
};

}  // namespace

std::int64_t AreaCount(const TBitmap& picture, int x, int y) {
  if (!picture.Contains(x, y)) return 0;
  const int width = picture.Width();
  const int height = picture.Height();
  const std::uint32_t target = picture.Pixel(x, y) & kRgb;
  RowTable rows(y, height);
  std::vector<Span> pending{{y, x, x, 0}};
  std::int64_t count = 0;
  auto push = [&](int row, int left, int right, int dir) {
    if (row >= 0 && row < height && left <= right) pending.push_back({row, left, right, dir});
  };
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
      if (span.Dir == 0) {
        push(span.Y - 1, start, end, -1);
        push(span.Y + 1, start, end, 1);
      } else {
        // Onwards, and back only where the run reaches past the stretch it came from.
        push(span.Y + span.Dir, start, end, span.Dir);
        push(span.Y - span.Dir, start, span.Left - 2, -span.Dir);
        push(span.Y - span.Dir, span.Right + 2, end, -span.Dir);
      }
      i = end + 2;
    }
  }
  return count;
}

}  // namespace tracemill
