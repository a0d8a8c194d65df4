#include "settings/uIniFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "common/uFormatSettings.h"
#include "common/uNumber.h"
#include "common/uStrC.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "settings/uIniFormat.h"

namespace tracemill {

using namespace ini_format;

namespace {

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

std::string JoinPath(std::string_view section, std::string_view key) {
  if (section.empty()) return std::string(key);
  std::string path;
  path.reserve(section.size() + 1 + key.size());
  path.append(section).push_back(kPathSeparator);
  path.append(key);
  return path;
}

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
