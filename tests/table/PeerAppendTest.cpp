// Our appenders beside an independent peer that knows only the dBase locking protocol
// (interop/peer_append.py: POSIX locks and raw reads and writes, maintaining the index too).
// Whatever order they interleave in, no record is lost, no slot stays empty, the header counts
// every record and the index holds every key.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>

#include "tests/table/TableTestFiles.h"

namespace {

constexpr int OurAppenders = 3, PerAppender = 40, PeerRecords = 120;

// The table command's exit status; its errors are passed on.
int Command(const std::vector<std::string>& Args) {
  const TTableRun Run = RunTable(Args);
  std::cerr << Run.Err;
  return Run.Status;
}

}  // namespace

TEST(PeerAppend, OurAppendersAndAProtocolPeerLoseNothing) {
  if (std::system("/usr/bin/python3 -c '' 2>/dev/null") != 0) GTEST_SKIP() << "python3 missing";
  TScratchDir Dir;
  const std::string Table = Dir.File("para.dbf"), Index = Dir.File("idx.ndx");
  WriteSampleTable(Table);
  ASSERT_EQ(Command({Table, "index", Index, "create", "IDX", "--distinct"}), 0);

  std::cout.flush();
  const std::string Peer = std::string(TESSOLON_SOURCE_DIR) + "/tests/table/interop/peer_append.py";
  const pid_t PeerPid = Spawn([&] {
    const std::string Line = "/usr/bin/python3 " + Peer + " " + Table + " " + Index + " 1000 " +
                             std::to_string(PeerRecords) + " peer";
    return WEXITSTATUS(std::system(Line.c_str()));
  });
  // Ours start once the peer has appended its first record (it starts slower), so that they
  // run beside it.
  const auto Initial = std::filesystem::file_size(Table);
  for (int Wait = 0; Wait < 10000 && std::filesystem::file_size(Table) == Initial; ++Wait)
    ::usleep(1000);
  std::vector<pid_t> Ours;
  for (int A = 1; A <= OurAppenders; ++A)
    Ours.push_back(Spawn([&, A] {
      for (int I = 0; I < PerAppender; ++I)
        if (Command({Table, "--index", Index, "append", "IDX=" + std::to_string(A * 100 + I),
                     "NAME_PEST=ours" + std::to_string(A) + "-" + std::to_string(I)}) != 0)
          return 1;
      return 0;
    }));
  for (pid_t Pid : Ours) EXPECT_EQ(Reap(Pid), 0);
  EXPECT_EQ(Reap(PeerPid), 0);

  // Every record once, in a slot of its own; the header's count is the number of records.
  const auto Bytes = ReadFile(Table);
  const auto [Count, HeaderLength, RecordLength] = StoredHeader(Bytes);
  const int Slots = int((Bytes.size() - HeaderLength) / RecordLength);
  const int Expected = 3 + OurAppenders * PerAppender + PeerRecords;
  std::map<std::string, int> Names;
  int Empty = 0;
  for (int Slot = 0; Slot < Slots; ++Slot) {
    const auto* R = &Bytes[HeaderLength + std::size_t(Slot) * RecordLength];
    if (R[0] != ' ') ++Empty;
    std::string Name(reinterpret_cast<const char*>(R) + 5, 20);
    ++Names[Name.substr(0, Name.find_last_not_of(' ') + 1)];
  }
  EXPECT_EQ(Slots, Expected);
  EXPECT_EQ(Count, std::uint32_t(Expected));
  EXPECT_EQ(Empty, 0);
  EXPECT_EQ(Names.size(), std::size_t(Expected));
  EXPECT_EQ(Names.count("peer-" + std::to_string(PeerRecords - 1)), 1u);
  EXPECT_EQ(
      Names.count("ours" + std::to_string(OurAppenders) + "-" + std::to_string(PerAppender - 1)),
      1u);
  EXPECT_EQ(Bytes.back(), 0x1A);
  EXPECT_EQ(Command({Table, "index", Index, "verify"}), 0);
  std::cout << "peer test: " << Expected << " records written, " << Slots << " slots, header count "
            << Count << ", " << Empty << " empty slots, index verify "
            << (Command({Table, "index", Index, "verify"}) == 0 ? "sound" : "FAILED") << '\n';
}
