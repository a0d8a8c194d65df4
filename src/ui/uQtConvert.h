#pragma once
// Small conversions between the core's plain types and Qt's: texts and
// window placements. (Fonts, colours and dialog filters: uOptionDialog.h.)

#include <QString>
#include <string>
#include <string_view>

#include "settings/uIniFile.h"

class QWidget;

namespace tracemill {

inline QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string FromQt(const QString& text) { return text.toStdString(); }

// The window's placement record: current bounds, the normal (restored)
// rectangle and the state; a hidden window counts as normal.
TWindowPlacement PlacementOf(const QWidget& window);
// Gives the window the record's normal rectangle and, when the record says
// so, maximises it. A minimised state is not applied (the caller decides
// whether the window shows).
void ApplyPlacement(QWidget& window, const TWindowPlacement& placement);

}  // namespace tracemill
