#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "WorkspaceSupport.h"
#include "app/uStateFile.h"
#include "common/uError.h"
#include "common/uFilename.h"
#include "common/uStrC.h"
#include "settings/uAppliInfo.h"

using namespace tracemill;
using namespace tracemill::testing;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string Header() { return Appli().Name + " Setting File"; }

std::string Saved(TWorkspace& w) {
  std::ostringstream out;
  w.SaveState(out);
  return out.str();
}

void Load(TWorkspace& w, const std::string& text) {
  std::istringstream in(text);
  w.LoadState(in, "test.trm");
}

std::vector<std::int32_t> Serials(const TWorkspace& w) {
  std::vector<std::int32_t> s;
  for (int i = 0; i < w.Data().Count(); ++i) s.push_back(w.Data().Item(i)->PointsID);
  return s;
}

// A stream that takes n bytes and then fails.
class FailingBuffer : public std::streambuf {
 public:
  explicit FailingBuffer(std::size_t n) : left_(n) {}

 protected:
  int_type overflow(int_type c) override {
    if (left_ == 0) return traits_type::eof();
    --left_;
    return c;
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    const auto taken = std::min<std::streamsize>(n, static_cast<std::streamsize>(left_));
    left_ -= static_cast<std::size_t>(taken);
    return taken;
  }

 private:
  std::size_t left_;
};

}  // namespace

// An empty working state is six lines and reads back as itself.
TEST(StateFile, WritesAndReadsAnEmptyState) {
  WorkspaceFixture f;
  const std::string text = Saved(f.w);
  EXPECT_EQ(text, Header() + "\r\n\r\n[Data]\r\nSortItem=SERIAL\r\nSortReverse=False\r\nLastPointsID=-1\r\n");
  Load(f.w, text);
  EXPECT_EQ(Saved(f.w), text);
  EXPECT_EQ(f.w.BenchCount(), 0);
}

// A file written by hand in the documented form: entries with and without
// benches, section numbers that do not count, keys in any letter case.
TEST(StateFile, ReadsAHandWrittenFile) {
  WorkspaceFixture f;
  const std::string chart = f.folder / "chart.bmp";
  WritePicture(chart, 40, 30);
  const std::string text = Header() +
                           "\n"
                           "ignored line\n"
                           "[Window7]\n"
                           "Filename=" + chart + "\n"
                           "Title=Fig. 1\n"
                           "Measured[0]=3,(1,2)/(40,30)=(1.5,20),\"c\",\"Fig. 1\"\n"
                           "\n"
                           "[Window]\n"
                           "\n"
                           "[window2]\n"
                           "filename=/gone/old.bmp\n"
                           "[Other]\n"
                           "Data[0]=9,9,(1,1),\"\",\"\"\n"
                           "[data]\n"
                           "sortitem=TITLE\n"
                           "SORTREVERSE=true\n"
                           "LastPointsID=5\n"
                           "unknown=1\n"
                           "no equals sign\n"
                           "\n"
                           "Data[]=3,0,(1.5,20)-(2.25,31.5),\"solid\",\"Fig. 1\"\n"
                           "data[0]=5,2,(-1E-7,2.5E+20),\"x\",\"A\"\n";
  Load(f.w, text);
  ASSERT_EQ(f.w.BenchCount(), 3);
  ASSERT_NE(f.w.Bench(0), nullptr);
  EXPECT_EQ(f.w.Bench(0)->TitleText(), "Fig. 1");
  EXPECT_EQ(f.w.Bench(0)->Data().Measured.Count(), 1);
  EXPECT_EQ(f.w.Entry(0)->FileName, "chart.bmp");
  EXPECT_EQ(f.w.Bench(1), nullptr);
  EXPECT_EQ(f.w.Entry(1)->FileName, "");
  EXPECT_EQ(f.w.Bench(2), nullptr);
  EXPECT_EQ(f.w.Entry(2)->FileName, "/gone/old.bmp");
  EXPECT_EQ(f.w.SortItem(), "TITLE");
  EXPECT_TRUE(f.w.SortReverse());
  EXPECT_EQ(f.w.LastPointsID(), 5);
  EXPECT_THAT(Serials(f.w), ElementsAre(3, 5));  // by title, descending
  const TBaseMeasuredPoints* line = f.w.Data().Item(0);
  EXPECT_EQ(line->WindowID, 0);
  EXPECT_EQ(line->Count(), 2);
  EXPECT_EQ(line->Item(1)->X, 2.25);
  EXPECT_EQ(line->Item(1)->Y, 31.5);
  EXPECT_EQ(line->Comment, "solid");
  EXPECT_EQ(line->Title, "Fig. 1");
  EXPECT_EQ(f.w.Data().Item(1)->Item(0)->X, -1E-7);
  EXPECT_TRUE(f.view.Matches(f.w));

  // Written back: the empty entries keep their places, the records their form.
  const std::string saved = Saved(f.w);
  EXPECT_THAT(saved, HasSubstr("\r\n\r\n[Window1]\r\n\r\n[Window2]\r\n\r\n[Data]\r\nSortItem=TITLE\r\n"
                               "SortReverse=True\r\nLastPointsID=5\r\n"
                               "Data[0]=3,0,(1.5,20)-(2.25,31.5),\"solid\",\"Fig. 1\"\r\n"
                               "Data[1]=5,2,(-1E-7,2.5E20),\"x\",\"A\"\r\n"));
  EXPECT_EQ(saved.rfind(Header() + "\r\n\r\n[Window0]\r\nFilename=" + chart + "\r\n", 0), 0u);
  // The next new line gets LastPointsID + 1.
  TMeasuredPoints sent;
  sent.Add(std::make_unique<TMeasuredPoint>());
  std::int32_t id = -1;
  f.w.BenchPoint(*f.w.Bench(0), sent, kPointKind, id);
  EXPECT_EQ(id, 6);
}

