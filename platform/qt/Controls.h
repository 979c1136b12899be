// Controls: components that own a QWidget. TControl carries the published properties every
// control shares (position, size, caption, colour, font, visibility, hint); TWinControl can
// hold other controls, which are placed on its widget.
//
// A control class passes its widget to the constructor and overrides CaptionChanged,
// ColorChanged or FontChanged where its widget shows those differently. Controls are owned by
// their form (the definition's root) and parented by the object they are nested in; Qt never
// deletes a control's widget, its control does.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/core/Component.h"
#include "platform/qt/Graphics.h"

class TWinControl;

class TControl : public TComponent {
 public:
  TControl(TComponent* AOwner, QWidget* AWidget);
  ~TControl() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  QWidget* Widget() const { return FWidget; }
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value);  // also clears ParentFont
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);

  // Runs OnClick under the application's exception handling.
  virtual void Click();
  TNotifyEvent OnClick;

  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* AParent) override;

 protected:
  virtual void CaptionChanged() {}
  virtual void ColorChanged();
  virtual void FontChanged();
  void Loaded() override;
  // Brings the widget's visibility in line with Visible (controls show with their parent).
  virtual void UpdateVisibility();
  void SetBoundsFields(int ALeft, int ATop, int AWidth, int AHeight);

 private:
  // Puts a graphic control beneath its windowed siblings, as the component model paints it.
  void StackAmongSiblings();
  void UpdateToolTip();

  QPointer<QWidget> FWidget;
  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  std::string FCaption;
  TColor FColor = clBtnFace;
  TFont FFont;
  bool FParentFont = true;
  bool FVisible = true;
  bool FEnabled = true;
  std::string FHint;
  bool FShowHint = false;

  friend class TWinControl;
};

class TWinControl : public TControl {
 public:
  using TControl::TControl;
  ~TWinControl() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const { return FControls.at(Index); }
  // Child controls owned by Root, in the order they were placed.
  void GetChildren(const std::function<void(TComponent*)>& Proc,
                   const TComponent* Root) const override;

 protected:
  void FontChanged() override;

 private:
  std::vector<TControl*> FControls;
  friend class TControl;
};
