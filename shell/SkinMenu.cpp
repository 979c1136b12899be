#include "shell/SkinMenu.h"

#include <QApplication>
#include <QFontInfo>
#include <QScreen>
#include <algorithm>

#include "platform/qt/Application.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/Forms.h"
#include "platform/qt/StdCtrls.h"
#include "shell/ControlPainter.h"
#include "shell/Menus.h"
#include "shell/SkinMenuItems.h"
#include "shell/SkinMenuManager.h"

namespace {

// The platform's menu font, as a component font.
TFont PlatformMenuFont() {
  const QFont Font = QApplication::font("QMenu");
  TFont Result;
  Result.Name = Font.family().toStdString();
  Result.Height = -QFontInfo(Font).pixelSize();
  Result.Color = clMenuText;
  Result.Style = (Font.bold() ? 1 << fsBold : 0) | (Font.italic() ? 1 << fsItalic : 0);
  return Result;
}

int PlatformScreenBits() {
  const QScreen* Screen = QGuiApplication::primaryScreen();
  return Screen ? Screen->depth() : 32;
}

// The XPContainers bit of the container a control sits on; -1 for containers left alone.
int ContainerBit(const TComponent& Parent) {
  if (dynamic_cast<const TForm*>(&Parent)) return xccForm;
  if (dynamic_cast<const TPanel*>(&Parent)) return xccPanel;
  if (dynamic_cast<const TGroupBox*>(&Parent)) return xccGroupBox;
  if (dynamic_cast<const TTabSheet*>(&Parent)) return xccTabSheet;
  static const std::pair<const char*, int> ByName[] = {
      {"TFrame", xccFrame},         {"TToolBar", xccToolbar},
      {"TCoolBar", xccCoolbar},     {"TControlBar", xccControlbar},
      {"TScrollBox", xccScrollBox}, {"TPageScroller", xccPageScroller}};
  for (const auto& [Name, Bit] : ByName)
    if (Parent.ClassName() == Name) return Bit;
  return -1;
}

bool Has(int Set, int Bit) {
  return Bit >= 0 && (Set >> Bit) & 1;
}

}  // namespace

TSkinMenu::TSkinMenu(TComponent* AOwner)
    : TComponent(AOwner),
      FFont(PlatformMenuFont()),
      FScreenBits(PlatformScreenBits()),
      FPoster(std::make_unique<QObject>()) {
  TSkinMenuManager::Acquire().Register(*this);
}

TSkinMenu::~TSkinMenu() {
  FActive = false;
  ReleaseControls();
  UndoMenus();
  if (TSkinMenuManager* Manager = TSkinMenuManager::Instance()) Manager->Unregister(*this);
  if (auto* Control = dynamic_cast<TControl*>(Owner()); Control && Control->Widget())
    Control->Widget()->update();
}

void TSkinMenu::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  Apply();
}

void TSkinMenu::SetDisableSubclassing(bool Value) {
  if (Value == FDisableSubclassing) return;
  FDisableSubclassing = Value;
  if (Value) ReleaseControls();
  Apply();
}

void TSkinMenu::SetFont(const TFont& Value) {
  FFont = Value;
  Refresh();
}

void TSkinMenu::SetScreenBits(int Value) {
  FScreenBits = Value;
  Refresh();
}

TSkinColours TSkinMenu::Colours() const {
  return TSkinColours::From(FOptions, FFont.Color, FScreenBits > 15);
}

void TSkinMenu::Loaded() {
  TComponent::Loaded();
  Apply();
}

// On: paints the owner form's menus and controls. Off: takes the look off the menus; the
// controls drop theirs at their next event, which the repaint asked for here brings.
void TSkinMenu::Apply() {
  if (Loading() || Designing()) return;
  if (FActive) {
    if (Owner()) HandleComponents(*Owner());
  } else {
    UndoMenus();
    for (const auto& Control : FControls)
      if (Control) Control->Invalidate();
  }
  if (TSkinMenuManager* Manager = TSkinMenuManager::Instance()) Manager->MenuChanged(*this);
}

void TSkinMenu::Reapply() {
  ReleaseControls();
  UndoMenus();
  Apply();
}

// New colours or a new font: the menus measure and paint again, the controls paint again.
void TSkinMenu::Refresh() {
  for (TPopupMenu* Menu : FMenus) Menu->Refresh();
  for (const auto& Control : FControls)
    if (Control) Control->Invalidate();
}

void TSkinMenu::HandleComponents(TComponent& Root) {
  if (!FActive) return;
  for (int I = 0; I < Root.ComponentCount(); ++I) {
    TComponent* C = Root.Components(I);
    if (auto* Menu = dynamic_cast<TPopupMenu*>(C)) {
      if (Has(FOptions.XPControls, xcPopupMenu) && Menu->Tag() != 999) HandleMenu(*Menu);
    } else if (auto* Control = dynamic_cast<TControl*>(C); Control && !FDisableSubclassing) {
      HandleControl(*Control);
    }
  }
}

