#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "BenchSupport.h"
#include "BmpFiles.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "support/TempFolder.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kRed = 0x0000FF;

// A white 200 x 100 chart with a red 10 x 10 block at (100 .. 109, 40 .. 49).
TBitmap Chart() {
  return MakePicture(200, 100, [](int x, int y) { return x >= 100 && x < 110 && y >= 40 && y < 50 ? kRed : kWhite; });
}

struct Fixture : BenchFixture {
  Fixture() : BenchFixture(Chart()) {}
};

void ExpectValues(const TMeasuredPoints& line, int index, double x, double y) {
  ASSERT_NE(line[index], nullptr);
  EXPECT_NEAR(line[index]->ValueX, x, 1e-9);
  EXPECT_NEAR(line[index]->ValueY, y, 1e-9);
}

}  // namespace

// The whole measurement: standard points, clicks at several scales and with
// the magnifier, the right-button commands, undo and redo of every kind of
// change, and the state text read back into a fresh bench.
TEST(Bench, MeasuresAChartAndRestoresItFromItsStateText) {
  SetJapanese(false);
  TempFolder folder;
  const std::string path = folder / "chart.bmp";
  std::ofstream(path, std::ios::binary) << BmpFileOf(Chart());
  RecordingMessages messages;
  TIniFile store(folder / "settings.ini");
  TBench bench(messages, store);
  MainWindowStub main;
  main.Attach(bench);
  int loaded = 0;
  bench.OnImageLoaded = [&](TBench&) { ++loaded; };
  auto collectedMatches = [&] { return main.collected == MainWindowStub::Lines(bench); };

  ASSERT_TRUE(bench.LoadImage(path));
  EXPECT_EQ(loaded, 1);
  EXPECT_EQ(bench.TitleText(), "chart.bmp");
  EXPECT_EQ(bench.Caption(), "chart.bmp / " + Appli().Name);
  bench.SetClientSize(400, 300);

  // X = (px - 20) / 10 and Y = (80 - py) / 10 from three standard points.
  bench.SetStandardMode(true);
  const struct {
    int x, y;
    const char *X, *Y;
  } standards[] = {{20, 80, "0", "0"}, {180, 80, "16", "0"}, {20, 20, "0", "6"}};
  for (int i = 0; i < 3; ++i) {
    bench.MouseDown(standards[i].x, standards[i].y, TMouseButton::Left);
    EXPECT_TRUE(bench.EnterStandardValue(i, TStandardColumn::X, standards[i].X));
    EXPECT_TRUE(bench.EnterStandardValue(i, TStandardColumn::Y, standards[i].Y));
  }
  EXPECT_FALSE(bench.EnterStandardValue(1, TStandardColumn::X, "abc"));
  bench.SetStandardMode(false);
  EXPECT_TRUE(messages.shown.empty());

  // Clicks: at scale 1, at scale 9 scrolled, and with the magnifier at scales 1 and 3.
  bench.MouseDown(100, 50, TMouseButton::Left);
  bench.SetScaleIndex(2);
  bench.SetScrollPosition(1000, 200);
  bench.MouseDown(84, 74, TMouseButton::Left);  // position (1084, 274): the middle of pixel (120, 30)
  bench.SetScaleIndex(0);
  EXPECT_EQ(bench.HorizontalScroll().Position, 0);  // kept as a number, then limited
  EXPECT_EQ(bench.MouseDown(150, 60, TMouseButton::Right), TRightAction::Popup);
  bench.Magnify();  // (150, 60) comes to the middle of an 80 x 60 page
  EXPECT_EQ(bench.HorizontalScroll().Position, 110);
  EXPECT_EQ(bench.VerticalScroll().Position, 30);
  bench.MouseDown(202, 152, TMouseButton::Left);
  bench.SetScaleIndex(1);
  bench.SetScrollPosition(110, 120);
  bench.MouseDown(355, 155, TMouseButton::Left);  // position (181, 151): pixel (60, 50)
  const TMeasuredList& lines = bench.Data().Measured;
  ASSERT_EQ(lines.Count(), 4);
  const double expected[][2] = {{8, 3}, {10, 5}, {13, 2}, {4, 3}};
  for (int i = 0; i < 4; ++i) {
    ExpectValues(*lines[i], 0, expected[i][0], expected[i][1]);
    EXPECT_EQ(lines[i]->Id, i);
  }

  // Two Line commands and a click make one line of three points.
  bench.SetMagnified(false);
  bench.SetScaleIndex(0);
  main.kinds.clear();
  for (auto [x, y] : {std::pair{40, 70}, {60, 60}}) {
    bench.MouseDown(x, y, TMouseButton::Right);
    bench.LineCommand();
  }
  EXPECT_TRUE(bench.Popup().DeleteEnabled);
  bench.MouseDown(80, 50, TMouseButton::Left);
  EXPECT_THAT(main.kinds, ::testing::ElementsAre("Line", "Line", "Point"));
  ASSERT_EQ(lines.Count(), 5);
  EXPECT_EQ(lines[4]->Count(), 3);
  ExpectValues(*lines[4], 2, 6, 3);
  EXPECT_TRUE(collectedMatches());

  // Delete asks first; No keeps the line, Yes deletes it in both places.
  messages.answers = {TMessageResult::No, TMessageResult::Yes};
  bench.MouseDown(60, 60, TMouseButton::Right);
  bench.DeleteCommand();
  EXPECT_EQ(messages.shown.back().Text,
            "Do you really want to delete the line of 3 points whose first point is (2, 1)?");
  bench.MouseDown(100, 50, TMouseButton::Right);
  bench.DeleteCommand();
  EXPECT_EQ(messages.shown.back().Text, "Do you really want to delete (8, 3)?");
  EXPECT_EQ(messages.shown.back().Caption, "Delete");
  EXPECT_EQ(lines.Count(), 4);
  EXPECT_EQ(main.collected.count(0), 0u);

  // A new standard value, log axes, a deleted standard point and a recalculation.
  bench.EnterStandardValue(1, TStandardColumn::X, "32");  // X = (px - 20) / 5 after calibrating
  bench.SetStandardMode(true);
  bench.SetStandardMode(false);
  bench.Recalculate();
  ExpectValues(*lines[3], 2, 12, 3);
  bench.SetLogY(true);
  bench.DeleteStandardPoint(2);
  EXPECT_TRUE(collectedMatches());

  // Undo everything, checking each step, then redo it all.
  const std::string before = bench.StateText();
  int steps = 0;
  while (bench.CanUndo()) {
    bench.Undo();
    ++steps;
    ASSERT_TRUE(collectedMatches()) << "after undo step " << steps;
  }
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_EQ(bench.Data().Standards.Count(), 0);
  EXPECT_FALSE(bench.LineMode());
  while (bench.CanRedo()) {
    bench.Redo();
    ASSERT_TRUE(collectedMatches());
  }
  EXPECT_EQ(bench.StateText(), before);
  EXPECT_EQ(lines[0]->Id, 1);  // lines keep their serial numbers

  // Undoing the deletion brings the line back under its own number.
  bench.Undo();  // the deleted standard point
  bench.Undo();  // log Y
  bench.Undo();  // the recalculation
  ExpectValues(*lines[3], 2, 6, 3);
  bench.Undo();  // the value 32
  EXPECT_EQ(bench.Data().Standards[1]->TextX, "16");
  bench.Undo();  // the deletion
  EXPECT_EQ(lines[0]->Id, 0);
  EXPECT_TRUE(collectedMatches());

  // The state text rebuilds the same bench (calibrated with the same points).
  bench.SetStandardMode(true);
  bench.SetStandardMode(false);
  bench.Placement = {10, 20, 640, 480, true, true, 10, 20, 640, 480, TWindowState::Maximized};
  const std::string state = bench.StateText();
  TBench fresh(messages, store);
  fresh.Placement.HasRestoredRect = true;
  fresh.ApplyStateText(state);
  // Reading a shape line leaves the marker with a shape of its own (pattern -1).
  std::string expectedState = state;
  for (std::size_t at; (at = expectedState.find("Pattern=7")) != std::string::npos;)
    expectedState.replace(at, 9, "Pattern=-1");
  EXPECT_EQ(fresh.StateText(), expectedState);
  const TCoefficients a = bench.Coefficients(), b = fresh.Coefficients();
  EXPECT_EQ(std::vector({a.Ax, a.Bx, a.Cx, a.Ay, a.By, a.Cy}), std::vector({b.Ax, b.Bx, b.Cx, b.Ay, b.By, b.Cy}));
  EXPECT_EQ(fresh.Placement.State, TWindowState::Maximized);
  EXPECT_FALSE(fresh.CanUndo());
}

