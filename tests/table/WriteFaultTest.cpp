// Every write of an append, an edit or a delete is made to fail in turn (half of its bytes
// written, then "no space left"); after each failure the table and its indexes must be
// byte-for-byte as before and sound, and the error must carry the system's message.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "table/DbaseMessages.h"
#include "tests/table/WriteFaultSupport.h"

namespace {

// Fails write 1, 2, 3 ... of each operation until one runs through without reaching the
// failing write. Returns the write positions tried.
int TryEveryWrite(TPagedFileMode Mode) {
  TFaultRig Rig(Mode);
  return AtEveryWrite(Rig, [&](const TTableOperation& Op, int FailAt) {
    bool Fired = false, Failed = false;
    Rig.Run(
        [&](TDbaseFile& F) {
          TFailingWriter Writer(FailAt, TFailingWriter::fkDiskFull);
          try {
            Op.Run(F);
          } catch (const EDbaseError& E) {
            Failed = true;
            EXPECT_NE(std::string(E.what()).find(std::strerror(ENOSPC)), std::string::npos)
                << E.what();
          }
          Fired = Writer.Fired();
        },
        [&](TDbaseFile&) {
          // Shared files hold nothing back: the files are as before already now.
          if (Failed && Mode == pfReadWriteOpen) {
            EXPECT_TRUE(Rig.Snapshot() == Rig.Base());
          }
        });
    EXPECT_EQ(Failed, Fired);
    int Count = 0;
    EXPECT_EQ(Rig.Verify(Count), "");
    EXPECT_EQ(Count, Fired ? BaseRecords : Op.CountAfter);
    EXPECT_EQ(Rig.Snapshot() == Rig.Base(), Fired);
    return Fired;
  });
}

}  // namespace

TEST(WriteFaultTest, FilesAreUnchangedAfterAFailedWriteAtEveryPosition) {
  // Shared, each operation writes the record, the table header and index pages.
  for (const auto& [Mode, Least] :
       {std::pair(pfReadWriteOpen, 4 * 3), std::pair(pfExclusiveOpen, 4)}) {
    const int Positions = TryEveryWrite(Mode);
    EXPECT_GE(Positions, Least);
    std::printf("mode %d: %d write positions failed in 4 operations\n", int(Mode), Positions);
  }
}
