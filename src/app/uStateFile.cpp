#include "app/uStateFile.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <vector>

#include "app/uStateKeys.h"
#include "app/uWorkspace.h"
#include "bench/uBenchSettings.h"
#include "bench/uBenchState.h"
#include "common/uEncoding.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "common/uNumber.h"
#include "common/uStrC.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"

namespace tracemill {

namespace k = statekeys;

namespace {

constexpr std::string_view kNotStateFileJa = " は状態ファイルではありません。今の作業はそのまま残ります。";
constexpr std::string_view kNotStateFileEn = " is not a state file. The current work stays as it is.";
constexpr std::string_view kLineJa = " の ";
constexpr std::string_view kLineJaEnd = " 行目: ";
constexpr std::string_view kLineEn = ", line ";
constexpr std::string_view kLineEnEnd = ": ";
constexpr std::string_view kTooLargeEn = " is too large for a state file.";
constexpr std::string_view kTooLargeJa = " は状態ファイルとしては大きすぎます。";
constexpr std::string_view kUnreadableEn = " cannot be read.";
constexpr std::string_view kUnreadableJa = " を読み込めません。";
constexpr std::string_view kUnwritableEn = "The state file cannot be written.";

std::string Named(std::string_view name) { return name.empty() ? std::string("(stream)") : std::string(name); }

// A comment or title stays on its line.
void AppendOneLine(std::string& out, std::string_view text) {
  for (char c : text) out += (c == '\r' || c == '\n') ? ' ' : c;
}

void AppendNumber(std::string& out, double value) {
  char buf[40];
  out.append(buf, FormatGeneral(value, buf));
}

// The lines of a text; CR LF, LF and a lone CR each end a line. A final line
// break does not start another line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string ReadAll(std::istream& in, const std::string& name) {
  const bool japanese = IsJapanese();
  std::string bytes;
  char chunk[1 << 16];
  while (in) {
    in.read(chunk, sizeof chunk);
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    if (bytes.size() + got > k::kMaxStateBytes)
      throw FileError(Named(name) + std::string(japanese ? kTooLargeJa : kTooLargeEn));
    bytes.append(chunk, got);
  }
  if (in.bad()) throw FileError(Named(name) + std::string(japanese ? kUnreadableJa : kUnreadableEn));
  return bytes;
}

// Text up to the delimiter; the view moves past it. A missing delimiter is a
// malformed record.
std::string_view Take(std::string_view& rest, char delimiter) {
  const std::size_t at = rest.find(delimiter);
  if (at == std::string_view::npos)
    throw ConvertError("'" + std::string(rest.substr(0, 80)) + "': '" + std::string(1, delimiter) + "' is missing");
  const std::string_view part = rest.substr(0, at);
  rest.remove_prefix(at + 1);
  return part;
}

// Drops the first character, a multi-byte one whole.
void DropChar(std::string_view& rest) {
  if (!rest.empty()) rest.remove_prefix(std::min(CharByteLength(rest, 0), rest.size()));
}

// Drops the last character, a multi-byte one whole.
void DropLastChar(std::string_view& rest) {
  if (rest.empty()) return;
  std::size_t start = rest.size() - 1;
  while (start > 0 && rest.size() - start < 4 && (static_cast<unsigned char>(rest[start]) & 0xC0) == 0x80) --start;
  if (start + CharByteLength(rest, start) != rest.size()) start = rest.size() - 1;
  rest.remove_suffix(rest.size() - start);
}

class TStateReader {
 public:
  TStateReader(TWorkspace& w, std::vector<std::string_view> lines) : w_(w), lines_(std::move(lines)) {}

  // Walks the sections from the third line on; returns the 1-based number of
  // the line being read when an error ends the reading.
  void Run() {
    std::size_t i = 2;
    while (i < lines_.size() && !IsSectionStart(lines_[i])) ++i;
    while (i < lines_.size()) {
      std::size_t end = i + 1;
      while (end < lines_.size() && !IsSectionStart(lines_[end])) ++end;
      Section(i, end);
      i = end;
    }
  }
  std::size_t CurrentLine() const { return current_ + 1; }

