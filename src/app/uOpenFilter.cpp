#include "app/uOpenFilter.h"

#include <vector>

#include "common/uStrC.h"

namespace tracemill {

namespace {

std::vector<std::string_view> FilterParts(std::string_view filter) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return parts;
}

// The parts joined with "|", entry inserted before part at (at may be the end).
std::string JoinedWith(const std::vector<std::string_view>& parts, std::size_t at, std::string_view entry) {
  std::vector<std::string_view> all = parts;
  all.insert(all.begin() + static_cast<std::ptrdiff_t>(at), entry);
  std::string out;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (i > 0) out += '|';
    out += all[i];
  }
  return out;
}

}  // namespace

std::string WithPdfFilter(std::string_view filter) {
  const std::vector<std::string_view> parts = FilterParts(filter);
  if (parts.size() < 2) return std::string(filter);
  for (std::string_view part : parts)
    if (SameTextAscii(part, "*.pdf")) return std::string(filter);
  std::size_t at = parts.size() - 2;
  for (std::size_t i = 0; i < parts.size(); ++i)
    if (SameTextAscii(parts[i], "*.avi")) at = i + 1;
  return JoinedWith(parts, at, kPdfFilterEntry);
}

std::string WithAviFilter(std::string_view filter) {
  const std::vector<std::string_view> parts = FilterParts(filter);
  if (parts.size() < 2) return std::string(filter);
  for (std::string_view part : parts)
    if (SameTextAscii(part, "*.avi")) return std::string(filter);
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i == parts.size() - 2) {
      out += kAviFilterEntry;
      out += '|';
    }
    out += parts[i];
    if (i + 1 < parts.size()) out += '|';
  }
  return out;
}

}  // namespace tracemill
