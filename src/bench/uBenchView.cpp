#include "bench/uBenchView.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace tracemill {

namespace {

constexpr std::int64_t kMaxPosition = std::numeric_limits<std::int32_t>::max();
constexpr int kMarkerHalf = 2;  // a marker reaches 2 position units each side of its point

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// The picture's source and destination rectangles: the first visible picture
// column and row come from the scroll positions, the part of the first
// position unit that lies left of (above) the view shifts the destination,
// and the last column (row) is the first one that reaches the view's last
// pixel.
TPictureDraw PictureDraw(const TViewParams& v) {
  TPictureDraw d;
  const std::int64_t s = v.Scale;
  const std::int64_t sm = s * v.Magnification;
  d.PixelSize = static_cast<int>(sm);
  auto axis = [&](std::int64_t scroll, std::int64_t size, std::int64_t client, int& first, int& last, int& from,
                  int& to) {
    const std::int64_t f = scroll / s;
    std::int64_t l = size;
    const std::int64_t start = -(scroll % s) * v.Magnification;
    std::int64_t end = (l - f) * sm + start;
    if (end > client - 1) {
      end = client - 1;
      l = FloorDiv(end - start + sm - 1, sm) + f;
      end = (l - f) * sm + start;
    }
    first = static_cast<int>(f);
    last = static_cast<int>(std::max(l, f));
    from = static_cast<int>(start);
    to = static_cast<int>(std::max(end, start));
  };
  axis(v.ScrollX, v.PictureWidth, v.ClientWidth, d.Source.Left, d.Source.Right, d.Dest.Left, d.Dest.Right);
  axis(v.ScrollY, v.PictureHeight, v.ClientHeight, d.Source.Top, d.Source.Bottom, d.Dest.Top, d.Dest.Bottom);
  d.Visible = v.ClientWidth > 0 && v.ClientHeight > 0 && d.Source.Right > d.Source.Left &&
              d.Source.Bottom > d.Source.Top;
  return d;
}

void GridLines(const TViewParams& v, const TPictureDraw& p, std::vector<TGridLine>& out) {
  const int m = v.Magnification;
  if (m <= 1 || !p.Visible) return;
  for (int x = p.Dest.Left; x <= p.Dest.Right; x += m)
    if (x >= 0 && x <= v.ClientWidth) out.push_back({x, p.Dest.Top, x, p.Dest.Bottom});
  for (int y = p.Dest.Top; y <= p.Dest.Bottom; y += m)
    if (y >= 0 && y <= v.ClientHeight) out.push_back({p.Dest.Left, y, p.Dest.Right, y});
}

// A stored point relative to the view, in position units.
struct ViewPoint {
  std::int64_t X;
  std::int64_t Y;
};

template <typename Point>
ViewPoint InView(const TViewParams& v, const Point& p) {
  const auto [x, y] = PositionAtScale(p.PosX, p.PosY, p.Width, v.ExtentX());
  return {std::int64_t(x) - v.ScrollX, std::int64_t(y) - v.ScrollY};
}

bool MarkerVisible(const TViewParams& v, ViewPoint p) {
  const std::int64_t m = v.Magnification;
  return p.X + 3 >= 0 && p.Y + 3 >= 0 && (p.X - kMarkerHalf) * m <= v.ClientWidth &&
         (p.Y - kMarkerHalf) * m <= v.ClientHeight;
}

TMarkerDraw Marker(const TViewParams& v, ViewPoint p, const TMarkerStyle& style) {
  const std::int64_t m = v.Magnification;
  return {static_cast<int>((p.X - kMarkerHalf) * m), static_cast<int>((p.Y - kMarkerHalf) * m),
          static_cast<int>(m), style.Color, style.Shape};
}

// Cuts polylines to a rectangle around the view (Liang-Barsky per segment).
// Points that need no cut are passed on exactly.
class PolylineClipper {
 public:
  PolylineClipper(double left, double top, double right, double bottom, std::vector<std::vector<TPointF>>& out)
      : left_(left), top_(top), right_(right), bottom_(bottom), out_(out) {}

  void Segment(TPointF a, TPointF b) {
    if (a == b) return;  // a zero-length segment draws nothing
    double t0 = 0, t1 = 1;
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    if (!Clip(-dx, a.X - left_, t0, t1) || !Clip(dx, right_ - a.X, t0, t1) || !Clip(-dy, a.Y - top_, t0, t1) ||
        !Clip(dy, bottom_ - a.Y, t0, t1)) {
      Finish();
      return;
    }
    const TPointF from = t0 > 0 ? TPointF{a.X + t0 * dx, a.Y + t0 * dy} : a;
    const TPointF to = t1 < 1 ? TPointF{a.X + t1 * dx, a.Y + t1 * dy} : b;
    if (t0 > 0) Finish();
    if (run_.empty()) run_.push_back(from);
    run_.push_back(to);
    if (t1 < 1) Finish();
  }

