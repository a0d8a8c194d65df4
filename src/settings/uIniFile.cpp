#include "settings/uIniFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "common/uEncoding.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "common/uFormatSettings.h"
#include "common/uNumber.h"
#include "common/uStrC.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"

namespace tracemill {

namespace {

// File text.
constexpr std::string_view kDeclaration = "<?xml version='1.0' encoding='UTF-8' ?>";
constexpr std::string_view kRootOpen = "<IniFile version='1.0'>";
constexpr std::string_view kRootClose = "</IniFile>";
constexpr std::string_view kXmlMark = "<?xml";
constexpr std::string_view kTypeAttribute = " Type=\"";
constexpr std::string_view kLineBreak = "\r\n";
constexpr char kPathSeparator = '\\';

// Kind letters and their type names in the file.
constexpr char kBoolean = 'B';
constexpr char kDate = 'D';
constexpr char kFloat = 'F';
constexpr char kInteger = 'I';
constexpr char kString = 'S';

constexpr std::string_view kTrue = "True";
constexpr std::string_view kFalse = "False";

// Messages after the file name: a file that cannot be created, one that was
// refused when loading, and a save refused because of that.
constexpr std::string_view kNotCreatedEnglish = "\ncan not be created.\nYour option settings have not saved.";
constexpr std::string_view kNotCreatedJapanese = "\nを作成できませんでした。\nオプション設定などは保存されません。";
constexpr std::string_view kTooLargeEnglish = "\nis larger than 64 MB and has not been read.\nYour option settings will not be saved.";
constexpr std::string_view kTooLargeJapanese = "\nは 64 MB を超えるため読み込みませんでした。\nオプション設定などは保存されません。";
constexpr std::string_view kUnreadableEnglish = "\ncan not be read.\nYour option settings will not be saved.";
constexpr std::string_view kUnreadableJapanese = "\nを読み込めませんでした。\nオプション設定などは保存されません。";
constexpr std::string_view kNotOverwrittenEnglish =
    "\nhas not been read, so it is not overwritten.\nYour option settings have not been saved.";
constexpr std::string_view kNotOverwrittenJapanese =
    "\nを読み込めなかったため上書きしません。\nオプション設定などは保存されません。";
constexpr std::string_view kFileErrorCaptionEnglish = " - File Error";
constexpr std::string_view kFileErrorCaptionJapanese = " - ファイルエラー";
constexpr std::string_view kPathTooLong = "Invalid operation: the settings file cannot hold the key path ";

// Limits that keep a damaged file from exhausting memory or time: no real
// settings file comes near them. A larger file is refused; deeper or longer
// paths are ignored on reading and refused on writing.
constexpr std::size_t kMaxFileBytes = std::size_t(64) << 20;  // the "64 MB" of the message
constexpr std::size_t kMaxDepth = 32;          // nesting levels below the root element
constexpr std::size_t kMaxPathBytes = 4096;    // bytes of one key path

std::string_view TypeName(char kind) {
  switch (kind) {
    case kBoolean: return "Boolean";
    case kDate: return "Date";
    case kFloat: return "Float";
    case kInteger: return "Integer";
    default: return "String";
  }
}

char KindOfTypeName(std::string_view type) {
  if (type.empty()) return kString;
  const char c = static_cast<char>(type[0] >= 'a' && type[0] <= 'z' ? type[0] - 'a' + 'A' : type[0]);
  return (c == kBoolean || c == kDate || c == kFloat || c == kInteger) ? c : kString;
}

std::string JoinPath(std::string_view section, std::string_view key) {
  if (section.empty()) return std::string(key);
  std::string path;
  path.reserve(section.size() + 1 + key.size());
  path.append(section).push_back(kPathSeparator);
  path.append(key);
  return path;
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && SameTextAscii(text.substr(text.size() - tail.size()), tail);
}

std::string ClosingTag(std::string_view name) {
  std::string tag = "</";
  tag.append(name).push_back('>');
  return tag;
}

// Lines split at CR LF, CR or LF; a break at the very end gives no empty last line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

// The byte offset count characters after pos (UTF-8 characters, so that no
// character is ever cut in two).
std::size_t SkipChars(std::string_view s, std::size_t pos, int count) {
  for (int k = 0; k < count && pos < s.size(); ++k) pos += CharByteLength(s, pos);
  return std::min(pos, s.size());
}

// s without its last character.
std::string_view WithoutLastChar(std::string_view s) {
  std::size_t last = 0;
  for (std::size_t i = 0; i < s.size(); i += CharByteLength(s, i)) last = i;
  return s.substr(0, last);
}

std::size_t LeadingBlanks(std::string_view line) { return line.size() - TrimmedLeftView(line).size(); }

// The open sections while a file is read: their names joined, each followed by "\".
class TSectionStack {
 public:
  std::size_t Size() const { return offsets_.size(); }
  const std::string& Path() const { return path_; }
  // Cuts to depth entries, or pads with empty names up to it.
  void SetDepth(std::size_t depth) {
    if (depth < offsets_.size()) {
      path_.resize(offsets_[depth]);
      offsets_.resize(depth);
    }
    while (offsets_.size() < depth) Push({});
  }
  void Push(std::string_view name) {
    offsets_.push_back(path_.size());
    path_.append(name).push_back(kPathSeparator);
  }

