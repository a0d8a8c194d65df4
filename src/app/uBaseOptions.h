#pragma once
// The main window's own settings in the settings store: its list font, the
// number formats of X and Y, the simple report's template and application,
// the programmable report's program and application, the last program file
// and the resolution PDF pages are opened at. The main window's options dialog is their only writer; the main
// window and the reports read them.

#include <string>
#include <string_view>

#include "image/uPdf.h"
#include "settings/uIniFile.h"

namespace tracemill::basekeys {

// The main window's font lies below this section (the store's font layout).
inline constexpr std::string_view kFontSection = "BaseForm";
inline constexpr std::string_view kFormatSection = "Format";
inline constexpr std::string_view kFormatX = "X";
inline constexpr std::string_view kFormatY = "Y";
inline constexpr std::string_view kFormatSimpleReport = "SimpleReport";
inline constexpr std::string_view kApplicationSection = "Application";
inline constexpr std::string_view kApplicationSimpleReport = "SimpleReport";
inline constexpr std::string_view kApplicationProgrammableReport = "ProgrammableReport";
inline constexpr std::string_view kReportSection = "Report";
inline constexpr std::string_view kReportProgram = "Program";
inline constexpr std::string_view kPathSection = "Path";
inline constexpr std::string_view kPathProgram = "Program";  // full name of the last program file
inline constexpr std::string_view kPdfSection = "PDF";
inline constexpr std::string_view kPdfDpi = "Resolution";  // dots per inch

inline constexpr std::string_view kDefaultSimpleReportFormat = "{x}, {y}, {filename}, {comment}";

}  // namespace tracemill::basekeys

namespace tracemill {

struct TBaseOptions {
  TFontRecord Font;
  std::string FormatX;                  // picture format of X values; empty: general format
  std::string FormatY;
  std::string SimpleReportFormat;       // the simple report's line template
  std::string SimpleReportApplication;  // empty: the desktop's program for the file
  std::string Program;                  // the programmable report's program, CR LF line breaks
  std::string ReportApplication;
  int PdfDpi = kPdfDefaultDpi;          // PDF pages are rendered at this many dots per inch
};

// The stored values, each missing one with its default: the interface
// language's default face, empty formats and applications, the default
// template, the built-in report program and the default PDF resolution (also
// for a stored resolution outside kPdfMinDpi..kPdfMaxDpi).
TBaseOptions ReadBaseOptions(const TIniFile& store);
// Stores every value (an empty text removes its entry); does not save the
// store. Throws InvalidOperation, storing nothing, for a PDF resolution
// outside kPdfMinDpi..kPdfMaxDpi.
void WriteBaseOptions(TIniFile& store, const TBaseOptions& options);

// A report program file as text (UTF-8, or CP932 as older versions wrote it);
// throws FileError when it cannot be read.
std::string ReadProgramFile(const std::string& fileName);
// Writes the program, creating the file's folder with every missing parent;
// throws FileError when it cannot be written (an existing file stays whole).
void WriteProgramFile(const std::string& fileName, std::string_view program);

// The text with every line break (CR LF, LF or a lone CR) written as lineBreak.
std::string WithLineBreaks(std::string_view text, std::string_view lineBreak);

}  // namespace tracemill
