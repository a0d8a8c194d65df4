#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "WorkspaceSupport.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"

using namespace tracemill;
using namespace tracemill::testing;
using ::testing::ElementsAre;

namespace {

// Pictures by path without files: every "/mem/" path is a 50 x 50 picture.
TPictureLoader MemoryLoader() {
  return {[](const std::string& p) { return p.rfind("/mem/", 0) == 0; }, [](const std::string&) { return true; },
          [](const std::string&, TBitmap& target) { target = TBitmap(50, 50); }};
}

void UseMemoryBenches(WorkspaceFixture& f) {
  f.w.CreateBench = [&f] { return std::make_unique<TBench>(f.messages, f.store, MemoryLoader()); };
}

// A line of points (x, y) as a bench sends it.
TMeasuredPoints Line(std::vector<std::pair<double, double>> points, std::string title = "t",
                     std::string comment = "") {
  TMeasuredPoints line;
  for (auto [x, y] : points) {
    auto p = std::make_unique<TMeasuredPoint>();
    p->ValueX = x;
    p->ValueY = y;
    line.Add(std::move(p));
  }
  line.Title = std::move(title);
  line.Comment = std::move(comment);
  return line;
}

std::int32_t Send(TWorkspace& w, TBench& bench, const TMeasuredPoints& line, std::int32_t id = -1,
                  std::string_view kind = kPointKind) {
  w.BenchPoint(bench, line, kind, id);
  return id;
}

// X = (px - 20) / 10 and Y = (80 - py) / 10 on a 200 x 100 picture in a 400 x 300 view.
void Calibrate(TBench& bench) {
  bench.SetClientSize(400, 300);
  bench.SetStandardMode(true);
  const struct {
    int x, y;
    const char *X, *Y;
  } standards[] = {{20, 80, "0", "0"}, {180, 80, "16", "0"}, {20, 20, "0", "6"}};
  for (int i = 0; i < 3; ++i) {
    bench.MouseDown(standards[i].x, standards[i].y, TMouseButton::Left);
    bench.EnterStandardValue(i, TStandardColumn::X, standards[i].X);
    bench.EnterStandardValue(i, TStandardColumn::Y, standards[i].Y);
  }
  bench.SetStandardMode(false);
}

}  // namespace

