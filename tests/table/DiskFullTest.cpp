// Appends with indexes on a real, nearly full filesystem (a small tmpfs in a mount namespace of
// this process, so nothing outlives the test) until the disk refuses: each refused append leaves
// the table and both indexes byte-for-byte as they were, and sound.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "table/DbaseMessages.h"
#include "tests/support/ScopedEnv.h"
#include "tests/table/WriteFaultSupport.h"

namespace {

// A 512 KiB tmpfs mounted over a fresh folder; Reason says why none could be made.
class TSmallDisk {
 public:
  TSmallDisk() {
    if (::geteuid() != 0) {
      FReason = "mounting a tmpfs needs root";
      return;
    }
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      FReason = std::string("no mount namespace: ") + std::strerror(errno);
      return;
    }
    std::string Pattern = (std::filesystem::temp_directory_path() / "diskfull-XXXXXX").string();
    FPath = ::mkdtemp(Pattern.data());
    if (::mount("tessolon-test", FPath.c_str(), "tmpfs", 0, "size=512k") != 0) {
      FReason = std::string("mounting a tmpfs was refused: ") + std::strerror(errno);
      std::filesystem::remove(FPath);
      FPath.clear();
    }
  }
  ~TSmallDisk() {
    if (FPath.empty()) return;
    ::umount2(FPath.c_str(), MNT_DETACH);
    std::filesystem::remove(FPath);
  }
  const std::string& Reason() const { return FReason; }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath, FReason;
};

// Fills the disk with a file of its own; Free gives back a page at a time.
class TFiller {
 public:
  explicit TFiller(const std::string& Name)
      : FHandle(::open(Name.c_str(), O_CREAT | O_RDWR, 0600)) {
    const std::vector<char> Block(4096, 'x');
    while (::write(FHandle, Block.data(), Block.size()) > 0) FSize += 4096;
  }
  ~TFiller() { ::close(FHandle); }
  bool Free() {
    if (FSize < 4096) return false;
    FSize -= 4096;
    return ::ftruncate(FHandle, FSize) == 0;
  }

 private:
  int FHandle;
  off_t FSize = 0;
};

}  // namespace

TEST(DiskFullTest, AppendsRefusedByAFullDiskChangeNothing) {
  TSmallDisk Disk;
  if (!Disk.Reason().empty()) GTEST_SKIP() << Disk.Reason();
  const TScopedEnv Tmp("TMPDIR", Disk.Path());  // the rig's scratch folder goes on the small disk
  int Refused = 0, Appended = 0;
  {
    TFaultRig Rig(pfReadWriteOpen);
    TFiller Filler(Disk.Path() + "/filler");
    // Each round appends until the disk is full, then frees one page for the next.
    for (int Round = 0; Round < 6; ++Round) {
      for (int Key = 0;; ++Key) {
        const TFiles Snapshot = Rig.Snapshot();
        char Text[16];
        std::snprintf(Text, sizeof Text, "Z%06d", Appended);
        try {
          Rig.Run([&](TDbaseFile& F) {
            std::vector<std::uint8_t> R(F.RecordSize());
            F.InitRecord(R.data());
            SetRecord(F, R, Text, Appended);
            F.Insert(R.data());
          });
          ++Appended;
        } catch (const EDbaseError& E) {
          EXPECT_NE(std::string(E.what()).find(std::strerror(ENOSPC)), std::string::npos)
              << E.what();
          EXPECT_TRUE(Rig.Snapshot() == Snapshot);
          int Count = 0;
          EXPECT_EQ(Rig.Verify(Count), "");
          EXPECT_EQ(Count, BaseRecords + Appended);
          ++Refused;
          break;
        }
        ASSERT_LT(Key, 100000) << "the disk never filled";
      }
      if (::testing::Test::HasFailure()) break;
      ASSERT_TRUE(Filler.Free());
    }
  }
  EXPECT_EQ(Refused, 6);
  std::printf("%d appends refused by the full disk, %d went through\n", Refused, Appended);
}
