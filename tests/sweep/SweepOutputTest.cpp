// The live sweep output on the sound card: a tone whose image cannot be built is an error, as it
// is for the recorder, instead of a tick that silently plays nothing.
#include "sweep/SweepOutput.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "platform/audio/RecordingSoundService.h"
#include "platform/core/Exceptions.h"
#include "sound/ToneGen.h"
#include "tests/support/Sanitizers.h"

namespace {

// Address space the process maps now, in bytes. Unused in sanitizer builds, which skip the test.
[[maybe_unused]] rlim_t MappedBytes() {
  std::ifstream Statm("/proc/self/statm");
  rlim_t Pages = 0;
  Statm >> Pages;
  return Pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

TEST(ToneGenOutput, AToneThatCannotBeBuiltIsAnErrorAndNothingPlays) {
#if defined(TESSOLON_ASAN) || defined(TESSOLON_TSAN)
  GTEST_SKIP() << "the sanitizers reserve address space a limit would take away";
#else
  const pid_t Child = fork();
  ASSERT_GE(Child, 0);
  if (Child == 0) {
    TRecordingSoundService Service;
    TScopedSoundService Install(Service);
    TToneGen ToneGen(nullptr);
    // The longest tone at the highest rate, 16-bit stereo: about 12.6 MB, where the process may
    // map only 4 MB more than it has.
    ToneGen.SetDuration(32767);
    ToneGen.SetQuality(tgHiQ);
    ToneGen.SetResolution(tg16Bit);
    ToneGen.SetStereo(true);
    TToneGenOutput Output(ToneGen);
    const rlimit Limit{MappedBytes() + 4 * 1024 * 1024, RLIM_INFINITY};
    if (setrlimit(RLIMIT_AS, &Limit) != 0) _exit(3);
    int Status = 1;
    try {
      Output.SoundCardTone(15000, false);
    } catch (const Exception& E) {
      Status = E.Message() == "The tone at 15000 Hz could not be built" ? 0 : 2;
    }
    if (Status == 0 && Service.Count(scPlay) != 0) Status = 4;
    _exit(Status);
  }
  int Status = 0;
  ASSERT_EQ(waitpid(Child, &Status, 0), Child);
  ASSERT_TRUE(WIFEXITED(Status));
  // 1: no error; 2: another message; 3: no limit could be set; 4: something played.
  EXPECT_EQ(WEXITSTATUS(Status), 0);
#endif
}
