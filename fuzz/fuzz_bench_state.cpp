// Arbitrary bytes as a bench state text: reading never fails other than with
// a conversion error; the bench then draws, takes clicks and undoes them; and
// a state text written, read and written again stays the same.

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
    first->ApplyStateText(text);
  } catch (const ConvertError&) {
  }
  (void)first->ViewGeometry();
  (void)first->StatusTexts(10, 10);
  const std::string written = first->StateText();

  // Whatever was read takes clicks and gives them back on undo.
  first->MouseDown(20, 20, TMouseButton::Left);
  first->LineCommand();
  first->Recalculate();
  first->DeleteCommand();  // answered Yes
  first->DeleteStandardPoint(0);
  first->SetLogX(!first->Data().Standards.LogX);
  while (first->CanUndo()) first->Undo();
  Check(first->StateText() == written, "undo did not restore the bench");

  auto second = MakeBench();
  second->ApplyStateText(written);
  auto third = MakeBench();
  third->ApplyStateText(second->StateText());
  Check(third->StateText() == second->StateText(), "state text changed on the second reading");
  return 0;
}
