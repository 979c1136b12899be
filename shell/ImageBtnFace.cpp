// The picture button's face: the tinted picture (dithered for a grouped button held down),
// the bevel of the highlight and flat styles, the glyph, the caption and the focus rectangle.
#include <QPainter>
#include <algorithm>

#include "shell/ImageBtn.h"

namespace {

QRgb ToRgb(TColor C) {
  return qRgb(C & 0xFF, (C >> 8) & 0xFF, (C >> 16) & 0xFF);
}

int Clamp(int V) {
  return std::clamp(V, 0, 255);
}

// The greyed rendering of a glyph for a disabled button.
QImage Greyed(const QImage& Glyph) {
  QImage Out = Glyph;
  for (int Y = 0; Y < Out.height(); ++Y) {
    auto* Row = reinterpret_cast<QRgb*>(Out.scanLine(Y));
    for (int X = 0; X < Out.width(); ++X)
      if (qAlpha(Row[X])) {
        const int G = 128 + qGray(Row[X]) / 2;
        Row[X] = qRgb(G, G, G);
      }
  }
  return Out;
}

// A one-pixel line along the shape's outline, light on the upper left, dark on the lower
// right; a thick bevel adds a second, inner line.
void DrawBevel(QImage& Face, const QRegion& Shape, const TskShadeColors& C, bool Thick) {
  auto Inside = [&](int X, int Y) {
    return Shape.isEmpty() ? Face.rect().contains(X, Y) : Shape.contains(QPoint(X, Y));
  };
  for (int Y = 0; Y < Face.height(); ++Y)
    for (int X = 0; X < Face.width(); ++X) {
      if (!Inside(X, Y)) continue;
      auto EdgeAt = [&](int D) {
        if (!Inside(X - D, Y) || !Inside(X, Y - D)) return 1;   // upper left
        if (!Inside(X + D, Y) || !Inside(X, Y + D)) return -1;  // lower right
        return 0;
      };
      if (const int Outer = EdgeAt(1))
        Face.setPixel(X, Y, ToRgb(Outer > 0 ? C.BtnHighlight : Thick ? C.BtnBlack : C.BtnShadow));
      else if (const int Inner = Thick ? EdgeAt(2) : 0)
        Face.setPixel(X, Y, ToRgb(Inner > 0 ? C.Btn3DLight : C.BtnShadow));
    }
}

}  // namespace

QImage TskImageBtn::RenderFace(bool IsDown) const {
  const int W = Width(), H = Height();
  if (W < 1 || H < 1) return {};
  QImage Face(W, H, QImage::Format_RGB32);
  QPainter P(&Face);
  if (FImage.isNull()) {  // placeholder face
    Face.fill(ColorToQColor(clBtnFace));
    P.setPen(QPen(Qt::black, 1, Qt::DashDotLine));
    P.drawRect(0, 0, W - 1, H - 1);
  } else {
    PaintPicture(Face, P, IsDown);
  }
  PaintGlyphAndCaption(P, IsDown);
  return Face;
}

// The state's picture with the colour's tint, its transparent pixels in the surround, and the
// dither of a grouped button held down.
QImage TskImageBtn::TintedPicture(bool IsDown) const {
  QImage Source = Stretched(IsDown);
  const QRgb Clear = ToRgb(StateTransparentColor(IsDown)) & 0xFFFFFF;
  const bool Shaped = FTransparentColor != clNoTransparency;
  auto Outside = [&](QRgb Pixel) { return Shaped && (Pixel & 0xFFFFFF) == Clear; };
  const bool Tint = Color() != clNone;
  const QColor C = ColorToQColor(Color());
  const bool Dither = FGroupIndex > 0 && IsDown && FDitherColor != clNone && FImageDown.isNull();
  const QRgb DitherRgb = ToRgb(FDitherColor), Silver = qRgb(0xC0, 0xC0, 0xC0);
  const QRgb Surround = ToRgb(FShadeColors.Shadow);
  for (int Y = 0; Y < Source.height(); ++Y) {
    auto* Row = reinterpret_cast<QRgb*>(Source.scanLine(Y));
    for (int X = 0; X < Source.width(); ++X) {
      if (Outside(Row[X])) {
        Row[X] = Surround;
        continue;
      }
      if (Tint)
        Row[X] = qRgb(Clamp(qRed(Row[X]) + C.red() - 192), Clamp(qGreen(Row[X]) + C.green() - 192),
                      Clamp(qBlue(Row[X]) + C.blue() - 192));
      if (!Dither) continue;
      const bool Even = (X + Y) % 2 == 0;
      if (FDitherStyle == dsFill)
        Row[X] = DitherRgb;
      else if (FDitherStyle == dsDither)
        Row[X] = Even ? DitherRgb : Silver;
      else if (Even)
        Row[X] = DitherRgb;
    }
  }
  return Source;
}

void TskImageBtn::PaintPicture(QImage& Face, QPainter& P, bool IsDown) const {
  Face.fill(ToRgb(FShadeColors.Shadow));
  const bool Shift = IsDown && FImageDown.isNull();
  P.drawImage(Shift ? FOffsets.ImageDownX : 0, Shift ? FOffsets.ImageDownY : 0,
              TintedPicture(IsDown));
  if (FShadeStyle == fbsHighlight || (FShadeStyle == fbsFlat && FHot)) {
    P.end();
    DrawBevel(Face, Shape(IsDown), FShadeColors, FDefault || Widget()->hasFocus());
    P.begin(&Face);
  }
}

