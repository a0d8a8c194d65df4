#include "bench/uOptionText.h"

#include "bench/uBenchKeys.h"
#include "common/uNumber.h"
#include "common/uStrC.h"

namespace tracemill {

namespace k = benchkeys;

namespace {

// The first magnification item stands in for a value the list does not hold.
constexpr std::int32_t kFirstMagnitude = 10;

bool IsKey(std::string_view key, std::string_view name) { return SameTextAscii(key, name); }

void AppendLine(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(value).append(k::kLineBreak);
}

}  // namespace

int ItemIndex(std::span<const std::string_view> items, std::int32_t value) {
  const std::string text = IntToStr(value);
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i] == text) return static_cast<int>(i);
  return -1;
}

void LoadOptionText(std::string_view text, TOptionValues& values) {
  TBenchSettings& s = values.Settings;
  for (std::string_view line : TextLines(text)) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key = Trim(line.substr(0, eq));
    const std::string_view value = line.substr(eq + 1);
    if (IsKey(key, k::kStandardPattern)) {
      s.Standard.SetShape(PresetShape(ReadInteger(k::kStandardPattern, value)));
    } else if (IsKey(key, k::kMeasuredPattern)) {
      s.Measured.SetShape(PresetShape(ReadInteger(k::kMeasuredPattern, value)));
    } else if (IsKey(key, k::kMagnitude)) {
      const std::int32_t m = ReadInteger(k::kMagnitude, value);
      s.Magnitude = ItemIndex(kMagnitudeItems, m) >= 0 ? m : kFirstMagnitude;
    } else if (IsKey(key, k::kOtherWindow) || IsKey(key, k::kDefault)) {
      // Written by the dialog only: both check boxes start cleared.
    } else {
      ApplySettingsText(line, s);
    }
  }
}

std::string OptionText(const TOptionValues& values) {
  const std::string settings = SettingsText(values.Settings);
  std::string out;
  for (std::string_view line : TextLines(settings)) {
    const std::string_view key = line.substr(0, line.find('='));
    if (key == k::kStandardPattern || key == k::kMeasuredPattern) continue;
    out.append(line).append(k::kLineBreak);
  }
  AppendLine(out, k::kOtherWindow, BooleanText(values.OtherWindow));
  AppendLine(out, k::kDefault, BooleanText(values.Default));
  return out;
}

}  // namespace tracemill
