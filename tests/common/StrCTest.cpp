#include <gtest/gtest.h>

#include "common/uStrC.h"

using namespace tracemill;

TEST(StrC, CountsCharactersNotBytes) {
  EXPECT_EQ(CharLength(""), 0);
  EXPECT_EQ(CharLength("abc"), 3);
  EXPECT_EQ(CharLength("基準点A"), 4);
  EXPECT_EQ(CharLength("\xff\xfe" "a"), 3);        // stray bytes count one each
  EXPECT_EQ(CharLength("\xe5\x9f"), 2);            // truncated sequence
  EXPECT_EQ(CharLength("\xc0\xaf"), 2);            // overlong form is not one character
}

TEST(StrC, PositionsAreOneBasedCharacterIndices) {
  EXPECT_EQ(CharPos("\\", "表\\x"), 2);
  EXPECT_EQ(CharPos("x", "表\\x"), 3);
  EXPECT_EQ(CharPos("z", "abc"), 0);
  EXPECT_EQ(CharPos("", "abc"), 0);
  // A match inside a multi-byte character is not a match.
  EXPECT_EQ(CharPos("\x9f", "基"), 0);
}

TEST(StrC, CopyClampsItsRange) {
  EXPECT_EQ(CharCopy("基準点ABC", 2, 3), "準点A");
  EXPECT_EQ(CharCopy("abc", 0, 2), "ab");
  EXPECT_EQ(CharCopy("abc", 3, 10), "c");
  EXPECT_EQ(CharCopy("abc", 4, 1), "");
  EXPECT_EQ(CharCopy("abc", 1, -1), "");
}

TEST(StrC, TrimAndAsciiCase) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x "), "  x");
  EXPECT_EQ(UpperCaseAscii("abcÄé表z"), "ABCÄé表Z");
  EXPECT_EQ(LowerCaseAscii("ABC表"), "abc表");
  EXPECT_TRUE(SameTextAscii("Bench\\Default", "BENCH\\default"));
  EXPECT_FALSE(SameTextAscii("a", "ab"));
}

TEST(StrC, FullWidthNumeralsForJapaneseTexts) {
  EXPECT_EQ(FullWidthNumerals("-120 点"), "－１２０ 点");
}

TEST(StrC, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8("plain 基準 😀"));
  EXPECT_FALSE(IsValidUtf8("\x8a\xee"));           // Shift-JIS bytes
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));       // surrogate
  EXPECT_FALSE(IsValidUtf8("\xf4\x90\x80\x80"));   // beyond U+10FFFF
}
