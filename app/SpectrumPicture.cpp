#include "app/SpectrumPicture.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/audio/Passband.h"
#include "platform/core/Exceptions.h"

namespace {

constexpr double TopDecibels = 0, BottomDecibels = -140, GridDecibels = 20;
constexpr double HearingLimit = 20000;

const QColor SpectrumLine(20, 60, 150), SpectrumFill(170, 195, 235);
const QColor HearingColour(0, 130, 60), DeviceColour(200, 30, 30), ToneColour(230, 120, 0);
const QColor Unplayable(255, 225, 225), Grid(225, 225, 225);

struct TAxes {
  QRectF Plot;
  double TopHertz;

  double X(double Hertz) const { return Plot.left() + Plot.width() * Hertz / TopHertz; }
  double Y(double Decibels) const {
    const double Clamped = std::clamp(Decibels, BottomDecibels, TopDecibels);
    return Plot.top() + Plot.height() * (TopDecibels - Clamped) / (TopDecibels - BottomDecibels);
  }
};

QFont Font(int Pixels, bool Bold = false) {
  QFont Result;
  Result.setPixelSize(Pixels);
  Result.setBold(Bold);
  return Result;
}

std::string Kilohertz(double Hertz) {
  const double K = Hertz / 1000;
  char Text[32];
  std::snprintf(Text, sizeof Text, K == std::floor(K) ? "%.0f" : "%.2f", K);
  return Text;
}

void PaintGrid(QPainter& Painter, const TAxes& Axes) {
  Painter.setFont(Font(11));
  for (double Db = TopDecibels; Db >= BottomDecibels; Db -= GridDecibels) {
    const double Y = Axes.Y(Db);
    Painter.setPen(Grid);
    Painter.drawLine(QPointF(Axes.Plot.left(), Y), QPointF(Axes.Plot.right(), Y));
    Painter.setPen(Qt::black);
    Painter.drawText(QRectF(0, Y - 8, Axes.Plot.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                     QString::number(int(Db)) + " dB");
  }
  const double Step = Axes.TopHertz > 30000 ? 5000 : 2500;
  for (double Hertz = 0; Hertz <= Axes.TopHertz; Hertz += Step) {
    const double X = Axes.X(Hertz);
    Painter.setPen(Grid);
    Painter.drawLine(QPointF(X, Axes.Plot.top()), QPointF(X, Axes.Plot.bottom()));
    Painter.setPen(Qt::black);
    Painter.drawText(QRectF(X - 30, Axes.Plot.bottom() + 4, 60, 16), Qt::AlignCenter,
                     QString::fromStdString(Kilohertz(Hertz)));
  }
  Painter.drawText(QRectF(Axes.Plot.left(), Axes.Plot.bottom() + 20, Axes.Plot.width(), 16),
                   Qt::AlignCenter, "frequency (kHz)");
}

// One point per pixel column: the loudest bin that falls into it, so no narrow line is lost.
void PaintCurve(QPainter& Painter, const TAxes& Axes, const TSpectrum& Spectrum) {
  const int Columns = std::max(1, int(Axes.Plot.width()));
  const double HertzPerColumn = Axes.TopHertz / Columns;
  QPolygonF Curve;
  Curve << QPointF(Axes.Plot.left(), Axes.Plot.bottom());
  for (int Column = 0; Column < Columns; ++Column) {
    const double From = Column * HertzPerColumn;
    double Level = Spectrum.PeakIn(From, From + HertzPerColumn);
    if (std::isinf(Level)) {  // fewer bins than columns: the nearest bin
      const auto Bin = std::min(std::size_t(std::lround(From / Spectrum.BinHertz)),
                                Spectrum.Decibels.size() - 1);
      Level = Spectrum.Decibels[Bin];
    }
    Curve << QPointF(Axes.Plot.left() + Column + 0.5, Axes.Y(Level));
  }
  Curve << QPointF(Axes.Plot.right(), Axes.Plot.bottom());
  Painter.setPen(Qt::NoPen);
  Painter.setBrush(SpectrumFill);
  Painter.drawPolygon(Curve);
  Painter.setPen(QPen(SpectrumLine, 1.2));
  Painter.setBrush(Qt::NoBrush);
  Painter.drawPolyline(Curve.mid(1, Curve.size() - 2));
}

// A vertical line at Hertz (held at the right edge when beyond it) with its label in its own
// row at the top of the plot, on whichever side has room; in a narrow plot the label is kept
// inside it and shortened rather than cut off at the picture's edge.
void PaintMark(QPainter& Painter, const TAxes& Axes, double Hertz, const QColor& Colour,
               Qt::PenStyle Style, int Row, const std::string& Label) {
  const double X = std::min(Axes.X(Hertz), Axes.Plot.right());
  Painter.setPen(QPen(Colour, 2, Style));
  Painter.drawLine(QPointF(X, Axes.Plot.top()), QPointF(X, Axes.Plot.bottom()));
  Painter.setFont(Font(12, true));
  const QString Text = Painter.fontMetrics().elidedText(QString::fromStdString(Label),
                                                        Qt::ElideRight, int(Axes.Plot.width()) - 8);
  const double Width = Painter.fontMetrics().horizontalAdvance(Text) + 8;
  const bool Right = X + Width + 4 <= Axes.Plot.right();
  const double Left = std::max(Right ? X + 4 : X - 4 - Width, Axes.Plot.left());
  const QRectF Box(Left, Axes.Plot.top() + 6 + Row * 20, Width, 18);
  Painter.fillRect(Box, QColor(255, 255, 255, 220));
  Painter.setPen(Colour);
  Painter.drawText(Box, Qt::AlignCenter, Text);
}

// The highest frequency an output at Rate carries of an image whose half rate is ImageHalf: the
// edge of the program's own conversion when it runs below the image's rate.
double CarriedUpTo(std::uint32_t Rate, double ImageHalf) {
  return Rate / 2.0 < ImageHalf ? PassbandEdge(Rate) : Rate / 2.0;
}

std::string DeviceText(std::uint32_t Rate, double Edge, bool Cuts) {
  if (Rate == 0) return "No output device could be opened.";
  return "The output device runs at " + std::to_string(Rate) + " Hz" +
         (Cuts ? "; it cannot carry the shaded part at or above " + Kilohertz(Edge) + " kHz."
               : " and can play the whole picture.");
}

void DropNotes(QtMsgType Type, const QMessageLogContext&, const QString& Message) {
  if (Type == QtCriticalMsg || Type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", Message.toLocal8Bit().constData());
}

}  // namespace

void PaintSpectrum(QPainter& Painter, const QRect& Area, const TSpectrumPicture& Picture,
                   TDeviceNote DeviceNote) {
  const TSpectrum& Spectrum = Picture.Spectrum;
  Painter.save();
  Painter.setRenderHint(QPainter::Antialiasing);
  Painter.fillRect(Area, Qt::white);
  const TAxes Axes{QRectF(Area.left() + 64, Area.top() + 40, Area.width() - 84,
                          Area.height() - (DeviceNote == TDeviceNote::Shown ? 116 : 80)),
                   std::max(Spectrum.Rate / 2.0, 1.0)};

  Painter.setPen(Qt::black);
  Painter.setFont(Font(14, true));
  Painter.drawText(QRectF(Area.left() + 8, Area.top() + 6, Area.width() - 16, 22),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(Picture.Title));

  const double DeviceHalf = Picture.DeviceRate / 2.0;
  const double Edge = CarriedUpTo(Picture.DeviceRate, Axes.TopHertz);
  const bool DeviceCuts = Picture.DeviceRate > 0 && DeviceHalf < Axes.TopHertz;
  if (DeviceCuts)
    Painter.fillRect(QRectF(QPointF(Axes.X(Edge), Axes.Plot.top()), Axes.Plot.bottomRight()),
                     Unplayable);
  PaintGrid(Painter, Axes);
  if (!Spectrum.Decibels.empty()) PaintCurve(Painter, Axes, Spectrum);
  Painter.setPen(Qt::black);
  Painter.setBrush(Qt::NoBrush);
  Painter.drawRect(Axes.Plot);

  // Broken lines over the curve, so the peaks under them still show.
  PaintMark(Painter, Axes, double(Picture.ToneHertz), ToneColour, Qt::DashLine, 0,
            "tone " + std::to_string(Picture.ToneHertz) + " Hz");
  if (HearingLimit < Axes.TopHertz)
    PaintMark(Painter, Axes, HearingLimit, HearingColour, Qt::DotLine, 1,
              "20 kHz: limit of human hearing");
  if (Picture.DeviceRate != 0)
    PaintMark(Painter, Axes, Edge, DeviceColour, Qt::SolidLine, 2,
              (DeviceCuts ? "the output carries up to " : "half the device's rate: ") +
                  Kilohertz(Edge) + " kHz");
  if (DeviceNote == TDeviceNote::Shown) {
    Painter.setPen(Qt::black);
    Painter.setFont(Font(12));
    // A narrow picture wraps the note onto a second line instead of cutting it off.
    Painter.drawText(QRectF(Axes.Plot.left(), Axes.Plot.bottom() + 38, Axes.Plot.width(), 36),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromStdString(DeviceText(Picture.DeviceRate, Edge, DeviceCuts)));
  }
  Painter.restore();
}

void WriteSpectrumPng(const TSpectrumPicture& Picture, const std::string& FileName) {
  // Text needs a font database, which comes with an application object; the offscreen
  // platform needs no display.
  std::unique_ptr<QGuiApplication> Own;
  QtMessageHandler Previous = nullptr;
  if (!QCoreApplication::instance()) {
    // Its start-up notes (such as a missing XDG_RUNTIME_DIR) are no business of a picture.
    Previous = qInstallMessageHandler(DropNotes);
    static int Argc = 3;
    static char Name[] = "tessolon", Option[] = "-platform", Platform[] = "offscreen";
    static char* Argv[] = {Name, Option, Platform, nullptr};
    Own = std::make_unique<QGuiApplication>(Argc, Argv);
  }
  QImage Image(960, 480, QImage::Format_RGB32);
  {
    QPainter Painter(&Image);
    PaintSpectrum(Painter, Image.rect(), Picture, TDeviceNote::Shown);
  }
  const bool Saved = Image.save(QString::fromStdString(FileName), "PNG");
  if (Own) {
    Own.reset();
    qInstallMessageHandler(Previous);
  }
  if (!Saved) throw Exception("cannot write the picture '" + FileName + "'");
}
