// Value texts of the settings store: string escapes and dates.

#include "settings/uIniFile.h"

#include <cstdio>

#include "common/uDateTime.h"
#include "common/uError.h"
#include "common/uStrC.h"

namespace tracemill {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads 1 to maxFigures decimal figures at text[pos].
bool ReadFigures(std::string_view text, std::size_t& pos, int maxFigures, int& value) {
  int figures = 0;
  value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && figures < maxFigures) {
    value = value * 10 + (text[pos++] - '0');
    ++figures;
  }
  return figures > 0 && (pos >= text.size() || text[pos] < '0' || text[pos] > '9');
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}
}  // namespace


std::string FormatIniDateTime(const TIniDateTime& v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", v.Year, v.Month, v.Day, v.Hour,
                v.Minute, v.Second);
  return buf;
}

std::optional<TIniDateTime> ParseIniDateTime(std::string_view text) {
  const std::string_view t = TrimmedView(text);
  TIniDateTime v;
  std::size_t pos = 0;
  if (!ReadFigures(t, pos, 4, v.Year) || !Expect(t, pos, '/') || !ReadFigures(t, pos, 2, v.Month) ||
      !Expect(t, pos, '/') || !ReadFigures(t, pos, 2, v.Day))
    return std::nullopt;
  v.Hour = v.Minute = v.Second = 0;
  if (pos < t.size()) {
    if (t[pos] != ' ') return std::nullopt;
    while (pos < t.size() && t[pos] == ' ') ++pos;
    if (!ReadFigures(t, pos, 2, v.Hour) || !Expect(t, pos, ':') || !ReadFigures(t, pos, 2, v.Minute))
      return std::nullopt;
    if (pos < t.size() && (!Expect(t, pos, ':') || !ReadFigures(t, pos, 2, v.Second))) return std::nullopt;
    if (pos != t.size()) return std::nullopt;
  }
  if (v.Year < 1 || v.Day < 1 || v.Day > DaysInMonth(v.Year, v.Month) || v.Hour > 23 || v.Minute > 59 ||
      v.Second > 59)
    return std::nullopt;
  return v;
}

namespace {

// Appends text escaped as EncodeValue does; for a name also a blank, and a "/"
// at its start.
void AppendEscaped(std::string& out, std::string_view text, bool name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t n = CharByteLength(text, i);
    if (b == '%') {
      out += "%%";
    } else if (b < 32 || (b >= 0x80 && n == 1) || (name && (b == ' ' || (b == '/' && i == 0)))) {
      out.push_back('%');
      out.push_back(kHex[b >> 4]);
      out.push_back(kHex[b & 15]);
    } else {
      out.append(text.substr(i, n));
    }
    i += n;
  }
}

}  // namespace

std::string EncodeValue(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  AppendEscaped(out, text, false);
  return out;
}

void AppendEncodedName(std::string& out, std::string_view name) { AppendEscaped(out, name, true); }

std::string DecodeName(std::string_view name) {
  if (name.find('%') == std::string_view::npos) return std::string(name);
  auto decoded = TryDecodeValue(name);
  return decoded ? std::move(*decoded) : std::string(name);
}

std::optional<std::string> TryDecodeValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out.push_back(text[i]);
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '%') {
      out.push_back('%');
      ++i;
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int hi = HexDigit(text[i + 1]);
    const int lo = HexDigit(text[i + 2]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<char>(hi * 16 + lo));
    i += 2;
  }
  return out;
}

std::string DecodeValue(std::string_view text) {
  auto decoded = TryDecodeValue(text);
  if (!decoded) throw ConvertError("'" + std::string(text) + "' is not a valid encoded text");
  return std::move(*decoded);
}
}  // namespace tracemill
