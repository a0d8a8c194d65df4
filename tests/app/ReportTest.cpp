#include <gtest/gtest.h>

#include "CollectedFixture.h"
#include "app/uReport.h"
#include "app/uReportProgram.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

using TLines = std::vector<std::string>;

const TBenchTable kBenches{{"a.bmp", "/img/a.bmp"}, {"gone.bmp", std::nullopt}};

// Two lines: A (serial 5, window 1) with (1, 2) and (3, 4), comment c; B
// (serial 2, window 0) with (5, 6).
TBaseMeasuredList TwoLines() {
  return MakeData({{5, 1, "A", "c", {{1, 2}, {3, 4}}}, {2, 0, "B", "", {{5, 6}}}});
}

TReportResult Report(std::string_view program, TBaseMeasuredList& data, const std::string& sortItem = "SERIAL",
                     bool reverse = false, const TReportOptions& options = {}) {
  return RunReport(program, {data, kBenches, sortItem, reverse}, options);
}

TReportResult Report(std::string_view program) {
  TBaseMeasuredList data = TwoLines();
  return Report(program, data, "BENCH");
}

TLines RunError(const TLines& printed, int line, const std::string& message) {
  TLines lines = printed;
  lines.insert(lines.end(), {"", "Program Error on Line #" + std::to_string(line), message});
  return lines;
}

}  // namespace

TEST(ProgrammableReport, TheDefaultProgramReportsEveryLineInTheListOrder) {
  TBaseMeasuredList data = TwoLines();
  TReportResult r = Report(kDefaultReportProgram, data, "BENCH");
  EXPECT_EQ(r.Status, TReportStatus::Completed);
  EXPECT_EQ(r.Lines, (TLines{"A:(1, 2)-(3, 4):c", "B:(5, 6):"}));
  TBaseMeasuredList none;
  EXPECT_TRUE(Report(kDefaultReportProgram, none).Lines.empty());
  // More lines and points than the loops' least pass count.
  std::vector<TLineSpec> many(150, {1, 0, "t", "", std::vector<std::pair<double, double>>(120, {1, 2})});
  TBaseMeasuredList big = MakeData(many);
  r = Report(kDefaultReportProgram, big);
  ASSERT_EQ(r.Lines.size(), 150u);
  EXPECT_EQ(r.Lines[149].size(), 2 + 120 * 6 + 119 + 1);
  EXPECT_EQ(Report("n = 0\ndo\nn = n + 1\nloop\nprint(n)").Lines, TLines{"100"});
}

TEST(ProgrammableReport, HostFunctionsReadTheCollectedData) {
  EXPECT_EQ(Report("print(DataCount, \" \", datacount(7), \" \",  DATACOUNT )\n"
                   "print(PointCount(0), PointCount(1), PointsID(0), PointsID(\"1\"), WindowID(0), WindowID(1.2))\n"
                   "print(Title(1), Comment(0), \"|\", Comment(1), \"|\", title, title(0, 99))\n"
                   "print(X(0, 1), \" \", Y(0, 1), \" \", x(1, 0) + y(1, 0), \" \", TypeStringOf(X(0,0)))\n"
                   "print(FileNameOfWindow(0))\n"
                   "print(1, \"a\", 2)\n"
                   "print\n"
                   "print()")
                .Lines,
            (TLines{"2 2 2", "215210", "Bc||AA", "3 4 11 Double", "/img/a.bmp", "1a2", "", ""}));
}

