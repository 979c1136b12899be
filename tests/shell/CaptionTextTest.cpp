#include <gtest/gtest.h>

#include <QPainter>

#include "shell/CaptionText.h"

namespace {

// Draws "I" large and unsmoothed, and counts the pixels of each colour.
struct TDrawn {
  QImage Image{80, 80, QImage::Format_RGB32};
  int Count(QColor C) const {
    int N = 0;
    for (int Y = 0; Y < Image.height(); ++Y)
      for (int X = 0; X < Image.width(); ++X) N += Image.pixel(X, Y) == C.rgb();
    return N;
  }
};

TDrawn Draw(const TskCaptionText& T, TColor Face, bool Enabled) {
  TDrawn D;
  D.Image.fill(Qt::white);
  QFont Font("DejaVu Sans");
  Font.setPixelSize(40);
  Font.setBold(true);
  Font.setStyleStrategy(QFont::NoAntialias);
  QPainter P(&D.Image);
  T.Draw(P, QRect(10, 10, 60, 60), "I", Font, Face, Enabled);
  return D;
}

TskCaptionText Raised() {
  TskCaptionText T;
  T.Style = sklsRaised;
  T.HighlightColor = clYellow;
  T.ShadeColor = clNavy;
  T.DisabledShadeColor = clBlack;
  return T;
}

}  // namespace

TEST(CaptionText, RaisedTextHasAHighlightAboveAndAShadeBelowTheFace) {
  const TDrawn D = Draw(Raised(), clBlue, true);
  EXPECT_GT(D.Count(Qt::yellow), 0);
  EXPECT_GT(D.Count(QColor(0, 0, 128)), 0);
  EXPECT_GT(D.Count(Qt::blue), 0);

  TskCaptionText NoShade = Raised();
  NoShade.ShadeColor = clNone;  // the picture buttons' captions: highlight and face only
  const TDrawn B = Draw(NoShade, clBlue, true);
  EXPECT_GT(B.Count(Qt::yellow), 0);
  EXPECT_EQ(B.Count(QColor(0, 0, 128)), 0);

  TskCaptionText NoHighlight = Raised();
  NoHighlight.HighlightColor = clNone;
  const TDrawn C = Draw(NoHighlight, clBlue, true);
  EXPECT_EQ(C.Count(Qt::yellow), 0);
  EXPECT_GT(C.Count(QColor(0, 0, 128)), 0);
}

TEST(CaptionText, DisabledRaisedTextDrawsOnlyTheDisabledShade) {
  const TDrawn D = Draw(Raised(), clBlue, false);
  EXPECT_EQ(D.Count(Qt::yellow), 0);
  EXPECT_EQ(D.Count(Qt::blue), 0);
  EXPECT_GT(D.Count(Qt::black), 0);  // shade copy and face both in DisabledColors.ShadeColor
}

TEST(CaptionText, ShadowIsDrawnAtItsOffsetAndGrowsTheSize) {
  TskCaptionText T;
  const QFont Font("DejaVu Sans");
  const QSize Plain = T.Measure("Save", Font);
  T.ShadowEnabled = true;
  T.ShadowXOffset = 20;
  T.ShadowYOffset = 15;
  T.ShadowColor = clGray;
  EXPECT_EQ(T.Measure("Save", Font), Plain + QSize(20, 15));
  const TDrawn D = Draw(T, clBlue, true);
  EXPECT_GT(D.Count(QColor(128, 128, 128)), 0);
  // Two lines are one line height plus the line spacing apart.
  T.ShadowEnabled = false;
  const QSize Two = T.Measure("Save\r\nSave", Font);
  EXPECT_EQ(Two.height(), 2 * Plain.height() + 5);
  EXPECT_EQ(T.Measure("", Font), QSize(0, 0));
}
