// Paged access and sharing between open files: byte-range locks and what a reader sees of
// another's writes. Share modes and the locks' offsets are pinned in LockProtocolTest, appends
// from several processes in TableLoadTest and PeerAppendTest.
#include <gtest/gtest.h>
#include <chrono>
#include <thread>

#include "table/DbaseMessages.h"
#include "tests/table/TableTestFiles.h"

namespace {

const std::vector<TRawField> Fields = {{"IDX", 'N', 6}, {"NAME_PEST", 'C', 10}};

int Append(TDbaseFile& File, int Idx) {
  std::vector<std::uint8_t> R(File.RecordSize());
  File.InitRecord(R.data());
  File.SetFieldData(0, ftInteger, TVariant(Idx), R.data());
  File.SetFieldData(1, ftString, TVariant("p" + std::to_string(Idx)), R.data());
  return File.Insert(R.data());
}

}  // namespace

TEST(PagedFileTest, PagesLieAfterTheHeaderOrAtMultiplesOfThePageSize) {
  TScratchDir Dir;
  TPagedFile File;
  File.SetFileName(Dir.File("p.bin"));
  File.SetMode(pfExclusiveCreate);
  File.Open();
  File.SetHeaderSize(100);
  File.SetRecordSize(10);
  File.SetPageSize(10);
  EXPECT_EQ(File.PageOffset(1), 100);
  EXPECT_EQ(File.PageOffset(3), 120);
  File.SetRecordCount(4);
  EXPECT_EQ(File.FileSize(), 140);
  EXPECT_EQ(File.RecordCount(), 4);
  const char Page[10] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'};
  File.WritePage(5, Page);
  EXPECT_EQ(File.RecordCount(), 5);
  char Back[10] = {};
  EXPECT_EQ(File.ReadPage(5, Back), 10);
  EXPECT_EQ(std::string(Back, 10), "abcdefghij");
  EXPECT_EQ(File.ReadPage(9, Back), 0);  // beyond the end: zero-filled
  EXPECT_EQ(Back[0], 0);
  File.SetPageOffsetByHeader(false);
  EXPECT_EQ(File.PageOffset(3), 30);
}

TEST(PagedFileTest, RecordLocksConflictBetweenOpenFilesUntilReleased) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  WriteFile(Name, MakeDbf(Fields, {" 000001one       ", " 000002two       "}));
  auto A = OpenFile(Name, pfReadWriteOpen);
  auto B = OpenFile(Name, pfReadWriteOpen);
  std::vector<std::uint8_t> R(A->RecordSize());
  A->LockRecord(1, R.data());
  EXPECT_EQ(ErrorOf<EDbaseError>([&] { B->LockRecord(1, R.data()); }), "Record locked.");
  B->LockRecord(2, R.data());  // other records stay free
  B->UnlockRecord(2);
  A->UnlockRecord(1);  // cancel
  B->LockRecord(1, R.data());
  B->SetFieldData(1, ftString, TVariant("changed"), R.data());
  B->PostRecord(1, R.data());
  A->LockRecord(1, R.data());  // the lock is free again and the read sees the posted record
  EXPECT_EQ(A->GetFieldData(1, ftString, R.data()).AsString(), "changed");
  A->UnlockRecord(1);

  // A whole-file lock keeps others from every page, and its release keeps our own page locks.
  A->LockRecord(2, R.data());
  ASSERT_TRUE(A->LockAllPages(false));
  EXPECT_FALSE(B->LockPage(1, false));
  EXPECT_FALSE(B->LockAllPages(false));
  A->UnlockAllPages();
  EXPECT_TRUE(B->LockPage(1, false));
  EXPECT_FALSE(B->LockPage(2, false));
}

TEST(PagedFileTest, ScansNeverHandOutRecordsOlderThanAFewMilliseconds) {
  TScratchDir Dir;
  const std::string Name = Dir.File("t.dbf");
  std::vector<std::string> Rows;
  for (int I = 1; I <= 50; ++I)
    Rows.push_back(std::string(" 00000") + char('0' + I % 10) + "old       ");
  WriteFile(Name, MakeDbf(Fields, Rows));
  auto Reader = OpenFile(Name, pfReadWriteOpen);
  auto Writer = OpenFile(Name, pfReadWriteOpen);
  std::vector<std::uint8_t> R(Reader->RecordSize()), W(Writer->RecordSize());
  const auto Edit = [&](int RecNo) {
    Writer->LockRecord(RecNo, W.data());
    Writer->SetFieldData(1, ftString, TVariant("new"), W.data());
    Writer->PostRecord(RecNo, W.data());
  };
  Reader->ReadRecord(1, R.data());
  Reader->ReadRecord(2, R.data());  // a sequential scan: the following records are read ahead
  Edit(3);
  Edit(4);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Reader->ReadRecord(3, R.data());
  EXPECT_EQ(Reader->GetFieldData(1, ftString, R.data()).AsString(), "new");
  Reader->ReadRecord(4, R.data());
  Edit(5);
  Reader->LockRecord(5, R.data());  // an edit always starts from the file's present contents
  EXPECT_EQ(Reader->GetFieldData(1, ftString, R.data()).AsString(), "new");
  Reader->UnlockRecord(5);
  // Records appended by others after the block was read are seen too.
  Reader->ReadRecord(6, R.data());
  Append(*Writer, 51);
  EXPECT_EQ(Reader->RecordCount(), 51);
  ASSERT_TRUE(Reader->ReadRecord(51, R.data()));
  EXPECT_EQ(Reader->GetFieldData(0, ftInteger, R.data()).AsInteger(), 51);
}

TEST(PagedFileTest, PlainPageLocksHoldReadersBackUntilReleased) {
  TScratchDir Dir;
  const std::string Name = Dir.File("i.ndx");
  const auto Make = [&](TPagedFileMode Mode) {
    auto File = std::make_unique<TPagedFile>();
    File->SetFileName(Name);
    File->SetMode(Mode);
    File->SetAutoCreate(true);
    File->SetVirtualLocks(false);
    File->SetPageOffsetByHeader(false);
    File->SetHeaderSize(512);
    File->SetRecordSize(512);
    File->SetPageSize(512);
    File->Open();
    return File;
  };
  auto Writer = Make(pfReadWriteOpen);
  auto Reader = Make(pfReadWriteOpen);
  std::vector<char> Page(512, 'a');
  Writer->WritePage(1, Page.data());
  ASSERT_TRUE(Writer->LockPage(1, false));
  EXPECT_FALSE(Reader->LockPage(1, false));
  // Taken before the releaser starts: on a busy machine it may sleep out before this thread
  // runs on.
  const auto Start = std::chrono::steady_clock::now();
  std::thread Releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    std::vector<char> Changed(512, 'b');
    Writer->WritePage(1, Changed.data());
    Writer->UnlockPage(1);
  });
  std::vector<char> Seen(512);
  // Waits for the lock to go, then sees the new page.
  EXPECT_EQ(Reader->ReadPage(1, Seen.data()), 512);
  EXPECT_GE(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(25));
  EXPECT_EQ(Seen[0], 'b');
  Releaser.join();
  EXPECT_TRUE(Reader->LockPage(1, true));
}
