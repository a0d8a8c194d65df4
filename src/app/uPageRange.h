#pragma once
// Choosing the pages of a document to open: a page range text such as
// "1-3,7" read into page indices, and the page count from which on the main
// window asks which pages to open.

#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

// A document with more pages than this asks which of them to open.
inline constexpr int kPagesOpenedWithoutAsking = 20;

inline bool AsksForPages(int pageCount) { return pageCount > kPagesOpenedWithoutAsking; }

// Reads a page range text: page numbers (counted from 1) and ranges "a-b"
// (a not above b), separated by commas, with blanks allowed around each
// number. Returns the pages as 0-based indices in the order given, each page
// once (a page named again keeps its first place). Throws ConvertError, in
// the interface language of japanese, naming the part that is wrong: an
// empty text or part, something that is not a number or range, a page
// outside 1..pageCount, a range whose end lies before its start.
std::vector<int> ParsePageRange(std::string_view text, int pageCount, bool japanese);

// The range of every page of a document of pageCount pages: "1-N" ("1" for
// one page).
std::string AllPagesRange(int pageCount);

}  // namespace tracemill
