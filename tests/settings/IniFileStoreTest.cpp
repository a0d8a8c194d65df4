// The settings store as callers use it: values, fonts, placements, the file's
// location and saving.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "common/uError.h"
#include "common/uFileIO.h"
#include "settings/uEnvironment.h"
#include "settings/uIniFile.h"
#include "TestSupport.h"

using namespace tracemill;
using tracemill::testing::TRecordingMessages;
using tracemill::testing::TScratchFolder;

namespace {

class LanguageGuard {
 public:
  explicit LanguageGuard(bool japanese) { SetJapanese(japanese); }
  ~LanguageGuard() { ResetLanguage(); }
};

std::array<int, 4> Bounds(const TWindowPlacement& w) { return {w.Left, w.Top, w.Width, w.Height}; }

}  // namespace

TEST(IniFileValues, KeysIgnoreLetterCaseAndKeepTheLastWrittenCase) {
  TIniFile ini("unused.ini");
  ini.WriteValue("format", "x", "0.00");
  EXPECT_TRUE(ini.ValueExists("FORMAT", "x"));
  ini.WriteValue("FORMAT", "X", "0.000");
  EXPECT_EQ(ini.ReadValue("format", "x", ""), "0.000");
  // Sections and keys are joined with "\" whatever the split.
  EXPECT_EQ(ini.ReadValue("", "Format\\X", ""), "0.000");
}

TEST(IniFileValues, StringEncodingEscapesControlsPercentAndStrayBytes) {
  const std::pair<std::string, std::string> pairs[] = {{"a\r\nb", "a%0D%0Ab"},
                                                       {"100%", "100%%"},
                                                       {"<&>\"日本\x7F", "<&>\"日本\x7F"},
                                                       {std::string("\x00\x1F\xFF", 3), "%00%1F%FF"},
                                                       {"x\x95\\y", "x%95\\y"}};
  for (const auto& [plain, encoded] : pairs) {
    EXPECT_EQ(EncodeValue(plain), encoded);
    EXPECT_EQ(DecodeValue(encoded), plain);
  }
  EXPECT_EQ(DecodeValue("%7e%%c"), "~%c");
  for (const char* bad : {"50%", "%4", "%G0"}) EXPECT_THROW(DecodeValue(bad), ConvertError) << bad;

  // A stored string that does not decode reads as the default.
  TIniFile ini("unused.ini");
  ini.LoadFromText("S\r\n Bad=S:50%\r\n");
  EXPECT_EQ(ini.ReadValue("S", "Bad", "default"), "default");
}

TEST(IniFileValues, TextsThatDoNotConvertGiveTheDefault) {
  TIniFile ini("unused.ini");
  ini.LoadFromText(
      "V\r\n"
      " Int=Integer:12a\r\n"
      " Float=Float:1.2.3\r\n"
      " Date=Date:2023/02/29 10:00:00\r\n"
      " Lower=Boolean:true\r\n"
      " Hex=Integer:$10\r\n"
      " Whole=Float:2.5\r\n"
      " Number=String:42\r\n"
      " Odd=XYZ:text\r\n");
  EXPECT_EQ(ini.ReadValue("V", "Int", 5), 5);
  EXPECT_EQ(ini.ReadValue("V", "Float", 1.5), 1.5);
  EXPECT_EQ(ini.ReadValue("V", "Date", TIniDateTime{2000, 1, 1}), (TIniDateTime{2000, 1, 1}));
  EXPECT_FALSE(ini.ReadValue("V", "Lower", true));  // only "True" is true
  EXPECT_EQ(ini.ReadValue("V", "Hex", 0), 16);
  EXPECT_EQ(ini.ReadValue("V", "Whole", 0), 2);  // rounded to even
  EXPECT_EQ(ini.ReadValue("V", "Number", 0), 42);
  EXPECT_EQ(ini.ReadValue("V", "Odd", ""), "text");  // any other type is a string
  // The stored text stays as it was.
  EXPECT_NE(ini.SaveToText().find("<Int Type=\"Integer\">12a</Int>"), std::string::npos);

  // The generic read answers in the stored kind.
  EXPECT_EQ(std::get<std::string>(ini.ReadValue("V", "Number", TIniValue{})), "42");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(ini.ReadValue("V", "Int", TIniValue{})));
  EXPECT_EQ(ParseIniDateTime("2024/1/2"), (TIniDateTime{2024, 1, 2}));
  EXPECT_EQ(ParseIniDateTime("2024/01/02 3:04"), (TIniDateTime{2024, 1, 2, 3, 4, 0}));
  EXPECT_FALSE(ParseIniDateTime("2024/13/02"));
  // Century years are leap years only every four hundred years.
  for (const auto& [text, leap] : {std::pair{"1900/02/29", false}, {"2000/02/29", true}, {"2100/02/29", false}})
    EXPECT_EQ(ParseIniDateTime(text).has_value(), leap) << text;
  EXPECT_FALSE(ParseIniDateTime("2024/01/02 24:00:00"));
}

