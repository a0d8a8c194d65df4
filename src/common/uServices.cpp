#include "common/uServices.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace tracemill {

TMessageResult DefaultAnswer(const TMessage& message) {
  using R = TMessageResult;
  // The buttons of each set, left to right.
  static const R kButtons[7][3] = {
      {R::Ok, R::Ok, R::Ok},          {R::Ok, R::Cancel, R::Cancel},
      {R::Abort, R::Retry, R::Ignore}, {R::Yes, R::No, R::Cancel},
      {R::Yes, R::No, R::No},         {R::Retry, R::Cancel, R::Cancel},
      {R::Cancel, R::TryAgain, R::Continue}};
  static const int kCount[7] = {1, 2, 3, 3, 2, 2, 3};
  const int set = static_cast<int>(message.Buttons);
  if (set < 0 || set > 6) return R::Ok;
  const int button = message.DefaultButton;
  return kButtons[set][button >= 0 && button < kCount[set] ? button : 0];
}

namespace {

constexpr const char* kDocumentOpener = "xdg-open";

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

bool HasNul(const std::string& s) { return s.find('\0') != std::string::npos; }

}  // namespace

std::string FindProgram(const std::string& program) {
  if (program.empty() || HasNul(program)) return {};
  if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : std::string();
  const char* path = std::getenv("PATH");
  const std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string candidate = folders.substr(start, end - start);
    candidate = (candidate.empty() ? std::string(".") : candidate) + "/" + program;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

// A child starts the program in a grandchild and ends at once, so the program
// runs on as nobody's child to wait for. Between fork and exec only calls that
// are safe in a forked child are made; the program's path is found before.
// The grandchild reports a failed exec (or the child a failed change of
// folder) through a pipe that closes by itself when exec succeeds.
bool StartProcess(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& folder) {
  if (HasNul(folder)) return false;
  for (const std::string& a : arguments)
    if (HasNul(a)) return false;
  if (!folder.empty() && !std::filesystem::is_directory(folder)) return false;
  // A program named with a folder is taken relative to the folder it runs
  // in; a bare name is looked up in PATH now.
  std::string path = program;
  if (program.find('/') == std::string::npos) {
    const std::string found = FindProgram(program);
    std::error_code error;
    path = found.empty() ? found : std::filesystem::absolute(found, error).string();
    if (path.empty() || error) return false;
  } else if (!IsExecutableFile(program[0] == '/' || folder.empty() ? program : folder + "/" + program)) {
    return false;
  }

  std::vector<std::string> argvStrings{program};
  argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : argvStrings) argv.push_back(a.data());
  argv.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(report[0]);
    ::setsid();
    int error = 0;
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
      error = errno;
    } else if (const pid_t grandchild = ::fork(); grandchild == 0) {
      ::execv(path.c_str(), argv.data());
      error = errno;
      [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
      ::_exit(127);
    } else if (grandchild < 0) {
      error = errno;
    }
    if (error != 0) {
      [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
    }
    ::_exit(0);
  }
  ::close(report[1]);
  if (child < 0) {
    ::close(report[0]);
    return false;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t got = 0;
  do {
    got = ::read(report[0], &error, sizeof error);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  return got == 0;
}

bool TProcessShellService::OpenFile(const std::string& path, const std::string& anchor) {
  if (anchor.empty()) return StartProcess(kDocumentOpener, {path}, "");
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(path, error).string();
  return StartProcess(kDocumentOpener, {"file://" + (error ? path : absolute) + "#" + anchor}, "");
}

bool TProcessShellService::RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                                      const std::string& folder) {
  return StartProcess(program, arguments, folder);
}

}  // namespace tracemill