 private:
  static bool IsSectionStart(std::string_view line) { return !line.empty() && line.front() == k::kSectionStart; }

  void Section(std::size_t first, std::size_t end) {
    current_ = first;
    const std::string head = UpperCaseAscii(lines_[first]);
    if (head.rfind(k::kWindowSectionUpper, 0) == 0)
      Window(first + 1, end);
    else if (head.rfind(k::kDataSectionUpper, 0) == 0)
      Data(first + 1, end);
  }

  void Window(std::size_t first, std::size_t end) {
    std::string fileName;
    for (std::size_t i = first; i < end; ++i)
      if (UpperCaseAscii(lines_[i].substr(0, k::kFilenameUpper.size())) == k::kFilenameUpper) {
        fileName = std::string(lines_[i].substr(k::kFilenameUpper.size()));
        break;
      }
    if (end - first > 2) {
      std::string text;
      for (std::size_t i = first; i < end; ++i) {
        text += lines_[i];
        text += k::kLineBreak;
      }
      w_.AddRestoredBench(text, fileName);
    } else {
      w_.AddEmptyEntry(std::move(fileName));
    }
  }

  void Data(std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
      current_ = i;
      const std::string_view line = lines_[i];
      const std::size_t eq = line.find(k::kKeyValue);
      const std::string key = UpperCaseAscii(line.substr(0, eq));
      const std::string_view value = eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
      if (key == k::kSortItemUpper) {
        w_.SetSortItem(value, w_.SortReverse());
      } else if (key == k::kSortReverseUpper) {
        w_.SetSortItem(w_.SortItem(), UpperCaseAscii(value) == k::kTrueUpper);
      } else if (key == k::kLastPointsIDUpper) {
        w_.SetLastPointsID(StrToInt(value));
      } else if (key.rfind(k::kDataPrefixUpper, 0) == 0) {
        std::unique_ptr<TBaseMeasuredPoints> record = ParseLineRecord(value);
        // Serial numbers handed out later must not meet one that was read.
        if (record->PointsID > w_.LastPointsID()) w_.SetLastPointsID(record->PointsID);
        w_.AddLine(std::move(record));
      }
    }
  }

  TWorkspace& w_;
  std::vector<std::string_view> lines_;
  std::size_t current_ = 0;
};

}  // namespace

std::string StateHeaderLine() { return Appli().Name + std::string(k::kHeaderSuffix); }

std::string LineRecordText(const TBaseMeasuredPoints& line) {
  std::string out;
  out += IntToStr(line.PointsID);
  out += k::kFieldSeparator;
  out += IntToStr(line.WindowID);
  out += k::kFieldSeparator;
  bool first = true;
  for (int j = 0; j < line.Count(); ++j) {
    const TBaseMeasuredPoint* p = line.Item(j);
    if (!p) continue;
    if (!first) out += k::kPointSeparator;
    first = false;
    out += k::kPointOpen;
    AppendNumber(out, p->X);
    out += k::kFieldSeparator;
    AppendNumber(out, p->Y);
    out += k::kPointClose;
  }
  out += k::kFieldSeparator;
  out += k::kQuote;
  AppendOneLine(out, line.Comment);
  out += k::kCommentTitle;
  AppendOneLine(out, line.Title);
  out += k::kQuote;
  return out;
}

