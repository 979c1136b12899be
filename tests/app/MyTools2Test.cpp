#include "app/MyTools2.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

#include "shell/BalloonTip.h"

TEST(BalloonTips, TipsStayWithTheirOwnFormAndBadIconsAndLongTitlesAreMended) {
  QWidget Main, Dialog;
  QPushButton Save(&Dialog), Go(&Main);
  CreateTipWindow(&Dialog);
  AddBalloonTip(&Save, TipInfo, tiInfo, "Info", "Save record after edit");
  TBalloonTipWindow* DialogTips = TipWindow;
  CreateTipWindow(&Main);
  AddBalloonTip(&Go, TipInfo, tiInfo, "Info", "Run ...");
  EXPECT_EQ(DialogTips->ToolText(&Save), "Save record after edit");
  EXPECT_TRUE(DialogTips->ToolText(&Go).isNull());

  // An icon out of range gives none, and long titles are cut.
  QPushButton Button(&Main);
  AddBalloonTip(&Button, TipInfo, 4, std::string(255, 'a'), "x");
  EXPECT_EQ(TipWindow->Icon(), tiNone);
  EXPECT_EQ(TipWindow->Title().size(), 255);
  AddBalloonTip(&Button, TipInfo, -1, std::string(300, 'b'), "x");
  EXPECT_EQ(TipWindow->Icon(), tiNone);
  EXPECT_EQ(TipWindow->Title().size(), 255);
  AddBalloonTip(nullptr, TipInfo, 1, "Info", "nothing");  // no control: silently nothing
  EXPECT_EQ(TipWindow->ToolCount(), 2);
}
