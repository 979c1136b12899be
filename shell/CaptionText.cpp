#include "shell/CaptionText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Orientation vectors, also the eight outline offsets in this order.
constexpr QPoint Vectors[] = {{1, 1}, {-1, 1}, {1, -1}, {-1, -1}, {0, 1}, {-1, 0}, {1, 0}, {0, -1}};

QStringList Lines(const std::string& Text) {
  if (Text.empty()) return {};
  return QString::fromStdString(Text).split("\r\n");
}

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

QSize TextSize(const TskCaptionText& T, const std::string& Text, const QFont& Font) {
  const QStringList All = Lines(Text);
  if (All.isEmpty()) return {0, 0};
  const QFontMetrics Metrics(Font);
  const bool Accel = T.Options & (1 << toShowAccel);
  int W = 0, H = 0;
  for (const QString& Line : All) {
    W = std::max(W, Metrics.horizontalAdvance(Visible(Line, Accel)));
    H += Metrics.height();
  }
  H += T.LineSpacing * (static_cast<int>(All.size()) - 1);
  return {W + 1, H};
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

// Writes the lines at Origin in one colour.
void WriteLines(QPainter& P, QPoint Origin, const std::string& Text, const TskCaptionText& T,
                TColor Colour) {
  if (Colour == clNone) return;
  P.setPen(ColorToQColor(Colour));
  const QFontMetrics Metrics(P.font());
  const int Flags = Qt::TextSingleLine | Qt::TextDontClip |
                    ((T.Options & (1 << toShowAccel)) ? Qt::TextShowMnemonic : 0);
  int Y = Origin.y();
  for (const QString& Line : Lines(Text)) {
    P.drawText(QRect(Origin.x(), Y, 10000, Metrics.height()), Flags, Line);
    Y += Metrics.height() + T.LineSpacing;
  }
}

}  // namespace

int TskCaptionText::NormalRotation(int Degrees) {
  return Degrees >= 0 ? Degrees % 360 : (360 - (-Degrees % 360)) % 360;
}

QSize TskCaptionText::Measure(const std::string& Text, const QFont& Font) const {
  const QSize S = TextSize(*this, Text, Font);
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
  const QSize Size = Measure(Text, Font);
  QPoint Origin = Layout.topLeft();
  if (Alignment == taRightJustify) Origin.rx() = Layout.right() + 1 - Size.width();
  if (Alignment == taCenter) Origin.rx() += (Layout.width() - Size.width()) / 2;
  if (VAlignment == vaBottom) Origin.ry() = Layout.bottom() + 1 - Size.height();
  if (VAlignment == vaVCenter) Origin.ry() += (Layout.height() - Size.height()) / 2;
  if (Rotation != 0) {  // turn about the centre of the measured block
    const QPoint Centre = Origin + QPoint(Size.width() / 2, Size.height() / 2);
    const QSize Flat = TextSize(*this, Text, Font);
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
        const TColor C =
            static_cast<TColor>(Layer.red() | (Layer.green() << 8) | (Layer.blue() << 16));
        WriteLines(P, At - V * (ExtrudeDepth - I), Text, *this, C);
      }
    }
    if (ShadowEnabled)
      WriteLines(P, At + S, Text, *this, Enabled ? ShadowColor : DisabledShadeColor);
  };
  auto Embossed = [&](bool Raised) {
    Effects();
    const TColor Hl = Enabled ? HighlightColor : DisabledHighlightColor;
    const TColor Sh = Enabled ? ShadeColor : DisabledShadeColor;
    if (Enabled && (Sh != clNone || Raised) && !(Hl == clNone && Raised))
      WriteLines(P, At - QPoint(1, 1), Text, *this, Raised ? Hl : Sh);
    if ((Hl != clNone || Raised) && !(Sh == clNone && Raised))
      WriteLines(P, At + QPoint(1, 1), Text, *this, Raised ? Sh : Hl);
    WriteLines(P, At, Text, *this, Enabled ? Face : DisabledShadeColor);
  };

  switch (Style) {
    case sklsDefault:
      if (!Enabled) {
        Embossed(false);
        break;
      }
      Effects();
      WriteLines(P, At, Text, *this, Face);
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
        WriteLines(P, At + O, Text, *this, Enabled ? OutlineColor : DisabledShadeColor);
      WriteLines(P, At, Text, *this, Enabled ? Face : DisabledHighlightColor);
      break;
  }
  P.restore();
}
