#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <sstream>
#include <streambuf>

#include "CollectedFixture.h"
#include "app/uExport.h"
#include "common/uError.h"
#include "common/uFileIO.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

// Takes the first `room` bytes, then refuses every further byte.
class TFullBuffer : public std::streambuf {
 public:
  explicit TFullBuffer(std::size_t room) : room_(room) {}

 protected:
  int_type overflow(int_type c) override {
    if (room_ == 0) return traits_type::eof();
    --room_;
    return traits_type::not_eof(c);
  }

 private:
  std::size_t room_;
};

std::string Csv(const TBaseMeasuredList& data, const std::string& fx = "", const std::string& fy = "") {
  std::ostringstream out;
  WriteCsv(out, data, fx, fy);
  return out.str();
}

std::vector<std::string> Simple(const std::string& pattern, const TBaseMeasuredList& data,
                                const TBenchTable& benches, const std::string& fx = "") {
  return SimpleReportLines(data, benches, {pattern, fx, ""});
}

class TRecordingShell : public TShellService {
 public:
  std::vector<std::string> Calls;
  bool OpenFile(const std::string& path, const std::string& anchor) override {
    Calls.push_back("open " + path + "#" + anchor);
    return false;
  }
  bool RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& folder) override {
    std::string call = "run " + program;
    for (const std::string& a : arguments) call += " [" + a + "]";
    Calls.push_back(call + " in [" + folder + "]");
    return false;
  }
};

}  // namespace

TEST(CsvExport, FieldsAreQuotedOnlyWhenTheyHoldASeparatorAQuoteOrALineBreak) {
  EXPECT_EQ(CsvField("plain text 1.5"), "plain text 1.5");
  EXPECT_EQ(CsvField(""), "");
  EXPECT_EQ(CsvField("Fig. 2, left"), "\"Fig. 2, left\"");
  EXPECT_EQ(CsvField("5\" disk"), "\"5\"\" disk\"");
  EXPECT_EQ(CsvField("a\nb"), "\"a\nb\"");
  EXPECT_EQ(CsvField("a\rb"), "\"a\rb\"");
  EXPECT_EQ(CsvField("曲線,右"), "\"曲線,右\"");
}

TEST(CsvExport, WritesTheHeaderAndTheListTextsOfEveryLineInOrder) {
  EXPECT_EQ(Csv(TBaseMeasuredList()), "Serial #,Title,Point #,X,Y,Comment\r\n");
  const TBaseMeasuredList data = MakeData({{7, 0, "Fig. 2, left", "say \"hi\"", {{1.25, 20}, {3, 4}}},
                                           {3, 1, "b", "", {{3, -0.5}}},
                                           {9, 1, "no points", "x", {}}});
  EXPECT_EQ(Csv(data),
            "Serial #,Title,Point #,X,Y,Comment\r\n"
            "7,\"Fig. 2, left\",2,1.25,20,\"say \"\"hi\"\"\"\r\n"
            "3,b,1,3,-0.5,\r\n"
            "9,no points,0,,,x\r\n");
  EXPECT_EQ(Csv(MakeData({{7, 0, "t", "", {{1.25, 2000}}}}), "0.00", "#,##0.0"),
            "Serial #,Title,Point #,X,Y,Comment\r\n7,t,1,1.25,\"2,000.0\",\r\n");
  EXPECT_EQ(ListRowTexts(*data.Item(1), "0.00", ""), (TListRowTexts{"3", "b", "1", "3.00", "-0.5", ""}));
}

