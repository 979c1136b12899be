#include "app/SpectrumPicture.h"

#include <QFont>
#include <QFontMetricsF>
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
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"

namespace {

constexpr double TopDecibels = 0, BottomDecibels = -140, GridDecibels = 20;
constexpr double HearingLimit = 20000;

const QColor SpectrumLine(20, 60, 150), SpectrumFill(170, 195, 235);
const QColor HearingColour(0, 130, 60), DeviceColour(200, 30, 30), ToneColour(230, 120, 0);
const QColor PartialColour(150, 90, 170);
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

// A line of text and where it goes. Labels are placed one by one, most important first; one that
// would meet a label already placed, or leave the picture, is left out.
struct TPlacedLabel {
  QRectF Box;
  QString Text;
  QColor Colour = Qt::black;
  QFont Face;
  int Align = Qt::AlignCenter;
  bool Backed = false;  // over the plot, with a white rim
};

class TLabels {
 public:
  explicit TLabels(const QRectF& Bounds) : FBounds(Bounds) {}
  bool Fits(const QRectF& Box) const {
    if (!FBounds.contains(Box)) return false;
    return std::none_of(FAll.begin(), FAll.end(),
                        [&](const TPlacedLabel& Placed) { return Placed.Box.intersects(Box); });
  }
  bool Place(const TPlacedLabel& Label) {
    if (!Fits(Label.Box)) return false;
    FAll.push_back(Label);
    return true;
  }
  const std::vector<TPlacedLabel>& All() const { return FAll; }

