// Built-ins for strings and values. Strings are UTF-8: the functions without
// the B suffix count characters, their B twins count bytes. Positions are
// 1-based.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "common/uNumber.h"
#include "common/uStrC.h"
#include "script/uFunctionTable.h"

namespace tracemill::builtins {

namespace {

std::string Hex(std::uint32_t value, std::size_t figures) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kDigits[value & 15]);
    value >>= 4;
  } while (value);
  if (text.size() < figures) text.insert(0, figures - text.size(), '0');
  return text;
}

// A count read from an argument; a negative count fails the call.
std::int32_t Count(const TArgs& args, std::size_t i) {
  const std::int32_t count = args.Int(i);
  if (count < 0) throw CallRejected{};
  return count;
}

// Unicode code point of the character at the start of s (its byte for a
// stray byte, 0 for an empty text).
std::int32_t FirstCodePoint(const std::string& s) {
  if (s.empty()) return 0;
  const std::size_t length = CharByteLength(s, 0);
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
  if (length == 1) return byte(0);
  std::int32_t code = byte(0) & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (byte(i) & 0x3F);
  return code;
}

// The UTF-8 form of a Unicode code point; a value that is no code point (a
// surrogate, a negative or too large number) is a conversion error.
std::string Utf8Character(std::int32_t code) {
  if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    throw ConvertError(std::to_string(code) + " is no character code");
  const auto u = static_cast<std::uint32_t>(code);
  const auto byte = [](std::uint32_t b) { return static_cast<char>(b); };
  if (u < 0x80) return std::string(1, byte(u));
  if (u < 0x800) return {byte(0xC0 | (u >> 6)), byte(0x80 | (u & 0x3F))};
  if (u < 0x10000) return {byte(0xE0 | (u >> 12)), byte(0x80 | ((u >> 6) & 0x3F)), byte(0x80 | (u & 0x3F))};
  return {byte(0xF0 | (u >> 18)), byte(0x80 | ((u >> 12) & 0x3F)), byte(0x80 | ((u >> 6) & 0x3F)),
          byte(0x80 | (u & 0x3F))};
}

std::string Bytes(const std::string& s, std::int64_t start, std::int64_t count) {
  if (start < 1) start = 1;
  if (count <= 0 || start > static_cast<std::int64_t>(s.size())) return {};
  return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

}  // namespace

TValue Trim(TBuiltinContext& c, const TValue& s) { return TValue::String(tracemill::Trim(Text(c, s))); }
TValue TrimLeft(TBuiltinContext& c, const TValue& s) {
  return TValue::String(tracemill::TrimLeft(Text(c, s)));
}
TValue TrimRight(TBuiltinContext& c, const TValue& s) {
  return TValue::String(tracemill::TrimRight(Text(c, s)));
}
TValue UpperCase(TBuiltinContext& c, const TValue& s) {
  return TValue::String(UpperCaseAscii(Text(c, s)));
}
TValue LowerCase(TBuiltinContext& c, const TValue& s) {
  return TValue::String(LowerCaseAscii(Text(c, s)));
}

TValue QuotedStr(TBuiltinContext& c, const TValue& s) {
  std::string quoted = "'";
  for (const char ch : Text(c, s)) {
    quoted += ch;
    if (ch == '\'') quoted += '\'';
  }
  quoted += '\'';
  return TValue::String(std::move(quoted));
}

TValue IntToStr(TBuiltinContext& c, const TValue& n) {
  return TValue::String(tracemill::IntToStr(n.ToInteger(c.Format())));
}

TValue FloatToStr(TBuiltinContext& c, const TValue& x) {
  return TValue::String(tracemill::FloatToStr(x.ToDouble(c.Format()), c.Format().DecimalSeparator));
}

TValue IntToHex(TBuiltinContext& c, const TValue& n) {
  return TValue::String(Hex(static_cast<std::uint32_t>(n.ToInteger(c.Format())), 1));
}

TValue Chr(TBuiltinContext& c, const TValue& n) { return TValue::String(Utf8Character(n.ToInteger(c.Format()))); }

TValue Code(TBuiltinContext& c, const TValue& s) { return TValue::Integer(FirstCodePoint(Text(c, s))); }

TValue CodeB(TBuiltinContext& c, const TValue& s) {
  const std::string text = Text(c, s);
  return TValue::Integer(text.empty() ? 0 : static_cast<std::uint8_t>(text[0]));
}

TValue Length(TBuiltinContext& c, const TValue& s) { return TValue::Integer(CharLength(Text(c, s))); }

TValue LengthB(TBuiltinContext& c, const TValue& s) {
  return TValue::Integer(static_cast<std::int32_t>(Text(c, s).size()));
}

TValue StrToInt(TBuiltinContext& c, const TValue& s) {
  const std::string text = Text(c, s);
  const auto value = TryStrToInt(text);
  if (!value) throw ConvertError("'" + text + "' is not a valid integer value");
  return TValue::Integer(*value);
}

TValue StrToFloat(TBuiltinContext& c, const TValue& s) {
  const std::string text = Text(c, s);
  const auto value = TryStrToFloat(text, c.Format().DecimalSeparator);
  if (!value) throw ConvertError("'" + text + "' is not a valid floating point value");
  return TValue::Double(*value);
}

