// The tray icon on desktops with and without a notification area, and one that comes and goes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWindow>

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

// With a tray the form goes through its first showing (its OnShow is the program's start) without
// its window ever reaching the screen, and waits behind the icon; only that showing.
TEST_F(TrayAvailability, WithATrayAStartMinimisedFormNeverReachesTheScreen) {
  SetTray(true);
  Load(true);
  EXPECT_TRUE(IconShown());
  EXPECT_EQ(Tray->TrayIcon()->toolTip(), "Tessolon 3.0");
  int Showings = 0;
  Form.OnShow = [&](TComponent*) { ++Showings; };
  Form.Widget()->winId();
  bool OnScreen = false;
  const QObject Listening;  // ends the connection before OnScreen goes
  QObject::connect(Form.Widget()->windowHandle(), &QWindow::visibleChanged, &Listening,
                   [&](bool Visible) { OnScreen = OnScreen || Visible; });
  Form.Show();
  Settle();
  EXPECT_EQ(Showings, 1);
  EXPECT_FALSE(OnScreen);
  EXPECT_FALSE(Form.Widget()->isVisible());
  EXPECT_FALSE(Form.Visible());
  Form.Show();
  Settle();
  EXPECT_TRUE(OnScreen);
  EXPECT_TRUE(Form.Widget()->isVisible());
}

// A form minimised while there is no tray, started so or minimised by the user, goes behind the
// icon when a tray comes up; when the tray goes it comes back minimised, and goes behind the icon
// again when a tray returns.
class WaitingForATray : public TrayAvailability, public testing::WithParamInterface<bool> {};

TEST_P(WaitingForATray, GoesBehindTheIconWhenOneComesUp) {
  const bool StartMinimized = GetParam();
  SetTray(false);
  Load(StartMinimized);
  Form.Show();
  Settle();
  if (!StartMinimized) Minimise();
  EXPECT_TRUE(Form.Widget()->isVisible());
  EXPECT_FALSE(IconShown());

  SetTray(true);
  Settle();
  EXPECT_TRUE(IconShown());
  EXPECT_FALSE(Form.Widget()->isVisible());

  SetTray(false);
  Settle();
  EXPECT_FALSE(IconShown());
  EXPECT_TRUE(Form.Widget()->isVisible());
  EXPECT_EQ(Form.WindowState(), wsMinimized);

  SetTray(true);
  Settle();
  EXPECT_FALSE(Form.Widget()->isVisible());
}

INSTANTIATE_TEST_SUITE_P(StartedOrMinimised, WaitingForATray, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& Info) {
                           return Info.param ? "StartedMinimised" : "MinimisedByTheUser";
                         });

// Brought back by the user before any tray came up, the form stays where the user put it.
TEST_F(TrayAvailability, AFormRestoredBeforeTheTrayCameStaysOnScreen) {
  SetTray(false);
  Load(true);
  Form.Show();
  Settle();
  EXPECT_EQ(Form.WindowState(), wsMinimized);
  Form.SetWindowState(wsNormal);
  Settle();
  SetTray(true);
  Settle();
  EXPECT_TRUE(IconShown());
  EXPECT_TRUE(Form.Widget()->isVisible());
}
