#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "platform/qt/Forms.h"
#include "shell/TrayIcon.h"

namespace {

class TrayTest : public testing::Test {
 protected:
  TrayTest() {
    for (const char* Caption : {"Show Win", "Run", "-", "Exit..."}) {
      auto* Item = new TMenuItem(&Form);
      Item->SetCaption(Caption);
      Menu->Add(Item);
      Item->OnClick = [this, Caption](TComponent*) { Clicked += Caption; };
    }
    Tray->SetPopupMenu(Menu);
  }
  ~TrayTest() override {
    if (Menu && Menu->Menu()->isVisible()) Menu->Menu()->close();
  }
  // A desktop with a notification area, from before the icon looks for one.
  struct TWithTray {
    TWithTray() {
      TTrayIcon::SetTrayProbe([] { return true; });
    }
    ~TWithTray() { TTrayIcon::SetTrayProbe({}); }
  } WithTray;
  TForm Form{nullptr};
  TPopupMenu* Menu = new TPopupMenu(&Form);
  TTrayIcon* Tray = new TTrayIcon(&Form);
  std::string Clicked;
};

}  // namespace

TEST_F(TrayTest, MenuItemsFireTheirHandlers) {
  QList<QAction*> Actions = Menu->Menu()->actions();
  ASSERT_EQ(Actions.size(), 4);
  EXPECT_TRUE(Actions[2]->isSeparator());
  Actions[1]->trigger();
  Actions[3]->trigger();
  EXPECT_EQ(Clicked, "RunExit...");
  Menu->Items(1)->SetChecked(true);
  EXPECT_TRUE(Actions[1]->isChecked());
  delete Menu->Items(0);  // a destroyed item leaves the menu
  EXPECT_EQ(Menu->Count(), 3);
  EXPECT_EQ(Menu->Menu()->actions().size(), 3);
}

TEST_F(TrayTest, NestedItemsMakeASubMenuThatFollowsTheirLifetimes) {
  auto* Parent = Menu->Items(0);
  auto* Child = new TMenuItem(&Form);
  Child->SetCaption("Inner");
  Child->SetParentComponent(Parent);
  Child->OnClick = [this](TComponent*) { Clicked += "Inner"; };
  ASSERT_TRUE(Parent->SubMenu());
  EXPECT_EQ(Parent->Action()->menu(), Parent->SubMenu());
  EXPECT_EQ(Child->Menu(), Menu);
  Parent->SubMenu()->actions().at(0)->trigger();
  EXPECT_EQ(Clicked, "Inner");
  delete Child;
  EXPECT_EQ(Parent->SubMenu(), nullptr);  // no children, no sub-menu
  auto* Again = new TMenuItem(&Form);
  Again->SetParentComponent(Parent);
  delete Parent;  // the child stays, detached
  EXPECT_EQ(Again->Parent(), nullptr);
  EXPECT_EQ(Again->Menu(), nullptr);
  EXPECT_THROW(Again->SetParentComponent(&Form), EComponentError);
}

TEST_F(TrayTest, RightPressOpensTheMenuLeftOnlyWithLeftPopup) {
  int Clicks = 0;
  Tray->OnClick = [&](TComponent*) { ++Clicks; };
  Tray->LeftDown();
  EXPECT_FALSE(Menu->Menu()->isVisible());
  Tray->LeftUp();
  EXPECT_EQ(Clicks, 1);
  Tray->LeftUp();  // a release without a press is no click
  EXPECT_EQ(Clicks, 1);

  Tray->RightDown();
  EXPECT_TRUE(Menu->Menu()->isVisible());
  EXPECT_EQ(Menu->PopupComponent(), Tray);
  Menu->Menu()->close();
  Tray->SetLeftPopup(true);
  Tray->LeftDown();
  EXPECT_TRUE(Menu->Menu()->isVisible());
  Menu->Menu()->close();

  Tray->SetEnabled(false);  // nothing reacts, the tip stays
  Tray->SetHint("Tessolon 3.0");
  Tray->SetShowHint(true);
  Tray->RightDown();
  Tray->LeftDown();
  Tray->LeftUp();
  EXPECT_FALSE(Menu->Menu()->isVisible());
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Tray->ToolTip(), "Tessolon 3.0");
}

TEST_F(TrayTest, DoubleClickClicksTheFirstDefaultItem) {
  Tray->DoubleClick();
  EXPECT_EQ(Clicked, "");
  Menu->Items(3)->SetDefault(true);
  Menu->Items(1)->SetDefault(true);
  Tray->DoubleClick();
  EXPECT_EQ(Clicked, "Run");
}

TEST_F(TrayTest, TipIsCutAndMinimisingHidesTheWindow) {
  Tray->SetHint(std::string(70, 'x'));
  EXPECT_EQ(Tray->ToolTip(), "");  // only shown with ShowHint
  Tray->SetShowHint(true);
  EXPECT_EQ(Tray->ToolTip(), std::string(63, 'x'));
  Tray->SetIcon("missing.png");  // no picture, no tray: no failure

  Form.Show();
  Form.Widget()->setWindowState(Qt::WindowMinimized);  // without MinimizeToTray: stays
  QCoreApplication::processEvents();
  EXPECT_TRUE(Form.Widget()->isVisible());
  Form.Widget()->setWindowState(Qt::WindowNoState);
  Tray->SetMinimizeToTray(true);
  Tray->SetIconVisible(false);
  Form.Widget()->setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_FALSE(Form.Widget()->isVisible());
  EXPECT_TRUE(Tray->IconVisible());
}

TEST_F(TrayTest, StartMinimizedHidesTheWindowWhenItIsFirstShown) {
  Tray->BeginLoad();
  Tray->SetStartMinimized(true);
  Tray->EndLoad();
  Form.Show();
  QCoreApplication::processEvents();
  EXPECT_FALSE(Form.Widget()->isVisible());
  Form.Show();  // only the first showing
  QCoreApplication::processEvents();
  EXPECT_TRUE(Form.Widget()->isVisible());
}

TEST_F(TrayTest, ForgetsARemovedMenu) {
  delete Menu;
  Menu = nullptr;
  EXPECT_EQ(Tray->PopupMenu(), nullptr);
  Tray->RightDown();  // nothing to open
}
