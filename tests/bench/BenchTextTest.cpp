#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "BenchSupport.h"
#include "bench/uBenchState.h"
#include "settings/uEnvironment.h"

using namespace tracemill;
using namespace tracemill::testing;

TEST(BenchText, MarkerShapesAndTheirTexts) {
  EXPECT_EQ(PresetShape(7).Text(), "o   o o o   o   o o o   o");
  EXPECT_EQ(PresetShape(11), PresetShape(0));
  EXPECT_EQ(PresetShape(-1).Bits(), 0u);
  const TMarkerShape shortText = TMarkerShape::FromText(" o x");  // missing pixels stay clear
  EXPECT_EQ(shortText.Bits(), 0b10u);
  EXPECT_TRUE(TMarkerShape::FromText(PresetShape(10).Text() + "ooooo") == PresetShape(10));
  TMarkerStyle style;
  style.SetPattern(-1);  // keeps the shape
  EXPECT_EQ(style.Shape, PresetShape(7));
  style.SetPattern(3);
  EXPECT_EQ(style.Shape.Text(), "  o    o  ooooo  o    o  ");
}

TEST(BenchText, SettingsTextIsWrittenKeyByKey) {
  TBenchSettings s;
  s.Font = {"Sans", 128, 10, 0x123456, TFontPitch::Default, true, false, true, false};
  s.Standard.SetPattern(2);
  s.Measured.SetShape(TMarkerShape::FromText("o"));
  s.LineColor = 0xABCDEF;
  s.CommentColor = true;
  s.StatusYv = false;
  s.RightLine = false;
  EXPECT_EQ(SettingsText(s),
            "FontName=Sans\r\nFontCharset=128\r\nFontSize=10\r\nFontColor=$123456\r\nFontBold=True\r\n"
            "FontItalic=False\r\nFontUnderline=True\r\nFontStrikeout=False\r\nStandardColor=$0000FF\r\n"
            "StandardPattern=2\r\nStandardBitmap=       o   ooo   o       \r\nStandardVisible=True\r\n"
            "MeasuredColor=$00FF00\r\nMeasuredPattern=-1\r\nMeasuredBitmap=o                        \r\n"
            "MeasuredVisible=True\r\nLineColor=$ABCDEF\r\nLineWidth=1\r\nMagnitude=5\r\nGridColor=$00FF00\r\n"
            "CommentArea=False\r\nCommentColor=True\r\nStatusXo=True\r\nStatusYo=True\r\nStatusXv=True\r\n"
            "StatusYv=False\r\nStatusColor=True\r\nRightMagnifier=True\r\nRightLine=False\r\nRightDelete=True\r\n");
  // Read back, the text gives the same settings, with the shapes as shapes of their own.
  TBenchSettings read;
  ApplySettingsText(SettingsText(s), read);
  s.Standard.SetShape(s.Standard.Shape);
  EXPECT_EQ(SettingsText(read), SettingsText(s));
}

TEST(BenchText, SettingsReaderRules) {
  using Check = std::function<bool(const TBenchSettings&)>;
  const struct {
    const char* text;
    Check check;
  } cases[] = {
      {"magnitude=7", [](const auto& s) { return s.Magnitude == 7; }},
      {"Magnitude=12", [](const auto& s) { return s.Magnitude == 5; }},
      {"Magnitude=$A", [](const auto& s) { return s.Magnitude == 10; }},
      {"StandardVisible=yes", [](const auto& s) { return !s.StandardVisible; }},
      {"  LineWidth\t =3\r\n\r\n", [](const auto& s) { return s.LineWidth == 3; }},
      {"LineWidth=4\nCommentArea=tRuE", [](const auto& s) { return s.LineWidth == 4 && s.CommentArea; }},
      {"StandardPattern=5", [](const auto& s) { return s.Standard.Pattern == 5 && s.Standard.Shape == PresetShape(5); }},
      {"StandardPattern=5\r\nStandardBitmap=ooooo",
       [](const auto& s) { return s.Standard.Pattern == -1 && s.Standard.Shape.Bits() == 0b11111u; }},
      {"FontName= Noto Sans ", [](const auto& s) { return s.Font.Name == " Noto Sans "; }},
      {"LineColor=$FF0000FF", [](const auto& s) { return s.LineColor == 0x0000FF; }},
      {"no equals sign\r\nUnknown=1\r\nOtherWindow=True\r\nDefault=True",
       [](const auto& s) { return SettingsText(s) == SettingsText(TBenchSettings()); }},
  };
  for (const auto& c : cases) {
    TBenchSettings s;
    ApplySettingsText(c.text, s);
    EXPECT_TRUE(c.check(s)) << c.text;
  }
}

