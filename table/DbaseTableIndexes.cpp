// The index parts of TDbaseTable: the Indexes opened (or built) with the table, attaching and
// detaching index files, ordering by IndexName, and Locate through an index.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <tuple>

#include "platform/data/TextCase.h"
#include "table/DbaseMessages.h"
#include "table/DbaseTable.h"
#include "table/IndexCursor.h"
#include "table/NdxMessages.h"
#include "table/NdxVerify.h"

namespace {

// Takes the expression and options from the index file's header when it still names them.
void ReadIndexDefinition(const std::string& FileName, std::string& Expression,
                         TIndexOptions& Options) {
  TNdxBytes Raw{};
  std::ifstream In(FileName, std::ios::binary);
  if (!In.read(reinterpret_cast<char*>(Raw.data()), Raw.size())) return;
  std::uint8_t Flags = 0;
  if (!ReadNdxDefinition(Raw, Expression, Flags)) return;
  Options = 0;
  if (Flags & ndxDistinct)
    Options |= ixPrimary | ixUnique;
  else if (Flags & ndxUnique)
    Options |= ixUnique;
  if (Flags & ndxDescending) Options |= ixDescending;
}

std::string QuotedArgument(const std::string& Text) {
  return Text.find_first_of(" \t'\"") == std::string::npos ? Text : "'" + Text + "'";
}

// The command line that builds the index anew.
std::string RebuildCommand(const std::string& Table, const std::string& Index,
                           const std::string& Expression, TIndexOptions Options) {
  std::string Command = "tessolon table " + QuotedArgument(Table) + " index " +
                        QuotedArgument(Index) + " create " +
                        (Expression.empty() ? std::string("EXPR") : QuotedArgument(Expression));
  if (Options & ixPrimary)
    Command += " --distinct";
  else if (Options & ixUnique)
    Command += " --unique";
  if (Options & ixDescending) Command += " --descending";
  return Command;
}

}  // namespace

std::string TDbaseTable::ResolveIndexFile(const std::string& Name) const {
  std::filesystem::path Path(Name);
  if (!Path.is_absolute()) Path = std::filesystem::path(FAbsolutePath) / Path;
  return Path.lexically_normal().string();
}

TIndexFile* TDbaseTable::FindIndex(const std::string& FileName) const {
  if (!FFile) return nullptr;
  const std::string Full = ResolveIndexFile(FileName);
  for (int I = 0; I < FFile->IndexCount(); ++I) {
    auto* Index = dynamic_cast<TIndexFile*>(FFile->Index(I));
    if (Index && SameText(Index->FileName(), Full)) return Index;
  }
  return nullptr;
}

void TDbaseTable::OpenIndex(const std::string& FullName, const std::string& Expression,
                            TIndexOptions Options) {
  if (FindIndex(FullName) || FLeftOutIndexes.contains(FullName)) return;
  auto Index = std::make_unique<TIndexFile>(*FFile);
  Index->SetFileName(FullName);
  // An expression allows building the index when its file is missing.
  if (!Expression.empty() && !std::filesystem::exists(FullName)) {
    std::string Failure;
    BuildIndex(std::move(Index), Expression, Options, Failure);
    return;
  }
  Index->SetMode(FFile->ReadOnly()      ? pfReadOnly
                 : FFile->IsExclusive() ? pfExclusiveOpen
                                        : pfReadWriteOpen);
  try {
    Index->Open();
  } catch (const ENdxDamaged& Damage) {
    ReplaceIndex(std::move(Index), Damage.what(), Expression, Options);
    return;
  }
  if (const std::string Fault = OutOfStep(*Index); !Fault.empty()) {
    Index->Close();
    ReplaceIndex(std::move(Index), NdxOutOfStep(FullName, Fault), Expression, Options);
    return;
  }
  FFile->AddIndex(std::move(Index));
}

// Programs that keep no NDX files (spreadsheets, other dBase tools) add, remove and change
// records behind the index's back, and only the file times tell: a table written no earlier
// than its index is checked key by key against it. Equal times count, as file times are
// coarser than two writes. Our own edits write the record after its key and closing rewrites
// the header, so they lead here too, and the check is exact so that they never fail it.
std::string TDbaseTable::OutOfStep(TIndexFile& Index) const {
  struct stat Table {};
  struct stat Keys {};
  if (::stat(FFile->FileName().c_str(), &Table) != 0 ||
      ::stat(Index.FileName().c_str(), &Keys) != 0)
    return "";
  if (std::tie(Table.st_mtim.tv_sec, Table.st_mtim.tv_nsec) <
      std::tie(Keys.st_mtim.tv_sec, Keys.st_mtim.tv_nsec))
    return "";
  // Others change a key and then its record, under the record's lock and, for the key, the
  // index's header page. With that page held and no record locked by anyone, no change is half
  // made; a table with a change under way is checked at a later open.
  const TPageLock IndexHeader(Index, 0, true);
  if (FFile->OthersLockPages(1, std::numeric_limits<int>::max())) return "";
  return VerifyIndex(Index);
}

