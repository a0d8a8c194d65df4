#pragma once
// The batch run: opens the files of a batch command line into a working state
// without any window, runs its actions in order and answers the exit status.
// Nothing is opened with another application, no snapshot is written, and the
// settings file is read but never written.

#include <iosfwd>
#include <string>
#include <vector>

#include "app/uCommandLine.h"
#include "common/uServices.h"

namespace tracemill {

// Message boxes of a run without a display: each message goes to the error
// stream as text and is answered with its default button. Errors and warnings
// (the exclamation and stop icons) are counted: they mean something failed.
class TBatchMessageService : public TMessageService {
 public:
  explicit TBatchMessageService(std::ostream& err) : err_(err) {}
  TMessageResult ShowMessage(const TMessage& message) override;
  int ErrorCount() const { return errorCount_; }

 private:
  std::ostream& err_;
  int errorCount_ = 0;
};

// A shell that opens and starts nothing.
class TNoShellService : public TShellService {
 public:
  bool OpenFile(const std::string&, const std::string&) override { return false; }
  bool RunProgram(const std::string&, const std::vector<std::string>&, const std::string&) override {
    return false;
  }
};

// Runs a batch command line (Mode Batch); out is standard output (files
// named "-"), err takes every message. Returns kExitSuccess, kExitFailure or
// kExitReportError.
int RunBatch(const TCommandLine& commandLine, std::ostream& out, std::ostream& err);

}  // namespace tracemill
