#pragma once
// Getting the collected data out without a program: the CSV export of the
// main list, the simple report (a one-line template expanded once per
// collected line), and the pieces both reports share: what they need to know
// of the benches, writing report lines, and handing a report to the desktop.

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/uBaseData.h"
#include "common/uServices.h"

namespace tracemill {

// What the reports read of the bench list. A window number is a position in
// that list; every entry has the image's file name, and only some entries
// hold a live bench (an entry restored from a state file section without a
// bench has none).
class TBenchSource {
 public:
  virtual ~TBenchSource() = default;
  // The number of entries in the bench list.
  virtual int BenchCount() const = 0;
  // The file name without folder of entry window (0 <= window < BenchCount()).
  virtual std::string EntryFileName(int window) const = 0;
  // The full path of the image of the live bench at window
  // (0 <= window < BenchCount()), or nothing when the entry holds no bench.
  virtual std::optional<std::string> BenchFileName(int window) const = 0;
};

// ---- The main list's rows and the CSV export ----

inline constexpr int kListColumns = 6;
// The texts of one row of the main list: serial number, title, number of
// points, X and Y of the first point (in the user's number formats), comment.
using TListRowTexts = std::array<std::string, kListColumns>;

// The first line of a CSV export: the captions of the list's columns, the
// same in both interface languages.
inline constexpr std::string_view kCsvHeader = "Serial #,Title,Point #,X,Y,Comment";

// The row texts of a collected line, X and Y formatted with the picture
// formats formatX and formatY (an empty format: the general format). A line
// without points shows empty X and Y texts.
TListRowTexts ListRowTexts(const TBaseMeasuredPoints& line, std::string_view formatX, std::string_view formatY);

// A CSV field: the text itself, or, when it contains a comma, a double quote,
// a CR or an LF, the text in double quotes with every double quote doubled.
std::string CsvField(std::string_view text);

// Writes the CSV export of the list in its current order: the header line,
// then one line per collected line with the texts the main list shows, each
// line ended by CR LF. Throws FileError when the stream fails.
void WriteCsv(std::ostream& out, const TBaseMeasuredList& data, std::string_view formatX,
              std::string_view formatY);
// The same into a file, creating its folder with every missing parent. An
// existing file stays whole when writing fails. Throws FileError.
void SaveCsvFile(const std::string& fileName, const TBaseMeasuredList& data, std::string_view formatX,
                 std::string_view formatY);

// ---- Report files ----

inline constexpr std::string_view kSimpleReportFileName = "SimpleReport.txt";
inline constexpr std::string_view kReportFileName = "Report.txt";

// Writes the lines, each ended by CR LF (no lines: nothing). Throws
// FileError when the stream fails.
void WriteReportLines(std::ostream& out, const std::vector<std::string>& lines);
// Writes the lines to folder + fileName, replacing the file (creating the
// folder with every missing parent; an existing file stays whole when writing
// fails) and returns the full path written. Throws FileError.
std::string SaveReportFile(const std::string& folder, std::string_view fileName,
                           const std::vector<std::string>& lines);

// Hands a written report to the desktop: with no application, the report is
// opened with the desktop's program for its type; otherwise the application
// is started with the report's path as its one argument. Whether anything
// started is not reported.
void OpenReport(TShellService& shell, const std::string& reportPath, const std::string& application);

// ---- The simple report ----

struct TSimpleReportFormat {
  std::string Template;  // the line template with its tags
  std::string FormatX;   // picture format of {X}; empty: the general format
  std::string FormatY;
};

// One line per collected line, in the list's order: the template with the
// tags {POINT}, {WINDOW}, {X}, {Y}, {FILENAME}, {COMMENT} and {TITLE}
// replaced in this order, each wherever it occurs and in any letter case. A
// replaced value is not searched again for its own tag but may carry a later
// one, which is then replaced too. Every other text of the template is kept.
// Throws InvalidOperation when a line's window number names no entry of the
// bench list (the report cannot be made).
std::vector<std::string> SimpleReportLines(const TBaseMeasuredList& data, const TBenchSource& benches,
                                           const TSimpleReportFormat& format);
// Makes the simple report and writes it to folder + "SimpleReport.txt";
// returns the path written. Nothing is written when the report cannot be made.
std::string SaveSimpleReport(const std::string& folder, const TBaseMeasuredList& data,
                             const TBenchSource& benches, const TSimpleReportFormat& format);

}  // namespace tracemill
