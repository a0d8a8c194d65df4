#include <gtest/gtest.h>

#include "CollectedFixture.h"
#include "app/uReport.h"
#include "app/uReportProgram.h"
#include "common/uFileIO.h"

using namespace tracemill;
using namespace tracemill::testing;
using TLines = std::vector<std::string>;

namespace {

const TBenchTable kBenches{{"a.bmp", "/img/a.bmp"}, {"gone.bmp", std::nullopt}};

// A (serial 5, window 1) with (1, 2) and (3, 4), comment c; B (serial 2, window 0) with (5, 6).
TBaseMeasuredList TwoLines() { return MakeData({{5, 1, "A", "c", {{1, 2}, {3, 4}}}, {2, 0, "B", "", {{5, 6}}}}); }

TReportResult Report(std::string_view program, TBaseMeasuredList& data, const std::string& sortItem = "SERIAL",
                     const TReportOptions& options = {}) {
  return RunReport(program, {data, kBenches, sortItem, false}, options);
}

TReportResult Report(std::string_view program) {
  TBaseMeasuredList data = TwoLines();
  return Report(program, data);
}

TLines RunError(TLines lines, int line, const std::string& message) {
  lines.insert(lines.end(), {"", "Program Error on Line #" + std::to_string(line), message});
  return lines;
}

}  // namespace

TEST(ProgrammableReport, TheDefaultProgramReportsEveryLineInTheListOrder) {
  TBaseMeasuredList data = TwoLines();
  EXPECT_EQ(Report(kDefaultReportProgram, data).Lines, (TLines{"A:(1, 2)-(3, 4):c", "B:(5, 6):"}));
  TBaseMeasuredList none;
  EXPECT_TRUE(Report(kDefaultReportProgram, none).Lines.empty());
  // More lines and points than the least pass count of a loop (which stays 100).
  TBaseMeasuredList big = MakeData(std::vector<TLineSpec>(150, {1, 0, "t", "", std::vector(120, std::pair(1.0, 2.0))}));
  const TReportResult r = Report(kDefaultReportProgram, big);
  ASSERT_EQ(r.Lines.size(), 150u);
  EXPECT_EQ(r.Lines[149].size(), 2 + 120 * 6 + 119 + 1);
  EXPECT_EQ(Report("n = 0\ndo\nn = n + 1\nloop\nprint(n)").Lines, TLines{"100"});
}

TEST(ProgrammableReport, HostFunctionsReadTheCollectedData) {
  const TReportResult r = Report(
      "print(DataCount, \" \", datacount(7), \" \",  DATACOUNT )\n"
      "print(PointCount(0), PointCount(1), PointsID(0), PointsID(\"1\"), WindowID(0), WindowID(1.2))\n"
      "print(Title(1), Comment(0), \"|\", Comment(1), \"|\", title, title(0, 99))\n"
      "print(X(0, 1), \" \", Y(0, 1), \" \", x(1, 0) + y(1, 0), \" \", TypeStringOf(X(0,0)))\n"
      "print(FileNameOfWindow(0))\nprint(1, \"a\", 2)\nprint\nprint()");
  EXPECT_EQ(r.Status, TReportStatus::Completed);
  EXPECT_EQ(r.Lines, (TLines{"2 2 2", "215210", "Bc||AA", "3 4 11 Double", "/img/a.bmp", "1a2", "", ""}));
}

TEST(ProgrammableReport, AHostFunctionCalledOutsideTheDataStopsTheRunOnItsLine) {
  for (const std::string call : {"PointCount(-1)", "PointsID(DataCount)", "WindowID(2)", "Title(-1)", "Comment(5)",
                                 "X(0)", "Y(0, 2)", "X(2, 0)", "FileNameOfWindow(1)", "FileNameOfWindow(2)"}) {
    const TReportResult r = Report("print(\"first\")\nv = " + call + "\nprint(\"never\")");
    EXPECT_EQ(r.Status, TReportStatus::RunError);
    EXPECT_EQ(r.Lines, RunError({"first"}, 2, "Invalid function call: " + call));
  }
  EXPECT_EQ(Report("\nv = Title(\"one\")").Lines, RunError({}, 2, "Convert error: Title"));
}

TEST(ProgrammableReport, AProgramThatDoesNotCompileGivesTwoLinesAndRunsNothing) {
  const TReportResult r = Report("print(\"x\")\nfor i = 0 to 3\nprint(i)\n");
  EXPECT_EQ(r.Status, TReportStatus::StructureError);
  EXPECT_EQ(r.Lines, (TLines{"Program Structure Error", "Mismatch on line 2."}));
}

TEST(ProgrammableReport, SortHoldsForTheRunAndTheListOrderComesBackAfterwards) {
  TBaseMeasuredList data = MakeData({{1, 0, "b", "", {{3, 0}}}, {2, 0, "C", "", {{1, 0}}}, {3, 0, "a", "", {{2, 0}}}});
  const auto order = [&] { return std::to_string(data.Item(0)->PointsID) + std::to_string(data.Item(2)->PointsID); };
  EXPECT_EQ(Report("sort(\"title\")\nprint(Title(0), Title(2))\nSORT(\"X\", \"true\")\nprint(Title(0))\nsort \nprint(1)",
                   data).Lines,
            RunError({"Cb", "b"}, 5, "Invalid operation: sort"));
  EXPECT_EQ(order(), "13");
  EXPECT_EQ(Report("sort(\"number\", true)\nsort(\"Title\", 1)\nprint(Title(0))", data, "TITLE").Lines, TLines{"C"});
  EXPECT_EQ(order(), "21");
  TBaseMeasuredList one = MakeData({{1, 0, "b", "", {{3, 0}}}});
  EXPECT_EQ(Report("sort(\"nokey\")\nprint(Title(0))", one).Lines, TLines{"b"});
}

TEST(ProgrammableReport, PrintingBeyondTheMemoryBudgetStopsTheRun) {
  TBaseMeasuredList data = TwoLines();
  TReportOptions options;
  options.Environment.MemoryBudget = 1000;  // 50 lines of 18 bytes and a line break
  const TReportResult r = Report("for i = 1 to 60\nprint(\"012345678901234567\")\nnext", data, "SERIAL", options);
  EXPECT_EQ(r.Lines, RunError(TLines(50, "012345678901234567"), 2, "The report is larger than 1000 bytes."));
}

TEST(ProgrammableReport, TheReportFileHoldsTheErrorLinesToo) {
  TempFolder folder;
  TBaseMeasuredList data = TwoLines();
  const TReportFile file = SaveReport(folder.Dir() + "work", "print(Title(0))\nprint(Title(9))", {data, kBenches});
  EXPECT_EQ(file.Path, folder.Dir() + "work/Report.txt");
  EXPECT_EQ(file.Status, TReportStatus::RunError);
  EXPECT_EQ(ReadFileBytes(file.Path), "A\r\n\r\nProgram Error on Line #2\r\nInvalid function call: Title(9)\r\n");
  EXPECT_EQ(data.Item(0)->PointsID, 2);
}
