// NDX index speed: building an index over a 100,000-record pest-shaped table (target: under
// 0.3 s), and 100,000 random inserts into an index shared with other processes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>

#include "bench/PestTableShape.h"
#include "bench/RunQuiet.h"
#include "table/NdxIndex.h"

namespace {

constexpr int RecordCount = 100000;

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

BENCHMARK_MAIN();
