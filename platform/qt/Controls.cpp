#include "platform/qt/Controls.h"

#include <algorithm>

#include "platform/qt/Application.h"

// ---- TControl

const TClassInfo& TControl::StaticClassInfo() {
  auto FontProp = [](auto Member) {
    return [Member](TControl& C, auto Value) {
      TFont F = C.Font();
      F.*Member = Value;
      C.SetFont(F);
    };
  };
  static const TClassInfo Info =
      TClassBuilder<TControl>("TControl", TComponent::StaticClassInfo())
          .Int("Left", &TControl::Left, &TControl::SetLeft)
          .AlwaysStored()
          .Int("Top", &TControl::Top, &TControl::SetTop)
          .AlwaysStored()
          .Int("Width", &TControl::Width, &TControl::SetWidth)
          .AlwaysStored()
          .Int("Height", &TControl::Height, &TControl::SetHeight)
          .AlwaysStored()
          .String("Caption", &TControl::Caption, &TControl::SetCaption)
          .Colour("Color", &TControl::Color, &TControl::SetColor, clBtnFace)
          .String(
              "Font.Name", [](const TControl& C) { return C.Font().Name; },
              [F = FontProp(&TFont::Name)](TControl& C, const std::string& V) { F(C, V); },
              TFont().Name)
          .StoredWhen([](const TControl& C) { return !C.ParentFont(); })
          .AlwaysStored()
          .Int(
              "Font.Height", [](const TControl& C) { return C.Font().Height; },
              [F = FontProp(&TFont::Height)](TControl& C, int V) { F(C, V); }, TFont().Height)
          .StoredWhen([](const TControl& C) { return !C.ParentFont(); })
          .AlwaysStored()
          .Colour(
              "Font.Color", [](const TControl& C) { return C.Font().Color; },
              [F = FontProp(&TFont::Color)](TControl& C, TColor V) { F(C, V); }, TFont().Color)
          .StoredWhen([](const TControl& C) { return !C.ParentFont(); })
          .AlwaysStored()
          .Set(
              "Font.Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"},
              [](const TControl& C) { return C.Font().Style; },
              [F = FontProp(&TFont::Style)](TControl& C, int V) { F(C, V); })
          .StoredWhen([](const TControl& C) { return !C.ParentFont(); })
          .AlwaysStored()
          .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
          .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
          .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
          .String("Hint", &TControl::Hint, &TControl::SetHint)
          .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
          .Build();
  return Info;
}

TControl::TControl(TComponent* AOwner, QWidget* AWidget) : TComponent(AOwner), FWidget(AWidget) {
  FWidget->setFont(FontToQFont(FFont));
}

// The widget is deleted where it stands. Taking it out of its parent first would hide it, and
// hiding a widget under the mouse sends it a leave event, which its handlers would pass to a
// control whose derived part is already gone.
TControl::~TControl() {
  if (FParent) std::erase(FParent->FControls, this);
  delete FWidget.data();
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  for (TWinControl* P = AParent; P; P = P->Parent())
    if (P == this) throw EComponentError("A control cannot be placed inside itself");
  if (FParent) std::erase(FParent->FControls, this);
  FParent = AParent;
  if (FParent) FParent->FControls.push_back(this);
  if (FWidget) {
    FWidget->setParent(FParent ? FParent->Widget() : nullptr);
    FWidget->move(FLeft, FTop);
    if (FParent) StackAmongSiblings();
  }
  if (FParent && FParentFont) {
    FFont = FParent->Font();
    FontChanged();
  }
  UpdateVisibility();
}

void TControl::StackAmongSiblings() {
  // A widget placed in a parent lands on top of its siblings. That is where a windowed control
  // belongs; a graphic one (a label, a bevel, a picture) is painted beneath every windowed
  // sibling, above the graphic ones placed before it.
  if (dynamic_cast<TWinControl*>(this)) return;
  QWidget* Lowest = nullptr;
  const QObjectList& Order = FParent->Widget()->children();  // bottom to top
  for (TControl* Sibling : FParent->FControls)
    if (Sibling != this && Sibling->FWidget && dynamic_cast<TWinControl*>(Sibling) &&
        (!Lowest || Order.indexOf(Sibling->FWidget.data()) < Order.indexOf(Lowest)))
      Lowest = Sibling->FWidget.data();
  if (Lowest) FWidget->stackUnder(Lowest);
}

