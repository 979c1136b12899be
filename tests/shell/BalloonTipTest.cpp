// The balloon tip window on its own: one text per tool, the balloon under the tool it is shown
// for and kept on the screen, and every way the mouse leaves the tool puts it away.
#include "shell/BalloonTip.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <functional>
#include <memory>

namespace {

TEST(BalloonTipWindow, KeepsOneTextPerToolAndForgetsToolsThatGo) {
  QWidget Form;
  QPushButton Go("Go", &Form);
  auto Stop = std::make_unique<QPushButton>("Stop", &Form);
  TBalloonTipWindow Tips(&Form);
  Tips.AddTool(&Go, Go.rect(), "Run ...");
  Tips.AddTool(Stop.get(), Stop->rect(), "Stop ...");
  Tips.AddTool(&Go, Go.rect(), "Run the sweep");  // registered again: the text is replaced
  EXPECT_EQ(Tips.ToolCount(), 2);
  EXPECT_EQ(Tips.ToolText(&Go), "Run the sweep");
  Stop.reset();
  EXPECT_EQ(Tips.ToolCount(), 1);
  EXPECT_TRUE(Tips.ToolText(&Form).isNull());
  Tips.PopupFor(&Form);  // not a tool: nothing shows
  EXPECT_EQ(Tips.ShownTool(), nullptr);
}

TEST(BalloonTipWindow, PopsUpUnderTheToolOnScreenAndEveryWayOfLeavingPutsItAway) {
  const QRect Screen = QApplication::primaryScreen()->availableGeometry();
  // A tool in the middle of the screen and one against its right edge.
  const int Lefts[] = {Screen.center().x(), Screen.right() - 40};
  using TLeaving = std::function<std::unique_ptr<QEvent>(QWidget&)>;
  const TLeaving Leavings[] = {
      [](QWidget&) { return std::make_unique<QEvent>(QEvent::Leave); },
      [](QWidget& Tool) {
        const QPointF At(2, 2);
        return std::make_unique<QMouseEvent>(QEvent::MouseButtonPress, At, Tool.mapToGlobal(At),
                                             Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
      },
      [](QWidget&) { return std::make_unique<QHideEvent>(); },
      [](QWidget&) { return std::make_unique<QEvent>(QEvent::WindowDeactivate); },
  };
  for (const int Left : Lefts) {
    QWidget Form;
    Form.setGeometry(Left, Screen.top() + 100, 60, 60);
    QPushButton Go("Go", &Form);
    Go.setGeometry(10, 10, 40, 24);
    Form.show();
    TBalloonTipWindow Tips(&Form);
    Tips.AddTool(&Go, Go.rect(), "Run the sweep through the whole band");
    Tips.SetTitle(1, "Info");
    for (const TLeaving& Leaving : Leavings) {
      Tips.PopupFor(&Go);
      ASSERT_EQ(Tips.ShownTool(), &Go);
      // The balloon hangs from the middle of the tool's bottom edge and stays on the screen.
      const QPoint Anchor = Go.mapToGlobal(QPoint(Go.rect().center().x(), Go.rect().bottom()));
      EXPECT_EQ(Tips.geometry().top(), Anchor.y()) << Left;
      EXPECT_LE(Tips.geometry().left(), Anchor.x()) << Left;
      EXPECT_GE(Tips.geometry().right(), Anchor.x()) << Left;
      EXPECT_TRUE(Screen.contains(Tips.geometry())) << Left;
      EXPECT_GT(Tips.grab().width(), 40);
      const std::unique_ptr<QEvent> Event = Leaving(Go);
      QApplication::sendEvent(&Go, Event.get());
      EXPECT_EQ(Tips.ShownTool(), nullptr) << Left << " event " << Event->type();
    }
  }
}

}  // namespace
