// The small caption-bar style button (close, minimise, drop-down arrow...): a 15 x 15 button
// drawn from a tiny glyph in its colour, with a raised frame while the mouse is over it and a
// sunken one while pressed (OfficeXP: a filled box). A click or Tab focuses it, a frame in the
// glyph's colour shows the focus, and Space or Enter presses it.
#pragma once

#include <QImage>

#include "platform/qt/Controls.h"
#include "shell/StyleManager.h"

enum TskToolType { ttArrowLeft, ttArrowRight, ttClose, ttMaximize, ttMinimize, ttPopup, ttRestore };
enum TskDrawState { dsInitial = 1, dsHot = 2, dsPressed = 4, dsFocused = 8 };

class TskToolButton : public TWinControl {
 public:
  explicit TskToolButton(TComponent* AOwner);
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TskToolType ToolType() const { return FToolType; }
  void SetToolType(TskToolType Value);
  TskTheme Theme() const { return FTheme; }
  void SetTheme(TskTheme Value);
  bool UseStyleManager() const { return FUseStyleManager; }
  void SetUseStyleManager(bool Value);
  TskStyleManager* StyleManager() const { return FStyleManager; }
  void SetStyleManager(TskStyleManager* Value);
  // The style manager's theme when UseStyleManager is on and there is one, else Theme.
  TskTheme EffectiveTheme() const;
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  int DrawState() const { return FDrawState; }

  // The glyph of a tool type: black shapes on silver.
  static QImage GlyphOf(TskToolType Type);
  // The button as painted in its current state.
  QImage Render() const;
  // Sets the form's modal result (0 leaves it) and fires OnClick.
  void Click() override;
  // Keeps the button 15 x 15 whatever size is asked for.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  TNotifyEvent OnMouseEnter, OnMouseLeave;

 protected:
  void ColorChanged() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  class TToolWidget;
  void SetState(int Add, int Remove);

  TskToolType FToolType = ttClose;
  TskTheme FTheme = WindowsXP;
  bool FUseStyleManager = true;
  TskStyleManager* FStyleManager = nullptr;
  int FModalResult = 0;
  int FDrawState = dsInitial;
};
