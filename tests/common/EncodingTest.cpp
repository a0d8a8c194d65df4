#include <gtest/gtest.h>

#include "common/uEncoding.h"

using namespace tracemill;

TEST(Encoding, LegacyShiftJisBecomesUtf8) {
  // "表示" in Shift-JIS: 0x95 0x5C is a double-byte character whose trail byte is '\'.
  EXPECT_EQ(DecodeLegacyText("\x95\x5c\x8e\xa6"), "表示");
  EXPECT_EQ(DecodeLegacyText("ascii only"), "ascii only");
  EXPECT_EQ(DecodeLegacyText("\xef\xbb\xbf" "基準"), "基準");
  EXPECT_EQ(DecodeLegacyText("基準"), "基準");
  // A broken lead byte at the end does not lose what came before.
  const std::string broken = DecodeLegacyText("ab\x81");
  EXPECT_EQ(broken.substr(0, 2), "ab");
  EXPECT_GT(broken.size(), 2u);
}
