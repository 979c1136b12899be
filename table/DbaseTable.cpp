#include "table/DbaseTable.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/data/DatabaseError.h"
#include "platform/data/TextCase.h"
#include "table/CodePage.h"
#include "table/DbaseMessages.h"

namespace {

// Record buffer: the bookmark (32-bit record number), a bookmark-flag byte, padding, then the
// record exactly as in the file.
constexpr std::size_t BookmarkFlagOffset = 4;
constexpr std::size_t RecordOffset = 8;

std::string ProgramFolder() {
  char Path[4096];
  const ssize_t Length = readlink("/proc/self/exe", Path, sizeof Path - 1);
  if (Length <= 0) return std::filesystem::current_path().string() + "/";
  return std::filesystem::path(std::string(Path, Length)).parent_path().string() + "/";
}

// Absolute paths stay as they are; others are taken below Base. Always ends in '/'.
std::string ResolveFolder(const std::string& Path, const std::string& Base) {
  std::string Full = !Path.empty() && Path[0] == '/' ? Path : Base + Path;
  Full = std::filesystem::path(Full).lexically_normal().string();
  if (Full.empty() || Full.back() != '/') Full += '/';
  return Full;
}

// The type letter and width a new table gets for a dataset field definition.
TDbaseFieldDef NativeDef(const TFieldDef& Def) {
  auto Width = [&](int Default) { return Def.Size > 0 ? Def.Size : Default; };
  switch (Def.DataType) {
    case ftString:
      return {Def.Name, 'C', Width(1)};
    case ftSmallint:
      return {Def.Name, 'N', Width(4)};
    case ftInteger:
      return {Def.Name, 'N', Width(9)};
    case ftLargeint:
      return {Def.Name, 'N', Width(18)};
    case ftFloat:
      return {Def.Name, 'N', Width(18), Def.Precision};
    case ftBoolean:
      return {Def.Name, 'L', 1};
    case ftDate:
      return {Def.Name, 'D', 8};
    case ftDateTime:
      return {Def.Name, '@', 8};
    case ftAutoInc:
      return {Def.Name, '+', 4};
    case ftMemo:
      return {Def.Name, 'M', 10};
    case ftBlob:
      return {Def.Name, 'B', 10};
    case ftDBaseOle:
      return {Def.Name, 'G', 10};
    case ftUnknown:
      break;
  }
  return {Def.Name, '?', Def.Size};
}

}  // namespace

TDbaseTable::TDbaseTable(TComponent* AOwner)
    : TDataSet(AOwner), FAbsolutePath(ResolveFolder("", ProgramFolder())) {}

TDbaseTable::~TDbaseTable() {
  try {
    Close();
  } catch (const std::exception&) {
    // Nothing can report a failed header write, or try it again, while the table object goes
    // away: the file is let go without it (its records are in it already).
    FCursor.reset();
    FFile.reset();
  }
}

const TClassInfo& TDbaseTable::StaticClassInfo() {
  using T = TDbaseTable;
  static const TClassInfo Info =
      TClassBuilder<T>("TDbaseTable", TDataSet::StaticClassInfo())
          .Enum("DateTimeHandling", {"dtDateTime", "dtBDETimeStamp"}, &T::DateTimeHandling,
                &T::SetDateTimeHandling, dtBDETimeStamp)
          .Bool("Exclusive", &T::Exclusive, &T::SetExclusive)
          .String("FilePath", &T::FilePath, &T::SetFilePath)
          .Strings("Indexes", &T::IndexesText, &T::SetIndexesText)
          .String("IndexName", &T::IndexName, &T::SetIndexName)
          .Enum("OpenMode", {"omNormal", "omAutoCreate", "omTemporary"}, &T::OpenMode,
                &T::SetOpenMode, omNormal)
          .Bool("ReadOnly", &T::ReadOnly, &T::SetReadOnly)
          .Bool("ShowDeleted", &T::ShowDeleted, &T::SetShowDeleted)
          .Enum("Storage", {"stoMemory", "stoAuto", "stoFile"}, &T::Storage, &T::SetStorage,
                stoFile)
          .String("TableName", &T::TableName, &T::SetTableName)
          .Bool("UseFloatFields", &T::UseFloatFields, &T::SetUseFloatFields, true)
          // Read-only: what a stored definition says is ignored.
          .String(
              "Version", &T::Version, [](T&, const std::string&) {},
              FormatMessage(DbaseMessages::Version, ENGINE_MAJOR_VERSION, ENGINE_MINOR_VERSION))
          .Event("OnLanguageWarning", &T::OnLanguageWarning)
          .Event("OnTranslate", &T::OnTranslate)
          .Event("OnIndexMissing", &T::OnIndexMissing)
          .Build();
  return Info;
}

