// The settings store as callers use it: values, fonts, placements, the file's
// location and saving.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

}  // namespace

TEST(IniFileValues, KeysIgnoreLetterCaseAndKeepTheLastWrittenCase) {
  TIniFile ini("unused.ini");
  ini.WriteValue("format", "x", "0.00");
  EXPECT_EQ(ini.ReadValue("Format", "X", ""), "0.00");
  EXPECT_TRUE(ini.ValueExists("FORMAT", "x"));
  ini.WriteValue("FORMAT", "X", "0.000");
  ASSERT_EQ(ini.Count(), 1);
  EXPECT_EQ(ini.Entry(0).KeyPath, "FORMAT\\X");
  EXPECT_EQ(ini.ReadValue("format", "x", ""), "0.000");
  // Sections and keys are joined with "\" whatever the split.
  EXPECT_EQ(ini.ReadValue("", "Format\\X", ""), "0.000");
}

TEST(IniFileValues, StringEncodingEscapesControlsPercentAndStrayBytes) {
  EXPECT_EQ(EncodeValue("a\r\nb"), "a%0D%0Ab");
  EXPECT_EQ(EncodeValue("100%"), "100%%");
  EXPECT_EQ(EncodeValue("<&>\"日本\x7F"), "<&>\"日本\x7F");
  EXPECT_EQ(EncodeValue(std::string("\x00\x1F\xFF", 3)), "%00%1F%FF");
  EXPECT_EQ(DecodeValue("a%0D%0Ab%%c%7e"), "a\r\nb%c~");
  EXPECT_EQ(DecodeValue(EncodeValue(std::string("x\x95\\y", 4))), std::string("x\x95\\y", 4));
  EXPECT_THROW(DecodeValue("50%"), ConvertError);
  EXPECT_THROW(DecodeValue("%4"), ConvertError);
  EXPECT_THROW(DecodeValue("%G0"), ConvertError);

  TIniFile ini("unused.ini");
  ini.WriteValue("S", "Text", "100%");
  EXPECT_EQ(ini.Entry(0).Text, "100%%");
  EXPECT_EQ(ini.ReadValue("S", "Text", ""), "100%");
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
  EXPECT_EQ(std::get<std::int32_t>(ini.ReadValue("V", "Hex", TIniValue{})), 16);
  EXPECT_EQ(std::get<std::string>(ini.ReadValue("V", "Number", TIniValue{})), "42");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(ini.ReadValue("V", "Int", TIniValue{})));
  EXPECT_EQ(ParseIniDateTime("2024/1/2"), (TIniDateTime{2024, 1, 2}));
  EXPECT_EQ(ParseIniDateTime("2024/01/02 3:04"), (TIniDateTime{2024, 1, 2, 3, 4, 0}));
  EXPECT_FALSE(ParseIniDateTime("2024/13/02"));
  EXPECT_FALSE(ParseIniDateTime("2024/01/02 24:00:00"));
}

