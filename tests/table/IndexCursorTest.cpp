// The table object with NDX indexes: Indexes opened or built at open, attach and detach,
// records in key order through IndexName, Locate through the index, and the dataset's edits
// maintaining the index.
#include <gtest/gtest.h>

#include "platform/data/Field.h"
#include "table/DbaseMessages.h"
#include "table/DbaseTable.h"
#include "table/NdxVerify.h"
#include "tests/table/TableTestFiles.h"

namespace {

class IndexCursor : public testing::Test {
 protected:
  IndexCursor() {
    WriteTable(Dir.File("para.dbf"), SampleFields,
               {Record(SampleFields, {"3", "Mosquito"}), Record(SampleFields, {"1", "Flea"}, true),
                Record(SampleFields, {"2", "Gnat"})});
    Table.SetFilePath(Dir.Path());
    Table.SetTableName("para.dbf");
  }

  // IDX of the records from first to last in the current order.
  std::vector<int> Order() {
    std::vector<int> Result;
    for (Table.First(); !Table.Eof(); Table.Next())
      Result.push_back(Table.FieldByName("IDX")->AsInteger());
    return Result;
  }
  TIndexFile& Index(const std::string& Name = "idx.ndx") {
    TIndexFile* Found = Table.FindIndex(Name);
    if (!Found) throw std::runtime_error(Name + " is not open");
    return *Found;
  }

