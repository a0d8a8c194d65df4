// The report program files the main window's options dialog opens and saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../settings/TestSupport.h"
#include "app/uBaseOptions.h"
#include "common/uError.h"
#include "common/uFileIO.h"

using namespace tracemill;
using namespace tracemill::testing;

TEST(BaseOptions, ProgramFiles) {
  TScratchFolder folder("base_options_files");
  const std::string nested = folder / "new/deeper/report.bas";
  WriteProgramFile(nested, "Print(\"é\")\r\n");
  EXPECT_EQ(ReadProgramFile(nested), "Print(\"é\")\r\n");
  {
    std::ofstream legacy(folder / "legacy.bas", std::ios::binary);
    legacy << "Print(\"\x93\xfa\x96\x7b\")\r\n";  // CP932 of 日本
  }
  EXPECT_EQ(ReadProgramFile(folder / "legacy.bas"), "Print(\"日本\")\r\n");
  EXPECT_THROW(ReadProgramFile(folder / "missing.bas"), FileError);
  // A folder where the file's folder should be: nothing is written, the error says so.
  std::filesystem::create_directories(folder / "taken");
  EXPECT_THROW(WriteProgramFile(folder / "taken", "x"), FileError);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "taken"));
}

TEST(BaseOptions, LineBreaks) {
  const struct {
    const char* text;
    const char* crlf;
  } cases[] = {
      {"a\nb\n", "a\r\nb\r\n"},     {"a\r\nb", "a\r\nb"}, {"a\rb\r", "a\r\nb\r\n"},
      {"\r\n\n\r", "\r\n\r\n\r\n"}, {"", ""},             {"plain", "plain"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithLineBreaks(c.text, "\r\n"), c.crlf) << c.text;
    EXPECT_EQ(WithLineBreaks(c.crlf, "\n"), WithLineBreaks(c.text, "\n")) << c.text;
  }
}

TEST(BaseOptions, PdfResolution) {
  TScratchFolder folder("base_options_pdf");
  TIniFile store(folder / "settings.ini");
  EXPECT_EQ(ReadBaseOptions(store).PdfDpi, 200);
  TBaseOptions options = ReadBaseOptions(store);
  for (const int dpi : {72, 300, 1200}) {
    options.PdfDpi = dpi;
    WriteBaseOptions(store, options);
    EXPECT_EQ(ReadBaseOptions(store).PdfDpi, dpi);
  }
  // A resolution outside the range is refused and stores nothing.
  options.PdfDpi = 1201;
  options.FormatX = "0.00";
  EXPECT_THROW(WriteBaseOptions(store, options), InvalidOperation);
  EXPECT_EQ(ReadBaseOptions(store).PdfDpi, 1200);
  EXPECT_EQ(ReadBaseOptions(store).FormatX, "");
  // A stored one outside it (an edited settings file) reads as the default.
  store.WriteValue(basekeys::kPdfSection, basekeys::kPdfDpi, std::int32_t{40});
  EXPECT_EQ(ReadBaseOptions(store).PdfDpi, 200);
}
