// Data sources and data links: how data-aware controls follow a dataset. A control owns a
// TFieldDataLink (or TDataLink) pointed at a TDataSource, which relays the dataset's events.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/data/DataSet.h"

class TDataLink;

class TDataSource : public TComponent {
 public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  // A disabled source tells its links the dataset is inactive.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Typing into a control puts a browsing dataset into edit state.
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  TDataSetState State() const { return FState; }
  // Puts the dataset into edit state when AutoEdit allows and it is browsing.
  void Edit();

  TNotifyEvent OnStateChange;
  TEvent<void(TComponent* Sender, TField* Field)> OnDataChange;
  TNotifyEvent OnUpdateData;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, TField* Info);
  void NotifyState();

  TDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  bool FAutoEdit = true;
  TDataSetState FState = dsInactive;
  std::vector<TDataLink*> FLinks;
};

class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Asks for edit state through the source; answers whether the dataset is now editing.
  bool Edit();
  // Hands the control's pending value to the dataset now (a control losing focus).
  void UpdateRecord();

  std::function<void()> OnActiveChange;               // opened or closed (see Active())
  std::function<void()> OnDataSetChange;              // reload everything (scroll, refresh, open)
  std::function<void(TField* Field)> OnRecordChange;  // Field set, or nullptr: whole record
  std::function<void()> OnEditingChange;              // see Editing()
  std::function<void()> OnUpdateData;                 // write pending values into the fields

 protected:
  virtual void ActiveChanged() { Call(OnActiveChange); }
  virtual void DataSetChanged() { Call(OnDataSetChange); }
  virtual void RecordChanged(TField* Field) {
    if (OnRecordChange) OnRecordChange(Field);
  }
  virtual void EditingChanged() { Call(OnEditingChange); }
  virtual void UpdateData() { Call(OnUpdateData); }
  static void Call(const std::function<void()>& F) {
    if (F) F();
  }

 private:
  friend class TDataSource;
  void DataEvent(TDataEvent Event, TField* Info);
  void UpdateState();

  TDataSource* FDataSource = nullptr;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
};

// A link bound to one field by name, the way a bound edit box uses it.
class TFieldDataLink : public TDataLink {
 public:
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);
  TField* Field() const { return FField; }
  bool CanModify() const;
  // The control's text differs from the field: it will be handed over at update time.
  void Modified() { FModified = true; }
  bool IsModified() const { return FModified; }
  // Drops the control's pending change and shows the field again.
  void Reset();

  std::function<void()> OnDataChange;  // show the field's value again

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  void UpdateField();

  std::string FFieldName;
  TField* FField = nullptr;
  bool FModified = false;
};

// Registers the dataset layer's component classes for stored definitions.
void RegisterDataClasses();
