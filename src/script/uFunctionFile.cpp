// Built-ins for files, folders, the environment, dialogs and the shell. Paths
// are "/"-separated; there are no drive letters. Attributes are reported with
// the bits scripts test: read-only 1, hidden 2 (names starting with a dot),
// directory 16, archive 32 (every file that is no folder).
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/uDateTime.h"
#include "common/uFilename.h"
#include "common/uStrC.h"
#include "script/uFunction.h"
#include "script/uFunctionTable.h"

namespace tracemill {

namespace {

// Colours of the window elements (COLOR_SCROLLBAR = 0 ... COLOR_MENUBAR = 30)
// in a light theme, as 0x00BBGGRR.
constexpr std::uint32_t kSystemColors[] = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0};

}  // namespace

std::uint32_t DefaultSystemColor(std::uint32_t color) {
  if ((color & 0x80000000u) == 0) return color;
  const std::uint32_t index = color & 0xFFu;
  return index < std::size(kSystemColors) ? kSystemColors[index] : 0;
}

namespace builtins {

namespace {

bool Stat(const std::string& path, struct stat& info) {
  return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

// The masks of a listing: separated by ";", each trimmed; "name.*" matches
// name followed by anything (also no extension at all).
std::vector<std::string> Masks(const std::string& text) {
  std::vector<std::string> masks;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(';', start);
    if (end == std::string::npos) end = text.size();
    std::string mask = tracemill::Trim(std::string_view(text).substr(start, end - start));
    if (mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0) {
      mask.resize(mask.size() - 2);
      if (mask.empty() || mask.back() != '*') mask += '*';
    }
    if (!mask.empty()) masks.push_back(std::move(mask));
    start = end + 1;
  }
  if (masks.empty()) masks.push_back("*");
  return masks;
}

char Folded(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// "*" matches any run of characters, "?" one character; letters match
// without regard to ASCII case.
bool Matches(const std::string& name, const std::string& mask) {
  std::size_t n = 0;
  std::size_t m = 0;
  std::size_t starMask = std::string::npos;
  std::size_t starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (m < mask.size() && mask[m] == '?') {
      n += CharByteLength(name, n);
      ++m;
    } else if (m < mask.size() && Folded(mask[m]) == Folded(name[n])) {
      ++m;
      ++n;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      starName += CharByteLength(name, starName);
      n = starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

bool MatchesAny(const std::string& name, const std::vector<std::string>& masks) {
  return std::any_of(masks.begin(), masks.end(), [&](const std::string& m) { return Matches(name, m); });
}

struct TEntryInfo {
  std::string Name;
  bool Directory;
  bool Link;
};

// The entries of a folder (without "." and ".."), sorted by name.
std::vector<TEntryInfo> ListFolder(const std::string& folder) {
  std::vector<TEntryInfo> entries;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return entries;
  while (const dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::string path = folder + name;
    struct stat info {};
    struct stat link {};
    if (::stat(path.c_str(), &info) != 0) continue;
    const bool isLink = ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    entries.push_back({name, S_ISDIR(info.st_mode), isLink});
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(),
            [](const TEntryInfo& a, const TEntryInfo& b) { return a.Name < b.Name; });
  return entries;
}

void CollectDirectories(const std::string& base, const std::string& relative,
                        const std::vector<std::string>& masks, bool recursive, int depth,
                        std::vector<std::string>& found) {
  constexpr int kMaxDepth = 64;
  for (const TEntryInfo& entry : ListFolder(base + relative)) {
    if (!entry.Directory || entry.Name[0] == '.') continue;
    const std::string path = relative + entry.Name;
    if (MatchesAny(entry.Name, masks)) found.push_back(path);
    // Linked folders are listed but not entered, so a link loop ends.
    if (recursive && !entry.Link && depth < kMaxDepth)
      CollectDirectories(base, path + "/", masks, recursive, depth + 1, found);
  }
}

TValue Listing(const std::vector<std::string>& names) {
  std::vector<TValue> values;
  values.reserve(names.size());
  for (const auto& name : names) values.push_back(TValue::String(name));
  return TValue::List({TValue::Integer(static_cast<std::int32_t>(names.size())),
                       TValue::List(std::move(values))});
}

}  // namespace

TValue FileExists(TBuiltinContext& c, const TValue& path) {
  return TValue::Boolean(tracemill::FileExists(Text(c, path)));
}

TValue DirectoryExists(TBuiltinContext& c, const TValue& path) {
  return TValue::Boolean(tracemill::DirectoryExists(Text(c, path)));
}

TValue DeleteFile(TBuiltinContext& c, const TValue& path) {
  const std::string p = Text(c, path);
  struct stat info {};
  if (p.empty() || ::lstat(p.c_str(), &info) != 0 || S_ISDIR(info.st_mode))
    return TValue::Boolean(false);
  return TValue::Boolean(::unlink(p.c_str()) == 0);
}

TValue CreateDir(TBuiltinContext& c, const TValue& path) {
  const std::string p = Text(c, path);
  return TValue::Boolean(!p.empty() && ::mkdir(p.c_str(), 0777) == 0);
}

TValue RemoveDir(TBuiltinContext& c, const TValue& path) {
  const std::string p = Text(c, path);
  return TValue::Boolean(!p.empty() && ::rmdir(p.c_str()) == 0);
}

TValue ForceDirectories(TBuiltinContext& c, const TValue& path) {
  const std::string p = Text(c, path);
  if (!p.empty()) tracemill::ForceDirectories(p);
  return TValue();
}

TValue SetCurrentDir(TBuiltinContext& c, const TValue& path) {
  const std::string p = Text(c, path);
  if (!p.empty() && ::chdir(p.c_str()) != 0) {
    // The folder stays as it was; the script can check CURRENTDIR.
  }
  return TValue();
}

TValue FileAttribute(TBuiltinContext& c, const TValue& path) {
  const std::string p = Text(c, path);
  struct stat info {};
  if (!Stat(p, info)) return TValue::Integer(-1);
  std::int32_t attributes = S_ISDIR(info.st_mode) ? 16 : 32;
  if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= 1;
  const std::string name = tracemill::ExtractFileName(ExcludeTrailingSlash(p));
  if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= 2;
  return TValue::Integer(attributes);
}

TValue FileSize(TBuiltinContext& c, const TValue& path) {
  struct stat info {};
  if (!Stat(Text(c, path), info) || !S_ISREG(info.st_mode)) return TValue::Integer(-1);
  return Integral(static_cast<double>(info.st_size));
}

TValue FileUpdatedDateTime(TBuiltinContext& c, const TValue& path) {
  struct stat info {};
  if (!Stat(Text(c, path), info)) return TValue::Integer(-1);
  return TValue::Date(UnixTimeToDateTime(info.st_mtim.tv_sec,
                                         static_cast<int>(info.st_mtim.tv_nsec / 1000000)));
}

TValue ExpandFileName(TBuiltinContext& c, const TValue& path) {
  const std::string p = Text(c, path);
  if (p.empty()) return TValue::String("");
  std::error_code error;
  const auto absolute = std::filesystem::absolute(p, error);
  if (error) return TValue::String(p);
  return TValue::String(absolute.lexically_normal().string());
}

TValue ExtractFileDir(TBuiltinContext& c, const TValue& path) {
  return TValue::String(tracemill::ExtractFileDir(Text(c, path)));
}
TValue ExtractFilePath(TBuiltinContext& c, const TValue& path) {
  return TValue::String(tracemill::ExtractFilePath(Text(c, path)));
}
TValue ExtractFileDrive(TBuiltinContext&, const TValue&) { return TValue::String(""); }
TValue ExtractFileName(TBuiltinContext& c, const TValue& path) {
  return TValue::String(tracemill::ExtractFileName(Text(c, path)));
}
TValue ExtractFileExt(TBuiltinContext& c, const TValue& path) {
  return TValue::String(tracemill::ExtractFileExt(Text(c, path)));
}

TValue CurrentDir(TBuiltinContext&, const TValue&) { return TValue::String(CurrentFolder()); }

// There are no drives: every drive's current folder is the current folder.
TValue CurrentDirOfDrive(TBuiltinContext&, const TValue&) { return TValue::String(CurrentFolder()); }

TValue Environment(TBuiltinContext& c, const TValue& name) {
  const std::string n = Text(c, name);
  const char* value = n.empty() || n.find('\0') != std::string::npos ? nullptr : std::getenv(n.c_str());
  return TValue::String(value ? CharCopy(value, 1, 256) : std::string());
}

TValue ParamStr(TBuiltinContext& c, const TValue& index) {
  const std::int32_t i = index.ToInteger(c.Format());
  const auto line = c.Services().CommandLine();
  return TValue::String(i >= 0 && static_cast<std::size_t>(i) < line.size() ? line[static_cast<std::size_t>(i)]
                                                                                : std::string());
}

TValue ParamCount(TBuiltinContext& c, const TValue&) {
  const auto line = c.Services().CommandLine();
  return TValue::Integer(line.empty() ? 0 : static_cast<std::int32_t>(line.size() - 1));
}

TValue ColorToRGB(TBuiltinContext& c, const TValue& color) {
  const auto rgb = c.Services().ColorToRGB(static_cast<std::uint32_t>(color.ToInteger(c.Format())));
  return TValue::Integer(static_cast<std::int32_t>(rgb));
}

TValue MatchesMask(const TArgs& args) { return TValue::Boolean(Matches(args.Str(0), args.Str(1))); }

// Renaming never replaces an existing file.
TValue RenameFile(const TArgs& args) {
  const std::string from = args.Str(0);
  const std::string to = args.Str(1);
  struct stat info {};
  if (from.empty() || to.empty() || ::lstat(to.c_str(), &info) == 0) return TValue::Boolean(false);
  return TValue::Boolean(std::rename(from.c_str(), to.c_str()) == 0);
}

// Only the read-only bit can change: it removes or restores write permission.
TValue FileSetAttribute(const TArgs& args) {
  const std::string p = args.Str(0);
  const std::int32_t attributes = args.Int(1);
  struct stat info {};
  if (!Stat(p, info)) return TValue();
  mode_t mode = info.st_mode & 07777;
  if (attributes & 1)
    mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
  else if ((mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
    mode |= S_IWUSR;
  if (mode != (info.st_mode & 07777)) ::chmod(p.c_str(), mode);
  return TValue();
}

TValue MessageBox(const TArgs& args) {
  return TValue::Integer(args.Context().Services().MessageBox(args.Str(0), args.Str(1), args.Int(2)));
}

TValue InputBox(const TArgs& args) {
  return TValue::String(args.Context().Services().InputBox(args.Str(0), args.Str(1), args.Str(2)));
}

TValue Shell(const TArgs& args) {
  return TValue::Integer(args.Context().Services().Shell(args.Str(0), args.Str(1), args.Str(2)));
}

TValue SelectDirectory(const TArgs& args) {
  return TValue::String(args.Context().Services().SelectDirectory(args.Str(0), args.Bool(1)));
}

TValue Files(const TArgs& args) {
  const std::string folder = IncludeTrailingSlash(args.Str(0));
  const auto masks = Masks(args.Count() >= 2 ? args.Str(1) : std::string());
  std::vector<std::string> names;
  if (!folder.empty()) {
    for (const TEntryInfo& entry : ListFolder(folder))
      if (!entry.Directory && MatchesAny(entry.Name, masks)) names.push_back(entry.Name);
  }
  return Listing(names);
}

TValue Directories(const TArgs& args) {
  const std::string folder = IncludeTrailingSlash(args.Str(0));
  const auto masks = Masks(args.Str(1));
  const bool recursive = args.Count() >= 3 && args.Bool(2);
  std::vector<std::string> names;
  if (!folder.empty()) CollectDirectories(folder, "", masks, recursive, 0, names);
  return Listing(names);
}

TValue Drives(const TArgs&) { return Listing({}); }

}  // namespace builtins

}  // namespace tracemill
