#pragma once
// English captions for the bilingual captions of the main menus
// ("画像を開く (&Open Image) ..." -> "&Open Image ..."). The windows walk
// their menus and pass each caption through EnglishMenuCaption.

#include <string>
#include <string_view>

namespace tracemill {

// The English caption of one menu item: the text inside the first pair of
// parentheses, a lone accelerator of a top-level menu ("&F") replaced by its
// name ("&File"), and a trailing "..." kept as " ...". A caption without
// parentheses stays as it is.
std::string EnglishMenuCaption(std::string_view caption);

}  // namespace tracemill