TEST(Bench, FailedLoadsLeaveTheBenchAsItWas) {
  Fixture f;
  f.bench->SetStandardMode(true);
  f.bench->MouseDown(5, 5, TMouseButton::Left);
  f.bench->SetStandardMode(false);
  f.bench->MouseDown(7, 7, TMouseButton::Left);
  const std::string state = f.bench->StateText();
  const struct {
    const char* path;
    bool result;
    const char* message;
  } cases[] = {
      {"/img/missing.bmp", true, "/img/missing.bmp\nis not found.\n"},
      {"alien.xyz", true, "There is no plug-in to open\nalien.xyz"},
      {"broken.bmp", false, "broken.bmp: damaged picture"},
  };
  for (const auto& c : cases) {
    f.messages.shown.clear();
    EXPECT_EQ(f.bench->LoadImage(c.path), c.result) << c.path;
    ASSERT_EQ(f.messages.shown.size(), 1u) << c.path;
    EXPECT_EQ(f.messages.shown[0].Text, c.message);
    EXPECT_EQ(f.bench->StateText(), state) << c.path;
    EXPECT_EQ(f.bench->Picture(), Chart());
    EXPECT_TRUE(f.bench->CanUndo());
  }
  // Another picture keeps the points, recalibrates with its size and clears the history.
  f.pictures.pictures["/img/wide.bmp"] = TBitmap(400, 100);
  EXPECT_TRUE(f.bench->LoadImage("/img/wide.bmp"));
  EXPECT_EQ(f.bench->Data().Measured.Count(), 1);
  EXPECT_EQ(f.bench->Data().Standards.Count(), 1);
  EXPECT_EQ(f.bench->Coefficients().Ax, 400);
  EXPECT_FALSE(f.bench->CanUndo());
}

