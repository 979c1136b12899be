// Table file speed: reading every field of every record of a 100,000-record pest-shaped table,
// and appending 100,000 records; each also measured as a whole process next to the same job
// done by python3-dbfread (read) and Perl XBase (append), when they are installed. And NDX index
// speed: building an index over such a table (target: under 0.3 s), and 100,000 random inserts
// into an index shared with other processes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <numeric>
#include <random>
#include <string>

#include "bench/PestTableShape.h"
#include "bench/RunQuiet.h"
#include "table/CodePage.h"
#include "table/NdxIndex.h"

namespace {

constexpr int RecordCount = 100000;

std::string SelfPath() {
  return std::filesystem::read_symlink("/proc/self/exe").string();
}

// Appends Count pest profiles; shared mode is how the program opens its table.
void AppendPests(const std::string& Name, int Count, TPagedFileMode Mode) {
  WriteBenchPests(Name, Count, Mode == pfReadWriteOpen ? pfReadWriteCreate : pfExclusiveCreate);
}

// Opens the table shared and decodes every field of every record (text to UTF-8).
std::int64_t ReadPests(const std::string& Name) {
  TDbaseFile File;
  File.SetFileName(Name);
  File.SetMode(pfReadWriteOpen);
  File.Open();
  TCodePageConverter Text(File.CodePage());
  std::vector<std::uint8_t> R(File.RecordSize());
  std::int64_t Checksum = 0;
  const int Count = File.RecordCount();
  for (int N = 1; N <= Count; ++N) {
    File.ReadRecord(N, R.data());
    for (int I = 0; I < File.FieldDefs().Count(); ++I) {
      const TVariant V = File.GetFieldData(I, File.FieldDefs()[I].FieldType, R.data());
      if (V.VarType() == varString)
        Checksum += static_cast<std::int64_t>(Text.ToUtf8(V.AsString()).size());
      else
        Checksum += static_cast<std::int64_t>(V.AsFloat());
    }
  }
  return Checksum;
}

const std::string& PestTable() {
  static const std::string Name = [] {
    const std::string Path = BenchFile("pests.dbf");
    AppendPests(Path, RecordCount, pfExclusiveOpen);
    return Path;
  }();
  return Name;
}

// Runs Args as a whole process on each iteration, timing it by the wall clock.
void WholeProcess(benchmark::State& State, const std::vector<std::string>& Args) {
  for (auto _ : State) {
    const double Seconds = SecondsToRun(Args);
    if (Seconds < 0) {
      State.SkipWithError(("failed: " + Args[0]).c_str());
      return;
    }
    State.SetIterationTime(Seconds);
  }
}

void BM_ReadAllFields(benchmark::State& State) {
  const std::string& Name = PestTable();
  for (auto _ : State) benchmark::DoNotOptimize(ReadPests(Name));
  State.SetItemsProcessed(State.iterations() * RecordCount);
}
BENCHMARK(BM_ReadAllFields)->Unit(benchmark::kMillisecond);

void BM_Append(benchmark::State& State) {
  const auto Mode = static_cast<TPagedFileMode>(State.range(0));
  for (auto _ : State) AppendPests(BenchFile("append.dbf"), RecordCount, Mode);
  State.SetItemsProcessed(State.iterations() * RecordCount);
  State.SetLabel(Mode == pfReadWriteOpen ? "shared" : "exclusive");
}
BENCHMARK(BM_Append)->Arg(pfReadWriteOpen)->Arg(pfExclusiveOpen)->Unit(benchmark::kMillisecond);

void BM_ProcessReadHere(benchmark::State& State) {
  WholeProcess(State, {SelfPath(), "--read", PestTable()});
}
BENCHMARK(BM_ProcessReadHere)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_ProcessReadDbfread(benchmark::State& State) {
  WholeProcess(State,
               {"/usr/bin/python3", "-c",
                "import sys, dbfread\nfor r in dbfread.DBF(sys.argv[1]): pass", PestTable()});
}
BENCHMARK(BM_ProcessReadDbfread)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// Exclusive is the like-for-like comparison (XBase takes no locks); shared is the program's mode.
void BM_ProcessAppendHere(benchmark::State& State) {
  const bool Shared = State.range(0) == pfReadWriteOpen;
  WholeProcess(State,
               {SelfPath(), Shared ? "--append-shared" : "--append", BenchFile("append-here.dbf")});
  State.SetLabel(Shared ? "shared" : "exclusive");
}
BENCHMARK(BM_ProcessAppendHere)
    ->Arg(pfExclusiveOpen)
    ->Arg(pfReadWriteOpen)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_ProcessAppendXBase(benchmark::State& State) {
  const std::string Script =
      "use XBase; my $n = shift; unlink $n; my $t = XBase->create(name => $n, "
      "field_names => [qw(IDX NAME_PEST TIME_CH VAL_CH DURLATE F_START F_END WAV_FRM)], "
      "field_types => [qw(N C N N N N N N)], field_lengths => [6, 30, 5, 5, 5, 8, 8, 1], "
      "field_decimals => [0, 0, 0, 0, 0, 2, 2, 0]) or die; for my $i (0 .. 99999) { "
      "$t->set_record($i, $i, \"Pest $i\", 100, 50, 20, 12.5, 99.25, $i % 5) } $t->close;";
  WholeProcess(State, {"perl", "-e", Script, BenchFile("append-xbase.dbf")});
}
BENCHMARK(BM_ProcessAppendXBase)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Creates a distinct index on the profiles' numbers under exclusive access, built from the table
// when Build.
void CreateIndex(TDbaseFile& Table, const std::string& Name, TPagedFileMode Mode, bool Build) {
  Table.TryExclusive();
  TIndexFile Index(Table);
  Index.SetFileName(Name);
  Index.SetMode(Mode);
  Index.Open();
  Index.CreateIndex(PestField::Idx, ixPrimary | ixUnique);
  if (Build) Index.Rebuild();
  Index.Close();
  Table.EndExclusive();
}

void BM_BuildIndex(benchmark::State& State) {
  const std::string Name = BenchFile("build.dbf");
  WriteBenchPests(Name, RecordCount, pfExclusiveCreate, 7);
  TDbaseFile Table;
  Table.SetFileName(Name);
  Table.SetMode(pfReadWriteOpen);
  Table.Open();
  for (auto _ : State) CreateIndex(Table, BenchFile("build.ndx"), pfReadWriteCreate, true);
  State.SetLabel("100,000 records, distinct numeric key");
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SharedRandomInserts(benchmark::State& State) {
  const std::string Name = BenchFile("inserts.dbf"), IndexName = BenchFile("inserts.ndx");
  WriteBenchPests(Name, 0, pfExclusiveCreate);
  TDbaseFile Table;
  Table.SetFileName(Name);
  Table.SetMode(pfReadWriteOpen);
  Table.Open();
  std::vector<int> Keys(RecordCount);
  std::iota(Keys.begin(), Keys.end(), 1);
  std::shuffle(Keys.begin(), Keys.end(), std::mt19937(11));
  std::vector<std::uint8_t> Record(Table.RecordSize());
  Table.InitRecord(Record.data());
  for (auto _ : State) {
    State.PauseTiming();
    std::filesystem::remove(IndexName);
    CreateIndex(Table, IndexName, pfExclusiveCreate, false);
    TIndexFile Index(Table);
    Index.SetFileName(IndexName);
    Index.SetMode(pfReadWriteOpen);
    Index.Open();
    State.ResumeTiming();
    for (int I = 0; I < RecordCount; ++I) {
      Table.SetFieldData(0, Table.FieldDefs()[0].FieldType, Keys[I], Record.data());
      Index.InsertKey(I + 1, Record.data());
    }
  }
  State.SetLabel("100,000 keys, each written through under the header lock");
}
BENCHMARK(BM_SharedRandomInserts)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

// "--read FILE", "--append FILE" and "--append-shared FILE" run one job as a process of its own for
// the whole-process comparisons; anything else runs the benchmarks.
int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--read") == 0) {
    std::printf("%lld\n", static_cast<long long>(ReadPests(argv[2])));
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--append") == 0) {
    AppendPests(argv[2], RecordCount, pfExclusiveOpen);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--append-shared") == 0) {
    AppendPests(argv[2], RecordCount, pfReadWriteOpen);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