 private:
  std::string path_;
  std::vector<std::size_t> offsets_;
};

std::optional<double> ParseFloatText(std::string_view text) {
  if (auto v = TryStrToFloat(text, '.')) return v;
  const char local = FormatSettings().DecimalSeparator;
  if (local != '.') return TryStrToFloat(text, local);
  return std::nullopt;
}

std::optional<std::int32_t> RoundToInt32(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double r = std::nearbyint(value);
  if (r < -2147483648.0 || r > 2147483647.0) return std::nullopt;
  return static_cast<std::int32_t>(r);
}

// The text a value has for a reader that wants another kind: decoded for strings.
std::optional<std::string> PlainText(const TIniEntry& e) {
  if (e.Kind == kString) return TryDecodeValue(e.Text);
  return e.Text;
}

// Whether a key path lies within the limits of the file.
bool FitsTheFile(std::string_view path) {
  return path.size() <= kMaxPathBytes &&
         static_cast<std::size_t>(std::count(path.begin(), path.end(), kPathSeparator)) <= kMaxDepth;
}

std::string FileMessage(const std::string& fileName, std::string_view japanese, std::string_view english) {
  return fileName + std::string(IsJapanese() ? japanese : english);
}

}  // namespace

// ---------------------------------------------------------------- store

TIniFile::TIniFile() {
  const TAppli& appli = Appli();
  fileName_ = SettingsFileName(ConfigHomeFolder(), appli.MakerShortName, appli.BaseName);
  CopyLegacySettings(fileName_, appli.Folder + appli.BaseName + ".ini");
}

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {}

void TIniFile::Clear() {
  entries_.clear();
  deleted_.clear();
  deletedCount_ = 0;
  index_.clear();
  hasDuplicates_ = false;
}

int TIniFile::Count() const {
  Compact();
  return static_cast<int>(entries_.size());
}

const TIniEntry& TIniFile::Entry(int index) const {
  Compact();
  return entries_.at(static_cast<std::size_t>(index));
}

void TIniFile::RebuildIndex() const {
  index_.clear();
  index_.reserve(entries_.size());
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (!deleted_[i]) index_.emplace(entries_[i].UpperKeyPath, i);
}

void TIniFile::Compact() const {
  if (deletedCount_ == 0) return;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (deleted_[i]) continue;
    if (kept != i) entries_[kept] = std::move(entries_[i]);
    ++kept;
  }
  entries_.resize(kept);
  deleted_.assign(kept, false);
  deletedCount_ = 0;
  RebuildIndex();
}

const TIniEntry* TIniFile::Find(std::string_view section, std::string_view key) const {
  const auto it = index_.find(UpperCaseAscii(JoinPath(section, key)));
  return it == index_.end() ? nullptr : &entries_[it->second];
}

void TIniFile::Append(std::string keyPath, std::string upperKeyPath, char kind, std::string text) {
  const std::size_t i = entries_.size();
  if (!index_.emplace(upperKeyPath, i).second) hasDuplicates_ = true;
  entries_.push_back(TIniEntry{std::move(keyPath), std::move(upperKeyPath), kind, std::move(text)});
  deleted_.push_back(false);
}

