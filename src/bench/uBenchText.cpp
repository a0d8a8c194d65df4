// The bench's settings text and state text: writing them, and rebuilding the
// bench from them.

#include <algorithm>
#include <cstdint>

#include "bench/uBench.h"
#include "bench/uBenchKeys.h"
#include "bench/uBenchState.h"
#include "common/uFormatSettings.h"
#include "common/uNumber.h"
#include "common/uStrC.h"

namespace tracemill {

namespace k = benchkeys;

namespace {

void Line(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(value).append(k::kLineBreak);
}

std::string IndexedKey(std::string_view prefix, int index) {
  return std::string(prefix) + IntToStr(index) + std::string(k::kIndexEnd);
}

bool HasPrefix(std::string_view key, std::string_view prefix) {
  return key.size() >= prefix.size() && SameTextAscii(key.substr(0, prefix.size()), prefix);
}

std::string_view WindowStateText(TWindowState state) {
  switch (state) {
    case TWindowState::Minimized: return k::kWindowMinimized;
    case TWindowState::Maximized: return k::kWindowMaximized;
    case TWindowState::Normal: break;
  }
  return k::kWindowNormal;
}

TWindowState ReadWindowState(std::string_view value) {
  if (SameTextAscii(value, k::kWindowMinimized)) return TWindowState::Minimized;
  if (SameTextAscii(value, k::kWindowMaximized)) return TWindowState::Maximized;
  return TWindowState::Normal;
}

}  // namespace

// --- Settings text ----------------------------------------------------------------

std::string TBench::SettingsText() const { return tracemill::SettingsText(settings_); }

void TBench::ApplySettingsText(std::string_view text) {
  // Whatever was applied before a malformed line stays, and the view follows it.
  auto finish = [this] {
    UpdateScrollBars();
    Repaint(benchlayer::View | benchlayer::ScrollBars | benchlayer::StatusBar | benchlayer::Font);
  };
  try {
    tracemill::ApplySettingsText(text, settings_);
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TBench::ApplyOptions(const std::string& text) {
  ApplySettingsText(text);
  if (OnOptionChanged) OnOptionChanged(*this, text);
}

void TBench::LoadDefaults() {
  store_.ReadFont(k::kDefaultsSection, settings_.Font);
  ApplySettingsText(DefaultSettingsText(store_));
}

// --- State text -------------------------------------------------------------------

std::string TBench::StateText() const {
  std::string out;
  Line(out, k::kFilename, fileName_);
  const TWindowPlacement& w = Placement;
  if (w.HasRestoredRect) {
    Line(out, k::kLeft, IntToStr(w.RestoredLeft));
    Line(out, k::kTop, IntToStr(w.RestoredTop));
    if (w.Sizeable) {
      Line(out, k::kWidth, IntToStr(w.RestoredWidth));
      Line(out, k::kHeight, IntToStr(w.RestoredHeight));
    }
    Line(out, k::kWindowState, WindowStateText(w.State));
  }
  Line(out, k::kTitle, title_);
  Line(out, k::kScaleIndex, IntToStr(scaleIndex_));
  Line(out, k::kCommentVisible, BooleanText(commentVisible_));
  Line(out, k::kTitleVisible, BooleanText(titleVisible_));
  Line(out, k::kMagnified, BooleanText(magnified_));
  out += SettingsText();
  const TStandardList& standards = data_.Standards;
  if (standards.Count() > 1) {
    Line(out, k::kLogX, BooleanText(standards.LogX));
    Line(out, k::kLogY, BooleanText(standards.LogY));
  }
  int n = 0;
  for (int i = 0; i < standards.Count(); ++i)
    if (const TStandardPoint* p = standards.Item(i)) Line(out, IndexedKey(k::kStandardPrefix, n++), StandardValueText(*p));
  n = 0;
  for (int i = 0; i < data_.Measured.Count(); ++i)
    if (const TMeasuredPoints* line = data_.Measured.Item(i))
      Line(out, IndexedKey(k::kMeasuredPrefix, n++), LineValueText(*line));
  return out;
}

void TBench::ApplyStateText(std::string_view text) {
  history_.Clear();
  data_.Standards.Clear();
  data_.Measured.Clear();
  lineMode_ = false;  // the line it would continue is gone
  // Calibrate with the standard points read, also when a line stops the reading.
  auto finish = [this] {
    if (HasPicture()) Calibrate();
    Repaint(benchlayer::All);
  };
  try {
    std::string leftover;
    for (std::string_view line : TextLines(text)) {
      // A line without "=" would be ignored by the settings too.
      const std::size_t eq = line.find('=');
      if (eq != std::string_view::npos) ApplyStateLine(line.substr(0, eq), line.substr(eq + 1), leftover);
    }
    if (!leftover.empty()) ApplySettingsText(leftover);
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

// One line of a state text; a key that is not the state's own goes, with its
// line break, into the leftover text (the settings).
void TBench::ApplyStateLine(std::string_view key, std::string_view value, std::string& leftover) {
  const char separator = FormatSettings().DecimalSeparator;
  if (SameTextAscii(key, k::kFilename)) {
    LoadImage(std::string(value));
  } else if (SameTextAscii(key, k::kTitle)) {
    SetTitleText(value);
  } else if (SameTextAscii(key, k::kLeft) || SameTextAscii(key, k::kTop) || SameTextAscii(key, k::kWidth) ||
             SameTextAscii(key, k::kHeight)) {
    ApplyPlacementLine(key, ReadInteger(key, value));
  } else if (SameTextAscii(key, k::kWindowState)) {
    Placement.State = ReadWindowState(value);
  } else if (SameTextAscii(key, k::kScaleIndex)) {
    SetScaleIndex(ReadInteger(key, value));
  } else if (SameTextAscii(key, k::kCommentVisible)) {
    SetCommentVisible(ReadBoolean(value));
  } else if (SameTextAscii(key, k::kTitleVisible)) {
    SetTitleVisible(ReadBoolean(value));
  } else if (SameTextAscii(key, k::kMagnified)) {
    SetMagnified(ReadBoolean(value));
  } else if (SameTextAscii(key, k::kLogX)) {
    data_.Standards.LogX = ReadBoolean(value);
  } else if (SameTextAscii(key, k::kLogY)) {
    data_.Standards.LogY = ReadBoolean(value);
  } else if (HasPrefix(key, k::kStandardPrefix)) {
    data_.Standards.Add(std::make_unique<TStandardPoint>(ParseStandardValue(value, separator)));
  } else if (HasPrefix(key, k::kMeasuredPrefix)) {
    if (auto line = ParseLineValue(value)) data_.Measured.Add(std::move(line));
  } else {
    leftover.append(key).append("=").append(value).append(k::kLineBreak);
  }
}

// Left and Top are the normal rectangle's, in workspace coordinates; the
// window's own position keeps the offset between the two.
void TBench::ApplyPlacementLine(std::string_view key, std::int32_t value) {
  TWindowPlacement& w = Placement;
  auto shifted = [&](int current, int restored) {
    const std::int64_t offset = w.HasRestoredRect ? std::int64_t(current) - restored : 0;
    return static_cast<int>(std::clamp<std::int64_t>(value + offset, INT32_MIN, INT32_MAX));
  };
  if (SameTextAscii(key, k::kLeft)) {
    w.Left = shifted(w.Left, w.RestoredLeft);
    w.RestoredLeft = value;
  } else if (SameTextAscii(key, k::kTop)) {
    w.Top = shifted(w.Top, w.RestoredTop);
    w.RestoredTop = value;
  } else if (w.Sizeable && SameTextAscii(key, k::kWidth)) {
    w.Width = value;
    w.RestoredWidth = value;
  } else if (w.Sizeable && SameTextAscii(key, k::kHeight)) {
    w.Height = value;
    w.RestoredHeight = value;
  }
}

}  // namespace tracemill
