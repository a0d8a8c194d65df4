// The main window's settings as its options dialog reads and stores them, and
// the report program files it opens and saves.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../settings/TestSupport.h"
#include "app/uBaseOptions.h"
#include "app/uReportProgram.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "settings/uEnvironment.h"

using namespace tracemill;
using namespace tracemill::testing;

TEST(BaseOptions, FirstStartGivesTheDefaults) {
  for (const bool japanese : {true, false}) {
    SetJapanese(japanese);
    const TBaseOptions o = ReadBaseOptions(TIniFile("unused.ini"));
    EXPECT_EQ(o.Font.Name, japanese ? "ＭＳ Ｐゴシック" : "Arial");
    EXPECT_EQ(o.FormatX, "");
    EXPECT_EQ(o.FormatY, "");
    EXPECT_EQ(o.SimpleReportFormat, "{x}, {y}, {filename}, {comment}");
    EXPECT_EQ(o.SimpleReportApplication, "");
    EXPECT_EQ(o.Program, kDefaultReportProgram);
    EXPECT_EQ(o.ReportApplication, "");
  }
}

TEST(BaseOptions, StoredValuesSurviveTheFile) {
  SetJapanese(false);
  TScratchFolder folder("base_options");
  TBaseOptions o;
  o.Font = {"DejaVu Sans", 0, 12, 0x0000FF, TFontPitch::Variable, true, false, false, true};
  o.FormatX = "0.00";
  o.FormatY = "#,##0.0E+00";
  o.SimpleReportFormat = "{filename}: {x};{y} 100%";
  o.SimpleReportApplication = "/usr/bin/gedit";
  o.Program = "Print(1)\r\nPrint(\"two\")\r\n";
  o.ReportApplication = "/opt/my editor/run";
  {
    TIniFile store(folder / "t.ini");
    WriteBaseOptions(store, o);
    ASSERT_TRUE(store.Save());
  }
  TIniFile read(folder / "t.ini");
  read.Load();
  const TBaseOptions back = ReadBaseOptions(read);
  EXPECT_EQ(back.Font, o.Font);
  EXPECT_EQ(back.FormatX, o.FormatX);
  EXPECT_EQ(back.FormatY, o.FormatY);
  EXPECT_EQ(back.SimpleReportFormat, o.SimpleReportFormat);
  EXPECT_EQ(back.SimpleReportApplication, o.SimpleReportApplication);
  EXPECT_EQ(back.Program, o.Program);
  EXPECT_EQ(back.ReportApplication, o.ReportApplication);
  // Emptied texts leave the store, so the defaults come back.
  o.SimpleReportFormat.clear();
  o.Program.clear();
  WriteBaseOptions(read, o);
  EXPECT_FALSE(read.ValueExists("Format", "SimpleReport"));
  EXPECT_EQ(ReadBaseOptions(read).Program, kDefaultReportProgram);
}

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
