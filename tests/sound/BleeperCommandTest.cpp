#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/audio/RecordingSoundService.h"
#include "sound/BeepCommand.h"
#include "sound/BleeperPaths.h"
#include "tests/support/ScratchFolder.h"

TEST(BleeperCommand, ExitStatusFollowsTheOutcome) {
  TRecordingSoundService Sound;
  TScopedSoundService Scope(Sound);
  EXPECT_EQ(BeepCommand({"--help"}), 0);
  EXPECT_EQ(BeepCommand({"440"}), 2);
  EXPECT_EQ(BeepCommand({"440", "10", "--path", "speaker"}), 2);
  EXPECT_EQ(BeepCommand({"20", "10", "--path", "soundcard"}), 1);   // below 37 on this path
  EXPECT_EQ(BeepCommand({"20001", "10", "--path=soundcard"}), 1);   // above 20000
  EXPECT_EQ(BeepCommand({"440", "-2", "--path", "soundcard"}), 1);  // MSecs < -1
  EXPECT_EQ(Sound.Trace(), "");

  EXPECT_EQ(BeepCommand({"--path", "soundcard", "440", "20"}), 0);
  ASSERT_EQ(Sound.Trace(), "P");
  EXPECT_EQ(Sound.Events[0].Image.size(), 44u + 2 * 882);
}

// Through the real sound service and SDL's disk driver, in a child process so that the driver
// is chosen before SDL starts.
TEST(BleeperCommand, SoundCardPathWritesTheSquareWave) {
  const TScratchFolder Folder("beep-disk-");
  const auto Output = Folder / "out.raw";
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    alarm(20);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", Output.c_str(), 1);
    const int Code = BeepCommand({"440", "200", "--path", "soundcard"});
    std::fflush(nullptr);  // the driver writes through stdio; _exit would drop its buffer
    _exit(Code);
  }
  int Status = 0;
  waitpid(Child, &Status, 0);
  ASSERT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Status;

  std::ifstream In(Output, std::ios::binary);
  const std::vector<char> Bytes{std::istreambuf_iterator<char>(In), {}};
  std::filesystem::remove(Output);
  std::vector<int16_t> Samples(Bytes.size() / 2);
  std::memcpy(Samples.data(), Bytes.data(), Samples.size() * 2);
  // Whatever silence the device adds around it, the tone itself is 200 ms at 44100 Hz.
  const auto First = std::find_if(Samples.begin(), Samples.end(), [](int16_t S) { return S; });
  const auto Last = std::find_if(Samples.rbegin(), Samples.rend(), [](int16_t S) { return S; });
  ASSERT_NE(First, Samples.end());
  const std::vector<int16_t> Tone(First, Last.base());
  EXPECT_EQ(Tone.size(), 8820u);
  int Rising = 1;  // the tone starts high
  for (std::size_t I = 0; I < Tone.size(); ++I) {
    EXPECT_EQ(std::abs(Tone[I]), SquareWaveAmplitude) << I;
    if (I > 0 && Tone[I] > 0 && Tone[I - 1] < 0) ++Rising;
  }
  EXPECT_EQ(Rising, 88);  // 440 Hz for 0.2 s
}
