#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <functional>

#include "shell/CaptionText.h"

namespace {

// "I" large and unsmoothed.
QFont BigFont() {
  QFont Font("DejaVu Sans");
  Font.setPixelSize(40);
  Font.setBold(true);
  Font.setStyleStrategy(QFont::NoAntialias);
  return Font;
}

// The pixels of one colour in an image, as a set of points.
QRegion PixelsOf(const QImage& Image, QRgb Colour) {
  QRegion R;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      if (Image.pixel(X, Y) == Colour) R += QRect(X, Y, 1, 1);
  return R;
}

// Checks every pixel against the colour Expected gives it (first match wins, else white).
void ExpectLayers(const QImage& Image, const std::vector<std::pair<QRegion, QRgb>>& Layers) {
  int Wrong = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X) {
      QRgb Want = qRgb(255, 255, 255);
      for (const auto& [Where, Colour] : Layers)
        if (Where.contains(QPoint(X, Y))) {
          Want = Colour;
          break;
        }
      Wrong += Image.pixel(X, Y) != Want;
    }
  EXPECT_EQ(Wrong, 0);
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

TEST(CaptionText, TheShadowAndTheLineSpacingGrowTheSize) {
  TskCaptionText T;
  const QFont Font("DejaVu Sans");
  const QSize Plain = T.Measure("Save", Font);
  T.ShadowEnabled = true;
  T.ShadowXOffset = 20;
  T.ShadowYOffset = 15;
  EXPECT_EQ(T.Measure("Save", Font), Plain + QSize(20, 15));
  // Two lines are one line height plus the line spacing apart.
  T.ShadowEnabled = false;
  const QSize Two = T.Measure("Save\r\nSave", Font);
  EXPECT_EQ(Two.height(), 2 * Plain.height() + 5);
  EXPECT_EQ(T.Measure("", Font), QSize(0, 0));
}

// The face drawn alone gives the pixels every effect is placed against.
class CaptionLayers : public testing::Test {
 protected:
  QImage Render(const TskCaptionText& T, bool Enabled = true) {
    QImage Image(120, 120, QImage::Format_RGB32);
    Image.fill(Qt::white);
    QPainter P(&Image);
    T.Draw(P, QRect(20, 20, 90, 90), "I", BigFont(), clBlue, Enabled);
    return Image;
  }
  const QRgb Blue = qRgb(0, 0, 255), Yellow = qRgb(255, 255, 0), Navy = qRgb(0, 0, 128);
  const QRegion Face = PixelsOf(Render(TskCaptionText()), qRgb(0, 0, 255));
};

TEST_F(CaptionLayers, FaceSitsAtTheLayoutsTopLeftByTheFontsMetrics) {
  ASSERT_FALSE(Face.isEmpty());
  const QFontMetrics M(BigFont());
  const QRect Ink = M.tightBoundingRect("I").translated(20, 20 + M.ascent());
  EXPECT_NEAR(Face.boundingRect().left(), Ink.left(), 1);
  EXPECT_NEAR(Face.boundingRect().top(), Ink.top(), 1);
  EXPECT_NEAR(Face.boundingRect().width(), Ink.width(), 1);
  // Right and bottom alignment move the face to the layout's far edges.
  TskCaptionText T;
  T.Alignment = taRightJustify;
  T.VAlignment = vaBottom;
  const QSize Size = T.Measure("I", BigFont());
  EXPECT_EQ(PixelsOf(Render(T), Blue), Face.translated(90 - Size.width(), 90 - Size.height()));
}

TEST_F(CaptionLayers, RaisedCopiesLieOnePixelUpLeftAndDownRight) {
  ExpectLayers(Render(Raised()),
               {{Face, Blue}, {Face.translated(1, 1), Navy}, {Face.translated(-1, -1), Yellow}});
  // Without a shade (the picture buttons' captions) or a highlight, that copy is left out;
  // disabled, the face and the shade's copy are both in the disabled shade colour.
  TskCaptionText NoShade = Raised(), NoHighlight = Raised();
  NoShade.ShadeColor = clNone;
  NoHighlight.HighlightColor = clNone;
  ExpectLayers(Render(NoShade), {{Face, Blue}, {Face.translated(-1, -1), Yellow}});
  ExpectLayers(Render(NoHighlight), {{Face, Blue}, {Face.translated(1, 1), Navy}});
  ExpectLayers(Render(Raised(), false), {{Face + Face.translated(1, 1), qRgb(0, 0, 0)}});
  // The shadow goes first, 20 right and 15 down of the face.
  TskCaptionText Shadowed = Raised();
  Shadowed.ShadowEnabled = true;
  Shadowed.ShadowXOffset = 20;
  Shadowed.ShadowYOffset = 15;
  Shadowed.ShadowColor = clGray;
  ExpectLayers(Render(Shadowed), {{Face, Blue},
                                  {Face.translated(1, 1), Navy},
                                  {Face.translated(-1, -1), Yellow},
                                  {Face.translated(20, 15), qRgb(128, 128, 128)}});
}

TEST_F(CaptionLayers, ExtrudeTrailsAwayFromTheFaceFromFarToNear) {
  TskCaptionText T;
  T.ExtrudeEnabled = true;
  T.ExtrudeDepth = 5;
  T.ExtrudeFarColor = clGray;
  T.ExtrudeNearColor = clBlack;  // layer i of 5: 128 - 128 * i / 5
  std::vector<std::pair<QRegion, QRgb>> Layers{{Face, Blue}};
  for (int I = 4; I >= 1; --I) {
    const int Grey = 128 - 128 * I / 5;
    Layers.push_back({Face.translated(5 - I, 5 - I), qRgb(Grey, Grey, Grey)});
  }
  ExpectLayers(Render(T), Layers);
  T.ExtrudeStriated = true;  // far and near by turns
  Layers.resize(1);
  for (int I = 4; I >= 1; --I)
    Layers.push_back({Face.translated(5 - I, 5 - I), I % 2 ? qRgb(128, 128, 128) : qRgb(0, 0, 0)});
  ExpectLayers(Render(T), Layers);
}

TEST_F(CaptionLayers, OutlineSurroundsTheFaceOnEightSides) {
  TskCaptionText T;
  T.Style = sklsOutline;
  T.OutlineColor = clRed;
  const QRegion Moved = Face.translated(1, 1);  // the outline's room pushes the face
  QRegion Around;
  for (int X = -1; X <= 1; ++X)
    for (int Y = -1; Y <= 1; ++Y) Around += Moved.translated(X, Y);
  ExpectLayers(Render(T), {{Moved, Blue}, {Around, qRgb(255, 0, 0)}});
}

TEST_F(CaptionLayers, WrappingEllipsisAndJustification) {
  const QFont Font = BigFont();
  const QFontMetrics M(Font);
  TskCaptionText T;
  const int Room = M.horizontalAdvance("II II") + 3;  // two words to a line
  EXPECT_EQ(T.Measure("II II II", Font, Room).height(), M.height());
  T.WordWrap = true;
  const QSize Wrapped = T.Measure("II II II", Font, Room);
  EXPECT_EQ(Wrapped.height(), 2 * M.height());
  EXPECT_LE(Wrapped.width(), Room + 1);

  auto Drawn = [&](const TskCaptionText& C, const char* Text, int Width) {
    QImage Image(300, 200, QImage::Format_RGB32);
    Image.fill(Qt::white);
    QPainter P(&Image);
    C.Draw(P, QRect(0, 0, Width, 200), Text, Font, clBlue, true);
    P.end();
    return PixelsOf(Image, Blue).boundingRect();
  };
  EXPECT_GT(Drawn(T, "II II II", Room).bottom(), M.height());  // a second line below

  TskCaptionText Short;
  EXPECT_GT(Drawn(Short, "IIIIIIII", 100).right(), 100);
  Short.Options |= 1 << toShowEllipsis;
  EXPECT_LE(Drawn(Short, "IIIIIIII", 100).right(), 100);

  // Justified, a paragraph's lines but its last reach the right edge.
  TskCaptionText Justified;
  Justified.WordWrap = true;
  Justified.Options |= 1 << toFullJustify;
  const int Wide = M.horizontalAdvance("II II I") + 20;
  EXPECT_LT(Drawn(T, "II II I I", Wide).right(), Wide - 10);
  EXPECT_GE(Drawn(Justified, "II II I I", Wide).right(), Wide - 6);
}
