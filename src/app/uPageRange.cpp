#include "app/uPageRange.h"

#include <charconv>

#include "common/uBilingual.h"
#include "common/uError.h"

namespace tracemill {

namespace {

constexpr TBilingualText kNoPages{"No pages are given", "ページが指定されていません"};
constexpr TBilingualText kEmptyPart{"A page is missing between two commas", "カンマの間にページがありません"};
constexpr TBilingualText kNotAPage{"Not a page number or range: ", "ページ番号または範囲ではありません: "};
constexpr TBilingualText kOutside{"The document has no page ", "文書にないページです: "};
constexpr TBilingualText kPagesAre{" (pages 1 to ", " (ページは 1 から "};
constexpr TBilingualText kPagesAreEnd{")", " まで)"};
constexpr TBilingualText kReversed{"The range ends before it starts: ", "範囲の終わりが始まりより前です: "};

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A page number of decimal digits only; false for anything else, a number
// too long for int included.
bool ReadNumber(std::string_view text, int& number) {
  text = Trimmed(text);
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::vector<int> ParsePageRange(std::string_view text, int pageCount, bool japanese) {
  if (Trimmed(text).empty()) throw ConvertError(kNoPages.In(japanese));
  std::vector<bool> taken(static_cast<std::size_t>(pageCount > 0 ? pageCount : 0), false);
  std::vector<int> pages;
  const auto checkPage = [&](int page, std::string_view part) {
    if (page < 1 || page > pageCount)
      throw ConvertError(kOutside.In(japanese) + std::string(part) + kPagesAre.In(japanese) +
                         std::to_string(pageCount) + kPagesAreEnd.In(japanese));
  };
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string_view part =
        Trimmed(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    if (part.empty()) throw ConvertError(kEmptyPart.In(japanese));
    int first = 0, last = 0;
    const std::size_t dash = part.find('-');
    if (dash == std::string_view::npos) {
      if (!ReadNumber(part, first)) throw ConvertError(kNotAPage.In(japanese) + std::string(part));
      last = first;
      checkPage(first, part);
    } else {
      if (!ReadNumber(part.substr(0, dash), first) || !ReadNumber(part.substr(dash + 1), last))
        throw ConvertError(kNotAPage.In(japanese) + std::string(part));
      checkPage(first, Trimmed(part.substr(0, dash)));
      checkPage(last, Trimmed(part.substr(dash + 1)));
      if (last < first) throw ConvertError(kReversed.In(japanese) + std::string(part));
    }
    for (int page = first; page <= last; ++page) {
      const auto index = static_cast<std::size_t>(page - 1);
      if (taken[index]) continue;
      taken[index] = true;
      pages.push_back(page - 1);
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return pages;
}

std::string AllPagesRange(int pageCount) {
  if (pageCount <= 1) return "1";
  return "1-" + std::to_string(pageCount);
}

}  // namespace tracemill
