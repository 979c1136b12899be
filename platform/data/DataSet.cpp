#include "platform/data/DataSet.h"

#include "platform/core/SysUtils.h"
#include "platform/data/DataSource.h"
#include "platform/data/DatabaseError.h"
#include "platform/data/TextCase.h"

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
  // The concrete dataset's destructor has closed it; only the sources still point here.
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
}

const TClassInfo& TDataSet::StaticClassInfo() {
  static const TClassInfo Info = TClassBuilder<TDataSet>("TDataSet", TComponent::StaticClassInfo())
                                     .Bool("Active", &TDataSet::Active, &TDataSet::SetActive)
                                     .Event("BeforeOpen", &TDataSet::BeforeOpen)
                                     .Event("AfterOpen", &TDataSet::AfterOpen)
                                     .Event("BeforeClose", &TDataSet::BeforeClose)
                                     .Event("AfterClose", &TDataSet::AfterClose)
                                     .Event("BeforeEdit", &TDataSet::BeforeEdit)
                                     .Event("AfterEdit", &TDataSet::AfterEdit)
                                     .Event("BeforeInsert", &TDataSet::BeforeInsert)
                                     .Event("AfterInsert", &TDataSet::AfterInsert)
                                     .Event("OnNewRecord", &TDataSet::OnNewRecord)
                                     .Event("BeforePost", &TDataSet::BeforePost)
                                     .Event("AfterPost", &TDataSet::AfterPost)
                                     .Event("BeforeCancel", &TDataSet::BeforeCancel)
                                     .Event("AfterCancel", &TDataSet::AfterCancel)
                                     .Event("BeforeDelete", &TDataSet::BeforeDelete)
                                     .Event("AfterDelete", &TDataSet::AfterDelete)
                                     .Event("BeforeScroll", &TDataSet::BeforeScroll)
                                     .Event("AfterScroll", &TDataSet::AfterScroll)
                                     .Build();
  return Info;
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (FStreamedActive) {
    FStreamedActive = false;
    SetActive(true);
  }
}

void TDataSet::SetActive(bool Value) {
  if (Loading()) {
    FStreamedActive = Value;  // opened once every stored property is in place
    return;
  }
  if (Value == Active()) return;
  if (Value) {
    Fire(BeforeOpen);
    OpenCursor();
    SetState(dsBrowse);
    DataEvent(deDataSetChange);
    Fire(AfterOpen);
    if (FHasRecord) Fire(AfterScroll);
  } else {
    Fire(BeforeClose);
    InternalFlush();
    if (FState == dsEdit || FState == dsInsert) InternalCancel();
    SetState(dsInactive);
    CloseCursor();
    Fire(AfterClose);
  }
}

void TDataSet::OpenCursor() {
  InternalOpen();
  try {
    for (int I = 0; I < FFieldDefs.Count(); ++I)
      if (!FFieldDefs[I].Hidden) FFields.Add(std::make_unique<TField>(this, FFieldDefs[I]));
    FActive.assign(RecordBufferSize(), 0);
    FScratch = FActive;
    FModified = false;
    FetchFirst();
  } catch (...) {
    CloseCursor();
    throw;
  }
}

void TDataSet::CloseCursor() {
  FHasRecord = false;
  FBof = FEof = true;
  try {
    InternalClose();
  } catch (...) {
    FFields.Clear();
    throw;
  }
  FFields.Clear();
}

void TDataSet::CheckActive() const {
  if (!Active()) DatabaseError(Tr(DataMessages::DataSetClosed), this);
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(Tr(DataMessages::DataSetOpen), this);
}

void TDataSet::CheckCanModify() const {
  if (!CanModify()) DatabaseError(Tr(DataMessages::DataSetReadOnly), this);
}

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  FModified = false;
  DataEvent(deUpdateState);
}

void TDataSet::UpdateCursorPos() {
  if (FCursorStale && FHasRecord && FState != dsInsert) {
    InternalGotoBookmark(GetBookmarkData(FActive));
    FCursorStale = false;
  }
}

bool TDataSet::Fetch(TGetMode Mode) {
  if (GetRecord(FScratch, Mode) != grOK) {
    FCursorStale = true;
    return false;
  }
  FActive.swap(FScratch);
  FHasRecord = true;
  FCursorStale = false;
  return true;
}

void TDataSet::FetchFirst() {
  InternalFirst();
  FHasRecord = Fetch(gmNext);
  FBof = true;
  FEof = !FHasRecord;
}

