#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <sstream>

#include "CollectedFixture.h"
#include "common/uError.h"
#include "common/uFileIO.h"

using namespace tracemill;
using namespace tracemill::testing;
using TLines = std::vector<std::string>;

namespace {

const std::string kHeader = "Serial #,Title,Point #,X,Y,Comment\r\n";

std::string Csv(const TBaseMeasuredList& data, const std::string& fx = "", const std::string& fy = "") {
  std::ostringstream out;
  WriteCsv(out, data, fx, fy);
  return out.str();
}

}  // namespace

TEST(CsvExport, WritesTheListTextsQuotingOnlyFieldsWithASeparatorAQuoteOrALineBreak) {
  EXPECT_EQ(Csv(TBaseMeasuredList()), kHeader);
  const TBaseMeasuredList data = MakeData({{7, 0, "Fig. 2, left", "say \"hi\"", {{1.25, 20}, {3, 4}}},
                                           {3, 1, "a\nb", "c\rd", {{3, -0.5}}},
                                           {9, 1, "曲線", "", {}}});
  EXPECT_EQ(Csv(data), kHeader +
                           "7,\"Fig. 2, left\",2,1.25,20,\"say \"\"hi\"\"\"\r\n"
                           "3,\"a\nb\",1,3,-0.5,\"c\rd\"\r\n"
                           "9,曲線,0,,,\r\n");
  EXPECT_EQ(Csv(MakeData({{7, 0, "t", "", {{1.25, 2000}}}}), "0.00", "#,##0.0"), kHeader + "7,t,1,1.25,\"2,000.0\",\r\n");
}

TEST(CsvExport, AFailedWriteIsReportedAndLeavesTheOldFileWhole) {
  TempFolder folder;
  const std::string path = folder.Dir() + "new/sub/data.csv";
  SaveCsvFile(path, MakeData({{1, 0, "t", "c", {{1, 2}}}}), "", "");
  const std::string old = kHeader + "1,t,1,1,2,c\r\n";
  EXPECT_EQ(ReadFileBytes(path), old);
  // The disk refuses bytes beyond 4096.
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit saved = limit;
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  limit.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const TBaseMeasuredList big = MakeData(std::vector<TLineSpec>(2000, {1, 0, "title", "comment", {{1, 2}}}));
  EXPECT_THROW(SaveCsvFile(path, big, "", ""), FileError);
  EXPECT_THROW(SaveReportFile(folder.Dir() + "new/sub", "data.csv", TLines(2000, "line")), FileError);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(ReadFileBytes(path), old);
}

TEST(SimpleReport, ReplacesEveryTagInAnyLetterCaseInOrderAndKeepsOtherText) {
  const TBenchTable benches{{"chart.bmp", "/data/chart.bmp"}, {"b{Title}.png", std::nullopt}};
  const TBaseMeasuredList data =
      MakeData({{12, 0, "T1", "solid", {{1.5, 20}, {9, 9}}}, {40, 1, "T2", "{comment} and {X}", {{3, -4}}}});
  const auto lines = [&](const std::string& pattern) { return SimpleReportLines(data, benches, {pattern, "0.0", ""}); };
  EXPECT_EQ(SimpleReportLines(data, benches, {"{x}, {y}, {filename}, {comment}", "", ""}),
            (TLines{"1.5, 20, chart.bmp, solid", "3, -4, bT2.png, {comment} and {X}"}));
  EXPECT_EQ(lines("{POINT}/{Window}/{tItLe} {x}{X}{x} {unknown} {} {POINT"),
            (TLines{"12/0/T1 1.51.51.5 {unknown} {} {POINT", "40/1/T2 3.03.03.0 {unknown} {} {POINT"}));
  EXPECT_EQ(lines("no tags"), (TLines{"no tags", "no tags"}));
  // A value is searched for the later tags only.
  EXPECT_EQ(SimpleReportLines(MakeData({{1, 0, "{COMMENT}", "c", {{0, 0}}}}), benches, {"{title}:{comment}", "", ""}),
            TLines{"{COMMENT}:c"});
}

TEST(SimpleReport, IsWrittenToTheFolderOnlyWhenEveryLineNamesABenchEntry) {
  TempFolder folder;
  const TBenchTable benches{{"a.bmp", "/a.bmp"}};
  const std::string path = SaveSimpleReport(folder.Dir() + "work", MakeData({{1, 0, "t", "c", {{1, 2}}}}), benches,
                                            {"{x};{title}", "", ""});
  EXPECT_EQ(path, folder.Dir() + "work/SimpleReport.txt");
  EXPECT_EQ(ReadFileBytes(path), "1;t\r\n");
  for (const int window : {1, -1}) {
    const TBaseMeasuredList bad = MakeData({{1, 0, "t", "c", {{1, 2}}}, {2, window, "u", "", {{1, 2}}}});
    EXPECT_THROW(SaveSimpleReport(folder.Dir() + "work", bad, benches, {"{x}", "", ""}), InvalidOperation);
    EXPECT_EQ(ReadFileBytes(path), "1;t\r\n");
  }
  EXPECT_EQ(ReadFileBytes(SaveSimpleReport(folder.Dir() + "work", TBaseMeasuredList(), benches, {})), "");
}
