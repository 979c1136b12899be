#include "sound/Bleeper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/hw/RecordingPortIO.h"

namespace {

struct TBeepCall {
  uint32_t Freq;
  int32_t MSecs;  // -2 marks a Silence
  bool operator==(const TBeepCall&) const = default;
};

class TRecordingBeep : public ISystemBeep {
 public:
  explicit TRecordingBeep(std::vector<TBeepCall>& Calls) : FCalls(Calls) {}
  void Beep(uint32_t Freq, int32_t MSecs) override { FCalls.push_back({Freq, MSecs}); }
  void Silence() override { FCalls.push_back({0, -2}); }

 private:
  std::vector<TBeepCall>& FCalls;
};

// A counter that moves on by one millisecond at each read, and ports that note the counter's
// value at each write, so that the end of a wait can be placed in time.
struct TClock {
  uint32_t Now = 0;
  int Reads = 0;
};

class TTimedPorts : public TRecordingPortIO {
 public:
  explicit TTimedPorts(const TClock& Clock) : FClock(Clock) {}
  void WritePort(uint16_t Port, uint8_t Value) override {
    TRecordingPortIO::WritePort(Port, Value);
    Times.push_back(FClock.Now);
  }
  std::vector<uint32_t> Times;

 private:
  const TClock& FClock;
};

const std::vector<TPortWrite> Start1000Hz = {{0x61, 3}, {0x43, 0xB6}, {0x42, 0xA9}, {0x42, 0x04}};

class BleeperPorts : public testing::Test {
 protected:
  BleeperPorts() {
    auto Owned = std::make_unique<TTimedPorts>(Clock);
    Ports = Owned.get();
    Speaker = std::make_unique<TBleeper>(std::unique_ptr<IPortIO>(std::move(Owned)));
    Speaker->SetTickCounter([this] {
      ++Clock.Reads;
      return Clock.Now++;
    });
    Speaker->SetMessagePump([this] { ++Pumped; });
  }
  TClock Clock;
  TTimedPorts* Ports;
  std::unique_ptr<TBleeper> Speaker;
  int Pumped = 0;
};

std::string RangeMessage(TBleeper& Speaker, uint32_t Freq, int32_t MSecs) {
  try {
    Speaker.SpeakerTone(Freq, MSecs);
  } catch (const ERangeError& E) {
    return E.Message();
  }
  return "";
}

}  // namespace

TEST(Bleeper, SystemBeepPathChecksArgumentsInOrderAndPassesToneOn) {
  std::vector<TBeepCall> Calls;
  TBleeper Speaker(std::make_unique<TRecordingBeep>(Calls));
  EXPECT_TRUE(Speaker.PlatformIsNT());
  EXPECT_EQ(RangeMessage(Speaker, 5, -2), "Bleeper: MSecs < -1");
  EXPECT_EQ(RangeMessage(Speaker, 25000, -2), "Bleeper: MSecs < -1");
  EXPECT_EQ(RangeMessage(Speaker, 36, 100), "Bleeper: Freq < 37");
  EXPECT_EQ(RangeMessage(Speaker, 20, 100), "Bleeper: Freq < 37");
  EXPECT_EQ(RangeMessage(Speaker, 20001, 100), "Bleeper: Freq > 20000");
  EXPECT_TRUE(Calls.empty());

  Speaker.SpeakerTone(37, 100);
  Speaker.SpeakerTone(20000, 0);
  Speaker.SpeakerTone(440, -1);
  Speaker.SpeakerSilence();
  EXPECT_EQ(Calls, (std::vector<TBeepCall>{{37, 100}, {20000, 0}, {440, -1}, {0, -2}}));
}

TEST_F(BleeperPorts, ChecksArgumentsBeforeTouchingThePorts) {
  EXPECT_FALSE(Speaker->PlatformIsNT());
  EXPECT_EQ(RangeMessage(*Speaker, 5, -2), "Bleeper: MSecs < -1");
  EXPECT_EQ(RangeMessage(*Speaker, 19, 100), "Bleeper: Freq < 20");
  EXPECT_EQ(RangeMessage(*Speaker, 20001, 100), "Bleeper: Freq > 20000");
  EXPECT_TRUE(Ports->Writes.empty());
}

TEST_F(BleeperPorts, ProgramsTheTimerAndStopsAfterTheWait) {
  Clock.Now = 5000;
  Speaker->SpeakerTone(1000, 200);
  auto Expected = Start1000Hz;
  Expected.push_back({0x61, 0});
  EXPECT_EQ(Ports->Writes, Expected);
  EXPECT_EQ(Ports->Times.back(), 5201u);  // the read that found 200 ms gone was at 5200
  EXPECT_EQ(Pumped, 0);

  // 20 Hz is the port path's lowest: divisor 59659 = 0xE90B.
  Ports->Writes.clear();
  Speaker->SpeakerTone(20, 100);
  EXPECT_EQ(Ports->Writes[2], (TPortWrite{0x42, 0x0B}));
  EXPECT_EQ(Ports->Writes[3], (TPortWrite{0x42, 0xE9}));
}

TEST_F(BleeperPorts, UntilSilencedAndZeroLength) {
  Speaker->SpeakerTone(1000, -1);
  EXPECT_EQ(Ports->Writes, Start1000Hz);
  EXPECT_EQ(Clock.Reads, 0);  // returned at once, the speaker still on
  Speaker->SpeakerSilence();
  EXPECT_EQ(Ports->Writes.back(), (TPortWrite{0x61, 0}));

  Ports->Writes.clear();
  Speaker->SpeakerTone(1000, 0);
  auto Expected = Start1000Hz;
  Expected.push_back({0x61, 0});
  EXPECT_EQ(Ports->Writes, Expected);
  EXPECT_EQ(Clock.Reads, 2);
}

TEST_F(BleeperPorts, PumpsMessagesOnlyAboveOneSecond) {
  Speaker->SpeakerTone(440, 1000);
  EXPECT_EQ(Pumped, 0);
  Speaker->SpeakerTone(440, 1001);
  EXPECT_EQ(Pumped, 1001);  // once before each counter read after the first
}

TEST_F(BleeperPorts, WaitSurvivesTheCounterWrap) {
  Clock.Now = 0xFFFFFFF0u;
  Speaker->SpeakerTone(1000, 100);
  // 15 ms up to the top, then until the wrapped counter reaches 85.
  EXPECT_EQ(Ports->Times.back(), 86u);
}

TEST_F(BleeperPorts, SilenceFromAMessageDuringTheWaitLeavesTheOuterStop) {
  bool Silenced = false;
  Speaker->SetMessagePump([&] {
    if (!Silenced) Speaker->SpeakerSilence();
    Silenced = true;
  });
  Speaker->SpeakerTone(1000, 2000);
  auto Expected = Start1000Hz;
  Expected.push_back({0x61, 0});
  Expected.push_back({0x61, 0});
  EXPECT_EQ(Ports->Writes, Expected);
}

TEST(Bleeper, ParsesPathNames) {
  EXPECT_EQ(ParseSpeakerPath("auto"), spAuto);
  EXPECT_EQ(ParseSpeakerPath("evdev"), spEvdev);
  EXPECT_EQ(ParseSpeakerPath("soundcard"), spSoundCard);
  EXPECT_EQ(ParseSpeakerPath("ports"), spPorts);
  EXPECT_EQ(ParseSpeakerPath("Ports"), std::nullopt);
}