void TControl::SetBoundsFields(int ALeft, int ATop, int AWidth, int AHeight) {
  FLeft = ALeft;
  FTop = ATop;
  FWidth = std::max(0, AWidth);
  FHeight = std::max(0, AHeight);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  SetBoundsFields(ALeft, ATop, AWidth, AHeight);
  if (!FWidget) return;
  FWidget->move(FLeft, FTop);
  FWidget->resize(FWidth, FHeight);
}

void TControl::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  CaptionChanged();
}

void TControl::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  ColorChanged();
}

void TControl::ColorChanged() {
  if (!FWidget) return;
  QPalette Palette = FWidget->palette();
  const QColor Background = ColorToQColor(FColor);
  Palette.setColor(QPalette::Window, Background);
  Palette.setColor(QPalette::Button, Background);
  Palette.setColor(QPalette::Base, Background);
  FWidget->setPalette(Palette);
  FWidget->setAutoFillBackground(FColor != clNone);
}

void TControl::SetFont(const TFont& Value) {
  FParentFont = false;
  if (Value == FFont) return;
  FFont = Value;
  FontChanged();
}

void TControl::SetParentFont(bool Value) {
  FParentFont = Value;
  if (Value && FParent && !(FFont == FParent->Font())) {
    FFont = FParent->Font();
    FontChanged();
  }
}

void TControl::FontChanged() {
  if (!FWidget) return;
  FWidget->setFont(FontToQFont(FFont));
  QPalette Palette = FWidget->palette();
  const QColor Text = ColorToQColor(FFont.Color);
  Palette.setColor(QPalette::WindowText, Text);
  Palette.setColor(QPalette::ButtonText, Text);
  Palette.setColor(QPalette::Text, Text);
  FWidget->setPalette(Palette);
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  UpdateVisibility();
}

void TControl::UpdateVisibility() {
  if (FWidget && FParent && !Loading()) FWidget->setVisible(FVisible);
}

void TControl::SetEnabled(bool Value) {
  FEnabled = Value;
  if (FWidget) FWidget->setEnabled(Value);
}

void TControl::SetHint(const std::string& Value) {
  FHint = Value;
  UpdateToolTip();
}

void TControl::SetShowHint(bool Value) {
  FShowHint = Value;
  UpdateToolTip();
}

void TControl::UpdateToolTip() {
  if (FWidget) FWidget->setToolTip(FShowHint ? QString::fromStdString(FHint) : QString());
}

void TControl::Click() {
  if (OnClick) DispatchEvent([this] { OnClick(this); });
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateVisibility();
}

TComponent* TControl::GetParentComponent() const {
  return FParent;
}

void TControl::SetParentComponent(TComponent* AParent) {
  auto* Container = dynamic_cast<TWinControl*>(AParent);
  if (AParent && !Container)
    throw EComponentError(AParent->Name() + " of class " + AParent->ClassName() +
                          " cannot hold controls");
  SetParent(Container);
}

// ---- TWinControl

const TClassInfo& TWinControl::StaticClassInfo() {
  static const TClassInfo Info =
      TClassBuilder<TWinControl>("TWinControl", TControl::StaticClassInfo()).Build();
  return Info;
}

TWinControl::~TWinControl() {
  // Children keep their widgets: each is deleted by its own control.
  while (!FControls.empty()) FControls.back()->SetParent(nullptr);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& Proc,
                              const TComponent* Root) const {
  for (TControl* C : FControls)
    if (C->Owner() == Root) Proc(C);
}

void TWinControl::FontChanged() {
  TControl::FontChanged();
  for (TControl* C : FControls)
    if (C->ParentFont() && !(C->Font() == Font())) {
      C->FFont = Font();
      C->FontChanged();
    }
}
