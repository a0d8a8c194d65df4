#pragma once
// Small conversions between the core's plain types and Qt's: texts, colours,
// fonts, open-dialog filters and window placements.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>

#include "settings/uIniFile.h"

class QWidget;

namespace tracemill {

inline QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string FromQt(const QString& text) { return text.toStdString(); }

// A colour 0x00BBGGRR as the core writes it.
QColor ColorOf(std::uint32_t bgr);
std::uint32_t ColorFrom(const QColor& color);

// The font of a font record. The size is bounded to kMinFontPoints ..
// kMaxFontPoints, so that a damaged settings text cannot ask for an
// impossible font; a record without a face name keeps the base font's face.
inline constexpr int kMinFontPoints = 1;
inline constexpr int kMaxFontPoints = 256;
QFont MakeFont(const TFontRecord& record, const QFont& base);

// The open-dialog filter "Desc|*.a;*.b|Desc2|*.c" in the form of the Qt file
// dialog: one entry per description, "Desc (*.a *.b)". A description without
// its pattern list (an odd last item) is dropped. Show the list with
// QFileDialog::HideNameFilterDetails, so that each entry reads as the
// description alone.
QStringList QtNameFilters(std::string_view filter);

// The window's placement record: current bounds, the normal (restored)
// rectangle and the state; a hidden window counts as normal.
TWindowPlacement PlacementOf(const QWidget& window);
// Gives the window the record's normal rectangle and, when the record says
// so, maximises it. A minimised state is not applied (the caller decides
// whether the window shows).
void ApplyPlacement(QWidget& window, const TWindowPlacement& placement);

}  // namespace tracemill
