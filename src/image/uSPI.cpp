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
#include "settings/uAppliInfo.h"

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

struct Tables {
  std::vector<PluginEntry> plugins;
  std::vector<std::string> descriptions;
  std::vector<std::string> patterns;
  TIntegerList owners;
  std::string allPatterns;

  void Unload() {
    for (PluginEntry& p : plugins)
      if (p.module) dlclose(p.module);
    plugins.clear();
    descriptions.clear();
    patterns.clear();
    owners.Clear();
    allPatterns.clear();
  }
  ~Tables() { Unload(); }
};

Tables& State() {
  static Tables tables;
  return tables;
}

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

void LoadPlugins() { LoadPlugins(DefaultPluginFolders(Appli().Folder, Appli().WorkFolder)); }

void LoadPlugins(const std::vector<std::string>& folders) {
  Tables& t = State();
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

void UnloadPlugins() { State().Unload(); }

void AddFilterEntry(const std::string& patterns, const std::string& description, int owner) {
  Tables& t = State();
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

void BuildFilterTable() {
  Tables& t = State();
  t.descriptions.clear();
  t.patterns.clear();
  t.owners.Clear();
  t.allPatterns.clear();

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

int PluginCount() { return static_cast<int>(State().plugins.size()); }

std::string PluginPath(int index) {
  const auto& p = State().plugins;
  return index >= 0 && index < static_cast<int>(p.size()) ? p[static_cast<std::size_t>(index)].path : "";
}

std::string PluginApiVersion(int index) {
  const auto& p = State().plugins;
  return index >= 0 && index < static_cast<int>(p.size()) ? p[static_cast<std::size_t>(index)].apiVersion
                                                           : "";
}

int FilterCount() { return static_cast<int>(State().descriptions.size()); }

std::string FilterDescription(int index) {
  const auto& d = State().descriptions;
  return index >= 0 && index < static_cast<int>(d.size()) ? d[static_cast<std::size_t>(index)] : "";
}

std::string FilterPatterns(int index) {
  const auto& p = State().patterns;
  return index >= 0 && index < static_cast<int>(p.size()) ? p[static_cast<std::size_t>(index)] : "";
}

int FilterOwner(int index) {
  return index >= 0 && index < FilterCount() ? State().owners.Get(index) : -1;
}

std::string AllFilterPatterns() { return State().allPatterns; }

int FindPictureLoader(const std::string& fileName) {
  if (!FileExists(fileName)) return -1;
  Tables& t = State();
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

bool CanOpenPicture(const std::string& fileName) { return FindPictureLoader(fileName) >= 0; }

TBitmap BitmapFromPluginPicture(void* info, void* bits, const TImageLimits& limits) {
  MallocBlock infoBlock(info), bitsBlock(bits);
  if (!info || !bits) throw FileError("The image plug-in returned no picture.");
  return BitmapFromDib(std::string_view(static_cast<const char*>(info), malloc_usable_size(info)),
                       std::string_view(static_cast<const char*>(bits), malloc_usable_size(bits)), limits);
}

void LoadPictureFile(const std::string& fileName, TBitmap& target) {
  const int loader = FindPictureLoader(fileName);
  const int n = PluginCount();
  if (loader >= 0 && loader < n) {
    auto getPicture =
        LookUp<TmSpiGetPicture>(State().plugins[static_cast<std::size_t>(loader)].module, TM_SPI_GET_PICTURE);
    if (!getPicture) return;
    void* info = nullptr;
    void* bits = nullptr;
    int result = getPicture(fileName.c_str(), 0, TM_SPI_INPUT_FILE, &info, &bits, nullptr, 0);
    if (result != TM_SPI_SUCCESS) {
      info = bits = nullptr;
      result = getPicture(fileName.c_str(), kMacBinaryOffset, TM_SPI_INPUT_FILE, &info, &bits, nullptr, 0);
    }
    if (result != TM_SPI_SUCCESS) return;
    target = BitmapFromPluginPicture(info, bits);
  } else if (loader == n) {
    LoadBmpFile(fileName, target);
  } else if (loader == n + 1) {
    LoadJpegFile(fileName, target);
  }
}

std::string MakeOpenFilter(bool japanese, const std::string& fallback) {
  if (PluginCount() == 0) return fallback;
  const Tables& t = State();
  std::string filter = std::string(japanese ? kAllImagesJa : kAllImagesEn) + "|" + t.allPatterns;
  for (std::size_t i = 0; i < t.descriptions.size(); ++i)
    filter += "|" + t.descriptions[i] + "(" + t.patterns[i] + ")|" + t.patterns[i];
  filter += std::string("|") + (japanese ? kAllFilesJa : kAllFilesEn) + kAllFilesPattern;
  return filter;
}

std::string NoPluginMessage(bool japanese, const std::string& fileName) {
  return japanese ? fileName + "\n" + kNoPluginJa : std::string(kNoPluginEn) + "\n" + fileName;
}

std::string PictureNotFoundMessage(bool japanese, const std::string& fileName) {
  return japanese ? fileName + "\n" + kNotFoundJa : fileName + "\n" + kNotFoundEn + "\n";
}

}  // namespace tracemill
