#include "sweep/DataFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/core/Exceptions.h"
#include "table/DbaseTable.h"
#include "table/TableCommand.h"
#include "tests/support/FileSizeLimit.h"
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

// Elsewhere the user's copy is made. The window opens the table in whatever folder this answers;
// a copy the disk refused must not leave it to the table's own default, the program's folder
// (/usr/bin). The copy the next start makes is the user's to write, and is kept from then on.
TEST_F(DataFolder, TheUsersCopyIsMadeOnceTheDiskHasRoomAndKeptAfterwards) {
  fs::permissions(Places.Installed / "para.dbf", fs::perms::owner_write, fs::perm_options::add);
  Write(Places.Installed / "para.dbf", std::string(8192, 't'));
  std::string Folder;
  {
    const TFileSizeLimit Full(4096);  // room for the index, not for the table
    Folder = PestTableFolder(Places);
  }
  EXPECT_EQ(Folder, User.string() + "/");
  EXPECT_FALSE(fs::exists(User / "para.dbf"));
  EXPECT_EQ(std::distance(fs::directory_iterator(User), fs::directory_iterator()), 1)
      << "a part of the copy was left behind";
  TDbaseTable Table(nullptr);
  Table.SetFilePath(Folder);
  Table.SetTableName("para.dbf");
  try {
    Table.Open();
    FAIL() << "opened";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "Open: file not found: \"" + (User / "para.dbf").string() + "\".");
  }
  EXPECT_FALSE(Table.Active());
  fs::permissions(Places.Installed / "para.dbf", fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_EQ(PestTableFolder(Places), User.string() + "/");
  EXPECT_EQ(fs::file_size(User / "para.dbf"), 8192u);
  EXPECT_EQ(Contents(User / "idx.ndx"), "installed index");
  EXPECT_NE(fs::status(User / "para.dbf").permissions() & fs::perms::owner_write, fs::perms::none);
  Write(User / "para.dbf", "edited by the user");
  EXPECT_EQ(PestTableFolder(Places), User.string() + "/");
  EXPECT_EQ(Contents(User / "para.dbf"), "edited by the user");
  EXPECT_EQ(fs::file_size(Places.Installed / "para.dbf"), 8192u);
}

// Copies made before the shipped table carried its code page are marked as it is, so that names
// in Thai can be stored; one with text beyond ASCII or another mark is left as it was.
TEST_F(DataFolder, TheUsersOlderCopyGetsTheShippedCodePage) {
  const fs::path Shipped = fs::path(TESSOLON_SOURCE_DIR) / "data" / "para.dbf";
  const std::string Table = Contents(Shipped);
  ASSERT_EQ(Table[29], '\x7C');
  const auto Changed = [&](char Mark, const std::string& Name) {
    std::string Bytes = Table;
    Bytes[29] = Mark;
    const std::size_t FirstName = Bytes.find("Mosquito");
    Bytes.replace(FirstName, Name.size(), Name);
    return Bytes;
  };
  const struct {
    const char* What;
    std::string Bytes;
    bool Marked;
  } Cases[] = {
      {"unmarked, plain names", Changed('\0', "Mosquito"), true},
      {"unmarked, a cp437 name",
       Changed('\0',
               "M\x81"
               "cke   "),
       false},
      {"Windows ANSI mark", Changed('\x57', "Mosquito"), false},
  };
  const std::string Thai = "\u0E22\u0E38\u0E07";  // "mosquito"
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.What);
    Write(User / "para.dbf", Case.Bytes);
    EXPECT_EQ(PestTableFolder(Places), User.string() + "/");
    const std::string After = Contents(User / "para.dbf");
    EXPECT_EQ(After[29], Case.Marked ? '\x7C' : Case.Bytes[29]);
    EXPECT_EQ(After.substr(30), Case.Bytes.substr(30));
    if (!Case.Marked) EXPECT_EQ(After, Case.Bytes);
    EXPECT_EQ(TableCommand({(User / "para.dbf").string(), "append", "IDX=20", "NAME_PEST=" + Thai}),
              Case.Marked ? 0 : 1);
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
