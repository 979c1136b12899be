#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

#include "platform/qt/Forms.h"
#include "shell/SkinMenu.h"
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

TEST(SkinMenu, LightensTowardsWhiteAndStylesOnlyWhileActive) {
  EXPECT_EQ(TSkinMenu::Lighten(QColor(0, 100, 255), 50), QColor(128, 178, 255));
  EXPECT_EQ(TSkinMenu::Lighten(QColor(10, 10, 10), 150), QColor(255, 255, 255));
  TForm Form(nullptr);
  auto* Menu = new TPopupMenu(&Form);
  auto* Skin = new TSkinMenu(&Form);
  Skin->SetActive(true);
  EXPECT_TRUE(Menu->Menu()->styleSheet().contains("border-left: 24px"));
  Skin->SelectBorderColor = clRed;
  Skin->UseSystemColors = false;
  EXPECT_TRUE(Skin->StyleSheet().contains("#ff0000"));
  Skin->SetActive(false);
  EXPECT_TRUE(Menu->Menu()->styleSheet().isEmpty());
}

TEST(SkinMenu, DrawsTheIconColumnFadingIntoTheItemAndFramesTheSelection) {
  TForm Form(nullptr);
  auto* Menu = new TPopupMenu(&Form);
  for (const char* Caption : {"Show Win", "-", "Run"}) {
    auto* Item = new TMenuItem(&Form);
    Item->SetCaption(Caption);
    Menu->Add(Item);
  }
  auto* Skin = new TSkinMenu(&Form);
  Skin->UseSystemColors = false;
  Skin->IconBackColor = clNavy;
  Skin->Color = clWhite;
  Skin->SelectColor = clLime;
  Skin->SelectBorderColor = clRed;
  Skin->Gradient = true;
  Skin->SetActive(true);
  QMenu& Q = *Menu->Menu();
  const QRect First = Q.actionGeometry(Q.actions()[0]);
  EXPECT_EQ(Q.actionGeometry(Q.actions()[1]).height(), 4);  // a separator
  const QColor Navy(0, 0, 128);
  QImage Shot = Q.grab().toImage();
  const int Y = First.top() + 1;  // above the caption
  EXPECT_EQ(QColor(Shot.pixel(First.left(), Y)), TSkinMenu::Lighten(Navy, 1));
  EXPECT_EQ(QColor(Shot.pixel(First.left() + 28, Y)), TSkinMenu::Lighten(Navy, 85));
  EXPECT_EQ(QColor(Shot.pixel(First.left() + 39, Y)), TSkinMenu::Lighten(Navy, 96));
  EXPECT_EQ(QColor(Shot.pixel(First.right() - 2, Y)), TSkinMenu::Lighten(Navy, 96));

  Q.setActiveAction(Q.actions()[2]);
  Shot = Q.grab().toImage();
  const QRect Run = Q.actionGeometry(Q.actions()[2]);
  EXPECT_EQ(QColor(Shot.pixel(Run.left(), Run.center().y())), QColor(Qt::red));     // frame
  EXPECT_EQ(QColor(Shot.pixel(Run.left() + 2, Run.top() + 3)), QColor(Qt::green));  // fill

  Skin->Gradient = false;  // flat: icon column and background
  Q.setActiveAction(nullptr);
  Shot = Q.grab().toImage();
  EXPECT_EQ(QColor(Shot.pixel(First.left() + 3, Y)), Navy);
  EXPECT_EQ(QColor(Shot.pixel(First.right() - 2, Y)), QColor(Qt::white));
}
