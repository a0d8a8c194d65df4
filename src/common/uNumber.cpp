#include "common/uNumber.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#include "common/uError.h"
#include "common/uStrC.h"

namespace tracemill {

namespace {

constexpr int kSignificant = 15;

// Decimal digits of |value| rounded to `significant` figures: digits holds
// exactly `significant` characters (trailing zeros kept) and value equals
// 0.d1d2d3... x 10^exponent. Zero gives all zeros and exponent 0.
struct Decimal {
  char digits[32];
  int count = 0;
  int exponent = 0;
};

Decimal ToDecimal(double value, int significant) {
  Decimal d;
  d.count = significant;
  if (value == 0) {
    std::memset(d.digits, '0', static_cast<std::size_t>(significant));
    return d;
  }
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                               std::chars_format::scientific, significant - 1);
  // buf: d[.ddd]e±XX
  const char* p = buf;
  int n = 0;
  d.digits[n++] = *p++;
  if (*p == '.') {
    ++p;
    while (*p != 'e') d.digits[n++] = *p++;
  }
  ++p;  // 'e'
  int exp = 0;
  std::from_chars(*p == '+' ? p + 1 : p, r.ptr, exp);
  d.exponent = exp + 1;
  return d;
}

// Rounds a digit string (value 0.digits x 10^exponent) half away from zero so
// that `decimals` digits remain after the decimal point. Returns the integer
// and fraction digits (integer without leading zeros, "" for zero).
void RoundFixed(const Decimal& d, int decimals, std::string& integer, std::string& fraction) {
  // Position (0-based, from the left of digits) of the last kept digit.
  const long keep = static_cast<long>(d.exponent) + decimals;  // digits kept
  std::vector<char> digits(d.digits, d.digits + d.count);
  long exponent = d.exponent;
  if (keep < 0) {
    digits.clear();
  } else if (keep < static_cast<long>(digits.size())) {
    const bool up = digits[static_cast<std::size_t>(keep)] >= '5';
    digits.resize(static_cast<std::size_t>(keep));
    if (up) {
      long i = keep - 1;
      while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') digits[static_cast<std::size_t>(i--)] = '0';
      if (i >= 0) {
        ++digits[static_cast<std::size_t>(i)];
      } else {
        digits.insert(digits.begin(), '1');
        ++exponent;
      }
    }
  }
  integer.clear();
  fraction.assign(static_cast<std::size_t>(decimals), '0');
  // digit k (0-based) has place value 10^(exponent-1-k).
  for (long k = 0; k < static_cast<long>(digits.size()); ++k) {
    const long place = exponent - 1 - k;
    if (place >= 0) {
      if (integer.empty()) integer.assign(static_cast<std::size_t>(place + 1), '0');
      integer[integer.size() - 1 - static_cast<std::size_t>(place)] = digits[static_cast<std::size_t>(k)];
    } else if (-place <= decimals) {
      fraction[static_cast<std::size_t>(-place - 1)] = digits[static_cast<std::size_t>(k)];
    }
  }
  const auto nz = integer.find_first_not_of('0');
  integer = nz == std::string::npos ? std::string() : integer.substr(nz);
}

// The parsed shape of one section of a picture format.
struct Picture {
  int intPlaceholders = 0;  // '0' and '#' before the decimal point (or exponent)
  int intMinDigits = 0;     // from the first '0' to the decimal point
  int fracPlaceholders = 0;
  int fracMinDigits = 0;  // up to the last '0' after the decimal point
  bool thousands = false;
  bool scientific = false;
};

bool IsExponentAt(std::string_view s, std::size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

Picture Analyse(std::string_view s) {
  Picture p;
  bool afterPoint = false;
  int firstZero = -1;  // index among integer placeholders
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      const auto close = s.find(c, i + 1);
      i = close == std::string_view::npos ? s.size() : close;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++p.fracPlaceholders;
        if (c == '0') p.fracMinDigits = p.fracPlaceholders;
      } else {
        if (c == '0' && firstZero < 0) firstZero = p.intPlaceholders;
        ++p.intPlaceholders;
      }
    } else if (c == '.') {
      afterPoint = true;
    } else if (c == ',') {
      if (!afterPoint) p.thousands = true;
    } else if (IsExponentAt(s, i)) {
      p.scientific = true;
      break;
    }
  }
  p.intMinDigits = firstZero < 0 ? 0 : p.intPlaceholders - firstZero;
  return p;
}

