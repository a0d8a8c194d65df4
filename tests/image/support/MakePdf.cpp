#include "MakePdf.h"

#include <QtCore/QBuffer>
#include <QtCore/QByteArray>
#include <QtCore/QPointF>
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtGui/QGuiApplication>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPdfWriter>
#include <QtGui/QPen>
#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

namespace tracemill::testing {

namespace {

// Text needs the font database, which needs an application object.
void EnsureApplication() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "tracemill-tests";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static const auto app = std::make_unique<QGuiApplication>(argc, argv);
}

void DrawLine(QPainter& painter, const TPlotLine& line, const QColor& colour) {
  painter.setPen(QPen(colour, line.width, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(QPointF(line.x0, line.y0), QPointF(line.x1, line.y1));
}

void DrawPlot(QPainter& painter, int curvePoints) {
  const double left = 72, top = 72, right = kPage2Width - 72, bottom = kPage2Height - 144;
  painter.setPen(QPen(QColor(200, 200, 200), 0.5));
  for (int i = 1; i < 10; ++i) {
    const double x = left + (right - left) * i / 10, y = top + (bottom - top) * i / 10;
    painter.drawLine(QPointF(x, top), QPointF(x, bottom));
    painter.drawLine(QPointF(left, y), QPointF(right, y));
  }
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(QRectF(QPointF(left, top), QPointF(right, bottom)));
  painter.setFont(QFont("Sans", 8));
  for (int i = 0; i <= 10; ++i) {
    painter.drawText(QPointF(left + (right - left) * i / 10 - 4, bottom + 12), QString::number(i));
    painter.drawText(QPointF(left - 24, bottom - (bottom - top) * i / 10 + 3),
                     QString::number(i * 10));
  }
  QPainterPath curve;
  for (int i = 0; i < curvePoints; ++i) {
    const double t = double(i) / std::max(1, curvePoints - 1);
    const QPointF p(left + (right - left) * t,
                    bottom - (bottom - top) * (0.5 + 0.4 * std::sin(6.283 * 3 * t)));
    if (i == 0)
      curve.moveTo(p);
    else
      curve.lineTo(p);
  }
  painter.setPen(QPen(QColor(0, 0, 160), 1.5));
  painter.drawPath(curve);
  DrawLine(painter, kPage2Line, QColor(255, 0, 0));
  painter.setPen(Qt::black);
  painter.setFont(QFont("Sans", 12));
  painter.drawText(QPointF(left, kPage2Height - 72), "Fig. 2  y = sin x");
}

}  // namespace

std::string MakePlotPdf(int curvePoints) {
  EnsureApplication();
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);  // painter units are points
    writer.setPageSize(QPageSize(QSizeF(kPage1Width, kPage1Height), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle("Tracemill test plot");
    QPainter painter;
    if (!painter.begin(&writer)) throw std::runtime_error("cannot start the PDF writer");
    DrawLine(painter, kPage1Line, Qt::black);
    DrawLine(painter, kPage1Diagonal, Qt::black);
    painter.setFont(QFont("Sans", 10));
    painter.drawText(QPointF(20, 30), "Fig. 1");
    writer.setPageSize(QPageSize(QSizeF(kPage2Width, kPage2Height), QPageSize::Point));
    if (!writer.newPage()) throw std::runtime_error("cannot start page 2");
    DrawPlot(painter, curvePoints);
    painter.end();
  }
  return bytes.toStdString();
}

std::string MakeBlankPdf(double width, double height) {
  EnsureApplication();
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) throw std::runtime_error("cannot start the PDF writer");
  }
  return bytes.toStdString();
}

std::string MakeNumberedPdf(int pages, double width, double height) {
  EnsureApplication();
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) throw std::runtime_error("cannot start the PDF writer");
    painter.setFont(QFont("Sans", 36));
    for (int page = 1; page <= pages; ++page) {
      if (page > 1 && !writer.newPage()) throw std::runtime_error("cannot start a page");
      painter.drawText(QRectF(0, 0, width, height), Qt::AlignCenter, QString::number(page));
    }
    painter.end();
  }
  return bytes.toStdString();
}

}  // namespace tracemill::testing