void TDataSet::Resync() {
  if (!FHasRecord) {
    FetchFirst();
  } else {
    InternalGotoBookmark(GetBookmarkData(FActive));
    FBof = FEof = false;
    if (!Fetch(gmCurrent) && !Fetch(gmNext)) {
      FEof = true;
      if (!Fetch(gmPrior)) {
        FHasRecord = false;
        FBof = true;
      }
    }
  }
  DataEvent(deDataSetChange);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  Resync();
}

void TDataSet::First() {
  CheckBrowseMode();
  Fire(BeforeScroll);
  FetchFirst();
  DataEvent(deDataSetChange);
  Fire(AfterScroll);
}

void TDataSet::Last() {
  CheckBrowseMode();
  Fire(BeforeScroll);
  InternalLast();
  FHasRecord = Fetch(gmPrior);
  FEof = true;
  FBof = !FHasRecord;
  DataEvent(deDataSetChange);
  Fire(AfterScroll);
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  if (!FHasRecord || Distance == 0 || (Distance > 0 && FEof) || (Distance < 0 && FBof)) return 0;
  Fire(BeforeScroll);
  FBof = FEof = false;
  UpdateCursorPos();
  int Moved = 0;
  for (; Distance > 0; --Distance, ++Moved)
    if (!Fetch(gmNext)) {
      FEof = true;
      break;
    }
  for (; Distance < 0; ++Distance, --Moved)
    if (!Fetch(gmPrior)) {
      FBof = true;
      break;
    }
  DataEvent(deDataSetScroll);
  Fire(AfterScroll);
  return Moved;
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  CheckActive();
  if (!FHasRecord) {
    Append();
    return;
  }
  CheckCanModify();
  Fire(BeforeEdit);
  UpdateCursorPos();
  InternalEdit();
  SetState(dsEdit);
  DataEvent(deRecordChange);
  Fire(AfterEdit);
}

void TDataSet::Append() {
  CheckBrowseMode();
  CheckCanModify();
  Fire(BeforeInsert);
  Fire(BeforeScroll);
  FSavedActive = FActive;
  FSavedHasRecord = FHasRecord;
  FActive.assign(RecordBufferSize(), 0);
  InternalInitRecord(FActive);
  InternalInsert();
  FHasRecord = true;
  FBof = false;
  FEof = true;
  FCursorStale = true;
  SetState(dsInsert);
  Fire(OnNewRecord);
  FModified = false;
  DataEvent(deDataSetChange);
  Fire(AfterInsert);
  Fire(AfterScroll);
}

void TDataSet::UpdateRecord() {
  if (FState != dsEdit && FState != dsInsert) DatabaseError(Tr(DataMessages::NotEditing), this);
  DataEvent(deUpdateRecord);
}

void TDataSet::Post() {
  UpdateRecord();
  DataEvent(deCheckBrowseMode);
  Fire(BeforePost);
  InternalPost();
  SetState(dsBrowse);
  FBof = FEof = false;
  Resync();
  Fire(AfterPost);
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode);
  Fire(BeforeCancel);
  const bool WasInsert = FState == dsInsert;
  InternalCancel();
  if (WasInsert) {
    FActive.swap(FSavedActive);
    FHasRecord = FSavedHasRecord;
    FCursorStale = true;
  }
  SetState(dsBrowse);
  Resync();
  Fire(AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert) {
    Cancel();
    return;
  }
  if (!FHasRecord) DatabaseError(Tr(DataMessages::DataSetEmpty), this);
  CheckCanModify();
  DataEvent(deCheckBrowseMode);
  Fire(BeforeDelete);
  Fire(BeforeScroll);
  UpdateCursorPos();
  InternalDelete();
  SetState(dsBrowse);
  Resync();
  Fire(AfterDelete);
  Fire(AfterScroll);
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode);
  if (FState != dsEdit && FState != dsInsert) return;
  UpdateRecord();
  if (FModified)
    Post();
  else
    Cancel();
}

TField* TDataSet::FieldByName(const std::string& Name) const {
  TField* Field = FindField(Name);
  if (!Field) DatabaseError(FormatMessage(DataMessages::FieldNotFound, Name.c_str()), this);
  return Field;
}

TVariant TDataSet::GetFieldValue(const TField& Field) const {
  TVariant Value;
  if (!FHasRecord || !GetFieldData(Field, FActive, Value)) return TVariant();
  return Value;
}

void TDataSet::SetFieldValue(const TField& Field, const TVariant& Value) {
  if (FState != dsEdit && FState != dsInsert) DatabaseError(Tr(DataMessages::NotEditing), this);
  if (Field.ReadOnly())
    DatabaseError(FormatMessage(DataMessages::FieldReadOnly, Field.FieldName().c_str()), this);
  SetFieldData(Field, FActive, Value);
  FModified = true;
  DataEvent(deFieldChange, const_cast<TField*>(&Field));
}