// Splits a pattern into its ";" sections (quotes respected), at most three.
std::vector<std::string_view> Sections(std::string_view pattern) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= pattern.size(); ++i) {
    if (i < pattern.size() && (pattern[i] == '"' || pattern[i] == '\'')) {
      const auto close = pattern.find(pattern[i], i + 1);
      i = close == std::string_view::npos ? pattern.size() - 1 : close;
      continue;
    }
    if (i == pattern.size() || pattern[i] == ';') {
      out.push_back(pattern.substr(start, i - start));
      start = i + 1;
      if (out.size() == 3) break;
    }
  }
  return out;
}

// The figures a section shows: the integer figures (without leading zeros),
// the fraction figures, how many of them are shown, and the exponent.
struct Figures {
  std::string integer, fraction;
  int fractionShown = 0;
  int exponent = 0;
};

// Rounds the magnitude for the section's figure positions. A value that rounds
// to zero in fixed notation loses its minus sign.
Figures FiguresOf(const Picture& p, double magnitude, bool& minus) {
  Figures f;
  if (p.scientific) {
    const int significant = std::max(1, std::min(p.intPlaceholders + p.fracPlaceholders, 18));
    const Decimal d = ToDecimal(magnitude, significant);
    const std::string all(d.digits, static_cast<std::size_t>(d.count));
    if (magnitude != 0) f.exponent = d.exponent - p.intPlaceholders;
    const std::size_t split = static_cast<std::size_t>(std::min(p.intPlaceholders, d.count));
    f.integer = all.substr(0, split);
    f.fraction = all.substr(split);
    f.fraction.resize(static_cast<std::size_t>(p.fracPlaceholders), '0');
    const auto nz = f.integer.find_first_not_of('0');
    f.integer = nz == std::string::npos ? std::string() : f.integer.substr(nz);
  } else {
    RoundFixed(ToDecimal(magnitude, kSignificant), p.fracPlaceholders, f.integer, f.fraction);
    if (f.integer.empty() && f.fraction.find_first_not_of('0') == std::string::npos) minus = false;
  }
  // Optional fraction figures ("#") show only up to the last one that is not 0.
  f.fractionShown = p.fracMinDigits;
  for (int k = p.fracPlaceholders; k > f.fractionShown; --k)
    if (f.fraction[static_cast<std::size_t>(k - 1)] != '0') {
      f.fractionShown = k;
      break;
    }
  return f;
}

// Appends the exponent code at s[i] ("E+", "E-", "e+" or "e-" and up to four
// "0" for the minimum number of figures) and the exponent; returns the index
// after the code.
std::size_t AppendExponent(std::string& out, std::string_view s, std::size_t i, int exponent) {
  out += s[i];
  const bool plusForm = s[i + 1] == '+';
  i += 2;
  int minDigits = 0;
  while (i < s.size() && s[i] == '0' && minDigits < 4) {
    ++minDigits;
    ++i;
  }
  if (exponent < 0)
    out += '-';
  else if (plusForm)
    out += '+';
  std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(e.size()) < minDigits) e.insert(0, static_cast<std::size_t>(minDigits) - e.size(), '0');
  out += e;
  return i;
}

