// The menu painter: while Active, draws the pop-up menus of its form in a flat light look (an
// icon column that fades into the item background, a framed selection bar) worked out from its
// colour settings.
#pragma once

#include <QColor>
#include <QString>
#include <memory>

#include "platform/core/Component.h"
#include "platform/qt/Graphics.h"

class QMenu;
class TPopupMenu;

// The colours menus are drawn in, worked out from the settings.
struct TMenuColours {
  QColor Background, IconColumn, SelectFill, SelectBorder, SelectText, Text, Disabled, Separator,
      CheckFrame, CheckFill, CheckFillSelected;
};

class TSkinMenu : public TComponent {
 public:
  explicit TSkinMenu(TComponent* AOwner);
  ~TSkinMenu() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  const TFont& Font() const { return FFont; }
  void SetFont(const TFont& Value);

  // Colour settings, in the order they are published.
  TColor Color = clBtnFace, IconBackColor = clBtnFace, MenuBarColor = clBtnFace,
         SelectColor = clHighlight, SelectBorderColor = clHighlight, SelectFontColor = clMenuText,
         DisabledColor = clInactiveCaption, SeparatorColor = clBtnFace, CheckedColor = clHighlight;
  int IconWidth = 24, DimLevel = 30, GrayLevel = 10;
  bool DrawSelect = true, UseSystemColors = true, UseDimColor = false, OverrideOwnerDraw = false,
       Gradient = false, FlatMenu = false, DrawMenuBar = false, AutoDetect = false,
       DisableSubclassing = false;
  int XPContainers = 0x3FF, XPControls = 0x7FFFFF;

  // Lightens each component towards white by Percent (at most 100).
  static QColor Lighten(QColor Colour, int Percent);
  TMenuColours Colours() const;
  // The style sheet given to the menus: item sizes, and the look where they are not drawn here.
  QString StyleSheet() const;
  // Draws a menu's items (background, selection, check marks, separators, captions).
  void PaintMenu(QMenu& Menu) const;
  // Applies the look to the pop-up menus of the owner form (or removes it when not Active).
  void Apply();

 protected:
  void Loaded() override;

 private:
  class TPainter;
  void ApplyTo(QMenu& Menu) const;
  bool FActive = false;
  std::unique_ptr<TPainter> FPainter;
  TFont FFont{"Tahoma", -11, clMenuText, 0};
};
