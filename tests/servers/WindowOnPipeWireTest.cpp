// The window on a PipeWire desktop, driven as a user drives it under Xvfb. With the graph at
// 48000 Hz a pest whose band lies above what the output carries plays nothing audible and the
// status label turns from "STOP ..." to "SILENT" (red), while an audible pest plays and shows
// "RUN ...", then the class of what its tones carry, "AUDIBLE" (blue). With the graph at 96000 Hz
// Cockroach's band is carried with the audible sound its tones hold, until the Sound output page's
// "ultrasound only" box is ticked.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

#include "tests/servers/Playback.h"

using namespace std::chrono_literals;

namespace {

constexpr auto ToolBound = 20s;

// Xvfb on a display it chooses itself, so that tests side by side never share one. Without
// -noreset it resets whenever its last client leaves and refuses connections meanwhile.
class TVirtualScreen {
 public:
  explicit TVirtualScreen(const TPrivateSession& Session)
      : FServer(Session.Launch({"Xvfb", "-displayfd", "1", "-screen", "0", "800x600x24",
                                "-nolisten", "tcp", "-noreset"},
                               "xvfb")) {
    if (!WaitUntil(30s, [&] { return !ReadWholeFile(FServer.Launch().Out).empty(); }))
      throw std::runtime_error("Xvfb did not start: " + ReadWholeFile(FServer.Launch().Err));
    std::istringstream(ReadWholeFile(FServer.Launch().Out)) >> FNumber;
  }
  std::string Display() const { return ":" + std::to_string(FNumber); }

