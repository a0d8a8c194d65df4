#pragma once
// The settings store: every user setting lives in one per-user XML-like file,
// kept in memory as a flat list of key paths ("Bench\Default\Standard\X"),
// each with a kind letter and its text exactly as the file holds it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "common/uServices.h"

namespace tracemill {

// A date and time as the store keeps it ("yyyy/mm/dd hh:nn:ss").
struct TIniDateTime {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  bool operator==(const TIniDateTime&) const = default;
};

std::string FormatIniDateTime(const TIniDateTime& value);
// "y/m/d" with an optional " h:n" or " h:n:s"; nullopt for a malformed or impossible date.
std::optional<TIniDateTime> ParseIniDateTime(std::string_view text);

// A value of any of the five kinds; std::monostate is the null value.
using TIniValue = std::variant<std::monostate, bool, TIniDateTime, double, std::int32_t, std::string>;

// "%" -> "%%", a byte below 32 -> "%" + two upper-case hexadecimal figures;
// so does a byte that is not part of a well-formed UTF-8 character, which
// keeps the file valid UTF-8. Everything else stays.
std::string EncodeValue(std::string_view text);
// Reverses EncodeValue; throws ConvertError for a malformed escape.
std::string DecodeValue(std::string_view text);
std::optional<std::string> TryDecodeValue(std::string_view text);
// Names of sections and keys in the file: escaped as by EncodeValue, and a
// blank (which ends a name) or a "/" at the start (which would read as a
// closing tag) too, so that every name reads back as itself. DecodeName
// leaves a name without valid escapes as it is, as older files hold it.
void AppendEncodedName(std::string& out, std::string_view name);
std::string DecodeName(std::string_view name);

// A font as the windows use it; the Qt side maps it to QFont.
enum class TFontPitch : std::int32_t { Default = 0, Variable = 1, Fixed = 2 };
struct TFontRecord {
  std::string Name;
  std::int32_t Charset = 1;   // 0 to 255; stored, not used for rendering
  std::int32_t Size = 9;      // points
  std::int32_t Color = 0;     // 0x00BBGGRR
  TFontPitch Pitch = TFontPitch::Default;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool Strikeout = false;
  bool operator==(const TFontRecord&) const = default;
};

enum class TWindowState { Normal, Minimized, Maximized };

// A window's placement; the Qt side fills it from geometry(),
// normalGeometry() and windowState() and applies the result.
struct TWindowPlacement {
  int Left = 0;  // current bounds
  int Top = 0;
  int Width = 0;
  int Height = 0;
  bool Sizeable = true;          // a frame the user can resize
  bool HasRestoredRect = false;  // the restored (normal) rectangle below is known
  int RestoredLeft = 0;
  int RestoredTop = 0;
  int RestoredWidth = 0;
  int RestoredHeight = 0;
  TWindowState State = TWindowState::Normal;
};

// One stored value.
struct TIniEntry {
  std::string KeyPath;       // in the letter case of the last write
  std::string UpperKeyPath;  // used for every lookup
  char Kind = 'S';           // 'B', 'D', 'F', 'I' or 'S'
  std::string Text;          // encoded, exactly as in the file
};

class TIniFile {
 public:
  // The store of the program's settings file (SettingsFileName); carries a
  // settings file of an older installation over first (CopyLegacySettings).
  TIniFile();
  // A store of the given file.
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return fileName_; }
  // Where Save reports a file that cannot be written. Without one, Save throws.
  void SetMessageService(TMessageService* messages) { messages_ = messages; }

  // Replaces the entries with the file's; a missing or empty file leaves the
  // store empty. A file that exists but cannot be read, or is larger than the
  // store reads (64 MB), leaves the store empty and throws FileError with a
  // message for the user; until the next Load succeeds, Save then refuses to
  // write over that file.
  void Load();
  // The same from the file's bytes (UTF-8, or CP932 as older versions wrote it).
  void LoadFromText(std::string_view bytes);
  // Writes all entries to the file (safely: a temporary file renamed over it).
  // On failure, or when the last Load refused the file, tells the user through
  // the message service and returns false (throws FileError without one).
  bool Save();
  // The file text Save writes; puts the entries in their sorted order.
  std::string SaveToText();

