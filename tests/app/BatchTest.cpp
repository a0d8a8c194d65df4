// The program's batch mode, run as a user runs it: on hand-written state
// files, without a display, checking exit status, standard output, standard
// error and the files written.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "../settings/TestSupport.h"
#include "MakePdf.h"
#include "ExampleChart.h"
#include "ProgramRun.h"
#include "app/uStateFile.h"
#include "common/uFileIO.h"
#include "image/uBmp.h"
#include "settings/uIniFile.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

// A bench on the example chart (window 0) with its three standard points, and
// three collected lines out of serial order; a CSV export of them.
constexpr const char* kState =
    "Tracemill Setting File\r\n"
    "\r\n"
    "[Window0]\r\n"
    "Filename=examples/chart.bmp\r\n"
    "Title=Fig\r\n"
    "ScaleIndex=0\r\n"
    "LogY=True\r\n"
    "Standard[0]=(80,420)/(640,480)=(0,1)\r\n"
    "Standard[1]=(600,420)/(640,480)=(10,1)\r\n"
    "Standard[2]=(80,40)/(640,480)=(0,1000)\r\n"
    "Measured[0]=4,(340,226)/(640,480)=(99,99),\"stale\",\"Fig\"\r\n"
    "\r\n"
    "[Data]\r\n"
    "SortItem=SERIAL\r\n"
    "SortReverse=False\r\n"
    "LastPointsID=4\r\n"
    "Data[0]=0,0,(1.5,20)-(2.25,31.5),\"solid\",\"Fig. 1\"\r\n"
    "Data[1]=2,0,(3,4),\"\",\"B\"\r\n"
    "Data[2]=1,0,(0.5,-7),\"dashed\",\"A\"\r\n"
    "Data[3]=4,0,(99,99),\"stale\",\"Fig\"\r\n";

constexpr const char* kCsvHeader = "Serial #,Title,Point #,X,Y,Comment\r\n";
constexpr const char* kCsv =
    "Serial #,Title,Point #,X,Y,Comment\r\n"
    "0,Fig. 1,2,1.5,20,solid\r\n"
    "1,A,1,0.5,-7,dashed\r\n"
    "2,B,1,3,4,\r\n"
    "4,Fig,1,99,99,stale\r\n";

class Batch : public ::testing::Test {
 protected:
  Batch() : scratch_("batch_run") {
    std::filesystem::create_directories(scratch_ / "config");
    std::filesystem::create_directories(scratch_ / "data");
    Write("state.trm", kState);
  }

  std::string Path(const std::string& name) const { return scratch_ / name; }
  void Write(const std::string& name, const std::string& content) const {
    WriteFileAtomic(Path(name), content);
  }
  std::string Read(const std::string& name) const { return ReadWhole(Path(name)); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(Path(name)); }

  TProgramRun Run(std::vector<std::string> arguments) const {
    return RunProgram(arguments,
                      {{"XDG_CONFIG_HOME", Path("config")}, {"XDG_DATA_HOME", Path("data")}, {"LC_ALL", "C"}},
                      scratch_.Path());
  }
  // A batch run on the hand-written state file.
  TProgramRun RunOnState(std::vector<std::string> actions) const {
    std::vector<std::string> arguments{"--batch", Path("state.trm")};
    arguments.insert(arguments.end(), actions.begin(), actions.end());
    return Run(arguments);
  }

  TScratchFolder scratch_;
};

// The example state at another scale index, its picture named from the
// project's folder as the example names it.
std::string ExampleState(int scaleIndex) {
  std::string text = ReadWhole(std::string(TRACEMILL_SOURCE_DIR) + "/examples/example.trm");
  const std::string scale = "ScaleIndex=0";
  text.replace(text.find(scale), scale.size(), "ScaleIndex=" + std::to_string(scaleIndex));
  return text;
}

// The collected line of a serial number in a saved state ("Data[n]=" records).
std::unique_ptr<TBaseMeasuredPoints> SavedLine(const std::string& state, std::int32_t serial) {
  for (std::size_t at = state.find("\nData["); at != std::string::npos; at = state.find("\nData[", at + 1)) {
    const std::size_t value = state.find('=', at) + 1;
    auto line = ParseLineRecord(state.substr(value, state.find('\r', value) - value));
    if (line->PointsID == serial) return line;
  }
  return nullptr;
}

