// Fonts and window placements in the settings store.

#include "settings/uIniFile.h"

#include <algorithm>
#include <cstdint>

#include "settings/uEnvironment.h"

namespace tracemill {

namespace {

// Font and placement keys.
constexpr std::string_view kFontJapanese = "\\Font\\Japanese";
constexpr std::string_view kFontEnglish = "\\Font\\English";
constexpr std::string_view kFontName = "Name";
constexpr std::string_view kFontCharset = "Charset";
constexpr std::string_view kFontSize = "Size";
constexpr std::string_view kFontColor = "Color";
constexpr std::string_view kFontPitch = "Pitch";
constexpr std::string_view kFontBold = "Bold";
constexpr std::string_view kFontItalic = "Italic";
constexpr std::string_view kFontUnderline = "Underline";
constexpr std::string_view kFontStrikeout = "Strikeout";
constexpr std::string_view kDefaultFontJapanese = "ＭＳ Ｐゴシック";
constexpr std::int32_t kDefaultCharsetJapanese = 128;
constexpr std::string_view kDefaultFontEnglish = "Arial";
constexpr std::int32_t kDefaultCharsetEnglish = 0;

constexpr std::string_view kLeft = "Left";
constexpr std::string_view kTop = "Top";
constexpr std::string_view kWidth = "Width";
constexpr std::string_view kHeight = "Height";
constexpr std::string_view kState = "State";
constexpr std::string_view kStateNormal = "Normal";
constexpr std::string_view kStateMinimized = "Minimized";
constexpr std::string_view kStateMaximized = "Maximized";

}  // namespace


void TIniFile::WriteFont(std::string_view section, const TFontRecord& font) {
  const std::string s = std::string(section) + std::string(IsJapanese() ? kFontJapanese : kFontEnglish);
  WriteValue(s, kFontName, font.Name);
  WriteValue(s, kFontCharset, font.Charset);
  WriteValue(s, kFontSize, font.Size);
  WriteValue(s, kFontColor, font.Color);
  WriteValue(s, kFontPitch, static_cast<std::int32_t>(font.Pitch));
  WriteValue(s, kFontBold, font.Bold);
  WriteValue(s, kFontItalic, font.Italic);
  WriteValue(s, kFontUnderline, font.Underline);
  WriteValue(s, kFontStrikeout, font.Strikeout);
}

void TIniFile::ReadFont(std::string_view section, TFontRecord& font) const {
  const bool japanese = IsJapanese();
  const std::string s = std::string(section) + std::string(japanese ? kFontJapanese : kFontEnglish);
  std::string name = ReadValue(s, kFontName, std::string_view());
  if (name.empty()) {
    font.Name = std::string(japanese ? kDefaultFontJapanese : kDefaultFontEnglish);
    font.Charset = japanese ? kDefaultCharsetJapanese : kDefaultCharsetEnglish;
    return;
  }
  font.Name = std::move(name);
  const std::int32_t charset = ReadValue(s, kFontCharset, font.Charset);
  if (charset >= 0 && charset <= 255) font.Charset = charset;
  font.Size = ReadValue(s, kFontSize, font.Size);
  font.Color = ReadValue(s, kFontColor, font.Color);
  const std::int32_t pitch = ReadValue(s, kFontPitch, static_cast<std::int32_t>(font.Pitch));
  if (pitch >= 0 && pitch <= 2) font.Pitch = static_cast<TFontPitch>(pitch);
  font.Bold = ReadValue(s, kFontBold, font.Bold);
  font.Italic = ReadValue(s, kFontItalic, font.Italic);
  font.Underline = ReadValue(s, kFontUnderline, font.Underline);
  font.Strikeout = ReadValue(s, kFontStrikeout, font.Strikeout);
}

void TIniFile::WritePlacement(const TWindowPlacement& window, std::string_view section) {
  if (!window.HasRestoredRect) return;
  if (window.Sizeable) {
    WriteValue(section, kWidth, static_cast<std::int32_t>(window.RestoredWidth));
    WriteValue(section, kHeight, static_cast<std::int32_t>(window.RestoredHeight));
  }
  WriteValue(section, kLeft, static_cast<std::int32_t>(window.RestoredLeft));
  WriteValue(section, kTop, static_cast<std::int32_t>(window.RestoredTop));
  std::string_view state = kStateNormal;
  if (window.State == TWindowState::Minimized) state = kStateMinimized;
  if (window.State == TWindowState::Maximized) state = kStateMaximized;
  WriteValue(section, kState, state);
}

void TIniFile::ReadPlacement(TWindowPlacement& window, std::string_view section, int screenWidth,
                             int screenHeight) const {
  // The offset between the window's coordinates and those of its restored
  // rectangle (work area against screen), which the stored values lack.
  const std::int64_t offsetX = window.HasRestoredRect ? std::int64_t(window.Left) - window.RestoredLeft : 0;
  const std::int64_t offsetY = window.HasRestoredRect ? std::int64_t(window.Top) - window.RestoredTop : 0;
  std::int64_t left = ReadValue(section, kLeft, static_cast<std::int32_t>(window.Left)) + offsetX;
  std::int64_t top = ReadValue(section, kTop, static_cast<std::int32_t>(window.Top)) + offsetY;
  if (window.Sizeable) {
    window.Width = ReadValue(section, kWidth, static_cast<std::int32_t>(window.Width));
    window.Height = ReadValue(section, kHeight, static_cast<std::int32_t>(window.Height));
  }
  // Keep the window on the screen.
  if (left > std::int64_t(screenWidth) - window.Width) left = std::int64_t(screenWidth) - window.Width;
  if (left < 0) left = 0;
  if (top > std::int64_t(screenHeight) - window.Height) top = std::int64_t(screenHeight) - window.Height;
  if (top < 0) top = 0;
  window.Left = static_cast<int>(std::min<std::int64_t>(left, INT32_MAX));
  window.Top = static_cast<int>(std::min<std::int64_t>(top, INT32_MAX));
  const std::string state = ReadValue(section, kState, kStateNormal);
  if (state == kStateMinimized)
    window.State = TWindowState::Minimized;
  else if (state == kStateMaximized)
    window.State = TWindowState::Maximized;
  else
    window.State = TWindowState::Normal;
}
}  // namespace tracemill
