#include "platform/qt/Graphics.h"

#include <QApplication>
#include <QPalette>

QColor ColorToQColor(TColor Color) {
  if (Color == clNone) return QColor(Qt::transparent);
  if (Color == clDefault) Color = clWindow;
  if (!IsSystemColor(Color)) return QColor(GetRValue(Color), GetGValue(Color), GetBValue(Color));
  // System colours follow the running style's palette.
  const QPalette Palette = QApplication::palette();
  switch (static_cast<std::uint32_t>(Color) & 0xFF) {
    case 5:   // clWindow
    case 24:  // clInfoBk
      return Palette.color(Color == clInfoBk ? QPalette::ToolTipBase : QPalette::Base);
    case 7:  // clMenuText
    case 8:  // clWindowText
      return Palette.color(QPalette::WindowText);
    case 9:   // clCaptionText
    case 14:  // clHighlightText
      return Palette.color(QPalette::HighlightedText);
    case 2:   // clActiveCaption
    case 13:  // clHighlight
    case 29:  // clMenuHighlight
      return Palette.color(QPalette::Highlight);
    case 16:  // clBtnShadow
      return Palette.color(QPalette::Mid);
    case 17:  // clGrayText
      return Palette.color(QPalette::Disabled, QPalette::Text);
    case 18:  // clBtnText
      return Palette.color(QPalette::ButtonText);
    case 20:  // clBtnHighlight
      return Palette.color(QPalette::Light);
    case 21:  // cl3DDkShadow
      return Palette.color(QPalette::Shadow);
    case 22:  // cl3DLight
      return Palette.color(QPalette::Midlight);
    case 23:  // clInfoText
      return Palette.color(QPalette::ToolTipText);
    case 26:  // clHotLight
      return Palette.color(QPalette::Link);
    default:  // clBtnFace and the other frame and background colours
      return Palette.color(QPalette::Button);
  }
}

QFont FontToQFont(const TFont& Font) {
  QFont Result(QString::fromStdString(Font.Name));
  Result.setPixelSize(std::max(1, Font.Height < 0 ? -Font.Height : Font.Height));
  Result.setBold(Font.Style & (1 << fsBold));
  Result.setItalic(Font.Style & (1 << fsItalic));
  Result.setUnderline(Font.Style & (1 << fsUnderline));
  Result.setStrikeOut(Font.Style & (1 << fsStrikeOut));
  return Result;
}