void TSkinMenu::HandleMenu(TPopupMenu& Menu) {
  for (int I = 0; I < Menu.Count(); ++I) HandleItem(*Menu.Items(I));
  if (std::find(FMenus.begin(), FMenus.end(), &Menu) == FMenus.end()) {
    FMenus.push_back(&Menu);
    FreeNotification(&Menu);
  }
  Menu.SetOwnerDraw(true);
}

// Items tagged 999 keep the platform's look; items with handlers of their own keep them unless
// OverrideOwnerDraw.
void TSkinMenu::HandleItem(TMenuItem& Item) {
  for (int I = 0; I < Item.Count(); ++I) HandleItem(*Item.Items(I));
  if (Item.Tag() == 999 || Paints(Item)) return;
  if ((Item.OnMeasureItem || Item.OnDrawItem) && !FOptions.OverrideOwnerDraw) return;
  Item.OnMeasureItem = [this](TComponent* Sender, int& W, int& H) { MeasureItem(Sender, W, H); };
  Item.OnDrawItem = [this](TComponent* Sender, QPainter& P, const QRect& R, bool Selected) {
    DrawItem(Sender, P, R, Selected);
  };
  FItems.push_back(&Item);
  FreeNotification(&Item);
}

void TSkinMenu::HandleControl(TControl& Control) {
  const std::optional<TFlatTarget> Target = FlatTargetOf(Control);
  const TWinControl* Parent = Control.Parent();
  if (!Target || !Parent || !Control.Widget()) return;
  if (!Has(FOptions.XPControls, Target->ControlBit) ||
      !Has(FOptions.XPContainers, ContainerBit(*Parent)))
    return;
  if (Control.Tag() == 999 || Parent->Tag() == 999 || TControlSubClass::Of(Control.Widget()))
    return;
  std::erase_if(FControls, [](const auto& C) { return !C; });
  FControls.emplace_back(new TControlSubClass(Control, Target->Kind, *this));
}

void TSkinMenu::UndoMenus() {
  for (TMenuItem* Item : FItems) {
    Item->OnMeasureItem = TMenuMeasureItemEvent();
    Item->OnDrawItem = TMenuDrawItemEvent();
    RemoveFreeNotification(Item);
  }
  FItems.clear();
  for (TPopupMenu* Menu : FMenus) {
    Menu->SetOwnerDraw(false);
    RemoveFreeNotification(Menu);
  }
  FMenus.clear();
}

void TSkinMenu::ReleaseControls() {
  for (const auto& Control : FControls)
    if (Control) Control->Release();
  FControls.clear();
}

bool TSkinMenu::Paints(const TMenuItem& Item) const {
  return std::find(FItems.begin(), FItems.end(), &Item) != FItems.end();
}

int TSkinMenu::ControlCount() const {
  return static_cast<int>(
      std::count_if(FControls.begin(), FControls.end(), [](const auto& C) { return C; }));
}

void TSkinMenu::MeasureItem(TComponent* Sender, int& Width, int& Height) const {
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  if (!FActive || !Item) return;
  const QSize Size =
      MeasureSkinItem(*Item, {FOptions, Colours(), MenuFont(), FScreenBits > 15}, {Width, Height});
  Width = Size.width();
  Height = Size.height();
}

void TSkinMenu::DrawItem(TComponent* Sender, QPainter& Canvas, const QRect& Rect,
                         bool Selected) const {
  auto* Item = dynamic_cast<TMenuItem*>(Sender);
  if (!FActive || !Item) return;
  DrawSkinItem(Canvas, *Item, Rect, Selected, {FOptions, Colours(), MenuFont(), FScreenBits > 15});
}

// Hears of what goes into the application (forms to paint) and, with AutoDetect, into its own
// form (menu items added at run time).
void TSkinMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opInsert) {
    if (Application && AComponent->Owner() == Application) {
      if (TSkinMenuManager* Manager = TSkinMenuManager::Instance()) Manager->Queue(AComponent);
    } else if (AComponent->Owner() == Owner() && FActive && FOptions.AutoDetect) {
      DetectLater();
    }
    return;
  }
  std::erase(FItems, AComponent);
  std::erase(FMenus, AComponent);
}

// The inserted item is still being built; it is handled as soon as the event loop turns.
void TSkinMenu::DetectLater() {
  if (FDetectPending) return;
  FDetectPending = true;
  QMetaObject::invokeMethod(
      FPoster.get(),
      [this] {
        FDetectPending = false;
        if (!FActive || !Owner()) return;
        for (int I = 0; I < Owner()->ComponentCount(); ++I)
          if (auto* Menu = dynamic_cast<TPopupMenu*>(Owner()->Components(I)))
            if (Has(FOptions.XPControls, xcPopupMenu) && Menu->Tag() != 999) HandleMenu(*Menu);
      },
      Qt::QueuedConnection);
}
