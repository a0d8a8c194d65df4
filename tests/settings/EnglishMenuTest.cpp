#include <gtest/gtest.h>

#include <utility>

#include "settings/uEnglishMenu.h"

using namespace tracemill;

TEST(EnglishMenu, BilingualCaptionsBecomeEnglish) {
  // The text in the parentheses, with a trailing "..." as " ..."; a lone accelerator of a
  // top-level menu (and only that exact text) becomes the menu's name; no parentheses, no change.
  const std::pair<const char*, const char*> cases[] = {
      {"画像を開く (&Open Image) ...", "&Open Image ..."}, {"保存(&Save)...", "&Save ..."},
      {"終了 (&X)", "&X"}, {"表示 (&View", "&View"}, {"(&f)", "&f"},
      {"ファイル(&F)", "&File"}, {"ヘルプ(&H)", "&Help"}, {"設定(&O) ...", "&Option ..."},
      {"削除", "削除"}, {"", ""}, {"開く   ...", "開く ..."}};
  for (const auto& [caption, english] : cases) EXPECT_EQ(EnglishMenuCaption(caption), english) << caption;
}
