#pragma once
// The bench options dialog's side of the settings text: the values its
// controls hold, read from the bench's settings text and written back as the
// text the dialog hands to the bench. Loading follows the bench's own reading
// rules except where the dialog's controls differ: a pattern number selects a
// preset shape for the grid (1 .. 10, anything else the empty shape), and a
// magnification that is none of the list's items selects the first item.
// The produced text carries the shapes only (no pattern lines) and ends with
// the two check boxes OtherWindow= and Default=.

#include <span>
#include <string>
#include <string_view>

#include "bench/uBenchSettings.h"

namespace tracemill {

// The items of the width list and of the magnification list, top to bottom.
inline constexpr std::string_view kLineWidthItems[] = {"5", "4", "3", "2", "1", "0"};
inline constexpr std::string_view kMagnitudeItems[] = {"10", "9", "8", "7", "6", "5", "4", "3"};

struct TOptionValues {
  // Font, colours, shapes, line, magnifier, comment, status and right-button
  // values. LineWidth may hold a width that is none of the list's items (a
  // bench can carry any width): it is written back as it came unless the user
  // picks an item.
  TBenchSettings Settings;
  bool OtherWindow = false;  // the text is to reach every other bench
  bool Default = false;      // the text is to become the defaults of new benches
};

// Reads the settings text into values, line by line: blank lines, leading
// blanks and lines without "=" are skipped, unknown keys ignored, and
// OtherWindow and Default are not read. A value that is not the number its key
// needs throws ConvertError (the lines before it stay read).
void LoadOptionText(std::string_view text, TOptionValues& values);

// The dialog's settings text: the bench's keys in their order without the
// pattern lines, then OtherWindow= and Default=, each line ended by CR LF.
std::string OptionText(const TOptionValues& values);

// The index of the list item whose number is value, or -1.
int ItemIndex(std::span<const std::string_view> items, std::int32_t value);

}  // namespace tracemill
