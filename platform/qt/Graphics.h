// Fonts and colours of controls, and their Qt equivalents.
#pragma once

#include <QColor>
#include <QFont>
#include <string>

#include "platform/core/Colors.h"

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = int;  // bit (1 << TFontStyle) per style

struct TFont {
  std::string Name = "MS Sans Serif";
  int Height = -11;  // negative: character height in pixels; positive: cell height
  TColor Color = clWindowText;
  TFontStyles Style = 0;

  bool operator==(const TFont&) const = default;
  int Size() const { return (Height < 0 ? -Height : Height) * 72 / 96; }  // points at 96 dpi
};

// Qt colour of a plain or system colour; clNone is transparent.
QColor ColorToQColor(TColor Color);
QFont FontToQFont(const TFont& Font);
