#include "common/uStrC.h"

namespace tracemill {

namespace {

// Length of a well-formed UTF-8 sequence starting at s[i], or 0.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return 1;
  std::size_t n;
  unsigned char lo = 0x80, hi = 0xBF;  // bounds of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
    if (b0 == 0xE0) lo = 0xA0;  // overlong
    if (b0 == 0xED) hi = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  const auto b1 = static_cast<unsigned char>(s[i + 1]);
  if (b1 < lo || b1 > hi) return 0;
  for (std::size_t k = 2; k < n; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (b < 0x80 || b > 0xBF) return 0;
  }
  return n;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Byte offset of the character with 1-based index (s.size() when beyond).
std::size_t CharOffset(std::string_view s, int index) {
  std::size_t i = 0;
  for (int k = 1; k < index && i < s.size(); ++k) i += CharByteLength(s, i);
  return i;
}

}  // namespace

std::size_t CharByteLength(std::string_view s, std::size_t i) {
  if (i >= s.size()) return 0;
  const std::size_t n = Utf8SequenceLength(s, i);
  return n == 0 ? 1 : n;
}

int CharLength(std::string_view s) {
  int count = 0;
  for (std::size_t i = 0; i < s.size(); i += CharByteLength(s, i)) ++count;
  return count;
}

int CharPos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  int position = 1;
  for (std::size_t i = 0; i < s.size(); i += CharByteLength(s, i), ++position) {
    if (s.compare(i, sub.size(), sub) == 0) return position;
  }
  return 0;
}

std::string CharCopy(std::string_view s, int index, int count) {
  if (count <= 0) return {};
  if (index < 1) index = 1;
  const std::size_t begin = CharOffset(s, index);
  std::size_t end = begin;
  for (int k = 0; k < count && end < s.size(); ++k) end += CharByteLength(s, end);
  return std::string(s.substr(begin, end - begin));
}

std::string_view TrimmedLeftView(std::string_view s) {
  std::size_t b = 0;
  while (b < s.size() && IsBlank(s[b])) ++b;
  return s.substr(b);
}

std::string_view TrimmedRightView(std::string_view s) {
  std::size_t e = s.size();
  while (e > 0 && IsBlank(s[e - 1])) --e;
  return s.substr(0, e);
}

std::string_view TrimmedView(std::string_view s) { return TrimmedRightView(TrimmedLeftView(s)); }

std::string TrimLeft(std::string_view s) { return std::string(TrimmedLeftView(s)); }

std::string TrimRight(std::string_view s) { return std::string(TrimmedRightView(s)); }

std::string Trim(std::string_view s) { return std::string(TrimmedView(s)); }

std::string UpperCaseAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

std::string LowerCaseAscii(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return r;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string FullWidthNumerals(std::string_view s) {
  static constexpr const char* kDigits[] = {"０", "１", "２", "３", "４",
                                            "５", "６", "７", "８", "９"};
  std::string r;
  r.reserve(s.size() * 3);
  for (char c : s) {
    if (c >= '0' && c <= '9')
      r += kDigits[c - '0'];
    else if (c == '-')
      r += "－";
    else
      r += c;
  }
  return r;
}

bool IsValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t n = Utf8SequenceLength(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

}  // namespace tracemill
