#pragma once
// Path operations on "/"-separated file paths.

#include <string>
#include <string_view>

namespace tracemill {

// The folder part including the trailing "/" ("" when there is none).
std::string ExtractFilePath(std::string_view path);
// The folder part without the trailing "/" (except for the root "/").
std::string ExtractFileDir(std::string_view path);
// The name without its folder.
std::string ExtractFileName(std::string_view path);
// The extension of the name including the dot ("" when none); a leading dot of
// a hidden file's name ("/a/.profile") is not an extension.
std::string ExtractFileExt(std::string_view path);
// The name without folder and extension.
std::string ExtractFileBaseName(std::string_view path);
// Folder with exactly one "/" at its end ("" stays "").
std::string IncludeTrailingSlash(std::string_view folder);
std::string ExcludeTrailingSlash(std::string_view folder);
// Creates the folder and every missing parent; true when it exists afterwards.
bool ForceDirectories(std::string_view folder);
// The process's current folder, without a trailing "/" (except the root
// itself); the root "/" when the system cannot tell (the folder was removed).
std::string CurrentFolder();
bool FileExists(std::string_view path);       // a regular file (or a link to one)
bool DirectoryExists(std::string_view path);  // a folder (or a link to one)

}  // namespace tracemill
