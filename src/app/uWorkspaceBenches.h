#pragma once
// The reports' view of a working state's bench list.

#include <optional>
#include <string>

#include "app/uExport.h"
#include "app/uWorkspace.h"

namespace tracemill {

class TWorkspaceBenches : public TBenchSource {
 public:
  explicit TWorkspaceBenches(const TWorkspace& workspace) : workspace_(workspace) {}
  int BenchCount() const override { return workspace_.BenchCount(); }
  std::string EntryFileName(int window) const override {
    const TBenchEntry* entry = workspace_.Entry(window);
    return entry != nullptr ? entry->FileName : std::string();
  }
  std::optional<std::string> BenchFileName(int window) const override {
    if (const TBench* bench = workspace_.Bench(window)) return bench->FileName();
    return std::nullopt;
  }

 private:
  const TWorkspace& workspace_;
};

}  // namespace tracemill
