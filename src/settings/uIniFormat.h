#pragma once
// The settings file's format, shared by the store and by the reader and
// writer of the file's text, so that they cannot drift apart.

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace tracemill::ini_format {

// File text.
inline constexpr std::string_view kDeclaration = "<?xml version='1.0' encoding='UTF-8' ?>";
inline constexpr std::string_view kRootOpen = "<IniFile version='1.0'>";
inline constexpr std::string_view kRootClose = "</IniFile>";
inline constexpr std::string_view kXmlMark = "<?xml";
inline constexpr std::string_view kTypeAttribute = " Type=\"";
inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr char kPathSeparator = '\\';

// Kind letters and their type names in the file.
inline constexpr char kBoolean = 'B';
inline constexpr char kDate = 'D';
inline constexpr char kFloat = 'F';
inline constexpr char kInteger = 'I';
inline constexpr char kString = 'S';

inline constexpr std::string_view kTrue = "True";
inline constexpr std::string_view kFalse = "False";

// Limits that keep a damaged file from exhausting memory or time: no real
// settings file comes near them. A larger file is refused; deeper or longer
// paths are ignored on reading and refused on writing.
inline constexpr std::size_t kMaxFileBytes = std::size_t(64) << 20;  // the "64 MB" of the message
inline constexpr std::size_t kMaxDepth = 32;          // nesting levels below the root element
inline constexpr std::size_t kMaxPathBytes = 4096;    // bytes of one key path

inline std::string_view TypeName(char kind) {
  switch (kind) {
    case kBoolean: return "Boolean";
    case kDate: return "Date";
    case kFloat: return "Float";
    case kInteger: return "Integer";
    default: return "String";
  }
}

inline char KindOfTypeName(std::string_view type) {
  if (type.empty()) return kString;
  const char c = static_cast<char>(type[0] >= 'a' && type[0] <= 'z' ? type[0] - 'a' + 'A' : type[0]);
  return (c == kBoolean || c == kDate || c == kFloat || c == kInteger) ? c : kString;
}

// Whether a key path lies within the limits of the file.
inline bool FitsTheFile(std::string_view path) {
  return path.size() <= kMaxPathBytes &&
         static_cast<std::size_t>(std::count(path.begin(), path.end(), kPathSeparator)) <= kMaxDepth;
}

}  // namespace tracemill::ini_format
