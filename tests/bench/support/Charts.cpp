#include "Charts.h"

#include <QtCore/QBuffer>
#include <QtGui/QGuiApplication>
#include <QtGui/QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "image/uJpeg.h"

namespace tracemill::testing {

namespace {

// Text needs fonts, and fonts need an application object.
void NeedApplication() {
  static int argc = 1;
  static char name[] = "trace_tests";
  static char* argv[] = {name, nullptr};
  if (!QGuiApplication::instance()) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
  }
}

}  // namespace

TChart::TChart(int width, int height, double turn) : image_(width, height, QImage::Format_RGB32) {
  NeedApplication();
  image_.fill(Qt::white);
  turn_.translate(width / 2.0, height / 2.0).rotate(turn).translate(-width / 2.0, -height / 2.0);
  painter_ = std::make_unique<QPainter>(&image_);
  painter_->setRenderHint(QPainter::Antialiasing);
  painter_->setRenderHint(QPainter::TextAntialiasing);
  painter_->setTransform(turn_);
}

TChart::~TChart() = default;

TTracePoint TChart::Map(double x, double y) const {
  const QPointF p = turn_.map(QPointF(x, y));
  return {p.x(), p.y()};
}

void TChart::Axes(int margin, int spacing) {
  const int w = image_.width(), h = image_.height();
  painter_->setPen(QPen(QColor(200, 200, 200), 1));
  for (int x = margin + spacing; x < w - margin; x += spacing) painter_->drawLine(QPointF(x + 0.5, margin), QPointF(x + 0.5, h - margin));
  for (int y = h - margin - spacing; y > margin; y -= spacing) painter_->drawLine(QPointF(margin, y + 0.5), QPointF(w - margin, y + 0.5));
  painter_->setPen(QPen(Qt::black, 1.5));
  painter_->drawRect(QRectF(margin, margin, w - 2 * margin, h - 2 * margin));
  for (int x = margin, n = 0; x < w - margin; x += spacing, ++n) Text(x - 6, h - margin + 16, std::to_string(n), Qt::black);
  for (int y = h - margin, n = 0; y > margin; y -= spacing, ++n) Text(margin - 28, y + 5, std::to_string(n * 10), Qt::darkGray);
}

std::vector<TTracePoint> TChart::Curve(const std::function<double(double)>& f, double x0, double x1,
                                       QColor colour, double width, const std::vector<double>& dashes) {
  QPainterPath path;
  std::vector<TTracePoint> line;
  for (double x = x0;; x = std::min(x + 0.25, x1)) {
    const double y = f(x);
    if (line.empty()) path.moveTo(x, y);
    else path.lineTo(x, y);
    line.push_back(Map(x, y));
    if (x >= x1) break;
  }
  QPen pen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
  if (!dashes.empty()) pen.setDashPattern(QList<qreal>(dashes.begin(), dashes.end()));
  painter_->setPen(pen);
  painter_->setBrush(Qt::NoBrush);
  painter_->drawPath(path);
  return line;
}

TTracePoint TChart::Marker(double x, double y, TMarkerShape shape, QColor colour, double size) {
  const double r = size / 2;
  painter_->setPen(shape == TMarkerShape::Ring ? QPen(colour, 2) : Qt::NoPen);
  painter_->setBrush(shape == TMarkerShape::Ring ? QBrush(Qt::NoBrush) : QBrush(colour));
  switch (shape) {
    case TMarkerShape::Circle:
    case TMarkerShape::Ring: painter_->drawEllipse(QPointF(x, y), r, r); break;
    case TMarkerShape::Square: painter_->drawRect(QRectF(x - r, y - r, size, size)); break;
    case TMarkerShape::Diamond: {
      const QPointF corners[] = {{x, y - r}, {x + r, y}, {x, y + r}, {x - r, y}};
      painter_->drawPolygon(corners, 4);
      break;
    }
  }
  return Map(x, y);
}

void TChart::Text(double x, double y, const std::string& text, QColor colour) {
  painter_->setPen(colour);
  painter_->drawText(QPointF(x, y), QString::fromStdString(text));
}

TBitmap TChart::Picture() {
  painter_->end();
  painter_->begin(&image_);  // later drawing goes on
  painter_->setRenderHint(QPainter::Antialiasing);
  painter_->setTransform(turn_);
  TBitmap b = TBitmap::Uninitialized(image_.width(), image_.height());
  for (int y = 0; y < image_.height(); ++y) std::memcpy(b.Row(y), image_.constScanLine(y), b.BytesPerLine());
  return b;
}

TBitmap TChart::Jpeg(int quality) {
  Picture();  // flushes the painter
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image_.save(&buffer, "JPG", quality)) throw std::runtime_error("Qt cannot write JPEG");
  return DecodeJpeg(std::string_view(bytes.constData(), std::size_t(bytes.size())), TImageLimits{});
}

double DistanceTo(const TTracePoint& p, const std::vector<TTracePoint>& line) {
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 1; i < line.size(); ++i) {
    const TTracePoint a = line[i - 1], b = line[i];
    const double dx = b.X - a.X, dy = b.Y - a.Y, length2 = dx * dx + dy * dy;
    const double t = length2 > 0 ? std::clamp(((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2, 0.0, 1.0) : 0;
    best = std::min(best, std::hypot(p.X - a.X - t * dx, p.Y - a.Y - t * dy));
  }
  return best;
}

}  // namespace tracemill::testing
