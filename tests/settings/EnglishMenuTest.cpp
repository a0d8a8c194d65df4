#include <gtest/gtest.h>

#include "settings/uEnglishMenu.h"

using namespace tracemill;

TEST(EnglishMenu, BilingualCaptionsBecomeEnglish) {
  EXPECT_EQ(EnglishMenuCaption("画像を開く (&Open Image) ..."), "&Open Image ...");
  EXPECT_EQ(EnglishMenuCaption("設定 (&Option) ..."), "&Option ...");
  EXPECT_EQ(EnglishMenuCaption("保存(&Save)..."), "&Save ...");
  EXPECT_EQ(EnglishMenuCaption("終了 (&X)"), "&X");
  EXPECT_EQ(EnglishMenuCaption("表示 (&View"), "&View");
}

TEST(EnglishMenu, LoneAcceleratorsBecomeMenuNames) {
  EXPECT_EQ(EnglishMenuCaption("ファイル(&F)"), "&File");
  EXPECT_EQ(EnglishMenuCaption("編集(&E)"), "&Edit");
  EXPECT_EQ(EnglishMenuCaption("検索(&S)"), "&Search");
  EXPECT_EQ(EnglishMenuCaption("表示(&V)"), "&View");
  EXPECT_EQ(EnglishMenuCaption("ツール(&T)"), "&Tool");
  EXPECT_EQ(EnglishMenuCaption("ウィンドウ(&W)"), "&Window");
  EXPECT_EQ(EnglishMenuCaption("オプション(&O)"), "&Option");
  EXPECT_EQ(EnglishMenuCaption("ヘルプ(&H)"), "&Help");
  EXPECT_EQ(EnglishMenuCaption("設定(&O) ..."), "&Option ...");
  EXPECT_EQ(EnglishMenuCaption("(&f)"), "&f");  // only the table's exact texts
}

TEST(EnglishMenu, CaptionsWithoutParenthesesStay) {
  EXPECT_EQ(EnglishMenuCaption("-"), "-");
  EXPECT_EQ(EnglishMenuCaption("削除"), "削除");
  EXPECT_EQ(EnglishMenuCaption(""), "");
  EXPECT_EQ(EnglishMenuCaption("開く   ..."), "開く ...");
}
