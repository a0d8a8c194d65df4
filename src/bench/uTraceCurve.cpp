// Following a curve column by column.
//
// From the seed column the walk goes right, then left. In each column it
// looks for runs of ink near where the curve should be (the last run, moved
// along the course of the last few points and widened by the largest gap),
// takes the one nearest that prediction, and places the column's point at
// the ink-weighted centre of the run and of its soft edges. A column is
// reliable ("clean") when both ends of its run fade into paper; a run that
// touches another colour, another run or the picture's edge may be cut short,
// and so may the columns next to a break in the curve (a dash end, a curve
// passing under something). Points come only from clean columns; only when a
// curve has none at all do the others serve.
//
// A run much longer than the last one is not the curve itself: reaching far
// beyond it on both sides, it is a line across the curve (the curve is hidden
// there); on one side only, it may be a vertical step of the curve, and the
// walk goes on at its far end when nothing continues where the curve was.

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "bench/uTrace.h"
#include "bench/uTraceInk.h"

namespace tracemill {

namespace {

constexpr int kHistory = 8;   // points that give the curve's course
constexpr int kMaxHold = 16;  // columns held back before a break, at most
constexpr int kGrowth = 4;  // a run this many times longer than the last is something else
constexpr double kFadeSlack = 0.05;  // how much a soft edge may darken again (noise)

struct TRun {
  int top = 0, bottom = 0;  // rows, inclusive
  double Middle() const { return 0.5 * (top + bottom + 1); }
  int Length() const { return bottom - top + 1; }
};

struct TSlice {
  int x = 0;
  double y = 0;  // picture coordinate of the centre
  bool clean = false;
  bool touched = false;  // something else lies on or against the curve here
  TTracePoint Point() const { return {x + 0.5, y}; }
};

// Points of one trace, taken either from clean columns only or from every
// column, spaced by the X step.
class TEmitter {
 public:
  TEmitter(bool everyColumn, int step) : everyColumn_(everyColumn), step_(step) {}

  bool Takes(const TSlice& s) const { return everyColumn_ || s.clean; }
  // Starts one direction of the walk at the seed column.
  void Start(int direction, const TSlice& seed) {
    direction_ = direction;
    due_ = seed.x + direction * (Takes(seed) ? step_ : 1);
    last_.reset();
    lastEmitted_ = seed.x;
  }
  void Offer(const TSlice& s) {
    if (!Takes(s)) return;
    last_ = s;
    if ((s.x - due_) * direction_ >= 0) Emit(s);
  }
  // The last column taken in this direction is the curve's end point.
  void Finish() {
    if (last_ && last_->x != lastEmitted_) Emit(*last_);
  }
  void Emit(const TSlice& s) {
    if (points.size() >= std::size_t(kMaxTracePoints)) {
      overflow = true;
      return;
    }
    points.push_back(s.Point());
    lastEmitted_ = s.x;
    due_ = s.x + direction_ * step_;
  }

  std::vector<TTracePoint> points;
  bool overflow = false;

 private:
  bool everyColumn_;
  int step_;
  int direction_ = 1;
  int due_ = 0;
  int lastEmitted_ = 0;
  std::optional<TSlice> last_;
};

// Reads the picture column by column.
class TColumns {
 public:
  TColumns(const TBitmap& picture, const TInk& ink) : picture_(picture), ink_(ink) {}

  int Width() const { return picture_.Width(); }
  int Height() const { return picture_.Height(); }
  bool Ink(int x, int y) const { return ink_.Member(picture_.Pixel(x, y)); }

  TRun RunThrough(int x, int y) const {
    TRun run{y, y};
    while (run.top > 0 && Ink(x, run.top - 1)) --run.top;
    while (run.bottom + 1 < Height() && Ink(x, run.bottom + 1)) ++run.bottom;
    return run;
  }

  // The whole runs that have ink between rows lo and hi.
  void RunsIn(int x, int lo, int hi, std::vector<TRun>& runs) const {
    runs.clear();
    for (int y = std::max(lo, 0); y <= std::min(hi, Height() - 1); ++y)
      if (Ink(x, y)) {
        runs.push_back(RunThrough(x, y));
        y = runs.back().bottom;
      }
  }

  TSlice Slice(int x, const TRun& run) const;

  // How far a cut through the stroke at the seed reaches: about the stroke's
  // width, the shorter of its vertical and horizontal cross-sections.
  int Hold(int seedX, int seedY, const TRun& seedRun) const {
    int left = seedX, right = seedX;
    const int across = seedRun.Length();
    while (left > 0 && right - left + 1 < across && Ink(left - 1, seedY)) --left;
    while (right + 1 < Width() && right - left + 1 < across && Ink(right + 1, seedY)) ++right;
    return std::clamp(std::min(across, right - left + 1), 1, kMaxHold);
  }