void RegisterTableClasses() {
  RegisterClass(TDbaseTable::StaticClassInfo());
}

std::string TDbaseTable::Version() const {
  return FormatMessage(DbaseMessages::Version, ENGINE_MAJOR_VERSION, ENGINE_MINOR_VERSION);
}

void TDbaseTable::SetFilePath(const std::string& Value) {
  CheckInactive();
  FFilePath = Value;
  if (!FFilePath.empty() && FFilePath.back() != '/') FFilePath += '/';
  FAbsolutePath = ResolveFolder(FFilePath, ProgramFolder());
}

void TDbaseTable::SetTableName(const std::string& Value) {
  CheckInactive();
  const auto Slash = Value.rfind('/');
  if (Slash != std::string::npos) SetFilePath(Value.substr(0, Slash + 1));
  FTableName = Slash == std::string::npos ? Value : Value.substr(Slash + 1);
}

void TDbaseTable::SetExclusive(bool Value) {
  CheckInactive();
  FExclusive = Value;
}

void TDbaseTable::SetReadOnly(bool Value) {
  CheckInactive();
  FReadOnly = Value;
}

void TDbaseTable::SetStorage(TDbaseStorage Value) {
  CheckInactive();
  FStorage = Value;
}

void TDbaseTable::SetUseFloatFields(bool Value) {
  CheckInactive();
  FUseFloatFields = Value;
}

void TDbaseTable::SetDateTimeHandling(TDateTimeHandling Value) {
  CheckInactive();
  FDateTimeHandling = Value;
}

void TDbaseTable::SetTableLevel(int Value) {
  CheckInactive();
  if (Value != 3 && Value != 4 && Value != 7)
    DatabaseError("Invalid table level " + std::to_string(Value) + " (3, 4 or 7).", this);
  FTableLevel = Value;
}

void TDbaseTable::SetChosenCodePage(int Value) {
  CheckInactive();
  FChosenCodePage = Value;
}

void TDbaseTable::SetShowDeleted(bool Value) {
  if (FShowDeleted == Value) return;
  FShowDeleted = Value;
  if (Active()) Refresh();
}

int TDbaseTable::CodePage() const {
  return FConverter ? FConverter->CodePage() : 0;
}

TPagedFileMode TDbaseTable::FileMode() const {
  if (FReadOnly) return pfReadOnly;
  return FExclusive ? pfExclusiveOpen : pfReadWriteOpen;
}

void TDbaseTable::InternalOpen() {
  FFile = std::make_unique<TDbaseFile>();
  FFile->SetFileName(FullTableName());
  FFile->SetUseFloatFields(FUseFloatFields);
  FFile->SetDateTimeHandling(FDateTimeHandling);
  FFile->SetChosenCodePage(FChosenCodePage);
  FFile->OnIndexMissing = [this] { return OnIndexMissing ? OnIndexMissing(this) : true; };
  try {
    const bool Create =
        FStorage == stoMemory || ((FOpenMode == omAutoCreate || FOpenMode == omTemporary) &&
                                  !std::filesystem::exists(FullTableName()));
    if (Create) {
      CreateTableFile();
    } else {
      FFile->SetMode(FileMode());
      FFile->Open();
    }
    FTableLevel = FFile->TableLevel();
    BuildFieldDefs();
    ChooseTranslation();
    OpenIndexes();
    SetCursor(OrderedCursor());
  } catch (...) {
    FCursor.reset();
    FFile.reset();
    throw;
  }
}

void TDbaseTable::CreateTableFile() {
  std::vector<TDbaseFieldDef> Defs;
  for (int I = 0; I < FieldDefs().Count(); ++I) Defs.push_back(NativeDef(FieldDefs()[I]));
  if (FStorage == stoMemory)
    FFile->SetMode(pfMemoryCreate);
  else
    FFile->SetMode(FExclusive ? pfExclusiveCreate : pfReadWriteCreate);
  FFile->SetTableLevel(FTableLevel);
  FFile->CreateTable(Defs);
}

