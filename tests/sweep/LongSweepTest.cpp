// A long headless sweep: 10,000 ticks at a 1 ms interval on the sound card keep the heap, the
// open file descriptors and the threads where they were. The gauges are read while the sweep
// runs, at every 500th tick line it writes, so growth that the end of the command would
// free still shows, and the readings follow the sweep's progress rather than the clock.
#include <dirent.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <set>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "sound/ToneGen.h"
#include "sweep/SweepCommand.h"
#include "table/TableCommand.h"
#include "tests/support/Sanitizers.h"
#include "tests/sweep/SweepFolder.h"

#ifdef TESSOLON_ASAN
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Enough for the smallest block leaked per tick to show many times over the threshold below,
// while the run stays at some 10 s of the suite's time.
constexpr long long Ticks = 10000;
constexpr long long TicksPerSample = 500;

// Bytes the program holds on the heap now (AddressSanitizer keeps its own count).
std::size_t HeapInUse() {
#ifdef TESSOLON_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 Info = mallinfo2();
  return Info.uordblks + Info.hblkhd;  // small blocks and mapped ones
#endif
}

// Entries of a /proc/self folder, without . and .. (and, for fd, without the one reading it).
std::set<std::string> Entries(const char* Folder) {
  std::set<std::string> Names;
  DIR* Dir = opendir(Folder);
  if (!Dir) return Names;
  const int Own = dirfd(Dir);
  while (const dirent* Entry = readdir(Dir))
    if (Entry->d_name[0] != '.' && !(std::string(Folder) == "/proc/self/fd" &&
                                     std::string(Entry->d_name) == std::to_string(Own)))
      Names.insert(Entry->d_name);
  closedir(Dir);
  return Names;
}

struct TGauges {
  std::size_t Heap;
  std::size_t Descriptors;
  std::size_t Threads;
};

TGauges Read() {
  const std::size_t Heap = HeapInUse();  // before the listings allocate
  return {Heap, Entries("/proc/self/fd").size(), Entries("/proc/self/task").size()};
}

// The threads listed now that were not listed in Before. A joined thread stays listed until the
// kernel has reaped it, which on a busy machine takes a while: wait for the ones that ended to
// go. Only a thread that still runs when the minute is up is reported.
std::set<std::string> ThreadsBeyond(const std::set<std::string>& Before) {
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  for (;;) {
    std::set<std::string> New;
    for (const std::string& Tid : Entries("/proc/self/task"))
      if (!Before.count(Tid)) New.insert(Tid);
    if (New.empty() || std::chrono::steady_clock::now() > Deadline) return New;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Takes the command's output without keeping it: counts lines, remembers the last one and reads
// the gauges at every TicksPerSample-th line, on the sweep's own thread between two ticks.
class TLineCounter : public std::streambuf {
 public:
  TLineCounter() { Samples.reserve(Ticks / TicksPerSample + 1); }
  long long Lines = 0;
  std::string Last, Current;
  bool Sampling = false;
  std::vector<TGauges> Samples;

 protected:
  int overflow(int Char) override {
    if (Char == '\n') {
      if (++Lines % TicksPerSample == 0 && Sampling) Samples.push_back(Read());
      Last.swap(Current);
      Current.clear();
    } else if (Char != traits_type::eof()) {
      Current.push_back(char(Char));
    }
    return Char;
  }
};

// The shipped profiles and one more: a 1 ms interval, 100 Hz steps, 5 ms sine tones. The
// command's output goes to the counter.
class LongSweep : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(TableCommand({"data/para.dbf", "append", "IDX=900", "NAME_PEST=Fast", "TIME_CH=1",
                            "VAL_CH=100", "DURLATE=5", "F_START=7000", "F_END=8000", "WAV_FRM=0"}),
              0);
    std::cout.rdbuf(&FOut);
  }

  // Declared first, so that the folder gives cout its own buffer back before this goes.
  TLineCounter FOut;
  TSweepFolder FFolder{"tessolon-long-sweep-"};
};

}  // namespace

TEST_F(LongSweep, TenThousandTicksKeepHeapDescriptorsAndThreadsFlat) {
  // A short sweep first, so that what the sound service sets up once is there before counting.
  ASSERT_EQ(SweepCommand({"--idx", "900", "--ticks", "20"}), 0);
  const TGauges Before = Read();
  const std::set<std::string> ThreadsBefore = Entries("/proc/self/task");
  const int ToneGens = TToneGen::InstanceCount();

  FOut.Sampling = true;
  const auto Start = std::chrono::steady_clock::now();
  ASSERT_EQ(SweepCommand({"--idx", "900", "--ticks", std::to_string(Ticks)}), 0);
  const auto Elapsed = std::chrono::steady_clock::now() - Start;
  FOut.Sampling = false;

  EXPECT_EQ(FOut.Lines, 20 + Ticks);
  EXPECT_EQ(FOut.Last.rfind(std::to_string(Ticks) + " ", 0), 0u) << FOut.Last;
  // At one tick a millisecond the sweep cannot end sooner than this; a slow machine only adds.
  EXPECT_GE(Elapsed, std::chrono::milliseconds(Ticks));

  // While it ran: the first tenth of the run settles buffers, after that nothing may grow.
  const auto& Samples = FOut.Samples;
  ASSERT_EQ(Samples.size(), std::size_t(Ticks / TicksPerSample));
  const std::size_t Settled = Samples.size() / 10;
  auto Peak = [&](std::size_t From, std::size_t To) {
    TGauges P{0, 0, 0};
    for (std::size_t I = From; I < To; ++I) {
      P.Heap = std::max(P.Heap, Samples[I].Heap);
      P.Descriptors = std::max(P.Descriptors, Samples[I].Descriptors);
      P.Threads = std::max(P.Threads, Samples[I].Threads);
    }
    return P;
  };
  const TGauges Early = Peak(0, Settled), Late = Peak(Samples.size() / 2, Samples.size());
  // The smallest block leaked per tick would add some 80 KB over the second half.
  EXPECT_LE(Late.Heap, Early.Heap + 16 * 1024)
      << "heap grew from " << Early.Heap << " to " << Late.Heap;
  EXPECT_LE(Late.Descriptors, Early.Descriptors);
  EXPECT_LE(Late.Threads, Early.Threads);

  // Afterwards the command has released what it held and every thread it started has ended.
  const TGauges After = Read();
  EXPECT_EQ(After.Descriptors, Before.Descriptors);
  EXPECT_EQ(ThreadsBeyond(ThreadsBefore), std::set<std::string>{});
  EXPECT_LE(After.Heap, Before.Heap + 16 * 1024)
      << "heap grew from " << Before.Heap << " to " << After.Heap;
  EXPECT_EQ(TToneGen::InstanceCount(), ToneGens);
}
