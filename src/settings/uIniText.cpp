// The settings file's text: reading the XML form and the older indented form,
// writing the XML form.

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/uEncoding.h"
#include "common/uStrC.h"
#include "settings/uIniFile.h"
#include "settings/uIniFormat.h"

namespace tracemill {

using namespace ini_format;

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && SameTextAscii(text.substr(text.size() - tail.size()), tail);
}

std::string ClosingTag(std::string_view name) {
  std::string tag = "</";
  tag.append(name).push_back('>');
  return tag;
}

// Lines split at CR LF, CR or LF; a break at the very end gives no empty last line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

// The byte offset count characters after pos (UTF-8 characters, so that no
// character is ever cut in two).
std::size_t SkipChars(std::string_view s, std::size_t pos, int count) {
  for (int k = 0; k < count && pos < s.size(); ++k) pos += CharByteLength(s, pos);
  return std::min(pos, s.size());
}

// s without its last character.
std::string_view WithoutLastChar(std::string_view s) {
  std::size_t last = 0;
  for (std::size_t i = 0; i < s.size(); i += CharByteLength(s, i)) last = i;
  return s.substr(0, last);
}

std::size_t LeadingBlanks(std::string_view line) { return line.size() - TrimmedLeftView(line).size(); }

// The open sections while a file is read: their names joined, each followed by "\".
class TSectionStack {
 public:
  std::size_t Size() const { return offsets_.size(); }
  const std::string& Path() const { return path_; }
  // Cuts to depth entries, or pads with empty names up to it.
  void SetDepth(std::size_t depth) {
    if (depth < offsets_.size()) {
      path_.resize(offsets_[depth]);
      offsets_.resize(depth);
    }
    while (offsets_.size() < depth) Push({});
  }
  void Push(std::string_view name) {
    offsets_.push_back(path_.size());
    path_.append(name).push_back(kPathSeparator);
  }

 private:
  std::string path_;
  std::vector<std::size_t> offsets_;
};

// The key path of an entry read from a file, or nullopt when it is beyond the
// limits (so that the entry could not be written back).
std::optional<std::string> LoadedPath(const std::string& sectionPath, std::string_view name) {
  if (sectionPath.size() + name.size() > kMaxPathBytes) return std::nullopt;
  std::string path = sectionPath;
  path.append(name);
  if (!FitsTheFile(path)) return std::nullopt;
  return path;
}

}  // namespace

void TIniFile::LoadFromText(std::string_view bytes) {
  Clear();
  if (bytes.empty()) return;
  const std::string text = DecodeLegacyText(bytes);
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty()) return;
  if (SameTextAscii(lines[0].substr(0, kXmlMark.size()), kXmlMark))
    LoadXml(lines);
  else
    LoadIndented(lines);
}

void TIniFile::LoadXml(const std::vector<std::string_view>& lines) {
  TSectionStack stack;
  // The declaration, the root element and the last line are not entries.
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::size_t lead = LeadingBlanks(line);
    // Lines without indentation are outside the root element's content.
    if (lead == 0) continue;
    const std::size_t depth = lead - 1;
    std::string_view rest = line.substr(lead);
    if (rest.substr(0, 2) == "</") continue;
    if (depth > kMaxDepth) continue;
    stack.SetDepth(depth);
    if (rest.empty() || rest[0] != '<') continue;
    rest.remove_prefix(1);
    const std::size_t blank = rest.find(' ');
    if (blank == std::string_view::npos) {
      // An element without a type opens a section.
      stack.Push(DecodeName(WithoutLastChar(rest)));
      continue;
    }
    const std::string_view fileName = rest.substr(0, blank);
    const std::string name = DecodeName(fileName);
    std::string_view type;
    std::string_view value;
    // After the name: the blank, Type, "=" and the opening quote; the type name
    // runs to the closing quote, which a ">" follows.
    const std::size_t typeStart = SkipChars(rest, blank, static_cast<int>(kTypeAttribute.size()));
    const std::size_t quote = rest.find('"', typeStart);
    type = rest.substr(typeStart, quote == std::string_view::npos ? std::string_view::npos : quote - typeStart);
    if (quote != std::string_view::npos) value = rest.substr(SkipChars(rest, quote, 2));
    const std::string tail = ClosingTag(fileName);
    if (EndsWithNoCase(value, tail)) value.remove_suffix(tail.size());
    if (auto path = LoadedPath(stack.Path(), name)) {
      std::string upper = UpperCaseAscii(*path);
      Append(std::move(*path), std::move(upper), KindOfTypeName(type), std::string(value));
    }
    stack.Push(name);
  }
}

void TIniFile::LoadIndented(const std::vector<std::string_view>& lines) {
  TSectionStack stack;
  for (const std::string_view line : lines) {
    const std::size_t depth = LeadingBlanks(line);
    if (depth > kMaxDepth) continue;
    const std::string_view rest = line.substr(depth);
    stack.SetDepth(depth);
    const std::size_t equals = rest.find('=');
    if (equals == std::string_view::npos) {
      stack.Push(rest);
      continue;
    }
    const std::string_view name = rest.substr(0, equals);
    const std::string_view typed = rest.substr(equals + 1);
    const std::size_t colon = typed.find(':');
    const std::string_view type = colon == std::string_view::npos ? std::string_view() : typed.substr(0, colon);
    const std::string_view value = colon == std::string_view::npos ? typed : typed.substr(colon + 1);
    if (auto path = LoadedPath(stack.Path(), name)) {
      std::string upper = UpperCaseAscii(*path);
      Append(std::move(*path), std::move(upper), KindOfTypeName(type), std::string(value));
    }
    stack.Push(name);
  }
}

