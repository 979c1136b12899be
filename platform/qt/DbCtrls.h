// Data-aware controls: the bound edit box and the lookup drop-down list.
#pragma once

#include <QObject>
#include <memory>

#include "platform/data/DataSource.h"
#include "platform/qt/StdCtrls.h"

// Shows one field of the current record. Typing puts the dataset into edit state; the field
// takes the text when the box is left or the record is saved.
class TDBEdit : public TEdit {
 public:
  explicit TDBEdit(TComponent* AOwner);
  ~TDBEdit() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TDataSource* DataSource() const { return FLink.DataSource(); }
  void SetDataSource(TDataSource* Value);
  const std::string& DataField() const { return FLink.FieldName(); }
  void SetDataField(const std::string& Value) { FLink.SetFieldName(Value); }
  TField* Field() const { return FLink.Field(); }

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void ShowField();
  TFieldDataLink FLink;
  // Declared after FLink, which it uses, so that it goes first.
  std::unique_ptr<QObject> FFocusWatcher;
  bool FTyping = false;
};

// Lists ListField of every record of ListSource's dataset, keyed by KeyField. Choosing an entry
// makes its record current; OnCloseUp fires whenever the list closes, chosen or not, after the
// chosen record has become current.
class TDBLookupComboBox : public TWinControl {
 public:
  explicit TDBLookupComboBox(TComponent* AOwner);
  ~TDBLookupComboBox() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  TDataSource* ListSource() const { return FLink.DataSource(); }
  void SetListSource(TDataSource* Value);
  const std::string& KeyField() const { return FKeyField; }
  void SetKeyField(const std::string& Value);
  const std::string& ListField() const { return FListField; }
  void SetListField(const std::string& Value);
  // The listed entries and the one shown (-1 none).
  int ItemCount() const;
  std::string ItemText(int Index) const;
  const TVariant& ItemKey(int Index) const;
  int ItemIndex() const;
  // Shows that entry and makes its record current, as the user's choice from the list does.
  void Choose(int Index);
  // The key of the entry shown: the one last chosen, or the current record's when the list was
  // first filled. It follows only choices, not the list's cursor, so the box keeps showing what
  // was chosen while the records are stepped through or the table is closed and reopened.
  const TVariant& KeyValue() const { return FKeyValue; }
  TNotifyEvent OnCloseUp;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void Reload();
  void ShowCurrent();
  void ListClosed();
  TDataLink FLink;
  std::string FKeyField, FListField;
  std::vector<TLookupItem> FItems;
  TVariant FKeyValue;
  bool FChosen = false;  // FKeyValue holds a key
};