// How far (picture pixels) a point of the example chart lies from its curve.
double DistanceFromTheCurve(const TBaseMeasuredPoint& p) {
  using namespace example;
  const double col = ColumnOf(p.X), row = RowOf(p.Y);
  double nearest = 1e9;
  for (double c = col - 3; c <= col + 3; c += 0.005) {
    const double x = kXMin + (c - kPlotLeft) * (kXMax - kXMin) / (kPlotRight - kPlotLeft);
    nearest = std::min(nearest, std::hypot(c - col, RowOf(CurveY(x)) - row));
  }
  return nearest;
}

// Every file below a folder, for checking that a run wrote nothing there.
std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
    if (!entry.is_directory()) files.push_back(entry.path().string());
  return files;
}

}  // namespace

TEST_F(Batch, StartsWithoutDisplayAndRefusesWrongCommandLines) {
  const TProgramRun help = Run({"/JAPANESE", "--help"});
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("使い方"), std::string::npos);
  EXPECT_NE(help.Out.find("--save-state FILE"), std::string::npos);
  const TProgramRun version = Run({"--version"});
  EXPECT_EQ(version.Status, 0);
  EXPECT_NE(version.Out.find("Tracemill  Ver."), std::string::npos) << version.Out;

  const TProgramRun wrong = Run({"--batch", Path("state.trm"), "--sort", "colour"});
  EXPECT_EQ(wrong.Status, 2);
  EXPECT_NE(wrong.Err.find("--simple-report FILE"), std::string::npos) << wrong.Err;
  EXPECT_EQ(wrong.Out, "");
}

