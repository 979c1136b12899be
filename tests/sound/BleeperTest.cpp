#include "sound/Bleeper.h"

#include <gtest/gtest.h>

#include "platform/hw/RecordingPortIO.h"

namespace {

// Records the system beeps as "Freq/MSecs" words, a silence as "S".
class TRecordingBeep : public ISystemBeep {
 public:
  explicit TRecordingBeep(std::string& Trace) : FTrace(Trace) {}
  void Beep(uint32_t Freq, int32_t MSecs) override {
    FTrace += std::to_string(Freq) + "/" + std::to_string(MSecs) + " ";
  }
  void Silence() override { FTrace += "S "; }

 private:
  std::string& FTrace;
};

// Ports that note the millisecond counter at each write, so that the end of a wait has a time.
class TTimedPorts : public TRecordingPortIO {
 public:
  explicit TTimedPorts(const uint32_t& Now) : FNow(Now) {}
  void WritePort(uint16_t Port, uint8_t Value) override {
    TRecordingPortIO::WritePort(Port, Value);
    Times.push_back(FNow);
  }
  std::vector<uint32_t> Times;

 private:
  const uint32_t& FNow;
};

const std::vector<TPortWrite> Start1000Hz = {{0x61, 3}, {0x43, 0xB6}, {0x42, 0xA9}, {0x42, 0x04}};
const TPortWrite Stop = {0x61, 0};

std::string RangeMessage(TBleeper& Speaker, uint32_t Freq, int32_t MSecs) {
  try {
    Speaker.SpeakerTone(Freq, MSecs);
  } catch (const ERangeError& E) {
    return E.Message();
  }
  return "";
}

// The port path with a counter that moves on by 1 ms at each read.
class BleeperPorts : public testing::Test {
 protected:
  BleeperPorts() : Ports(new TTimedPorts(Now)), Speaker(std::unique_ptr<IPortIO>(Ports)) {
    Speaker.SetTickCounter([this] { return ++Reads, Now++; });
    Speaker.SetMessagePump([this] { ++Pumped; });
  }
  std::vector<TPortWrite> StartStop() {
    auto Writes = Start1000Hz;
    Writes.push_back(Stop);
    return Writes;
  }
  uint32_t Now = 0;
  int Reads = 0, Pumped = 0;
  TTimedPorts* Ports;
  TBleeper Speaker;
};

}  // namespace

TEST_F(BleeperPorts, ArgumentsAreCheckedInOrderOnBothPaths) {
  std::string Beeps;
  TBleeper System(std::make_unique<TRecordingBeep>(Beeps));
  EXPECT_TRUE(System.PlatformIsNT());
  EXPECT_FALSE(Speaker.PlatformIsNT());
  for (TBleeper* Path : {&System, &Speaker}) {
    EXPECT_EQ(RangeMessage(*Path, 5, -2), "Bleeper: MSecs < -1");
    EXPECT_EQ(RangeMessage(*Path, 25000, -2), "Bleeper: MSecs < -1");
    EXPECT_EQ(RangeMessage(*Path, 19, 100),
              Path == &System ? "Bleeper: Freq < 37" : "Bleeper: Freq < 20");
    EXPECT_EQ(RangeMessage(*Path, 20001, 100), "Bleeper: Freq > 20000");
  }
  EXPECT_EQ(RangeMessage(System, 36, 100), "Bleeper: Freq < 37");
  EXPECT_EQ(Beeps, "");
  EXPECT_TRUE(Ports->Writes.empty());

  System.SpeakerTone(37, 100);
  System.SpeakerTone(20000, 0);
  System.SpeakerTone(440, -1);
  System.SpeakerSilence();
  EXPECT_EQ(Beeps, "37/100 20000/0 440/-1 S ");
}

TEST_F(BleeperPorts, ProgramsTheTimerAndStopsAfterTheWaitAcrossTheCounterWrap) {
  Now = 5000;
  Speaker.SpeakerTone(1000, 200);
  EXPECT_EQ(Ports->Writes, StartStop());
  EXPECT_EQ(Ports->Times.back(), 5201u);  // the read that found 200 ms gone returned 5200
  EXPECT_EQ(Pumped, 0);

  // 20 Hz is the port path's lowest: divisor 59659 = 0xE90B.
  Ports->Writes.clear();
  Speaker.SpeakerTone(20, 100);
  EXPECT_EQ(Ports->Writes[2], (TPortWrite{0x42, 0x0B}));
  EXPECT_EQ(Ports->Writes[3], (TPortWrite{0x42, 0xE9}));

  // The wait survives the counter's wrap: 15 ms up to the top, then until it reaches 85.
  Now = 0xFFFFFFF0u;
  Speaker.SpeakerTone(1000, 100);
  EXPECT_EQ(Ports->Times.back(), 86u);
}

TEST_F(BleeperPorts, UntilSilencedZeroLengthAndMessagesInLongWaits) {
  Speaker.SpeakerTone(1000, -1);
  EXPECT_EQ(Ports->Writes, Start1000Hz);
  EXPECT_EQ(Reads, 0);  // returned at once, the speaker still on
  Speaker.SpeakerSilence();
  EXPECT_EQ(Ports->Writes.back(), Stop);

  Ports->Writes.clear();
  Speaker.SpeakerTone(1000, 0);
  EXPECT_EQ(Ports->Writes, StartStop());
  EXPECT_EQ(Reads, 2);

  // Messages are pumped only in waits above one second, once before each read after the first.
  Speaker.SpeakerTone(440, 1000);
  EXPECT_EQ(Pumped, 0);
  Speaker.SpeakerTone(440, 1001);
  EXPECT_EQ(Pumped, 1001);
}

TEST_F(BleeperPorts, SilenceFromAMessageDuringTheWaitLeavesTheOuterStop) {
  Speaker.SetMessagePump([&] {
    if (Pumped++ == 0) Speaker.SpeakerSilence();
  });
  Speaker.SpeakerTone(1000, 2000);
  auto Expected = StartStop();
  Expected.push_back(Stop);
  EXPECT_EQ(Ports->Writes, Expected);
}