  void Finish() {
    if (run_.size() >= 2) out_.push_back(std::move(run_));
    run_.clear();
  }

 private:
  static bool Clip(double p, double q, double& t0, double& t1) {
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      if (r > t0) t0 = r;
    } else {
      if (r < t0) return false;
      if (r < t1) t1 = r;
    }
    return true;
  }

  double left_, top_, right_, bottom_;
  std::vector<std::vector<TPointF>>& out_;
  std::vector<TPointF> run_;
};

// The markers and polyline parts of one line that reach into the view, added
// to out unless there are none.
void AddLine(const TViewParams& view, const TBenchSettings& settings, int lineWidth, const TMeasuredPoints& line,
             std::vector<TLineDraw>& out) {
  const std::int64_t m = view.Magnification;
  const double margin = double(lineWidth) + 2;
  TLineDraw draw;
  PolylineClipper clipper(-margin, -margin, view.ClientWidth + margin, view.ClientHeight + margin, draw.Polylines);
  TPointF previous;
  bool first = true;
  for (int j = 0; j < line.Count(); ++j) {
    const TMeasuredPoint* p = line.Item(j);
    if (!p) continue;
    const ViewPoint vp = InView(view, *p);
    if (MarkerVisible(view, vp)) draw.Markers.push_back(Marker(view, vp, settings.Measured));
    if (lineWidth <= 0) continue;
    const TPointF spot{double(vp.X * m + m / 2), double(vp.Y * m + m / 2)};
    if (!first) clipper.Segment(previous, spot);
    previous = spot;
    first = false;
  }
  clipper.Finish();
  if (!draw.Markers.empty() || !draw.Polylines.empty()) out.push_back(std::move(draw));
}

}  // namespace

std::int32_t TScrollBarState::Limit() const {
  const std::int64_t limit = std::int64_t(Max) - PageSize + 1;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(limit, 0, kMaxPosition));
}

std::int32_t TScrollBarState::Clamp(std::int64_t position) const {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 0, Limit()));
}

TScrollBarState MakeScrollBar(std::int32_t extent, std::int32_t clientSize, std::int32_t magnification,
                              std::int32_t position) {
  TScrollBarState bar;
  bar.Max = extent;
  bar.PageSize = magnification > 0 ? std::max(clientSize, 0) / magnification : 0;
  bar.LargeChange = std::max(bar.PageSize - 1, 1);
  bar.Position = bar.Clamp(position);
  return bar;
}

int MaxScaleIndexFor(std::int64_t pictureWidth, std::int64_t pictureHeight) {
  int index = 0;
  std::int64_t scale = 3;
  while (index < 3 && pictureWidth * scale <= kMaxPosition && pictureHeight * scale <= kMaxPosition) {
    ++index;
    scale *= 3;
  }
  return index;
}

std::optional<std::pair<std::int32_t, std::int32_t>> ScreenToPosition(const TViewParams& view, int x, int y) {
  if (x < 0 || y < 0 || view.Magnification <= 0) return std::nullopt;
  const std::int64_t px = std::int64_t(x) / view.Magnification + view.ScrollX;
  const std::int64_t py = std::int64_t(y) / view.Magnification + view.ScrollY;
  if (px >= view.ExtentX() || py >= view.ExtentY()) return std::nullopt;
  return std::pair{static_cast<std::int32_t>(px), static_cast<std::int32_t>(py)};
}

TViewGeometry ComputeViewGeometry(const TViewParams& view, const TBenchSettings& settings, const TDataSet& data,
                                  bool standardMode, const TMeasuredPoints* preview) {
  TViewGeometry g;
  g.LineColor = settings.LineColor;
  // A pen wider than the view covers it whole; a wider one (from a damaged
  // text) would only make the drawing slow.
  g.LineWidth = std::clamp(settings.LineWidth, 0, std::max({view.ClientWidth, view.ClientHeight, 1}));
  g.GridColor = settings.GridColor;
  if (view.PictureWidth <= 0 || view.PictureHeight <= 0 || view.Magnification <= 0) return g;
  g.Picture = PictureDraw(view);

  if (standardMode || settings.StandardVisible) {
    for (int i = 0; i < data.Standards.Count(); ++i) {
      const TStandardPoint* p = data.Standards.Item(i);
      if (!p) continue;
      const ViewPoint vp = InView(view, *p);
      if (MarkerVisible(view, vp)) g.StandardMarkers.push_back(Marker(view, vp, settings.Standard));
    }
  }

  if (!standardMode || settings.MeasuredVisible) {
    for (int i = 0; i < data.Measured.Count(); ++i)
      if (const TMeasuredPoints* line = data.Measured.Item(i)) AddLine(view, settings, g.LineWidth, *line, g.Lines);
  }
  if (preview) AddLine(view, settings, g.LineWidth, *preview, g.Preview);

  GridLines(view, g.Picture, g.Grid);
  return g;
}

}  // namespace tracemill
