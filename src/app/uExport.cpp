#include "app/uExport.h"

#include <ostream>

#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "common/uNumber.h"

namespace tracemill {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

// Stands in for an entry of the list that carries no line.
const TBaseMeasuredPoints& LineOrEmpty(const TBaseMeasuredPoints* line) {
  static const TBaseMeasuredPoints kEmpty;
  return line ? *line : kEmpty;
}

// The first position at or after from where tag (ASCII) occurs in text,
// letters compared ignoring case; npos when it does not.
std::size_t FindTag(std::string_view text, std::string_view tag, std::size_t from) {
  if (tag.empty() || text.size() < tag.size()) return std::string_view::npos;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t i = from; i + tag.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < tag.size() && lower(text[i + k]) == lower(tag[k])) ++k;
    if (k == tag.size()) return i;
  }
  return std::string_view::npos;
}

// Replaces every occurrence of tag by value, searching on after each
// inserted value, so that a value is never searched for the same tag.
void ReplaceTag(std::string& text, std::string_view tag, std::string_view value) {
  std::size_t at = FindTag(text, tag, 0);
  while (at != std::string::npos) {
    text.replace(at, tag.size(), value);
    at = FindTag(text, tag, at + value.size());
  }
}

void CheckStream(const std::ostream& out, std::string_view what) {
  if (out.fail()) throw FileError("Cannot write the " + std::string(what) + ".");
}

void EnsureFolder(const std::string& fileName) {
  const std::string folder = ExtractFileDir(fileName);
  if (!folder.empty() && !ForceDirectories(folder))
    throw FileError("Cannot create the folder \"" + folder + "\".");
}

}  // namespace

TListRowTexts ListRowTexts(const TBaseMeasuredPoints& line, std::string_view formatX, std::string_view formatY) {
  TListRowTexts row;
  row[0] = IntToStr(line.PointsID);
  row[1] = line.Title;
  row[2] = IntToStr(line.Count());
  if (const TBaseMeasuredPoint* first = line.Item(0)) {
    row[3] = FormatFloat(formatX, first->X);
    row[4] = FormatFloat(formatY, first->Y);
  }
  row[5] = line.Comment;
  return row;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string field;
  field.reserve(text.size() + 2);
  field += '"';
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  field += '"';
  return field;
}

void WriteCsv(std::ostream& out, const TBaseMeasuredList& data, std::string_view formatX,
              std::string_view formatY) {
  std::string line(kCsvHeader);
  line += kLineBreak;
  out << line;
  for (int i = 0; i < data.Count() && out; ++i) {
    const TListRowTexts row = ListRowTexts(LineOrEmpty(data.Item(i)), formatX, formatY);
    line.clear();
    for (int c = 0; c < kListColumns; ++c) {
      if (c > 0) line += ',';
      line += CsvField(row[static_cast<std::size_t>(c)]);
    }
    line += kLineBreak;
    out << line;
  }
  out.flush();
  CheckStream(out, "CSV file");
}

void SaveCsvFile(const std::string& fileName, const TBaseMeasuredList& data, std::string_view formatX,
                 std::string_view formatY) {
  EnsureFolder(fileName);
  WriteFileAtomic(fileName, [&](std::ostream& out) { WriteCsv(out, data, formatX, formatY); });
}

void WriteReportLines(std::ostream& out, const std::vector<std::string>& lines) {
  for (std::size_t i = 0; i < lines.size() && out; ++i) {
    out << lines[i];
    out << kLineBreak;
  }
  out.flush();
  CheckStream(out, "report");
}

std::string SaveReportFile(const std::string& folder, std::string_view fileName,
                           const std::vector<std::string>& lines) {
  const std::string path = IncludeTrailingSlash(folder) + std::string(fileName);
  EnsureFolder(path);
  WriteFileAtomic(path, [&](std::ostream& out) { WriteReportLines(out, lines); });
  return path;
}

void OpenReport(TShellService& shell, const std::string& reportPath, const std::string& application) {
  if (application.empty())
    shell.OpenFile(reportPath, "");
  else
    shell.RunProgram(application, {reportPath}, "");
}

std::vector<std::string> SimpleReportLines(const TBaseMeasuredList& data, const TBenchSource& benches,
                                           const TSimpleReportFormat& format) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(data.Count()));
  const int benchCount = benches.BenchCount();
  for (int i = 0; i < data.Count(); ++i) {
    const TBaseMeasuredPoints& line = LineOrEmpty(data.Item(i));
    if (line.WindowID < 0 || line.WindowID >= benchCount)
      throw InvalidOperation("The report cannot be made: line " + IntToStr(line.PointsID) +
                             " names window " + IntToStr(line.WindowID) + ", and there are " +
                             IntToStr(benchCount) + " windows.");
    const TBaseMeasuredPoint* first = line.Item(0);
    std::string text = format.Template;
    ReplaceTag(text, "{POINT}", IntToStr(line.PointsID));
    ReplaceTag(text, "{WINDOW}", IntToStr(line.WindowID));
    ReplaceTag(text, "{X}", first ? FormatFloat(format.FormatX, first->X) : std::string());
    ReplaceTag(text, "{Y}", first ? FormatFloat(format.FormatY, first->Y) : std::string());
    ReplaceTag(text, "{FILENAME}", benches.EntryFileName(line.WindowID));
    ReplaceTag(text, "{COMMENT}", line.Comment);
    ReplaceTag(text, "{TITLE}", line.Title);
    lines.push_back(std::move(text));
  }
  return lines;
}

std::string SaveSimpleReport(const std::string& folder, const TBaseMeasuredList& data,
                             const TBenchSource& benches, const TSimpleReportFormat& format) {
  return SaveReportFile(folder, kSimpleReportFileName, SimpleReportLines(data, benches, format));
}

}  // namespace tracemill