TEST(CsvExport, AFailedWriteIsReportedAndLeavesTheOldFileWhole) {
  const TBaseMeasuredList data = MakeData(std::vector<TLineSpec>(2000, {1, 0, "title", "comment", {{1, 2}}}));
  for (const std::size_t room : {std::size_t(0), std::size_t(10), std::size_t(5000)}) {
    TFullBuffer buffer(room);
    std::ostream out(&buffer);
    EXPECT_THROW(WriteCsv(out, data, "", ""), FileError) << room;
  }
  TTempFolder folder;
  const std::string path = folder.Path() + "new/sub/data.csv";
  SaveCsvFile(path, MakeData({{1, 0, "t", "c", {{1, 2}}}}), "", "");
  EXPECT_EQ(ReadAll(path), "Serial #,Title,Point #,X,Y,Comment\r\n1,t,1,1,2,c\r\n");

  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(SaveCsvFile(path, data, "", ""), FileError);
  EXPECT_THROW(SaveReportFile(folder.Path() + "new/sub", "data.csv", std::vector<std::string>(2000, "line")),
               FileError);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(ReadAll(path), "Serial #,Title,Point #,X,Y,Comment\r\n1,t,1,1,2,c\r\n");
}

TEST(SimpleReport, ReplacesEveryTagInAnyLetterCaseAndKeepsOtherText) {
  const TBenchTable benches{{"chart.bmp", "/data/chart.bmp"}, {"b{Title}.png", std::nullopt}};
  const TBaseMeasuredList data =
      MakeData({{12, 0, "T1", "solid", {{1.5, 20}, {9, 9}}}, {40, 1, "T2", "{comment} and {X}", {{3, -4}}}});
  EXPECT_EQ(Simple("{x}, {y}, {filename}, {comment}", data, benches),
            (std::vector<std::string>{"1.5, 20, chart.bmp, solid", "3, -4, bT2.png, {comment} and {X}"}));
  EXPECT_EQ(Simple("{POINT}/{Window}/{tItLe} {x}{X}{x} {unknown} {} {POINT", data, benches, "0.0"),
            (std::vector<std::string>{"12/0/T1 1.51.51.5 {unknown} {} {POINT", "40/1/T2 3.03.03.0 {unknown} {} {POINT"}));
  // A value is searched for the later tags only ({Title} above was).
  EXPECT_EQ(Simple("{title}:{comment}", MakeData({{1, 0, "{COMMENT}", "c", {{0, 0}}}}), benches),
            std::vector<std::string>{"{COMMENT}:c"});
  EXPECT_EQ(Simple("no tags", data, benches), (std::vector<std::string>{"no tags", "no tags"}));
  EXPECT_TRUE(Simple("{x}", TBaseMeasuredList(), benches).empty());
}

TEST(SimpleReport, IsWrittenToTheFolderOnlyWhenEveryLineNamesAnEntry) {
  TTempFolder folder;
  const TBenchTable benches{{"a.bmp", "/a.bmp"}};
  const std::string path =
      SaveSimpleReport(folder.Path() + "work", MakeData({{1, 0, "t", "c", {{1, 2}}}}), benches, {"{x};{title}", "", ""});
  EXPECT_EQ(path, folder.Path() + "work/SimpleReport.txt");
  EXPECT_EQ(ReadAll(path), "1;t\r\n");
  for (const int window : {1, -1}) {
    const TBaseMeasuredList bad = MakeData({{1, 0, "t", "c", {{1, 2}}}, {2, window, "u", "", {{1, 2}}}});
    EXPECT_THROW(SaveSimpleReport(folder.Path() + "work", bad, benches, {"{x}", "", ""}), InvalidOperation);
    EXPECT_EQ(ReadAll(path), "1;t\r\n");
  }
  EXPECT_EQ(ReadAll(SaveSimpleReport(folder.Path() + "work", TBaseMeasuredList(), benches, {"{x}", "", ""})), "");
}

TEST(SimpleReport, OpensWithTheDesktopOrTheChosenApplication) {
  TRecordingShell shell;
  OpenReport(shell, "/work/my folder/SimpleReport.txt", "");
  OpenReport(shell, "/work/my folder/SimpleReport.txt", "gedit");
  EXPECT_EQ(shell.Calls, (std::vector<std::string>{"open /work/my folder/SimpleReport.txt#",
                                                   "run gedit [/work/my folder/SimpleReport.txt] in []"}));
}
