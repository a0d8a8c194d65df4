#pragma once
// Fakes of the desktop services and a scratch folder for the settings tests.

#include <string>
#include <vector>

#include "common/uServices.h"
#include "support/TempFolder.h"

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

// The shared temporary folder as the settings, app and window tests spell it.
class TScratchFolder : public TempFolder {
 public:
  explicit TScratchFolder(const std::string& /*purpose*/ = "") {}
  std::string Path() const { return Dir(); }
};

}  // namespace tracemill::testing
