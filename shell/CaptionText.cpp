#include "shell/CaptionText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Orientation vectors, also the eight outline offsets in this order.
constexpr QPoint Vectors[] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}, {0, 1}, {-1, 0}, {1, 0}, {0, -1}};

// The text as measured: with accelerators shown, "&&" is one "&" and a lone "&" takes no room.
QString Visible(const QString& Line, bool ShowAccel) {
  if (!ShowAccel) return Line;
  QString Out;
  for (qsizetype I = 0; I < Line.size(); ++I) {
    if (Line[I] == '&') {
      if (I + 1 < Line.size() && Line[I + 1] == '&') Out += '&', ++I;
      continue;
    }
    Out += Line[I];
  }
  return Out;
}

// One line as written: its text, its top, whether full justification spreads it, and the room it
// takes: the distance from its top to its baseline, its height, and how far its first glyph
// reaches left of the pen and its last right of the advance.
struct TLine {
  QString Text;
  int Y = 0;
  bool Justify = false;
  int Ascent = 0, Height = 0, Indent = 0, Overhang = 0;
};

// The room a line of Text takes. The font's own ascent and descent, or more where the glyphs reach
// further: Thai marks may stand above and below the font's lines, and a font's metrics may
// understate its descenders. What the glyphs reach counts, not the line of the fallback font that
// draws them: Thai fonts keep a far taller line than Tahoma's, which would push a Thai caption
// below the line its label stands on.
void Measure(TLine& Line, const QString& Shown, const QFont& Font) {
  const QFontMetrics M(Font);
  // The glyphs' outlines, fallback fonts' included: the font engines' own ink boxes leave out
  // some of a fallback font's bearings.
  QPainterPath Outline;
  Outline.addText(0, 0, Font, Shown);
  const QRect Ink = Shown.isEmpty() ? QRect() : Outline.boundingRect().toAlignedRect();
  // A pixel more where the ink reaches beyond the font's line: the outline is not hinted, the
  // glyphs drawn are.
  Line.Ascent = std::max(M.ascent(), -Ink.top() + 1);
  const int Descent = Ink.bottom() + 1 > M.descent() ? Ink.bottom() + 2 : M.descent();
  Line.Height = std::max(M.height(), Line.Ascent + Descent);
  Line.Indent = std::max(0, -Ink.left());
  Line.Overhang = std::max(0, Ink.right() + 1 - M.horizontalAdvance(Shown));
}

// Greedy word breaking: each line takes as many words as fit in Width (a longer word stands
// alone).
QStringList Wrap(const QString& Text, const QFontMetrics& M, int Width, bool Accel) {
  QStringList Out;
  QString Line;
  for (const QString& Word : Text.split(' ')) {
    const QString Longer = Line.isEmpty() ? Word : Line + ' ' + Word;
    if (!Line.isEmpty() && M.horizontalAdvance(Visible(Longer, Accel)) > Width) {
      Out << Line;
      Line = Word;
    } else {
      Line = Longer;
    }
  }
  return Out << Line;
}

// The lines of Text as they are written in a layout Width wide (0: no breaking). Lines end at
// "\r\n" with LineSpacing between them; word wrapping breaks them further; full justification
// takes paragraphs (at "\n\n" when the text has it) and spreads all but their last lines.
std::vector<TLine> LayOut(const TskCaptionText& T, const std::string& Text, const QFont& Font,
                          int Width) {
  std::vector<TLine> Out;
  if (Text.empty()) return Out;
  const QFontMetrics M(Font);
  const bool Accel = T.Options & (1 << toShowAccel);
  const bool Wrapping = T.WordWrap && Width > 0;
  const QString All = QString::fromStdString(Text);
  if (Wrapping && (T.Options & (1 << toFullJustify))) {
    const int Height = M.boundingRect("AgTpjW").height();
    int Y = 0;
    const QString Break = All.contains("\n\n") ? "\n\n" : "\r\n";
    for (QString Paragraph : All.split(Break)) {
      Paragraph.replace("\r\n", " ").replace('\n', ' ');
      const QStringList Lines = Wrap(Paragraph, M, Width, Accel);
      for (qsizetype I = 0; I < Lines.size(); ++I, Y += Height)
        Out.push_back({Lines[I], Y, I + 1 < Lines.size(), M.ascent(), Height});
    }
    return Out;
  }
  int Y = 0;
  for (const QString& Line : All.split("\r\n")) {
    for (const QString& Part : Wrapping ? Wrap(Line, M, Width, Accel) : QStringList{Line}) {
      TLine Laid{Part, Y, false};
      Measure(Laid, Visible(Part, Accel), Font);
      Out.push_back(Laid);
      Y += Laid.Height;
    }
    Y += T.LineSpacing;
  }
  return Out;
}

