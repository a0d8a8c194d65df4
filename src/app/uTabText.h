#pragma once
// Rows of texts as tab-separated text, the form spreadsheets take from the
// clipboard: one line per row, fields separated by tabs.

#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

// The field as a spreadsheet reads it back: a text holding a tab, a line break
// or a double quote is put in double quotes with each of its double quotes
// doubled (it would otherwise split the row or the line); any other text stays.
std::string TabField(std::string_view text);

// The rows, each line ended by "\n".
std::string TabSeparatedText(const std::vector<std::vector<std::string>>& rows);

}  // namespace tracemill
