#pragma once
// A text the program shows or writes, in both interface languages.

#include <string>
#include <string_view>

namespace tracemill {

struct TBilingualText {
  std::string_view English;
  std::string_view Japanese;
  std::string In(bool japanese) const { return std::string(japanese ? Japanese : English); }
};

}  // namespace tracemill
