// Arbitrary bytes as the settings text the bench options dialog loads:
// reading never fails other than with a conversion error, the text the dialog
// hands back is one the bench accepts, and reading that text again gives it back.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "bench/uOptionText.h"
#include "common/uError.h"

using namespace tracemill;

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "option text: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TOptionValues values;
  try {
    LoadOptionText(text, values);
  } catch (const ConvertError&) {
  }
  const std::string produced = OptionText(values);
  TBenchSettings bench;
  ApplySettingsText(produced, bench);  // throws (and so fails) if the bench refuses the dialog's text
  TOptionValues again;
  LoadOptionText(produced, again);
  Check(OptionText(again) == produced, "the dialog's text changed on the second reading");
  return 0;
}
