#include "platform/qt/Application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include "platform/qt/Timer.h"

namespace {

void Wait(int Milliseconds) {
  QEventLoop Loop;
  QTimer::singleShot(Milliseconds, &Loop, &QEventLoop::quit);
  Loop.exec();
}

std::vector<QMessageBox*> OpenBoxes() {
  std::vector<QMessageBox*> Boxes;
  for (QWidget* W : QApplication::topLevelWidgets())
    if (auto* Box = qobject_cast<QMessageBox*>(W); Box && Box->isVisible()) Boxes.push_back(Box);
  return Boxes;
}

struct TSeenBox {
  int Count = -1;
  QString Title, Text;
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons Buttons;
};

// After Milliseconds, records the open error boxes and closes them.
void InspectAndCloseBoxes(int Milliseconds, TSeenBox& Seen, std::function<void()> Before = {}) {
  QTimer::singleShot(Milliseconds, [&Seen, Before] {
    if (Before) Before();
    const auto Boxes = OpenBoxes();
    Seen.Count = static_cast<int>(Boxes.size());
    if (!Boxes.empty()) {
      Seen.Title = Boxes[0]->windowTitle();
      Seen.Text = Boxes[0]->text();
      Seen.Icon = Boxes[0]->icon();
      Seen.Buttons = Boxes[0]->standardButtons();
    }
    for (QMessageBox* Box : Boxes) Box->accept();
  });
}

class ApplicationFixture : public testing::Test {
 protected:
  ApplicationFixture() { App.SetTitle("Tessolon 3.0"); }
  TApplication App;
};

TEST(ErrorBoxText, FullStopOnlyAfterCharactersSortingAfterIt) {
  EXPECT_EQ(ErrorBoxText("Disk full"), "Disk full.");
  EXPECT_EQ(ErrorBoxText("Error 42"), "Error 42.");
  EXPECT_EQ(ErrorBoxText("Table not found."), "Table not found.");
  EXPECT_EQ(ErrorBoxText("Cannot open (idx.ndx)"), "Cannot open (idx.ndx)");
  EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
  EXPECT_EQ(ErrorBoxText("Gr\xC3\xB6\xC3\x9F"
                         "e"),
            "Gr\xC3\xB6\xC3\x9F"
            "e.");
  EXPECT_EQ(ErrorBoxText("Fl\xC3\xBC"), "Fl\xC3\xBC.");  // non-ASCII sorts after "."
  EXPECT_EQ(ErrorBoxText(""), "");
}

TEST_F(ApplicationFixture, AbortIsSilentAndOtherErrorsShowTheBox) {
  TSeenBox Seen;
  InspectAndCloseBoxes(100, Seen);
  App.HandleException(std::make_exception_ptr(EAbort()));
  Wait(200);
  EXPECT_EQ(Seen.Count, 0);

  InspectAndCloseBoxes(100, Seen);
  App.DispatchEvent([] { throw Exception("Disk full"); });
  EXPECT_EQ(Seen.Count, 1);
  EXPECT_EQ(Seen.Title, "Tessolon 3.0");
  EXPECT_EQ(Seen.Text, "Disk full.");
  EXPECT_EQ(Seen.Icon, QMessageBox::Critical);
  EXPECT_EQ(Seen.Buttons, QMessageBox::Ok);
  EXPECT_FALSE(App.ErrorBoxOpen());
}

TEST_F(ApplicationFixture, FailingTimerTicksOpenOneBoxAtATime) {
  TTimer Timer(nullptr);
  int Ticks = 0;
  Timer.OnTimer = [&Ticks](TComponent*) {
    ++Ticks;
    throw Exception("Tick failed");
  };
  Timer.SetInterval(5);
  int TicksWhileOpen = 0;
  TSeenBox Seen;
  // The ticks go on inside the box's loop; stop them, and let the failures already posted
  // arrive, before closing the box.
  auto Stop = [&] {
    Timer.SetEnabled(false);
    App.ProcessMessages();
    TicksWhileOpen = Ticks;
  };
  InspectAndCloseBoxes(300, Seen, Stop);
  Wait(500);
  EXPECT_EQ(Seen.Count, 1);
  EXPECT_EQ(Seen.Text, "Tick failed.");
  EXPECT_GT(TicksWhileOpen, 3);
  EXPECT_EQ(App.DroppedErrors(), TicksWhileOpen - 1);
  EXPECT_EQ(Ticks, TicksWhileOpen);

  // With the box closed, the next failure gets a box of its own.
  InspectAndCloseBoxes(100, Seen, Stop);
  Timer.SetEnabled(true);
  Wait(200);
  EXPECT_EQ(Seen.Count, 1);
}

TEST_F(ApplicationFixture, TimerTicksOnlyWhileEnabledWithAPositiveInterval) {
  TTimer Timer(nullptr);
  int Ticks = 0;
  Timer.OnTimer = [&Ticks](TComponent*) { ++Ticks; };
  Timer.SetEnabled(false);
  Timer.SetInterval(5);
  Wait(60);
  EXPECT_EQ(Ticks, 0);
  Timer.SetInterval(0);
  Timer.SetEnabled(true);
  EXPECT_FALSE(Timer.Running());
  Wait(60);
  EXPECT_EQ(Ticks, 0);
  Timer.SetInterval(5);
  Wait(100);
  EXPECT_GT(Ticks, 2);
  // A busy thread gets one late tick, not the missed ones.
  Ticks = 0;
  QThread::msleep(100);
  App.ProcessMessages();
  EXPECT_LE(Ticks, 1);
}

}  // namespace