std::string FormatSection(std::string_view s, double magnitude, bool minus, const TFormatSettings& fs) {
  const Picture p = Analyse(s);
  const Figures f = FiguresOf(p, magnitude, minus);
  std::string out;
  if (minus) out += '-';
  const int intWidth = std::max(static_cast<int>(f.integer.size()), p.intMinDigits);
  auto putIntDigit = [&](int place) {  // place: 0 = units
    out += place < static_cast<int>(f.integer.size()) ? f.integer[f.integer.size() - 1 - place] : '0';
    if (p.thousands && place > 0 && place % 3 == 0) out += fs.ThousandSeparator;
  };
  int intSeen = 0, fracSeen = 0;
  bool afterPoint = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      const auto close = s.find(c, i + 1);
      const std::size_t end = close == std::string_view::npos ? s.size() : close;
      out.append(s.substr(i + 1, end - i - 1));
      i = end;
    } else if ((c == '0' || c == '#') && !afterPoint) {
      const int place = p.intPlaceholders - 1 - intSeen;
      if (intSeen == 0)  // figures beyond the placeholders go at the first one
        for (int q = intWidth - 1; q > place; --q) putIntDigit(q);
      if (place < intWidth) putIntDigit(place);
      ++intSeen;
    } else if (c == '0' || c == '#') {
      if (fracSeen < f.fractionShown) out += f.fraction[static_cast<std::size_t>(fracSeen)];
      ++fracSeen;
    } else if (c == '.') {
      if (!afterPoint && f.fractionShown > 0) out += fs.DecimalSeparator;
      afterPoint = true;
    } else if (IsExponentAt(s, i)) {
      i = AppendExponent(out, s, i, f.exponent);
      out.append(s.substr(i));  // the rest is literal text
      break;
    } else if (c != ',') {  // a comma only asks for thousands separators
      out += c;
    }
  }
  return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::size_t FormatGeneral(double value, char* buf, char decimalSeparator) {
  char* o = buf;
  if (std::isnan(value)) {
    std::memcpy(buf, "NAN", 3);
    return 3;
  }
  if (std::isinf(value)) {
    if (value < 0) *o++ = '-';
    std::memcpy(o, "INF", 3);
    return static_cast<std::size_t>(o - buf) + 3;
  }
  if (value == 0) {
    *o = '0';
    return 1;
  }
  const Decimal d = ToDecimal(value, kSignificant);
  int n = d.count;
  while (n > 1 && d.digits[n - 1] == '0') --n;
  if (value < 0) *o++ = '-';
  const int e = d.exponent;  // value = 0.digits x 10^e
  if (e >= -4 && e <= 15) {  // 1E-5 <= |x| < 1E15
    if (e <= 0) {
      *o++ = '0';
      *o++ = decimalSeparator;
      for (int k = 0; k < -e; ++k) *o++ = '0';
      std::memcpy(o, d.digits, static_cast<std::size_t>(n));
      o += n;
    } else {
      for (int k = 0; k < e; ++k) *o++ = k < n ? d.digits[k] : '0';
      if (n > e) {
        *o++ = decimalSeparator;
        std::memcpy(o, d.digits + e, static_cast<std::size_t>(n - e));
        o += n - e;
      }
    }
  } else {
    *o++ = d.digits[0];
    if (n > 1) {
      *o++ = decimalSeparator;
      std::memcpy(o, d.digits + 1, static_cast<std::size_t>(n - 1));
      o += n - 1;
    }
    *o++ = 'E';
    const auto r = std::to_chars(o, o + 8, e - 1);
    o = r.ptr;
  }
  return static_cast<std::size_t>(o - buf);
}

std::string FloatToStr(double value, char decimalSeparator) {
  char buf[40];
  return std::string(buf, FormatGeneral(value, buf, decimalSeparator));
}

std::string FormatFloat(std::string_view pattern, double value, const TFormatSettings& settings) {
  if (std::isnan(value) || std::isinf(value)) return FloatToStr(value);
  const auto sections = Sections(pattern);
  if (sections.empty() || sections[0].empty())
    return FloatToStr(value, settings.DecimalSeparator);
  std::string_view chosen = sections[0];
  bool minus = value < 0;
  if (value < 0 && sections.size() >= 2 && !sections[1].empty()) {
    chosen = sections[1];
    minus = false;  // the negative section writes its own sign, if any
  } else if (value == 0 && sections.size() >= 3 && !sections[2].empty()) {
    chosen = sections[2];
  }
  return FormatSection(chosen, std::fabs(value), minus, settings);
}

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  std::string_view t = TrimmedView(text);
  bool negative = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negative = t[0] == '-';
    t.remove_prefix(1);
  }
  int base = 10;
  if (!t.empty() && t[0] == '$') {
    base = 16;
    t.remove_prefix(1);
  } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.remove_prefix(2);
  }
  if (t.empty()) return std::nullopt;
  // At most 32 bits in either base; from_chars refuses a sign of its own here.
  std::uint32_t magnitude = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), magnitude, base);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size()) return std::nullopt;
  // A hexadecimal text names the 32-bit pattern: $FFFFFFFF is -1.
  if (base == 16 && !negative) return static_cast<std::int32_t>(magnitude);
  if (negative) {
    if (magnitude > 0x80000000u) return std::nullopt;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude));
  }
  if (magnitude > 0x7FFFFFFFu) return std::nullopt;
  return static_cast<std::int32_t>(magnitude);
}

