// Arbitrary bytes as a bench settings text: reading never fails other than
// with a conversion error, and what was read, written and read again is
// written the same way.

#include <cstdint>
#include <string_view>

#include "fuzz_bench_common.h"
#include "common/uError.h"

using namespace tracemill;
using namespace tracemill::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto first = MakeBench();
  try {
    first->ApplySettingsText(text);
  } catch (const ConvertError&) {
  }
  (void)first->ViewGeometry();
  auto second = MakeBench();
  second->ApplySettingsText(first->SettingsText());
  auto third = MakeBench();
  third->ApplySettingsText(second->SettingsText());
  Check(third->SettingsText() == second->SettingsText(), "settings text changed on the second reading");
  return 0;
}
