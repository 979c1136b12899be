// The effect label: a caption drawn by the text painter (embossed, outlined, shadowed), sized
// to its text. Presses on a label without click handlers go to the window underneath, so the
// shaped window can be dragged by its labels.
#pragma once

#include <functional>
#include <memory>

#include "platform/qt/Controls.h"
#include "shell/CaptionText.h"
#include "shell/ShellTypes.h"

class TskLabel : public TControl {
 public:
  explicit TskLabel(TComponent* AOwner);
  ~TskLabel() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // An aligned label keeps to its parent's edge (alTop...) or fills it (alClient), following
  // the parent's size.
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  // Alt with the caption's accelerator focuses FocusControl (with toShowAccel, while enabled).
  TControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TControl* Value) { SetReference(FFocusControl, Value); }
  const TskCaptionText& TextOptions() const { return FTextOptions; }
  void EditTextOptions(const std::function<void(TskCaptionText&)>& Edit);
  void SetParent(TWinControl* AParent) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // A label that shows a changing state (the run status): screen readers get it as a status bar,
  // named by its caption and its Hint (the reason behind it), and hear each change.
  bool Status() const { return FStatus; }
  void SetStatus(bool Value);
  // Presses reach the label (instead of the window underneath) only with a handler.
  bool Clickable() const { return static_cast<bool>(OnClick) || static_cast<bool>(OnMouseDown); }

  TNotifyEvent OnDblClick, OnMouseEnter, OnMouseLeave;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;

 protected:
  void CaptionChanged() override;
  void FontChanged() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  class TLabelWidget;
  class TParentWatch;
  void AdjustSize();
  void ApplyAlign();
  void UpdateAccelerator();

  bool FAutoSize = true;
  bool FTransparent = false;
  bool FStatus = false;
  TAlign FAlign = alNone;
  TControl* FFocusControl = nullptr;
  TskCaptionText FTextOptions;
  bool FAligning = false;
  std::unique_ptr<TParentWatch> FParentWatch;
  QObject* FAccelerator = nullptr;
};
