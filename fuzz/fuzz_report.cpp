// Feeds arbitrary report programs to the programmable report over a small
// set of collected lines (one without points, one empty entry) and a bench
// list with and without live benches. The built-ins are the sandboxed
// library (no file, folder or program functions); the run has a small step
// limit and memory budget. After every run the lines must be back in the
// list's order.
#include <cstddef>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/uReport.h"
#include "script/uFunction.h"

namespace {

using namespace tracemill;

class TBenches : public TBenchSource {
 public:
  int BenchCount() const override { return 3; }
  std::string EntryFileName(int w) const override { return "chart" + std::to_string(w) + ".bmp"; }
  std::optional<std::string> BenchFileName(int w) const override {
    if (w == 1) return std::nullopt;
    return "/img/" + EntryFileName(w);
  }
};

TBaseMeasuredList MakeData() {
  TBaseMeasuredList data;
  for (int i = 0; i < 4; ++i) {
    auto line = std::make_unique<TBaseMeasuredPoints>();
    line->PointsID = 10 - i;
    line->WindowID = i % 3;
    line->Title = i % 2 ? "B" : "a";
    line->Comment = "c" + std::to_string(i);
    for (int j = 0; j < i; ++j) line->AddPoint(i * 1.5 - j, j * 0.25);
    data.Add(std::move(line));
  }
  data.Add(nullptr);
  return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string program(reinterpret_cast<const char*>(bytes), size);
  TBaseMeasuredList data = MakeData();
  const TBenches benches;
  TReportOptions options;
  options.Environment = TScriptEnvironment();
  options.Environment.MemoryBudget = std::size_t(64) << 20;
  options.StepLimit = 2000;
  options.Builtins = &SandboxedBuiltins();
  const TReportResult result = RunReport(program, {data, benches, "SERIAL", false}, options);
  if (result.Status == TReportStatus::StructureError && result.Lines.size() != 2) std::abort();
  if (data.Count() != 5) std::abort();
  std::int32_t last = INT32_MIN;
  for (int i = 0; i < data.Count(); ++i) {
    const TBaseMeasuredPoints* line = data.Item(i);
    if (!line) continue;
    if (line->PointsID < last) std::abort();
    last = line->PointsID;
  }
  return 0;
}
