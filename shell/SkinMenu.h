// The menu painter: while Active, gives the pop-up menus of its form a flat light look (a
// tinted icon column, a framed selection bar) worked out from its colour settings.
#pragma once

#include <QColor>
#include <QString>

#include "platform/core/Component.h"
#include "platform/qt/Graphics.h"

class TPopupMenu;

class TSkinMenu : public TComponent {
 public:
  explicit TSkinMenu(TComponent* AOwner);
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
  // The style sheet given to the menus: background, icon column, selection and separator.
  QString StyleSheet() const;
  // Applies the look to the pop-up menus of the owner form (or removes it when not Active).
  void Apply();

 protected:
  void Loaded() override;

 private:
  void ApplyTo(TPopupMenu& Menu) const;
  bool FActive = false;
  TFont FFont{"Tahoma", -11, clMenuText, 0};
};
