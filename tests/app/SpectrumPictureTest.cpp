// The spectrum picture as written to a PNG file: its marks stand where their frequencies lie
// on one linear axis, and the part the device cannot play is shaded only when there is one.
#include "app/SpectrumPicture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <filesystem>

#include "platform/audio/Passband.h"
#include "platform/audio/RecordingSoundService.h"
#include "sound/ToneGen.h"
#include "tests/support/ScratchFolder.h"

namespace {

// The columns that hold at least MinPixels pixels of exactly Colour: a vertical mark.
std::vector<int> Columns(const QImage& Image, QRgb Colour, int MinPixels) {
  std::vector<int> Found;
  for (int X = 0; X < Image.width(); ++X) {
    int Count = 0;
    for (int Y = 0; Y < Image.height(); ++Y) Count += Image.pixel(X, Y) == Colour;
    if (Count >= MinPixels) Found.push_back(X);
  }
  return Found;
}

int Count(const QImage& Image, QRgb Colour) {
  int Result = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X) Result += Image.pixel(X, Y) == Colour;
  return Result;
}

double Middle(const std::vector<int>& Xs) {
  return Xs.empty() ? -1 : (Xs.front() + Xs.back()) / 2.0;
}

class SpectrumPictureTest : public testing::Test {
 protected:
  QImage Draw(uint32_t DeviceRate) {
    TSpectrumPicture Picture;
    Picture.Spectrum = AnalyseWaveImage(FTone.GetDataBuffer(), std::size_t(FTone.DataBufferSize()));
    Picture.ToneHertz = FTone.Frequency();
    Picture.DeviceRate = DeviceRate;
    Picture.Title = "test tone";
    WriteSpectrumPng(Picture, FPath);
    return QImage(QString::fromStdString(FPath));
  }
  void SetUp() override {
    FTone.SetFrequency(15000);
    FTone.SetWaveform(tgSquare);
    FTone.SetBandLimited(true);
    ASSERT_TRUE(FTone.Prepare());
  }

  TRecordingSoundService FService;
  TScopedSoundService FInstall{FService};
  TToneGen FTone{nullptr};
  const TScratchFolder FFolder{"tessolon-spectrum-"};
  const std::string FPath = (FFolder / "out.png").string();
  const QRgb ToneColour = qRgb(230, 120, 0), HearingColour = qRgb(0, 130, 60),
             DeviceColour = qRgb(200, 30, 30), Shade = qRgb(255, 225, 225);
};

TEST_F(SpectrumPictureTest, MarksLieOnOneFrequencyAxisAndTheUnplayablePartIsShaded) {
  const QImage Image = Draw(48000);
  ASSERT_FALSE(Image.isNull());
  EXPECT_EQ(Image.size(), QSize(960, 480));
  const double Tone = Middle(Columns(Image, ToneColour, 150));
  const double Hearing = Middle(Columns(Image, HearingColour, 100));
  const double Device = Middle(Columns(Image, DeviceColour, 200));
  ASSERT_TRUE(Tone > 0 && Hearing > Tone && Device > Hearing)
      << Tone << " " << Hearing << " " << Device;
  // 15 and 20 kHz and the edge of what the 48000 Hz output carries, about 21.9 kHz, on one
  // linear axis.
  EXPECT_NEAR((Hearing - Tone) / (Device - Hearing), 5000 / (PassbandEdge(48000) - 20000), 0.15);
  EXPECT_GT(Count(Image, Shade), 50000);

  // A device at the image's rate plays everything: its mark closes the axis at 48 kHz.
  const QImage AtImageRate = Draw(96000);
  const double PixelsPerHertz = (Hearing - Tone) / 5000;
  EXPECT_NEAR(Middle(Columns(AtImageRate, DeviceColour, 200)),
              Tone + (48000 - 15000) * PixelsPerHertz, 2);
  EXPECT_EQ(Count(AtImageRate, Shade), 0);
}

TEST_F(SpectrumPictureTest, NoDeviceNoDeviceMarkAndUnwritableFilesRefused) {
  const QImage NoDevice = Draw(0);
  EXPECT_TRUE(Columns(NoDevice, DeviceColour, 200).empty());
  EXPECT_FALSE(Columns(NoDevice, ToneColour, 150).empty());
  EXPECT_THROW(WriteSpectrumPng(TSpectrumPicture{}, "/nonexistent-dir/x.png"), Exception);
  EXPECT_FALSE(std::filesystem::exists("/nonexistent-dir/x.png"));
}

// The dialog's view is narrow: the 20 kHz label cannot stand left of its line there, so it
// stays inside the plot (which starts 64 pixels in) instead of running off the picture.
TEST_F(SpectrumPictureTest, InANarrowViewTheLabelsStayInsideThePlot) {
  TSpectrumPicture Picture;
  Picture.Spectrum = AnalyseWaveImage(FTone.GetDataBuffer(), std::size_t(FTone.DataBufferSize()));
  Picture.ToneHertz = FTone.Frequency();
  Picture.DeviceRate = 96000;
  QImage Image(409, 172, QImage::Format_RGB32);
  QPainter Painter(&Image);
  PaintSpectrum(Painter, Image.rect(), Picture, TDeviceNote::Left);
  Painter.end();
  int Inside = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      if (Image.pixel(X, Y) == HearingColour) {
        EXPECT_GE(X, 64) << "at " << X << "," << Y;
        ++Inside;
      }
  EXPECT_GT(Inside, 50);
}

}  // namespace
