#pragma once
// Character-aware string operations on UTF-8 text. Positions and lengths are
// counted in characters and are 1-based, as the callers use them. A byte that
// does not start a well-formed UTF-8 sequence counts as one character, so any
// byte string has a defined length and never makes these functions fail.

#include <string>
#include <string_view>

namespace tracemill {

// Byte length of the character that starts at s[i] (1 for a stray byte).
std::size_t CharByteLength(std::string_view s, std::size_t i);

// Number of characters in s.
int CharLength(std::string_view s);

// 1-based character position of the first occurrence of sub in s; 0 when sub
// is empty or absent. Only matches that start on a character boundary count.
int CharPos(std::string_view sub, std::string_view s);

// count characters of s from character index (1-based). An index below 1 is
// taken as 1; a range beyond the end is cut at the end.
std::string CharCopy(std::string_view s, int index, int count);

// The one family of blank trimming: removes leading and/or trailing
// characters <= ' ' (control characters and blanks). The views are parts of s.
std::string_view TrimmedView(std::string_view s);
std::string_view TrimmedLeftView(std::string_view s);
std::string_view TrimmedRightView(std::string_view s);
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// Changes a-z / A-Z only; every other byte (UTF-8 sequences too) stays.
std::string UpperCaseAscii(std::string_view s);
std::string LowerCaseAscii(std::string_view s);
bool SameTextAscii(std::string_view a, std::string_view b);

// "-0123456789" become the full-width "－０１２３４５６７８９"; other characters stay.
std::string FullWidthNumerals(std::string_view s);

// True when s is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view s);

}  // namespace tracemill
