#include "platform/qt/Application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTimer>

#include "platform/qt/Timer.h"

namespace {

// Runs the event loop until Condition holds; a minute is only the bound for a broken one.
bool WaitUntil(const std::function<bool()>& Condition) {
  return QTest::qWaitFor(Condition, 60000);
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

// Once Ready holds (checked at every turn of whichever event loop runs, a box's own included),
// records the open error boxes and closes them.
void InspectAndCloseBoxes(std::function<bool()> Ready, TSeenBox& Seen,
                          std::function<void()> Before = {}) {
  auto* Poll = new QTimer;
  QObject::connect(Poll, &QTimer::timeout, [Poll, Ready, &Seen, Before] {
    if (!Ready()) return;
    Poll->stop();
    Poll->deleteLater();
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
  Poll->start(1);
}

// Inspects the boxes as soon as the loop turns.
bool AtOnce() {
  return true;
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
  InspectAndCloseBoxes(AtOnce, Seen);
  App.HandleException(std::make_exception_ptr(EAbort()));
  ASSERT_TRUE(WaitUntil([&] { return Seen.Count >= 0; }));
  EXPECT_EQ(Seen.Count, 0);

  InspectAndCloseBoxes(AtOnce, Seen);
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
  // Inspected once three more ticks have failed behind the first one's box.
  InspectAndCloseBoxes([&] { return Ticks > 3; }, Seen, Stop);
  ASSERT_TRUE(WaitUntil([&] { return Seen.Count >= 0; }));
  EXPECT_EQ(Seen.Count, 1);
  EXPECT_EQ(Seen.Text, "Tick failed.");
  EXPECT_EQ(App.DroppedErrors(), TicksWhileOpen - 1);
  EXPECT_EQ(Ticks, TicksWhileOpen);

  // With the box closed, the next failure gets a box of its own.
  const int Before = Ticks;
  Seen = TSeenBox();
  InspectAndCloseBoxes([&] { return Ticks > Before; }, Seen, Stop);
  Timer.SetEnabled(true);
  ASSERT_TRUE(WaitUntil([&] { return Seen.Count >= 0; }));
  EXPECT_EQ(Seen.Count, 1);
}

TEST_F(ApplicationFixture, TimerTicksOnlyWhileEnabledWithAPositiveInterval) {
  TTimer Timer(nullptr);
  int Ticks = 0;
  Timer.OnTimer = [&Ticks](TComponent*) { ++Ticks; };
  Timer.SetEnabled(false);
  Timer.SetInterval(5);
  QTest::qWait(60);
  EXPECT_EQ(Ticks, 0);
  Timer.SetInterval(0);
  Timer.SetEnabled(true);
  EXPECT_FALSE(Timer.Running());
  QTest::qWait(60);
  EXPECT_EQ(Ticks, 0);
  Timer.SetInterval(5);
  EXPECT_TRUE(WaitUntil([&] { return Ticks > 2; }));
  // A busy thread gets one late tick, not the missed ones.
  Ticks = 0;
  QThread::msleep(100);
  App.ProcessMessages();
  EXPECT_LE(Ticks, 1);
}

}  // namespace