std::unique_ptr<TBaseMeasuredPoints> ParseLineRecord(std::string_view value) {
  auto line = std::make_unique<TBaseMeasuredPoints>();
  std::string_view rest = value;
  line->PointsID = StrToInt(Take(rest, k::kFieldSeparator));
  line->WindowID = StrToInt(Take(rest, k::kFieldSeparator));
  while (!rest.empty() && rest.front() == k::kPointOpen) {
    DropChar(rest);
    const double x = ReadMeasuredValue(Take(rest, k::kFieldSeparator));
    const double y = ReadMeasuredValue(Take(rest, k::kPointClose));
    DropChar(rest);  // "-" before the next point or "," before the comment
    line->AddPoint(x, y);
  }
  // The comma before the comment of a line without points, and the comment's opening quote.
  if (line->Count() == 0 && !rest.empty() && rest.front() == k::kFieldSeparator) DropChar(rest);
  DropChar(rest);
  const std::size_t cut = rest.find(k::kCommentTitle);
  if (cut == std::string_view::npos) {
    // No title: the comment runs to its closing quote.
    if (!rest.empty() && rest.back() == k::kQuote) rest.remove_suffix(1);
    line->Comment = std::string(rest);
    return line;
  }
  line->Comment = std::string(rest.substr(0, cut));
  rest.remove_prefix(cut + k::kCommentTitle.size());
  DropLastChar(rest);  // the closing quote
  line->Title = std::string(rest);
  return line;
}

void WriteState(const TWorkspace& w, std::ostream& out) {
  std::string text;
  const auto line = [&text](std::string_view s) {
    text += s;
    text += k::kLineBreak;
  };
  line(StateHeaderLine());
  for (int i = 0; i < w.BenchCount(); ++i) {
    line("");
    line(std::string(k::kWindowSection) + IntToStr(i) + std::string(k::kSectionEnd));
    if (const TBench* bench = w.Bench(i)) {
      const std::string state = bench->StateText();
      for (std::string_view l : TextLines(state)) line(l);
    }
  }
  line("");
  line(k::kDataSection);
  line(std::string(k::kSortItem) + k::kKeyValue + w.SortItem());
  line(std::string(k::kSortReverse) + k::kKeyValue + std::string(w.SortReverse() ? k::kTrue : k::kFalse));
  line(std::string(k::kLastPointsID) + k::kKeyValue + IntToStr(w.LastPointsID()));
  const TBaseMeasuredList& data = w.Data();
  for (int i = 0; i < data.Count(); ++i) {
    const TBaseMeasuredPoints* record = data.Item(i);
    if (!record) continue;
    text += k::kDataPrefix;
    text += IntToStr(i);
    text += k::kDataEnd;
    text += k::kKeyValue;
    text += LineRecordText(*record);
    text += k::kLineBreak;
  }
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) throw FileError(std::string(kUnwritableEn));
}

void WriteStateFile(const TWorkspace& w, const std::string& fileName) {
  const std::string folder = ExtractFileDir(fileName);
  if (!folder.empty() && !ForceDirectories(folder)) throw FileError("The folder " + folder + " cannot be made");
  WriteFileAtomic(fileName, [&w](std::ostream& out) { WriteState(w, out); });
}

namespace {

void ReadStateBytes(TWorkspace& w, std::string_view bytes, const std::string& name) {
  const bool japanese = IsJapanese();
  const std::string text = DecodeLegacyText(bytes);
  std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty() || lines.front() != StateHeaderLine())
    throw FileError(Named(name) + std::string(japanese ? kNotStateFileJa : kNotStateFileEn));
  w.ReleaseAll();
  TStateReader reader(w, std::move(lines));
  try {
    reader.Run();
  } catch (const ConvertError& e) {
    w.ResetList(-1);
    const std::string line = IntToStr(static_cast<std::int64_t>(reader.CurrentLine()));
    throw ConvertError(Named(name) + std::string(japanese ? kLineJa : kLineEn) + line +
                       std::string(japanese ? kLineJaEnd : kLineEnEnd) + e.what());
  }
  w.ResetList(-1);
}

}  // namespace

void ReadState(TWorkspace& w, std::istream& in, const std::string& name) { ReadStateBytes(w, ReadAll(in, name), name); }

void ReadStateFile(TWorkspace& w, const std::string& fileName) {
  ReadStateBytes(w, ReadFileBytes(fileName, statekeys::kMaxStateBytes), fileName);
}

}  // namespace tracemill
