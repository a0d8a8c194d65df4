#pragma once
// Opening images: the table of image plug-ins (".spi" shared objects, see
// ImagePluginAbi.h), the table of file types for the open dialogs, the choice
// of a loader for a file and the decoding into a bitmap, through a plug-in or
// the built-in BMP and JPEG readers.
//
// The tables are process-wide: LoadPlugins and BuildFilterTable fill them at
// start, UnloadPlugins releases the plug-ins at program end (it also runs
// when the program exits without calling it).

#include <cstddef>
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
// environment.
std::vector<std::string> DefaultPluginFolders(const std::string& exeFolder,
                                              const std::string& workFolder);

// Clears the plug-in table (releasing plug-ins loaded before) and loads every
// "*.spi" file of the folders, in folder order and by name within a folder. A
// plug-in drops out when it does not load, lacks GetPluginInfo or gives no
// API version.
void LoadPlugins(const std::vector<std::string>& folders);
// The same over the program's own folders: DefaultPluginFolders of the
// executable's folder and the per-user work folder of Appli().
void LoadPlugins();

// Releases every loaded plug-in and empties both tables.
void UnloadPlugins();

// Fills the file-type table from the import plug-ins, then adds "Windows
// Bitmap" and "JPEG" unless a plug-in already registered "*.bmp" or "*.jpg".
void BuildFilterTable();

// Adds a file type, or extends the entry of the same description
// (case-insensitive) by the patterns it does not have yet.
void AddFilterEntry(const std::string& patterns, const std::string& description, int owner);

// Plug-in table: count N, and per index the file path and API version.
int PluginCount();
std::string PluginPath(int index);
std::string PluginApiVersion(int index);

// File-type table; an index outside the table gives "" (and owner -1).
int FilterCount();
std::string FilterDescription(int index);
std::string FilterPatterns(int index);
int FilterOwner(int index);
std::string AllFilterPatterns();

// The loader of a file: 0..N-1 a plug-in, N the BMP reader, N+1 the JPEG
// reader, -1 none (also for a file that does not exist).
int FindPictureLoader(const std::string& fileName);
bool CanOpenPicture(const std::string& fileName);

// Decodes the file with its loader into target. A plug-in that fails (at
// offset 0 and again at offset 128) and a file without loader leave target as
// it was. The built-in readers and malformed plug-in output throw FileError,
// also leaving target as it was.
void LoadPictureFile(const std::string& fileName, TBitmap& target);

// Converts what a plug-in's GetPicture returned (two malloc'ed blocks, whose
// ownership passes to this call: both are freed, also when it throws). The
// blocks' sizes are taken from the allocator, so a header that promises more
// than the plug-in allocated gives FileError instead of a read out of bounds.
TBitmap BitmapFromPluginPicture(void* info, void* bits, const TImageLimits& limits = {});

// The filter of a file-open dialog ("Desc|pattern;pattern|..."); fallback
// unchanged when no plug-in is loaded.
std::string MakeOpenFilter(bool japanese, const std::string& fallback);

// Texts of the message boxes shown when no loader claims a file and when the
// file to load does not exist.
std::string NoPluginMessage(bool japanese, const std::string& fileName);
std::string PictureNotFoundMessage(bool japanese, const std::string& fileName);

}  // namespace tracemill
