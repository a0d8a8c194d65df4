// Arbitrary bytes as a command line (arguments separated by NUL bytes): the
// parser either refuses it with its own error or gives a start whose batch
// actions are well formed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/uBaseData.h"
#include "app/uCommandLine.h"
#include "image/uPdf.h"
#include "settings/uEnvironment.h"

using namespace tracemill;

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "command line: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetJapanese((size & 1) != 0);
  std::vector<std::string> arguments(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  TCommandLine line;
  try {
    line = ParseCommandLine(arguments);
  } catch (const TCommandLineError&) {
    return 0;
  }
  if (line.Mode != TStartMode::Batch) {
    Check(line.Actions.empty(), "actions outside a batch run");
    Check(line.PdfDpi == 0, "a PDF resolution outside a batch run");
    return 0;
  }
  Check(!line.Files.empty() || !line.Actions.empty(), "a batch run with nothing to do");
  Check(line.PdfDpi == 0 || PdfDpiAllowed(line.PdfDpi), "PDF resolution outside its range accepted");
  if (line.StateInput) Check(line.Files.size() == 1 && IsStateFileName(line.Files[0]), "state file not alone");
  for (const TBatchAction& action : line.Actions) {
    if (action.Kind == TBatchActionKind::Sort) Check(IsSortKey(action.SortKey), "unknown sort key accepted");
    if (action.HasTemplate) Check(action.Kind == TBatchActionKind::SimpleReport, "template on another action");
    if (action.Kind == TBatchActionKind::Trace || action.Kind == TBatchActionKind::FindMarkers) {
      // One number taken for every field of the value as given.
      const TTraceRequest& r = action.Trace;
      std::size_t fields = 3;
      for (const std::optional<int>& v : {r.StepX, r.Tolerance, r.Gap}) fields += v ? 1 : 0;
      Check(std::count(action.File.begin(), action.File.end(), ',') + 1 == static_cast<std::ptrdiff_t>(fields),
            "tracing value not taken whole");
      if (action.Kind == TBatchActionKind::FindMarkers) Check(!r.StepX && !r.Gap, "step or gap for markers");
      if (r.Gap) Check(r.StepX && r.Tolerance, "gap without step and tolerance");
      if (r.Tolerance && action.Kind == TBatchActionKind::Trace) Check(r.StepX.has_value(), "tolerance without step");
    }
  }
  return 0;
}
