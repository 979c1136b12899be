// The colours the skin menu paints with: its working colours, worked out from its colour
// settings and the screen's depth, and the arithmetic that derives them. The menus and the flat
// controls both draw with these, so a setting changes both alike.
#pragma once

#include <QColor>

#include "platform/core/Colors.h"

// Each component moved towards white by Percent (at most 100) of its distance.
QColor Lighten(QColor Colour, int Percent);
// Red and blue less Amount, green less Amount - 2, each kept within 0..255.
QColor Darken(QColor Colour, int Amount);
// A grey of the colour's mean brightness plus Amount, at most 240.
QColor Grey(QColor Colour, int Amount);

// The colour settings of a skin menu, as published.
struct TSkinColourSettings {
  TColor Color = clBtnFace, IconBackColor = clBtnFace, MenuBarColor = clBtnFace,
         SelectColor = clHighlight, SelectBorderColor = clHighlight, SelectFontColor = clMenuText,
         DisabledColor = clInactiveCaption, SeparatorColor = clBtnFace, CheckedColor = clHighlight;
  bool UseSystemColors = true, UseDimColor = false;
};

struct TSkinColours {
  QColor MenuBackground, IconColumn, SelectFill, SelectBorder, SelectText, MenuBar, Disabled,
      CheckFrame, Separator, CheckFill, CheckFillSelected;
  // The menu font's colour, for enabled items.
  QColor Text;

  // HighColour: the screen has more than 15 bits a pixel.
  static TSkinColours From(const TSkinColourSettings& Settings, TColor FontColor, bool HighColour);
};