TEST(IniFileValues, PathsBeyondTheFilesLimitsAreRefused) {
  TIniFile ini("unused.ini");
  std::string deep = "S";
  for (int i = 0; i < 31; ++i) deep += "\\S";
  ini.WriteValue(deep, "Key", std::int32_t(1));  // 32 separators: the deepest the file holds
  EXPECT_THROW(ini.WriteValue(deep + "\\S", "Key", std::int32_t(1)), InvalidOperation);
  ini.WriteValue("", std::string(4096, 'k'), true);
  EXPECT_THROW(ini.WriteValue("", std::string(4097, 'k'), true), InvalidOperation);
  TIniFile again("unused.ini");
  again.LoadFromText(ini.SaveToText());
  EXPECT_EQ(again.Count(), 2);
}

TEST(IniFileValues, EmptyValuesDeleteEntries) {
  TIniFile ini("unused.ini");
  ini.WriteValue("Path", "Open", "/tmp");
  ini.WriteValue("Path", "Open", "");
  EXPECT_FALSE(ini.ValueExists("Path", "Open"));
  EXPECT_EQ(ini.SaveToText().find("Open"), std::string::npos);

  // Many writes and deletions keep every lookup right.
  for (int i = 0; i < 1000; ++i) ini.WriteValue("Many", "K" + std::to_string(i), std::int32_t(i));
  for (int i = 0; i < 1000; ++i)
    if (i % 3 != 1) ini.WriteValue("Many", "k" + std::to_string(i), "");
  ini.WriteValue("Many", "K0", std::int32_t(-1));
  for (int i = 1; i < 1000; ++i)
    ASSERT_EQ(ini.ReadValue("MANY", "K" + std::to_string(i), -7), i % 3 == 1 ? i : -7) << i;
  EXPECT_EQ(ini.ReadValue("Many", "K0", 0), -1);
  EXPECT_EQ(ini.Count(), 333 + 1);
  EXPECT_EQ(ini.Entry(333).KeyPath, "Many\\K0");
}

TEST(IniFileFonts, FontsAreKeptPerLanguage) {
  TIniFile ini("unused.ini");
  const TFontRecord font{.Name = "IPAGothic", .Charset = 128, .Size = 11, .Color = 0x00112233,
                         .Pitch = TFontPitch::Fixed, .Bold = true, .Strikeout = true};
  {
    LanguageGuard japanese(true);
    ini.WriteFont("BaseForm", font);
    EXPECT_EQ(ini.ReadValue("BaseForm\\Font\\Japanese", "Size", 0), 11);
    TFontRecord read;
    ini.ReadFont("BaseForm", read);
    EXPECT_EQ(read, font);
  }
  {
    LanguageGuard english(false);
    // Nothing stored for English: the default face, and nothing else changes.
    TFontRecord read = font;
    ini.ReadFont("BaseForm", read);
    EXPECT_EQ(read.Name, "Arial");
    EXPECT_EQ(read.Charset, 0);
    EXPECT_EQ(read.Size, 11);
    EXPECT_TRUE(read.Bold);
  }
  {
    LanguageGuard japanese(true);
    TFontRecord read;
    ini.ReadFont("OptionForm", read);
    EXPECT_EQ(read.Name, "ＭＳ Ｐゴシック");
    EXPECT_EQ(read.Charset, 128);
    // A missing style flag leaves the font's own; a stored one sets it.
    ini.WriteValue("BaseForm\\Font\\Japanese", "Italic", "");
    ini.WriteValue("BaseForm\\Font\\Japanese", "Bold", false);
    ini.WriteValue("BaseForm\\Font\\Japanese", "Pitch", std::int32_t(7));
    read = TFontRecord{};
    read.Italic = true;
    read.Bold = true;
    ini.ReadFont("BaseForm", read);
    EXPECT_TRUE(read.Italic);
    EXPECT_FALSE(read.Bold);
    EXPECT_EQ(read.Pitch, TFontPitch::Default);  // an impossible pitch is not taken
  }
}