int TDataSet::RecNo() const {
  return Active() && FHasRecord ? GetRecNo(FActive) : 0;
}

TBookmark TDataSet::Bookmark() const {
  return Active() && FHasRecord && FState != dsInsert ? GetBookmarkData(FActive) : -1;
}

void TDataSet::GotoBookmark(TBookmark Value) {
  CheckBrowseMode();
  Fire(BeforeScroll);
  InternalGotoBookmark(Value);
  FBof = FEof = false;
  if (!Fetch(gmCurrent)) DatabaseError(Tr(DataMessages::RecordNotFound), this);
  DataEvent(deDataSetChange);
  Fire(AfterScroll);
}

bool TDataSet::MatchesKeys(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                           TLocateOptions Options) const {
  for (std::size_t I = 0; I < Fields.size(); ++I) {
    const TField& Field = *Fields[I];
    if (Field.DataType() != ftString && Field.DataType() != ftMemo) {
      if (!(Field.Value() == Values[I])) return false;
      continue;
    }
    const std::string Text = Field.AsString(), Key = Values[I].AsString();
    const bool CaseInsensitive = Options & loCaseInsensitive;
    const bool Partial = (Options & loPartialKey) && I + 1 == Fields.size();
    if (Partial && Key.size() < Text.size()) {
      if (!Key.empty() && !(CaseInsensitive ? StartsText(Key, Text) : Text.starts_with(Key)))
        return false;
    } else if (!(CaseInsensitive ? SameText(Text, Key) : Text == Key)) {
      return false;
    }
  }
  return true;
}

bool TDataSet::Locate(const std::string& KeyFields, const std::vector<TVariant>& KeyValues,
                      TLocateOptions Options) {
  CheckBrowseMode();
  std::vector<TField*> Fields;
  for (std::size_t Start = 0; Start <= KeyFields.size();) {
    std::size_t End = KeyFields.find(';', Start);
    if (End == std::string::npos) End = KeyFields.size();
    const std::string Name(Trim(std::string_view(KeyFields).substr(Start, End - Start), " "));
    if (!Name.empty()) Fields.push_back(FieldByName(Name));
    Start = End + 1;
  }
  if (Fields.empty() || Fields.size() != KeyValues.size()) return false;
  Fire(BeforeScroll);
  bool Found = false;
  if (LocateByCursor(Fields, KeyValues, Options, Found)) {
    FCursorStale = true;
    if (Found) Found = Fetch(gmCurrent);
  } else {
    const TRecordBuffer Saved = FActive;
    const bool SavedHasRecord = FHasRecord;
    DisableControls();
    try {
      InternalFirst();
      while (!Found && Fetch(gmNext)) Found = MatchesKeys(Fields, KeyValues, Options);
    } catch (...) {
      FActive = Saved;
      FHasRecord = SavedHasRecord;
      FCursorStale = true;
      EnableControls();
      throw;
    }
    if (!Found) {
      FActive = Saved;
      FHasRecord = SavedHasRecord;
      FCursorStale = true;
    }
    EnableControls();
  }
  if (Found) {
    FBof = FEof = false;
    DataEvent(deDataSetChange);
    Fire(AfterScroll);
  }
  return Found;
}

std::vector<TLookupItem> TDataSet::LookupList(const std::string& KeyField,
                                              const std::string& ListField) {
  CheckActive();
  const TField* Key = FieldByName(KeyField);
  const TField* List = FieldByName(ListField);
  std::vector<TLookupItem> Items;
  // Reads go to the scratch buffer so that a record being edited stays untouched; the cursor
  // goes back to the current record before its next use.
  InternalFirst();
  FCursorStale = true;
  while (GetRecord(FScratch, gmNext) == grOK) {
    TVariant K, T;
    if (!GetFieldData(*Key, FScratch, K)) K = TVariant();
    if (!GetFieldData(*List, FScratch, T)) T = TVariant();
    Items.push_back({K, T.AsString()});
  }
  return Items;
}

void TDataSet::DisableControls() {
  if (FDisableCount++ == 0) FDisableState = FState;
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0 || --FDisableCount > 0) return;
  if (FState != FDisableState) DataEvent(deUpdateState);
  DataEvent(deDataSetChange);
}

void TDataSet::DataEvent(TDataEvent Event, TField* Info) {
  // Controls must still hand over their pending values while they are disabled.
  if (FDisableCount > 0 && Event != deUpdateRecord && Event != deCheckBrowseMode) return;
  const std::vector<TDataSource*> Sources = FDataSources;
  for (TDataSource* Source : Sources) Source->DataEvent(Event, Info);
}