namespace {

// The exponent part of a decimal text from its "e" on, saturated (only its
// sign matters to the caller); 0 when there is none.
long ExponentOf(std::string_view t, std::size_t at) {
  if (at == std::string_view::npos) return 0;
  std::size_t i = at + 1;
  const bool negative = t[i] == '-';
  if (t[i] == '+' || t[i] == '-') ++i;
  long exponent = 0;
  for (; i < t.size() && exponent < 1000000000L; ++i) exponent = exponent * 10 + (t[i] - '0');
  return negative ? -exponent : exponent;
}

// The decimal exponent E of a text's value when written 0.d... x 10^E with a
// first figure d that is not 0, from the figures before and after the decimal
// point and the exponent part. The value is not 0.
long DecimalExponent(std::string_view integer, std::string_view fraction, long exponent) {
  const std::size_t lead = integer.find_first_not_of('0');
  if (lead != std::string_view::npos) return static_cast<long>(integer.size() - lead) + exponent;
  return exponent - static_cast<long>(fraction.find_first_not_of('0'));
}

}  // namespace

std::optional<double> TryStrToFloat(std::string_view text, char decimalSeparator) {
  const std::string_view t = TrimmedView(text);
  constexpr std::size_t npos = std::string_view::npos;
  // sign, figures [separator figures] [e sign figures]; at least one figure.
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  const std::size_t integerStart = i;
  while (i < t.size() && IsDigit(t[i])) ++i;
  const std::string_view integer = t.substr(integerStart, i - integerStart);
  std::string_view fraction;
  std::size_t separatorAt = npos;
  if (i < t.size() && t[i] == decimalSeparator) {
    separatorAt = i++;
    const std::size_t fractionStart = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    fraction = t.substr(fractionStart, i - fractionStart);
  }
  if (integer.empty() && fraction.empty()) return std::nullopt;
  std::size_t exponentAt = npos;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    exponentAt = i++;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    const std::size_t figuresStart = i;
    while (i < t.size() && IsDigit(t[i])) ++i;
    if (i == figuresStart) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  // from_chars reads the text as it is, unless it has a "+" sign or another
  // decimal separator.
  std::string copy;
  std::string_view number = t;
  const std::size_t skip = t[0] == '+' ? 1 : 0;
  if (skip != 0 || (separatorAt != npos && decimalSeparator != '.')) {
    copy.assign(t.substr(skip));
    if (separatorAt != npos) copy[separatorAt - skip] = '.';
    number = copy;
  }
  double value = 0;
  const auto r = std::from_chars(number.data(), number.data() + number.size(), value);
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond the largest double: not a number this program can hold. Below the
    // smallest one: the nearest double is zero.
    if (DecimalExponent(integer, fraction, ExponentOf(t, exponentAt)) > 0) return std::nullopt;
    return t[0] == '-' ? -0.0 : 0.0;
  }
  if (r.ec != std::errc() || r.ptr != number.data() + number.size()) return std::nullopt;
  return value;
}

bool IsIntegerText(std::string_view text) { return TryStrToInt(text).has_value(); }

bool IsFloatText(std::string_view text, char decimalSeparator) {
  return TryStrToFloat(text, decimalSeparator).has_value();
}

std::int32_t StrToInt(std::string_view text) {
  const auto v = TryStrToInt(text);
  if (!v) throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
  return *v;
}

double StrToFloat(std::string_view text, char decimalSeparator) {
  const auto v = TryStrToFloat(text, decimalSeparator);
  if (!v) throw ConvertError("'" + std::string(text) + "' is not a valid floating point value");
  return *v;
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

}  // namespace tracemill
