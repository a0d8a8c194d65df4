#pragma once
// Opening images: the table of image plug-ins (".spi" shared objects, see
// ImagePluginAbi.h), the table of file types for the open dialogs, the choice
// of a loader for a file and the decoding into a bitmap, through a plug-in or
// the built-in BMP and JPEG readers.
//
// TPluginTable holds both tables. The program has one, DefaultPluginTable():
// it loads the plug-ins and builds the file types once at start, with the
// folders its caller gives (the image layer knows no settings or program
// folders), and releases the plug-ins at exit. The free functions below work
// on that default table; code that wants a table of its own (tests, a
// second set of plug-in folders) makes a TPluginTable and calls it directly.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "image/uBitmap.h"

namespace tracemill {

// The plug-in folders in search order: the executable's folder, envFolder
// (the value of TRACEMILL_PLUGIN_PATH; only when not empty and existing), the
// installed plug-in folder and the per-user plug-in folder. Each ends in "/".
std::vector<std::string> PluginFolders(const std::string& exeFolder, const std::string& envFolder,
                                       const std::string& installFolder,
                                       const std::string& userFolder);

// The folders for an executable in exeFolder (installed as <prefix>/bin, so
// the plug-ins lie in <prefix>/lib/tracemill/plugins) and the per-user work
// folder (its "plugins/" subfolder), with TRACEMILL_PLUGIN_PATH read from the
// environment. The program passes its executable's folder and work folder.
std::vector<std::string> DefaultPluginFolders(const std::string& exeFolder,
                                              const std::string& workFolder);

class TPluginTable {
 public:
  TPluginTable();
  // Releases every loaded plug-in.
  ~TPluginTable();
  TPluginTable(const TPluginTable&) = delete;
  TPluginTable& operator=(const TPluginTable&) = delete;

  // Clears the plug-in table (releasing plug-ins loaded before) and loads
  // every "*.spi" file of the folders, in folder order and by name within a
  // folder. A plug-in drops out when it does not load, lacks GetPluginInfo or
  // gives no API version.
  void LoadPlugins(const std::vector<std::string>& folders);
  // Releases every loaded plug-in and empties both tables.
  void UnloadPlugins();

  // Fills the file-type table from the import plug-ins, then adds "Windows
  // Bitmap" and "JPEG" unless a plug-in already registered "*.bmp" or "*.jpg".
  void BuildFilterTable();
  // Adds a file type, or extends the entry of the same description
  // (case-insensitive) by the patterns it does not have yet.
  void AddFilterEntry(const std::string& patterns, const std::string& description, int owner);

  // Plug-in table: count N, and per index the file path and API version
  // ("" outside the table).
  int PluginCount() const;
  std::string PluginPath(int index) const;
  std::string PluginApiVersion(int index) const;

  // File-type table; an index outside the table gives "" (and owner -1).
  int FilterCount() const;
  std::string FilterDescription(int index) const;
  std::string FilterPatterns(int index) const;
  int FilterOwner(int index) const;
  std::string AllFilterPatterns() const;

  // The loader of a file: 0..N-1 a plug-in, N the BMP reader, N+1 the JPEG
  // reader, -1 none (also for a file that does not exist).
  int FindPictureLoader(const std::string& fileName) const;
  bool CanOpenPicture(const std::string& fileName) const;

  // Decodes the file with its loader into target, or throws FileError and
  // leaves target as it was. Every failure throws: a missing file, a file no
  // loader claims, a plug-in without GetPicture, a plug-in whose GetPicture
  // fails at offset 0 and again at offset 128 (a MacBinary header), a
  // picture over limits, and data the reader or the plug-in's output cannot
  // be made into a picture. The message names the file and, when a plug-in
  // was used, the plug-in. Callers treat any exception as a failed load.
  void LoadPictureFile(const std::string& fileName, TBitmap& target, const TImageLimits& limits) const;

  // The filter of a file-open dialog ("Desc|pattern;pattern|..."); fallback
  // unchanged when no plug-in is loaded.
  std::string MakeOpenFilter(bool japanese, const std::string& fallback) const;

 private:
  struct Tables;
  std::unique_ptr<Tables> t_;
};

// The program's plug-in table.
TPluginTable& DefaultPluginTable();

// The same operations on DefaultPluginTable().
void LoadPlugins(const std::vector<std::string>& folders);
void UnloadPlugins();
void BuildFilterTable();
int PluginCount();
int FilterCount();
std::string FilterDescription(int index);
std::string FilterPatterns(int index);
std::string AllFilterPatterns();
int FindPictureLoader(const std::string& fileName);
bool CanOpenPicture(const std::string& fileName);
void LoadPictureFile(const std::string& fileName, TBitmap& target, const TImageLimits& limits);
std::string MakeOpenFilter(bool japanese, const std::string& fallback);

// Converts what a plug-in's GetPicture returned (two malloc'ed blocks, whose
// ownership passes to this call: both are freed, also when it throws). The
// blocks' sizes are taken from the allocator, so a header that promises more
// than the plug-in allocated gives FileError instead of a read out of bounds.
TBitmap BitmapFromPluginPicture(void* info, void* bits, const TImageLimits& limits);

// Texts of the message boxes shown when no loader claims a file and when the
// file to load does not exist.
std::string NoPluginMessage(bool japanese, const std::string& fileName);
std::string PictureNotFoundMessage(bool japanese, const std::string& fileName);

}  // namespace tracemill