TValue TypeCodeOf(TBuiltinContext&, const TValue& v) { return TValue::Integer(v.TypeCode()); }

TValue TypeStringOf(TBuiltinContext&, const TValue& v) { return TValue::String(TypeName(v.TypeCode())); }

TValue Copy(const TArgs& args) {
  const std::int32_t count = args.Count() >= 3 ? Count(args, 2) : INT_MAX;
  return TValue::String(CharCopy(args.Str(0), args.Int(1), count));
}

TValue CopyB(const TArgs& args) {
  const std::int32_t count = args.Count() >= 3 ? Count(args, 2) : INT_MAX;
  return TValue::String(Bytes(args.Str(0), args.Int(1), count));
}

TValue Left(const TArgs& args) {
  const std::int32_t n = args.Int(1);
  return TValue::String(n <= 0 ? std::string() : CharCopy(args.Str(0), 1, n));
}

TValue LeftB(const TArgs& args) { return TValue::String(Bytes(args.Str(0), 1, args.Int(1))); }

TValue Right(const TArgs& args) {
  const std::string s = args.Str(0);
  const std::int64_t n = args.Int(1);
  if (n <= 0) return TValue::String("");
  const std::int64_t start = std::int64_t{CharLength(s)} - n + 1;
  return TValue::String(CharCopy(s, start < 1 ? 1 : static_cast<int>(start), static_cast<int>(n)));
}

TValue RightB(const TArgs& args) {
  const std::string s = args.Str(0);
  const std::int64_t n = args.Int(1);
  const std::int64_t start = static_cast<std::int64_t>(s.size()) - n + 1;
  return TValue::String(Bytes(s, start, n));
}

TValue Pos(const TArgs& args) { return TValue::Integer(CharPos(args.Str(0), args.Str(1))); }

TValue PosB(const TArgs& args) {
  const std::string sub = args.Str(0);
  const std::string s = args.Str(1);
  const std::size_t at = sub.empty() ? std::string::npos : s.find(sub);
  return TValue::Integer(at == std::string::npos ? 0 : static_cast<std::int32_t>(at + 1));
}

// INSTR([start,] s, sub): with three arguments of which the first is an
// Integer, the search starts at that position (positions below 1 count as 1).
TValue InStr(const TArgs& args) {
  const bool withStart = args.Count() >= 3 && args[0].IsInteger();
  const std::int32_t start = withStart ? std::max(args[0].IntegerValue(), 1) : 1;
  const std::string s = args.Str(withStart ? 1 : 0);
  const std::string sub = args.Str(withStart ? 2 : 1);
  const int found = CharPos(sub, CharCopy(s, start, INT_MAX));
  return TValue::Integer(found == 0 ? 0 : found + start - 1);
}

TValue InStrB(const TArgs& args) {
  const bool withStart = args.Count() >= 3 && args[0].IsInteger();
  const std::int32_t start = withStart ? std::max(args[0].IntegerValue(), 1) : 1;
  const std::string s = args.Str(withStart ? 1 : 0);
  const std::string sub = args.Str(withStart ? 2 : 1);
  if (sub.empty() || static_cast<std::size_t>(start) > s.size()) return TValue::Integer(0);
  const std::size_t at = s.find(sub, static_cast<std::size_t>(start - 1));
  return TValue::Integer(at == std::string::npos ? 0 : static_cast<std::int32_t>(at + 1));
}

TValue LastDelimiter(const TArgs& args) {
  const std::string delimiters = args.Str(0);
  const std::string s = args.Str(1);
  std::set<std::string_view> wanted;
  for (std::size_t i = 0; i < delimiters.size(); i += CharByteLength(delimiters, i))
    wanted.insert(std::string_view(delimiters).substr(i, CharByteLength(delimiters, i)));
  std::int32_t last = 0;
  std::int32_t position = 0;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t length = CharByteLength(s, i);
    ++position;
    if (wanted.count(std::string_view(s).substr(i, length))) last = position;
    i += length;
  }
  return TValue::Integer(last);
}

TValue StringRepeat(const TArgs& args) {
  const std::string s = args.Str(0);
  const std::size_t n = static_cast<std::size_t>(Count(args, 1));
  if (s.empty()) return TValue::String("");
  if (n > kMaxResultBytes / s.size()) throw CallRejected{};
  std::string repeated;
  repeated.reserve(s.size() * n);
  for (std::size_t i = 0; i < n; ++i) repeated += s;
  return TValue::String(std::move(repeated));
}

TValue IntToHexN(const TArgs& args) {
  const std::uint32_t value = static_cast<std::uint32_t>(args.Int(0));
  const std::size_t figures = static_cast<std::size_t>(Count(args, 1));
  if (figures > kMaxResultBytes) throw CallRejected{};
  return TValue::String(Hex(value, figures));
}

TValue FormatFloat(const TArgs& args) {
  return TValue::String(
      tracemill::FormatFloat(args.Str(0), args.Dbl(1), args.Context().Format()));
}

}  // namespace tracemill::builtins
