// Closing a table on a full disk: the header (today's date, the end-of-file byte) cannot be
// written. The table stays open with every record, so that the dialog's Close (detach the
// index, close) can be tried again, and works once the disk has room.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "table/DbaseMessages.h"
#include "table/DbaseTable.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/table/TableTestFiles.h"

namespace {

std::unique_ptr<TDbaseTable> OpenWithIndex(const TScratchDir& Dir, bool Exclusive) {
  auto T = std::make_unique<TDbaseTable>(nullptr);
  T->SetFilePath(Dir.Path());
  T->SetTableName("para.dbf");
  T->SetExclusive(Exclusive);
  T->Open();
  T->AttachIndexFile("idx.ndx");
  return T;
}

// The dialog's way out: the index first, then the table.
void CloseAsTheDialogDoes(TDbaseTable& T) {
  T.DetachIndexFile("idx.ndx");
  T.Close();
}

}  // namespace

TEST(TableCloseTest, AFailedCloseKeepsTheTableOpenForTheNextTry) {
  for (const bool Exclusive : {false, true}) {
    SCOPED_TRACE(Exclusive ? "exclusive" : "shared");
    TScratchDir Dir;
    const std::string Name = Dir.File("para.dbf");
    // As another program may leave it: no end-of-file byte, which closing adds.
    WriteFile(Name, MakeDbf(SampleFields,
                            {Record(SampleFields, {"1", "Mosquito", "100", "50", "80", "1", "2"}),
                             Record(SampleFields, {"2", "Fly", "200", "2.5", "90", "3", "4"})}));
    ASSERT_EQ(RunTable({Name, "index", Dir.File("idx.ndx"), "create", "IDX"}).Status, 0);
    const auto Before = ReadFile(Name);
    const auto T = OpenWithIndex(Dir, Exclusive);
    {
      const TFileSizeLimit Full(Before.size());
      for (int Try = 0; Try < 2; ++Try) {
        try {
          CloseAsTheDialogDoes(*T);
          ADD_FAILURE() << "the close went through";
        } catch (const EDbaseError& E) {
          EXPECT_NE(std::string(E.what()).find(std::strerror(EFBIG)), std::string::npos)
              << E.what();
        }
        ASSERT_TRUE(T->Active());
      }
      // Still open and browsing its records meanwhile.
      T->Last();
      EXPECT_EQ(T->FieldByName("NAME_PEST")->AsString(), "Fly");
      // A table object that goes away on the full disk lets the file go quietly.
      if (!Exclusive) OpenWithIndex(Dir, false).reset();
    }
    CloseAsTheDialogDoes(*T);
    EXPECT_FALSE(T->Active());
    const auto After = ReadFile(Name);
    ASSERT_EQ(After.size(), Before.size() + 1);
    EXPECT_EQ(After.back(), 0x1A);
    EXPECT_TRUE(std::equal(Before.begin() + 4, Before.end(), After.begin() + 4));
    EXPECT_EQ(RunTable({Name, "index", Dir.File("idx.ndx"), "verify"}).Status, 0);
  }
}
