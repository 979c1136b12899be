// Several processes on one shared table: record locks, appends, readers.
#include <gtest/gtest.h>
#include <poll.h>

#include <set>

#include "table/DbaseMessages.h"
#include "table/DbaseTable.h"
#include "table/TableCommand.h"
#include "tests/table/DbaseTableTestSupport.h"

namespace {

std::unique_ptr<TDbaseTable> OpenShared(const std::string& File) {
  auto T = std::make_unique<TDbaseTable>(nullptr);
  T->SetTableName(File);
  T->Open();
  return T;
}

// A one-byte message channel between the test and a child process.
class TChannel {
 public:
  TChannel() {
    if (pipe(FFds) != 0) throw std::runtime_error("pipe");
  }
  ~TChannel() {
    close(FFds[0]);
    close(FFds[1]);
  }
  void Send(char C) { (void)!write(FFds[1], &C, 1); }
  char Receive() {
    char C = 0;
    return read(FFds[0], &C, 1) == 1 ? C : 0;
  }
  // Whether a message waits, without taking it.
  bool Pending() const {
    pollfd Fd{FFds[0], POLLIN, 0};
    return poll(&Fd, 1, 0) == 1;
  }

 private:
  int FFds[2];
};

}  // namespace

TEST(DbaseTableConcurrencyTest, RecordLockedByAnotherProcessUntilItCancels) {
  TTableDir Dir;
  const std::string File = Dir.File("para.dbf");
  WriteSampleTable(File);
  TChannel ToChild, ToParent;
  const pid_t Child = Spawn([&] {
    auto T = OpenShared(File);
    T->Edit();  // holds record 1
    ToParent.Send('L');
    ToChild.Receive();
    T->Cancel();
    ToParent.Send('U');
    ToChild.Receive();
    return 0;
  });
  ASSERT_EQ(ToParent.Receive(), 'L');

  auto T = OpenShared(File);
  try {
    T->Edit();
    ADD_FAILURE() << "edit of a locked record succeeded";
  } catch (const EDbaseError& E) {
    EXPECT_EQ(E.Message(), "Record locked.");
  }
  EXPECT_EQ(T->State(), dsBrowse);
  // The command reports the same refusal with exit status 1.
  testing::internal::CaptureStderr();
  EXPECT_EQ(TableCommand({File, "set", "1", "NAME_PEST=Wasp"}), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Record locked.\n");
  T->Next();
  T->Edit();  // another record is free
  T->Cancel();
  T->First();

  ToChild.Send('C');
  ASSERT_EQ(ToParent.Receive(), 'U');
  T->Edit();
  T->FieldByName("NAME_PEST")->SetAsString("Wasp");
  T->Post();
  ToChild.Send('Q');
  EXPECT_EQ(Reap(Child), 0);
  T->Close();
  EXPECT_EQ(OpenShared(File)->FieldByName("NAME_PEST")->AsString(), "Wasp");
}

TEST(DbaseTableConcurrencyTest, TwoWritersLoseNothingAndAReaderSeesTheirRecords) {
  constexpr int PerWriter = 1000;
  TTableDir Dir;
  const std::string File = Dir.File("shared.dbf");
  const std::vector<TColumn> Columns = {{"WRITER", 'N', 1}, {"SEQ", 'N', 5}};
  WriteTable(File, Columns, {});

  // The reader opens the empty table first and counts while the writers append; once told they
  // have ended, one more count must see every record.
  TChannel ReaderReady, WritersEnded;
  const pid_t Reader = Spawn([&] {
    auto T = OpenShared(File);
    ReaderReady.Send('R');
    for (;;) {
      const bool Last = WritersEnded.Pending();
      int Seen = 0;
      for (T->First(); !T->Eof(); T->Next()) ++Seen;
      if (Seen == 2 * PerWriter) return 0;
      if (Last) return 1;
    }
  });
  ASSERT_EQ(ReaderReady.Receive(), 'R');

  auto Writer = [&](int W) {
    return Spawn([&, W] {
      auto T = OpenShared(File);
      for (int I = 1; I <= PerWriter; ++I) {
        T->Append();
        T->FieldByName("WRITER")->SetAsInteger(W);
        T->FieldByName("SEQ")->SetAsInteger(I);
        T->Post();
      }
      return 0;
    });
  };
  const pid_t A = Writer(1), B = Writer(2);
  EXPECT_EQ(Reap(A), 0);
  EXPECT_EQ(Reap(B), 0);
  WritersEnded.Send('E');
  EXPECT_EQ(Reap(Reader), 0) << "the reader did not see all appended records";

  auto T = OpenShared(File);
  std::set<std::pair<int, int>> Seen;
  int Records = 0;
  for (T->First(); !T->Eof(); T->Next(), ++Records)
    Seen.insert({T->FieldByName("WRITER")->AsInteger(), T->FieldByName("SEQ")->AsInteger()});
  EXPECT_EQ(Records, 2 * PerWriter);
  EXPECT_EQ(Seen.size(), 2u * PerWriter);
  EXPECT_EQ(*Seen.begin(), std::make_pair(1, 1));
  EXPECT_EQ(*Seen.rbegin(), std::make_pair(2, PerWriter));
  T->Close();
  const auto Bytes = ReadBytes(File);
  std::uint32_t Count = 0;
  std::memcpy(&Count, &Bytes[4], 4);
  EXPECT_EQ(Count, 2u * PerWriter);
  const int HeaderLength = Bytes[8] | Bytes[9] << 8, RecordLength = Bytes[10] | Bytes[11] << 8;
  EXPECT_EQ(Bytes.size(),
            static_cast<std::size_t>(HeaderLength + 2 * PerWriter * RecordLength + 1));
  EXPECT_EQ(Bytes.back(), 0x1A);
}
