#pragma once
// A bench's appearance and behaviour options, and the settings text that
// carries them: lines of key "=" value, separated by CR LF, keys as in
// uBenchKeys.h. The options dialog edits the text, the main window passes it
// between benches, and a new bench builds it from the defaults in the
// settings store.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bench/uMarker.h"
#include "settings/uIniFile.h"

namespace tracemill {

// Colours are 0x00BBGGRR.
struct TBenchSettings {
  TFontRecord Font;
  TMarkerStyle Standard{0x0000FF};  // red
  TMarkerStyle Measured{0x00FF00};  // green until the defaults are read
  bool StandardVisible = true;      // standard markers also while measuring
  bool MeasuredVisible = true;      // measured markers and lines also in standard-point mode
  std::uint32_t LineColor = 0xFF0000;
  std::int32_t LineWidth = 1;  // 0: lines are not drawn
  std::int32_t Magnitude = 5;  // magnifier factor, 3 .. 10
  std::uint32_t GridColor = 0x00FF00;
  bool CommentArea = false;    // a click writes the same-colour area into the comment
  bool CommentColor = false;   // a click writes the colour code into the comment
  bool StatusXo = true;        // status panels: position x, position y,
  bool StatusYo = true;        //   value X, value Y, colour code
  bool StatusXv = true;
  bool StatusYv = true;
  bool StatusColor = true;
  bool RightMagnifier = true;  // commands the right button offers
  bool RightLine = true;
  bool RightDelete = true;

  // 0 means 5; 3 .. 10 are taken; any other value is ignored.
  void SetMagnitude(std::int32_t m);
  int VisibleStatusCount() const;
  int RightCount() const;
};

// The settings text: every key in its order, CR LF after each line; colours
// as "$" and 6 upper-case hexadecimal characters, shapes as 25 characters.
std::string SettingsText(const TBenchSettings& settings);

// Applies a settings text line by line. Blank lines, leading blanks and lines
// without "=" are skipped; the key (trimmed, any letter case) picks the
// setting; unknown keys are ignored; values are taken verbatim. A value that
// is not the number its key needs (or a pattern outside -1 .. 10, a character
// set outside 0 .. 255) throws ConvertError: the lines before it stay applied.
void ApplySettingsText(std::string_view text, TBenchSettings& settings);

// The settings text of the defaults in the settings store (decimal numbers,
// a shape only where one is stored), read with the store's defaults.
std::string DefaultSettingsText(const TIniFile& store);

// --- Helpers shared with the state text ---------------------------------------

// The lines of a text: split at LF, one CR before it dropped. A final line
// break does not start another line.
std::vector<std::string_view> TextLines(std::string_view text);
// True exactly when the value, upper-cased, is "TRUE".
bool ReadBoolean(std::string_view value);
std::string_view BooleanText(bool value);
// A decimal or "$"-hexadecimal integer; ConvertError naming the key otherwise.
std::int32_t ReadInteger(std::string_view key, std::string_view value);

}  // namespace tracemill
