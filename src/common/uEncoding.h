#pragma once
// Text encodings of files carried over from the older program: text that is
// not valid UTF-8 is taken as Shift-JIS (code page 932) and converted.

#include <string>
#include <string_view>

namespace tracemill {

// Converts CP932 bytes to UTF-8; bytes that do not convert become U+FFFD.
std::string Cp932ToUtf8(std::string_view text);

// Returns text unchanged when it is valid UTF-8, otherwise its conversion from
// CP932. A leading UTF-8 byte-order mark is removed.
std::string DecodeLegacyText(std::string_view text);

}  // namespace tracemill
