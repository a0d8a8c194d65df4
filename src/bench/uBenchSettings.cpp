#include "bench/uBenchSettings.h"

#include <cstdio>

#include "bench/uBenchKeys.h"
#include "common/uError.h"
#include "common/uNumber.h"
#include "common/uStrC.h"

namespace tracemill {

namespace k = benchkeys;

namespace {

constexpr std::uint32_t kColorBits = 0xFFFFFFu;
constexpr std::int32_t kMinPattern = -1;
constexpr std::int32_t kMaxPattern = kPresetShapeCount - 1;
constexpr std::int32_t kMaxCharset = 255;

void Line(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(value).append(k::kLineBreak);
}

std::string ColorText(std::uint32_t color) {
  char text[16];
  std::snprintf(text, sizeof text, "%c%06X", k::kHexPrefix, static_cast<unsigned>(color & kColorBits));
  return text;
}

std::uint32_t ReadColor(std::string_view key, std::string_view value) {
  return static_cast<std::uint32_t>(ReadInteger(key, value)) & kColorBits;
}

std::int32_t ReadInRange(std::string_view key, std::string_view value, std::int32_t low, std::int32_t high) {
  const std::int32_t v = ReadInteger(key, value);
  if (v < low || v > high)
    throw ConvertError(std::string(key) + ": " + std::to_string(v) + " is outside " + std::to_string(low) +
                       " .. " + std::to_string(high));
  return v;
}

using Apply = void (*)(TBenchSettings&, std::string_view key, std::string_view value);

struct Handler {
  std::string_view Key;
  Apply Action;
};

// One handler per key of the settings text.
const Handler kHandlers[] = {
    {k::kFontName, [](TBenchSettings& s, std::string_view, std::string_view v) { s.Font.Name = std::string(v); }},
    {k::kFontCharset,
     [](TBenchSettings& s, std::string_view key, std::string_view v) {
       s.Font.Charset = ReadInRange(key, v, 0, kMaxCharset);
     }},
    {k::kFontSize, [](TBenchSettings& s, std::string_view key, std::string_view v) { s.Font.Size = ReadInteger(key, v); }},
    {k::kFontColor,
     [](TBenchSettings& s, std::string_view key, std::string_view v) {
       s.Font.Color = static_cast<std::int32_t>(ReadColor(key, v));
     }},
    {k::kFontBold, [](TBenchSettings& s, std::string_view, std::string_view v) { s.Font.Bold = ReadBoolean(v); }},
    {k::kFontItalic, [](TBenchSettings& s, std::string_view, std::string_view v) { s.Font.Italic = ReadBoolean(v); }},
    {k::kFontUnderline,
     [](TBenchSettings& s, std::string_view, std::string_view v) { s.Font.Underline = ReadBoolean(v); }},
    {k::kFontStrikeout,
     [](TBenchSettings& s, std::string_view, std::string_view v) { s.Font.Strikeout = ReadBoolean(v); }},
    {k::kStandardColor,
     [](TBenchSettings& s, std::string_view key, std::string_view v) { s.Standard.Color = ReadColor(key, v); }},
    {k::kStandardPattern,
     [](TBenchSettings& s, std::string_view key, std::string_view v) {
       s.Standard.SetPattern(ReadInRange(key, v, kMinPattern, kMaxPattern));
     }},
    {k::kStandardBitmap,
     [](TBenchSettings& s, std::string_view, std::string_view v) { s.Standard.SetShape(TMarkerShape::FromText(v)); }},
    {k::kStandardVisible,
     [](TBenchSettings& s, std::string_view, std::string_view v) { s.StandardVisible = ReadBoolean(v); }},
    {k::kMeasuredColor,
     [](TBenchSettings& s, std::string_view key, std::string_view v) { s.Measured.Color = ReadColor(key, v); }},
    {k::kMeasuredPattern,
     [](TBenchSettings& s, std::string_view key, std::string_view v) {
       s.Measured.SetPattern(ReadInRange(key, v, kMinPattern, kMaxPattern));
     }},
    {k::kMeasuredBitmap,
     [](TBenchSettings& s, std::string_view, std::string_view v) { s.Measured.SetShape(TMarkerShape::FromText(v)); }},
    {k::kMeasuredVisible,
     [](TBenchSettings& s, std::string_view, std::string_view v) { s.MeasuredVisible = ReadBoolean(v); }},
    {k::kLineColor, [](TBenchSettings& s, std::string_view key, std::string_view v) { s.LineColor = ReadColor(key, v); }},
    {k::kLineWidth, [](TBenchSettings& s, std::string_view key, std::string_view v) { s.LineWidth = ReadInteger(key, v); }},
    {k::kMagnitude,
     [](TBenchSettings& s, std::string_view key, std::string_view v) { s.SetMagnitude(ReadInteger(key, v)); }},
    {k::kGridColor, [](TBenchSettings& s, std::string_view key, std::string_view v) { s.GridColor = ReadColor(key, v); }},
    {k::kCommentArea, [](TBenchSettings& s, std::string_view, std::string_view v) { s.CommentArea = ReadBoolean(v); }},
    {k::kCommentColor, [](TBenchSettings& s, std::string_view, std::string_view v) { s.CommentColor = ReadBoolean(v); }},
    {k::kStatusXo, [](TBenchSettings& s, std::string_view, std::string_view v) { s.StatusXo = ReadBoolean(v); }},
    {k::kStatusYo, [](TBenchSettings& s, std::string_view, std::string_view v) { s.StatusYo = ReadBoolean(v); }},
    {k::kStatusXv, [](TBenchSettings& s, std::string_view, std::string_view v) { s.StatusXv = ReadBoolean(v); }},
    {k::kStatusYv, [](TBenchSettings& s, std::string_view, std::string_view v) { s.StatusYv = ReadBoolean(v); }},
    {k::kStatusColor, [](TBenchSettings& s, std::string_view, std::string_view v) { s.StatusColor = ReadBoolean(v); }},
    {k::kRightMagnifier,
     [](TBenchSettings& s, std::string_view, std::string_view v) { s.RightMagnifier = ReadBoolean(v); }},
    {k::kRightLine, [](TBenchSettings& s, std::string_view, std::string_view v) { s.RightLine = ReadBoolean(v); }},
    {k::kRightDelete, [](TBenchSettings& s, std::string_view, std::string_view v) { s.RightDelete = ReadBoolean(v); }},
};

// A stored shape up to its first line break, so it stays one line of the text.
std::string_view OneLine(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

}  // namespace

void TBenchSettings::SetMagnitude(std::int32_t m) {
  if (m == 0)
    Magnitude = 5;
  else if (m >= 3 && m <= 10)
    Magnitude = m;
}

int TBenchSettings::VisibleStatusCount() const {
  return int(StatusXo) + int(StatusYo) + int(StatusXv) + int(StatusYv) + int(StatusColor);
}

int TBenchSettings::RightCount() const { return int(RightMagnifier) + int(RightLine) + int(RightDelete); }

std::string SettingsText(const TBenchSettings& s) {
  std::string out;
  Line(out, k::kFontName, s.Font.Name);
  Line(out, k::kFontCharset, IntToStr(s.Font.Charset));
  Line(out, k::kFontSize, IntToStr(s.Font.Size));
  Line(out, k::kFontColor, ColorText(static_cast<std::uint32_t>(s.Font.Color)));
  Line(out, k::kFontBold, BooleanText(s.Font.Bold));
  Line(out, k::kFontItalic, BooleanText(s.Font.Italic));
  Line(out, k::kFontUnderline, BooleanText(s.Font.Underline));
  Line(out, k::kFontStrikeout, BooleanText(s.Font.Strikeout));
  Line(out, k::kStandardColor, ColorText(s.Standard.Color));
  Line(out, k::kStandardPattern, IntToStr(s.Standard.Pattern));
  Line(out, k::kStandardBitmap, s.Standard.Shape.Text());
  Line(out, k::kStandardVisible, BooleanText(s.StandardVisible));
  Line(out, k::kMeasuredColor, ColorText(s.Measured.Color));
  Line(out, k::kMeasuredPattern, IntToStr(s.Measured.Pattern));
  Line(out, k::kMeasuredBitmap, s.Measured.Shape.Text());
  Line(out, k::kMeasuredVisible, BooleanText(s.MeasuredVisible));
  Line(out, k::kLineColor, ColorText(s.LineColor));
  Line(out, k::kLineWidth, IntToStr(s.LineWidth));
  Line(out, k::kMagnitude, IntToStr(s.Magnitude));
  Line(out, k::kGridColor, ColorText(s.GridColor));
  Line(out, k::kCommentArea, BooleanText(s.CommentArea));
  Line(out, k::kCommentColor, BooleanText(s.CommentColor));
  Line(out, k::kStatusXo, BooleanText(s.StatusXo));
  Line(out, k::kStatusYo, BooleanText(s.StatusYo));
  Line(out, k::kStatusXv, BooleanText(s.StatusXv));
  Line(out, k::kStatusYv, BooleanText(s.StatusYv));
  Line(out, k::kStatusColor, BooleanText(s.StatusColor));
  Line(out, k::kRightMagnifier, BooleanText(s.RightMagnifier));
  Line(out, k::kRightLine, BooleanText(s.RightLine));
  Line(out, k::kRightDelete, BooleanText(s.RightDelete));
  return out;
}

void ApplySettingsText(std::string_view text, TBenchSettings& settings) {
  for (std::string_view line : TextLines(text)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    const std::string_view value = line.substr(eq + 1);
    for (const Handler& h : kHandlers)
      if (SameTextAscii(key, h.Key)) {
        h.Action(settings, h.Key, value);
        break;
      }
  }
}

std::string DefaultSettingsText(const TIniFile& store) {
  std::string out;
  for (const benchkeys::TDefaultEntry& e : k::kDefaults) {
    switch (e.Kind) {
      case k::TDefaultKind::Color:
      case k::TDefaultKind::Integer:
      case k::TDefaultKind::Magnitude:
        Line(out, e.Key, IntToStr(store.ReadValue(e.Section, e.Name, std::int32_t(e.Default))));
        break;
      case k::TDefaultKind::Boolean:
        Line(out, e.Key, BooleanText(store.ReadValue(e.Section, e.Name, e.Default != 0)));
        break;
      case k::TDefaultKind::Bitmap: {
        const std::string shape = store.ReadValue(e.Section, e.Name, std::string_view());
        if (!OneLine(shape).empty()) Line(out, e.Key, OneLine(shape));
        break;
      }
    }
  }
  return out;
}

std::vector<std::string_view> TextLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  return lines;
}

bool ReadBoolean(std::string_view value) { return SameTextAscii(value, "TRUE"); }

std::string_view BooleanText(bool value) { return value ? k::kTrue : k::kFalse; }

std::int32_t ReadInteger(std::string_view key, std::string_view value) {
  const auto v = TryStrToInt(value);
  if (!v) throw ConvertError(std::string(key) + ": '" + std::string(value) + "' is not a valid integer value");
  return *v;
}

}  // namespace tracemill
