#include "image/uSPI.h"

#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string_view>
#include <utility>

#include "common/uError.h"
#include "common/uFilename.h"
#include "common/uIntList.h"
#include "common/uStrC.h"
#include "image/ImagePluginAbi.h"
#include "image/uBitmap.h"
#include "image/uBmp.h"
#include "image/uJpeg.h"

namespace tracemill {

namespace {

const char* const kAllImagesJa = "すべての画像ファイル";
const char* const kAllImagesEn = "All Image Files";
const char* const kAllFilesJa = "すべてのファイル";
const char* const kAllFilesEn = "All Files";
const char* const kAllFilesPattern = " (*.*)|*.*";
const char* const kBitmapPatterns = "*.bmp;*.dib";
const char* const kBitmapDescription = "Windows Bitmap";
const char* const kJpegPatterns = "*.jpeg;*.jpg";
const char* const kJpegDescription = "JPEG";
const char* const kNoPluginEn = "There is no plug-in to open";
const char* const kNoPluginJa = "を扱うためのプラグインは見つかりません。";
const char* const kNotFoundEn = "is not found.";
const char* const kNotFoundJa = "が見つかりません。";
// Failures of LoadPictureFile, after the quoted file name.
const char* const kFileMissing = ": the file does not exist.";
const char* const kNoLoader = ": there is no plug-in to open it.";
const char* const kPluginPrefix = ": image plug-in \"";
const char* const kNoGetPicture = "\" has no GetPicture function.";
const char* const kGetPictureFailed = "\" cannot decode it (GetPicture error ";

// A plug-in gives at most this many file types; one that answers every
// number would otherwise keep the table builder busy for ever.
const int kMaxFileTypesPerPlugin = 256;
// Offset of the picture in a file that carries a 128-byte MacBinary header.
const std::intptr_t kMacBinaryOffset = 128;

struct PluginEntry {
  std::string path;
  void* module = nullptr;
  std::string apiVersion;
};

template <typename F>
F LookUp(void* module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<F>(dlsym(module, name));
}

// A text a plug-in copied into buffer: at most the returned length, cut at
// the buffer's end and at a zero byte.
std::string PluginText(const char* buffer, int returned, int capacity) {
  if (returned <= 0) return {};
  std::size_t n = static_cast<std::size_t>(std::min(returned, capacity));
  return std::string(buffer, strnlen(buffer, n));
}

bool IsImportPlugin(const PluginEntry& p) { return p.apiVersion.size() >= 3 && p.apiVersion[2] == 'I'; }

bool ContainsPiece(const std::string& list, const std::string& piece) {
  return (";" + list + ";").find(";" + piece + ";") != std::string::npos;
}

std::vector<std::string> SpiFilesIn(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return names;
  while (dirent* e = readdir(dir)) {
    std::string name = e->d_name;
    if (name.size() < 4 || !SameTextAscii(name.substr(name.size() - 4), ".spi")) continue;
    if (FileExists(folder + name)) names.push_back(name);  // folders are skipped
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// What a GetPicture error code means.
std::string GetPictureError(int code) {
  switch (code) {
    case TM_SPI_NOT_IMPLEMENTED: return "not implemented";
    case TM_SPI_ABORTED: return "aborted";
    case TM_SPI_UNKNOWN_FORMAT: return "unknown format";
    case TM_SPI_BROKEN_DATA: return "broken data";
    case TM_SPI_NO_MEMORY: return "out of memory";
    case TM_SPI_MEMORY_ERROR: return "memory error";
    case TM_SPI_FILE_READ_ERROR: return "file read error";
    case TM_SPI_INTERNAL_ERROR: return "internal error";
    default: return "unknown error";
  }
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

struct MallocFree {
  void operator()(void* p) const { std::free(p); }
};
using MallocBlock = std::unique_ptr<void, MallocFree>;

}  // namespace

std::vector<std::string> PluginFolders(const std::string& exeFolder, const std::string& envFolder,
                                       const std::string& installFolder,
                                       const std::string& userFolder) {
  std::vector<std::string> folders;
  folders.push_back(IncludeTrailingSlash(exeFolder));
  if (!envFolder.empty() && DirectoryExists(envFolder))
    folders.push_back(IncludeTrailingSlash(envFolder));
  folders.push_back(IncludeTrailingSlash(installFolder));
  folders.push_back(IncludeTrailingSlash(userFolder));
  return folders;
}

std::vector<std::string> DefaultPluginFolders(const std::string& exeFolder,
                                              const std::string& workFolder) {
  const char* env = std::getenv("TRACEMILL_PLUGIN_PATH");
  std::string install =
      (std::filesystem::path(IncludeTrailingSlash(exeFolder)) / "../lib/tracemill/plugins")
          .lexically_normal()
          .string();
  return PluginFolders(exeFolder, env ? env : "", install, IncludeTrailingSlash(workFolder) + "plugins");
}

struct TPluginTable::Tables {
  std::vector<PluginEntry> plugins;
  std::vector<std::string> descriptions;
  std::vector<std::string> patterns;
  TIntegerList owners;
  std::string allPatterns;

  void ClearFilters() {
    descriptions.clear();
    patterns.clear();
    owners.Clear();
    allPatterns.clear();
  }
  void Unload() {
    for (PluginEntry& p : plugins)
      if (p.module) dlclose(p.module);
    plugins.clear();
    ClearFilters();
  }
  const PluginEntry* Plugin(int index) const {
    return index >= 0 && index < static_cast<int>(plugins.size()) ? &plugins[static_cast<std::size_t>(index)]
                                                                    : nullptr;
  }
  bool HasFilter(int index) const { return index >= 0 && index < static_cast<int>(descriptions.size()); }
};

TPluginTable::TPluginTable() : t_(std::make_unique<Tables>()) {}

TPluginTable::~TPluginTable() { t_->Unload(); }

void TPluginTable::LoadPlugins(const std::vector<std::string>& folders) {
  Tables& t = *t_;
  t.Unload();
  for (const std::string& given : folders) {
    const std::string folder = IncludeTrailingSlash(given);
    for (const std::string& name : SpiFilesIn(folder)) t.plugins.push_back({folder + name, nullptr, {}});
  }

  for (PluginEntry& p : t.plugins) {
    p.module = dlopen(p.path.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto info = LookUp<TmSpiGetPluginInfo>(p.module, TM_SPI_GET_PLUGIN_INFO);
    if (info) {
      char buffer[16] = {};
      p.apiVersion = PluginText(buffer, info(0, buffer, 15), 15);
    }
    if (p.apiVersion.empty() && p.module) {
      dlclose(p.module);
      p.module = nullptr;
    }
  }
  for (std::size_t i = t.plugins.size(); i-- > 0;)
    if (t.plugins[i].apiVersion.empty()) t.plugins.erase(t.plugins.begin() + static_cast<std::ptrdiff_t>(i));
}

void TPluginTable::UnloadPlugins() { t_->Unload(); }

void TPluginTable::AddFilterEntry(const std::string& patterns, const std::string& description, int owner) {
  Tables& t = *t_;
  int existing = -1;
  for (std::size_t k = 0; k < t.descriptions.size(); ++k)
    if (SameTextAscii(t.descriptions[k], description)) {
      existing = static_cast<int>(k);
      break;
    }
  if (existing < 0) {
    t.descriptions.push_back(description);
    t.patterns.push_back(patterns);
    t.owners.Add(owner);
  }

  std::string rest = Trim(patterns);
  for (;;) {
    std::size_t semicolon = rest.find(';');
    std::string piece = Trim(rest.substr(0, semicolon));
    if (!piece.empty()) {
      if (!ContainsPiece(t.allPatterns, piece)) {
        if (!t.allPatterns.empty()) t.allPatterns += ";";
        t.allPatterns += piece;
      }
      if (existing >= 0) {
        std::string& own = t.patterns[static_cast<std::size_t>(existing)];
        if (!ContainsPiece(own, piece)) own += ";" + piece;
      }
    }
    if (semicolon == std::string::npos) break;
    rest.erase(0, semicolon + 1);
  }
}

void TPluginTable::BuildFilterTable() {
  Tables& t = *t_;
  t.ClearFilters();
  for (std::size_t i = 0; i < t.plugins.size(); ++i) {
    const PluginEntry& p = t.plugins[i];
    auto info = LookUp<TmSpiGetPluginInfo>(p.module, TM_SPI_GET_PLUGIN_INFO);
    if (!IsImportPlugin(p) || !info) continue;
    for (int n = 2; n < 2 + 2 * kMaxFileTypesPerPlugin; n += 2) {
      char patterns[256] = {};
      char description[256] = {};
      int r1 = info(n, patterns, 255);
      int r2 = info(n + 1, description, 255);
      if (r1 <= 0 || r2 <= 0) break;
      AddFilterEntry(LowerCaseAscii(PluginText(patterns, r1, 255)), PluginText(description, r2, 255),
                     static_cast<int>(i));
    }
  }

  const int builtIn = PluginCount();
  if (!ContainsPiece(t.allPatterns, "*.bmp")) AddFilterEntry(kBitmapPatterns, kBitmapDescription, builtIn);
  if (!ContainsPiece(t.allPatterns, "*.jpg")) AddFilterEntry(kJpegPatterns, kJpegDescription, builtIn);
}

int TPluginTable::PluginCount() const { return static_cast<int>(t_->plugins.size()); }

std::string TPluginTable::PluginPath(int index) const {
  const PluginEntry* p = t_->Plugin(index);
  return p ? p->path : "";
}

std::string TPluginTable::PluginApiVersion(int index) const {
  const PluginEntry* p = t_->Plugin(index);
  return p ? p->apiVersion : "";
}

int TPluginTable::FilterCount() const { return static_cast<int>(t_->descriptions.size()); }

std::string TPluginTable::FilterDescription(int index) const {
  return t_->HasFilter(index) ? t_->descriptions[static_cast<std::size_t>(index)] : "";
}

std::string TPluginTable::FilterPatterns(int index) const {
  return t_->HasFilter(index) ? t_->patterns[static_cast<std::size_t>(index)] : "";
}

int TPluginTable::FilterOwner(int index) const { return t_->HasFilter(index) ? t_->owners.Get(index) : -1; }

std::string TPluginTable::AllFilterPatterns() const { return t_->allPatterns; }

int TPluginTable::FindPictureLoader(const std::string& fileName) const {
  if (!FileExists(fileName)) return -1;
  const Tables& t = *t_;
  int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    int claimed = -1;
    for (std::size_t i = 0; i < t.plugins.size() && claimed < 0; ++i) {
      auto isSupported = LookUp<TmSpiIsSupported>(t.plugins[i].module, TM_SPI_IS_SUPPORTED);
      if (!IsImportPlugin(t.plugins[i]) || !isSupported) continue;
      // Every plug-in sees the file from its start, whatever the one before read.
      ::lseek(fd, 0, SEEK_SET);
      if (isSupported(fileName.c_str(), fd) != 0) claimed = static_cast<int>(i);
    }
    ::close(fd);
    if (claimed >= 0) return claimed;
  }
  const std::string ext = LowerCaseAscii(ExtractFileExt(ExtractFileName(fileName)));
  const int n = PluginCount();
  if (ext == ".bmp" || ext == ".dib") return n;
  if (ext == ".jpeg" || ext == ".jpg") return n + 1;
  return -1;
}

bool TPluginTable::CanOpenPicture(const std::string& fileName) const { return FindPictureLoader(fileName) >= 0; }

namespace {

// Decodes the file with the plug-in; failures name the file and the plug-in.
TBitmap LoadThroughPlugin(const std::string& fileName, const PluginEntry& plugin, const TImageLimits& limits) {
  const std::string failure = Quoted(fileName) + kPluginPrefix + plugin.path;
  auto getPicture = LookUp<TmSpiGetPicture>(plugin.module, TM_SPI_GET_PICTURE);
  if (!getPicture) throw FileError(failure + kNoGetPicture);
  void* info = nullptr;
  void* bits = nullptr;
  const int result = getPicture(fileName.c_str(), 0, TM_SPI_INPUT_FILE, &info, &bits, nullptr, 0);
  if (result != TM_SPI_SUCCESS) {
    info = bits = nullptr;
    // The error of the first try says more: most files have no MacBinary header.
    if (getPicture(fileName.c_str(), kMacBinaryOffset, TM_SPI_INPUT_FILE, &info, &bits, nullptr, 0) !=
        TM_SPI_SUCCESS)
      throw FileError(failure + kGetPictureFailed + std::to_string(result) + ": " + GetPictureError(result) +
                      ").");
  }
  try {
    return BitmapFromPluginPicture(info, bits, limits);
  } catch (const FileError& e) {
    throw FileError(failure + "\": " + e.what());
  }
}

}  // namespace

void TPluginTable::LoadPictureFile(const std::string& fileName, TBitmap& target, const TImageLimits& limits) const {
  if (!FileExists(fileName)) throw FileError(Quoted(fileName) + kFileMissing);
  const int loader = FindPictureLoader(fileName);
  const int n = PluginCount();
  if (loader >= 0 && loader < n) {
    TBitmap loaded = LoadThroughPlugin(fileName, t_->plugins[static_cast<std::size_t>(loader)], limits);
    target.Swap(loaded);
  } else if (loader == n) {
    LoadBmpFile(fileName, target, limits);
  } else if (loader == n + 1) {
    LoadJpegFile(fileName, target, limits);
  } else {
    throw FileError(Quoted(fileName) + kNoLoader);
  }
}

std::string TPluginTable::MakeOpenFilter(bool japanese, const std::string& fallback) const {
  if (PluginCount() == 0) return fallback;
  const Tables& t = *t_;
  std::string filter = std::string(japanese ? kAllImagesJa : kAllImagesEn) + "|" + t.allPatterns;
  for (std::size_t i = 0; i < t.descriptions.size(); ++i)
    filter += "|" + t.descriptions[i] + "(" + t.patterns[i] + ")|" + t.patterns[i];
  filter += std::string("|") + (japanese ? kAllFilesJa : kAllFilesEn) + kAllFilesPattern;
  return filter;
}

TPluginTable& DefaultPluginTable() {
  static TPluginTable table;
  return table;
}

void LoadPlugins(const std::vector<std::string>& folders) { DefaultPluginTable().LoadPlugins(folders); }
void UnloadPlugins() { DefaultPluginTable().UnloadPlugins(); }
void BuildFilterTable() { DefaultPluginTable().BuildFilterTable(); }
int PluginCount() { return DefaultPluginTable().PluginCount(); }
int FilterCount() { return DefaultPluginTable().FilterCount(); }
std::string FilterDescription(int index) { return DefaultPluginTable().FilterDescription(index); }
std::string FilterPatterns(int index) { return DefaultPluginTable().FilterPatterns(index); }
std::string AllFilterPatterns() { return DefaultPluginTable().AllFilterPatterns(); }
int FindPictureLoader(const std::string& fileName) { return DefaultPluginTable().FindPictureLoader(fileName); }
bool CanOpenPicture(const std::string& fileName) { return DefaultPluginTable().CanOpenPicture(fileName); }

void LoadPictureFile(const std::string& fileName, TBitmap& target, const TImageLimits& limits) {
  DefaultPluginTable().LoadPictureFile(fileName, target, limits);
}

std::string MakeOpenFilter(bool japanese, const std::string& fallback) {
  return DefaultPluginTable().MakeOpenFilter(japanese, fallback);
}

TBitmap BitmapFromPluginPicture(void* info, void* bits, const TImageLimits& limits) {
  MallocBlock infoBlock(info), bitsBlock(bits);
  if (!info || !bits) throw FileError("The image plug-in returned no picture.");
  return BitmapFromDib(std::string_view(static_cast<const char*>(info), malloc_usable_size(info)),
                       std::string_view(static_cast<const char*>(bits), malloc_usable_size(bits)), limits);
}

std::string NoPluginMessage(bool japanese, const std::string& fileName) {
  return japanese ? fileName + "\n" + kNoPluginJa : std::string(kNoPluginEn) + "\n" + fileName;
}

std::string PictureNotFoundMessage(bool japanese, const std::string& fileName) {
  return japanese ? fileName + "\n" + kNotFoundJa : fileName + "\n" + kNotFoundEn + "\n";
}

}  // namespace tracemill
