#pragma once
// The tags and keys of the state file. Writer and reader take them from here.

#include <cstddef>
#include <string_view>

namespace tracemill::statekeys {

// The first line: the application's name followed by this.
inline constexpr std::string_view kHeaderSuffix = " Setting File";
inline constexpr std::string_view kLineBreak = "\r\n";

// Section lines start with kSectionStart; the reader tells them apart by
// their upper-cased start.
inline constexpr char kSectionStart = '[';
inline constexpr std::string_view kWindowSection = "[Window";
inline constexpr std::string_view kWindowSectionUpper = "[WINDOW";
inline constexpr std::string_view kSectionEnd = "]";
inline constexpr std::string_view kDataSection = "[Data]";
inline constexpr std::string_view kDataSectionUpper = "[DATA";

// In a window section: the line naming the bench's image file.
inline constexpr std::string_view kFilenameUpper = "FILENAME=";

// Keys of the data section (written as given, compared upper-cased).
inline constexpr std::string_view kSortItem = "SortItem";
inline constexpr std::string_view kSortReverse = "SortReverse";
inline constexpr std::string_view kLastPointsID = "LastPointsID";
inline constexpr std::string_view kDataPrefix = "Data[";
inline constexpr std::string_view kDataEnd = "]";
inline constexpr std::string_view kSortItemUpper = "SORTITEM";
inline constexpr std::string_view kSortReverseUpper = "SORTREVERSE";
inline constexpr std::string_view kLastPointsIDUpper = "LASTPOINTSID";
inline constexpr std::string_view kDataPrefixUpper = "DATA[";
inline constexpr char kKeyValue = '=';

inline constexpr std::string_view kTrue = "True";
inline constexpr std::string_view kFalse = "False";
inline constexpr std::string_view kTrueUpper = "TRUE";

// The line record: PointsID "," WindowID "," points "," '"' comment '"' "," '"' title '"'.
inline constexpr char kFieldSeparator = ',';
inline constexpr char kPointOpen = '(';
inline constexpr char kPointClose = ')';
inline constexpr char kPointSeparator = '-';
inline constexpr char kQuote = '"';
inline constexpr std::string_view kCommentTitle = "\",\"";

// The most the reader takes in: a state file of a million collected lines
// of ten points stays well below it.
inline constexpr std::size_t kMaxStateBytes = std::size_t(512) << 20;

}  // namespace tracemill::statekeys
