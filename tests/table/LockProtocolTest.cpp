// Where the engine's locks lie, pinned from outside: other dBase engines look for them at these
// offsets, so a moved lock must fail here. Each case holds a lock through an open file of its
// own, as another program would, and checks that our operation meets it or passes beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <future>

#include "table/DbaseMessages.h"
#include "table/NdxVerify.h"
#include "tests/table/NdxTestSupport.h"

namespace {

constexpr std::int64_t HeaderLock = 0xEFFFFFFE;
constexpr std::int64_t RecordLock(int N) {
  return HeaderLock - N;
}
constexpr std::int64_t WholeFileStart = 0xB46535FE, WholeFileLength = 1000000002;
constexpr std::int64_t ShareWrite = 0xF0000010, ShareDeny = 0xF0000011;
constexpr std::int64_t Gate(int Page) {
  return (std::int64_t(1) << 62) + Page;
}

// An open file description of its own, holding one lock (or none) on a file.
class TForeignFile {
 public:
  explicit TForeignFile(const std::string& Name) : FHandle(::open(Name.c_str(), O_RDWR)) {}
  ~TForeignFile() { ::close(FHandle); }
  TForeignFile(const TForeignFile&) = delete;
  TForeignFile& operator=(const TForeignFile&) = delete;
  bool Lock(short Type, std::int64_t Start, std::int64_t Length) {
    struct flock L = Make(Type, Start, Length);
    return ::fcntl(FHandle, F_OFD_SETLK, &L) == 0;
  }
  // The lock others hold that conflicts with one of Type over the range (l_type F_UNLCK: none).
  struct flock Probe(short Type, std::int64_t Start, std::int64_t Length) const {
    struct flock L = Make(Type, Start, Length);
    if (::fcntl(FHandle, F_OFD_GETLK, &L) != 0) L.l_type = -1;
    return L;
  }

 private:
  static struct flock Make(short Type, std::int64_t Start, std::int64_t Length) {
    struct flock L {};
    L.l_type = Type;
    L.l_whence = SEEK_SET;
    L.l_start = Start;
    L.l_len = Length;
    return L;
  }
  int FHandle;
};

// Sets the lock wait limit of this process for the object's life: short for the cases that are
// meant to give up, long for those that are meant to wait.
struct TLockWait {
  explicit TLockWait(std::chrono::milliseconds Limit) { TPagedFile::SetLockWaitLimit(Limit); }
  ~TLockWait() { TPagedFile::SetLockWaitLimit(DefaultLockWaitLimit); }
};

// A shared table of three records (IDX 1..3) with a distinct index on IDX, and a copy of the
// table that no one has open (for the share markers).
enum TTarget { tgTable, tgIndex, tgCopy };
struct TSharedTable {
  TSharedTable() {
    Index = &T.CreateIndex("idx.ndx", "IDX", ixPrimary | ixUnique);
    for (int I = 1; I <= 3; ++I) T.Append({{"IDX", I}, {"NAME", "pest"}});
    std::filesystem::copy_file(T.TableName(), CopyName());
  }
  std::string IndexName() const { return T.File("idx.ndx"); }
  std::string CopyName() const { return T.File("copy.dbf"); }
  std::string Name(TTarget Target) const {
    return Target == tgTable ? T.TableName() : Target == tgIndex ? IndexName() : CopyName();
  }
  TNdxTable T{{{"IDX", 'N', 6}, {"NAME", 'C', 10}}, pfReadWriteOpen};
  TIndexFile* Index = nullptr;
};

// What an operation came to: its own word, "gave up on FILE" or another refusal's text.
std::string Outcome(const std::function<std::string()>& Operation) {
  try {
    return Operation();
  } catch (const Exception& E) {
    const std::string Gave = FormatMessage(DbaseMessages::LockWaitGaveUp, "\x01");
    const std::string Head = Gave.substr(0, Gave.find('\x01'));
    const std::string Tail = Gave.substr(Gave.find('\x01') + 1);
    const std::string& M = E.Message();
    if (M.starts_with(Head) && M.ends_with(Tail))
      return "gave up on " +
             std::filesystem::path(M.substr(Head.size(), M.size() - Head.size() - Tail.size()))
                 .filename()
                 .string();
    if (M.starts_with("Cannot open file \"") && M.ends_with("\": it is in use by another process."))
      return "in use";
    return M;
  }
}

std::string AppendOne(TSharedTable& S) {
  return "appended as " + std::to_string(S.T.Append({{"IDX", 10}, {"NAME", "new"}}));
}
std::string ReadSecond(TSharedTable& S) {
  std::vector<std::uint8_t> Buffer(S.T.Table().RecordSize());
  return S.T.Table().ReadRecord(2, Buffer.data()) ? "read" : "short";
}

}  // namespace

