// The spectrum picture's labels at the "Sound output" page's size and at the size of the file
// the tone command writes: no two of them overlap, none leaves the picture, and the levels keep
// labels however short the plot.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "app/SpectrumPicture.h"
#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneGen.h"

namespace {

struct TPictureCase {
  int Hertz;
  float Partial;  // the added partial's multiple of the tone, or 0 for none
  uint32_t DeviceRate;
};

TSpectrumPicture Picture(const TPictureCase& Case) {
  TRecordingSoundService Service;
  TScopedSoundService Scope(Service);
  TToneGen Tone(nullptr);
  Tone.SetFrequency(Case.Hertz);
  if (Case.Partial > 0) {
    Tone.SetAMAmplitude(30);
    Tone.SetAMFrequency(Case.Partial);
  }
  EXPECT_TRUE(Tone.Prepare());
  TSpectrumPicture Result;
  Result.Spectrum = AnalyseWaveImage(Tone.GetDataBuffer(), std::size_t(Tone.DataBufferSize()));
  Result.ToneHertz = Tone.Frequency();
  Result.PartialHertz = SoundingPartials(Tone.Settings());
  Result.DeviceRate = Case.DeviceRate;
  Result.Title = "Tone " + std::to_string(Case.Hertz) + " Hz, plain synthesis";
  return Result;
}

}  // namespace

TEST(SpectrumLabels, NoTwoLabelsOverlapAtThePagesSizeOrTheFilesSize) {
  const TPictureCase Cases[] = {{440, 0.3f, 48000},
                                {30000, 0.3f, 96000},
                                {21000, 1.02f, 44100},
                                {25000, 0.3f, 0},
                                {20500, 0.99f, 48000}};
  // The page's picture (frmUtil.dfm's pbSpectrum, without the note under it) and the file's.
  const std::pair<QSize, TDeviceNote> Sizes[] = {{QSize(409, 114), TDeviceNote::Left},
                                                 {QSize(960, 480), TDeviceNote::Shown}};
  for (const auto& [Size, Note] : Sizes)
    for (const TPictureCase& Case : Cases) {
      SCOPED_TRACE(std::to_string(Size.width()) + "x" + std::to_string(Size.height()) + ", " +
                   std::to_string(Case.Hertz) + " Hz");
      const TSpectrumPicture Shown = Picture(Case);
      QImage Image(Size, QImage::Format_RGB32);
      QPainter Painter(&Image);
      PaintSpectrum(Painter, Image.rect(), Shown, Note);
      const std::vector<QRectF> Boxes = SpectrumLabelBoxes(Painter, Image.rect(), Shown, Note);
      int Levels = 0;
      for (std::size_t I = 0; I < Boxes.size(); ++I) {
        EXPECT_TRUE(QRectF(Image.rect()).contains(Boxes[I])) << I;
        for (std::size_t J = I + 1; J < Boxes.size(); ++J)
          EXPECT_FALSE(Boxes[I].intersects(Boxes[J])) << I << " and " << J;
        Levels += Boxes[I].left() == 0;  // the level labels stand at the left edge
      }
      EXPECT_GE(Levels, 2);
    }
}

// A loud band just above a partial's mark, where its label would go first: the band's top stays in
// sight (the label goes where it hides nothing, and hides no ground under its letters).
TEST(SpectrumLabels, AMarksLabelLeavesTheCurvesPeaksInSight) {
  TSpectrumPicture Shown;
  Shown.Spectrum.Rate = 96000;
  Shown.Spectrum.BinHertz = 10;
  Shown.Spectrum.Decibels.assign(4801, -140);
  for (int Bin = 1100; Bin <= 1140; ++Bin) Shown.Spectrum.Decibels[Bin] = -5;  // 11.0-11.4 kHz
  Shown.ToneHertz = 35500;
  Shown.PartialHertz = {10650};
  Shown.DeviceRate = 96000;
  Shown.Title = "Tone 35500 Hz";
  QImage Image(960, 480, QImage::Format_RGB32);
  QPainter Painter(&Image);
  PaintSpectrum(Painter, Image.rect(), Shown, TDeviceNote::Shown);
  // The curve's line colour in the rows at the band's top (-5 dB lies some 13 rows into the plot).
  const QColor Line(20, 60, 150);
  int Seen = 0;
  for (int Y = 40; Y <= 57; ++Y)
    for (int X = 0; X < Image.width(); ++X) {
      const QColor C = Image.pixelColor(X, Y);
      Seen += std::abs(C.red() - Line.red()) + std::abs(C.green() - Line.green()) +
                  std::abs(C.blue() - Line.blue()) <
              60;
    }
  EXPECT_GT(Seen, 0);
}
