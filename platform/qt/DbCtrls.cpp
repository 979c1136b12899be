#include "platform/qt/DbCtrls.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

#include "platform/data/DatabaseError.h"
#include "platform/qt/Application.h"
#include "platform/qt/DropDown.h"

// ---- TDBEdit

namespace {

// Hands the text to the field when the box loses the focus.
class TFocusWatcher : public QObject {
 public:
  explicit TFocusWatcher(TFieldDataLink& Link) : FLink(Link) {}
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::FocusOut && FLink.IsModified())
      DispatchEvent([this] { FLink.UpdateRecord(); });
    return false;
  }

 private:
  TFieldDataLink& FLink;
};

}  // namespace

TDBEdit::TDBEdit(TComponent* AOwner) : TEdit(AOwner) {
  FFocusWatcher = std::make_unique<TFocusWatcher>(FLink);
  LineEdit()->installEventFilter(FFocusWatcher.get());
  FLink.OnDataChange = [this] { ShowField(); };
  FLink.OnActiveChange = [this] { ShowField(); };
  FLink.OnUpdateData = [this] {
    if (Field()) Field()->SetAsString(Text());
  };
  QObject::connect(LineEdit(), &QLineEdit::textEdited, [this] {
    DispatchEvent([this] {
      // The first keystroke asks for edit state; entering it re-reads the record, which must
      // not overwrite what was just typed. A dataset that refuses keeps its value.
      FTyping = true;
      const bool Editing = FLink.Edit();
      FTyping = false;
      if (!Editing) {
        ShowField();
        return;
      }
      FLink.Modified();
    });
  });
}

TDBEdit::~TDBEdit() {
  FLink.SetDataSource(nullptr);
}

void TDBEdit::SetDataSource(TDataSource* Value) {
  if (DataSource()) RemoveFreeNotification(DataSource());
  FLink.SetDataSource(Value);
  if (Value) FreeNotification(Value);
  ShowField();
}

void TDBEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == DataSource()) FLink.SetDataSource(nullptr);
}

void TDBEdit::ShowField() {
  if (FTyping) return;
  const QString Text =
      FLink.Active() && Field() ? QString::fromStdString(Field()->AsString()) : QString();
  const QSignalBlocker Block(LineEdit());
  LineEdit()->setText(Text);
}

// ---- TDBLookupComboBox

TDBLookupComboBox::TDBLookupComboBox(TComponent* AOwner)
    : TWinControl(AOwner, new TDropDownWidget) {
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
  auto* List = static_cast<TDropDownWidget*>(Widget());
  List->OnChoose = [this](int Index) { Choose(Index); };
  List->OnCloseUp = [this] { ListClosed(); };
  FLink.OnActiveChange = [this] { Reload(); };
  FLink.OnDataSetChange = [this] { Reload(); };
}

TDBLookupComboBox::~TDBLookupComboBox() {
  FLink.SetDataSource(nullptr);
}

void TDBLookupComboBox::SetListSource(TDataSource* Value) {
  if (ListSource()) RemoveFreeNotification(ListSource());
  FLink.SetDataSource(Value);
  if (Value) FreeNotification(Value);
  Reload();
}

void TDBLookupComboBox::SetKeyField(const std::string& Value) {
  FKeyField = Value;
  Reload();
}

void TDBLookupComboBox::SetListField(const std::string& Value) {
  FListField = Value;
  Reload();
}

void TDBLookupComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == ListSource()) {
    FLink.SetDataSource(nullptr);
    Reload();
  }
}

void TDBLookupComboBox::Reload() {
  auto* Combo = static_cast<QComboBox*>(Widget());
  const QSignalBlocker Block(Combo);
  Combo->clear();
  FItems.clear();
  TDataSet* DataSet = FLink.DataSet();
  if (!DataSet || !DataSet->Active() || FKeyField.empty() || FListField.empty()) return;
  try {
    FItems = DataSet->LookupList(FKeyField, FListField);
  } catch (const EDatabaseError&) {
    // Unknown field names list nothing; a table that cannot be read (another program holds a
    // lock on it) goes on to the error box rather than leaving the list silently empty.
    FItems.clear();
  }
  for (const auto& Item : FItems) Combo->addItem(QString::fromStdString(Item.Text));
  ShowCurrent();
}

void TDBLookupComboBox::ShowCurrent() {
  auto* Combo = static_cast<QComboBox*>(Widget());
  const QSignalBlocker Block(Combo);
  TDataSet* DataSet = FLink.DataSet();
  // Filled for the first time: the current record's entry is the one shown.
  if (!FChosen && DataSet && DataSet->Active() && !DataSet->IsEmpty())
    if (TField* Key = DataSet->FindField(FKeyField)) {
      FKeyValue = Key->Value();
      FChosen = true;
    }
  int Index = -1;
  for (int I = 0; FChosen && I < static_cast<int>(FItems.size()); ++I)
    if (FItems[I].Key == FKeyValue) {
      Index = I;
      break;
    }
  Combo->setCurrentIndex(Index);
}

void TDBLookupComboBox::Choose(int Index) {
  TDataSet* DataSet = FLink.DataSet();
  if (!DataSet || Index < 0 || Index >= static_cast<int>(FItems.size())) return;
  FKeyValue = FItems[Index].Key;
  FChosen = true;
  DispatchEvent([&] { DataSet->Locate(FKeyField, FItems[Index].Key, 0); });
  ShowCurrent();
}

int TDBLookupComboBox::ItemCount() const {
  return static_cast<int>(FItems.size());
}
std::string TDBLookupComboBox::ItemText(int Index) const {
  return FItems.at(Index).Text;
}
const TVariant& TDBLookupComboBox::ItemKey(int Index) const {
  return FItems.at(Index).Key;
}
int TDBLookupComboBox::ItemIndex() const {
  return static_cast<QComboBox*>(Widget())->currentIndex();
}

void TDBLookupComboBox::ListClosed() {
  // Closed without a choice, the entry shown is the one chosen again: the list's cursor may have
  // moved on since, and what follows the close-up reads the current record.
  TDataSet* DataSet = FLink.DataSet();
  if (FChosen && DataSet && DataSet->Active())
    DispatchEvent([&] { DataSet->Locate(FKeyField, FKeyValue, 0); });
  if (OnCloseUp) DispatchEvent([this] { OnCloseUp(this); });
}