 private:
  TChildProcess FServer;
  int FNumber = -1;
};

class TWindowFixture : public testing::Test {
 protected:
  explicit TWindowFixture(const TServerSettings& Settings) : FServer(Settings) {}
  // Starts the program's windows and waits until the main window shows "STOP ..." in red.
  std::unique_ptr<TChildProcess> StartWindow(TLaunch& Launch) {
    Launch = FServer.Session().Program({}, "window");
    Launch.Environment.Set("DISPLAY", FScreen.Display()).Set("QT_QPA_PLATFORM", "xcb");
    auto Window = std::make_unique<TChildProcess>(Launch);
    if (!WaitUntil(60s, [&] { return FindWindow() || !Window->Running(); }) || !Window->Running())
      throw std::runtime_error("the window did not appear: " + ReadWholeFile(Launch.Err));
    // Mapped is not yet painted: on a busy machine the first paint can lag the map by seconds.
    if (!WaitUntil(20s, [&] { return (FStopped = StatusColours()).Red > 20; }))
      throw std::runtime_error("no red \"STOP ...\"");
    return Window;
  }
  TLaunch Tool(const std::vector<std::string>& Argv) {
    TLaunch Launch = FServer.Session().Launch(Argv, "tool");
    Launch.Environment.Set("DISPLAY", FScreen.Display());
    return Launch;
  }
  std::string Run(const std::vector<std::string>& Argv) {
    const TCommandResult Result = RunCommand(Tool(Argv), ToolBound);
    if (Result.ExitStatus != 0)
      throw std::runtime_error(Argv[0] + ": " + Result.Status + " " + Result.Err);
    return Result.Out;
  }
  struct TShown {
    int Left = 0, Top = 0, Width = 0, Height = 0;
  };
  // The program's windows that are mapped, as xdotool reads them: the main window, and the
  // selector's list while it is open. The main window exists, unmapped at 0,0, before the program
  // centres and maps it, so windows that are not shown do not count.
  std::vector<TShown> ShownWindows() {
    const TCommandResult Result =
        RunCommand(Tool({"xdotool", "search", "--onlyvisible", "--class", "tessolon",
                         "getwindowgeometry", "--shell", "%@"}),
                   ToolBound);
    std::vector<TShown> Shown;  // xdotool fails when it finds none
    std::istringstream Lines(Result.Out);
    for (std::string Line; std::getline(Lines, Line);) {
      int Value = 0;
      if (std::sscanf(Line.c_str(), "WINDOW=%d", &Value) == 1) Shown.emplace_back();
      if (Shown.empty()) continue;
      std::sscanf(Line.c_str(), "X=%d", &Shown.back().Left);
      std::sscanf(Line.c_str(), "Y=%d", &Shown.back().Top);
      std::sscanf(Line.c_str(), "WIDTH=%d", &Shown.back().Width);
      std::sscanf(Line.c_str(), "HEIGHT=%d", &Shown.back().Height);
    }
    return Shown;
  }
  // The main window's place on the screen, once it is shown at the skin's size.
  bool FindWindow() {
    for (const TShown& Window : ShownWindows())
      if (Window.Width == 337 && Window.Height == 362) {
        FLeft = Window.Left;
        FTop = Window.Top;
        return true;
      }
    return false;
  }
  // Records the monitor at Rate for Seconds.
  TAnalysis Listen(unsigned Rate, double Seconds, const std::string& Name) {
    TMonitorRecording Monitor(FServer, Rate, Name);
    Monitor.WaitForMore(Seconds);
    return Analyse(Monitor.Stop());
  }
  void Click(int X, int Y) {
    Run({"xdotool", "mousemove", std::to_string(FLeft + X), std::to_string(FTop + Y), "click",
         "1"});
  }
  void Keys(const std::vector<std::string>& Names) {
    std::vector<std::string> Argv{"xdotool", "key", "--delay", "100"};
    Argv.insert(Argv.end(), Names.begin(), Names.end());
    Run(Argv);
  }
  void WaitForShownWindows(std::size_t Count) {
    if (!WaitUntil(ToolBound, [&] { return ShownWindows().size() == Count; }))
      throw std::runtime_error("the selector's list did not open or close");
  }
  // Chooses the pest Down steps below the first in the selector's open list. Keys sent before the
  // list shows, or a click before it has closed, would reach another window.
  void Choose(int Down) {
    Click(53 + 77, 273 + 11);
    WaitForShownWindows(2);
    std::vector<std::string> Names(std::size_t(Down), "Down");
    Names.push_back("Return");
    Keys(Names);
    WaitForShownWindows(1);
  }
  struct TColours {
    int Red = 0, Blue = 0;
  };
  // The status label's text colours: red for "STOP ..." and "SILENT", blue for "RUN ...".
  TColours StatusColours() {
    const std::string Shot = (FServer.Session().Folder() / "status.png").string();
    Run({"import", "-window", "root", "-crop",
         "90x20+" + std::to_string(FLeft + 228) + "+" + std::to_string(FTop + 84), Shot});
    const std::string Histogram = Run({"convert", Shot, "-format", "%c", "histogram:info:-"});
    // Rows read "   1234: (255,  0,  0,255) #FF0000FF red".
    TColours Colours;
    std::istringstream Rows(Histogram);
    for (std::string Line; std::getline(Rows, Line);) {
      int Count = 0, R = 0, G = 0, B = 0;
      if (std::sscanf(Line.c_str(), " %d: (%d,%d,%d", &Count, &R, &G, &B) != 4) continue;
      if (R > 180 && G < 90 && B < 90) Colours.Red += Count;
      if (B > 180 && R < 90 && G < 90) Colours.Blue += Count;
    }
    return Colours;
  }