// Glyph and caption, centred as a group, and the focus rectangle around them.
void TskImageBtn::PaintGlyphAndCaption(QPainter& P, bool IsDown) const {
  const int W = Width(), H = Height();
  const int Cells = FNumGlyphs == 0 ? 1 : FNumGlyphs;
  const QSize GlyphSize =
      FGlyph.isNull() ? QSize(0, 0) : QSize(FGlyph.width() / Cells, FGlyph.height());
  const QFont Font = FontToQFont(this->Font());
  const QSize TextSize = Caption().empty() ? QSize(0, 0) : FTextOptions.Measure(Caption(), Font);
  auto [GlyphAt, TextAt] = PlaceGroup(GlyphSize, TextSize, IsDown);
  const QRect TextRect = QRect(TextAt, TextSize).intersected(QRect(0, 0, W, H));
  QRect GlyphRect(GlyphAt, GlyphSize);
  if (!GlyphSize.isEmpty()) {
    int Cell = 0;
    if (!Enabled() && Cells >= 2)
      Cell = 1;
    else if (IsDown && Cells > 2)
      Cell = 2;
    else if (FHot && Cells > 3)
      Cell = 3;
    QImage Glyph = FGlyph.copy(Cell * GlyphSize.width(), 0, GlyphSize.width(), GlyphSize.height());
    if (!Enabled() && Cells == 1) Glyph = Greyed(Glyph);
    if (GlyphAt.x() % 2 != 0) GlyphAt.rx() += 1;  // an odd left edge is padded by a column
    P.drawImage(GlyphAt, Glyph);
  }
  if (!TextSize.isEmpty())
    FTextOptions.Draw(P, TextRect, Caption(), Font, this->Font().Color, Enabled());
  if ((FOptions & (1 << boFocusRect)) && (FOptions & (1 << boFocusable)) && Widget()->hasFocus()) {
    const QRect Around = (TextSize.isEmpty()    ? GlyphRect
                          : GlyphSize.isEmpty() ? TextRect
                                                : GlyphRect | TextRect)
                             .adjusted(-2, -2, 2, 2);
    // Solid: a dotted ring is lost on a picture's shading.
    P.setPen(QPen(ColorToQColor(FShadeColors.BtnFocus), 1, Qt::SolidLine));
    P.setBrush(Qt::NoBrush);
    P.drawRect(Around.adjusted(0, 0, -1, -1));
  }
}

// Where the glyph and the caption go: centred as a group by the layout, the alignment and the
// margin, then moved by the offsets (and the held-down offsets).
std::pair<QPoint, QPoint> TskImageBtn::PlaceGroup(QSize GlyphSize, QSize TextSize,
                                                  bool IsDown) const {
  const int W = Width(), H = Height();
  int Spacing = !GlyphSize.isEmpty() && !TextSize.isEmpty() ? FSpacing : 0;
  if (GlyphSize.isEmpty()) Spacing = (Spacing - 6) / 2;
  const int Margin = FMargin < 0 ? 4 : FMargin;
  const bool Vertical = FLayout == blGlyphTop || FLayout == blGlyphBottom;
  const int Group = Spacing + (Vertical ? GlyphSize.height() + TextSize.height()
                                        : GlyphSize.width() + TextSize.width());
  QPoint Centre(W / 2, H / 2);
  if (FTextOptions.Alignment == taLeftJustify) Centre.rx() = Group / 2 + Margin;
  if (FTextOptions.Alignment == taRightJustify) Centre.rx() = W - Margin - Group / 2;
  QPoint GlyphAt, TextAt;
  switch (FLayout) {
    case blGlyphLeft:
      GlyphAt = {Centre.x() - Group / 2, Centre.y() - (GlyphSize.height() + 1) / 2};
      TextAt = {Centre.x() + GlyphSize.width() + Spacing - Group / 2,
                Centre.y() - TextSize.height() / 2};
      break;
    case blGlyphRight:
      TextAt = {Centre.x() - Group / 2, Centre.y() - TextSize.height() / 2};
      GlyphAt = {Centre.x() + TextSize.width() + Spacing - Group / 2,
                 Centre.y() - (GlyphSize.height() + 1) / 2};
      break;
    case blGlyphTop:
      GlyphAt = {Centre.x() - (GlyphSize.width() + 1) / 2, Centre.y() - Group / 2};
      TextAt = {Centre.x() - TextSize.width() / 2,
                Centre.y() + GlyphSize.height() + Spacing - Group / 2};
      break;
    case blGlyphBottom:
      TextAt = {Centre.x() - TextSize.width() / 2, Centre.y() - Group / 2};
      GlyphAt = {Centre.x() - (GlyphSize.width() + 1) / 2,
                 Centre.y() + TextSize.height() + Spacing - Group / 2};
      break;
  }
  TextAt += QPoint(FOffsets.TextX, FOffsets.TextY);
  GlyphAt += QPoint(FOffsets.GlyphX, FOffsets.GlyphY);
  if (IsDown) {
    TextAt += QPoint(FOffsets.TextDownX, FOffsets.TextDownY);
    GlyphAt += QPoint(FOffsets.TextDownX, FOffsets.TextDownY);
  }
  return {GlyphAt, TextAt};
}