// Open a picture, calibrate, click, collect, delete, remeasure, save, load:
// the collected list, the bench and the view agree at every step.
TEST(Workspace, RunsAWholeMeasurementThroughSaveAndLoad) {
  WorkspaceFixture f;
  const std::string chart = f.folder / "chart.bmp";
  WritePicture(chart);
  int shown = 0, added = 0;
  f.w.OnShowBench = [&](int) { ++shown; };
  f.w.OnBenchAdded = [&](int) { ++added; };

  TBench* bench = f.w.OpenImageFile(chart, true);
  ASSERT_NE(bench, nullptr);
  EXPECT_EQ(f.w.OpenImageFile(chart, true), bench);  // the same file shows the same bench
  EXPECT_EQ(f.w.BenchCount(), 1);
  EXPECT_EQ(added, 1);
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(f.w.Entry(0)->FileName, "chart.bmp");
  Calibrate(*bench);
  EXPECT_TRUE(f.messages.shown.empty());

  for (auto [x, y] : {std::pair{100, 50}, {120, 30}, {60, 50}}) bench->MouseDown(x, y, TMouseButton::Left);
  bench->MouseDown(40, 70, TMouseButton::Right);
  bench->LineCommand();
  bench->MouseDown(80, 50, TMouseButton::Left);  // a line of two points
  ASSERT_EQ(f.w.RowCount(), 4);
  EXPECT_EQ(f.w.Row(0), (TListRow{"0", "chart.bmp", "1", "8", "3", ""}));
  EXPECT_EQ(f.w.Row(3), (TListRow{"3", "chart.bmp", "2", "2", "1", ""}));
  EXPECT_EQ(f.w.LastPointsID(), 3);
  EXPECT_EQ(f.view.select, 3);
  EXPECT_TRUE(f.view.Matches(f.w));

  // Deleting rows 1 and 3 deletes the bench's lines of those serial numbers too.
  f.w.DeleteRows({3, 1});
  EXPECT_THAT(Serials(f.w), ElementsAre(0, 2));
  EXPECT_EQ(bench->Data().Measured.Count(), 2);
  EXPECT_EQ(f.view.select, -1);
  EXPECT_TRUE(f.view.Matches(f.w));

  // Remeasure serial 0: the bench's line goes, the next click replaces it,
  // the one after replaces serial 2 and the remeasure ends.
  f.w.Remeasure({0});
  EXPECT_EQ(f.w.RemeasureID(), 0);
  EXPECT_EQ(f.w.MenuState({0}).RemeasureCaption, "Cancel ReMeasure");
  EXPECT_EQ(bench->Data().Measured.Count(), 1);
  bench->MouseDown(140, 40, TMouseButton::Left);
  EXPECT_EQ(f.w.RemeasureID(), 2);
  EXPECT_EQ(f.w.Row(0), (TListRow{"0", "chart.bmp", "1", "12", "4", ""}));
  bench->MouseDown(160, 60, TMouseButton::Left);
  EXPECT_EQ(f.w.RemeasureID(), -1);
  EXPECT_EQ(f.w.Row(1)[3], "14");
  EXPECT_EQ(f.w.RowCount(), 2);
  EXPECT_TRUE(f.view.Matches(f.w));

  // CSV and both reports read the same list.
  f.w.SaveCsv(f.folder / "list.csv");
  EXPECT_EQ(ReadFileBytes(f.folder / "list.csv"),
            "Serial #,Title,Point #,X,Y,Comment\r\n0,chart.bmp,1,12,4,\r\n2,chart.bmp,1,14,2,\r\n");
  RecordingShell shell;
  const std::string simple = f.w.SimpleReport(shell);
  EXPECT_EQ(ReadFileBytes(simple), "12, 4, chart.bmp, \r\n14, 2, chart.bmp, \r\n");
  f.store.WriteValue("Application", "ProgrammableReport", "viewer");
  f.store.WriteValue("Report", "Program", "sort(\"x\", \"true\")\r\nprint(Title(0), X(0, 0))\r\n");
  const TReportFile report = f.w.ProgrammableReport(shell);
  EXPECT_EQ(report.Status, TReportStatus::Completed);
  EXPECT_EQ(ReadFileBytes(report.Path), "chart.bmp14\r\n");
  EXPECT_THAT(shell.opened, ElementsAre(simple, "viewer " + report.Path));
  EXPECT_THAT(Serials(f.w), ElementsAre(0, 2));  // the list's own order again
  EXPECT_TRUE(f.view.Matches(f.w));

  const std::string state = f.folder / "new folder/state.trm";
  f.w.SaveState(state);

  TempFolder other;
  RecordingMessages messages;
  TIniFile store(other / "settings.ini");
  TWorkspace loaded(messages, store);
  ViewMirror view;
  view.Attach(loaded);
  loaded.LoadState(state);
  ASSERT_EQ(loaded.BenchCount(), 1);
  ASSERT_EQ(loaded.RowCount(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_EQ(loaded.Row(i), f.w.Row(i));
  EXPECT_TRUE(view.Matches(loaded));
  EXPECT_EQ(loaded.Bench(0)->FileName(), chart);
  EXPECT_EQ(loaded.Bench(0)->Data().Measured.Count(), 3);  // the bench keeps lines the list no longer has
}

// Serial numbers come from LastPointsID and are never reused; resent lines
// replace their collected line; lines of unknown benches or serials are not collected.
TEST(Workspace, NumbersReplacesAndDeletesCollectedLines) {
  WorkspaceFixture f;
  UseMemoryBenches(f);
  TBench* a = f.w.OpenBench("/mem/a.bmp", false);
  TBench* b = f.w.OpenBench("/mem/b.bmp", false);
  EXPECT_EQ(Send(f.w, *a, Line({{1, 2}})), 0);
  EXPECT_EQ(Send(f.w, *b, Line({{3, 4}})), 1);
  EXPECT_EQ(Send(f.w, *a, Line({{5, 6}})), 2);
  EXPECT_EQ(f.w.Data().Item(1)->WindowID, 1);

  f.w.BenchLineDeleted(*a, 1);
  f.w.BenchLineDeleted(*a, 77);  // no such line: only the list is rebuilt
  EXPECT_THAT(Serials(f.w), ElementsAre(0, 2));
  EXPECT_EQ(Send(f.w, *b, Line({{7, 8}})), 3);

  // A resent line replaces points, comment and title; serial and window stay.
  EXPECT_EQ(Send(f.w, *b, Line({{9, 9}, {10, 10}}, "T", "C"), 0), 0);
  const TBaseMeasuredPoints* first = f.w.Data().Item(0);
  EXPECT_EQ(first->Count(), 2);
  EXPECT_EQ(first->Title, "T");
  EXPECT_EQ(first->Comment, "C");
  EXPECT_EQ(first->WindowID, 0);

  // A line whose serial was deleted is not collected again; an undo brings it back under its serial.
  Send(f.w, *a, Line({{1, 1}}), 1);
  EXPECT_THAT(Serials(f.w), ElementsAre(0, 2, 3));
  Send(f.w, *a, Line({{1, 1}}), 1, kRestoreKind);
  EXPECT_THAT(Serials(f.w), ElementsAre(0, 1, 2, 3));

  TBench stranger(f.messages, f.store, MemoryLoader());
  EXPECT_EQ(Send(f.w, stranger, Line({{1, 1}})), -1);
  EXPECT_EQ(f.w.RowCount(), 4);
  EXPECT_TRUE(f.view.Matches(f.w));
  // New lines in serial order come in as inserted rows, not as a reset list.
  EXPECT_EQ(f.view.kinds[2], TRowsChange::TKind::Inserted);
}

// Remeasure goes through the lines in serial order from the selected one and
// ends after the last; the command cancels a running remeasure.
TEST(Workspace, RemeasureReplacesLinesInSerialOrder) {
  WorkspaceFixture f;
  UseMemoryBenches(f);
  TBench* a = f.w.OpenBench("/mem/a.bmp", false);
  for (int i = 0; i < 4; ++i) Send(f.w, *a, Line({{double(i), 0}}));
  f.w.DeleteRows({2});  // serials 0, 1, 3

  EXPECT_FALSE(f.w.MenuState({}).DeleteEnabled);
  EXPECT_FALSE(f.w.MenuState({0, 1}).RemeasureEnabled);
  EXPECT_TRUE(f.w.MenuState({0, 1}).DeleteEnabled);
  EXPECT_TRUE(f.w.MenuState({}).SelectAllEnabled);
  f.w.Remeasure({});
  EXPECT_EQ(f.w.RemeasureID(), -1);
  f.w.Remeasure({0});
  EXPECT_EQ(f.w.RemeasureID(), 0);
  EXPECT_EQ(f.view.select, 0);
  EXPECT_EQ(Send(f.w, *a, Line({{10, 0}})), 0);
  EXPECT_EQ(Send(f.w, *a, Line({{11, 0}}), 5), 1);  // a resent line is redirected too
  EXPECT_EQ(f.w.RemeasureID(), 3);                  // the deleted serial 2 is passed over
  EXPECT_EQ(Send(f.w, *a, Line({{13, 0}})), 3);
  EXPECT_EQ(f.w.RemeasureID(), -1);
  EXPECT_EQ(f.w.Row(0)[3], "10");
  EXPECT_EQ(f.w.Row(1)[3], "11");
  EXPECT_EQ(f.w.Row(2)[3], "13");

  f.w.Remeasure({1});
  EXPECT_EQ(f.w.RemeasureID(), 1);
  f.w.Remeasure({1});
  EXPECT_EQ(f.w.RemeasureID(), -1);
  EXPECT_EQ(f.w.MenuState({1}).RemeasureCaption, "ReMeasure");
  SetJapanese(true);
  EXPECT_EQ(f.w.MenuState({1}).RemeasureCaption, "再測定");
  SetJapanese(false);
  EXPECT_TRUE(f.view.Matches(f.w));
}

// Column clicks pick the key and flip the direction; the selected line stays selected.
TEST(Workspace, SortsByColumnAndFormatsValues) {
  WorkspaceFixture f;
  UseMemoryBenches(f);
  TBench* a = f.w.OpenBench("/mem/a.bmp", false);
  Send(f.w, *a, Line({{3, 1}}, "b"));
  Send(f.w, *a, Line({{1.25, 2}}, "c"));
  Send(f.w, *a, Line({{2, 3}}, "a"));

  f.w.ColumnClick(3, {});
  EXPECT_THAT(Serials(f.w), ElementsAre(1, 2, 0));
  f.w.ColumnClick(3, {0});  // row 0 holds serial 1
  EXPECT_THAT(Serials(f.w), ElementsAre(0, 2, 1));
  EXPECT_EQ(f.view.select, 2);
  EXPECT_TRUE(f.w.SortReverse());
  f.w.ColumnClick(1, {});
  EXPECT_EQ(f.w.SortItem(), "TITLE");
  EXPECT_FALSE(f.w.SortReverse());
  EXPECT_THAT(Serials(f.w), ElementsAre(2, 0, 1));
  f.w.ColumnClick(9, {});
  EXPECT_EQ(f.w.SortItem(), "COMMENT");
  EXPECT_TRUE(f.view.Matches(f.w));

  f.w.SetSortOrder("serial", false);
  EXPECT_EQ(f.w.Row(0)[3], "3");
  EXPECT_EQ(f.w.Row(1)[3], "1.25");
  f.store.WriteValue("Format", "X", "0.00");
  f.w.ReadDisplayOptions();
  EXPECT_EQ(f.w.Row(0)[3], "3.00");
  EXPECT_EQ(f.w.Row(1)[3], "1.25");
  EXPECT_TRUE(f.view.Matches(f.w));
  EXPECT_EQ(f.w.Row(3), TListRow{});
}

// Finding benches by exact path, the cascade, and the Window menu.
TEST(Workspace, OpensBenchesCascadedAndListsThemInTheWindowMenu) {
  WorkspaceFixture f;
  UseMemoryBenches(f);
  EXPECT_THAT(f.w.WindowMenu(), ElementsAre(::testing::Field(&TWindowMenuItem::Caption, "( no picture window )")));
  int menus = 0;
  f.w.OnWindowMenuChanged = [&] { ++menus; };

  TBench* a = f.w.OpenBench("/mem/a.bmp", true);
  TBench* b = f.w.OpenBench("/mem/b.bmp", true);
  TBench* c = f.w.OpenBench("/mem/c.bmp", true);
  EXPECT_NE(f.w.OpenBench("/mem/A.bmp", true), a);  // a path differing in case is another file
  EXPECT_EQ(f.w.OpenBench("/mem/a.bmp", true), a);
  EXPECT_EQ(f.w.BenchCount(), 4);
  EXPECT_GT(menus, 0);
  EXPECT_EQ(b->Placement.Left - a->Placement.Left, 32);
  EXPECT_EQ(c->Placement.Top - b->Placement.Top, 32);

  c->SetTitleText("Fig. 2");
  const auto items = f.w.WindowMenu();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].Caption, "&0:a.bmp");
  EXPECT_EQ(items[2].Caption, "&2:Fig. 2(c.bmp)");
  EXPECT_EQ(items[2].Tag, 2);
  for (int i = 4; i <= 10; ++i) f.w.OpenBench("/mem/" + std::to_string(i) + ".bmp", false);
  EXPECT_EQ(f.w.WindowMenu().back().Caption, "10:10.bmp");

  // Every place of the cycle taken: the cascade still ends.
  f.w.SetScreenSize(100, 100);
  for (int i = 0; i < 5; ++i) f.w.OpenBench("/mem/s" + std::to_string(i) + ".bmp", true);
  EXPECT_EQ(f.w.BenchCount(), 16);

  // A missing file opens nothing.
  EXPECT_EQ(f.w.OpenImageFile(f.folder / "missing.bmp", true), nullptr);
  EXPECT_EQ(f.w.BenchCount(), 16);
}