TEST(IniFileValues, EmptyValuesDeleteEntries) {
  TIniFile ini("unused.ini");
  ini.WriteValue("Path", "Open", "/tmp");
  ini.WriteValue("Path", "Save", "/home");
  ini.WriteValue("Path", "Open", "");
  EXPECT_FALSE(ini.ValueExists("Path", "Open"));
  EXPECT_EQ(ini.SaveToText().find("Open"), std::string::npos);
  ini.WriteValue("Path", "Save", TIniValue{});
  EXPECT_EQ(ini.Count(), 0);

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
  TFontRecord font;
  font.Name = "IPAGothic";
  font.Charset = 128;
  font.Size = 11;
  font.Color = 0x00112233;
  font.Pitch = TFontPitch::Fixed;
  font.Bold = true;
  font.Strikeout = true;
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
  TWindowPlacement closing;
  closing.HasRestoredRect = true;
  closing.RestoredLeft = 100;
  closing.RestoredTop = 50;
  closing.RestoredWidth = 640;
  closing.RestoredHeight = 480;
  closing.State = TWindowState::Maximized;
  ini.WritePlacement(closing, "BaseForm");
  EXPECT_EQ(ini.ReadValue("BaseForm", "State", ""), "Maximized");

  TWindowPlacement opening;
  opening.Width = 300;
  opening.Height = 200;
  ini.ReadPlacement(opening, "BaseForm", 1920, 1080);
  EXPECT_EQ(opening.Left, 100);
  EXPECT_EQ(opening.Top, 50);
  EXPECT_EQ(opening.Width, 640);
  EXPECT_EQ(opening.Height, 480);
  EXPECT_EQ(opening.State, TWindowState::Maximized);

  // Beyond the right and bottom edges: the window ends at them.
  ini.WriteValue("BaseForm", "Left", std::int32_t(5000));
  ini.WriteValue("BaseForm", "Top", std::int32_t(-300));
  ini.WriteValue("BaseForm", "State", "Sideways");
  ini.ReadPlacement(opening, "BaseForm", 1920, 1080);
  EXPECT_EQ(opening.Left, 1920 - 640);
  EXPECT_EQ(opening.Top, 0);
  EXPECT_EQ(opening.State, TWindowState::Normal);
  // Larger than the screen: its left edge stays visible.
  ini.WriteValue("BaseForm", "Width", std::int32_t(3000));
  ini.ReadPlacement(opening, "BaseForm", 1920, 1080);
  EXPECT_EQ(opening.Left, 0);

  // A fixed frame keeps its size; the offset of the restored rectangle is kept.
  TWindowPlacement dialog;
  dialog.Sizeable = false;
  dialog.Left = 30;
  dialog.Top = 40;
  dialog.Width = 200;
  dialog.Height = 100;
  dialog.HasRestoredRect = true;
  dialog.RestoredLeft = 0;
  dialog.RestoredTop = 40;
  ini.WriteValue("OptionForm", "Left", std::int32_t(10));
  ini.WriteValue("OptionForm", "Width", std::int32_t(999));
  ini.ReadPlacement(dialog, "OptionForm", 1024, 768);
  EXPECT_EQ(dialog.Left, 40);
  EXPECT_EQ(dialog.Top, 40);
  EXPECT_EQ(dialog.Width, 200);

  // Without a restored rectangle nothing is written.
  TIniFile fresh("unused.ini");
  fresh.WritePlacement(TWindowPlacement{}, "BaseForm");
  EXPECT_EQ(fresh.Count(), 0);
}

TEST(IniFileDisk, SaveAndLoadThroughTheFile) {
  TScratchFolder dir("tm_ini_disk");
  const std::string name = dir / "Norvale/tracemill/tracemill.ini";
  TIniFile ini(name);
  ini.Load();  // missing: empty, and no error
  EXPECT_EQ(ini.Count(), 0);
  ini.WriteValue("Format", "X", "0.00");
  EXPECT_TRUE(ini.Save());  // creates the folders
  EXPECT_EQ(ReadFileBytes(name), ini.SaveToText());

  TIniFile other(name);
  other.Load();
  EXPECT_EQ(other.ReadValue("Format", "X", ""), "0.00");
  WriteFileAtomic(name, "");
  other.Load();
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
  {
    LanguageGuard english(false);
    EXPECT_FALSE(ini.Save());
  }
  {
    LanguageGuard japanese(true);
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

TEST(IniFileDisk, LocationAndLegacyCopy) {
  EXPECT_EQ(SettingsFileName("/home/u/.config", "Norvale", "tracemill"),
            "/home/u/.config/Norvale/tracemill/tracemill.ini");
  EXPECT_EQ(SettingsFileName("/cfg/", "Norvale", "tm"), "/cfg/Norvale/tm/tm.ini");

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
  TIniFile store;
  EXPECT_EQ(store.FileName().rfind(dir / "xdg/Norvale/", 0), 0u);
  EXPECT_EQ(store.FileName().substr(store.FileName().size() - 4), ".ini");
  ::unsetenv("XDG_CONFIG_HOME");

  ReplaceSettings(std::make_unique<TIniFile>(dir / "own.ini"));
  EXPECT_EQ(Settings().FileName(), dir / "own.ini");
  ReplaceSettings(nullptr);
}