// An index is derived from its table: a damaged or out-of-step one is built anew as its header
// (or else the caller) defines it, provided nobody else has the table open meanwhile.
// Otherwise this open goes without it, in file order, so that no record is left out; the next
// open that has the table alone rebuilds it.
void TDbaseTable::ReplaceIndex(std::unique_ptr<TIndexFile> Index, const std::string& Fault,
                               std::string Expression, TIndexOptions Options) {
  const std::string Name = Index->FileName();
  ReadIndexDefinition(Name, Expression, Options);
  const std::string Command = RebuildCommand(FullTableName(), Name, Expression, Options);
  if (Expression.empty()) throw EDbaseError(Fault + " Rebuild it with: " + Command + ".");
  std::string Failure;
  std::string Notice;
  try {
    if (BuildIndex(std::move(Index), Expression, Options, Failure))
      Notice = Fault + " It has been rebuilt from the table.";
    else
      Notice =
          Fault + " Rebuilding it from the table failed (" + Failure +
          "), so the table is read without it; mend the table, then rebuild it with: " + Command +
          ".";
  } catch (const EDbaseError&) {
    Notice = Fault + " Others have the table open, so it cannot be rebuilt now: the table is " +
             "read without it, in file order, until an open that has the table alone " +
             "rebuilds it.";
  }
  if (!FindIndex(Name)) FLeftOutIndexes.insert(Name);
  if (OnIndexNotice) OnIndexNotice(this, Notice);
}

bool TDbaseTable::BuildIndex(std::unique_ptr<TIndexFile> Index, const std::string& Expression,
                             TIndexOptions Options, std::string& Failure) {
  const bool Shared = FFile->NeedLocks() && !FFile->ReadOnly();
  FFile->TryExclusive();
  try {
    FFile->CheckExclusiveAccess();
  } catch (...) {
    FFile->EndExclusive();
    throw;
  }
  try {
    Index->SetMode(Shared ? pfReadWriteCreate : pfExclusiveCreate);
    Index->Open();
    Index->CreateIndex(Expression, Options);
    Index->Rebuild();
  } catch (const Exception& E) {
    // A build that fails (a duplicate in a distinct index, a bad expression) leaves the table
    // without this index and without its half-built file.
    Failure = E.Message();
    std::replace(Failure.begin(), Failure.end(), '\r', ' ');
    std::erase(Failure, '\n');
    try {
      Index->Close();
    } catch (const Exception&) {
    }
    std::error_code Ignored;
    std::filesystem::remove(Index->FileName(), Ignored);
    FFile->EndExclusive();
    return false;
  }
  FFile->EndExclusive();
  if (FFile->ReadOnly()) {
    Index->Close();
    Index->SetMode(pfReadOnly);
    Index->Open();
  }
  FFile->AddIndex(std::move(Index));
  return true;
}

void TDbaseTable::OpenIndexes() {
  for (const TDbaseIndexDef& Def : FIndexDefs) {
    // Names without an extension are tags of a multiple-index file, which this engine does
    // not read.
    if (std::filesystem::path(Def.IndexFile).extension().empty()) continue;
    OpenIndex(ResolveIndexFile(Def.IndexFile), Def.SortField, Def.Options);
  }
}

std::unique_ptr<TVirtualCursor> TDbaseTable::OrderedCursor() {
  if (!FIndexName.empty())
    if (TIndexFile* Index = FindIndex(FIndexName)) return std::make_unique<TIndexCursor>(*Index);
  return std::make_unique<TDbaseCursor>(*FFile);
}

void TDbaseTable::SetIndexName(const std::string& Value) {
  FIndexName = Value;
  if (Active()) SetCursor(OrderedCursor());
}

void TDbaseTable::AttachIndexFile(const std::string& FileName) {
  CheckActive();
  OpenIndex(ResolveIndexFile(FileName), "", 0);
}

void TDbaseTable::DetachIndexFile(const std::string& FileName) {
  CheckActive();
  TIndexFile* Index = FindIndex(FileName);
  if (!Index) return;
  // The cursor must not outlive the index it walks: fall back to physical order first.
  if (auto* Cursor = dynamic_cast<TIndexCursor*>(FCursor.get());
      Cursor && &Cursor->Index() == Index)
    SetCursor(std::make_unique<TDbaseCursor>(*FFile));
  FFile->RemoveIndex(Index);
}

bool TDbaseTable::LocateByCursor(const std::vector<TField*>& Fields,
                                 const std::vector<TVariant>& Values, TLocateOptions Options,
                                 bool& Found) {
  auto* Cursor = dynamic_cast<TIndexCursor*>(FCursor.get());
  if (!Cursor || Fields.size() != 1 || Values.size() != 1) return false;
  TIndexFile& Index = Cursor->Index();
  if (!SameText(Fields[0]->FieldName(), Index.IndexHeader().Expression)) return false;
  const bool Text = Index.Key().KeyType() == 'C';
  // Case-insensitive and partial matches need the scan's comparison.
  if (Text && Options != 0) return false;
  const TVariant Value = Text ? TVariant(TextToTable(Values[0].AsString())) : Values[0];
  const int Before = Cursor->PhysicalRecNo();
  Found = Index.CursorSeek(Index.Key().FromValue(Value));
  if (!Found) Cursor->SetPhysicalRecNo(Before);
  return true;
}
