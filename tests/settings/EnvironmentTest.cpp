#include <gtest/gtest.h>

#include "settings/uEnvironment.h"

using namespace tracemill;

TEST(Language, CommandLineSwitchesDecideBeforeTheSystemLanguage) {
  EXPECT_FALSE(DecideJapanese({"tracemill", "/english"}, nullptr, nullptr, "ja_JP.UTF-8"));
  EXPECT_TRUE(DecideJapanese({"tracemill", "/Japanese"}, nullptr, nullptr, "en_US.UTF-8"));
  EXPECT_TRUE(DecideJapanese({"tracemill", "/ENGLISH", "chart.bmp", "/JAPANESE"}, nullptr, nullptr, "C"));
  // A folder named like a switch inside a file path is not a switch.
  EXPECT_TRUE(DecideJapanese({"tracemill", "/home/u/english/chart.bmp"}, nullptr, nullptr, "ja_JP"));
  EXPECT_TRUE(IsLanguageSwitch("/japanese"));
  EXPECT_FALSE(IsLanguageSwitch("/data/english"));
}

TEST(Language, SystemLanguageIsTheFirstSetLocaleVariable) {
  EXPECT_TRUE(DecideJapanese({}, "ja_JP.UTF-8", "en_US", "en_US"));
  EXPECT_FALSE(DecideJapanese({}, "C", "ja_JP", "ja_JP"));
  EXPECT_TRUE(DecideJapanese({}, "", "ja", "en_US"));
  EXPECT_TRUE(DecideJapanese({}, nullptr, nullptr, "ja_JP.eucJP"));
  EXPECT_FALSE(DecideJapanese({}, nullptr, nullptr, nullptr));
  EXPECT_FALSE(DecideJapanese({}, nullptr, "", "jp"));
}

TEST(Language, DecidedOnceUntilReset) {
  ResetLanguage();
  SetCommandLine({"tracemill", "/ENGLISH"});
  EXPECT_FALSE(IsJapanese());
  SetCommandLine({"tracemill", "/JAPANESE"});
  EXPECT_FALSE(IsJapanese());  // fixed for the run
  ResetLanguage();
  const char* argv[] = {"tracemill", "/japanese"};
  SetCommandLine(2, argv);
  EXPECT_TRUE(IsJapanese());
  SetJapanese(false);
  EXPECT_FALSE(IsJapanese());
  ResetLanguage();
}
