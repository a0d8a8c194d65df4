#pragma once
// Fakes of the desktop services and a scratch folder for the settings tests.

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/uServices.h"

namespace tracemill::testing {

class TRecordingMessages : public TMessageService {
 public:
  TMessageResult ShowMessage(const TMessage& message) override {
    shown.push_back(message);
    return TMessageResult::Ok;
  }
  std::vector<TMessage> shown;
};

class TRecordingShell : public TShellService {
 public:
  bool OpenFile(const std::string& path, const std::string& anchor) override {
    opened.push_back({path, anchor});
    return true;
  }
  bool RunProgram(const std::string&, const std::vector<std::string>&, const std::string&) override { return true; }
  struct TOpened {
    std::string path, anchor;
  };
  std::vector<TOpened> opened;
};

// A fresh folder below the system's temporary folder, removed afterwards.
class TScratchFolder {
 public:
  explicit TScratchFolder(const std::string& name)
      : path_(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  std::string Path() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

}  // namespace tracemill::testing