TEST(Bench, RightButtonRunsTheEnabledCommand) {
  using A = TRightAction;
  const struct {
    bool standardMode, magnifier, line, del;
    TRightAction action;
  } cases[] = {
      {false, false, false, false, A::None},   {true, false, false, false, A::None},
      {false, true, false, false, A::Magnify}, {false, false, true, false, A::Line},
      {false, false, false, true, A::Delete},  {false, true, true, false, A::Popup},
      {false, true, true, true, A::Popup},     {true, false, true, false, A::Magnify},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.bench->ApplySettingsText(std::string("RightMagnifier=") + (c.magnifier ? "True" : "False") +
                               "\r\nRightLine=" + (c.line ? "True" : "False") +
                               "\r\nRightDelete=" + (c.del ? "True" : "False"));
    f.bench->SetStandardMode(c.standardMode);
    EXPECT_EQ(f.bench->MouseDown(30, 30, TMouseButton::Right), c.action);
    // Delete on empty space asks nothing; Line adds a point; Magnify toggles the magnifier.
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.bench->Data().Measured.Count(), c.action == A::Line ? 1 : 0);
    EXPECT_EQ(f.bench->Magnified(), c.action == A::Magnify);
  }
}

TEST(Bench, PopupAndMenusFollowTheState) {
  Fixture f;
  TBenchPopup p = f.bench->Popup();
  EXPECT_FALSE(p.LineEnabled);
  EXPECT_EQ(p.MagnifyCaption, "Magnify");
  f.bench->SetScaleIndex(2);
  f.bench->SetScaleIndex(0);
  f.bench->MouseDown(10, 10, TMouseButton::Left);
  f.bench->SetScaleIndex(2);
  f.bench->SetMagnified(true);
  f.bench->SetScrollPosition(80, 80);
  // At scale 9 a point set at scale 1 is hit only on the middle unit of its block.
  for (int unit = 0; unit < 9; ++unit) {
    f.bench->MouseDown((10 + unit) * 5, (10 + 4) * 5, TMouseButton::Right);
    EXPECT_EQ(f.bench->Popup().DeleteEnabled, unit == 4) << unit;
  }
  p = f.bench->Popup();
  EXPECT_TRUE(p.LineEnabled);
  EXPECT_EQ(p.MagnifyCaption, "Cancel Magnify");
  TBenchMenuState m = f.bench->MenuState();
  EXPECT_TRUE(m.MagnifyChecked && m.RecalculateEnabled && m.UndoEnabled && !m.RedoEnabled);
  EXPECT_EQ(m.CheckedScaleIndex, 2);
  // Line beyond the picture's right edge (inside the view) adds no point.
  f.bench->SetMagnified(false);
  f.bench->SetScaleIndex(0);
  f.bench->MouseDown(300, 10, TMouseButton::Right);
  f.bench->LineCommand();
  EXPECT_EQ(f.bench->Data().Measured.Count(), 1);
  f.bench->SetStandardMode(true);
  EXPECT_FALSE(f.bench->MenuState().RecalculateEnabled);
  // Zooming at a spot keeps the picture pixel under it, as far as the scroll bars allow.
  f.bench->SetMagnified(false);
  f.bench->SetScaleIndexAt(2, 100, 50);
  EXPECT_EQ(f.bench->ScreenToPosition(100, 50), std::pair(904, 454));
  f.bench->SetScaleIndexAt(0, 100, 50);
  EXPECT_EQ(f.bench->ScreenToPosition(100, 50), std::pair(100, 50));
  EXPECT_EQ(TBench::ScaleCaption(3, true), "２７倍");
  EXPECT_EQ(TBench::ScaleCaption(1, false), "x3");
}