void TIniFile::Store(std::string_view section, std::string_view key, char kind, std::string text) {
  std::string path = JoinPath(section, key);
  if (!FitsTheFile(path)) throw InvalidOperation(std::string(kPathTooLong) + "\"" + path.substr(0, 256) + "\"");
  std::string upper = UpperCaseAscii(path);
  if (const auto it = index_.find(upper); it != index_.end()) {
    TIniEntry& e = entries_[it->second];
    e.KeyPath = std::move(path);
    e.Kind = kind;
    e.Text = std::move(text);
    return;
  }
  Append(std::move(path), std::move(upper), kind, std::move(text));
}

void TIniFile::Delete(std::string_view section, std::string_view key) {
  const auto it = index_.find(UpperCaseAscii(JoinPath(section, key)));
  if (it == index_.end()) return;
  const std::size_t i = it->second;
  deleted_[i] = true;
  ++deletedCount_;
  index_.erase(it);
  if (hasDuplicates_) {
    // A path read twice from a file: the next entry of the path comes to light.
    for (std::size_t j = i + 1; j < entries_.size(); ++j) {
      if (!deleted_[j] && entries_[j].UpperKeyPath == entries_[i].UpperKeyPath) {
        index_.emplace(entries_[j].UpperKeyPath, j);
        break;
      }
    }
  }
  if (deletedCount_ > 64 && deletedCount_ * 2 > entries_.size()) Compact();
}

void TIniFile::WriteValue(std::string_view section, std::string_view key, const TIniValue& value) {
  std::visit(
      [&](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          Delete(section, key);
        else
          WriteValue(section, key, v);
      },
      value);
}

void TIniFile::WriteValue(std::string_view section, std::string_view key, bool value) {
  Store(section, key, kBoolean, std::string(value ? kTrue : kFalse));
}

void TIniFile::WriteValue(std::string_view section, std::string_view key, std::int32_t value) {
  Store(section, key, kInteger, IntToStr(value));
}

void TIniFile::WriteValue(std::string_view section, std::string_view key, double value) {
  Store(section, key, kFloat, FloatToStr(value));
}

void TIniFile::WriteValue(std::string_view section, std::string_view key, const TIniDateTime& value) {
  Store(section, key, kDate, FormatIniDateTime(value));
}

void TIniFile::WriteValue(std::string_view section, std::string_view key, std::string_view value) {
  if (value.empty())
    Delete(section, key);
  else
    Store(section, key, kString, EncodeValue(value));
}

void TIniFile::WriteValue(std::string_view section, std::string_view key, const std::string& value) {
  WriteValue(section, key, std::string_view(value));
}

void TIniFile::WriteValue(std::string_view section, std::string_view key, const char* value) {
  WriteValue(section, key, std::string_view(value ? value : ""));
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key) != nullptr;
}

TIniValue TIniFile::ReadValue(std::string_view section, std::string_view key, const TIniValue& def) const {
  const TIniEntry* e = Find(section, key);
  if (!e) return def;
  switch (e->Kind) {
    case kBoolean: return e->Text == kTrue;
    case kDate:
      if (auto v = ParseIniDateTime(e->Text)) return *v;
      return def;
    case kFloat:
      if (auto v = ParseFloatText(e->Text)) return *v;
      return def;
    case kInteger:
      if (auto v = TryStrToInt(e->Text)) return *v;
      return def;
    default:
      if (auto v = TryDecodeValue(e->Text)) return std::move(*v);
      return def;
  }
}

bool TIniFile::ReadValue(std::string_view section, std::string_view key, bool def) const {
  const TIniEntry* e = Find(section, key);
  if (!e) return def;
  if (e->Kind == kBoolean) return e->Text == kTrue;
  if (e->Kind == kDate) return def;
  const auto text = PlainText(*e);
  if (!text) return def;
  if (SameTextAscii(*text, kTrue)) return true;
  if (SameTextAscii(*text, kFalse)) return false;
  if (auto v = TryStrToInt(*text)) return *v != 0;
  return def;
}

std::int32_t TIniFile::ReadValue(std::string_view section, std::string_view key, std::int32_t def) const {
  const TIniEntry* e = Find(section, key);
  if (!e || e->Kind == kBoolean || e->Kind == kDate) return def;
  const auto text = PlainText(*e);
  if (!text) return def;
  if (auto v = TryStrToInt(*text)) return *v;
  if (e->Kind != kInteger) {
    if (auto f = ParseFloatText(*text)) {
      if (auto v = RoundToInt32(*f)) return *v;
    }
  }
  return def;
}