// Locks our files hold while they are open or while a record is edited, read from outside.
TEST(LockProtocol, HeldLocksLieAtThePinnedOffsets) {
  struct TCase {
    const char* What;
    std::function<std::shared_ptr<void>(TSharedTable&)> Hold;
    TTarget Target;
    std::int64_t ProbeStart, ProbeLength;  // probed for a write lock
    short Type;
    std::int64_t Start, Length;
  };
  auto Table = [](TPagedFileMode Mode) {
    return
        [Mode](TSharedTable& S) -> std::shared_ptr<void> { return OpenFile(S.CopyName(), Mode); };
  };
  const TCase Cases[] = {
      {"a shared writer marks itself", Table(pfReadWriteOpen), tgCopy, ShareWrite, 1, F_RDLCK,
       ShareWrite, 1},
      {"a shared writer does not deny writing", Table(pfReadWriteOpen), tgCopy, ShareDeny, 1,
       F_UNLCK, 0, 0},
      // The system merges the two adjacent markers into one lock.
      {"an exclusive opener also denies writing", Table(pfExclusiveOpen), tgCopy, ShareWrite, 2,
       F_RDLCK, ShareWrite, 2},
      {"a reader marks nothing", Table(pfReadOnly), tgCopy, ShareWrite, 2, F_UNLCK, 0, 0},
      {"record 2 edited",
       [](TSharedTable& S) -> std::shared_ptr<void> {
         std::vector<std::uint8_t> Buffer(S.T.Table().RecordSize());
         S.T.Table().LockRecord(2, Buffer.data());
         return nullptr;
       },
       tgTable, RecordLock(5), 6, F_WRLCK, RecordLock(2), 1},
      {"the whole file",
       [](TSharedTable& S) -> std::shared_ptr<void> {
         EXPECT_TRUE(S.T.Table().LockAllPages(false));
         return nullptr;
       },
       tgTable, 0xA0000000, ShareWrite - 0xA0000000, F_WRLCK, WholeFileStart, WholeFileLength},
      {"index page 3",
       [](TSharedTable& S) -> std::shared_ptr<void> {
         EXPECT_TRUE(S.Index->LockPage(3, false));
         return nullptr;
       },
       tgIndex, 0, 8 * 512, F_WRLCK, 3 * 512, 512},
      {"index header page",
       [](TSharedTable& S) -> std::shared_ptr<void> {
         EXPECT_TRUE(S.Index->LockPage(0, false));
         return nullptr;
       },
       tgIndex, 0, 8 * 512, F_WRLCK, 0, 512},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    TSharedTable S;
    const auto Held = C.Hold(S);
    const TForeignFile Probe(S.Name(C.Target));
    const struct flock Found = Probe.Probe(F_WRLCK, C.ProbeStart, C.ProbeLength);
    EXPECT_EQ(Found.l_type, C.Type);
    if (C.Type == F_UNLCK) continue;
    EXPECT_EQ(Found.l_start, C.Start);
    EXPECT_EQ(Found.l_len, C.Length);
  }
}

