// Page range texts of the page chooser.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/uPageRange.h"
#include "common/uError.h"

using namespace tracemill;

TEST(PageRange, ReadsPagesInTheOrderGivenAndRefusesTheRest) {
  const struct {
    const char* text;
    int pages;
    std::vector<int> read;  // empty: refused with a message holding refusal
    const char* refusal;
  } cases[] = {
      {"1-3,7", 30, {0, 1, 2, 6}, ""},
      {" 7 , 2 - 3 ", 7, {6, 1, 2}, ""},
      {"3,1-4,2", 5, {2, 0, 1, 3}, ""},  // a page named again keeps its first place
      {"0021", 21, {20}, ""},
      {" ", 10, {}, "No pages"},
      {"1,,2", 10, {}, "missing between two commas"},
      {"1-", 10, {}, "Not a page number or range: 1-"},
      {"1-2-3", 10, {}, "Not a page number or range: 1-2-3"},
      {"+2", 10, {}, "Not a page number or range: +2"},
      {"99999999999999999999", 10, {}, "Not a page number"},
      {"0", 10, {}, "no page 0 (pages 1 to 10)"},
      {"9-12", 10, {}, "no page 12"},
      {"5-3", 10, {}, "ends before it starts: 5-3"},
  };
  for (const auto& c : cases) {
    std::string message;
    std::vector<int> read;
    try {
      read = ParsePageRange(c.text, c.pages, false);
    } catch (const ConvertError& e) {
      message = e.what();
    }
    EXPECT_EQ(read, c.read) << c.text;
    EXPECT_THAT(message, ::testing::HasSubstr(c.refusal)) << c.text;
  }
  EXPECT_THROW(ParsePageRange("12", 10, true), ConvertError);
  EXPECT_EQ(ParsePageRange(AllPagesRange(25), 25, false).size(), 25u);
  EXPECT_EQ(AllPagesRange(1), "1");
  EXPECT_FALSE(AsksForPages(20));
  EXPECT_TRUE(AsksForPages(21));
}