TEST(BenchText, MalformedSettingsLineStopsAfterWhatCameBefore) {
  const char* const bad[] = {"Magnitude=x", "StandardPattern=11", "FontCharset=-1", "LineWidth=", "GridColor=$GG"};
  for (const char* line : bad) {
    TBenchSettings s;
    EXPECT_THROW(ApplySettingsText(std::string("LineWidth=3\r\n") + line + "\r\nRightLine=False", s), ConvertError)
        << line;
    EXPECT_EQ(s.LineWidth, 3) << line;
    EXPECT_TRUE(s.RightLine) << line;
  }
}

TEST(BenchText, DefaultsComeFromTheSettingsStore) {
  SetJapanese(false);
  RecordingMessages messages;
  TIniFile store("unused.ini");
  const char* const empty =
      "StandardColor=255\r\nStandardVisible=True\r\nMeasuredColor=16711680\r\nMeasuredVisible=True\r\n"
      "LineColor=16711680\r\nLineWidth=1\r\nMagnitude=0\r\nGridColor=65280\r\nCommentArea=False\r\n"
      "CommentColor=False\r\nStatusXo=True\r\nStatusYo=True\r\nStatusXv=True\r\nStatusYv=True\r\n"
      "StatusColor=True\r\nRightMagnifier=True\r\nRightLine=True\r\nRightDelete=True\r\n";
  EXPECT_EQ(DefaultSettingsText(store), empty);
  const TBenchSettings fromEmpty = TBench(messages, store).Settings();
  EXPECT_EQ(fromEmpty.Measured.Color, 0xFF0000u);
  EXPECT_EQ(fromEmpty.Measured.Shape, PresetShape(7));
  EXPECT_EQ(fromEmpty.Magnitude, 5);
  EXPECT_EQ(fromEmpty.Font.Name, "Arial");

  store.WriteValue("Bench\\Default\\Measured", "Bitmap", "ooooo");
  store.WriteValue("Bench\\Default", "Magnitude", "7");  // the main window stores it as text
  store.WriteValue("Bench\\Default\\Line", "Width", std::int32_t(3));
  store.WriteValue("Bench\\Default\\Status", "Xo", false);
  store.WriteValue("Bench\\Default\\Font\\English", "Name", "Sans");
  store.WriteValue("Bench\\Default\\Font\\English", "Bold", true);
  const TBenchSettings stored = TBench(messages, store).Settings();
  EXPECT_EQ(stored.Measured.Shape.Bits(), 0b11111u);
  EXPECT_EQ(stored.Standard.Shape, PresetShape(7));
  EXPECT_EQ(stored.Magnitude, 7);
  EXPECT_EQ(stored.LineWidth, 3);
  EXPECT_FALSE(stored.StatusXo);
  EXPECT_EQ(stored.Font.Name, "Sans");
  EXPECT_TRUE(stored.Font.Bold);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(BenchText, StandardAndLineValueForms) {
  const TStandardPoint p = ParseStandardValue("(120,45)/(640,480)=(0,1e2)", '.');
  EXPECT_EQ(std::tuple(p.PosX, p.PosY, p.Width, p.Height, p.TextX, p.TextY, p.ValueX, p.ValueY),
            std::tuple(120, 45, 640, 480, std::string("0"), std::string("1e2"), 0.0, 100.0));
  EXPECT_EQ(StandardValueText(p), "(120,45)/(640,480)=(0,1e2)");
  // Values typed with a decimal comma: the split leaves two numbers.
  const TStandardPoint comma = ParseStandardValue("(1,2)/(3,4)=(1,5,2,5)", ',');
  EXPECT_EQ(std::tuple(comma.TextX, comma.TextY, comma.ValueX, comma.ValueY),
            std::tuple(std::string("1,5"), std::string("2,5"), 1.5, 2.5));
  EXPECT_EQ(ParseStandardValue("(1,2)/(3,4)=(1.5,2)", ',').ValueX, 1.5);  // written where "." was used
  for (const char* bad : {"(1,2)/(3,4)=(a,1)", "(1,2)/(3,4)=(1,2", "(x,2)/(3,4)=(1,2)", "(1,2)/(3,4)=(12)"})
    EXPECT_THROW(ParseStandardValue(bad, '.'), ConvertError) << bad;

  const char* const text = "3,(10,20)/(640,480)=(1.5,2)-(11,20)/(640,480)=(2.5,2),\"peak\",\"graph A\"";
  const auto line = ParseLineValue(text);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(std::tuple(line->Id, line->Count(), line->Comment, line->Title),
            std::tuple(3, 2, std::string("peak"), std::string("graph A")));
  EXPECT_EQ((*line)[1]->PosX, 11);
  EXPECT_EQ((*line)[1]->ValueX, 2.5);
  EXPECT_EQ(LineValueText(*line), text);

  const struct {
    const char* text;
    const char *comment, *title, *written;
  } quoted[] = {
      {"0,(1,2)/(3,4)=(5,6),\"\",\"\"", "", "", nullptr},
      {"0,(1,2)/(3,4)=(5,6),\"a\",\"x\",\"y\"", "a", "x\",\"y", nullptr},
      {"0,(1,2)/(3,4)=(INF,-inf),\"\",\"t\"", "", "t", "0,(1,2)/(3,4)=(INF,-INF),\"\",\"t\""},
      // The largest doubles are written rounded up past the largest double.
      {"0,(1,2)/(3,4)=(1.79769313486232E308,-1E999),\"\",\"\"", "", "", "0,(1,2)/(3,4)=(INF,-INF),\"\",\"\""},
  };
  for (const auto& q : quoted) {
    const auto l = ParseLineValue(q.text);
    ASSERT_NE(l, nullptr) << q.text;
    EXPECT_EQ(l->Comment, q.comment);
    EXPECT_EQ(l->Title, q.title);
    EXPECT_EQ(LineValueText(*l), q.written ? q.written : q.text);
  }
  EXPECT_TRUE(std::isinf(ParseLineValue(quoted[2].text)->Item(0)->ValueX));
  EXPECT_EQ(ParseLineValue("4,\"no\",\"points\""), nullptr);
  for (const char* bad : {"x,(1,2)/(3,4)=(5,6),\"\",\"\"", "1,(1,2)/(3,4)=(5,six),\"\",\"\"", "1,(1,2"})
    EXPECT_THROW(ParseLineValue(bad), ConvertError) << bad;
}

TEST(BenchText, StateTextReaderRules) {
  SetJapanese(false);
  RecordingMessages messages;
  MemoryPictures pictures;
  pictures.pictures["/a.bmp"] = TBitmap(100, 100);
  TIniFile store("unused.ini");
  TBench bench(messages, store, pictures.Loader());
  bench.Placement = {110, 220, 300, 200, false, true, 100, 200, 300, 200, TWindowState::Normal};

  // Standard points in order of appearance; a sizeable-only key is ignored;
  // the leftover settings apply at the end; the points read calibrate.
  bench.ApplyStateText(
      "Filename=/a.bmp\r\nLeft=50\r\nWidth=999\r\nWindowState=mAxImIzEd\r\nMagnitude=7\r\n"
      "Standard[5]=(10,10)/(100,100)=(1,1)\r\nStandard[0]=(90,90)/(100,100)=(8,8)\r\nLogX=True\r\n"
      "Measured[0]=2,(1,1)/(100,100)=(1,1),\"c\",\"t\"\r\nTitle=chart\r\nScaleIndex=2\r\nMagnified=True");
  EXPECT_EQ(bench.Data().Standards[0]->PosX, 10);
  EXPECT_EQ(bench.Data().Standards[1]->TextX, "8");
  EXPECT_EQ(std::tuple(bench.Placement.Left, bench.Placement.RestoredLeft, bench.Placement.Width),
            std::tuple(60, 50, 300));
  EXPECT_EQ(bench.Placement.Top, 220);  // no Top line: where it was
  EXPECT_EQ(bench.Placement.State, TWindowState::Maximized);
  EXPECT_EQ(bench.Magnitude(), 7);
  EXPECT_EQ(bench.Magnification(), 7);
  EXPECT_EQ(bench.ScaleIndex(), 2);
  EXPECT_EQ(bench.TitleText(), "chart");
  EXPECT_TRUE(bench.Data().Standards.LogX);
  EXPECT_NEAR(bench.Coefficients().Ax, std::log(8) / 0.8, 1e-9);  // from the two points, not the picture size
  EXPECT_EQ(bench.Data().Measured[0]->Id, 2);

  // A malformed number stops the reading; what came before stays, and it is calibrated.
  bench.MouseDown(0, 0, TMouseButton::Right);
  bench.LineCommand();
  EXPECT_TRUE(bench.LineMode());
  EXPECT_THROW(bench.ApplyStateText("Filename=/a.bmp\r\nLogX=False\r\nStandard[0]=(10,10)/(100,100)=(0,0)\r\n"
                                    "Standard[1]=(90,90)/(100,100)=(4,4)\r\nTitle=first\r\n"
                                    "Standard[2]=(5,x)/(100,100)=(1,1)\r\nTitle=second\r\nLineWidth=9"),
               ConvertError);
  EXPECT_EQ(bench.Data().Standards.Count(), 2);
  EXPECT_EQ(bench.Data().Measured.Count(), 0);
  EXPECT_FALSE(bench.LineMode());
  EXPECT_EQ(bench.TitleText(), "first");
  EXPECT_EQ(bench.Settings().LineWidth, 1);
  EXPECT_NEAR(bench.Coefficients().Ax, 4 / 0.8, 1e-9);
  EXPECT_TRUE(messages.shown.empty());

  // LogX and LogY are written from two standard points on.
  bench.DeleteStandardPoint(1);
  EXPECT_EQ(bench.StateText().find("LogX="), std::string::npos);
  // The bars stay one line.
  bench.SetTitleText("a\r\nb");
  EXPECT_EQ(bench.TitleText(), "a  b");
}