  TScratchDir Dir;
  TDbaseTable Table{nullptr};
};

// A missing index is built at open, in key order with deleted records, and the table is left
// shared. IndexName, chosen after a walk in file order or before an open, puts the records in its
// order, skipping deleted ones, and Locate goes through it; detaching it falls back to file order
// instead of walking a closed file.
TEST_F(IndexCursor, MissingIndexIsBuiltAtOpenAndOrdersTheRecords) {
  Table.Indexes().SetStrings({"idx.ndx;IDX;ixPrimary,ixUnique"});
  Table.Open();
  ASSERT_TRUE(std::filesystem::exists(Dir.File("idx.ndx")));
  std::vector<std::uint32_t> RecNos;
  TIndexFile& I = Index();
  for (I.CursorFirst(); I.CursorNext();) RecNos.push_back(I.CursorRecNo());
  EXPECT_EQ(RecNos, (std::vector<std::uint32_t>{2, 3, 1}));
  EXPECT_EQ(I.IndexHeader().Flags, 0x60);
  TDbaseFile Other;  // another user can open the table and the index
  Other.SetFileName(Dir.File("para.dbf"));
  Other.SetMode(pfReadWriteOpen);
  EXPECT_NO_THROW(Other.Open());
  TIndexFile OtherIndex(Other);
  OtherIndex.SetFileName(Dir.File("idx.ndx"));
  OtherIndex.SetMode(pfReadWriteOpen);
  EXPECT_NO_THROW(OtherIndex.Open());

  EXPECT_EQ(Order(), (std::vector<int>{3, 2}));
  Table.SetIndexName("idx.ndx");
  EXPECT_EQ(Order(), (std::vector<int>{2, 3}));
  Table.Last();
  EXPECT_EQ(Table.FieldByName("IDX")->AsInteger(), 3);
  Table.Prior();
  EXPECT_EQ(Table.FieldByName("IDX")->AsInteger(), 2);
  Table.Prior();
  EXPECT_TRUE(Table.Bof());
  EXPECT_TRUE(Table.Locate("idx", TVariant(3), 0));
  EXPECT_EQ(Table.FieldByName("NAME_PEST")->AsString(), "Mosquito");
  EXPECT_FALSE(Table.Locate("IDX", TVariant(7), 0));
  EXPECT_EQ(Table.FieldByName("NAME_PEST")->AsString(), "Mosquito");
  EXPECT_TRUE(Table.Locate("NAME_PEST", TVariant("gnat"), loCaseInsensitive));
  EXPECT_EQ(Table.FieldByName("IDX")->AsInteger(), 2);
  Table.SetShowDeleted(true);
  EXPECT_EQ(Order(), (std::vector<int>{1, 2, 3}));
  Table.DetachIndexFile("idx.ndx");
  EXPECT_EQ(Order(), (std::vector<int>{3, 1, 2}));
  // Chosen while the table is closed, it orders the records from the open on.
  Table.Close();
  Table.SetIndexName("idx.ndx");
  Table.Open();
  EXPECT_EQ(Order(), (std::vector<int>{1, 2, 3}));
}

TEST_F(IndexCursor, FailedBuildIsDroppedWithItsFile) {
  WriteTable(Dir.File("para.dbf"), SampleFields,
             {Record(SampleFields, {"1", "a"}), Record(SampleFields, {"1", "b"})});
  Table.Indexes().SetStrings({"idx.ndx;IDX;ixPrimary"});
  EXPECT_NO_THROW(Table.Open());
  EXPECT_EQ(Table.FindIndex("idx.ndx"), nullptr);
  EXPECT_FALSE(std::filesystem::exists(Dir.File("idx.ndx")));
  EXPECT_EQ(Table.RecordCount(), 2);
}

TEST_F(IndexCursor, AttachAndDetachRules) {
  Table.Open();
  EXPECT_EQ(ErrorOf([&] { Table.AttachIndexFile("idx.ndx"); }),
            "Open: file not found: \"" + Dir.File("idx.ndx") + "\".");
  Table.Close();
  Table.Indexes().SetStrings({"idx.ndx;IDX;ixPrimary,ixUnique"});
  Table.Open();
  const int Count = Table.TableFile()->IndexCount();
  Table.AttachIndexFile("IDX.NDX");  // already open under another spelling
  EXPECT_EQ(Table.TableFile()->IndexCount(), Count);
  Table.DetachIndexFile("other.ndx");
  EXPECT_EQ(Table.TableFile()->IndexCount(), Count);
  Table.DetachIndexFile("idx.ndx");
  EXPECT_EQ(Table.FindIndex("idx.ndx"), nullptr);
  Table.AttachIndexFile(Dir.File("idx.ndx"));
  EXPECT_NE(Table.FindIndex("idx.ndx"), nullptr);
  Table.Close();
  EXPECT_THROW(Table.AttachIndexFile("idx.ndx"), Exception);
}

TEST_F(IndexCursor, DatasetEditsMaintainTheIndex) {
  Table.Indexes().SetStrings({"idx.ndx;IDX;ixPrimary,ixUnique"});
  Table.Open();
  Table.Append();
  Table.FieldByName("IDX")->SetAsInteger(9);
  Table.Post();
  Table.First();
  Table.Edit();
  Table.FieldByName("IDX")->SetAsInteger(5);
  Table.Post();
  EXPECT_EQ(VerifyIndex(Index()), "");

  // A key violation on post: reported, nothing written, still editing with the lock held.
  Table.Edit();
  Table.FieldByName("IDX")->SetAsInteger(2);
  EXPECT_EQ(ErrorOf<EDbaseError>([&] { Table.Post(); }),
            "Key violation. (Key already present in file).\r\nIndex: " + Dir.File("idx.ndx") +
                "\r\nRecord=3 Key='2'.");
  EXPECT_EQ(Table.State(), dsEdit);
  Table.Cancel();
  // A failed append writes nothing, to the table or the index, and reports the violation.
  const auto IndexBefore = ReadFile(Dir.File("idx.ndx"));
  Table.Append();
  Table.FieldByName("IDX")->SetAsInteger(9);
  EXPECT_THROW(Table.Post(), EDbaseError);
  Table.Cancel();
  EXPECT_EQ(Table.TableFile()->RecordCount(), 4);
  EXPECT_EQ(ReadFile(Dir.File("idx.ndx")), IndexBefore);
  Table.First();
  Table.Delete();
  EXPECT_EQ(VerifyIndex(Index()), "");
  Table.SetIndexName("idx.ndx");
  EXPECT_EQ(Order(), (std::vector<int>{2, 9}));
}

TEST_F(IndexCursor, IndexesAreStoredAsLines) {
  TDbaseIndexDefs Defs;
  Defs.SetStrings({"idx.ndx;IDX;ixPrimary, ixUnique", "name.ndx;NAME_PEST;"});
  EXPECT_EQ(Defs.AsStrings(),
            (std::vector<std::string>{"idx.ndx;IDX;ixPrimary,ixUnique", "name.ndx;NAME_PEST;"}));
  EXPECT_THROW(Defs.SetStrings({"a.ndx;A;ixWhatever"}), EConvertError);
  EXPECT_EQ(Defs.Count(), 2);
}

}  // namespace