TEST_F(Batch, CsvAndSortToStandardOutputAndFiles) {
  const TProgramRun plain = RunOnState({"--csv", "-"});
  EXPECT_EQ(plain.Status, 0) << plain.Err;
  EXPECT_EQ(plain.Out, kCsv);
  EXPECT_EQ(plain.Err, "");

  // Actions run in the order given; a file's missing folders are made.
  const TProgramRun sorted =
      RunOnState({"--sort", "title,reverse", "--csv", Path("out/deeper/by-title.csv"), "--sort", "X", "--csv", "-"});
  EXPECT_EQ(sorted.Status, 0) << sorted.Err;
  EXPECT_EQ(Read("out/deeper/by-title.csv"),
            std::string(kCsvHeader) + "0,Fig. 1,2,1.5,20,solid\r\n4,Fig,1,99,99,stale\r\n2,B,1,3,4,\r\n"
                                      "1,A,1,0.5,-7,dashed\r\n");
  EXPECT_EQ(sorted.Out, std::string(kCsvHeader) + "1,A,1,0.5,-7,dashed\r\n0,Fig. 1,2,1.5,20,solid\r\n"
                                                  "2,B,1,3,4,\r\n4,Fig,1,99,99,stale\r\n");

  // A named pipe is written into, not replaced by a file. The test holds it
  // open for reading and writing, so neither side waits for the other.
  ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
  const int pipe = ::open(Path("pipe").c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(pipe, 0);
  const TProgramRun piped = RunOnState({"--csv", Path("pipe"), "--save-state", Path("pipe")});
  EXPECT_EQ(piped.Status, 0) << piped.Err;
  std::string received(1 << 15, '\0');
  const ssize_t got = ::read(pipe, received.data(), received.size());
  ::close(pipe);
  received.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  EXPECT_EQ(received.substr(0, std::string(kCsv).size()), kCsv);
  EXPECT_NE(received.find("[Data]\r\n"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_fifo(Path("pipe")));

  // Without a state file the actions run on an empty working state.
  const TProgramRun empty = Run({"--batch", "--csv", "-"});
  EXPECT_EQ(empty.Status, 0) << empty.Err;
  EXPECT_EQ(empty.Out, kCsvHeader);
}

TEST_F(Batch, RecalculateTakesTheValuesFromTheBenches) {
  // The bench's line 4 lies at X = 5 on the chart; the saved 99 was stale.
  const TProgramRun run = RunOnState({"--recalculate", "--sort", "SERIAL,reverse", "--csv", "-"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::string expectedRest = "2,B,1,3,4,\r\n1,A,1,0.5,-7,dashed\r\n0,Fig. 1,2,1.5,20,solid\r\n";
  ASSERT_EQ(run.Out.rfind(kCsvHeader, 0), 0u) << run.Out;
  ASSERT_GT(run.Out.size(), std::string(kCsvHeader).size() + expectedRest.size());
  EXPECT_EQ(run.Out.substr(run.Out.size() - expectedRest.size()), expectedRest);  // lines of no bench stay
  const std::string first = run.Out.substr(std::string(kCsvHeader).size(),
                                           run.Out.size() - expectedRest.size() - std::string(kCsvHeader).size());
  ASSERT_EQ(first.rfind("4,Fig,1,", 0), 0u) << first;
  const std::string values = first.substr(8);
  EXPECT_NEAR(std::stod(values), 5.0, 1e-9) << first;
  EXPECT_NEAR(std::stod(values.substr(values.find(',') + 1)), 34.0078320654265, 1e-9) << first;
  EXPECT_EQ(values.substr(values.rfind(',')), ",stale\r\n");
}

TEST_F(Batch, ReportProgramErrorsExitWithThreeAndTheReportIsWritten) {
  Write("open-loop.bas", "for i = 0 to 3\r\nprint(i)\r\n");
  const TProgramRun structure =
      RunOnState({"--program", Path("open-loop.bas"), "--report", Path("structure.txt"), "--csv", "-"});
  EXPECT_EQ(structure.Status, 3) << structure.Err;
  EXPECT_EQ(Read("structure.txt").substr(0, 25), "Program Structure Error\r\n");
  EXPECT_EQ(structure.Out, kCsv);  // the actions after it still ran
}

TEST_F(Batch, FilesThatCannotBeReadEndTheRunWithOne) {
  Write("header.trm", "Some Other Setting File\r\n\r\n[Data]\r\nLastPointsID=3\r\n");
  Write("cut.trm", std::string(kState) + "Data[4]=5,0,(1,two),\"\",\"\"\r\nData[5]=6,0,(1,2),\"\",\"\"\r\n");
  Write("broken.bmp", "BM this is no picture");
  Write("picture.trm", "Tracemill Setting File\r\n\r\n[Window0]\r\nFilename=" + Path("gone.bmp") +
                           "\r\nTitle=Gone\r\nScaleIndex=0\r\n\r\n[Data]\r\nLastPointsID=-1\r\n");
  const struct {
    std::vector<std::string> arguments;
    std::string mentioned;
  } cases[] = {
      {{"--batch", Path("missing.trm"), "--csv", Path("out.csv")}, "missing.trm"},
      {{"--batch", Path("header.trm"), "--csv", Path("out.csv")}, "header.trm"},
      {{"--batch", Path("cut.trm"), "--csv", Path("out.csv")}, "cut.trm"},
      {{"--batch", Path("picture.trm"), "--csv", Path("out.csv")}, "gone.bmp"},
      {{"--batch", Path("broken.bmp"), "--csv", Path("out.csv")}, "broken.bmp"},
      {{"--batch", Path("missing.bmp"), "--csv", Path("out.csv")}, "missing.bmp"},
      {{"--batch", Path("state.trm"), "--program", Path("missing.bas"), "--csv", Path("out.csv")}, "missing.bas"},
  };
  for (const auto& c : cases) {
    const TProgramRun run = Run(c.arguments);
    EXPECT_EQ(run.Status, 1) << c.mentioned;
    EXPECT_NE(run.Err.find(c.mentioned), std::string::npos) << run.Err;
    EXPECT_FALSE(Exists("out.csv")) << c.mentioned << ": no action runs after a failure";
  }

  // An output that cannot be written (a folder of that name) ends the run there.
  std::filesystem::create_directories(Path("taken.csv"));
  Write("kept.trm", "old");
  const TProgramRun unwritable = RunOnState({"--csv", Path("taken.csv"), "--save-state", Path("kept.trm")});
  EXPECT_EQ(unwritable.Status, 1);
  EXPECT_NE(unwritable.Err.find("taken.csv"), std::string::npos) << unwritable.Err;
  EXPECT_EQ(Read("kept.trm"), "old");
}

TEST_F(Batch, SettingsAreReadAndNothingIsWrittenBesideTheOutputs) {
  const std::string settingsFile = SettingsFileName(Path("config") + "/", "Norvale", "tracemill");
  {
    TIniFile store(settingsFile);
    store.WriteValue("Format", "X", "0.00");
    store.WriteValue("Format", "SimpleReport", "{x}!");
    store.Save();
  }
  const std::string before = ReadWhole(settingsFile);
  Write("p.bas", "print(\"p\")\r\n");
  const TProgramRun run = RunOnState({"--program", Path("p.bas"), "--report", "-", "--simple-report", "-",
                                      "--simple-report", "-", "--template", "{y}?", "--csv", "-"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Out.rfind("p\r\n1.50!\r\n0.50!\r\n3.00!\r\n99.00!\r\n20?\r\n", 0), 0u) << run.Out;
  EXPECT_NE(run.Out.find("0,Fig. 1,2,1.50,20,solid\r\n"), std::string::npos) << run.Out;
  EXPECT_EQ(ReadWhole(settingsFile), before);
  EXPECT_EQ(FilesBelow(Path("config")), std::vector<std::string>{settingsFile});
  EXPECT_TRUE(FilesBelow(Path("data")).empty());  // no snapshot, no report files
}

// A PDF on the command line opens a bench per page at --pdf-dpi.
TEST_F(Batch, OpensPdfPagesAtTheGivenResolution) {
  Write("paper.pdf", MakePlotPdf());
  const TProgramRun opened = Run({"--batch", "--pdf-dpi", "144", Path("paper.pdf"), "--save-state", "-"});
  ASSERT_EQ(opened.Status, 0) << opened.Err;
  const auto fileName = [&](int window) {
    const std::size_t at = opened.Out.find("[Window" + std::to_string(window) + "]\r\nFilename=");
    if (at == std::string::npos) return std::string();
    const std::size_t from = opened.Out.find('=', at) + 1;
    return opened.Out.substr(from, opened.Out.find('\r', from) - from);
  };
  EXPECT_NE(fileName(0).find("PDF00001.bmp"), std::string::npos) << opened.Out;
  EXPECT_NE(fileName(1).find("PDF00002.bmp"), std::string::npos) << opened.Out;
  EXPECT_EQ(fileName(2), "");
  EXPECT_EQ(DecodeBmp(ReadWhole(fileName(1)), {}).Width(), 864);
}

TEST_F(Batch, TracedExampleCurveLiesWithinHalfAPixelOfItsFunction) {
  // Seeded on the curve at column 200; the markers sit on the curve and cut
  // it into pieces of about 95 pixels.
  const int seedRow = static_cast<int>(std::lround(example::RowOf(example::CurveY(120.0 / 52))));
  const struct {
    int scaleIndex;
    std::vector<std::string> trace;  // the option's value
    double from, to;                 // the columns the line must reach
  } cases[] = {
      {0, {"--trace", "1,200," + std::to_string(seedRow)}, 140, 228},  // the settings left out: gap 4
      {0, {"--trace=1,200," + std::to_string(seedRow) + ",5,60,12"}, 85, 595},  // bridging the markers
      {3, {"--trace", "1,200," + std::to_string(seedRow) + ",5,60,12"}, 85, 595},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.trace.back());
    Write("example.trm", ExampleState(c.scaleIndex));
    std::vector<std::string> arguments{"--batch", Path("example.trm")};
    arguments.insert(arguments.end(), c.trace.begin(), c.trace.end());
    arguments.insert(arguments.end(), {"--save-state", "-"});
    const TProgramRun run = Run(arguments);
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Err, "");
    // One new collected line under the next serial number, with all its
    // points, and the same line on the bench.
    const auto line = SavedLine(run.Out, 5);
    ASSERT_NE(line, nullptr) << run.Out;
    EXPECT_EQ(line->WindowID, 0);
    EXPECT_EQ(line->Title, "Example chart");
    EXPECT_NE(run.Out.find("\r\nLastPointsID=5\r\n"), std::string::npos);
    EXPECT_NE(run.Out.find("\r\nMeasured[5]=5,("), std::string::npos);
    ASSERT_GT(line->Count(), 15);
    EXPECT_LE(example::ColumnOf((*line)[0]->X), c.from);
    EXPECT_GE(example::ColumnOf((*line)[line->Count() - 1]->X), c.to);
    double worst = 0;
    for (int i = 0; i < line->Count(); ++i) worst = std::max(worst, DistanceFromTheCurve(*(*line)[i]));
    EXPECT_LE(worst, 0.5);
  }
}

TEST_F(Batch, FindMarkersFindsTheExampleDataWithinHalfAPixel) {
  const auto& data = example::ChartData();
  const std::string seed = "1," + std::to_string(std::lround(example::ColumnOf(data[2].X))) + "," +
                           std::to_string(std::lround(example::RowOf(data[2].Y)) + 1);
  for (const std::string& option : {"--find-markers=" + seed, "--find-markers=" + seed + ",20"}) {
    const TProgramRun run = Run({"--batch", "examples/example.trm", option, "--sort", "SERIAL,reverse", "--csv",
                                 "-", "--save-state", "-"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind(std::string(kCsvHeader) + "5,Example chart,5,", 0), 0u) << run.Out;
    const auto markers = SavedLine(run.Out, 5);
    ASSERT_NE(markers, nullptr);
    ASSERT_EQ(markers->Count(), static_cast<int>(data.size()));
    for (std::size_t i = 0; i < data.size(); ++i) {
      const TBaseMeasuredPoint& found = *(*markers)[static_cast<int>(i)];
      EXPECT_LE(std::abs(example::ColumnOf(found.X) - example::ColumnOf(data[i].X)), 0.5) << option << i;
      EXPECT_LE(std::abs(example::RowOf(found.Y) - example::RowOf(data[i].Y)), 0.5) << option << i;
    }
  }
}

TEST_F(Batch, TracingThatCannotBeDoneEndsTheRunWithOneAndChangesNothing) {
  // Window 1 has no picture, window 2 no bench; window 3 is the chart.
  Write("mixed.trm", "Tracemill Setting File\r\n\r\n[Window0]\r\nTitle=Nothing\r\nScaleIndex=0\r\n"
                     "CommentVisible=True\r\n\r\n[Window1]\r\n\r\n[Window2]\r\nFilename=examples/chart.bmp\r\n"
                     "Title=Fig\r\nScaleIndex=0\r\n\r\n[Data]\r\nLastPointsID=-1\r\n");
  const struct {
    std::string option;
    std::string message;
    bool japanese = false;
  } cases[] = {
      {"--trace=4,200,309", "There is no window 4."},
      {"--find-markers=2,132,351", "There is no window 2."},
      {"--trace=1,0,0", "Window 1 has no picture."},
      {"--find-markers=3,10,-1", "ピクセル 10,-1 はウィンドウ 3 の画像 (640 x 480 ピクセル) の外にあります。", true},
      {"--trace=3,200,309,0", "The X step must be from 1 to 1000 pixels."},
      {"--trace=3,200,309,5,60,101", "とぎれの幅は０から１００ピクセルの範囲で指定してください。", true},
      {"--find-markers=3,132,351,-1", "The color tolerance must be from 0 to 255."},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments{"--batch", Path("mixed.trm"), "--csv", Path("before.csv"), c.option,
                                       "--save-state", Path("after.trm"), "--csv", "-"};
    if (c.japanese) arguments.insert(arguments.begin(), "/JAPANESE");
    const TProgramRun run = Run(arguments);
    EXPECT_EQ(run.Status, 1) << c.option;
    const std::string failed = (c.japanese ? "失敗しました: " : "Failed: ") + c.option.substr(0, c.option.find('='));
    EXPECT_EQ(run.Err, failed + " " + c.option.substr(c.option.find('=') + 1) + "\n" + c.message + "\n");
    // The actions before it ran, none after it.
    EXPECT_EQ(Read("before.csv"), kCsvHeader) << c.option;
    EXPECT_FALSE(Exists("after.trm")) << c.option;
    EXPECT_EQ(run.Out, "") << c.option;
    std::filesystem::remove(Path("before.csv"));
  }
}

TEST_F(Batch, TracingSettingsLeftOutAreThoseLastUsed) {
  const std::string seed = "1,200," + std::to_string(std::lround(example::RowOf(example::CurveY(120.0 / 52))));
  const auto columns = [](const TProgramRun& run, std::int32_t serial) {
    const auto line = SavedLine(run.Out, serial);
    return line ? std::pair(example::ColumnOf((*line)[0]->X), example::ColumnOf((*line)[line->Count() - 1]->X))
                : std::pair(0.0, 0.0);
  };
  // The windows' remembered gap bridges the markers.
  const std::string settingsFile = SettingsFileName(Path("config") + "/", "Norvale", "tracemill");
  {
    TIniFile store(settingsFile);
    store.WriteValue("Bench\\Trace", "Gap", std::int32_t(12));
    store.Save();
  }
  const std::string before = ReadWhole(settingsFile);
  const TProgramRun remembered = Run({"--batch", "examples/example.trm", "--trace", seed, "--save-state", "-"});
  ASSERT_EQ(remembered.Status, 0) << remembered.Err;
  EXPECT_LT(columns(remembered, 5).first, 90);
  EXPECT_GT(columns(remembered, 5).second, 590);

  // Within a run, a trace takes the settings of the one before it.
  const TProgramRun run = Run({"--batch", "examples/example.trm", "--trace", seed + ",5,60,0", "--trace", seed,
                               "--save-state", "-"});
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(columns(run, 6), columns(run, 5));
  EXPECT_GT(columns(run, 5).first, 130);
  EXPECT_EQ(ReadWhole(settingsFile), before);  // and none is written back
}
