#pragma once
// The filter of the main window's image open dialog: the file types of the
// image readers with entries for AVI videos and PDF documents.

#include <string>
#include <string_view>

namespace tracemill {

inline constexpr std::string_view kAviFilterEntry = "AVI Files(*.avi)|*.avi";
inline constexpr std::string_view kPdfFilterEntry = "PDF Files(*.pdf)|*.pdf";
inline constexpr std::string_view kInitialImageFilter = "Image Files (*.bmp, *.jpg)|*.bmp;*.jpg|All Files (*.*)|*.*";

// The filter ("Desc|patterns|Desc|patterns...") with the AVI entry inserted
// before its last description and pattern pair, unless it has fewer than two
// parts or one of its parts already is "*.avi" (in any letter case).
std::string WithAviFilter(std::string_view filter);

// The filter with the PDF entry inserted just after the pattern part "*.avi"
// (in any letter case), or before the last description and pattern pair when
// there is none, unless it has fewer than two parts or one of its parts
// already is "*.pdf".
std::string WithPdfFilter(std::string_view filter);

// The open dialog's filter made from the image readers' filter: the AVI
// entry, then the PDF entry beside it, each inserted once.
inline std::string WithVideoAndPdfFilters(std::string_view filter) { return WithPdfFilter(WithAviFilter(filter)); }

}  // namespace tracemill
