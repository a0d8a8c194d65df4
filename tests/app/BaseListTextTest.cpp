// Texts the main window hands to its dialogs and to the clipboard.
#include <gtest/gtest.h>

#include "app/uOpenFilter.h"
#include "app/uTabText.h"

using namespace tracemill;

TEST(OpenFilter, AviEntryGoesBeforeTheLastPairOnce) {
  const std::string once = WithAviFilter(kInitialImageFilter);
  EXPECT_EQ(once, "Image Files (*.bmp, *.jpg)|*.bmp;*.jpg|AVI Files(*.avi)|*.avi|All Files (*.*)|*.*");
  EXPECT_EQ(WithAviFilter(once), once);  // a second opening adds nothing
  // Longer filters: before the last pair; an AVI pattern in any case stops it.
  EXPECT_EQ(WithAviFilter("A|*.a|B|*.b|All|*.*"), "A|*.a|B|*.b|AVI Files(*.avi)|*.avi|All|*.*");
  EXPECT_EQ(WithAviFilter("Video|*.AVI|All|*.*"), "Video|*.AVI|All|*.*");
  // A part that only contains the pattern among others is not the AVI entry.
  EXPECT_EQ(WithAviFilter("V|*.avi;*.mp4|All|*.*"), "V|*.avi;*.mp4|AVI Files(*.avi)|*.avi|All|*.*");
  // Fewer than two parts: unchanged.
  EXPECT_EQ(WithAviFilter(""), "");
  EXPECT_EQ(WithAviFilter("*.bmp"), "*.bmp");
  EXPECT_EQ(WithAviFilter("|"), "AVI Files(*.avi)|*.avi||");
}

TEST(OpenFilter, PdfEntryStandsBesideTheAviEntryOnce) {
  const std::string once = WithVideoAndPdfFilters(kInitialImageFilter);
  EXPECT_EQ(once, "Image Files (*.bmp, *.jpg)|*.bmp;*.jpg|AVI Files(*.avi)|*.avi|PDF Files(*.pdf)|*.pdf|"
                  "All Files (*.*)|*.*");
  EXPECT_EQ(WithVideoAndPdfFilters(once), once);  // a second opening adds nothing
  EXPECT_EQ(WithPdfFilter("V|*.Avi|A|*.a|All|*.*"), "V|*.Avi|PDF Files(*.pdf)|*.pdf|A|*.a|All|*.*");
  EXPECT_EQ(WithPdfFilter("|x|All|*.*"), "|x|PDF Files(*.pdf)|*.pdf|All|*.*");
  EXPECT_EQ(WithPdfFilter("Doc|*.PDF|All|*.*"), "Doc|*.PDF|All|*.*");  // a plug-in's own entry
  EXPECT_EQ(WithPdfFilter("*.bmp"), "*.bmp");
}

TEST(TabText, RowsBecomeLinesOfTabSeparatedFields) {
  EXPECT_EQ(TabSeparatedText({}), "");
  EXPECT_EQ(TabSeparatedText({{"Serial #", "Title", "X"}, {"0", "a.bmp", "1.5"}, {"1", "", ""}}),
            "Serial #\tTitle\tX\n0\ta.bmp\t1.5\n1\t\t\n");
  // Fields that would split a row or a line are quoted, quotes doubled.
  EXPECT_EQ(TabSeparatedText({{"a\tb", "two\nlines", "say \"hi\"", "cr\r", "日本語"}}),
            "\"a\tb\"\t\"two\nlines\"\t\"say \"\"hi\"\"\"\t\"cr\r\"\t日本語\n");
  EXPECT_EQ(TabField("plain, with comma"), "plain, with comma");
}
