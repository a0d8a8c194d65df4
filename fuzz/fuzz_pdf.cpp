// PDF page source: any bytes either open as a document whose first pages
// draw, or give a FileError, within bounded memory and time. Pages are drawn
// at the lowest resolution under a small limit, so a page that claims to be
// huge is refused instead of drawn, and a page that keeps the library busy
// is given up well within the fuzzer's time limit.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/uError.h"
#include "image/uPdf.h"

// Fontconfig, which the PDF library asks for fonts a document does not embed,
// keeps its configuration for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tracemill;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    TPdfDocument pdf = TPdfDocument::FromMemory(bytes, false, "fuzz.pdf");
    pdf.SetPageTimeLimit(std::chrono::seconds(5));
    for (int i = 0; i < std::min(pdf.PageCount(), 2); ++i) {
      try {
        pdf.RenderPage(i, kPdfMinDpi, TImageLimits{std::uint64_t(16) << 20});
      } catch (const FileError&) {
      }
    }
  } catch (const FileError&) {
  }
  return 0;
}