TEST(Bench, JapaneseDeleteQuestionAndFourthPointWarning) {
  Fixture f;
  SetJapanese(true);
  f.messages.answers = {TMessageResult::No};
  f.bench->MouseDown(29, 9, TMouseButton::Right);
  f.bench->LineCommand();
  f.bench->MouseDown(30, 10, TMouseButton::Left);
  f.bench->DeleteCommand();
  ASSERT_EQ(f.messages.shown.size(), 1u);
  EXPECT_EQ(f.messages.shown[0].Text, "(30, 10) から始まる２点の線を削除してよろしいですか？");
  EXPECT_EQ(f.messages.shown[0].Caption, "削除");
  EXPECT_EQ(f.messages.shown[0].Buttons, TMessageButtons::YesNo);
  f.bench->SetStandardMode(true);
  for (int i = 0; i < 5; ++i) f.bench->MouseDown(10 + 20 * i, 10 + 7 * i, TMouseButton::Left);
  ASSERT_EQ(f.messages.shown.size(), 2u);  // only the fourth point warns
  EXPECT_EQ(f.messages.shown[1].Text, "４点目以降は無視されます。");
  EXPECT_EQ(f.bench->Data().Standards.Count(), 5);
  SetJapanese(false);
}

TEST(Bench, ClickCommentsCarryAreaAndColour) {
  const struct {
    bool area, color;
    int x, y;
    const char* comment;
  } cases[] = {
      {true, false, 105, 45, "100"},
      {false, true, 105, 45, "0000FF"},
      {true, true, 0, 0, "19900, FFFFFF"},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.bench->SetCommentText("typed");
    f.bench->ApplySettingsText(std::string("CommentArea=") + (c.area ? "True" : "False") +
                               "\r\nCommentColor=" + (c.color ? "True" : "False"));
    std::vector<bool> busy;
    f.bench->OnBusy = [&](TBench&, bool on) { busy.push_back(on); };
    f.bench->SetScaleIndex(1);
    f.bench->MouseDown(c.x * 3 + 1, c.y * 3 + 1, TMouseButton::Left);
    EXPECT_EQ(f.bench->CommentText(), c.comment);
    EXPECT_EQ(f.bench->Data().Measured[0]->Comment, c.comment);
    EXPECT_EQ(busy, (c.area ? std::vector<bool>{true, false} : std::vector<bool>()));
  }
}

