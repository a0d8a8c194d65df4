// Page range texts of the page chooser.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/uPageRange.h"
#include "common/uError.h"

using namespace tracemill;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string Refusal(std::string_view text, int pageCount, bool japanese = false) {
  try {
    ParsePageRange(text, pageCount, japanese);
  } catch (const ConvertError& e) {
    return e.what();
  }
  return "(accepted)";
}

}  // namespace

TEST(PageRange, ReadsPagesAndRangesInTheOrderGiven) {
  EXPECT_THAT(ParsePageRange("1-3,7", 30, false), ElementsAre(0, 1, 2, 6));
  EXPECT_THAT(ParsePageRange(" 7 , 2 - 3 ", 7, false), ElementsAre(6, 1, 2));
  EXPECT_THAT(ParsePageRange("4-4", 4, false), ElementsAre(3));
  // A page named again keeps its first place.
  EXPECT_THAT(ParsePageRange("3,1-4,2", 5, false), ElementsAre(2, 0, 1, 3));
  EXPECT_THAT(ParsePageRange("0021", 21, false), ElementsAre(20));
  EXPECT_EQ(ParsePageRange(AllPagesRange(25), 25, false).size(), 25u);
  EXPECT_EQ(AllPagesRange(25), "1-25");
  EXPECT_EQ(AllPagesRange(1), "1");
  EXPECT_FALSE(AsksForPages(20));
  EXPECT_TRUE(AsksForPages(21));
}

TEST(PageRange, RefusesWhatIsNotAPageOfTheDocument) {
  const struct {
    const char* text;
    const char* part;
  } cases[] = {
      {"", "No pages"},
      {"  ", "No pages"},
      {"1,,2", "missing between two commas"},
      {"2,", "missing between two commas"},
      {"x", "Not a page number or range: x"},
      {"1-", "Not a page number or range: 1-"},
      {"-3", "Not a page number or range: -3"},
      {"1-2-3", "Not a page number or range: 1-2-3"},
      {"+2", "Not a page number or range: +2"},
      {"1.5", "Not a page number or range: 1.5"},
      {"0", "no page 0 (pages 1 to 10)"},
      {"11", "no page 11 (pages 1 to 10)"},
      {"9-12", "no page 12"},
      {"99999999999999999999", "Not a page number or range"},
      {"5-3", "ends before it starts: 5-3"},
  };
  for (const auto& c : cases) EXPECT_THAT(Refusal(c.text, 10), HasSubstr(c.part)) << c.text;
  EXPECT_THAT(Refusal("12", 10, true), HasSubstr("文書にないページです: 12"));
  EXPECT_THAT(Refusal("1", 0), HasSubstr("no page 1"));
}
