#include "app/MyTools2.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QPushButton>
#include <QUrl>

#include "shell/BalloonTip.h"

namespace {

// Catches what the desktop's opener is asked to open.
class TUrlCatcher : public QObject {
  Q_OBJECT
 public:
  TUrlCatcher() {
    QDesktopServices::setUrlHandler("http", this, "Open");
    QDesktopServices::setUrlHandler("https", this, "Open");
  }
  ~TUrlCatcher() override {
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
  }
  QStringList Opened;
 public slots:
  void Open(const QUrl& Url) { Opened << Url.toString(); }
};

}  // namespace

TEST(BalloonTips, EachActivationReplacesTheFormsTipWindowSoEveryControlKeepsOneTip) {
  QWidget Form;
  QPushButton Go("Go", &Form), Stop("Stop", &Form);
  for (int Activation = 0; Activation < 5; ++Activation) {
    CreateTipWindow(&Form);
    AddBalloonTip(&Go, TipInfo, tiInfo, "Info", "Run ...");
    AddBalloonTip(&Stop, TipInfo, tiInfo, "Info", "Stop ...");
  }
  const auto Windows = Form.findChildren<TBalloonTipWindow*>();
  ASSERT_EQ(Windows.size(), 1);
  EXPECT_EQ(Windows[0], TipWindow.data());
  EXPECT_EQ(TipWindow->ToolCount(), 2);
  EXPECT_EQ(TipWindow->ToolText(&Go), "Run ...");
  EXPECT_EQ(TipWindow->Title(), "Info");
  EXPECT_EQ(TipWindow->Icon(), tiInfo);
}

TEST(BalloonTips, TipsOfAnotherFormStayWithTheirOwnWindow) {
  QWidget Main, Dialog;
  QPushButton Save(&Dialog), Go(&Main);
  CreateTipWindow(&Dialog);
  AddBalloonTip(&Save, TipInfo, tiInfo, "Info", "Save record after edit");
  TBalloonTipWindow* DialogTips = TipWindow;
  CreateTipWindow(&Main);
  AddBalloonTip(&Go, TipInfo, tiInfo, "Info", "Run ...");
  EXPECT_EQ(DialogTips->ToolText(&Save), "Save record after edit");
  EXPECT_TRUE(DialogTips->ToolText(&Go).isNull());
}

TEST(BalloonTips, IconOutOfRangeGivesNoIconAndLongTitlesAreCut) {
  QWidget Form;
  QPushButton Button(&Form);
  CreateTipWindow(&Form);
  AddBalloonTip(&Button, TipInfo, 4, std::string(255, 'a'), "x");
  EXPECT_EQ(TipWindow->Icon(), tiNone);
  EXPECT_EQ(TipWindow->Title().size(), 255);
  AddBalloonTip(&Button, TipInfo, -1, std::string(300, 'b'), "x");
  EXPECT_EQ(TipWindow->Icon(), tiNone);
  EXPECT_EQ(TipWindow->Title().size(), 255);
  AddBalloonTip(nullptr, TipInfo, 1, "Info", "nothing");  // no control: silently nothing
  EXPECT_EQ(TipWindow->ToolCount(), 1);
}

TEST(OpenLink, OpensTheSchemePrefixAndTextOrTheDefaultAddress) {
  TUrlCatcher Catcher;
  OpenLink(nullptr, "www.example.org/pests");
  OpenLink(nullptr, "");
  OpenLink(nullptr, "http://already.example");
  ASSERT_EQ(Catcher.Opened.size(), 3);
  EXPECT_EQ(Catcher.Opened[0], "http://www.example.org/pests");
  EXPECT_TRUE(Catcher.Opened[1].startsWith("http://")) << Catcher.Opened[1].toStdString();
  EXPECT_EQ(LinkAddress("http://already.example"), "http://http://already.example");
  EXPECT_EQ(LinkAddress(std::string(400, 'w')).size(), 255);
}

#include "MyTools2Test.moc"
