#include "sweep/DataFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/core/Exceptions.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

std::string Contents(const fs::path& File) {
  std::ifstream In(File, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), {}};
}

void Write(const fs::path& File, const std::string& Text) {
  fs::create_directories(File.parent_path());
  std::ofstream(File, std::ios::binary) << Text;
}

// A working directory, a user data folder and an installed table, all in one scratch folder.
class DataFolder : public testing::Test {
 protected:
  DataFolder() {
    fs::create_directories(Places.Current);
    Write(Places.Installed / "para.dbf", "installed table");
    Write(Places.Installed / "idx.ndx", "installed index");
    // Installed files are read-only to users; the copy must not be.
    fs::permissions(Places.Installed / "para.dbf", fs::perms::owner_read | fs::perms::group_read);
  }
  ~DataFolder() override { fs::remove_all(Root); }

  const fs::path Root = MakeScratchFolder("tessolon-datafolder-");
  TDataPlaces Places{Root / "work", Root / "xdg", Root / "usr" / "share" / "tessolon" / "data"};
  const fs::path User = Root / "xdg" / "tessolon" / "data";
};

}  // namespace

TEST_F(DataFolder, ElsewhereTheUsersCopyIsMadeOnceAndKeptAfterwards) {
  EXPECT_EQ(PestTableFolder(Places), User.string() + "/");
  EXPECT_EQ(Contents(User / "para.dbf"), "installed table");
  EXPECT_EQ(Contents(User / "idx.ndx"), "installed index");
  EXPECT_NE(fs::status(User / "para.dbf").permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_EQ(std::distance(fs::directory_iterator(User), fs::directory_iterator()), 2);

  Write(User / "para.dbf", "edited by the user");
  EXPECT_EQ(PestTableFolder(Places), User.string() + "/");
  EXPECT_EQ(Contents(User / "para.dbf"), "edited by the user");
  EXPECT_EQ(Contents(Places.Installed / "para.dbf"), "installed table");
}

TEST_F(DataFolder, AWorkingDirectoryWithATableOrNothingToCopyKeepsTheWorkingDirectoryRule) {
  const std::string Local = (Places.Current / "data").string() + "/";
  TDataPlaces NotInstalled = Places;
  NotInstalled.Installed = Root / "nowhere";
  EXPECT_EQ(PestTableFolder(NotInstalled), Local);
  EXPECT_FALSE(fs::exists(User));
  TDataPlaces NoHome = Places;
  NoHome.UserData.clear();
  EXPECT_EQ(PestTableFolder(NoHome), Local);
  // A working directory with a table keeps it, and no copy is made.
  Write(Places.Current / "data" / "para.dbf", "local table");
  EXPECT_EQ(PestTableFolder(Places), Local);
  EXPECT_FALSE(fs::exists(User));
}

TEST_F(DataFolder, AFailedCopyNamesTheFolder) {
  Write(Places.UserData / "tessolon", "a file where the folder should be");
  try {
    PestTableFolder(Places);
    FAIL() << "no exception";
  } catch (const Exception& E) {
    EXPECT_NE(E.Message().find("Cannot copy the pest table to " + User.string() + "/: "),
              std::string::npos)
        << E.Message();
  }
}

TEST(DataPlaces, FollowTheEnvironmentAndTheProgramsOwnFolder) {
  const struct {
    const char *Home, *Data, *Expected;
  } Cases[] = {{"/home/someone", "/srv/data", "/srv/data"},
               {"/home/someone", "relative/data", "/home/someone/.local/share"},  // ignored
               {"/home/someone", nullptr, "/home/someone/.local/share"},
               {nullptr, nullptr, ""}};
  for (const auto& C : Cases) {
    const TScopedEnv Home("HOME", C.Home), Data("XDG_DATA_HOME", C.Data);
    EXPECT_EQ(ProcessDataPlaces().UserData, fs::path(C.Expected)) << (C.Data ? C.Data : "-");
  }

  // The test program stands where the program does: share/ lies beside its folder.
  const TDataPlaces Places = ProcessDataPlaces();
  EXPECT_EQ(Places.Current, fs::current_path());
  EXPECT_EQ(Places.Installed, (fs::read_symlink("/proc/self/exe").parent_path().parent_path() /
                               "share" / "tessolon" / "data"));
}