void TDbaseTable::BuildFieldDefs() {
  TFieldDefs& Defs = FieldDefs();
  Defs.Clear();
  const TDbaseFieldDefs& Native = FFile->FieldDefs();
  for (int I = 0; I < Native.Count(); ++I) {
    const TDbaseFieldDef& N = Native[I];
    std::string Name = N.FieldName;
    for (int Suffix = 2; Defs.Find(Name); ++Suffix) Name = N.FieldName + std::to_string(Suffix);
    TFieldDef Def;
    Def.Name = Name;
    Def.DataType = N.FieldType;
    Def.Size = N.Size;
    Def.Precision = N.Precision;
    Def.Required = N.Required;
    Def.ReadOnly = N.FieldType == ftAutoInc;
    Def.Hidden = N.Hidden;
    Def.FieldNo = I + 1;
    Defs.Add(Def);
  }
}

void TDbaseTable::ChooseTranslation() {
  int Page = FFile->CodePage();
  if (Page == ANSI_CODEPAGE && CodePageSupported(Page)) {
    FTranslationMode = tmNone;
  } else if (Page == OEM_CODEPAGE && CodePageSupported(Page)) {
    FTranslationMode = tmOEM;
  } else if (CodePageSupported(Page)) {
    FTranslationMode = tmCodePage;
  } else {
    TDbaseLanguageAction Action = laEditOnly;
    if (OnLanguageWarning) OnLanguageWarning(this, Action);
    FTranslationMode = Action == laForceOEM    ? tmOEM
                       : Action == laForceANSI ? tmNone
                                               : tmNoneNotModifiable;
    if (Action == laForceOEM) Page = OEM_CODEPAGE;
    if (Action == laForceANSI) Page = ANSI_CODEPAGE;
  }
  FConverter = std::make_unique<TCodePageConverter>(Page);
}

void TDbaseTable::SetCursor(std::unique_ptr<TVirtualCursor> Value) {
  const int RecNo = FCursor && FCursor->PhysicalRecNo() > 0 ? FCursor->PhysicalRecNo() : 1;
  FCursor = std::move(Value);
  FCursor->SetPhysicalRecNo(RecNo);
  if (State() == dsBrowse) Refresh();
}

// Closing stamps the header with today's date (and the end-of-file byte) even when nothing
// changed, as the table's other users expect. It goes out now, whatever the mode: a header that
// cannot be written keeps the table open, with every record, for the next try.
void TDbaseTable::InternalFlush() {
  if (!FFile || FFile->ReadOnly()) return;
  FFile->WriteHeader();
  FFile->FlushHeader();
}

void TDbaseTable::InternalClose() {
  FLockedRecNo = -1;
  FLeftOutIndexes.clear();
  FCursor.reset();
  FConverter.reset();
  if (!FFile) return;
  const std::unique_ptr<TDbaseFile> File = std::move(FFile);
  File->Close();
}

std::size_t TDbaseTable::RecordBufferSize() const {
  return RecordOffset + static_cast<std::size_t>(FFile->RecordSize());
}

TBookmark TDbaseTable::GetBookmarkData(const TRecordBuffer& Buffer) const {
  std::int32_t RecNo = 0;
  std::memcpy(&RecNo, Buffer.data(), sizeof RecNo);
  return RecNo;
}

void TDbaseTable::InternalGotoBookmark(TBookmark Value) {
  FCursor->GotoBookmark(static_cast<int>(Value));
}

TGetResult TDbaseTable::GetRecord(TRecordBuffer& Buffer, TGetMode Mode) {
  if (!FCursor) return grEOF;
  std::uint8_t* Record = Buffer.data() + RecordOffset;
  for (;;) {
    if (Mode == gmNext && !FCursor->Next()) return grEOF;
    if (Mode == gmPrior && !FCursor->Prior()) return grBOF;
    const int RecNo = FCursor->PhysicalRecNo();
    // A number outside the file (a record another process truncated away) is an error.
    if (RecNo < 1 || !FFile->ReadRecord(RecNo, Record)) return grError;
    if (FShowDeleted || Record[0] != '*') {
      const std::int32_t Bookmark = FCursor->Bookmark();
      std::memcpy(Buffer.data(), &Bookmark, sizeof Bookmark);
      Buffer[BookmarkFlagOffset] = 0;
      return grOK;
    }
    if (Mode == gmCurrent) return grError;
  }
}