  // A path is section + "\" + key, or key alone for an empty section; case is
  // ignored. A path longer than 4096 bytes or of more than 32 separators is
  // beyond the file's limits: writing it throws InvalidOperation.
  void WriteValue(std::string_view section, std::string_view key, const TIniValue& value);
  void WriteValue(std::string_view section, std::string_view key, bool value);
  void WriteValue(std::string_view section, std::string_view key, std::int32_t value);
  void WriteValue(std::string_view section, std::string_view key, double value);
  void WriteValue(std::string_view section, std::string_view key, const TIniDateTime& value);
  void WriteValue(std::string_view section, std::string_view key, std::string_view value);  // "" deletes
  void WriteValue(std::string_view section, std::string_view key, const std::string& value);
  void WriteValue(std::string_view section, std::string_view key, const char* value);

  // The stored value in its stored kind, or def when absent or not convertible.
  TIniValue ReadValue(std::string_view section, std::string_view key, const TIniValue& def) const;
  // The stored value converted to the kind of def, or def when absent or not
  // convertible. A stored Boolean is true only for the text "True" (another
  // kind's text: "true"/"false" in any case, or an integer); numbers read from
  // integer, float or string texts (a float rounded to an integer); a date from
  // a date or string text; a string gets the decoded text of a string or the
  // plain text of any other kind.
  bool ReadValue(std::string_view section, std::string_view key, bool def) const;
  std::int32_t ReadValue(std::string_view section, std::string_view key, std::int32_t def) const;
  double ReadValue(std::string_view section, std::string_view key, double def) const;
  TIniDateTime ReadValue(std::string_view section, std::string_view key, const TIniDateTime& def) const;
  std::string ReadValue(std::string_view section, std::string_view key, std::string_view def) const;
  std::string ReadValue(std::string_view section, std::string_view key, const std::string& def) const;
  std::string ReadValue(std::string_view section, std::string_view key, const char* def) const;

  bool ValueExists(std::string_view section, std::string_view key) const;

  // Fonts under section + "\Font\Japanese" or "\Font\English" by IsJapanese.
  void WriteFont(std::string_view section, const TFontRecord& font);
  void ReadFont(std::string_view section, TFontRecord& font) const;

  // Position, size and state under section (the window's name).
  void WritePlacement(const TWindowPlacement& window, std::string_view section);
  void ReadPlacement(TWindowPlacement& window, std::string_view section, int screenWidth,
                     int screenHeight) const;

  // The entries in their current order.
  int Count() const;
  const TIniEntry& Entry(int index) const;
  void Clear();

 private:
  const TIniEntry* Find(std::string_view section, std::string_view key) const;
  void Store(std::string_view section, std::string_view key, char kind, std::string text);
  void Delete(std::string_view section, std::string_view key);
  void Append(std::string keyPath, std::string upperKeyPath, char kind, std::string text);
  void Compact() const;
  void RebuildIndex() const;
  void LoadXml(const std::vector<std::string_view>& lines);
  void LoadIndented(const std::vector<std::string_view>& lines);
  void ShowFileError(const std::string& text) const;

  std::string fileName_;
  TMessageService* messages_ = nullptr;
  // Entries in order; deleted ones stay as holes (Deleted) until the next compaction.
  mutable std::vector<TIniEntry> entries_;
  mutable std::vector<bool> deleted_;
  mutable std::size_t deletedCount_ = 0;
  // Upper-case path -> index of its first live entry.
  mutable std::unordered_map<std::string, std::size_t> index_;
  bool hasDuplicates_ = false;  // a loaded file held one path more than once
  bool fileRefused_ = false;    // the last Load could not read the file
};

// The settings file: the per-user configuration folder (ConfigHomeFolder) +
// maker + "/" + base name + "/" + base name + ".ini".
std::string SettingsFileName(std::string_view configHome, std::string_view maker,
                             std::string_view baseName);
// When fileName does not exist but legacyFileName does, creates fileName's
// folder and copies the legacy file there (which stays in place). True when copied.
bool CopyLegacySettings(const std::string& fileName, const std::string& legacyFileName);

// The program's store, created on first use at the default location (not yet loaded).
TIniFile& Settings();
// Replaces the program's store (tests and batch runs use one of their own).
void ReplaceSettings(std::unique_ptr<TIniFile> store);

}  // namespace tracemill
