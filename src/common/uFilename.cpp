#include "common/uFilename.h"

#include <filesystem>
#include <system_error>

namespace tracemill {

namespace fs = std::filesystem;

namespace {
std::size_t NameStart(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}
}  // namespace

std::string ExtractFilePath(std::string_view path) {
  return std::string(path.substr(0, NameStart(path)));
}

std::string ExtractFileDir(std::string_view path) {
  std::string dir = ExtractFilePath(path);
  if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string ExtractFileName(std::string_view path) {
  return std::string(path.substr(NameStart(path)));
}

std::string ExtractFileExt(std::string_view path) {
  const std::size_t start = NameStart(path);
  const auto dot = path.find_last_of('.');
  if (dot == std::string_view::npos || dot <= start) return {};
  return std::string(path.substr(dot));
}

std::string ExtractFileBaseName(std::string_view path) {
  const std::string name = ExtractFileName(path);
  return name.substr(0, name.size() - ExtractFileExt(name).size());
}

std::string IncludeTrailingSlash(std::string_view folder) {
  std::string r(folder);
  if (!r.empty() && r.back() != '/') r += '/';
  return r;
}

std::string ExcludeTrailingSlash(std::string_view folder) {
  std::string r(folder);
  while (r.size() > 1 && r.back() == '/') r.pop_back();
  return r;
}

bool ForceDirectories(std::string_view folder) {
  if (folder.empty()) return false;
  std::error_code ec;
  fs::create_directories(fs::path(std::string(folder)), ec);
  return DirectoryExists(folder);
}

std::string CurrentFolder() {
  std::error_code ec;
  const fs::path folder = fs::current_path(ec);
  return ec || folder.empty() ? std::string("/") : ExcludeTrailingSlash(folder.string());
}

bool FileExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(fs::path(std::string(path)), ec);
}

bool DirectoryExists(std::string_view path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(fs::path(std::string(path)), ec);
}

}  // namespace tracemill