TEST(ProgrammableReport, AHostFunctionCalledOutsideTheDataStopsTheRunOnItsLine) {
  const std::string before = "print(\"first\")\n";
  const std::pair<std::string, std::string> calls[] = {
      {"PointCount(-1)", "Invalid function call: PointCount(-1)"},
      {"PointsID(DataCount)", "Invalid function call: PointsID(DataCount)"},
      {"WindowID(2)", "Invalid function call: WindowID(2)"},
      {"Title(-1)", "Invalid function call: Title(-1)"},
      {"Comment(5)", "Invalid function call: Comment(5)"},
      {"X(0)", "Invalid function call: X(0)"},
      {"Y(0, 2)", "Invalid function call: Y(0, 2)"},
      {"X(2, 0)", "Invalid function call: X(2, 0)"},
      {"FileNameOfWindow(1)", "Invalid function call: FileNameOfWindow(1)"},
      {"FileNameOfWindow(2)", "Invalid function call: FileNameOfWindow(2)"},
      {"Title(\"one\")", "Convert error: Title"},
  };
  for (const auto& [call, message] : calls) {
    const TReportResult r = Report(before + "v = " + call + "\nprint(\"never\")");
    EXPECT_EQ(r.Status, TReportStatus::RunError) << call;
    EXPECT_EQ(r.Lines, RunError({"first"}, 2, message)) << call;
  }
}

TEST(ProgrammableReport, AProgramThatDoesNotCompileGivesTwoLinesAndRunsNothing) {
  const TReportResult r = Report("print(\"x\")\nfor i = 0 to 3\nprint(i)\n");
  EXPECT_EQ(r.Status, TReportStatus::StructureError);
  EXPECT_EQ(r.Lines, (TLines{"Program Structure Error", "Mismatch on line 2."}));
}

TEST(ProgrammableReport, SortHoldsForTheRunAndTheListOrderComesBackAfterwards) {
  TBaseMeasuredList data = MakeData({{1, 0, "b", "", {{3, 0}}}, {2, 0, "C", "", {{1, 0}}}, {3, 0, "a", "", {{2, 0}}}});
  const auto order = [&] {
    std::string ids;
    for (int i = 0; i < data.Count(); ++i) ids += std::to_string(data.Item(i)->PointsID);
    return ids;
  };
  EXPECT_EQ(Report("sort(\"title\")\nprint(Title(0), Title(2))\nSORT(\"X\", \"true\")\nprint(Title(0))\n"
                   "sort \nprint(Title(0))",
                   data)
                .Lines,
            RunError({"Cb", "b"}, 5, "Invalid operation: sort"));
  EXPECT_EQ(order(), "123");
  EXPECT_EQ(Report("sort(\"number\", true)\nsort(\"Title\", 1)\nprint(Title(0))", data, "TITLE", true).Lines,
            TLines{"C"});
  EXPECT_EQ(order(), "132");
  TBaseMeasuredList one = MakeData({{1, 0, "b", "", {{3, 0}}}});
  EXPECT_EQ(Report("sort(\"nokey\")\nprint(Title(0))", one).Lines, TLines{"b"});
}

TEST(ProgrammableReport, PrintingBeyondTheMemoryBudgetStopsTheRun) {
  TBaseMeasuredList data = TwoLines();
  TReportOptions options;
  options.Environment.MemoryBudget = 1000;
  const TReportResult r = Report("for i = 1 to 60\nprint(\"012345678901234567\")\nnext", data, "SERIAL", false, options);
  EXPECT_EQ(r.Status, TReportStatus::RunError);
  ASSERT_EQ(r.Lines.size(), 50u + 3u);
  EXPECT_EQ(r.Lines[51], "Program Error on Line #2");
  EXPECT_EQ(r.Lines[52], "The report is larger than 1000 bytes.");
}

TEST(ProgrammableReport, TheReportFileHoldsTheErrorLinesToo) {
  TTempFolder folder;
  TBaseMeasuredList data = TwoLines();
  const TReportFile file = SaveReport(folder.Path() + "work", "print(Title(0))\nprint(Title(9))", {data, kBenches});
  EXPECT_EQ(file.Path, folder.Path() + "work/Report.txt");
  EXPECT_EQ(file.Status, TReportStatus::RunError);
  EXPECT_EQ(ReadAll(file.Path), "A\r\n\r\nProgram Error on Line #2\r\nInvalid function call: Title(9)\r\n");
  EXPECT_EQ(data.Item(0)->PointsID, 2);
}
