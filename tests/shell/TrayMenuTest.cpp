#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QMenu>
#include <QTest>

#include "platform/qt/Forms.h"
#include "shell/TrayIcon.h"
#include "tests/support/ScratchFolder.h"

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

TEST_F(TrayTest, MenuItemsFireTheirHandlersAndADoubleClickTheFirstDefaultOne) {
  QList<QAction*> Actions = Menu->Menu()->actions();
  ASSERT_EQ(Actions.size(), 4);
  EXPECT_TRUE(Actions[2]->isSeparator());
  Tray->DoubleClick();  // no default item: nothing
  Actions[1]->trigger();
  Actions[3]->trigger();
  EXPECT_EQ(Clicked, "RunExit...");
  Menu->Items(3)->SetDefault(true);
  Menu->Items(1)->SetDefault(true);
  Tray->DoubleClick();
  EXPECT_EQ(Clicked, "RunExit...Run");
  Menu->Items(1)->SetChecked(true);
  EXPECT_TRUE(Actions[1]->isChecked());
  delete Menu->Items(0);  // a destroyed item leaves the menu
  EXPECT_EQ(Menu->Count(), 3);
  EXPECT_EQ(Menu->Menu()->actions().size(), 3);
  delete Menu;  // a removed menu is forgotten
  Menu = nullptr;
  EXPECT_EQ(Tray->PopupMenu(), nullptr);
  Tray->RightDown();  // nothing to open
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

  // The menu is the tray's to open on a right click; opening it here as well would give two.
  Tray->RightDown();
  EXPECT_FALSE(Menu->Menu()->isVisible());
  EXPECT_EQ(Tray->TrayIcon()->contextMenu(), Menu->Menu());
  EXPECT_EQ(Menu->PopupComponent(), Tray);
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
  EXPECT_EQ(Tray->TrayIcon()->contextMenu(), nullptr);
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Tray->ToolTip(), "Tessolon 3.0");
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

// The toolkit's own signal is the path the desktop's reports take.
TEST_F(TrayTest, TrayReportsReachTheEventsInOrder) {
  ASSERT_TRUE(Tray->TrayIcon());
  std::string Events;
  auto Name = [](TMouseButton B) { return B == mbLeft ? "L" : B == mbRight ? "R" : "M"; };
  Tray->OnMouseDown = [&](TComponent*, TMouseButton B, TShiftState, int, int) {
    Events += std::string("down") + Name(B) + " ";
  };
  Tray->OnMouseUp = [&](TComponent*, TMouseButton B, TShiftState, int, int) {
    Events += std::string("up") + Name(B) + " ";
  };
  Tray->OnClick = [&](TComponent*) { Events += "click "; };
  Tray->OnDblClick = [&](TComponent*) { Events += "dbl "; };
  QSystemTrayIcon* Icon = Tray->TrayIcon();
  emit Icon->activated(QSystemTrayIcon::Trigger);
  EXPECT_EQ(Events, "downL click upL ");
  EXPECT_FALSE(Menu->Menu()->isVisible());
  Events.clear();
  emit Icon->activated(QSystemTrayIcon::Context);
  EXPECT_EQ(Events, "downR upR ");
  EXPECT_FALSE(Menu->Menu()->isVisible());  // the tray opens it
  Events.clear();
  emit Icon->activated(QSystemTrayIcon::DoubleClick);
  emit Icon->activated(QSystemTrayIcon::MiddleClick);
  EXPECT_EQ(Events, "dbl downM upM ");
  Tray->SetEnabled(false);
  Events.clear();
  for (auto Reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::Context,
                      QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick})
    emit Icon->activated(Reason);
  EXPECT_EQ(Events, "");
  EXPECT_FALSE(Menu->Menu()->isVisible());
}

TEST_F(TrayTest, IconListIsSteppedThroughOnTheTimer) {
  // Three one-colour icons: red, green, blue.
  const TScratchFolder Folder("tessolon-tray-");
  TStringList Names;
  for (QRgb Colour : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}) {
    QImage Image(16, 16, QImage::Format_RGB32);
    Image.fill(Colour);
    Names.push_back((Folder / (std::to_string(Names.size()) + ".png")).string());
    ASSERT_TRUE(Image.save(QString::fromStdString(Names.back())));
  }
  auto* List = new TImageList(&Form);
  List->SetPictures(Names);
  ASSERT_EQ(List->Count(), 3);
  auto Shown = [this] { return Tray->CurrentIcon().pixel(0, 0); };

  Tray->SetIconIndex(2);  // without a list the index stays 0
  EXPECT_EQ(Tray->IconIndex(), 0);
  Tray->SetIconList(List);
  EXPECT_EQ(Shown(), qRgb(255, 0, 0));
  Tray->SetIconIndex(7);  // held at the last icon
  EXPECT_EQ(Tray->IconIndex(), 2);
  EXPECT_EQ(Shown(), qRgb(0, 0, 255));

  Tray->SetCycleIcons(true);  // starts from the first icon; no interval, no stepping
  EXPECT_EQ(Tray->IconIndex(), 0);
  EXPECT_FALSE(Tray->Cycling());
  std::vector<int> Next;
  std::vector<QRgb> AtStep;
  Tray->OnCycle = [&](TComponent* Sender, int NextIndex) {
    EXPECT_EQ(Sender, Tray);
    Next.push_back(NextIndex);
    AtStep.push_back(Shown());
  };
  Tray->SetCycleInterval(5);
  EXPECT_TRUE(Tray->Cycling());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Next.size() >= 4; }, 5000));
  Tray->SetCycleIcons(false);
  EXPECT_FALSE(Tray->Cycling());
  // Each step shows the current icon, then moves on; the last icon announces one past it.
  EXPECT_EQ(std::vector<int>(Next.begin(), Next.begin() + 4), (std::vector<int>{1, 2, 3, 1}));
  EXPECT_EQ(AtStep[1], qRgb(0, 255, 0));
  EXPECT_EQ(AtStep[3], qRgb(255, 0, 0));

  delete List;  // the tray forgets a removed list
  EXPECT_EQ(Tray->IconList(), nullptr);
  EXPECT_EQ(Tray->IconIndex(), 0);
  Tray->CycleStep();
}
