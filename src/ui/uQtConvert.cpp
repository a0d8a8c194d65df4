#include "ui/uQtConvert.h"

#include <QWidget>
#include <algorithm>

namespace tracemill {

QColor ColorOf(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                static_cast<int>((bgr >> 16) & 0xFFu));
}

std::uint32_t ColorFrom(const QColor& color) {
  return static_cast<std::uint32_t>(color.red()) | (static_cast<std::uint32_t>(color.green()) << 8) |
         (static_cast<std::uint32_t>(color.blue()) << 16);
}

QFont MakeFont(const TFontRecord& record, const QFont& base) {
  QFont font(base);
  if (!record.Name.empty()) font.setFamilies({ToQt(record.Name)});
  font.setPointSize(std::clamp(record.Size, kMinFontPoints, kMaxFontPoints));
  font.setBold(record.Bold);
  font.setItalic(record.Italic);
  font.setUnderline(record.Underline);
  font.setStrikeOut(record.Strikeout);
  if (record.Pitch == TFontPitch::Fixed) font.setFixedPitch(true);
  return font;
}

QStringList QtNameFilters(std::string_view filter) {
  const QStringList items = ToQt(filter).split(QLatin1Char('|'));
  QStringList result;
  for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
    QString patterns = items[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    result << items[i] + QStringLiteral(" (") + patterns.simplified() + QLatin1Char(')');
  }
  return result;
}

TWindowPlacement PlacementOf(const QWidget& window) {
  TWindowPlacement p;
  const QRect current = window.geometry();
  const QRect normal = window.isMaximized() || window.isMinimized() ? window.normalGeometry() : current;
  p.Left = current.left();
  p.Top = current.top();
  p.Width = current.width();
  p.Height = current.height();
  p.Sizeable = true;
  p.HasRestoredRect = true;
  p.RestoredLeft = normal.left();
  p.RestoredTop = normal.top();
  p.RestoredWidth = normal.width();
  p.RestoredHeight = normal.height();
  if (window.isMaximized())
    p.State = TWindowState::Maximized;
  else if (window.isMinimized())
    p.State = TWindowState::Minimized;
  else
    p.State = TWindowState::Normal;
  return p;
}

void ApplyPlacement(QWidget& window, const TWindowPlacement& placement) {
  const TWindowPlacement& p = placement;
  const int width = p.HasRestoredRect ? p.RestoredWidth : p.Width;
  const int height = p.HasRestoredRect ? p.RestoredHeight : p.Height;
  const int left = p.HasRestoredRect ? p.RestoredLeft : p.Left;
  const int top = p.HasRestoredRect ? p.RestoredTop : p.Top;
  Qt::WindowStates states = window.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
  window.setWindowState(states);
  if (width > 0 && height > 0) window.setGeometry(left, top, width, height);
  if (p.State == TWindowState::Maximized) window.setWindowState(states | Qt::WindowMaximized);
}

}  // namespace tracemill