QSize TextSize(const TskCaptionText& T, const std::vector<TLine>& Lines, const QFont& Font) {
  if (Lines.empty()) return {0, 0};
  const QFontMetrics M(Font);
  const bool Accel = T.Options & (1 << toShowAccel);
  int W = 0;
  for (const TLine& Line : Lines)
    W = std::max(W, Line.Indent + M.horizontalAdvance(Visible(Line.Text, Accel)) + Line.Overhang);
  return {W + 1, Lines.back().Y + std::max(Lines.back().Height, M.height())};
}

QPoint ExtrudeOffset(const TskCaptionText& T) {
  return T.ExtrudeEnabled ? QPoint(T.ExtrudeDepth, T.ExtrudeDepth) : QPoint();
}

QPoint ShadowOffset(const TskCaptionText& T) {
  if (!T.ShadowEnabled) return {};
  QPoint S(T.ShadowXOffset, T.ShadowYOffset);
  if (T.ExtrudeEnabled) {
    const QPoint V = Vectors[T.ExtrudeOrientation];
    if ((S.x() < 0) != (V.x() < 0)) S.setX(0);
    if ((S.y() < 0) != (V.y() < 0)) S.setY(0);
  }
  return S;
}

// The room left for the text itself in a layout Width wide, after the effects.
int TextRoom(const TskCaptionText& T, int Width) {
  if (Width <= 0) return 0;
  return std::max(
      1, Width - ExtrudeOffset(T).x() - ShadowOffset(T).x() - (T.Style == sklsOutline ? 2 : 0));
}

// Writes the lines at Origin in one colour; Width is the room for each line (0: unlimited).
void WriteLines(QPainter& P, QPoint Origin, const std::vector<TLine>& Lines,
                const TskCaptionText& T, TColor Colour, int Width) {
  if (Colour == clNone) return;
  P.setPen(ColorToQColor(Colour));
  const QFontMetrics M(P.font());
  const bool Accel = T.Options & (1 << toShowAccel);
  const int Flags = Qt::TextSingleLine | Qt::TextDontClip | (Accel ? Qt::TextShowMnemonic : 0);
  for (const TLine& Line : Lines) {
    // Qt puts the baseline a line's own ascent below the top of the box it writes in, the
    // fallback fonts' included; the baseline belongs Line.Ascent below the line's top.
    const int Own = int(std::lround(LaidAscent(Visible(Line.Text, Accel), P.font())));
    const QPoint At = Origin + QPoint(Line.Indent, Line.Y + Line.Ascent - Own);
    const QStringList Words = Line.Text.split(' ');
    if (Line.Justify && Words.size() > 1) {
      const int Spare = Width - M.horizontalAdvance(Visible(Line.Text, Accel));
      int X = At.x();
      for (qsizetype I = 0; I < Words.size(); ++I) {
        P.drawText(QRect(X, At.y(), 10000, Line.Height), Flags, Words[I]);
        X += M.horizontalAdvance(Visible(Words[I] + ' ', Accel)) + Spare / (Words.size() - 1) +
             (I < Spare % (Words.size() - 1) ? 1 : 0);
      }
      continue;
    }
    const QString Shown = Visible(Line.Text, Accel);
    if ((T.Options & (1 << toShowEllipsis)) && Width > 0 && M.horizontalAdvance(Shown) > Width)
      P.drawText(QRect(At.x(), At.y(), 10000, Line.Height), Qt::TextSingleLine | Qt::TextDontClip,
                 M.elidedText(Shown, Qt::ElideRight, Width));
    else
      P.drawText(QRect(At.x(), At.y(), 10000, Line.Height), Flags, Line.Text);
  }
}

}  // namespace

double LaidAscent(const QString& Text, const QFont& Font) {
  QTextLayout Layout(Text, Font);
  Layout.beginLayout();
  QTextLine Line = Layout.createLine();
  Line.setLineWidth(1e6);
  Layout.endLayout();
  return Line.ascent();
}

int TskCaptionText::NormalRotation(int Degrees) {
  return Degrees >= 0 ? Degrees % 360 : (360 - (-Degrees % 360)) % 360;
}

QSize TskCaptionText::Measure(const std::string& Text, const QFont& Font, int Width) const {
  const QSize S = TextSize(*this, LayOut(*this, Text, Font, TextRoom(*this, Width)), Font);
  int W = S.width() + ExtrudeOffset(*this).x() + ShadowOffset(*this).x();
  int H = S.height() + ExtrudeOffset(*this).y() + ShadowOffset(*this).y();
  if (Style == sklsOutline) W += 2, H += 2;
  if (Rotation == 0) return {W, H};
  const double A = Rotation * std::numbers::pi / 180;
  return {static_cast<int>(std::floor(std::abs(std::sin(A)) * H + std::abs(std::cos(A)) * W)),
          static_cast<int>(std::floor(std::abs(std::cos(A)) * H + std::abs(std::sin(A)) * W))};
}