// New settings reach the other benches, and become the defaults when asked.
TEST(Workspace, PassesOnBenchSettingsAndStoresDefaults) {
  WorkspaceFixture f;
  UseMemoryBenches(f);
  TBench* a = f.w.OpenBench("/mem/a.bmp", false);
  TBench* b = f.w.OpenBench("/mem/b.bmp", false);

  a->ApplyOptions("LineWidth=4\r\nOtherWindow=True\r\nDefault=False\r\n");
  EXPECT_EQ(b->Settings().LineWidth, 4);
  EXPECT_FALSE(f.store.ValueExists("Bench\\Default\\Line", "Width"));

  f.w.BenchOptionChanged(*a, "  linewidth = 3\r\n  StandardPattern=5\r\nRightLine=true\r\nnoequals\r\n"
                             "MAGNITUDE=7\r\nDefault=True");
  EXPECT_EQ(b->Settings().LineWidth, 4);  // not for the other benches this time
  EXPECT_EQ(f.store.ReadValue("Bench\\Default\\Line", "Width", 0), 3);
  EXPECT_EQ(f.store.ReadValue("Bench\\Default\\Standard", "Bitmap", ""), std::string(PresetShapeText(5)));
  EXPECT_TRUE(f.store.ReadValue("Bench\\Default\\Right", "Line", false));
  EXPECT_EQ(f.store.ReadValue("Bench\\Default", "Magnitude", ""), "7");
  EXPECT_TRUE(FileExists(f.folder / "settings.ini"));  // saved

  // A malformed integer ends the processing; what was written stays, nothing is saved.
  std::filesystem::remove(f.folder / "settings.ini");
  EXPECT_THROW(f.w.BenchOptionChanged(*a, "GridColor=1\r\nLineColor=red\r\nLineWidth=9\r\nDefault=True"),
               ConvertError);
  EXPECT_EQ(f.store.ReadValue("Bench\\Default\\Grid", "Color", 0), 1);
  EXPECT_EQ(f.store.ReadValue("Bench\\Default\\Line", "Width", 0), 3);
  EXPECT_FALSE(FileExists(f.folder / "settings.ini"));
}