 private:
  const TBitmap& picture_;
  const TInk& ink_;
};

TSlice TColumns::Slice(int x, const TRun& run) const {
  // Ink mixed with something else (darker, or of another hue) means
  // something lies on the curve here.
  double weight = 0, moment = 0;
  bool clean = true, touched = false;
  for (int y = run.top; y <= run.bottom; ++y) {
    const std::uint32_t p = picture_.Pixel(x, y);
    const double w = ink_.Weight(p);
    touched = touched || !ink_.Pure(p);
    weight += w;
    moment += w * (y + 0.5);
  }
  // The soft edges: mixes of ink and paper beyond each end, fading out
  // towards the paper. Ink that grows again belongs to something else, and
  // so does a soft edge holding a pixel's worth of ink more than the other.
  const int longest = 1 + run.Length();
  double edges[2] = {0, 0};
  for (int direction : {-1, 1}) {
    const int start = direction < 0 ? run.top - 1 : run.bottom + 1;
    double before = ink_.Weight(picture_.Pixel(x, start - direction));
    for (int k = 0;; ++k) {
      const int y = start + direction * k;
      if (y < 0 || y >= Height() || k >= longest) {
        clean = false;
        break;
      }
      double share = 0;
      const TInk::TEdge edge = ink_.Classify(picture_.Pixel(x, y), share);
      if (Ink(x, y) || edge == TInk::TEdge::Foreign) {
        touched = true;
        break;
      }
      if (share > before + kFadeSlack) {
        clean = false;
        break;
      }
      weight += share;
      moment += share * (y + 0.5);
      edges[direction > 0] += share;
      if (edge == TInk::TEdge::Paper) break;
      before = share;
    }
  }
  if (std::fabs(edges[0] - edges[1]) > 1) clean = false;
  return {x, moment / weight, clean && !touched, touched};
}

// One direction of the walk from the seed column. Columns are held back for
// `hold` columns before they are handed to `decide`, so that a break found
// later can still mark them as cut.
class TWalk {
 public:
  using TDecide = std::function<void(const TSlice&)>;
  TWalk(const TColumns& columns, const TTraceSettings& settings, int hold, int direction, TDecide decide)
      : columns_(columns), settings_(settings), hold_(hold), direction_(direction), decide_(std::move(decide)) {}

  void Run(const TRun& seedRun, const TSlice& seedSlice);

 private:
  // The run that continues the curve in column x, if any; sets stepped when
  // it lies at the far end of a step.
  std::optional<TRun> Continuation(int x, double predicted, double drift, bool& stepped);
  void Take(int x, const TRun& run, bool breaks, bool stepped);
  void Broken() {
    for (TSlice& s : held_) s.clean = false;
    Release(0);
    sinceBreak_ = 0;
  }
  void Release(std::size_t keep) {
    for (; held_.size() > keep; held_.pop_front()) decide_(held_.front());
  }