double TIniFile::ReadValue(std::string_view section, std::string_view key, double def) const {
  const TIniEntry* e = Find(section, key);
  if (!e || e->Kind == kBoolean || e->Kind == kDate) return def;
  const auto text = PlainText(*e);
  if (!text) return def;
  if (auto v = ParseFloatText(*text)) return *v;
  if (auto v = TryStrToInt(*text)) return *v;
  return def;
}

TIniDateTime TIniFile::ReadValue(std::string_view section, std::string_view key, const TIniDateTime& def) const {
  const TIniEntry* e = Find(section, key);
  if (!e || (e->Kind != kDate && e->Kind != kString)) return def;
  const auto text = PlainText(*e);
  if (!text) return def;
  return ParseIniDateTime(*text).value_or(def);
}

std::string TIniFile::ReadValue(std::string_view section, std::string_view key, std::string_view def) const {
  const TIniEntry* e = Find(section, key);
  if (!e) return std::string(def);
  auto text = PlainText(*e);
  return text ? std::move(*text) : std::string(def);
}

std::string TIniFile::ReadValue(std::string_view section, std::string_view key, const std::string& def) const {
  return ReadValue(section, key, std::string_view(def));
}

std::string TIniFile::ReadValue(std::string_view section, std::string_view key, const char* def) const {
  return ReadValue(section, key, std::string_view(def ? def : ""));
}

// ---------------------------------------------------------------- file

void TIniFile::Load() {
  Clear();
  fileRefused_ = false;
  if (!FileExists(fileName_)) return;
  std::error_code ec;
  if (std::filesystem::file_size(fileName_, ec) > kMaxFileBytes && !ec) {
    fileRefused_ = true;
    throw FileError(FileMessage(fileName_, kTooLargeJapanese, kTooLargeEnglish));
  }
  std::string bytes;
  try {
    bytes = ReadFileBytes(fileName_, kMaxFileBytes);
  } catch (const FileError&) {
    fileRefused_ = true;
    throw FileError(FileMessage(fileName_, kUnreadableJapanese, kUnreadableEnglish));
  }
  LoadFromText(bytes);
}

void TIniFile::LoadFromText(std::string_view bytes) {
  Clear();
  if (bytes.empty()) return;
  const std::string text = DecodeLegacyText(bytes);
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty()) return;
  if (SameTextAscii(lines[0].substr(0, kXmlMark.size()), kXmlMark))
    LoadXml(lines);
  else
    LoadIndented(lines);
}

namespace {

// The key path of an entry read from a file, or nullopt when it is beyond the
// limits (so that the entry could not be written back).
std::optional<std::string> LoadedPath(const std::string& sectionPath, std::string_view name) {
  if (sectionPath.size() + name.size() > kMaxPathBytes) return std::nullopt;
  std::string path = sectionPath;
  path.append(name);
  if (!FitsTheFile(path)) return std::nullopt;
  return path;
}

}  // namespace

void TIniFile::LoadXml(const std::vector<std::string_view>& lines) {
  TSectionStack stack;
  // The declaration, the root element and the last line are not entries.
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::size_t lead = LeadingBlanks(line);
    // Lines without indentation are outside the root element's content.
    if (lead == 0) continue;
    const std::size_t depth = lead - 1;
    std::string_view rest = line.substr(lead);
    if (rest.substr(0, 2) == "</") continue;
    if (depth > kMaxDepth) continue;
    stack.SetDepth(depth);
    if (rest.empty() || rest[0] != '<') continue;
    rest.remove_prefix(1);
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos) {
      // An element without a type opens a section.
      stack.Push(DecodeName(WithoutLastChar(rest)));
      continue;
    }
    const std::string_view fileName = rest.substr(0, blank);
    const std::string name = DecodeName(fileName);
    std::string_view type;
    std::string_view value;
    // After the name: the blank, Type, "=" and the opening quote; the type name
    // runs to the closing quote, which a ">" follows.
    const std::size_t typeStart = SkipChars(rest, blank, static_cast<int>(kTypeAttribute.size()));
    const std::size_t quote = rest.find('"', typeStart);
    type = rest.substr(typeStart, quote == std::string_view::npos ? std::string_view::npos : quote - typeStart);
    if (quote != std::string_view::npos) value = rest.substr(SkipChars(rest, quote, 2));
    const std::string tail = ClosingTag(fileName);
    if (EndsWithNoCase(value, tail)) value.remove_suffix(tail.size());
    if (auto path = LoadedPath(stack.Path(), name)) {
      std::string upper = UpperCaseAscii(*path);
      Append(std::move(*path), std::move(upper), KindOfTypeName(type), std::string(value));
    }
    stack.Push(name);
  }
}