// The command line and dropped files: a state file first wins, a missing
// first file opens nothing, language switches are no file names.
TEST(Workspace, OpensTheFilesOfTheCommandLine) {
  WorkspaceFixture f;
  const std::string a = f.folder / "a.bmp", c = f.folder / "c.bmp";
  WritePicture(a, 20, 20);
  WritePicture(c, 20, 20);

  f.w.HandleCommandLine({f.folder / "missing.bmp", a, c});
  EXPECT_EQ(f.w.BenchCount(), 0);
  f.w.HandleCommandLine({"/ENGLISH", a, f.folder / "missing.bmp", c});
  EXPECT_EQ(f.w.BenchCount(), 2);

  const std::string state = f.folder / "s.TRM";
  f.w.SaveState(state);
  f.w.OpenBench(c + "x", false);
  EXPECT_EQ(f.w.BenchCount(), 3);
  f.w.HandleCommandLine({state, a});
  EXPECT_EQ(f.w.BenchCount(), 2);

  f.w.OpenDroppedFiles({c});
  EXPECT_EQ(f.w.BenchCount(), 2);  // already open
  f.w.OpenDroppedFiles({state, f.folder / "x.bmp"});
  EXPECT_EQ(f.w.BenchCount(), 2);
  EXPECT_TRUE(TWorkspace::CanOpenFile("x.JPG"));
  EXPECT_TRUE(TWorkspace::CanOpenFile("x.avi"));
  EXPECT_FALSE(TWorkspace::CanOpenFile(f.folder / "notes.txt"));
}

