#include "settings/uEnglishMenu.h"

#include <array>
#include <utility>

#include "common/uStrC.h"

namespace tracemill {

namespace {

constexpr std::string_view kDots = "...";

constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kMenuNames{{
    {"&F", "&File"},
    {"&E", "&Edit"},
    {"&S", "&Search"},
    {"&V", "&View"},
    {"&T", "&Tool"},
    {"&W", "&Window"},
    {"&O", "&Option"},
    {"&H", "&Help"},
}};

}  // namespace

std::string EnglishMenuCaption(std::string_view caption) {
  std::string_view text = caption;
  const bool dots = text.size() >= kDots.size() && text.substr(text.size() - kDots.size()) == kDots;
  if (dots) {
    text = TrimmedRightView(text.substr(0, text.size() - kDots.size()));
  }
  if (const auto open = text.find('('); open != std::string_view::npos) {
    text = text.substr(open + 1);
    if (const auto close = text.find(')'); close != std::string_view::npos) text = text.substr(0, close);
  }
  std::string result(text);
  for (const auto& [accelerator, name] : kMenuNames) {
    if (result == accelerator) {
      result = name;
      break;
    }
  }
  if (dots) result += " ...";
  return result;
}

}  // namespace tracemill
