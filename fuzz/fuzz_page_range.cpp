// Arbitrary bytes as a page range text typed into the page chooser, for a
// document whose page count comes from the first byte: the reader either
// refuses the text with its own error or names each page of the document at
// most once.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "app/uPageRange.h"
#include "common/uError.h"

using namespace tracemill;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int pageCount = data[0] * 8;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<int> pages;
  try {
    pages = ParsePageRange(text, pageCount, (data[0] & 1) != 0);
  } catch (const ConvertError&) {
    return 0;
  }
  std::vector<bool> seen(static_cast<std::size_t>(pageCount), false);
  if (pages.empty()) std::abort();
  for (const int page : pages) {
    if (page < 0 || page >= pageCount || seen[static_cast<std::size_t>(page)]) {
      std::fprintf(stderr, "page range: page %d of %d taken wrongly\n", page, pageCount);
      std::abort();
    }
    seen[static_cast<std::size_t>(page)] = true;
  }
  return 0;
}