  const TColumns& columns_;
  const TTraceSettings& settings_;
  const int hold_, direction_;
  TDecide decide_;
  std::deque<TSlice> held_;
  std::deque<TTracePoint> course_;
  std::vector<TRun> runs_;
  TRun last_;
  int lastX_ = 0;
  int sinceBreak_ = 0;
  std::optional<TRun> step_;  // a long run on one side of the curve met since the last run
  int stepX_ = 0;             // ...and its column
};

void TWalk::Run(const TRun& seedRun, const TSlice& seedSlice) {
  held_ = {seedSlice};
  course_ = {seedSlice.Point()};
  last_ = seedRun;
  lastX_ = seedSlice.x;
  sinceBreak_ = hold_;  // the seed column counts as far from any break
  bool reachedEdge = false;
  for (int x = lastX_ + direction_;; x += direction_) {
    if (x < 0 || x >= columns_.Width()) {
      reachedEdge = true;
      break;
    }
    const int apart = (x - lastX_) * direction_;
    // Where the curve should be: along the course of the last reliable
    // points; the search reaches from the last run that far and the gap beyond.
    double slope = 0;
    if (course_.size() >= 2)
      slope = (course_.back().Y - course_.front().Y) / (course_.back().X - course_.front().X);
    const double height = columns_.Height();
    const double predicted = std::clamp(course_.back().Y + slope * (x + 0.5 - course_.back().X), -height, 2 * height);
    const double drift = std::clamp(slope * (x - lastX_), -height, height);
    bool stepped = false;
    const std::optional<TRun> next = Continuation(x, predicted, drift, stepped);
    if (next) {
      // Not touching the last run, or suddenly much longer (merged with
      // something of the ink's colour): a break in the curve.
      const bool touches = next->top <= last_.bottom + 1 && next->bottom + 1 >= last_.top;
      const bool swells = next->Length() > 2 * last_.Length() + 2;
      Take(x, *next, stepped || apart > 1 || !touches || swells, stepped);
      continue;
    }
    if (apart == 1) Broken();
    if (apart > settings_.Gap) break;
  }
  // The curve's own end may be cut like a break; the picture's edge is not.
  if (!reachedEdge)
    for (TSlice& s : held_) s.clean = false;
  Release(0);
}

std::optional<TRun> TWalk::Continuation(int x, double predicted, double drift, bool& stepped) {
  const int reach = 1 + settings_.Gap;
  const int longest = kGrowth * last_.Length() + kGrowth;
  columns_.RunsIn(x, last_.top + std::min(0, int(std::floor(drift))) - reach,
                  last_.bottom + std::max(0, int(std::ceil(drift))) + reach, runs_);
  const auto nearest = [&](double y) {
    return std::min_element(runs_.begin(), runs_.end(), [y](const TRun& a, const TRun& b) {
      const auto distance = [y](const TRun& r) {
        return std::make_pair(std::max({0.0, r.top - y, y - (r.bottom + 1)}), std::fabs(r.Middle() - y));
      };
      return distance(a) < distance(b);
    });
  };
  // Long runs: lines across the curve are dropped, a step is remembered.
  // Where one covers the course, the curve is hidden under it.
  bool hidden = false;
  for (const TRun& r : runs_) {
    if (r.Length() <= longest) continue;
    hidden = hidden || (r.top <= predicted && predicted <= r.bottom + 1);
    if (!(last_.top - r.top > longest && r.bottom - last_.bottom > longest)) {
      step_ = r;
      stepX_ = x;
    }
  }
  std::erase_if(runs_, [&](const TRun& r) { return r.Length() > longest; });
  if (hidden) return std::nullopt;
  if (!runs_.empty()) return *nearest(predicted);
  if (!step_ || stepX_ == x) return std::nullopt;
  // Nothing where the curve was: does it go on at the far end of a step?
  const bool down = step_->bottom - last_.bottom > last_.top - step_->top;
  const int end = down ? step_->bottom : step_->top;
  columns_.RunsIn(x, end - reach, end + reach, runs_);
  std::erase_if(runs_, [&](const TRun& r) { return r.Length() > longest; });
  if (runs_.empty()) return std::nullopt;
  stepped = true;
  return *nearest(end + 0.5);
}

void TWalk::Take(int x, const TRun& run, bool breaks, bool stepped) {
  if (breaks) Broken();
  else step_.reset();  // the curve goes on smoothly: no step to climb
  if (stepped) course_.clear();  // the course before a step says nothing about the one after
  last_ = run;
  lastX_ = x;
  TSlice slice = columns_.Slice(x, run);
  if (slice.touched) Broken();  // what touches the curve here reaches the columns around too
  if (sinceBreak_ < hold_) slice.clean = false;
  ++sinceBreak_;
  held_.push_back(slice);
  if (!breaks || course_.empty()) course_.push_back(slice.Point());
  if (course_.size() > kHistory) course_.pop_front();
  Release(std::size_t(hold_));
}

class TCurveTracer {
 public:
  TCurveTracer(const TBitmap& picture, const TInk& ink, const TTraceSettings& settings)
      : columns_(picture, ink), settings_(settings) {}

  std::vector<TTracePoint> Trace(int seedX, int seedY, bool japanese);

 private:
  const TColumns columns_;
  const TTraceSettings& settings_;
};

std::vector<TTracePoint> TCurveTracer::Trace(int seedX, int seedY, bool japanese) {
  const TRun seedRun = columns_.RunThrough(seedX, seedY);
  TSlice seedSlice = columns_.Slice(seedX, seedRun);
  const int hold = columns_.Hold(seedX, seedY, seedRun);
  TEmitter emitters[] = {TEmitter(false, settings_.StepX), TEmitter(true, settings_.StepX)};
  // Each side hands its columns, the seed column first, to both emitters.
  // The right side decides first; the left side then knows whether the seed
  // column gives a point (the right side assumed it does when clean there).
  bool seedClean = true;
  for (int direction : {1, -1}) {
    TWalk(columns_, settings_, hold, direction, [&](const TSlice& s) {
      if (s.x != seedX) {
        for (TEmitter& e : emitters) e.Offer(s);
        return;
      }
      seedClean = seedClean && s.clean;
      TSlice seed = s;
      seed.clean = seedClean;
      for (TEmitter& e : emitters) e.Start(direction, seed);
    }).Run(seedRun, seedSlice);
    for (TEmitter& e : emitters) e.Finish();
  }
  seedSlice.clean = seedClean;
  for (TEmitter& e : emitters)
    if (e.Takes(seedSlice)) e.Emit(seedSlice);

  TEmitter& chosen = emitters[0].points.empty() && !emitters[0].overflow ? emitters[1] : emitters[0];
  if (chosen.overflow) RefuseTooManyPoints(false, japanese);
  std::vector<TTracePoint> points = std::move(chosen.points);
  std::sort(points.begin(), points.end(), [](const TTracePoint& a, const TTracePoint& b) { return a.X < b.X; });
  return points;
}

}  // namespace

std::vector<TTracePoint> TraceCurve(const TBitmap& picture, int seedX, int seedY,
                                    const TTraceSettings& settings, bool japanese) {
  CheckTraceRequest(picture, seedX, seedY, settings, japanese);
  const TInk ink(picture, seedX, seedY, settings.Tolerance);
  return TCurveTracer(picture, ink, settings).Trace(ink.SeedX(), ink.SeedY(), japanese);
}

}  // namespace tracemill
