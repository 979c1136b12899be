// Two processes appending to and editing one shared table with a shared index attached: no
// key is lost, none is duplicated, and the tree stays sound.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "table/DbaseMessages.h"
#include "table/NdxVerify.h"
#include "tests/table/NdxTestSupport.h"

namespace {

constexpr int PerProcess = 400;
constexpr int Shift = 100000;

// The table and its index, both opened shared.
std::unique_ptr<TDbaseFile> OpenShared(const std::string& TableName, const std::string& IndexName) {
  auto Table = std::make_unique<TDbaseFile>();
  Table->SetFileName(TableName);
  Table->SetMode(pfReadWriteOpen);
  Table->Open();
  auto Index = std::make_unique<TIndexFile>(*Table);
  Index->SetFileName(IndexName);
  Index->SetMode(pfReadWriteOpen);
  Index->Open();
  Table->AddIndex(std::move(Index));
  return Table;
}

// Opens the table and its index shared, appends keys First, First + 2, ... and then moves
// each of them up by Shift; the exit status tells the parent whether every append went
// through.
int AppendInChild(const std::string& TableName, const std::string& IndexName, int First) {
  try {
    const auto Shared = OpenShared(TableName, IndexName);
    TDbaseFile& Table = *Shared;
    std::vector<std::uint8_t> Record(Table.RecordSize());
    const TFieldType Type = Table.FieldDefs()[0].FieldType;
    std::vector<int> Mine;
    for (int I = 0; I < PerProcess; ++I) {
      Table.InitRecord(Record.data());
      Table.SetFieldData(0, Type, First + 2 * I, Record.data());
      Mine.push_back(Table.Insert(Record.data()));
    }
    // Key changes take only the index's own locks, so these race the other process's.
    for (int I = 0; I < PerProcess; ++I) {
      Table.LockRecord(Mine[I], Record.data());
      Table.SetFieldData(0, Type, Shift + First + 2 * I, Record.data());
      Table.PostRecord(Mine[I], Record.data());
    }
    Table.Close();
    return 0;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "child %d: %s\n", First, E.what());
    return 1;
  }
}

void RunChildren(const TNdxTable& T, std::initializer_list<int> Firsts) {
  std::vector<pid_t> Children;
  for (int First : Firsts) {
    const pid_t Pid = ::fork();
    ASSERT_GE(Pid, 0);
    if (Pid == 0) ::_exit(AppendInChild(T.TableName(), T.File("idx.ndx"), First));
    Children.push_back(Pid);
  }
  for (pid_t Pid : Children) {
    int Status = 0;
    ASSERT_EQ(::waitpid(Pid, &Status, 0), Pid);
    EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
  }
}

TEST(NdxConcurrency, TwoAppendingProcessesKeepTheIndexComplete) {
  TNdxTable T({{"IDX", 'N', 6}}, pfReadWriteOpen);
  TIndexFile& Created = T.CreateIndex("idx.ndx", "IDX", ixPrimary | ixUnique);
  T.Table().RemoveIndex(&Created);

  RunChildren(T, {1, 2});

  TIndexFile& Index = T.OpenIndex("idx.ndx");
  EXPECT_EQ(T.Table().RecordCount(), 2 * PerProcess);
  EXPECT_EQ(VerifyIndex(Index), "");
  const auto Entries = IndexEntries(Index);
  ASSERT_EQ(Entries.size(), std::size_t(2 * PerProcess));
  for (int I = 0; I < 2 * PerProcess; ++I)
    EXPECT_EQ(Entries[I].first, std::to_string(Shift + I + 1));
}

// A peer that opened the index before others grew it must not put its old view back when it
// closes: the pages they added stay below the next free page.
TEST(NdxConcurrency, APeerClosingAfterOthersGrewTheIndexLeavesItSound) {
  TNdxTable T({{"IDX", 'N', 6}}, pfReadWriteOpen);
  TIndexFile& Created = T.CreateIndex("idx.ndx", "IDX", ixPrimary | ixUnique);
  T.Table().RemoveIndex(&Created);
  auto Early = OpenShared(T.TableName(), T.File("idx.ndx"));
  RunChildren(T, {1});
  Early->Close();

  TIndexFile& Index = T.OpenIndex("idx.ndx");
  EXPECT_EQ(VerifyIndex(Index), "");
  EXPECT_EQ(IndexEntries(Index).size(), std::size_t(PerProcess));
}

}  // namespace
