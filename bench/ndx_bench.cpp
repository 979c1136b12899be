// NDX index speed: building an index over a 100,000-record pest-shaped table (target: under
// 0.3 s), and 100,000 random inserts into an index shared with other processes.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <random>

#include "bench/PestTableShape.h"
#include "table/DbaseFile.h"
#include "table/NdxIndex.h"
#include "tests/support/ScratchFolder.h"

namespace {

constexpr int RecordCount = 100000;

class TBenchDir {
 public:
  std::string File(const std::string& Name) const { return (FFolder / Name).string(); }

 private:
  TScratchFolder FFolder{"ndxbench-"};
};

// A pest-shaped table whose IDX values are a shuffled 1..Count.
void MakePestTable(const std::string& Name, int Count) {
  TDbaseFile Table;
  Table.SetFileName(Name);
  Table.SetMode(pfExclusiveCreate);
  Table.CreateTable(PestFields());
  std::vector<int> Keys(Count);
  std::iota(Keys.begin(), Keys.end(), 1);
  std::shuffle(Keys.begin(), Keys.end(), std::mt19937(7));
  std::vector<std::uint8_t> Record(Table.RecordSize());
  for (int Key : Keys) {
    Table.InitRecord(Record.data());
    Table.SetFieldData(0, Table.FieldDefs()[0].FieldType, Key, Record.data());
    Table.SetFieldData(1, ftString, "Mosquito", Record.data());
    Table.Insert(Record.data());
  }
  Table.Close();
}

void BM_BuildIndex(benchmark::State& State) {
  TBenchDir Dir;
  MakePestTable(Dir.File("para.dbf"), RecordCount);
  TDbaseFile Table;
  Table.SetFileName(Dir.File("para.dbf"));
  Table.SetMode(pfReadWriteOpen);
  Table.Open();
  for (auto _ : State) {
    Table.TryExclusive();
    TIndexFile Index(Table);
    Index.SetFileName(Dir.File("idx.ndx"));
    Index.SetMode(pfReadWriteCreate);
    Index.Open();
    Index.CreateIndex(PestField::Idx, ixPrimary | ixUnique);
    Index.Rebuild();
    Index.Close();
    Table.EndExclusive();
  }
  State.SetLabel("100,000 records, distinct numeric key");
}
BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SharedRandomInserts(benchmark::State& State) {
  TBenchDir Dir;
  MakePestTable(Dir.File("para.dbf"), 0);
  TDbaseFile Table;
  Table.SetFileName(Dir.File("para.dbf"));
  Table.SetMode(pfReadWriteOpen);
  Table.Open();
  std::vector<int> Keys(RecordCount);
  std::iota(Keys.begin(), Keys.end(), 1);
  std::shuffle(Keys.begin(), Keys.end(), std::mt19937(11));
  std::vector<std::uint8_t> Record(Table.RecordSize());
  Table.InitRecord(Record.data());
  for (auto _ : State) {
    State.PauseTiming();
    std::filesystem::remove(Dir.File("idx.ndx"));
    Table.TryExclusive();
    {
      TIndexFile Index(Table);
      Index.SetFileName(Dir.File("idx.ndx"));
      Index.SetMode(pfExclusiveCreate);
      Index.Open();
      Index.CreateIndex(PestField::Idx, ixPrimary | ixUnique);
    }
    Table.EndExclusive();
    TIndexFile Index(Table);
    Index.SetFileName(Dir.File("idx.ndx"));
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