// Locks our operations take only for a moment, pinned by a lock held outside that the operation
// must meet (and a neighbouring one it must pass). A foreign read lock stops our lock but not our
// reads; a foreign write lock stops reads at the gates.
TEST(LockProtocol, OperationsMeetOthersLocksAtThePinnedOffsets) {
  const TLockWait Short(std::chrono::milliseconds(100));
  const auto Append = AppendOne;
  const auto Read2 = ReadSecond;
  auto Edit2 = [](TSharedTable& S) {
    S.T.Change(2, {{"NAME", "edited"}});
    return std::string("edited");
  };
  auto LockAll = [](TSharedTable& S) {
    const bool Locked = S.T.Table().LockAllPages(false);
    S.T.Table().UnlockAllPages();
    return std::string(Locked ? "locked" : "refused");
  };
  auto Reopen = [](TPagedFileMode Mode) {
    return [Mode](TSharedTable& S) {
      OpenFile(S.CopyName(), Mode);
      return std::string("opened");
    };
  };
  auto WalkIndex = [](TSharedTable& S) { return std::to_string(IndexEntries(*S.Index).size()); };
  struct TCase {
    TTarget Target;
    short Type;
    std::int64_t Start;
    std::function<std::string(TSharedTable&)> Operation;
    const char* Expected;
  };
  const TCase Cases[] = {
      // The table: the header, records, gates, the whole file and the share markers.
      {tgTable, F_RDLCK, HeaderLock, Append, "gave up on t.dbf"},
      {tgTable, F_RDLCK, RecordLock(4), Append, "appended as 5"},
      {tgTable, F_RDLCK, RecordLock(3), Append, "appended as 4"},
      {tgTable, F_RDLCK, RecordLock(2), Edit2, "Record locked."},
      {tgTable, F_RDLCK, RecordLock(1), Edit2, "edited"},
      {tgTable, F_WRLCK, Gate(2), Read2, "gave up on t.dbf"},
      {tgTable, F_WRLCK, Gate(3), Read2, "read"},
      {tgTable, F_RDLCK, Gate(2), Read2, "read"},
      {tgTable, F_RDLCK, Gate(2), Edit2, "gave up on t.dbf"},
      {tgTable, F_RDLCK, Gate(0), Append, "gave up on t.dbf"},
      {tgTable, F_RDLCK, WholeFileStart - 1, LockAll, "locked"},
      {tgTable, F_RDLCK, WholeFileStart, LockAll, "refused"},
      {tgTable, F_RDLCK, WholeFileStart + WholeFileLength - 1, LockAll, "refused"},
      {tgTable, F_RDLCK, WholeFileStart + WholeFileLength, LockAll, "locked"},
      {tgCopy, F_RDLCK, ShareWrite, Reopen(pfExclusiveOpen), "in use"},
      {tgCopy, F_RDLCK, ShareWrite, Reopen(pfReadWriteOpen), "opened"},
      {tgCopy, F_RDLCK, ShareDeny, Reopen(pfReadWriteOpen), "in use"},
      {tgCopy, F_RDLCK, ShareDeny, Reopen(pfExclusiveOpen), "opened"},
      {tgCopy, F_RDLCK, ShareDeny, Reopen(pfReadOnly), "opened"},
      // The index: its header page while an operation runs, each changed page (here the root
      // leaf, page 1) over its own 512 bytes, and readers held back by a page being changed.
      {tgIndex, F_RDLCK, 0, Append, "gave up on idx.ndx"},
      {tgIndex, F_RDLCK, 511, Append, "gave up on idx.ndx"},
      {tgIndex, F_RDLCK, 512, Append, "gave up on idx.ndx"},
      {tgIndex, F_RDLCK, 1023, Append, "gave up on idx.ndx"},
      {tgIndex, F_RDLCK, 1024, Append, "appended as 4"},
      {tgIndex, F_WRLCK, 700, WalkIndex, "gave up on idx.ndx"},
      {tgIndex, F_RDLCK, 700, WalkIndex, "3"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Target == tgIndex   ? "index"
                             : C.Target == tgTable ? "table"
                                                   : "copy") +
                 " lock at " + std::to_string(C.Start) + ", expecting " + C.Expected);
    TSharedTable S;
    {
      TForeignFile Other(S.Name(C.Target));
      ASSERT_TRUE(Other.Lock(C.Type, C.Start, 1));
      EXPECT_EQ(Outcome([&] { return C.Operation(S); }), C.Expected);
    }
    // Whatever gave up left table and index usable, and a slot left empty is filled by the
    // next append (the foreign record lock was an append that never came).
    const int After = S.T.Append({{"IDX", 20}, {"NAME", "after"}});
    EXPECT_EQ(After, S.T.Table().RecordCount());
    EXPECT_EQ(VerifyIndex(*S.Index), "");
    EXPECT_EQ(FileLE32(ReadFile(S.T.TableName()), 4), std::uint32_t(S.T.Table().RecordCount()));
  }
}

