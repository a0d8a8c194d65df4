#include "bench/uBenchState.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "common/uError.h"
#include "common/uNumber.h"
#include "common/uStrC.h"

namespace tracemill {

namespace {

constexpr std::string_view kCommentOpen = ",\"";
constexpr std::string_view kCommentTitle = "\",\"";
constexpr std::string_view kTitleClose = "\"";
constexpr char kPointSeparator = '-';

// Walks through a value text: each read takes the text up to a delimiter and
// moves past the delimiter.
class Cursor {
 public:
  explicit Cursor(std::string_view text) : rest_(text) {}

  std::string_view Until(std::string_view delimiter) {
    const std::size_t at = rest_.find(delimiter);
    if (at == std::string_view::npos)
      throw ConvertError("'" + std::string(rest_.substr(0, 80)) + "': '" + std::string(delimiter) + "' is missing");
    const std::string_view part = rest_.substr(0, at);
    rest_.remove_prefix(at + delimiter.size());
    return part;
  }
  std::int32_t Integer(std::string_view delimiter) { return StrToInt(Until(delimiter)); }
  void Skip(std::size_t count) { rest_.remove_prefix(std::min(count, rest_.size())); }
  std::string_view Rest() const { return rest_; }

 private:
  std::string_view rest_;
};

std::optional<double> TypedNumber(std::string_view text, char decimalSeparator) {
  if (auto v = TryStrToFloat(text, decimalSeparator)) return v;
  return TryStrToFloat(text, '.');
}

double TypedValue(std::string_view text, char decimalSeparator) {
  if (auto v = TypedNumber(text, decimalSeparator)) return *v;
  return StrToFloat(text, decimalSeparator);  // throws with the usual message
}

// A measured value: a number with "." or what the writer makes of values
// beyond numbers ("INF", "-INF", "NAN"); a value too large for a double
// (the writer rounds the largest ones up) reads as infinite.
double MeasuredNumber(std::string_view text) {
  if (auto v = TryStrToFloat(text, '.')) return *v;
  std::string t = Trim(text);
  if (!t.empty() && t.front() == '+') t.erase(0, 1);
  double value = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), value);
  if (r.ptr == t.data() + t.size() && !t.empty()) {
    if (r.ec == std::errc()) return value;
    if (r.ec == std::errc::result_out_of_range && t.find_first_of("eE") != std::string::npos &&
        t.find("e-") == std::string::npos && t.find("E-") == std::string::npos)
      return t.front() == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
  }
  return StrToFloat(text, '.');  // throws with the usual message
}

// "(PosX,PosY)/(Width,Height)=(" read from a cursor standing after the "(".
template <typename Point>
void ReadPosition(Cursor& c, Point& p) {
  p.PosX = c.Integer(",");
  p.PosY = c.Integer(")");
  c.Skip(2);  // "/("
  p.Width = c.Integer(",");
  p.Height = c.Integer(")");
  c.Skip(2);  // "=("
}

template <typename Point>
void AppendPosition(std::string& out, const Point& p) {
  out += '(';
  out += IntToStr(p.PosX);
  out += ',';
  out += IntToStr(p.PosY);
  out += ")/(";
  out += IntToStr(p.Width);
  out += ',';
  out += IntToStr(p.Height);
  out += ")=(";
}

}  // namespace

std::string StandardValueText(const TStandardPoint& p) {
  std::string out;
  AppendPosition(out, p);
  out += p.TextX;
  out += ',';
  out += p.TextY;
  out += ')';
  return out;
}

TStandardPoint ParseStandardValue(std::string_view value, char decimalSeparator) {
  TStandardPoint p;
  Cursor c(value);
  if (const std::size_t open = value.find('('); open != std::string_view::npos) c.Skip(open + 1);
  ReadPosition(c, p);
  const std::string_view texts = c.Until(")");
  std::size_t split = texts.find(',');
  if (split == std::string_view::npos) throw ConvertError("'" + std::string(texts) + "': ',' is missing");
  for (std::size_t at = split; at != std::string_view::npos; at = texts.find(',', at + 1))
    if (TypedNumber(texts.substr(0, at), decimalSeparator) && TypedNumber(texts.substr(at + 1), decimalSeparator)) {
      split = at;
      break;
    }
  p.TextX = std::string(texts.substr(0, split));
  p.TextY = std::string(texts.substr(split + 1));
  p.ValueX = TypedValue(p.TextX, decimalSeparator);
  p.ValueY = TypedValue(p.TextY, decimalSeparator);
  return p;
}

std::string LineValueText(const TMeasuredPoints& line) {
  std::string out = IntToStr(line.Id);
  out += ',';
  bool first = true;
  for (int i = 0; i < line.Count(); ++i) {
    const TMeasuredPoint* p = line.Item(i);
    if (!p) continue;
    if (!first) out += kPointSeparator;
    first = false;
    AppendPosition(out, *p);
    out += FloatToStr(p->ValueX, '.');
    out += ',';
    out += FloatToStr(p->ValueY, '.');
    out += ')';
  }
  out += kCommentOpen;
  out += line.Comment;
  out += kCommentTitle;
  out += line.Title;
  out += kTitleClose;
  return out;
}

std::unique_ptr<TMeasuredPoints> ParseLineValue(std::string_view value) {
  auto line = std::make_unique<TMeasuredPoints>();
  Cursor c(value);
  line->Id = c.Integer(",");
  while (!c.Rest().empty() && c.Rest().front() == '(') {
    c.Skip(1);
    auto p = std::make_unique<TMeasuredPoint>();
    ReadPosition(c, *p);
    p->ValueX = MeasuredNumber(c.Until(","));
    p->ValueY = MeasuredNumber(c.Until(")"));
    c.Skip(1);  // "-" before the next point, or "," before the comment
    line->Add(std::move(p));
  }
  c.Skip(1);  // the opening double quote
  const std::string_view rest = c.Rest();
  const std::size_t cut = rest.find(kCommentTitle);
  if (cut == std::string_view::npos) {
    line->Comment = std::string(rest.substr(0, rest.empty() ? 0 : rest.size() - 1));
  } else {
    line->Comment = std::string(rest.substr(0, cut));
    const std::string_view title = rest.substr(cut + kCommentTitle.size());
    line->Title = std::string(title.substr(0, title.empty() ? 0 : title.size() - 1));
  }
  if (line->Count() == 0) return nullptr;
  return line;
}

double ReadMeasuredValue(std::string_view text) { return MeasuredNumber(text); }

}  // namespace tracemill
