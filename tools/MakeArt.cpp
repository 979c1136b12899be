// Draws the windows' pictures into FOLDER (resources/ for the shipped ones):
//   cmake --build build --target make-art
//   QT_QPA_PLATFORM=offscreen build/tools/make-art resources
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace {

QString Dir;

void Save(const QImage& Image, const char* Name, const char* Format = nullptr, int Quality = -1) {
  if (!Image.save(Dir + "/" + Name, Format, Quality)) qFatal("cannot write %s", Name);
}

QImage Canvas(int W, int H, QColor Fill) {
  QImage Image(W, H, QImage::Format_RGB32);
  Image.fill(Fill);
  return Image;
}

// The main window's skin: teal outside the shape, which cuts the window.
void Skin() {
  QImage Image = Canvas(337, 362, QColor(0, 128, 128));
  QPainter P(&Image);
  P.setRenderHint(QPainter::Antialiasing, false);
  QPainterPath Body;
  Body.addRoundedRect(QRectF(2, 2, 329, 296), 28, 28);
  QPainterPath Foot;
  Foot.addRoundedRect(QRectF(2, 250, 268, 109), 18, 18);
  Body = Body.united(Foot);
  QLinearGradient Metal(0, 0, 0, 362);
  Metal.setColorAt(0, QColor(214, 222, 236));
  Metal.setColorAt(0.5, QColor(160, 174, 198));
  Metal.setColorAt(1, QColor(112, 126, 152));
  P.fillPath(Body, Metal);
  P.setPen(QPen(QColor(40, 48, 72), 2));
  P.drawPath(Body);
  // The screen with a sweep of sound waves.
  const QRectF Screen(18, 18, 200, 226);
  QLinearGradient Glass(Screen.topLeft(), Screen.bottomRight());
  Glass.setColorAt(0, QColor(10, 30, 60));
  Glass.setColorAt(1, QColor(0, 8, 24));
  P.setRenderHint(QPainter::Antialiasing);
  P.setBrush(Glass);
  P.setPen(QPen(QColor(30, 40, 70), 3));
  P.drawRoundedRect(Screen, 12, 12);
  P.setBrush(Qt::NoBrush);
  for (int Ring = 1; Ring <= 5; ++Ring) {
    P.setPen(QPen(QColor(0, 200 - Ring * 25, 120 + Ring * 20), 3));
    const qreal R = 18.0 * Ring;
    P.drawArc(QRectF(50 - R, 130 - R, 2 * R, 2 * R), -50 * 16, 100 * 16);
  }
  P.setBrush(QColor(0, 230, 140));
  P.setPen(Qt::NoPen);
  P.drawRect(QRectF(34, 115, 12, 30));
  P.drawPolygon(
      QPolygonF({QPointF(46, 115), QPointF(62, 100), QPointF(62, 160), QPointF(46, 145)}));
  // A struck-out mosquito on the right of the screen.
  P.setPen(QPen(QColor(230, 230, 230), 2));
  P.setBrush(QColor(60, 60, 60));
  P.drawEllipse(QRectF(160, 120, 34, 12));
  P.drawEllipse(QRectF(150, 118, 14, 14));
  P.drawLine(QPointF(150, 125), QPointF(136, 128));
  for (int Leg = 0; Leg < 3; ++Leg)
    P.drawLine(QPointF(166 + 8 * Leg, 130), QPointF(160 + 10 * Leg, 150));
  P.setBrush(QColor(200, 220, 255, 120));
  P.drawEllipse(QRectF(168, 98, 18, 24));
  P.setPen(QPen(QColor(230, 40, 40), 4));
  P.setBrush(Qt::NoBrush);
  P.drawEllipse(QRectF(128, 92, 76, 70));
  P.drawLine(QPointF(140, 104), QPointF(192, 150));
  // Status panel, selector well and button well.
  P.setPen(QPen(QColor(60, 70, 100), 2));
  P.setBrush(QColor(235, 240, 250));
  P.drawRoundedRect(QRectF(224, 60, 100, 48), 8, 8);
  P.setBrush(QColor(30, 40, 64));
  P.drawRoundedRect(QRectF(46, 252, 168, 44), 8, 8);
  P.setBrush(QColor(0, 128, 128).lighter(170));
  P.drawRoundedRect(QRectF(6, 297, 260, 60), 10, 10);
  P.end();
  // No shading may turn any inner pixel into the exact teal of the outside.
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      if (Image.pixel(X, Y) == qRgb(0, 128, 128) && Body.contains(QPointF(X + 0.5, Y + 0.5)))
        Image.setPixel(X, Y, qRgb(0, 129, 128));
  Save(Image, "skin.png");
}

// Round grey button on a mint background (the outside of the button's shape).
void ButtonFace(const char* Name, bool Down) {
  QImage Image = Canvas(100, 100, QColor(125, 255, 200));
  QPainter P(&Image);
  P.setRenderHint(QPainter::Antialiasing, false);
  QRadialGradient Face(Down ? QPointF(58, 60) : QPointF(40, 36), 60);
  Face.setColorAt(0, Down ? QColor(150, 150, 150) : QColor(245, 245, 245));
  Face.setColorAt(1, Down ? QColor(90, 90, 90) : QColor(130, 130, 130));
  P.setBrush(Face);
  P.setPen(QPen(QColor(50, 50, 50), 3));
  P.drawEllipse(QRectF(5, 5, 90, 90));
  P.end();
  // Tinted with the buttons' teal, silver would become the skin's transparent teal on screen.
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      if (Image.pixel(X, Y) == qRgb(192, 192, 192)) Image.setPixel(X, Y, qRgb(192, 192, 193));
  Save(Image, Name);
}

// 32 x 32 glyphs; the bottom-left pixel's colour is their transparent colour.
QImage GlyphCanvas() {
  return Canvas(32, 32, QColor(255, 0, 255));
}

void Glyphs() {
  QImage Go = GlyphCanvas();
  {
    QPainter P(&Go);
    P.setBrush(QColor(0, 170, 0));
    P.setPen(QPen(QColor(0, 80, 0), 2));
    P.drawPolygon(QPolygon({QPoint(9, 5), QPoint(27, 16), QPoint(9, 27)}));
  }
  Save(Go, "glyph-go.png");
  QImage Stop = GlyphCanvas();
  {
    QPainter P(&Stop);
    P.setBrush(QColor(210, 0, 0));
    P.setPen(QPen(QColor(100, 0, 0), 2));
    P.drawRect(8, 8, 16, 16);
  }
  Save(Stop, "glyph-stop.png");
  QImage Close = GlyphCanvas();
  {
    QPainter P(&Close);
    P.setPen(QPen(QColor(20, 20, 120), 5, Qt::SolidLine, Qt::RoundCap));
    P.drawLine(8, 8, 24, 24);
    P.drawLine(24, 8, 8, 24);
  }
  Save(Close, "glyph-close.png");
  QImage About = GlyphCanvas();
  {
    QPainter P(&About);
    P.setBrush(QColor(30, 80, 200));
    P.setPen(Qt::NoPen);
    P.drawEllipse(4, 4, 24, 24);
    P.setPen(Qt::white);
    QFont Font("DejaVu Serif", 15, QFont::Bold);
    P.setFont(Font);
    P.drawText(QRect(4, 4, 24, 24), Qt::AlignCenter, "i");
  }
  Save(About, "glyph-about.png");
  QImage Config = GlyphCanvas();
  {
    // Unsmoothed: edge pixels blended with the magenta key would be drawn as a pink fringe.
    QPainter P(&Config);
    P.translate(16, 16);
    P.setBrush(QColor(90, 90, 110));
    P.setPen(Qt::NoPen);
    for (int Tooth = 0; Tooth < 8; ++Tooth) {
      P.drawRect(QRectF(-3, -14, 6, 8));
      P.rotate(45);
    }
    P.drawEllipse(QRectF(-10, -10, 20, 20));
    P.setBrush(QColor(255, 0, 255));
    P.drawEllipse(QRectF(-4, -4, 8, 8));
  }
  Save(Config, "glyph-config.png");
}

void TrayIcon() {
  QImage Image(32, 32, QImage::Format_ARGB32);
  Image.fill(Qt::transparent);
  QPainter P(&Image);
  P.setRenderHint(QPainter::Antialiasing);
  P.setBrush(QColor(0, 128, 128));
  P.setPen(QPen(QColor(0, 60, 60), 2));
  P.drawEllipse(QRectF(1, 1, 30, 30));
  P.setBrush(Qt::white);
  P.setPen(Qt::NoPen);
  P.drawRect(QRectF(7, 12, 5, 8));
  P.drawPolygon(QPolygonF({QPointF(12, 12), QPointF(18, 7), QPointF(18, 25), QPointF(12, 20)}));
  P.setPen(QPen(Qt::white, 2));
  P.setBrush(Qt::NoBrush);
  P.drawArc(QRectF(14, 10, 10, 12), -60 * 16, 120 * 16);
  P.drawArc(QRectF(12, 6, 16, 20), -60 * 16, 120 * 16);
  Save(Image, "tray.png");
}

// Twelve 24 x 22 frames: a magnifier circling over a small monitor.
void Clip() {
  constexpr int Frames = 12;
  QImage Image = Canvas(24 * Frames, 22, QColor(192, 192, 192));
  QPainter P(&Image);
  P.setRenderHint(QPainter::Antialiasing);
  for (int F = 0; F < Frames; ++F) {
    P.save();
    P.translate(24 * F, 0);
    P.setPen(QPen(Qt::black, 1));
    P.setBrush(QColor(220, 220, 220));
    P.drawRect(QRectF(3.5, 4.5, 15, 11));
    P.setBrush(QColor(0, 0, 128));
    P.drawRect(QRectF(5.5, 6.5, 11, 7));
    P.drawLine(QPointF(11, 16), QPointF(11, 18));
    P.drawLine(QPointF(6, 18.5), QPointF(16, 18.5));
    const double Angle = 2 * M_PI * F / Frames;
    const QPointF Lens(12 + 6 * std::cos(Angle), 10 + 4 * std::sin(Angle));
    P.setPen(QPen(QColor(120, 60, 0), 2));
    P.drawLine(Lens + QPointF(2.5, 2.5), Lens + QPointF(6, 6));
    P.setPen(QPen(Qt::black, 1));
    P.setBrush(QColor(200, 240, 255, 200));
    P.drawEllipse(Lens, 3.5, 3.5);
    P.restore();
  }
  Save(Image, "findcomputer.png");
}

// Decorations of the Adjustment dialog, stored as JPEG.
void Decoration(const char* Name, int W, int H, QColor From, QColor To, int Seed) {
  QImage Image(W, H, QImage::Format_RGB32);
  QPainter P(&Image);
  P.setRenderHint(QPainter::Antialiasing);
  QLinearGradient Sky(0, 0, W, H);
  Sky.setColorAt(0, From);
  Sky.setColorAt(1, To);
  P.fillRect(Image.rect(), Sky);
  P.setBrush(Qt::NoBrush);
  for (int Wave = 0; Wave < 7; ++Wave) {
    P.setPen(QPen(QColor::fromHsv((Seed * 40 + Wave * 30) % 360, 180, 255), 2));
    QPainterPath Line;
    const double Base = H * (Wave + 1) / 8.0;
    Line.moveTo(0, Base);
    for (int X = 0; X <= W; X += 2)
      Line.lineTo(X, Base + 6 * std::sin((X + Seed * 13) / (6.0 + Wave)));
    P.drawPath(Line);
  }
  P.setPen(QPen(QColor(255, 255, 255, 200), 3));
  P.setBrush(QColor(0, 0, 0, 90));
  P.drawEllipse(QRectF(W / 2.0 - 18, H / 2.0 - 18, 36, 36));
  P.end();
  Save(Image, Name, "JPG", 90);
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication Application(argc, argv);
  Dir = argc > 1 ? argv[1] : ".";
  Skin();
  ButtonFace("button-up.png", false);
  ButtonFace("button-down.png", true);
  Glyphs();
  TrayIcon();
  Clip();
  Decoration("setup.jpg", 117, 120, QColor(0, 40, 90), QColor(0, 120, 110), 1);
  Decoration("author.jpg", 105, 125, QColor(60, 0, 80), QColor(0, 60, 120), 2);
  Decoration("speaker-front.jpg", 105, 105, QColor(20, 20, 20), QColor(90, 70, 30), 3);
  Decoration("speaker-back.jpg", 105, 105, QColor(30, 50, 20), QColor(10, 10, 60), 4);
  return 0;
}
