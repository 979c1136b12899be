// An index that another program left behind its table (records added, removed or re-keyed by a
// program that keeps no NDX files, or a change cut off half way) is found at open. It is rebuilt
// when this process can have the table alone; otherwise the open goes without it, in file order,
// so that no record is left out. Our own changes, which keep the index, never set it off.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <memory>

#include "table/DbaseTable.h"
#include "table/NdxIndex.h"
#include "table/NdxPage.h"
#include "table/NdxVerify.h"
#include "tests/table/TableTestFiles.h"

namespace {

std::string Row(int Idx, const std::string& Name) {
  return Record(SampleFields,
                {std::to_string(Idx), Name, "200", "100.0", "150", "1000.000", "2000.000", "1"});
}

std::vector<std::string> Rows(const std::vector<int>& Keys) {
  std::vector<std::string> Result;
  for (std::size_t I = 0; I < Keys.size(); ++I)
    Result.push_back(Row(Keys[I], "Pest" + std::to_string(I + 1)));
  return Result;
}

std::vector<std::string> PestNames(std::initializer_list<int> Numbers) {
  std::vector<std::string> Result;
  for (int N : Numbers) Result.push_back("Pest" + std::to_string(N));
  return Result;
}

struct TReading {
  std::vector<std::string> Names;
  std::vector<std::string> Notices;
  std::string Fault;  // the index's own verdict; "left out" when the open went without it
};

class IndexOutOfStep : public ::testing::Test {
 public:
  std::string TableName() const { return Dir.File("t.dbf"); }
  std::string IndexName() const { return Dir.File("idx.ndx"); }

 protected:
  void Prepare(TDbaseTable& Table, bool ReadOnly) {
    Table.SetFilePath(Dir.Path());
    Table.SetTableName("t.dbf");
    Table.SetReadOnly(ReadOnly);
    Table.Indexes().Add({"idx.ndx", "IDX", ixPrimary | ixUnique});
  }

  // Reads the table as the headless commands do: read-only, in the index's order.
  TReading Read() {
    TReading Result;
    TDbaseTable Table(nullptr);
    Prepare(Table, true);
    Table.OnIndexNotice = [&](TDbaseTable*, const std::string& Notice) {
      Result.Notices.push_back(Notice);
    };
    Table.Open();
    Table.SetIndexName("idx.ndx");
    for (Table.First(); !Table.Eof(); Table.Next())
      Result.Names.push_back(Table.FieldByName("NAME_PEST")->AsString());
    TIndexFile* Index = Table.FindIndex("idx.ndx");
    Result.Fault = Index ? VerifyIndex(*Index) : "left out";
    return Result;
  }

  // Another user of the table, open for writing as the windows keep it.
  std::unique_ptr<TDbaseTable> Hold() {
    auto Table = std::make_unique<TDbaseTable>(nullptr);
    Table->SetFilePath(Dir.Path());
    Table->SetTableName("t.dbf");
    Table->Open();
    return Table;
  }

  TScratchDir Dir;