// Line records: the documented example, quotes inside texts, odd values.
TEST(StateFile, ConvertsLineRecords) {
  TBaseMeasuredPoints line;
  line.PointsID = 3;
  line.AddPoint(1.5, 20);
  line.AddPoint(2.25, 31.5);
  line.Comment = "solid";
  line.Title = "Fig. 1";
  EXPECT_EQ(LineRecordText(line), "3,0,(1.5,20)-(2.25,31.5),\"solid\",\"Fig. 1\"");

  line.Comment = "say \"hi\", twice";
  line.Title = "a \"b\"";
  line.Item(0)->X = 1e300 * 1e300;
  line.Item(1)->Y = 0.1 + 0.2;
  const auto back = ParseLineRecord(LineRecordText(line));
  EXPECT_EQ(back->Comment, line.Comment);
  EXPECT_EQ(back->Title, line.Title);
  EXPECT_TRUE(std::isinf(back->Item(0)->X));
  EXPECT_NEAR(back->Item(1)->Y, 0.3, 1e-15);

  // No title part: the comment runs to its quote.
  EXPECT_EQ(ParseLineRecord("1,0,(1,2),\"only\"")->Comment, "only");
  // A line without points keeps its texts.
  EXPECT_EQ(ParseLineRecord("1,0,,\"c\",\"t\"")->Title, "t");
  // Damaged records never split a character: "図" stands where quotes belong.
  const auto odd = ParseLineRecord("1,0,(1,2)図図c\",\"t図");
  EXPECT_EQ(odd->Comment, "c");
  EXPECT_EQ(odd->Title, "t");
  for (const char* bad : {"", "1", "x,0,(1,2),\"\",\"\"", "1,0,(1 2),\"\",\"\"", "1,0,(1,2", "1,0,(a,2),\"\",\"\"",
                          "99999999999,0,(1,2),\"\",\"\""})
    EXPECT_THROW(ParseLineRecord(bad), ConvertError) << bad;
}

