#include "platform/data/DataSource.h"

#include <algorithm>

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
  while (!FLinks.empty()) FLinks.back()->SetDataSource(nullptr);
}

const TClassInfo& TDataSource::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TDataSource>("TDataSource", TComponent::StaticClassInfo())
          .Bool("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit, true)
          .Ref("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet)
          .Bool("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled, true)
          .Event("OnStateChange", &TDataSource::OnStateChange)
          .Event("OnDataChange", &TDataSource::OnDataChange)
          .Event("OnUpdateData", &TDataSource::OnUpdateData)
          .Build();
  return Info;
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet) std::erase(FDataSet->FDataSources, this);
  FDataSet = Value;
  if (FDataSet) FDataSet->FDataSources.push_back(this);
  NotifyState();
}

void TDataSource::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  NotifyState();
}

void TDataSource::Edit() {
  if (FAutoEdit && FDataSet && FState == dsBrowse) FDataSet->Edit();
}

void TDataSource::NotifyState() {
  const TDataSetState Now = FDataSet && FEnabled ? FDataSet->State() : dsInactive;
  if (Now == FState) return;
  const bool WasActive = FState != dsInactive;
  FState = Now;
  for (TDataLink* Link : std::vector<TDataLink*>(FLinks)) Link->UpdateState();
  if (OnStateChange) OnStateChange(this);
  if (!WasActive && FState != dsInactive && OnDataChange) OnDataChange(this, nullptr);
}

void TDataSource::DataEvent(TDataEvent Event, TField* Info) {
  if (Event == deUpdateState) {
    NotifyState();
    return;
  }
  if (FState == dsInactive) return;
  for (TDataLink* Link : std::vector<TDataLink*>(FLinks)) Link->DataEvent(Event, Info);
  if (Event == deUpdateRecord && OnUpdateData) OnUpdateData(this);
  if ((Event == deFieldChange || Event == deRecordChange || Event == deDataSetChange ||
       Event == deDataSetScroll) &&
      OnDataChange)
    OnDataChange(this, Event == deFieldChange ? Info : nullptr);
}

TDataLink::~TDataLink() {
  if (FDataSource) std::erase(FDataSource->FLinks, this);
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource) std::erase(FDataSource->FLinks, this);
  FDataSource = Value;
  if (FDataSource) FDataSource->FLinks.push_back(this);
  UpdateState();
}

void TDataLink::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  UpdateState();
}

void TDataLink::UpdateState() {
  const TDataSetState State = FDataSource ? FDataSource->State() : dsInactive;
  const bool NowActive = State != dsInactive;
  if (NowActive != FActive) {
    FActive = NowActive;
    ActiveChanged();
  }
  const bool NowEditing = !FReadOnly && (State == dsEdit || State == dsInsert);
  if (NowEditing != FEditing) {
    FEditing = NowEditing;
    EditingChanged();
  }
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent Event, TField* Info) {
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      // A change this link is handing over itself needs no echo.
      if (!FUpdating) RecordChanged(Event == deFieldChange ? Info : nullptr);
      break;
    case deDataSetChange:
    case deDataSetScroll:
      DataSetChanged();
      break;
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
    case deUpdateState:
      break;
  }
}

void TFieldDataLink::SetFieldName(const std::string& Value) {
  FFieldName = Value;
  UpdateField();
}

bool TFieldDataLink::CanModify() const {
  return !ReadOnly() && FField && !FField->ReadOnly() && DataSet() && DataSet()->CanModify();
}

void TFieldDataLink::Reset() {
  FModified = false;
  Call(OnDataChange);
}

void TFieldDataLink::UpdateField() {
  FField = Active() && !FFieldName.empty() ? DataSet()->FindField(FFieldName) : nullptr;
  Reset();
}

void TFieldDataLink::ActiveChanged() {
  UpdateField();
  TDataLink::ActiveChanged();
}

void TFieldDataLink::DataSetChanged() {
  Reset();
  TDataLink::DataSetChanged();
}

void TFieldDataLink::RecordChanged(TField* Field) {
  if (Field == nullptr || Field == FField) Reset();
  TDataLink::RecordChanged(Field);
}

void TFieldDataLink::UpdateData() {
  if (!FModified) return;
  if (FField) TDataLink::UpdateData();
  FModified = false;
}

void RegisterDataClasses() {
  RegisterClass(TDataSource::StaticClassInfo());
}