  TSoundServer FServer;
  TVirtualScreen FScreen{FServer.Session()};
  int FLeft = 0, FTop = 0;
  TColours FStopped;  // the label's colours while it reads "STOP ..."
};

class WindowOnPipeWire : public TWindowFixture {
 protected:
  WindowOnPipeWire() : TWindowFixture(TServerSettings::PipeWire(48000, {48000})) {}
};

class WindowOnPipeWireAt96k : public TWindowFixture {
 protected:
  WindowOnPipeWireAt96k() : TWindowFixture(TServerSettings::PipeWire(96000, {96000})) {}
  // The Adjustment dialog's place once Set-up has shown it at its size.
  void ShowDialog() {
    Click(8 + 24, 312 + 22);  // Set-up
    const auto Shown = [&] {
      for (const TShown& Window : ShownWindows())
        if (Window.Width == 429 && Window.Height == 324) {
          FDialogLeft = Window.Left;
          FDialogTop = Window.Top;
          return true;
        }
      return false;
    };
    if (!WaitUntil(ToolBound, Shown)) throw std::runtime_error("the dialog did not show");
  }
  void ClickInDialog(int X, int Y) {
    Run({"xdotool", "mousemove", std::to_string(FDialogLeft + X), std::to_string(FDialogTop + Y),
         "click", "1"});
  }
  int FDialogLeft = 0, FDialogTop = 0;
};

TEST_F(WindowOnPipeWire, APestAboveWhatTheOutputCarriesIsSilentAndTheStatusSaysSo) {
  TLaunch Launch;
  const auto Window = StartWindow(Launch);
  const TColours Stopped = FStopped;

  // Cockroach, 25000-40000 Hz: nothing of it can be carried at 48000. Once the sweep has run its
  // first tick the label reads "SILENT ..." in red (not the blue "RUN ..." it shows before, nor
  // "STOP ..."); what the output then gets is recorded.
  Choose(1);
  Click(60 + 24, 312 + 22);  // Go
  TColours SilentColours;
  EXPECT_TRUE(WaitUntil(20s, [&] {
    SilentColours = StatusColours();
    return SilentColours.Red > 20 && SilentColours.Blue == 0 && SilentColours.Red != Stopped.Red;
  })) << "the label never read \"SILENT ...\"";
  TMonitorRecording Silent(FServer, 48000, "silent");
  Silent.WaitForMore(2.5);
  const TAnalysis Heard = Analyse(Silent.Stop());
  EXPECT_LT(Heard.Loudest.AudibleDb, InaudibleDb) << Heard.Describe();

  // Stop, then House fly, 10000-18000 Hz: heard, and the label turns blue. A busy machine may
  // take a while to start the sweep: it is listened for in recordings of two seconds, up to a
  // bound.
  Click(112 + 24, 312 + 22);
  Choose(4);
  Click(60 + 24, 312 + 22);
  TAnalysis HeardFly;
  const auto FlyHeard = [&] {
    TMonitorRecording Audible(FServer, 48000, "audible");
    Audible.WaitForMore(2);
    HeardFly = Analyse(Audible.Stop());
    return HeardFly.Loudest.AudibleDb > -40;
  };
  EXPECT_TRUE(WaitUntil(60s, FlyHeard)) << HeardFly.Describe();
  EXPECT_TRUE(WaitUntil(10s, [&] { return StatusColours().Blue > 20; }))
      << "the label did not turn blue";
  EXPECT_TRUE(Window->Running()) << ReadWholeFile(Launch.Err);
}

// Cockroach, 25000-40000 Hz, chosen and started with Go, reaches the output with the audible
// sound its tones carry (the page says -16 dBFS); ticking "ultrasound only" on the Sound output
// page while it sweeps leaves less than -60 dBFS of it.
TEST_F(WindowOnPipeWireAt96k, UltrasoundOnlyTickedOnTheSoundOutputPageLeavesNothingAudible) {
  TLaunch Launch;
  const auto Window = StartWindow(Launch);
  Choose(1);
  Click(60 + 24, 312 + 22);  // Go
  TAnalysis Heard;
  EXPECT_TRUE(WaitUntil(60s, [&] {
    return (Heard = Listen(96000, 2, "plain")).Loudest.AudibleDb > -40;
  })) << Heard.Describe();

  ShowDialog();
  ClickInDialog(246, 12);  // the Sound output page's tab
  ClickInDialog(23, 245);  // "Ultrasound only"
  // The next tick plays the new synthesis: listened for in recordings of two seconds, up to a
  // bound, until one holds the sweep and nothing audible. What is checked is the synthesis the box
  // chose: on a loaded machine PipeWire now and then runs the stream dry, and such a gap clicks in
  // about one recording in four (the server tests of ultrasound only say more).
  const auto Ultrasound = [&] {
    Heard = Listen(96000, 2, "ultrasound");
    return Heard.Strongest.PeakDb > -50 && Heard.Loudest.AudibleDb < InaudibleDb;
  };
  EXPECT_TRUE(WaitUntil(60s, Ultrasound)) << Heard.Describe();
  EXPECT_NEAR(Heard.Strongest.PeakHz, 32500, 7500 + FrequencyToleranceHz) << Heard.Describe();
  EXPECT_TRUE(Window->Running()) << ReadWholeFile(Launch.Err);
}

}  // namespace