// What is not a state file changes nothing and says so; a malformed number
// ends the loading at its line and keeps what was read; damaged files never
// crash.
TEST(StateFile, RefusesOrStopsOnBadFiles) {
  WorkspaceFixture f;
  const std::string chart = f.folder / "chart.bmp";
  WritePicture(chart, 40, 30);
  f.w.OpenImageFile(chart, false);
  TMeasuredPoints sent;
  sent.Add(std::make_unique<TMeasuredPoint>());
  std::int32_t id = -1;
  f.w.BenchPoint(*f.w.Bench(0), sent, kPointKind, id);
  for (const std::string& bad : std::vector<std::string>{"", "Some Other File\r\n[Data]\r\n", " " + Header() + "\r\n",
                                std::string("\x89PNG\r\n\x1a\n", 8)}) {
    try {
      Load(f.w, bad);
      ADD_FAILURE() << "loaded: " << bad;
    } catch (const FileError& e) {
      EXPECT_THAT(e.what(), HasSubstr("test.trm is not a state file"));
    }
    EXPECT_EQ(f.w.BenchCount(), 1);
    EXPECT_EQ(f.w.RowCount(), 1);
  }
  EXPECT_THROW(f.w.LoadState(f.folder / "missing.trm"), FileError);
  EXPECT_EQ(f.w.BenchCount(), 1);

  const std::string good = Header() + "\r\n\r\n[Window0]\r\n\r\n[Data]\r\nLastPointsID=4\r\n"
                                      "Data[0]=1,0,(1,2),\"a\",\"b\"\r\n"
                                      "Data[1]=2,0,(1,2),\"a\",\"b\"\r\n";
  try {
    Load(f.w, good + "Data[2]=3,0,(1,2.5.1),\"a\",\"b\"\r\nData[3]=4,0,(1,2),\"a\",\"b\"\r\n");
    ADD_FAILURE();
  } catch (const ConvertError& e) {
    EXPECT_THAT(e.what(), HasSubstr("test.trm, line 9: "));
  }
  EXPECT_THAT(Serials(f.w), ElementsAre(1, 2));
  EXPECT_EQ(f.w.BenchCount(), 1);
  EXPECT_TRUE(f.view.Matches(f.w));

  EXPECT_THROW(Load(f.w, good + "LastPointsID=99999999999\r\n"), ConvertError);
  EXPECT_THROW(Load(f.w, good.substr(0, good.size() - 12)), ConvertError);  // cut inside a record
  EXPECT_EQ(f.w.RowCount(), 1);
  // Huge numbers in brackets allocate nothing; a bench section that is damaged stops there.
  Load(f.w, Header() + "\r\n\r\n[Window99999999999999]\r\n\r\n[Data]\r\nData[99999999999999]=1,0,(1,2),\"\",\"\"\r\n");
  EXPECT_EQ(f.w.BenchCount(), 1);
  EXPECT_EQ(f.w.RowCount(), 1);
  EXPECT_THROW(Load(f.w, Header() + "\r\n\r\n[Window0]\r\nFilename=" + chart + "\r\nScaleIndex=x\r\n\r\n[Data]\r\n"
                                    "Data[0]=1,0,(1,2),\"\",\"\"\r\n"),
               ConvertError);
  EXPECT_EQ(f.w.BenchCount(), 1);
  EXPECT_EQ(f.w.RowCount(), 0);
}

// A sort item that is not a key is read as SERIAL, so the list can still be
// sorted; lines numbered above LastPointsID push the counter on.
TEST(StateFile, KeepsTheListUsableAfterOddDataValues) {
  WorkspaceFixture f;
  Load(f.w, Header() + "\r\n\r\n[Data]\r\nSortItem=Colour\r\nLastPointsID=1\r\n"
                       "Data[0]=7,0,(1,2),\"\",\"b\"\r\nData[1]=3,0,(1,2),\"\",\"a\"\r\n");
  EXPECT_EQ(f.w.SortItem(), "SERIAL");
  EXPECT_THAT(Serials(f.w), ElementsAre(3, 7));
  EXPECT_EQ(f.w.LastPointsID(), 7);
  f.w.ColumnClick(1, {});
  EXPECT_THAT(Serials(f.w), ElementsAre(3, 7));
}

// Older files in Shift-JIS load as UTF-8.
TEST(StateFile, ReadsShiftJisFiles) {
  WorkspaceFixture f;
  // "図１" and "実線" in CP932.
  Load(f.w, Header() + "\r\n\r\n[Data]\r\nData[0]=0,0,(1,2),\"\x8e\xc0\x90\xfc\",\"\x90\x7d\x82\x50\"\r\n");
  ASSERT_EQ(f.w.RowCount(), 1);
  EXPECT_EQ(f.w.Data().Item(0)->Title, "図１");
  EXPECT_EQ(f.w.Data().Item(0)->Comment, "実線");
}

// Writing goes to a new folder, never leaves half a file, and fails loudly.
TEST(StateFile, WritesSafely) {
  WorkspaceFixture f;
  const std::string path = f.folder / "a/b/state.trm";
  f.w.SaveState(path);
  EXPECT_TRUE(FileExists(path));

  FailingBuffer buffer(10);
  std::ostream out(&buffer);
  EXPECT_THROW(f.w.SaveState(out), FileError);

  WriteFile(f.folder / "a/file", "x");
  EXPECT_THROW(f.w.SaveState(f.folder / "a/file/state.trm"), FileError);
  EXPECT_EQ(f.w.SaveResume(), f.folder / "work/Resume.trm");
  TWorkspace other(f.messages, f.store);
  other.LoadState(f.folder / "work/Resume.trm");
  EXPECT_EQ(other.LastPointsID(), -1);
}