void TIniFile::LoadIndented(const std::vector<std::string_view>& lines) {
  TSectionStack stack;
  for (const std::string_view line : lines) {
    const std::size_t depth = LeadingBlanks(line);
    if (depth > kMaxDepth) continue;
    const std::string_view rest = line.substr(depth);
    stack.SetDepth(depth);
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos) {
      stack.Push(rest);
      continue;
    }
    const std::string_view name = rest.substr(0, equals);
    const std::string_view typed = rest.substr(equals + 1);
    const std::size_t colon = typed.find(':');
    const std::string_view type = colon == std::string_view::npos ? std::string_view() : typed.substr(0, colon);
    const std::string_view value = colon == std::string_view::npos ? typed : typed.substr(colon + 1);
    if (auto path = LoadedPath(stack.Path(), name)) {
      std::string upper = UpperCaseAscii(*path);
      Append(std::move(*path), std::move(upper), KindOfTypeName(type), std::string(value));
    }
    stack.Push(name);
  }
}

namespace {

// Writes the elements of the file in path order, keeping the stack of open
// elements: their names as written, and their upper-case forms for matching.
class TElementWriter {
 public:
  explicit TElementWriter(std::string& out) : out_(out) {}

  // Closes the open elements the path does not share and opens its sections.
  void MoveTo(const std::vector<std::string_view>& parts, const std::vector<std::string_view>& upperParts) {
    // At least the key name stays to write (a path read twice from a file
    // gives two sibling elements).
    std::size_t shared = 0;
    const std::size_t limit = std::min(stack_.size(), parts.size() - 1);
    while (shared < limit && upperStack_[shared] == upperParts[shared]) ++shared;
    // The topmost element is the previous value element, which closed itself
    // or is closed here as the parent of the elements it held.
    for (std::size_t k = stack_.size(); k-- > shared + 1;) ClosingLine(k - 1);
    stack_.resize(shared);
    upperStack_.resize(shared);
    for (std::size_t k = shared; k + 1 < parts.size(); ++k) {
      Indent();
      out_.push_back('<');
      AppendEncodedName(out_, parts[k]);
      out_.append(">").append(kLineBreak);
      Push(parts[k], upperParts[k]);
    }
  }

  // The value element, which stays open when it holds children: then it is
  // closed by a line of its own, and its text keeps a closing tag only when it
  // ends like one, so that reading strips that tag and not a part of the text.
  void Value(std::string_view name, std::string_view upperName, char kind, std::string_view text,
             bool holdsChildren) {
    encoded_.clear();
    AppendEncodedName(encoded_, name);
    Indent();
    out_.append("<").append(encoded_).append(kTypeAttribute).append(TypeName(kind)).append("\">");
    out_.append(text);
    if (!holdsChildren || EndsWithNoCase(text, ClosingTag(encoded_))) out_.append("</").append(encoded_).append(">");
    out_.append(kLineBreak);
    Push(name, upperName);
  }

  void Finish() {
    for (std::size_t k = stack_.size(); k-- > 1;) ClosingLine(k - 1);
  }

 private:
  void Indent() { out_.append(stack_.size() + 1, ' '); }
  void ClosingLine(std::size_t position) {
    out_.append(position + 1, ' ').append("</");
    AppendEncodedName(out_, stack_[position]);
    out_.append(">").append(kLineBreak);
  }
  void Push(std::string_view name, std::string_view upperName) {
    stack_.push_back(name);
    upperStack_.push_back(upperName);
  }

