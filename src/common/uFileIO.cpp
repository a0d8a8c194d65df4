#include "common/uFileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "common/uError.h"
#include "common/uFilename.h"

namespace tracemill {

std::string ReadFileBytes(const std::string& path, std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  std::string data;
  char buffer[1 << 16];
  while (in) {
    in.read(buffer, sizeof buffer);
    const auto got = static_cast<std::size_t>(in.gcount());
    if (data.size() + got > maxBytes) throw FileError("File \"" + path + "\" is too large.");
    data.append(buffer, got);
  }
  if (in.bad()) throw FileError("Cannot read file \"" + path + "\".");
  return data;
}

void WriteFileAtomic(const std::string& path, std::string_view content, WriteDurability durability) {
  std::string tmp = ExtractFilePath(path) + "." + ExtractFileName(path) + ".XXXXXX";
  const int fd = mkstemp(tmp.data());
  if (fd < 0) throw FileError("Cannot create file \"" + path + "\". " + std::strerror(errno));
  auto fail = [&](const char* what) {
    const std::string reason = std::strerror(errno);
    ::close(fd);
    ::unlink(tmp.c_str());
    throw FileError(std::string(what) + " \"" + path + "\". " + reason);
  };
  const char* p = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail("Cannot write file");
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  // Keep the permissions of the file being replaced; a new file gets 0644 less umask.
  struct stat st {};
  mode_t mode = 0666;
  if (::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  ::fchmod(fd, mode);
  if (durability == WriteDurability::kFlushToDisk && ::fsync(fd) != 0) fail("Cannot write file");
  if (::close(fd) != 0) {
    ::unlink(tmp.c_str());
    throw FileError("Cannot write file \"" + path + "\".");
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    ::unlink(tmp.c_str());
    throw FileError("Cannot write file \"" + path + "\". " + reason);
  }
}

}  // namespace tracemill