// The frames of a video go to a folder of their own per video: a second
// video of the same name elsewhere never overwrites them.
TEST(Workspace, SplitsVideosIntoFramesOfTheirOwnFolder) {
  WorkspaceFixture f;
  const std::string source = std::string(TRACEMILL_CORPUS_DIR) + "/avi/raw_bgr24.avi";
  std::filesystem::create_directories(f.folder / "one");
  std::filesystem::create_directories(f.folder / "two");
  std::filesystem::copy_file(source, f.folder / "one/clip.avi");
  std::filesystem::copy_file(std::string(TRACEMILL_CORPUS_DIR) + "/avi/raw_pal8.avi", f.folder / "two/clip.avi");

  TBench* last = f.w.OpenImageFile(f.folder / "one/clip.avi", true);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(f.w.BenchCount(), 20);
  const std::string first = f.w.FramesFolder(f.folder / "one/clip.avi");
  const std::string second = f.w.FramesFolder(f.folder / "two/clip.avi");
  EXPECT_NE(first, second);
  EXPECT_EQ(ExtractFilePath(first.substr(0, first.size() - 1)), f.folder / "work/");
  EXPECT_EQ(ExtractFileName(ExcludeTrailingSlash(first)).rfind("clip-", 0), 0u);
  EXPECT_EQ(last->FileName(), first + "AVI00020.bmp");
  EXPECT_EQ(f.w.Entry(0)->FileName, "AVI00001.bmp");
  const auto before = std::filesystem::file_size(first + "AVI00001.bmp");

  f.w.OpenImageFile(f.folder / "two/clip.avi", true);
  EXPECT_EQ(f.w.BenchCount(), 40);
  EXPECT_EQ(std::filesystem::file_size(first + "AVI00001.bmp"), before);
  EXPECT_TRUE(FileExists(second + "AVI00001.bmp"));
  // Opening the first video again finds its benches.
  f.w.OpenImageFile(f.folder / "one/clip.avi", true);
  EXPECT_EQ(f.w.BenchCount(), 40);

  // Progress goes up to the frame count; a cancel opens nothing and takes
  // away only the frames that split wrote, and the folder it made.
  std::filesystem::copy_file(source, f.folder / "three.avi");
  const std::string third = f.w.FramesFolder(f.folder / "three.avi");
  std::vector<int> seen;
  EXPECT_EQ(f.w.OpenVideoFile(f.folder / "three.avi", true,
                              [&](int done, int total) {
                                EXPECT_EQ(total, 20);
                                seen.push_back(done);
                                return done < 5;
                              }),
            nullptr);
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(f.w.BenchCount(), 40);
  EXPECT_FALSE(DirectoryExists(third));
  ForceDirectories(third);
  WriteFile(third + "AVI00002.bmp", "kept");
  EXPECT_EQ(f.w.OpenVideoFile(f.folder / "three.avi", true, [](int done, int) { return done < 3; }), nullptr);
  EXPECT_EQ(ReadFileBytes(third + "AVI00002.bmp").size(), std::filesystem::file_size(first + "AVI00002.bmp"));
  EXPECT_FALSE(FileExists(third + "AVI00001.bmp"));
  EXPECT_TRUE(DirectoryExists(third));
  EXPECT_NE(f.w.OpenVideoFile(f.folder / "three.avi", true, [](int, int) { return true; }), nullptr);
  EXPECT_EQ(f.w.BenchCount(), 60);
}