void TDbaseTable::InternalInitRecord(TRecordBuffer& Buffer) {
  std::memset(Buffer.data(), 0, RecordOffset);
  FFile->InitRecord(Buffer.data() + RecordOffset);
}

void TDbaseTable::InternalEdit() {
  const int RecNo = static_cast<int>(GetBookmarkData(ActiveBuffer()));
  // Raises "Record locked." when another holds it; editing starts from the file's contents.
  FFile->LockRecord(RecNo, ActiveBuffer().data() + RecordOffset);
  FLockedRecNo = RecNo;
}

void TDbaseTable::InternalPost() {
  std::uint8_t* Record = ActiveBuffer().data() + RecordOffset;
  if (State() == dsEdit) {
    FFile->PostRecord(FLockedRecNo, Record);
    FLockedRecNo = -1;
    return;
  }
  const int RecNo = FFile->Insert(Record);
  FCursor->SetPhysicalRecNo(RecNo);
  const std::int32_t Bookmark = FCursor->Bookmark();
  std::memcpy(ActiveBuffer().data(), &Bookmark, sizeof Bookmark);
}

void TDbaseTable::InternalCancel() {
  if (FLockedRecNo < 0) return;
  const int RecNo = FLockedRecNo;
  FLockedRecNo = -1;
  FFile->UnlockRecord(RecNo);
}

void TDbaseTable::InternalDelete() {
  const int RecNo = static_cast<int>(GetBookmarkData(ActiveBuffer()));
  std::uint8_t* Record = ActiveBuffer().data() + RecordOffset;
  FFile->LockRecord(RecNo, Record);
  FLockedRecNo = RecNo;
  try {
    FFile->DeleteRecord(RecNo, Record);
  } catch (...) {
    InternalCancel();
    throw;
  }
  FLockedRecNo = -1;
}

bool TDbaseTable::GetFieldData(const TField& Field, const TRecordBuffer& Buffer,
                               TVariant& Value) const {
  Value = FFile->GetFieldData(Field.FieldNo() - 1, Field.DataType(), Buffer.data() + RecordOffset);
  if (Value.IsNull()) return false;
  if (Value.VarType() == varString) Value = TVariant(TableToText(Value.AsString()));
  return true;
}

void TDbaseTable::SetFieldData(const TField& Field, TRecordBuffer& Buffer, const TVariant& Value) {
  const TVariant Stored =
      Value.VarType() == varString ? TVariant(TextToTable(Value.AsString())) : Value;
  FFile->SetFieldData(Field.FieldNo() - 1, Field.DataType(), Stored, Buffer.data() + RecordOffset);
}

std::string TDbaseTable::TableToText(std::string Raw) const {
  if (OnTranslate) {
    OnTranslate(const_cast<TDbaseTable*>(this), Raw, false);
    return Raw;
  }
  return FConverter->ToUtf8(Raw);
}

std::string TDbaseTable::TextToTable(std::string Text) const {
  if (OnTranslate) {
    OnTranslate(const_cast<TDbaseTable*>(this), Text, true);
    return Text;
  }
  return FConverter->FromUtf8(Text);
}

int TDbaseTable::GetRecordCount() const {
  return FCursor ? FCursor->RecordCount() : 0;
}

int TDbaseTable::GetRecNo(const TRecordBuffer& Buffer) const {
  return static_cast<int>(GetBookmarkData(Buffer));
}

bool TDbaseTable::GetCanModify() const {
  return !FReadOnly && !Designing() && FTranslationMode != tmNoneNotModifiable;
}

int TDbaseTable::PhysicalRecNo() const {
  return IsEmpty() || State() == dsInsert ? 0 : static_cast<int>(GetBookmarkData(ActiveBuffer()));
}

bool TDbaseTable::IsDeleted() const {
  const std::uint8_t* Record = ActiveRecord();
  return Record && Record[0] == '*';
}

const std::uint8_t* TDbaseTable::ActiveRecord() const {
  return IsEmpty() ? nullptr : ActiveBuffer().data() + RecordOffset;
}

void TDbaseTable::AppendText(std::string_view Raw, std::string& Out) const {
  if (OnTranslate)
    Out += TableToText(std::string(Raw));
  else
    FConverter->AppendUtf8(Raw, Out);
}
