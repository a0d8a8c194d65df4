#pragma once
// The colour model behind tracing: which pixels hold the clicked ink, and how
// much of it. The paper is the commonest colour around the seed; a pixel
// between paper and ink is taken as a mix of the two, its share of ink found
// by projecting its colour (its brightness, where paper and ink differ
// enough in it) onto the paper-to-ink direction. The ink's own colour is the
// mean of the strongest pixels of the clicked ink next to the seed, so a
// click on the soft edge of a stroke (a weak mix of ink and paper) or on one
// noisy pixel still measures the tolerance from the ink itself.

#include <algorithm>
#include <cstdint>

#include "bench/uTrace.h"
#include "image/uBitmap.h"

namespace tracemill {

// Refuses (InvalidOperation, message in the interface language) an empty
// picture, a seed outside it and settings out of range.
void CheckTraceRequest(const TBitmap& picture, int seedX, int seedY, const TTraceSettings& settings,
                       bool japanese);

// Ends a trace (markers false) or a marker search that found more than
// kMaxTracePoints points.
[[noreturn]] void RefuseTooManyPoints(bool markers, bool japanese);

class TInk {
 public:
  // The ink of the seed pixel, which must lie inside the picture.
  TInk(const TBitmap& picture, int seedX, int seedY, int tolerance);

  // The seed pixel, moved into the stroke when it lay on a soft edge; always
  // a member.
  int SeedX() const { return seedX_; }
  int SeedY() const { return seedY_; }

  // What lies just beyond the end of a run of ink.
  enum class TEdge {
    Paper,    // the paper (or nearly): the run ends here
    Blend,    // a mix of ink and paper: part of the run's soft edge
    Foreign,  // something else: another colour touches the run
  };

  bool Member(std::uint32_t argb) const {
    const int r = int((argb >> 16) & 0xFF), g = int((argb >> 8) & 0xFF), b = int(argb & 0xFF);
    if (Near(r, ink_[0]) && Near(g, ink_[1]) && Near(b, ink_[2])) return true;
    return hasPaper_ && StrongerShade(r, g, b);
  }

  // The ink share of a member pixel: 1 for the ink's own colour, more for a
  // stronger shade; never below a small floor, so every member counts (1 for
  // every member when no paper is known).
  double Weight(std::uint32_t argb) const;

  // A member made of ink and paper alone: not much darker than the ink, nor
  // off the line between paper and ink (a mix with something else).
  bool Pure(std::uint32_t argb) const;

  // Sorts a pixel that is not a member; share gets its ink share (0 for
  // foreign pixels and when no paper is known).
  TEdge Classify(std::uint32_t argb, double& share) const;

 private:
  bool Near(int channel, int inkChannel) const {
    const int d = channel - inkChannel;
    return d <= tolerance_ && -d <= tolerance_;
  }
  bool StrongerShade(int r, int g, int b) const;
  double Share(int r, int g, int b) const;
  // How far a colour with this share of ink strays from the paper-ink line.
  double Residual(const int (&c)[3], double share) const;
  int BlendLimit() const { return std::max(kMinBlendResidual, tolerance_); }
  void SetInk(std::uint32_t argb);
  void FindPaper(const TBitmap& picture);
  void MoveToCore(const TBitmap& picture);

  static constexpr int kMinBlendResidual = 24;  // how far a mix may stray from the paper-ink line

  int tolerance_;
  int seedX_, seedY_;
  int ink_[3];                // the ink's own colour, r g b
  int paper_[3] = {0, 0, 0};  // used only when hasPaper_
  int toInk_[3] = {0, 0, 0};  // ink - paper
  std::int64_t toInkSquared_ = 0;
  bool hasPaper_ = false;
};

}  // namespace tracemill
