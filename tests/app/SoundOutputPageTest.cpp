// The Adjustment dialog's "Sound output" page, driven with real clicks: the tab, the band-limited
// box (kept in the user's settings, here a scratch folder) and the spectrum redrawn at each tick.
#include <gtest/gtest.h>

#include <QImage>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "app/SpectrumView.h"
#include "platform/qt/StdCtrls.h"
#include "tests/app/WindowFixture.h"

namespace fs = std::filesystem;

namespace {

// The dialog alone and shown, on an output device that runs at 48000 Hz.
class SoundOutputPage : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    Sound.Rate = 48000;
    CreateDialog();
  }

  void CreateDialog() {
    StartDialog();
    frmUtil->Show();
  }
  // The program's next start, which restores what was kept, with the dialog shown.
  void Restart() {
    EndProgram();
    StartProgram();
    frmUtil->Show();
  }
  void ClickTab(int Index) {
    QTabBar* Bar = Pages().Tabs()->tabBar();
    QTest::mouseClick(Bar, Qt::LeftButton, {}, Bar->tabRect(Index).center());
  }
  void ClickBandBox() {
    QWidget* Box = Util<TCheckBox>("chBand").Widget();
    QTest::mouseClick(Box, Qt::LeftButton, {}, QPoint(6, Box->height() / 2));
  }
  TSpectrumView& SpectrumView() { return Util<TSpectrumView>("pbSpectrum"); }
  QImage Spectrum() { return SpectrumView().Widget()->grab().toImage(); }
};

TEST_F(SoundOutputPage, IsTheThirdPageAndTheFirstTwoStayWhereTheyWere) {
  TPageControl& Pages = this->Pages();
  ASSERT_EQ(Pages.PageCount(), 3);
  EXPECT_EQ(Pages.Pages(0)->Caption(), "Setup Parameter");
  EXPECT_EQ(Pages.Pages(1)->Caption(), "About Box");
  EXPECT_EQ(Pages.Pages(2)->Caption(), "Sound output");
  EXPECT_EQ(Pages.ActivePageIndex(), 0);
  ClickTab(2);
  EXPECT_EQ(Pages.ActivePageIndex(), 2);
  EXPECT_TRUE(SpectrumView().Widget()->isVisible());
  // Shown at once: the output and its rate and, for the stored 15000-50000 Hz band, what its
  // tones carry into hearing (measured) and what of it cannot be carried at 48000 (21872 Hz up,
  // the edge of the program's own conversion).
  EXPECT_EQ(Util<TLabel>("lblDevice").Caption(), "Output: SDL's recording driver at 48000 Hz");
  EXPECT_EQ(Util<TLabel>("lblRate").Caption(), "It carries nothing at or above 21.9 kHz.");
  EXPECT_EQ(Util<TLabel>("lblNote").Caption(),
            "These tones carry audible sound: -16 dBFS, mostly the main tone (15-20 kHz) and the "
            "partial at 0.3 × the frequency (4.5-6.53 kHz). The output cannot carry "
            "21872-50000 Hz of this band.");
  ClickTab(0);
  EXPECT_EQ(Pages.ActivePageIndex(), 0);
  EXPECT_TRUE(Util<TCheckBox>("chSND").Widget()->isVisible());
}

TEST_F(SoundOutputPage, TheBandLimitedBoxSetsTheToneGeneratorAndIsKeptForTheNextStart) {
  EXPECT_FALSE(Util<TCheckBox>("chBand").Checked());
  EXPECT_FALSE(Tone().BandLimited());
  ClickTab(2);
  ClickBandBox();
  EXPECT_TRUE(Util<TCheckBox>("chBand").Checked());
  EXPECT_TRUE(Tone().BandLimited());

  Restart();
  EXPECT_TRUE(Util<TCheckBox>("chBand").Checked());
  EXPECT_TRUE(Tone().BandLimited());
  EXPECT_TRUE(fs::exists(Dir / "settings" / "Tessolon" / "Tessolon.conf"));

  ClickTab(2);
  ClickBandBox();
  EXPECT_FALSE(Tone().BandLimited());
  Restart();
  EXPECT_FALSE(Util<TCheckBox>("chBand").Checked());
  EXPECT_FALSE(Tone().BandLimited());
}

// A tick whose tone the output cannot carry: the page says the tick is silent and why.
TEST_F(SoundOutputPage, SaysWhyATickIsSilent) {
  frmUtil->Session().Select(TVariant());
  ClickTab(2);
  TSweepState State = frmUtil->Session().State();
  State.SetBand(25000, 40000);  // every tone of it above the 48000 output's edge
  frmUtil->Session().SetState(State);
  Band().SetPosition(29500);
  Tick();
  EXPECT_EQ(Sound.Count(scPlay), 0);
  EXPECT_EQ(Util<TLabel>("lblNote").Caption().rfind(
                "This tick, " + std::to_string(Band().Position()) +
                    " Hz, is silent: the output at 48000 Hz cannot carry it. These tones carry no "
                    "audible sound. The output cannot carry any of this band (25000-40000 Hz).",
                0),
            0u)
      << Util<TLabel>("lblNote").Caption();
}

TEST_F(SoundOutputPage, TheSpectrumIsRedrawnAtEachTickWhileThePageShows) {
  frmUtil->Session().Select(TVariant());
  ClickTab(2);
  const QImage Empty = Spectrum();
  Tick();
  ASSERT_TRUE(SpectrumView().Picture());
  EXPECT_EQ(SpectrumView().Picture()->ToneHertz, Band().Position());
  EXPECT_EQ(SpectrumView().Picture()->DeviceRate, 48000u);
  const QImage First = Spectrum();
  EXPECT_NE(First, Empty);
  Tick();
  const QImage Second = Spectrum();
  EXPECT_NE(Second, First);  // the tone moved one step up the band
  EXPECT_EQ(SpectrumView().Picture()->ToneHertz, Band().Position());
  // Hidden behind another page, the ticks go on without analysing.
  ClickTab(0);
  const int64_t Shown = SpectrumView().Picture()->ToneHertz;
  Tick();
  EXPECT_EQ(SpectrumView().Picture()->ToneHertz, Shown);
}

}  // namespace
