#pragma once
// Charts drawn with Qt for the tracing tests: a white plot with a frame, grid
// lines and axis labels, anti-aliased curves and markers, optionally turned
// like a crooked scan and saved as JPEG, each drawn item with its true
// position in picture pixels beside it.

#include <QtGui/QColor>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QTransform>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/uTrace.h"
#include "image/uBitmap.h"

namespace tracemill::testing {

enum class TMarkerShape { Circle, Square, Diamond, Ring };

class TChart {
 public:
  // A width x height chart; `turn` degrees rotate everything drawn about the
  // picture's centre, as in a crooked scan.
  TChart(int width, int height, double turn = 0);
  ~TChart();

  // Light grid lines every `spacing` pixels, a black frame inset by `margin`
  // pixels and numbers along the two axes.
  void Axes(int margin, int spacing);
  // The curve y = f(x) for x from x0 to x1 (chart coordinates before the
  // turn), with a pen `width` pixels wide; dashes as Qt's dash pattern in
  // pen widths. Returns the true centre line in picture pixels.
  std::vector<TTracePoint> Curve(const std::function<double(double)>& f, double x0, double x1,
                                 QColor colour, double width, const std::vector<double>& dashes = {});
  // A marker `size` pixels across; returns its true centre in picture pixels.
  TTracePoint Marker(double x, double y, TMarkerShape shape, QColor colour, double size);
  void Text(double x, double y, const std::string& text, QColor colour);

  TTracePoint Map(double x, double y) const;
  TBitmap Picture();
  // The picture after a round trip through a JPEG file of the given quality.
  TBitmap Jpeg(int quality);

 private:
  QImage image_;
  std::unique_ptr<QPainter> painter_;
  QTransform turn_;
};

// Distance from p to the nearest point of the polyline.
double DistanceTo(const TTracePoint& p, const std::vector<TTracePoint>& line);

}  // namespace tracemill::testing
