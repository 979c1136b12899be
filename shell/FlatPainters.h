// The flat looks the skin menu paints over standard controls: frames, drop-down buttons with a
// small arrow, check boxes, group box and panel frames, and whole speed buttons. Each painter
// draws in the control's own coordinates with the skin menu's working colours.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRect>
#include <QString>

#include "shell/SkinColours.h"

class QPainter;

// The state and surroundings a control is painted in.
struct TFlatLook {
  const TSkinColours& Colours;
  QColor Own;     // the control's background
  QColor Parent;  // the background the control stands on
  bool Hot = false, Focused = false, Pressed = false, Enabled = true, RightToLeft = false;
  int Thumb = 16;  // drop-down button width less one; check box square
  int Tag = 0;     // 1000: buttons take their colours from the parent's
};

// A control's caption as the painter draws it.
struct TFlatCaption {
  QString Text;
  QFont Font;
  QColor Colour;
  QIcon Icon;
};

// The data-aware lookup list: frame on the whole window, button and arrow inside it.
void PaintLookupCombo(QPainter& P, const QRect& Window, const TFlatLook& L, bool Dropped);
void PaintCombo(QPainter& P, const QRect& Client, const TFlatLook& L, bool Dropped);
// Edit boxes and memos; Borderless: the control was set up without a border.
void PaintEdit(QPainter& P, const QRect& Window, const TFlatLook& L, bool Borderless);
// State: unchecked, grayed (partially checked) or checked.
void PaintCheckBox(QPainter& P, const QRect& Client, const TFlatLook& L, Qt::CheckState State,
                   bool BoxAtRight);
// Raised3D: the frame is light at the top left; else dark all round.
void PaintGroupBox(QPainter& P, const QRect& Client, const TFlatLook& L,
                   const TFlatCaption& Caption, bool Raised3D);
// Bevel: 0 none, 1 lowered, 2 raised.
void PaintPanel(QPainter& P, const QRect& Client, const TFlatLook& L, int Bevel);
void PaintSpeedButton(QPainter& P, const QRect& Client, const TFlatLook& L,
                      const TFlatCaption& Caption, bool Down, bool Flat);