// A lock held outside only for a moment is waited for: the operation goes through once it is
// gone, at a gate, at the table's header and at the index's header page.
TEST(LockProtocol, OperationsWaitForALockHeldOnlyForAMoment) {
  const struct {
    TTarget Target;
    short Type;
    std::int64_t Start;
    std::string (*Operation)(TSharedTable&);
    const char* Expected;
  } Cases[] = {{tgTable, F_WRLCK, Gate(2), ReadSecond, "read"},
               {tgTable, F_RDLCK, HeaderLock, AppendOne, "appended as 4"},
               {tgIndex, F_RDLCK, 0, AppendOne, "appended as 4"}};
  // Long enough for the release below however busy the machine.
  const TLockWait Long(std::chrono::minutes(1));
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Expected);
    TSharedTable S;
    auto Other = std::make_unique<TForeignFile>(S.Name(C.Target));
    ASSERT_TRUE(Other->Lock(C.Type, C.Start, 1));
    std::promise<void> Started;
    auto Done = std::async(std::launch::async, [&] {
      Started.set_value();
      return Outcome([&] { return C.Operation(S); });
    });
    Started.get_future().wait();
    // While the lock is held the operation cannot end.
    EXPECT_EQ(Done.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
    Other.reset();  // closing the descriptor releases its lock
    EXPECT_EQ(Done.get(), C.Expected);
  }
}

// Header byte 22 marks a change under way; at rest, after each kind of our operation, it is 0 as
// other engines write it.
TEST(LockProtocol, IndexChangeMarkIsClearAfterEveryOperation) {
  TSharedTable S;
  auto Byte22 = [&] { return ReadFile(S.IndexName()).at(22); };
  const std::pair<const char*, std::function<void()>> Steps[] = {
      {"append",
       [&] {
         S.T.Append({{"IDX", 4}, {"NAME", "four"}});
       }},
      {"key change",
       [&] {
         S.T.Change(4, {{"IDX", 40}});
       }},
      {"other change",
       [&] {
         S.T.Change(4, {{"NAME", "forty"}});
       }},
      {"delete", [&] { S.T.Delete(1); }},
      {"refused append",
       [&] {
         EXPECT_THROW(S.T.Append({{"IDX", 2}, {"NAME", "twice"}}), EDbaseError);
       }},
      {"walk", [&] { EXPECT_EQ(IndexEntries(*S.Index).size(), 3u); }},
      {"verify", [&] { EXPECT_EQ(VerifyIndex(*S.Index), ""); }},
      {"close", [&] { S.T.Table().RemoveIndex(S.Index); }},
      {"reopen", [&] { S.Index = &S.T.OpenIndex("idx.ndx"); }},
      {"rebuild", [&] {
         S.T.Table().RemoveIndex(S.Index);
         S.Index = &S.T.CreateIndex("idx.ndx", "IDX", ixPrimary | ixUnique);
       }}};
  for (const auto& [What, Step] : Steps) {
    SCOPED_TRACE(What);
    Step();
    EXPECT_EQ(Byte22(), 0);
  }
}

// An ordinary POSIX lock over the whole table, as another program takes it (lockf from offset 0
// to the end), stops a reader at its first gate: with the real limit it gives up, saying so,
// while a writer is refused at once. The lock is held here: such a lock and ours conflict within
// one process as between two, but closing any descriptor of the file ends it, as each failed
// open does, so it is taken again before each.
TEST(LockProtocol, AReaderGivesUpOnAWholeFileLockOfAnotherProgram) {
  ASSERT_EQ(TPagedFile::LockWaitLimit(), DefaultLockWaitLimit);
  TSharedTable S;
  const std::string Name = S.CopyName();
  const int Handle = ::open(Name.c_str(), O_RDWR);
  const auto Opening = [&](TPagedFileMode Mode) {
    struct flock L {};
    L.l_type = F_WRLCK;
    L.l_whence = SEEK_SET;
    EXPECT_EQ(::fcntl(Handle, F_SETLK, &L), 0);
    return Outcome([&] {
      OpenFile(Name, Mode);
      return std::string("opened");
    });
  };
  EXPECT_EQ(Opening(pfReadOnly), "gave up on copy.dbf");
  EXPECT_EQ(Opening(pfReadWriteOpen), "in use");
  ::close(Handle);
  EXPECT_EQ(OpenFile(Name, pfReadOnly)->RecordCount(), 3);
}