void TskCaptionText::Draw(QPainter& P, const QRect& Layout, const std::string& Text,
                          const QFont& Font, TColor Face, bool Enabled) const {
  if (Text.empty()) return;
  P.save();
  P.setFont(Font);
  const int Room = TextRoom(*this, Layout.width());
  const std::vector<TLine> Lines = LayOut(*this, Text, Font, Room);
  const QSize Size = Measure(Text, Font, Layout.width());
  QPoint Origin = Layout.topLeft();
  if (Alignment == taRightJustify) Origin.rx() = Layout.right() + 1 - Size.width();
  if (Alignment == taCenter) Origin.rx() += (Layout.width() - Size.width()) / 2;
  if (VAlignment == vaBottom) Origin.ry() = Layout.bottom() + 1 - Size.height();
  if (VAlignment == vaVCenter) Origin.ry() += (Layout.height() - Size.height()) / 2;
  if (Rotation != 0) {  // turn about the centre of the measured block
    const QPoint Centre = Origin + QPoint(Size.width() / 2, Size.height() / 2);
    const QSize Flat = TextSize(*this, Lines, Font);
    P.translate(Centre);
    P.rotate(-Rotation);
    Origin = QPoint(-Flat.width() / 2, -Flat.height() / 2);
  }
  // Effects that reach up or left of the face push the face down and right.
  const QPoint V = ExtrudeEnabled ? Vectors[ExtrudeOrientation] : QPoint();
  const QPoint S = ShadowOffset(*this);
  QPoint At = Origin + QPoint(std::max({0, -S.x(), V.x() > 0 ? ExtrudeDepth : 0}),
                              std::max({0, -S.y(), V.y() > 0 ? ExtrudeDepth : 0}));
  if (Style == sklsOutline) At += QPoint(1, 1);

  auto Effects = [&] {
    if (ExtrudeEnabled && ExtrudeDepth > 0) {
      const QColor Far = ColorToQColor(ExtrudeFarColor), Near = ColorToQColor(ExtrudeNearColor);
      for (int I = 1; I <= ExtrudeDepth; ++I) {
        auto Mix = [&](int F, int N) { return F + (N - F) * I / ExtrudeDepth; };
        const QColor Layer(Mix(Far.red(), Near.red()), Mix(Far.green(), Near.green()),
                           Mix(Far.blue(), Near.blue()));
        // Striated layers alternate between the near and the far colour instead.
        const TColor C =
            ExtrudeStriated
                ? (I % 2 ? ExtrudeFarColor : ExtrudeNearColor)
                : static_cast<TColor>(Layer.red() | (Layer.green() << 8) | (Layer.blue() << 16));
        WriteLines(P, At - V * (ExtrudeDepth - I), Lines, *this, C, Room);
      }
    }
    if (ShadowEnabled)
      WriteLines(P, At + S, Lines, *this, Enabled ? ShadowColor : DisabledShadeColor, Room);
  };
  auto Embossed = [&](bool Raised) {
    Effects();
    const TColor Hl = Enabled ? HighlightColor : DisabledHighlightColor;
    const TColor Sh = Enabled ? ShadeColor : DisabledShadeColor;
    if (Enabled && (Sh != clNone || Raised) && !(Hl == clNone && Raised))
      WriteLines(P, At - QPoint(1, 1), Lines, *this, Raised ? Hl : Sh, Room);
    if ((Hl != clNone || Raised) && !(Sh == clNone && Raised))
      WriteLines(P, At + QPoint(1, 1), Lines, *this, Raised ? Sh : Hl, Room);
    WriteLines(P, At, Lines, *this, Enabled ? Face : DisabledShadeColor, Room);
  };

  switch (Style) {
    case sklsDefault:
      if (!Enabled) {
        Embossed(false);
        break;
      }
      Effects();
      WriteLines(P, At, Lines, *this, Face, Room);
      break;
    case sklsLowered:
      Embossed(false);
      break;
    case sklsRaised:
      Embossed(true);
      break;
    case sklsOutline:
      Effects();
      for (const QPoint& O : Vectors)
        WriteLines(P, At + O, Lines, *this, Enabled ? OutlineColor : DisabledShadeColor, Room);
      WriteLines(P, At, Lines, *this, Enabled ? Face : DisabledHighlightColor, Room);
      break;
  }
  P.restore();
}
