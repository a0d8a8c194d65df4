// The options dialog's reading and writing of the bench settings text.
#include <gtest/gtest.h>

#include <functional>

#include "bench/uOptionText.h"
#include "common/uError.h"
#include "../support/UnusualSettings.h"

using namespace tracemill;
using tracemill::testing::Unusual;


TEST(OptionText, EveryKeyOfTheBenchTextComesBackInTheDialogsOrder) {
  TOptionValues v;
  LoadOptionText(SettingsText(Unusual()), v);
  EXPECT_EQ(OptionText(v),
            "FontName=Noto Serif\r\nFontCharset=128\r\nFontSize=14\r\nFontColor=$102030\r\nFontBold=True\r\n"
            "FontItalic=True\r\nFontUnderline=True\r\nFontStrikeout=True\r\nStandardColor=$00AA00\r\n"
            "StandardBitmap=o o o ooo ooooo ooo o o o\r\nStandardVisible=False\r\nMeasuredColor=$0000BB\r\n"
            "MeasuredBitmap=o   o                    \r\nMeasuredVisible=False\r\nLineColor=$C0FFEE\r\n"
            "LineWidth=3\r\nMagnitude=8\r\nGridColor=$123456\r\nCommentArea=True\r\nCommentColor=True\r\n"
            "StatusXo=False\r\nStatusYo=False\r\nStatusXv=False\r\nStatusYv=False\r\nStatusColor=False\r\n"
            "RightMagnifier=False\r\nRightLine=False\r\nRightDelete=False\r\nOtherWindow=False\r\nDefault=False\r\n");
  v.OtherWindow = v.Default = true;
  EXPECT_TRUE(OptionText(v).ends_with("\r\nRightDelete=False\r\nOtherWindow=True\r\nDefault=True\r\n"));
}

TEST(OptionText, ReadingRulesOfTheDialog) {
  using Check = std::function<bool(const TBenchSettings&)>;
  const struct {
    const char* text;
    Check check;
  } cases[] = {
      {"StandardPattern=5", [](const auto& s) { return s.Standard.Shape == PresetShape(5); }},
      {"StandardPattern=5\r\nStandardBitmap=ooooo", [](const auto& s) { return s.Standard.Shape.Bits() == 0b11111u; }},
      {"StandardBitmap=ooooo\r\nStandardPattern=2", [](const auto& s) { return s.Standard.Shape == PresetShape(2); }},
      {"MeasuredPattern=11", [](const auto& s) { return s.Measured.Shape.Bits() == 0u; }},
      {"MeasuredPattern=-1", [](const auto& s) { return s.Measured.Shape.Bits() == 0u; }},
      {"MeasuredPattern=-7", [](const auto& s) { return s.Measured.Shape.Bits() == 0u; }},
      {"Magnitude=12", [](const auto& s) { return s.Magnitude == 10; }},
      {"Magnitude=0", [](const auto& s) { return s.Magnitude == 10; }},
      {"Magnitude=3", [](const auto& s) { return s.Magnitude == 3; }},
      {" magnitude =$7", [](const auto& s) { return s.Magnitude == 7; }},
      {"LineWidth=7", [](const auto& s) { return s.LineWidth == 7; }},
      {"\x01\r\n  LineWidth=0\r\n", [](const auto& s) { return s.LineWidth == 0; }},
      {"no equals sign\r\nUnknown=1", [](const auto& s) { return SettingsText(s) == SettingsText(TBenchSettings()); }},
  };
  for (const auto& c : cases) {
    TOptionValues v;
    LoadOptionText(c.text, v);
    EXPECT_TRUE(c.check(v.Settings)) << c.text;
  }
  // The two check boxes are written, never read.
  TOptionValues v;
  LoadOptionText("OtherWindow=True\r\nDefault=True\r\n", v);
  EXPECT_FALSE(v.OtherWindow);
  EXPECT_FALSE(v.Default);
}

TEST(OptionText, MalformedNumbersEndTheReadingAtTheirLine) {
  for (const char* bad : {"StandardPattern=five", "Magnitude=", "LineWidth=1.5", "GridColor=$GG", "FontSize=9pt",
                          "MeasuredPattern=99999999999"}) {
    TOptionValues v;
    const std::string text = std::string("CommentArea=True\r\n") + bad + "\r\nCommentColor=True";
    EXPECT_THROW(LoadOptionText(text, v), ConvertError) << bad;
    EXPECT_TRUE(v.Settings.CommentArea) << bad;
    EXPECT_FALSE(v.Settings.CommentColor) << bad;
  }
}
