#pragma once
// The filter of the main window's image open dialog: the file types of the
// image readers with an entry for AVI videos.

#include <string>
#include <string_view>

namespace tracemill {

inline constexpr std::string_view kAviFilterEntry = "AVI Files(*.avi)|*.avi";
inline constexpr std::string_view kInitialImageFilter = "Image Files (*.bmp, *.jpg)|*.bmp;*.jpg|All Files (*.*)|*.*";

// The filter ("Desc|patterns|Desc|patterns...") with the AVI entry inserted
// before its last description and pattern pair, unless it has fewer than two
// parts or one of its parts already is "*.avi" (in any letter case).
std::string WithAviFilter(std::string_view filter);

}  // namespace tracemill
