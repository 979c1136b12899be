#include "sweep/DataFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/core/Exceptions.h"
#include "sweep/PestFields.h"
#include "table/DbaseFile.h"

namespace fs = std::filesystem;

namespace {

const char* const TableFile = "para.dbf";
const char* const IndexFile = "idx.ndx";

std::string Slashed(const fs::path& Folder) {
  std::string Result = Folder.lexically_normal().string();
  if (Result.empty() || Result.back() != '/') Result += '/';
  return Result;
}

bool HasTable(const fs::path& Folder) {
  std::error_code Error;
  return !Folder.empty() && fs::is_regular_file(Folder / TableFile, Error);
}

// Copies one file under a temporary name and renames it into place, so that a program started
// at the same moment never opens half a table. The copy is the user's to edit. A failed copy
// leaves no part behind.
void CopyInto(const fs::path& From, const fs::path& Folder) {
  const fs::path Target = Folder / From.filename();
  const fs::path Partial =
      Folder / (From.filename().string() + ".part" + std::to_string(::getpid()));
  try {
    fs::copy_file(From, Partial, fs::copy_options::overwrite_existing);
    fs::permissions(Partial, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    fs::rename(Partial, Target);
  } catch (const fs::filesystem_error&) {
    std::error_code Ignored;
    fs::remove(Partial, Ignored);
    throw;
  }
}

// The index goes first: the table's presence is what marks the copy as complete. A copy that
// fails leaves the folder without a table, so the table's own message names the user's copy.
void CopyInstalledTable(const fs::path& Installed, const fs::path& User) {
  try {
    fs::create_directories(User);
    if (fs::is_regular_file(Installed / IndexFile)) CopyInto(Installed / IndexFile, User);
    CopyInto(Installed / TableFile, User);
  } catch (const fs::filesystem_error&) {
  }
}

// Copies made before the table carried its code page have no mark and plain ASCII names; they
// get the shipped table's mark, so that names in Thai can be stored. Anything else is left as
// it is, and a table that cannot be read here is reported when it is opened.
void MarkUsersCopy(const fs::path& User) {
  try {
    MarkPlainTable((User / TableFile).string(), PestTableCodePage);
  } catch (const Exception&) {
  }
}

fs::path Environment(const char* Name) {
  const char* Value = std::getenv(Name);
  return Value ? fs::path(Value) : fs::path();
}

}  // namespace

TDataPlaces ProcessDataPlaces() {
  TDataPlaces Places;
  Places.Current = fs::current_path();
  // A relative XDG_DATA_HOME is invalid and ignored, as the base directory rules ask.
  Places.UserData = Environment("XDG_DATA_HOME");
  if (Places.UserData.is_relative()) {
    const fs::path Home = Environment("HOME");
    Places.UserData = Home.is_absolute() ? Home / ".local" / "share" : fs::path();
  }
  std::error_code Error;
  const fs::path Program = fs::read_symlink("/proc/self/exe", Error);
  if (!Error)
    Places.Installed = (Program.parent_path() / TESSOLON_DATA_FROM_BINDIR).lexically_normal();
  return Places;
}

std::string PestTableFolder(const TDataPlaces& Places) {
  const fs::path Local = Places.Current / "data";
  if (HasTable(Local) || Places.UserData.empty()) return Slashed(Local);
  const fs::path User = Places.UserData / "tessolon" / "data";
  if (!HasTable(User)) {
    // Without an installed table (a build tree) the working directory's rule stands, and the
    // table's own message names that folder.
    if (!HasTable(Places.Installed)) return Slashed(Local);
    CopyInstalledTable(Places.Installed, User);
  }
  if (HasTable(User)) MarkUsersCopy(User);
  return Slashed(User);
}

std::string PestTableFolder() {
  return PestTableFolder(ProcessDataPlaces());
}