namespace {

// Writes the elements of the file in path order, keeping the stack of open
// elements: their names as written, and their upper-case forms for matching.
class TElementWriter {
 public:
  explicit TElementWriter(std::string& out) : out_(out) {}

  // Closes the open elements the path does not share and opens its sections.
  void MoveTo(const std::vector<std::string_view>& parts, const std::vector<std::string_view>& upperParts) {
    // At least the key name stays to write (a path read twice from a file
    // gives two sibling elements).
    std::size_t shared = 0;
    const std::size_t limit = std::min(stack_.size(), parts.size() - 1);
    while (shared < limit && upperStack_[shared] == upperParts[shared]) ++shared;
    // The topmost element is the previous value element, which closed itself
    // or is closed here as the parent of the elements it held.
    for (std::size_t k = stack_.size(); k-- > shared + 1;) ClosingLine(k - 1);
    stack_.resize(shared);
    upperStack_.resize(shared);
    for (std::size_t k = shared; k + 1 < parts.size(); ++k) {
      Indent();
      out_.push_back('<');
      AppendEncodedName(out_, parts[k]);
      out_.append(">").append(kLineBreak);
      Push(parts[k], upperParts[k]);
    }
  }

  // The value element, which stays open when it holds children: then it is
  // closed by a line of its own, and its text keeps a closing tag only when it
  // ends like one, so that reading strips that tag and not a part of the text.
  void Value(std::string_view name, std::string_view upperName, char kind, std::string_view text,
             bool holdsChildren) {
    encoded_.clear();
    AppendEncodedName(encoded_, name);
    Indent();
    out_.append("<").append(encoded_).append(kTypeAttribute).append(TypeName(kind)).append("\">");
    out_.append(text);
    if (!holdsChildren || EndsWithNoCase(text, ClosingTag(encoded_))) out_.append("</").append(encoded_).append(">");
    out_.append(kLineBreak);
    Push(name, upperName);
  }

  void Finish() {
    for (std::size_t k = stack_.size(); k-- > 1;) ClosingLine(k - 1);
  }

 private:
  void Indent() { out_.append(stack_.size() + 1, ' '); }
  void ClosingLine(std::size_t position) {
    out_.append(position + 1, ' ').append("</");
    AppendEncodedName(out_, stack_[position]);
    out_.append(">").append(kLineBreak);
  }
  void Push(std::string_view name, std::string_view upperName) {
    stack_.push_back(name);
    upperStack_.push_back(upperName);
  }

  std::string& out_;
  std::string encoded_;
  std::vector<std::string_view> stack_;
  std::vector<std::string_view> upperStack_;
};

// Splits a key path and its upper-case form at the separators.
void SplitPath(const TIniEntry& e, std::vector<std::string_view>& parts, std::vector<std::string_view>& upperParts) {
  parts.clear();
  upperParts.clear();
  for (std::size_t start = 0;;) {
    const std::size_t end = e.KeyPath.find(kPathSeparator, start);
    const std::size_t length = (end == std::string::npos ? e.KeyPath.size() : end) - start;
    parts.emplace_back(e.KeyPath.data() + start, length);
    upperParts.emplace_back(e.UpperKeyPath.data() + start, length);
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

// Whether the next entry's path lies below this one's.
bool HoldsChildren(const TIniEntry& e, const TIniEntry& next) {
  const std::string& upper = next.UpperKeyPath;
  return upper.size() > e.UpperKeyPath.size() && upper[e.UpperKeyPath.size()] == kPathSeparator &&
         std::string_view(upper).starts_with(e.UpperKeyPath);
}

}  // namespace

std::string TIniFile::SaveToText() {
  Compact();
  const auto byUpperPath = [](const TIniEntry& a, const TIniEntry& b) { return a.UpperKeyPath < b.UpperKeyPath; };
  if (!std::is_sorted(entries_.begin(), entries_.end(), byUpperPath)) {
    std::stable_sort(entries_.begin(), entries_.end(), byUpperPath);
    RebuildIndex();
  }

  std::size_t estimate = 64;
  for (const auto& e : entries_) estimate += 2 * e.KeyPath.size() + e.Text.size() + 40;
  std::string out;
  out.reserve(estimate);
  out.append(kDeclaration).append(kLineBreak);
  out.append(kRootOpen).append(kLineBreak);
  TElementWriter writer(out);
  std::vector<std::string_view> parts;
  std::vector<std::string_view> upperParts;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const TIniEntry& e = entries_[i];
    SplitPath(e, parts, upperParts);
    writer.MoveTo(parts, upperParts);
    writer.Value(parts.back(), upperParts.back(), e.Kind, e.Text,
                 i + 1 < entries_.size() && HoldsChildren(e, entries_[i + 1]));
  }
  writer.Finish();
  out.append(kRootClose).append(kLineBreak);
  return out;
}

}  // namespace tracemill
