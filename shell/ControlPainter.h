// The flat look of standard controls. A TControlSubClass watches one control's widget the way a
// wrapped window procedure would: it lets the widget paint itself, paints the flat frame, button
// or box over it, and tracks the hot (mouse over or focused) and pressed states that colour it.
// It lives as a child of the widget, so it goes with it; releasing it gives the control its own
// look back.
#pragma once

#include <QObject>
#include <QPointer>
#include <optional>

class QPainter;
class QWidget;
class TControl;
class TSkinMenu;

enum class TFlatKind { Combo, LookupCombo, Edit, Memo, CheckBox, SpeedButton, Panel, GroupBox };

// The painter a control gets and the XPControls bit that enables it; none for kinds left alone.
struct TFlatTarget {
  TFlatKind Kind;
  int ControlBit;
};
std::optional<TFlatTarget> FlatTargetOf(const TControl& Control);

class TControlSubClass : public QObject {
 public:
  // Flattens the control's frame and starts painting it; Menu gives the colours.
  TControlSubClass(TControl& Control, TFlatKind Kind, TSkinMenu& Menu);
  // The wrapper watching Widget, if any.
  static TControlSubClass* Of(const QWidget* Widget);

  // Puts the control's frame back and stops painting it; the wrapper deletes itself.
  void Release();
  // Asks the control to paint again.
  void Invalidate();
  TFlatKind Kind() const { return FKind; }
  bool Hot() const { return FHot; }
  bool Pressed() const { return FPressed || FKeyPressed; }

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void SaveAndFlatten();
  void Restore();
  bool PaintEvent(QEvent* Event);
  void Paint(QPainter& P);
  void SetHot(bool Value);

  TControl& FControl;
  QPointer<QWidget> FWidget;
  TFlatKind FKind;
  TSkinMenu& FMenu;
  QMetaObject::Connection FCheckWatch;
  bool FHot = false, FPressed = false, FKeyPressed = false;
  bool FSavedFrame = true;  // edits and combo boxes: the frame; memos: a frame line
  int FSavedFrameStyle = 0, FSavedLineWidth = 0;
};
