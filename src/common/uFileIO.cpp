#include "common/uFileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <ostream>
#include <random>
#include <streambuf>

#include "common/uError.h"
#include "common/uFilename.h"

namespace tracemill {

namespace {

constexpr int kMaxLinkDepth = 40;  // as the system's own limit for path lookups
constexpr int kNameAttempts = 100;

std::string Reason(int error) { return std::strerror(error); }

[[noreturn]] void Fail(const char* what, const std::string& path, int error) {
  throw FileError(std::string(what) + " \"" + path + "\". " + Reason(error));
}

// The file a path finally names: symbolic links followed (relative ones from
// the link's own folder), the last one possibly naming a file not made yet.
std::string ResolveLinks(const std::string& path) {
  std::string current = path;
  for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
    if (n < 0) Fail("Cannot write file", path, errno);
    if (static_cast<std::size_t>(n) >= target.size()) Fail("Cannot write file", path, ENAMETOOLONG);
    target.resize(static_cast<std::size_t>(n));
    current = target.starts_with('/') ? target : ExtractFilePath(current) + target;
  }
  Fail("Cannot write file", path, ELOOP);
}

// A new file of a random name beside the target, removed again unless it was
// renamed over the target.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(const std::string& target) {
    std::random_device random;
    static constexpr char kHex[] = "0123456789abcdef";
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
      std::string suffix;
      for (int k = 0; k < 3; ++k) {
        unsigned bits = random();
        for (int h = 0; h < 4; ++h, bits >>= 4) suffix += kHex[bits & 15];
      }
      // A hidden name, short enough for the longest target names.
      name_ = ExtractFilePath(target) + "." + ExtractFileName(target).substr(0, 200) + "." + suffix;
      // open() applies the umask to 0666 by itself.
      fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) Fail("Cannot create file", target, errno);
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;
  ~TTemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(name_.c_str());
  }

  int Descriptor() const { return fd_; }
  // Closes the file; the error number of a failed close, or 0.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }
  int RenameTo(const std::string& target) {
    if (std::rename(name_.c_str(), target.c_str()) != 0) return errno;
    renamed_ = true;
    return 0;
  }

 private:
  std::string name_;
  int fd_ = -1;
  bool renamed_ = false;
};

// A stream buffer that writes to a file descriptor; a refused write makes it
// fail and keeps the error number.
class TDescriptorBuffer : public std::streambuf {
 public:
  explicit TDescriptorBuffer(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (!Flush()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (n < static_cast<std::streamsize>(sizeof buffer_)) return std::streambuf::xsputn(s, n);
    // Large pieces go straight to the file.
    return Flush() && WriteAll(s, static_cast<std::size_t>(n)) ? n : 0;
  }
  int sync() override { return Flush() ? 0 : -1; }

 private:
  bool Flush() {
    const auto n = static_cast<std::size_t>(pptr() - pbase());
    if (n > 0 && !WriteAll(pbase(), n)) return false;
    setp(buffer_, buffer_ + sizeof buffer_);
    return true;
  }
  bool WriteAll(const char* p, std::size_t left) {
    if (error_ != 0) return false;
    while (left > 0) {
      const ssize_t n = ::write(fd_, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        return false;
      }
      p += n;
      left -= static_cast<std::size_t>(n);
    }
    return true;
  }

  int fd_;
  int error_ = 0;
  char buffer_[1 << 16];
};

// Flushes a folder's entries (the rename) to disk. Some file systems cannot
// flush a folder; the file itself is already replaced and flushed then.
void SyncFolder(const std::string& target) {
  const std::string folder = ExtractFileDir(target);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string ReadFileBytes(const std::string& path, std::size_t maxBytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("Cannot open file", path, errno);
  std::string data;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    data.reserve(std::min(static_cast<std::size_t>(st.st_size), maxBytes) + 1);
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      Fail("Cannot read file", path, error);
    }
    if (data.size() + static_cast<std::size_t>(got) > maxBytes) {
      ::close(fd);
      throw FileError("File \"" + path + "\" is too large.");
    }
    data.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return data;
}

namespace {

// A device or a pipe (/dev/null, /dev/stdout, a named pipe a script reads)
// cannot be replaced by a file without destroying it: it is written into.
bool IsDeviceOrPipe(const std::string& target) {
  struct stat st {};
  return ::stat(target.c_str(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode));
}

void WriteInto(const std::string& path, const std::string& target, const TFileWriter& writer) {
  const int fd = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) Fail("Cannot write file", path, errno);
  int error = 0;
  {
    TDescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    try {
      writer(out);
    } catch (...) {
      ::close(fd);
      throw;
    }
    out.flush();
    if (!out) error = buffer.Error() != 0 ? buffer.Error() : EIO;
  }
  if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
  if (error != 0) Fail("Cannot write file", path, error);
}

}  // namespace

void WriteFileAtomic(const std::string& path, const TFileWriter& writer, WriteDurability durability) {
  const std::string target = ResolveLinks(path);
  if (IsDeviceOrPipe(target)) return WriteInto(path, target, writer);
  TTemporaryFile temporary(target);
  const int fd = temporary.Descriptor();
  {
    TDescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    writer(out);
    out.flush();
    if (!out) Fail("Cannot write file", path, buffer.Error() != 0 ? buffer.Error() : EIO);
  }
  // A replaced file keeps its permissions.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && ::fchmod(fd, st.st_mode & 07777) != 0)
    Fail("Cannot write file", path, errno);
  const bool durable = durability == WriteDurability::kFlushToDisk;
  if (durable && ::fsync(fd) != 0) Fail("Cannot write file", path, errno);
  if (const int error = temporary.Close(); error != 0) Fail("Cannot write file", path, error);
  if (const int error = temporary.RenameTo(target); error != 0) Fail("Cannot write file", path, error);
  if (durable) SyncFolder(target);
}

void WriteFileAtomic(const std::string& path, std::string_view content, WriteDurability durability) {
  WriteFileAtomic(
      path, [content](std::ostream& out) { out.write(content.data(), static_cast<std::streamsize>(content.size())); },
      durability);
}

}  // namespace tracemill
