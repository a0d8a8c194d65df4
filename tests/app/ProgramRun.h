#pragma once
// Runs the built tracemill program as a user's shell would: without a
// display, with its settings and work folders in a scratch folder, and
// collects its exit status, standard output and standard error.

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace tracemill::testing {

struct TProgramRun {
  int Status = -1;  // the exit status; -1 when the program did not exit normally
  std::string Out;
  std::string Err;
};

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the program with arguments in the current folder. The environment is
// the test's, without any display, with a window platform that does not
// exist (a program that reached for one would fail), plus the given variables.
inline TProgramRun RunProgram(const std::vector<std::string>& arguments,
                              const std::map<std::string, std::string>& variables,
                              const std::string& scratch) {
  std::map<std::string, std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const auto equals = entry.find('=');
    if (equals != std::string::npos) environment[entry.substr(0, equals)] = entry.substr(equals + 1);
  }
  environment.erase("DISPLAY");
  environment.erase("WAYLAND_DISPLAY");
  environment["QT_QPA_PLATFORM"] = "no-such-platform";
  for (const auto& [name, value] : variables) environment[name] = value;

  std::vector<std::string> envText;
  for (const auto& [name, value] : environment) envText.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& e : envText) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argText{TRACEMILL_PROGRAM};
  argText.insert(argText.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& a : argText) argv.push_back(a.data());
  argv.push_back(nullptr);

  const std::string outPath = scratch + "/stdout.txt";
  const std::string errPath = scratch + "/stderr.txt";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  TProgramRun run;
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.Status = WEXITSTATUS(status);
  run.Out = ReadWhole(outPath);
  run.Err = ReadWhole(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return run;
}

}  // namespace tracemill::testing