 private:
  QRectF FBounds;
  std::vector<TPlacedLabel> FAll;
};

// The level labels' step: every 20 dB where the plot is tall enough, fewer where it is not.
double LabelStep(const TAxes& Axes, double LabelHeight) {
  for (double Step : {20.0, 40.0, 70.0})
    if (Axes.Plot.height() * Step / (TopDecibels - BottomDecibels) >= LabelHeight + 2) return Step;
  return TopDecibels - BottomDecibels;
}

void PaintGrid(QPainter& Painter, const TAxes& Axes) {
  for (double Db = TopDecibels; Db >= BottomDecibels; Db -= GridDecibels) {
    Painter.setPen(Grid);
    Painter.drawLine(QPointF(Axes.Plot.left(), Axes.Y(Db)), QPointF(Axes.Plot.right(), Axes.Y(Db)));
  }
  for (double Hertz = 0; Hertz <= Axes.TopHertz; Hertz += Axes.TopHertz > 30000 ? 5000 : 2500) {
    Painter.setPen(Grid);
    Painter.drawLine(QPointF(Axes.X(Hertz), Axes.Plot.top()),
                     QPointF(Axes.X(Hertz), Axes.Plot.bottom()));
  }
}

void PlaceAxisLabels(const TAxes& Axes, TLabels& Labels) {
  const QFont Small = Font(11);
  const QFontMetricsF Metrics(Small);
  const double Height = Metrics.height();
  const double Step = LabelStep(Axes, Height);
  for (double Db = TopDecibels; Db >= BottomDecibels; Db -= Step)
    Labels.Place({QRectF(0, Axes.Y(Db) - Height / 2, Axes.Plot.left() - 6, Height),
                  QString::number(int(Db)) + " dB", Qt::black, Small,
                  Qt::AlignRight | Qt::AlignVCenter});
  for (double Hertz = 0; Hertz <= Axes.TopHertz; Hertz += Axes.TopHertz > 30000 ? 5000 : 2500) {
    const QString Text = QString::fromStdString(Kilohertz(Hertz));
    const double Width = Metrics.horizontalAdvance(Text) + 6;
    Labels.Place({QRectF(Axes.X(Hertz) - Width / 2, Axes.Plot.bottom() + 4, Width, Height), Text,
                  Qt::black, Small});
  }
  Labels.Place(
      {QRectF(Axes.Plot.left(), Axes.Plot.bottom() + 6 + Height, Axes.Plot.width(), Height),
       QString::fromUtf8(Tr("frequency (kHz)")), Qt::black, Small});
}

// The curve's height in a pixel column of the plot: the loudest bin that falls into it, so no
// narrow line is lost.
double CurveY(const TAxes& Axes, const TSpectrum& Spectrum, int Column) {
  const int Columns = std::max(1, int(Axes.Plot.width()));
  const double HertzPerColumn = Axes.TopHertz / Columns;
  const double From = Column * HertzPerColumn;
  double Level = Spectrum.PeakIn(From, From + HertzPerColumn);
  if (std::isinf(Level)) {  // fewer bins than columns: the nearest bin
    const auto Bin =
        std::min(std::size_t(std::lround(From / Spectrum.BinHertz)), Spectrum.Decibels.size() - 1);
    Level = Spectrum.Decibels[Bin];
  }
  return Axes.Y(Level);
}

// Whether the curve reaches into Box (a line one pixel wide stands a little above its point).
bool MeetsCurve(const TAxes& Axes, const TSpectrum& Spectrum, const QRectF& Box) {
  if (Spectrum.Decibels.empty()) return false;
  const int Columns = std::max(1, int(Axes.Plot.width()));
  const int First = std::max(0, int(Box.left() - Axes.Plot.left()) - 1),
            Last = std::min(Columns - 1, int(Box.right() - Axes.Plot.left()) + 1);
  for (int Column = First; Column <= Last; ++Column)
    if (CurveY(Axes, Spectrum, Column) - 1 < Box.bottom()) return true;
  return false;
}

void PaintCurve(QPainter& Painter, const TAxes& Axes, const TSpectrum& Spectrum) {
  const int Columns = std::max(1, int(Axes.Plot.width()));
  QPolygonF Curve;
  Curve << QPointF(Axes.Plot.left(), Axes.Plot.bottom());
  for (int Column = 0; Column < Columns; ++Column)
    Curve << QPointF(Axes.Plot.left() + Column + 0.5, CurveY(Axes, Spectrum, Column));
  Curve << QPointF(Axes.Plot.right(), Axes.Plot.bottom());
  Painter.setPen(Qt::NoPen);
  Painter.setBrush(SpectrumFill);
  Painter.drawPolygon(Curve);
  Painter.setPen(QPen(SpectrumLine, 1.2));
  Painter.setBrush(Qt::NoBrush);
  Painter.drawPolyline(Curve.mid(1, Curve.size() - 2));
}

// A vertical line at Hertz (held at the right edge when beyond it).
void PaintMarkLine(QPainter& Painter, const TAxes& Axes, double Hertz, const QColor& Colour,
                   Qt::PenStyle Style, double Width = 2) {
  const double X = std::min(Axes.X(Hertz), Axes.Plot.right());
  Painter.setPen(QPen(Colour, Width, Style));
  Painter.drawLine(QPointF(X, Axes.Plot.top()), QPointF(X, Axes.Plot.bottom()));
}

// The label of the mark at Hertz: in the highest free row at the top of the plot, on whichever
// side of the line has room, where it hides none of the curve if any such place is free; in a
// narrow plot shortened rather than cut off, and left out where no row has room.
void PlaceMarkLabel(const TAxes& Axes, const TSpectrum& Spectrum, double Hertz,
                    const QColor& Colour, const std::string& Label, TLabels& Labels) {
  const QFont Bold = Font(12, true);
  const QFontMetricsF Metrics(Bold);
  const double X = std::min(Axes.X(Hertz), Axes.Plot.right());
  const QString Text =
      Metrics.elidedText(QString::fromStdString(Label), Qt::ElideRight, Axes.Plot.width() - 8);
  const double Width = Metrics.horizontalAdvance(Text) + 8, Height = Metrics.height() + 2;
  for (const bool ClearOfCurve : {true, false})
    for (double Top = Axes.Plot.top() + 4; Top + Height <= Axes.Plot.bottom(); Top += Height + 2)
      for (const double Left : {X + 4, X - 4 - Width}) {
        const QRectF Box(std::max(Left, Axes.Plot.left()), Top, Width, Height);
        if (Box.right() <= Axes.Plot.right() &&
            !(ClearOfCurve && MeetsCurve(Axes, Spectrum, Box)) &&
            Labels.Place({Box, Text, Colour, Bold, Qt::AlignCenter, true}))
          return;
      }
}

// The highest frequency an output at Rate carries of an image whose half rate is ImageHalf: the
// edge of the program's own conversion when it runs below the image's rate.
double CarriedUpTo(std::uint32_t Rate, double ImageHalf) {
  return Rate / 2.0 < ImageHalf ? PassbandEdge(Rate) : Rate / 2.0;
}

std::string DeviceText(std::uint32_t Rate, double Edge, bool Cuts) {
  if (Rate == 0) return Tr("No output device could be opened.");
  return Cuts ? FormatMessage(
                    "The output device runs at %u Hz; it cannot carry the shaded part "
                    "at or above %s kHz.",
                    unsigned(Rate), Kilohertz(Edge).c_str())
              : FormatMessage("The output device runs at %u Hz and can play the whole picture.",
                              unsigned(Rate));
}

void DropNotes(QtMsgType Type, const QMessageLogContext&, const QString& Message) {
  if (Type == QtCriticalMsg || Type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", Message.toLocal8Bit().constData());
}

}  // namespace

namespace {

TAxes AxesOf(const QRect& Area, const TSpectrumPicture& Picture, TDeviceNote DeviceNote) {
  return {QRectF(Area.left() + 64, Area.top() + 40, Area.width() - 84,
                 Area.height() - (DeviceNote == TDeviceNote::Shown ? 116 : 80)),
          std::max(Picture.Spectrum.Rate / 2.0, 1.0)};
}

// Every label, placed: the title, the marks' labels (the tone, its partials, 20 kHz, the output's
// limit), the axes' labels and the note on the output device.
TLabels PlaceLabels(const QRect& Area, const TSpectrumPicture& Picture, TDeviceNote DeviceNote) {
  const TAxes Axes = AxesOf(Area, Picture, DeviceNote);
  TLabels Labels{QRectF(Area)};
  Labels.Place({QRectF(Area.left() + 8, Area.top() + 6, Area.width() - 16, 22),
                QString::fromStdString(Picture.Title), Qt::black, Font(14, true),
                Qt::AlignLeft | Qt::AlignVCenter});
  const double Edge = CarriedUpTo(Picture.DeviceRate, Axes.TopHertz);
  const bool DeviceCuts = Picture.DeviceRate > 0 && Picture.DeviceRate / 2.0 < Axes.TopHertz;
  PlaceMarkLabel(Axes, Picture.Spectrum, double(Picture.ToneHertz), ToneColour,
                 FormatMessage("tone %lld Hz", static_cast<long long>(Picture.ToneHertz)), Labels);
  if (HearingLimit < Axes.TopHertz)
    PlaceMarkLabel(Axes, Picture.Spectrum, HearingLimit, HearingColour,
                   Tr("20 kHz: limit of human hearing"), Labels);
  if (Picture.DeviceRate != 0)
    PlaceMarkLabel(Axes, Picture.Spectrum, Edge, DeviceColour,
                   FormatMessage(DeviceCuts ? TrMark("the output carries up to %s kHz")
                                            : TrMark("half the device's rate: %s kHz"),
                                 Kilohertz(Edge).c_str()),
                   Labels);
  for (int64_t Hertz : Picture.PartialHertz)
    if (Hertz < Axes.TopHertz)
      PlaceMarkLabel(Axes, Picture.Spectrum, double(Hertz), PartialColour,
                     FormatMessage("partial %lld Hz", static_cast<long long>(Hertz)), Labels);
  PlaceAxisLabels(Axes, Labels);
  if (DeviceNote == TDeviceNote::Shown)
    // A narrow picture wraps the note onto a second line instead of cutting it off.
    Labels.Place({QRectF(Axes.Plot.left(), Axes.Plot.bottom() + 38, Axes.Plot.width(), 36),
                  QString::fromStdString(DeviceText(Picture.DeviceRate, Edge, DeviceCuts)),
                  Qt::black, Font(12), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap});
  return Labels;
}

}  // namespace

std::vector<QRectF> SpectrumLabelBoxes(QPainter&, const QRect& Area,
                                       const TSpectrumPicture& Picture, TDeviceNote Note) {
  std::vector<QRectF> Boxes;
  const TLabels Labels = PlaceLabels(Area, Picture, Note);
  for (const TPlacedLabel& Label : Labels.All()) Boxes.push_back(Label.Box);
  return Boxes;
}

void PaintSpectrum(QPainter& Painter, const QRect& Area, const TSpectrumPicture& Picture,
                   TDeviceNote DeviceNote) {
  const TSpectrum& Spectrum = Picture.Spectrum;
  Painter.save();
  Painter.setRenderHint(QPainter::Antialiasing);
  Painter.fillRect(Area, Qt::white);
  const TAxes Axes = AxesOf(Area, Picture, DeviceNote);
  const double Edge = CarriedUpTo(Picture.DeviceRate, Axes.TopHertz);
  const bool DeviceCuts = Picture.DeviceRate > 0 && Picture.DeviceRate / 2.0 < Axes.TopHertz;
  if (DeviceCuts)
    Painter.fillRect(QRectF(QPointF(Axes.X(Edge), Axes.Plot.top()), Axes.Plot.bottomRight()),
                     Unplayable);
  PaintGrid(Painter, Axes);
  if (!Spectrum.Decibels.empty()) PaintCurve(Painter, Axes, Spectrum);
  Painter.setPen(Qt::black);
  Painter.setBrush(Qt::NoBrush);
  Painter.drawRect(Axes.Plot);
  // Broken lines over the curve, so the peaks under them still show.
  for (int64_t Hertz : Picture.PartialHertz)
    if (Hertz < Axes.TopHertz)
      PaintMarkLine(Painter, Axes, double(Hertz), PartialColour, Qt::DashLine, 1);
  PaintMarkLine(Painter, Axes, double(Picture.ToneHertz), ToneColour, Qt::DashLine);
  if (HearingLimit < Axes.TopHertz)
    PaintMarkLine(Painter, Axes, HearingLimit, HearingColour, Qt::DotLine);
  if (Picture.DeviceRate != 0) PaintMarkLine(Painter, Axes, Edge, DeviceColour, Qt::SolidLine);
  const TLabels Labels = PlaceLabels(Area, Picture, DeviceNote);
  for (const TPlacedLabel& Label : Labels.All()) {
    // A label over the plot stands out by a white rim round its letters, not a white ground, so
    // the curve still shows between them where no free place was left for it.
    if (Label.Backed) {
      Painter.setPen(Qt::white);
      Painter.setFont(Label.Face);
      for (const QPointF Rim : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
        Painter.drawText(Label.Box.translated(Rim), Label.Align, Label.Text);
    }
    Painter.setPen(Label.Colour);
    Painter.setFont(Label.Face);
    Painter.drawText(Label.Box, Label.Align, Label.Text);
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
