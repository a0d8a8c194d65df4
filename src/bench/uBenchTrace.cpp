// The tracing commands of the bench: follow a curve or find markers at the
// last mouse-down, as one new measured line; their remembered settings and
// the preview drawn over the view.

#include <limits>

#include "bench/uBench.h"
#include "bench/uBenchKeys.h"
#include "settings/uEnvironment.h"

namespace tracemill {

namespace k = benchkeys;

namespace {

constexpr std::string_view kTraceCurveJa = "曲線トレース";
constexpr std::string_view kTraceCurveEn = "Trace curve";
constexpr std::string_view kFindMarkersJa = "マーカー検出";
constexpr std::string_view kFindMarkersEn = "Find markers";

// A stored setting, or its default when it is missing or out of range.
int ReadSetting(const TIniFile& store, std::string_view key, int low, int high, int fallback) {
  const std::int32_t v = store.ReadValue(k::kTraceSection, key, std::int32_t(fallback));
  return v >= low && v <= high ? v : fallback;
}

}  // namespace

std::string TBench::TraceCaption(TTraceKind kind, bool japanese) {
  if (kind == TTraceKind::Markers) return std::string(japanese ? kFindMarkersJa : kFindMarkersEn);
  return std::string(japanese ? kTraceCurveJa : kTraceCurveEn);
}

TTraceSettings TBench::TraceSettings() const {
  using S = TTraceSettings;
  TTraceSettings s;
  s.Tolerance = ReadSetting(store_, k::kTraceTolerance, 0, S::kMaxTolerance, S::kDefaultTolerance);
  s.StepX = ReadSetting(store_, k::kTraceStep, 1, S::kMaxStepX, S::kDefaultStepX);
  s.Gap = ReadSetting(store_, k::kTraceGap, 0, S::kMaxGap, S::kDefaultGap);
  return s;
}

std::vector<TTracePoint> TBench::TracePreview(TTraceKind kind,
                                              const TTraceSettings& settings) const {
  // A spot beyond the picture reaches the tracer as one outside it, which
  // refuses it with its message.
  const auto pos = LastDownPosition();
  const int x = pos ? pos->first / Scale() : -1;
  const int y = pos ? pos->second / Scale() : -1;
  const bool japanese = IsJapanese();
  if (kind == TTraceKind::Markers) return FindMarkers(picture_, x, y, settings.Tolerance, japanese);
  return TraceCurve(picture_, x, y, settings, japanese);
}

void TBench::TraceCommand(TTraceKind kind, const TTraceSettings& settings) {
  const std::vector<TTracePoint> points = TracePreview(kind, settings);
  const auto pos = LastDownPosition();
  if (points.empty() || !pos) return;
  std::unique_ptr<TMeasuredPoints> line =
      MeasuredLine(points, Scale(), picture_.Width(), picture_.Height(), coefficients_,
                   data_.Standards.LogX, data_.Standards.LogY);

  store_.WriteValue(k::kTraceSection, k::kTraceTolerance, std::int32_t(settings.Tolerance));
  if (kind == TTraceKind::Curve) {
    store_.WriteValue(k::kTraceSection, k::kTraceStep, std::int32_t(settings.StepX));
    store_.WriteValue(k::kTraceSection, k::kTraceGap, std::int32_t(settings.Gap));
  }

  if (settings_.CommentArea || settings_.CommentColor)
    SetCommentText(ClickComment(pos->first, pos->second));
  line->Comment = comment_;
  line->Title = title_;
  line->Id = SendLine(*line, kPointKind);
  TLineTraced change{data_.Measured.Count(), TLineRecord::From(*line), lineMode_};
  data_.Measured.Add(std::move(line));
  lineMode_ = false;
  history_.Record(std::move(change));
  Repaint(benchlayer::Markers | benchlayer::Grid);
}

bool TBench::SetLastDownPixel(int x, int y) {
  if (!HasPicture() || !picture_.Contains(x, y)) return false;
  const std::int64_t scale = Scale();
  const std::int64_t m = Magnification();
  const std::int64_t posX = x * scale + scale / 2;
  const std::int64_t posY = y * scale + scale / 2;
  constexpr std::int64_t kReach = std::numeric_limits<int>::max();
  const auto inReach = [&](std::int64_t pos, std::int32_t scroll) {
    return pos >= scroll && (pos - scroll) * m <= kReach;
  };
  if (!inReach(posX, scrollX_) || !inReach(posY, scrollY_)) {
    // Scrolled to the spot, it lies within the page, or at its top-left
    // corner when the page is empty.
    scrollX_ = HorizontalScroll().Clamp(inReach(posX, scrollX_) ? scrollX_ : posX);
    scrollY_ = VerticalScroll().Clamp(inReach(posY, scrollY_) ? scrollY_ : posY);
    Repaint(benchlayer::View | benchlayer::ScrollBars);
  }
  lastDownX_ = static_cast<int>((posX - scrollX_) * m);
  lastDownY_ = static_cast<int>((posY - scrollY_) * m);
  return true;
}

void TBench::SetPreview(const std::vector<TTracePoint>& points) {
  if (points.empty() || picture_.Empty()) {
    if (!preview_) return;
    preview_.reset();
  } else {
    preview_ = MeasuredLine(points, Scale(), picture_.Width(), picture_.Height(), coefficients_,
                            data_.Standards.LogX, data_.Standards.LogY);
  }
  Repaint(benchlayer::Markers);
}

}  // namespace tracemill
