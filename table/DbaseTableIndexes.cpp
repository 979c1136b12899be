// The index parts of TDbaseTable: the Indexes opened (or built) with the table, attaching and
// detaching index files, ordering by IndexName, and Locate through an index.
#include <filesystem>
#include <fstream>

#include "platform/data/TextCase.h"
#include "table/DbaseMessages.h"
#include "table/DbaseTable.h"
#include "table/IndexCursor.h"
#include "table/NdxMessages.h"

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
  if (FindIndex(FullName)) return;
  auto Index = std::make_unique<TIndexFile>(*FFile);
  Index->SetFileName(FullName);
  // An expression allows building the index when its file is missing.
  if (!Expression.empty() && !std::filesystem::exists(FullName)) {
    BuildIndex(std::move(Index), Expression, Options);
    return;
  }
  Index->SetMode(FFile->ReadOnly()      ? pfReadOnly
                 : FFile->IsExclusive() ? pfExclusiveOpen
                                        : pfReadWriteOpen);
  try {
    Index->Open();
  } catch (const ENdxDamaged& Damage) {
    RebuildDamagedIndex(std::move(Index), Damage.what(), Expression, Options);
    return;
  }
  FFile->AddIndex(std::move(Index));
}

// An index is derived from its table: a damaged one is built anew as its header (or else the
// caller) defines it, provided nobody else has the table open meanwhile. Otherwise the error
// says how to rebuild it once they are done.
void TDbaseTable::RebuildDamagedIndex(std::unique_ptr<TIndexFile> Index, const std::string& Fault,
                                      std::string Expression, TIndexOptions Options) {
  ReadIndexDefinition(Index->FileName(), Expression, Options);
  const std::string Command =
      RebuildCommand(FullTableName(), Index->FileName(), Expression, Options);
  if (Expression.empty()) throw EDbaseError(Fault + " Rebuild it with: " + Command + ".");
  bool Built = false;
  try {
    Built = BuildIndex(std::move(Index), Expression, Options);
  } catch (const EDbaseError&) {
    throw EDbaseError(Fault + " It cannot be rebuilt while others have the table open; once " +
                      "they are done, rebuild it with: " + Command + ".");
  }
  if (!Built)
    throw EDbaseError(Fault + " Rebuilding it from the table failed (the table may hold a " +
                      "duplicate key); rebuild it with: " + Command + ".");
  if (OnIndexRebuilt) OnIndexRebuilt(this, Fault + " It has been rebuilt from the table.");
}

bool TDbaseTable::BuildIndex(std::unique_ptr<TIndexFile> Index, const std::string& Expression,
                             TIndexOptions Options) {
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
  } catch (const Exception&) {
    // A build that fails (a duplicate in a distinct index, a bad expression) leaves the table
    // without this index and without its half-built file.
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
