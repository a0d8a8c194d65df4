#include "app/uBaseOptions.h"

#include "app/uReportProgram.h"
#include "common/uEncoding.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"

namespace tracemill {

namespace k = basekeys;

TBaseOptions ReadBaseOptions(const TIniFile& store) {
  TBaseOptions o;
  store.ReadFont(k::kFontSection, o.Font);
  o.FormatX = store.ReadValue(k::kFormatSection, k::kFormatX, std::string_view());
  o.FormatY = store.ReadValue(k::kFormatSection, k::kFormatY, std::string_view());
  o.SimpleReportFormat = store.ReadValue(k::kFormatSection, k::kFormatSimpleReport, k::kDefaultSimpleReportFormat);
  o.SimpleReportApplication = store.ReadValue(k::kApplicationSection, k::kApplicationSimpleReport, std::string_view());
  o.Program = store.ReadValue(k::kReportSection, k::kReportProgram, std::string_view(kDefaultReportProgram));
  o.ReportApplication =
      store.ReadValue(k::kApplicationSection, k::kApplicationProgrammableReport, std::string_view());
  const std::int32_t dpi = store.ReadValue(k::kPdfSection, k::kPdfDpi, std::int32_t{kPdfDefaultDpi});
  o.PdfDpi = PdfDpiAllowed(dpi) ? dpi : kPdfDefaultDpi;
  return o;
}

void WriteBaseOptions(TIniFile& store, const TBaseOptions& o) {
  if (!PdfDpiAllowed(o.PdfDpi))
    throw InvalidOperation("The PDF resolution " + std::to_string(o.PdfDpi) + " dpi is outside " +
                           std::to_string(kPdfMinDpi) + " to " + std::to_string(kPdfMaxDpi));
  store.WriteFont(k::kFontSection, o.Font);
  store.WriteValue(k::kFormatSection, k::kFormatX, o.FormatX);
  store.WriteValue(k::kFormatSection, k::kFormatY, o.FormatY);
  store.WriteValue(k::kFormatSection, k::kFormatSimpleReport, o.SimpleReportFormat);
  store.WriteValue(k::kApplicationSection, k::kApplicationSimpleReport, o.SimpleReportApplication);
  store.WriteValue(k::kReportSection, k::kReportProgram, o.Program);
  store.WriteValue(k::kApplicationSection, k::kApplicationProgrammableReport, o.ReportApplication);
  store.WriteValue(k::kPdfSection, k::kPdfDpi, std::int32_t{o.PdfDpi});
}

std::string ReadProgramFile(const std::string& fileName) { return DecodeLegacyText(ReadFileBytes(fileName)); }

void WriteProgramFile(const std::string& fileName, std::string_view program) {
  ForceDirectories(ExtractFileDir(fileName));
  WriteFileAtomic(fileName, program);
}

std::string WithLineBreaks(std::string_view text, std::string_view lineBreak) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out.append(lineBreak);
    } else if (c == '\n') {
      out.append(lineBreak);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace tracemill