 public:
  std::vector<std::uint8_t> IndexBytes() const { return ReadFile(IndexName()); }
};

// What another program does behind the index's back.
struct TForeignEdit {
  const char* What;
  std::function<void(IndexOutOfStep&)> Apply;
  std::vector<std::string> InFileOrder, InKeyOrder;
  const char* Fault;
};

TEST_F(IndexOutOfStep, AnotherProgramsEditIsMendedWhenAloneAndLeftOutWhileOthersHoldTheTable) {
  const std::vector<TForeignEdit> Edits = {
      {"record added",
       [](IndexOutOfStep& T) {
         WriteTable(T.TableName(), SampleFields, Rows({5, 3, 1, 4}));
       },
       PestNames({1, 2, 3, 4}), PestNames({3, 2, 4, 1}), "record 4 is missing"},
      {"record removed",
       [](IndexOutOfStep& T) {
         WriteTable(T.TableName(), SampleFields, Rows({5, 3}));
       },
       PestNames({1, 2}), PestNames({2, 1}), "names record 3 of 2"},
      {"key changed",
       [](IndexOutOfStep& T) {
         WriteTable(T.TableName(), SampleFields, Rows({5, 3, 9}));
       },
       PestNames({1, 2, 3}), PestNames({2, 1, 3}), "is not the key of record"},
      {"change to the index cut off",
       [](IndexOutOfStep& T) {
         auto Bytes = T.IndexBytes();
         Bytes[NdxChangeMarkOffset] = NdxChangeMark;
         std::ofstream(T.IndexName(), std::ios::binary | std::ios::trunc)
             .write(reinterpret_cast<const char*>(Bytes.data()), std::streamsize(Bytes.size()));
       },
       PestNames({1, 2, 3}), PestNames({3, 2, 1}), "damaged"},
  };
  for (const TForeignEdit& Edit : Edits) {
    for (const bool Held : {false, true}) {
      SCOPED_TRACE(std::string(Edit.What) + (Held ? ", table held" : ", table alone"));
      WriteTable(TableName(), SampleFields, Rows({5, 3, 1}));
      std::filesystem::remove(IndexName());
      ASSERT_EQ(Read().Notices.size(), 0u);  // builds the index
      Edit.Apply(*this);
      auto Holder = Held ? Hold() : nullptr;
      const auto Before = IndexBytes();
      TReading First = Read();
      ASSERT_EQ(First.Notices.size(), 1u);
      EXPECT_NE(First.Notices[0].find(Edit.Fault), std::string::npos) << First.Notices[0];
      EXPECT_NE(First.Notices[0].find(IndexName()), std::string::npos) << First.Notices[0];
      if (Held) {
        EXPECT_NE(First.Notices[0].find("cannot be rebuilt now"), std::string::npos);
        EXPECT_EQ(First.Names, Edit.InFileOrder);
        EXPECT_EQ(First.Fault, "left out");
        EXPECT_EQ(IndexBytes(), Before);
        Holder.reset();
        First = Read();  // the first open that has the table alone
        ASSERT_EQ(First.Notices.size(), 1u);
      }
      EXPECT_NE(First.Notices.back().find("rebuilt from the table"), std::string::npos);
      EXPECT_EQ(First.Names, Edit.InKeyOrder);
      EXPECT_EQ(First.Fault, "");
      const TReading Again = Read();
      EXPECT_EQ(Again.Notices.size(), 0u);
      EXPECT_EQ(Again.Names, Edit.InKeyOrder);
    }
  }
}

// Our own changes keep the index in step, yet write the table after it (a post writes the
// record after its key; closing stamps the header even after plain reads). The table's time is
// moved past the index's after each, so that the exact check surely runs, and finds nothing.
TEST_F(IndexOutOfStep, OurOwnChangesNeverSetItOff) {
  const std::vector<std::pair<const char*, std::function<void(TDbaseTable&)>>> Changes = {
      {"append",
       [](TDbaseTable& T) {
         T.Append();
         T.FieldByName("IDX")->SetAsInteger(7);
         T.FieldByName("NAME_PEST")->SetAsString("Added");
         T.Post();
       }},
      {"edit a name",
       [](TDbaseTable& T) {
         T.Edit();
         T.FieldByName("NAME_PEST")->SetAsString("Renamed");
         T.Post();
       }},
      {"edit a key",
       [](TDbaseTable& T) {
         T.Edit();
         T.FieldByName("IDX")->SetAsInteger(8);
         T.Post();
       }},
      {"delete", [](TDbaseTable& T) { T.Delete(); }},
      {"open and close", [](TDbaseTable&) {}},
  };
  WriteTable(TableName(), SampleFields, Rows({5, 3, 1}));
  for (const auto& [What, Change] : Changes) {
    SCOPED_TRACE(What);
    {
      TDbaseTable Table(nullptr);
      Prepare(Table, false);
      Table.Open();
      Table.First();
      Change(Table);
    }
    ASSERT_EQ(::utimensat(AT_FDCWD, TableName().c_str(), nullptr, 0), 0);
    const TReading After = Read();
    EXPECT_EQ(After.Notices, std::vector<std::string>{});
    EXPECT_EQ(After.Fault, "");
  }
}

}  // namespace
