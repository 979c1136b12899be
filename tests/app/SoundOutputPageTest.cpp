// The Adjustment dialog's "Sound output" page, driven with real clicks: the tab, the band-limited
// box (kept in the user's settings, here a scratch folder) and the spectrum redrawn at each tick.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "app/AppClasses.h"
#include "app/SoundOutputPage.h"
#include "app/SpectrumView.h"
#include "app/UMain.h"
#include "app/Util.h"
#include "platform/audio/RecordingSoundService.h"
#include "platform/qt/Application.h"
#include "platform/qt/ComCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "platform/qt/Timer.h"
#include "sound/ToneGen.h"
#include "table/DbaseTable.h"
#include "tests/app/ScratchDataFolder.h"

namespace fs = std::filesystem;

namespace {

class SoundOutputPage : public ::testing::Test {
 protected:
  void SetUp() override {
    Dir = MakeScratchDataFolder("tessolon-sound-page-");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString((Dir / "settings").string()));
    Sound.Rate = 48000;
    frmMain = nullptr;
    RegisterAppClasses();
    CreateDialog();
  }
  void TearDown() override { fs::remove_all(Dir); }

  void CreateDialog() {
    App.CreateForm(frmUtil);
    frmUtil->DbaseTable1->SetFilePath((Dir / "data").string());
    frmUtil->DbaseTable1->Open();
    frmUtil->DbaseTable1->AttachIndexFile("idx.ndx");
    frmUtil->Show();
  }
  void ClickTab(int Index) {
    QTabBar* Bar = frmUtil->PageControl1->Tabs()->tabBar();
    QTest::mouseClick(Bar, Qt::LeftButton, {}, Bar->tabRect(Index).center());
  }
  void ClickBandBox() {
    QWidget* Box = frmUtil->chBand->Widget();
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(6, Box->height() / 2));
  }
  QImage Spectrum() { return frmUtil->pbSpectrum->Widget()->grab().toImage(); }

  TRecordingSoundService Sound;
  TScopedSoundService Scoped{Sound};
  fs::path Dir;
  TApplication App;
};

TEST_F(SoundOutputPage, IsTheThirdPageAndTheFirstTwoStayWhereTheyWere) {
  TPageControl& Pages = *frmUtil->PageControl1;
  ASSERT_EQ(Pages.PageCount(), 3);
  EXPECT_EQ(Pages.Pages(0)->Caption(), "Setup Parameter");
  EXPECT_EQ(Pages.Pages(1)->Caption(), "About Box");
  EXPECT_EQ(Pages.Pages(2)->Caption(), "Sound output");
  EXPECT_EQ(Pages.ActivePageIndex(), 0);
  ClickTab(2);
  EXPECT_EQ(Pages.ActivePageIndex(), 2);
  EXPECT_TRUE(frmUtil->pbSpectrum->Widget()->isVisible());
  // Shown at once: the device's rate and, for the stored 15000-50000 Hz band, what of it cannot
  // be played at 48000 (24000 Hz up) or heard (20000 Hz up).
  EXPECT_EQ(frmUtil->lblRate->Caption(), "Runs at 48000 Hz: it plays nothing at or above 24 kHz.");
  EXPECT_EQ(frmUtil->lblNote->Caption(),
            "The device cannot play 24000-50000 Hz of this band. 20000-50000 Hz of it lies at or "
            "above 20 kHz, beyond adult hearing; children and pets may still hear it.");
  ClickTab(0);
  EXPECT_EQ(Pages.ActivePageIndex(), 0);
  EXPECT_TRUE(frmUtil->chSND->Widget()->isVisible());
}

TEST_F(SoundOutputPage, TheBandLimitedBoxSetsTheToneGeneratorAndIsKeptForTheNextStart) {
  EXPECT_FALSE(frmUtil->chBand->Checked());
  EXPECT_FALSE(frmUtil->ToneGen1->BandLimited());
  ClickTab(2);
  ClickBandBox();
  EXPECT_TRUE(frmUtil->chBand->Checked());
  EXPECT_TRUE(frmUtil->ToneGen1->BandLimited());

  delete frmUtil;
  CreateDialog();
  EXPECT_TRUE(frmUtil->chBand->Checked());
  EXPECT_TRUE(frmUtil->ToneGen1->BandLimited());
  EXPECT_TRUE(fs::exists(Dir / "settings" / "Tessolon" / "Tessolon.conf"));

  ClickTab(2);
  ClickBandBox();
  EXPECT_FALSE(frmUtil->ToneGen1->BandLimited());
  delete frmUtil;
  CreateDialog();
  EXPECT_FALSE(frmUtil->chBand->Checked());
  EXPECT_FALSE(frmUtil->ToneGen1->BandLimited());
}

TEST_F(SoundOutputPage, TheSpectrumIsRedrawnAtEachTickWhileThePageShows) {
  frmUtil->Sweep().Select();
  ClickTab(2);
  const QImage Empty = Spectrum();
  frmUtil->Timer1Timer(frmUtil->Timer1);
  ASSERT_TRUE(frmUtil->pbSpectrum->Picture());
  EXPECT_EQ(frmUtil->pbSpectrum->Picture()->ToneHertz, frmUtil->tbLine->Position());
  EXPECT_EQ(frmUtil->pbSpectrum->Picture()->DeviceRate, 48000u);
  const QImage First = Spectrum();
  EXPECT_NE(First, Empty);
  frmUtil->Timer1Timer(frmUtil->Timer1);
  const QImage Second = Spectrum();
  EXPECT_NE(Second, First);  // the tone moved one step up the band
  EXPECT_EQ(frmUtil->pbSpectrum->Picture()->ToneHertz, frmUtil->tbLine->Position());
  // Hidden behind another page, the ticks go on without analysing.
  ClickTab(0);
  const int64_t Shown = frmUtil->pbSpectrum->Picture()->ToneHertz;
  frmUtil->Timer1Timer(frmUtil->Timer1);
  EXPECT_EQ(frmUtil->pbSpectrum->Picture()->ToneHertz, Shown);
}

TEST(SoundOutputNote, SaysInPlainWordsWhatCannotBePlayedOrHeard) {
  EXPECT_EQ(BandNote({5000, 15000}, 48000),
            "The device can play the whole band (5000-15000 Hz), and people can hear all of it.");
  EXPECT_EQ(BandNote({30000, 25000}, 48000),
            "The device cannot play any of this band (25000-30000 Hz). All of this band "
            "(25000-30000 Hz) lies at or above 20 kHz, beyond adult hearing; children and pets "
            "may still hear it.");
  EXPECT_EQ(BandNote({18000, 22000}, 96000),
            "20000-22000 Hz of it lies at or above 20 kHz, beyond adult hearing; children and pets "
            "may still hear it.");
  EXPECT_EQ(BandNote({5000, 15000}, 0),
            "Without an output device nothing of this band can be played.");
  EXPECT_EQ(OutputRateText(44100), "Runs at 44100 Hz: it plays nothing at or above 22.05 kHz.");
}

}  // namespace
