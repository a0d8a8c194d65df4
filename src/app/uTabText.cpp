#include "app/uTabText.h"

namespace tracemill {

std::string TabField(std::string_view text) {
  if (text.find_first_of("\t\r\n\"") == std::string_view::npos) return std::string(text);
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string TabSeparatedText(const std::vector<std::vector<std::string>>& rows) {
  std::string out;
  for (const std::vector<std::string>& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += '\t';
      out += TabField(row[i]);
    }
    out += '\n';
  }
  return out;
}

}  // namespace tracemill