TEST(IniFilePlacement, PlacementRoundTripsAndStaysOnScreen) {
  TIniFile ini("unused.ini");
  ini.WritePlacement({.HasRestoredRect = true, .RestoredLeft = 100, .RestoredTop = 50, .RestoredWidth = 640,
                      .RestoredHeight = 480, .State = TWindowState::Maximized},
                     "BaseForm");
  EXPECT_EQ(ini.ReadValue("BaseForm", "State", ""), "Maximized");

  TWindowPlacement opening{.Width = 300, .Height = 200};
  ini.ReadPlacement(opening, "BaseForm", 1920, 1080);
  EXPECT_EQ(Bounds(opening), (std::array{100, 50, 640, 480}));
  EXPECT_EQ(opening.State, TWindowState::Maximized);

  // Beyond the right and bottom edges: the window ends at them.
  ini.WriteValue("BaseForm", "Left", std::int32_t(5000));
  ini.WriteValue("BaseForm", "Top", std::int32_t(5000));
  ini.WriteValue("BaseForm", "State", "Sideways");
  ini.ReadPlacement(opening, "BaseForm", 1920, 1080);
  EXPECT_EQ(Bounds(opening), (std::array{1920 - 640, 1080 - 480, 640, 480}));
  EXPECT_EQ(opening.State, TWindowState::Normal);
  // Larger than the screen: its left and top edges stay visible.
  ini.WriteValue("BaseForm", "Width", std::int32_t(3000));
  ini.WriteValue("BaseForm", "Height", std::int32_t(2000));
  ini.ReadPlacement(opening, "BaseForm", 1920, 1080);
  EXPECT_EQ(Bounds(opening), (std::array{0, 0, 3000, 2000}));

  // A fixed frame keeps its size; the offset of the restored rectangle is kept.
  TWindowPlacement dialog{.Left = 30, .Top = 40, .Width = 200, .Height = 100, .Sizeable = false,
                          .HasRestoredRect = true, .RestoredLeft = 0, .RestoredTop = 40};
  ini.WriteValue("OptionForm", "Left", std::int32_t(10));
  ini.WriteValue("OptionForm", "Width", std::int32_t(999));
  ini.ReadPlacement(dialog, "OptionForm", 1024, 768);
  EXPECT_EQ(Bounds(dialog), (std::array{40, 40, 200, 100}));

  // Without a restored rectangle nothing is written.
  TIniFile fresh("unused.ini");
  fresh.WritePlacement(TWindowPlacement{}, "BaseForm");
  EXPECT_EQ(fresh.Count(), 0);
}

TEST(IniFileDisk, SaveAndLoadThroughTheFile) {
  TScratchFolder dir("tm_ini_disk");
  const std::string name = dir / "Norvale/tracemill/tracemill.ini";
  TIniFile ini(name);
  ini.Load();  // missing: no error
  ini.WriteValue("Format", "X", "0.00");
  EXPECT_TRUE(ini.Save());  // creates the folders
  EXPECT_EQ(ReadFileBytes(name), ini.SaveToText());

  TIniFile other(name);
  other.Load();
  EXPECT_EQ(other.ReadValue("Format", "X", ""), "0.00");
  std::filesystem::remove(name);
  other.Load();  // missing: empty
  EXPECT_EQ(other.Count(), 0);
}