  std::string& out_;
  std::string encoded_;
  std::vector<std::string_view> stack_;
  std::vector<std::string_view> upperStack_;
};

// Splits a key path and its upper-case form at the separators.
void SplitPath(const TIniEntry& e, std::vector<std::string_view>& parts, std::vector<std::string_view>& upperParts) {
  parts.clear();
  upperParts.clear();
  for (std::size_t start = 0;;) {
    const std::size_t end = e.KeyPath.find(kPathSeparator, start);
    const std::size_t length = (end == std::string::npos ? e.KeyPath.size() : end) - start;
    parts.emplace_back(e.KeyPath.data() + start, length);
    upperParts.emplace_back(e.UpperKeyPath.data() + start, length);
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

// Whether the next entry's path lies below this one's.
bool HoldsChildren(const TIniEntry& e, const TIniEntry& next) {
  const std::string& upper = next.UpperKeyPath;
  return upper.size() > e.UpperKeyPath.size() && upper[e.UpperKeyPath.size()] == kPathSeparator &&
         std::string_view(upper).starts_with(e.UpperKeyPath);
}

}  // namespace

std::string TIniFile::SaveToText() {
  Compact();
  const auto byUpperPath = [](const TIniEntry& a, const TIniEntry& b) { return a.UpperKeyPath < b.UpperKeyPath; };
  if (!std::is_sorted(entries_.begin(), entries_.end(), byUpperPath)) {
    std::stable_sort(entries_.begin(), entries_.end(), byUpperPath);
    RebuildIndex();
  }

  std::size_t estimate = 64;
  for (const auto& e : entries_) estimate += 2 * e.KeyPath.size() + e.Text.size() + 40;
  std::string out;
  out.reserve(estimate);
  out.append(kDeclaration).append(kLineBreak);
  out.append(kRootOpen).append(kLineBreak);
  TElementWriter writer(out);
  std::vector<std::string_view> parts;
  std::vector<std::string_view> upperParts;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const TIniEntry& e = entries_[i];
    SplitPath(e, parts, upperParts);
    writer.MoveTo(parts, upperParts);
    writer.Value(parts.back(), upperParts.back(), e.Kind, e.Text,
                 i + 1 < entries_.size() && HoldsChildren(e, entries_[i + 1]));
  }
  writer.Finish();
  out.append(kRootClose).append(kLineBreak);
  return out;
}

bool TIniFile::Save() {
  const std::string text = SaveToText();
  if (fileRefused_) {
    // The file on disk holds settings this store never read: keep them.
    const std::string message = FileMessage(fileName_, kNotOverwrittenJapanese, kNotOverwrittenEnglish);
    if (messages_ == nullptr) throw FileError(message);
    ShowFileError(message);
    return false;
  }
  try {
    if (!FileExists(fileName_)) {
      const std::string folder = ExtractFilePath(fileName_);
      if (!folder.empty()) ForceDirectories(folder);
    }
    WriteFileAtomic(fileName_, text);
    return true;
  } catch (const FileError&) {
    if (messages_ == nullptr) throw;
    ShowFileError(FileMessage(fileName_, kNotCreatedJapanese, kNotCreatedEnglish));
    return false;
  }
}

void TIniFile::ShowFileError(const std::string& text) const {
  TMessage message;
  message.Caption = Appli().Name + std::string(IsJapanese() ? kFileErrorCaptionJapanese : kFileErrorCaptionEnglish);
  message.Text = text;
  message.Buttons = TMessageButtons::Ok;
  message.Icon = TMessageIcon::Exclamation;
  messages_->ShowMessage(message);
}

// ---------------------------------------------------------------- location

std::string SettingsFileName(std::string_view configHome, std::string_view maker, std::string_view baseName) {
  std::string name = IncludeTrailingSlash(configHome);
  name.append(maker).append("/").append(baseName).append("/").append(baseName).append(".ini");
  return name;
}

bool CopyLegacySettings(const std::string& fileName, const std::string& legacyFileName) {
  if (FileExists(fileName) || !FileExists(legacyFileName)) return false;
  try {
    const std::string bytes = ReadFileBytes(legacyFileName, kMaxFileBytes);
    const std::string folder = ExtractFilePath(fileName);
    if (!folder.empty()) ForceDirectories(folder);
    WriteFileAtomic(fileName, bytes);
    return true;
  } catch (const FileError&) {
    return false;  // the program starts without the old settings
  }
}

namespace {
std::unique_ptr<TIniFile>& SettingsHolder() {
  static std::unique_ptr<TIniFile> store;
  return store;
}
}  // namespace

TIniFile& Settings() {
  auto& store = SettingsHolder();
  if (!store) store = std::make_unique<TIniFile>();
  return *store;
}

void ReplaceSettings(std::unique_ptr<TIniFile> store) { SettingsHolder() = std::move(store); }

}  // namespace tracemill
