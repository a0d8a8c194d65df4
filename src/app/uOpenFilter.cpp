#include "app/uOpenFilter.h"

#include <vector>

#include "common/uStrC.h"

namespace tracemill {

std::string WithAviFilter(std::string_view filter) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
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
