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