TEST(Bench, StatusBarAndKeyboard) {
  Fixture f;
  f.bench->SetScaleIndex(1);
  EXPECT_THAT(f.bench->StatusTexts(316, 136), ::testing::ElementsAre("316", "136", "106", "46", "0000FF"));
  EXPECT_THAT(f.bench->StatusTexts(600, 10), ::testing::Each(""));  // beyond the picture
  EXPECT_THAT(f.bench->StatusTexts(-1, 10), ::testing::Each(""));
  EXPECT_THAT(f.bench->StatusPanelWidths(510), ::testing::Each(100));
  f.bench->ApplySettingsText("StatusXo=False\r\nStatusYo=False\r\nStatusXv=False\r\nStatusYv=False\r\nStatusColor=False");
  EXPECT_THAT(f.bench->StatusPanelWidths(510), ::testing::Each(0));
  f.bench->ApplySettingsText("StatusYv=True");
  EXPECT_THAT(f.bench->StatusPanelWidths(510), ::testing::ElementsAre(0, 0, 0, 500, 0));

  const struct {
    bool shift, ctrl, alt;
    int step;
  } steps[] = {{false, false, false, 1}, {true, false, false, 2},  {false, true, false, 5},  {false, false, true, 10},
               {true, true, false, 10},  {true, false, true, 20}, {false, true, true, 50}, {true, true, true, 100}};
  for (const auto& s : steps) EXPECT_EQ(TBench::KeyboardStep(s.shift, s.ctrl, s.alt), s.step);
  EXPECT_EQ(TBench::ArrowStep(TArrowKey::Up, true, false, false), std::pair(0, -2));
}

TEST(Bench, RestoredLineIsCollectedUnderItsOwnNumber) {
  Fixture f;
  f.bench->MouseDown(10, 10, TMouseButton::Left);
  f.bench->MouseDown(20, 20, TMouseButton::Left);
  // The main window deletes line 0 (delete command): the bench follows, and undo brings it back.
  f.main.collected.erase(0);
  f.bench->DeleteLineById(0);
  f.bench->Undo();
  ASSERT_EQ(f.main.collected.count(0), 1u);
  EXPECT_EQ(f.bench->Data().Measured[0]->Id, 0);
  EXPECT_EQ(f.main.kinds.back(), "Restore");
  // A line the main window never numbered is deleted alone.
  f.bench->OnPoint = nullptr;
  f.bench->MouseDown(30, 30, TMouseButton::Left);
  f.bench->MouseDown(40, 40, TMouseButton::Left);
  f.messages.answers = {TMessageResult::Yes};
  f.bench->MouseDown(40, 40, TMouseButton::Right);
  f.bench->DeleteCommand();
  EXPECT_EQ(f.bench->Data().Measured.Count(), 3);
}
