// Measuring and drawing one menu item in the skin menu's flat look.
#pragma once

#include <QFont>
#include <QSize>

#include "shell/SkinMenuOptions.h"

class QPainter;
class QRect;
class TMenuItem;

// What the items are measured and drawn with.
struct TSkinItemLook {
  const TSkinMenuOptions& Options;
  TSkinColours Colours;
  QFont Font;
  bool HighColour;
};

// Given: the platform's own measure of the item; the result is never smaller.
QSize MeasureSkinItem(const TMenuItem& Item, const TSkinItemLook& Look, QSize Given);
void DrawSkinItem(QPainter& Painter, const TMenuItem& Item, const QRect& Rect, bool Selected,
                  const TSkinItemLook& Look);