TEST(IniFileDisk, AFileThatCannotBeCreatedIsReported) {
  TScratchFolder dir("tm_ini_blocked");
  // The settings folder would have to be made below a plain file.
  WriteFileAtomic(dir / "Norvale", "old settings");
  const std::string name = dir / "Norvale/tracemill/tracemill.ini";
  TIniFile ini(name);
  ini.WriteValue("Format", "X", "0.00");
  TRecordingMessages messages;
  ini.SetMessageService(&messages);
  for (const bool japanese : {false, true}) {
    LanguageGuard language(japanese);
    EXPECT_FALSE(ini.Save());
  }
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].Caption, "Tracemill - File Error");
  EXPECT_EQ(messages.shown[0].Text, name + "\ncan not be created.\nYour option settings have not saved.");
  EXPECT_EQ(messages.shown[0].Icon, TMessageIcon::Exclamation);
  EXPECT_EQ(messages.shown[0].Buttons, TMessageButtons::Ok);
  EXPECT_EQ(messages.shown[1].Caption, "Tracemill - ファイルエラー");
  EXPECT_EQ(messages.shown[1].Text, name + "\nを作成できませんでした。\nオプション設定などは保存されません。");
  EXPECT_EQ(ReadFileBytes(dir / "Norvale"), "old settings");
  EXPECT_EQ(ini.ReadValue("Format", "X", ""), "0.00");  // the store goes on

  ini.SetMessageService(nullptr);
  EXPECT_THROW(ini.Save(), FileError);
}

TEST(IniFileDisk, AFileThatWasNotReadIsNeverOverwritten) {
  TScratchFolder dir("tm_ini_large");
  const std::string name = dir / "tracemill.ini";
  {
    TIniFile ini(name);
    ini.WriteValue("Format", "X", "0.00");
    ASSERT_TRUE(ini.Save());
  }
  const auto size = std::filesystem::file_size(name);
  std::filesystem::resize_file(name, (std::uintmax_t(64) << 20) + 1);  // one byte beyond the limit
  LanguageGuard english(false);
  TIniFile ini(name);
  try {
    ini.Load();
    ADD_FAILURE() << "a file beyond the limit was read";
  } catch (const FileError& e) {
    EXPECT_EQ(e.what(), name + "\nis larger than 64 MB and has not been read.\nYour option settings will not be saved.");
  }
  EXPECT_EQ(ini.Count(), 0);
  // The settings the store never read stay on disk.
  ini.WriteValue("Format", "Y", "0.0");
  EXPECT_THROW(ini.Save(), FileError);
  TRecordingMessages messages;
  ini.SetMessageService(&messages);
  EXPECT_FALSE(ini.Save());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].Caption, "Tracemill - File Error");
  EXPECT_EQ(messages.shown[0].Text,
            name + "\nhas not been read, so it is not overwritten.\nYour option settings have not been saved.");
  EXPECT_EQ(std::filesystem::file_size(name), (std::uintmax_t(64) << 20) + 1);
  // Once the file reads again, saving works again.
  std::filesystem::resize_file(name, size);
  ini.Load();
  EXPECT_EQ(ini.ReadValue("Format", "X", ""), "0.00");
  EXPECT_TRUE(ini.Save());
}

TEST(IniFileDisk, LocationAndLegacyCopy) {
  EXPECT_EQ(SettingsFileName("/home/u/.config", "Norvale", "tracemill"),
            "/home/u/.config/Norvale/tracemill/tracemill.ini");

  TScratchFolder dir("tm_ini_legacy");
  const std::string legacy = dir / "bin/tracemill.ini";
  const std::string target = dir / "config/Norvale/tracemill/tracemill.ini";
  EXPECT_FALSE(CopyLegacySettings(target, legacy));  // nothing to copy
  std::filesystem::create_directories(dir / "bin");
  WriteFileAtomic(legacy, "legacy");
  EXPECT_TRUE(CopyLegacySettings(target, legacy));
  EXPECT_EQ(ReadFileBytes(target), "legacy");
  EXPECT_EQ(ReadFileBytes(legacy), "legacy");  // left in place
  WriteFileAtomic(legacy, "newer legacy");
  EXPECT_FALSE(CopyLegacySettings(target, legacy));  // an existing file is never overwritten
  EXPECT_EQ(ReadFileBytes(target), "legacy");

  // The program's store lies in the configuration folder of the user.
  ::setenv("XDG_CONFIG_HOME", (dir / "xdg").c_str(), 1);
  EXPECT_EQ(TIniFile().FileName(), dir / "xdg/Norvale/settings_tests/settings_tests.ini");
  ::unsetenv("XDG_CONFIG_HOME");

  ReplaceSettings(std::make_unique<TIniFile>(dir / "own.ini"));
  EXPECT_EQ(Settings().FileName(), dir / "own.ini");
  ReplaceSettings(nullptr);
}
