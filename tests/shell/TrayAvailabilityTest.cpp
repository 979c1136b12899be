// The tray icon on desktops with and without a notification area, and one that comes and goes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>

#include "platform/core/DefinitionReader.h"
#include "platform/qt/Forms.h"
#include "platform/qt/QtClasses.h"
#include "shell/ShellClasses.h"
#include "shell/TrayIcon.h"

namespace {

// A form holding a tray icon as the main window holds it, read from its definition so that
// loading runs as it does in the program.
class TrayAvailability : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterQtClasses();
    RegisterShellClasses();
  }
  ~TrayAvailability() override { TTrayIcon::SetTrayProbe({}); }

  void Load(bool StartMinimized) {
    ReadDefinition(Form,
                   "object frmTray: TForm\n"
                   "  ClientWidth = 120\n"
                   "  ClientHeight = 90\n"
                   "  object TrayIcon1: TTrayIcon\n"
                   "    Hint = 'Tessolon 3.0'\n"
                   "    ShowHint = True\n"
                   "    Icon = '" +
                       std::string(TESSOLON_SOURCE_DIR) +
                       "/resources/tray.png'\n"
                       "    MinimizeToTray = True\n" +
                       (StartMinimized ? "    StartMinimized = True\n" : "") +
                       "  end\n"
                       "end\n",
                   "tray.dfm");
    Tray = dynamic_cast<TTrayIcon*>(Form.FindComponent("TrayIcon1"));
    ASSERT_TRUE(Tray);
  }
  void SetTray(bool Available) {
    TrayThere = Available;
    TTrayIcon::SetTrayProbe([this] { return TrayThere; });
  }
  // Delivers what the last step posted: the window's reactions come a turn of the loop later.
  static void Settle() {
    for (int Turn = 0; Turn < 5; ++Turn) QApplication::processEvents();
  }
  // Runs the loop until the tray poll has noticed a change; the minute only bounds a broken poll.
  static bool WaitUntil(const std::function<bool()>& Condition) {
    return QTest::qWaitFor(Condition, 60000);
  }
  // The user minimises the window (the window manager's button, the task list).
  void Minimise() {
    Form.Widget()->setWindowState(Form.Widget()->windowState() | Qt::WindowMinimized);
    Settle();
  }
  bool IconShown() const { return Tray->TrayIcon()->isVisible(); }

  bool TrayThere = false;
  TForm Form{nullptr};
  TTrayIcon* Tray = nullptr;
};

}  // namespace

TEST_F(TrayAvailability, WithoutATrayMinimisedWindowsStayInTheTaskList) {
  SetTray(false);
  Load(true);
  Form.Show();
  Settle();
  EXPECT_TRUE(Form.Visible());  // StartMinimized does not hide it
  EXPECT_TRUE(Form.Widget()->isVisible());
  EXPECT_EQ(Form.WindowState(), wsMinimized);
  EXPECT_FALSE(IconShown());

  Form.SetWindowState(wsNormal);
  Minimise();
  EXPECT_TRUE(Form.Widget()->isVisible());
  EXPECT_EQ(Form.WindowState(), wsMinimized);
  EXPECT_FALSE(IconShown());
}

TEST_F(TrayAvailability, WithATrayTheIconShowsOnceLoadedAndTakesTheWindowAtItsFirstShowing) {
  SetTray(true);
  Load(true);
  EXPECT_TRUE(IconShown());
  EXPECT_EQ(Tray->TrayIcon()->toolTip(), "Tessolon 3.0");
  Form.Show();
  Settle();
  EXPECT_FALSE(Form.Widget()->isVisible());
  Form.Show();  // only the first showing
  Settle();
  EXPECT_TRUE(Form.Widget()->isVisible());
}

// The poll notices a notification area that comes up after the program, and one that goes away
// while the window waits behind the icon: the window then comes back minimised.
TEST_F(TrayAvailability, ATrayThatComesLaterGetsTheIconAndOneThatGoesGivesTheWindowBack) {
  SetTray(false);
  Load(false);
  Form.Show();
  Settle();
  EXPECT_FALSE(IconShown());

  SetTray(true);
  EXPECT_TRUE(WaitUntil([this] { return IconShown(); }));
  Minimise();
  EXPECT_FALSE(Form.Widget()->isVisible());

  SetTray(false);
  EXPECT_TRUE(WaitUntil([this] { return !IconShown(); }));
  Settle();
  EXPECT_TRUE(Form.Widget()->isVisible());
  EXPECT_EQ(Form.WindowState(), wsMinimized);
}
