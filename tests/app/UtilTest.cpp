#include "app/Util.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <optional>

#include "app/MyTools2.h"
#include "platform/core/DefinitionWriter.h"
#include "platform/qt/DbCtrls.h"
#include "platform/qt/StdCtrls.h"
#include "shell/BalloonTip.h"
#include "sound/ToneGen.h"
#include "sweep/DialogDefaults.h"
#include "tests/app/WindowFixture.h"
#include "tests/platform/qt/ListDriver.h"
#include "tests/support/FileSizeLimit.h"

namespace {

// Catches what the desktop's opener is asked to open.
class TUrlCatcher : public QObject {
  Q_OBJECT
 public:
  TUrlCatcher() { QDesktopServices::setUrlHandler("http", this, "Open"); }
  ~TUrlCatcher() override { QDesktopServices::unsetUrlHandler("http"); }
  QStringList Opened;
 public slots:
  void Open(const QUrl& Url) { Opened << Url.toString(); }
};

TEST(OpenLink, OpensTheSchemePrefixAndTextOrTheDefaultAddress) {
  TUrlCatcher Catcher;
  OpenLink(nullptr, "www.example.org/pests");
  OpenLink(nullptr, "");
  OpenLink(nullptr, "http://already.example");
  ASSERT_EQ(Catcher.Opened.size(), 3);
  EXPECT_EQ(Catcher.Opened[0], "http://www.example.org/pests");
  EXPECT_TRUE(Catcher.Opened[1].startsWith("http://")) << Catcher.Opened[1].toStdString();
  EXPECT_EQ(LinkAddress("http://already.example"), "http://http://already.example");
  EXPECT_EQ(LinkAddress(std::string(400, 'w')).size(), 255);
}

// The dialog alone, its table opened on a scratch copy of the shipped pest table.
class Dialog : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    Start();
  }
  virtual void Start() { StartDialog(); }

  // Types Text into a bound box as the user does.
  void Type(const char* Name, const QString& Text) {
    QLineEdit* Line = Util<TDBEdit>(Name).LineEdit();
    Line->selectAll();
    for (QChar C : Text) {
      QKeyEvent Press(QEvent::KeyPress, 0, Qt::NoModifier, QString(C));
      QCoreApplication::sendEvent(Line, &Press);
    }
  }
};

TEST_F(Dialog, IsBuiltFromItsDefinitionAndStartsWithTheStoredSettings) {
  EXPECT_EQ(frmUtil->Caption(), "Adjustment");
  EXPECT_EQ(frmUtil->ClientWidth(), 429);
  EXPECT_EQ(frmUtil->ClientHeight(), 324);
  ASSERT_EQ(Pages().PageCount(), 3);
  EXPECT_EQ(Pages().Pages(0)->Caption(), "Setup Parameter");
  EXPECT_EQ(Pages().Pages(1)->Caption(), "About Box");
  EXPECT_EQ(Pages().Pages(2)->Caption(), "Sound output");
  EXPECT_EQ(Band().Min(), 15000);
  EXPECT_EQ(Band().Max(), 50000);
  EXPECT_EQ(Band().Position(), 15000);
  EXPECT_FALSE(Timer().Enabled());
  EXPECT_EQ(Timer().Interval(), 1000);
  EXPECT_TRUE(Tone().Loop());
  EXPECT_EQ(Tone().AMAmplitude(), 30);
  EXPECT_FLOAT_EQ(Tone().AMFrequency(), 0.3f);
  EXPECT_EQ(Table().TableName(), "para.dbf");
  EXPECT_EQ(Table().IndexesText(), std::vector<std::string>{"idx.ndx;IDX;ixPrimary,ixUnique"});
  for (const char* Box : {"chster", "chPlay", "chSND", "chAuto", "chReso", "chQual"})
    EXPECT_TRUE(Util<TCheckBox>(Box).Checked()) << Box;
  const TStringList Waves{"Sine  ", "Square", "Triangle", "Sawtooth", "Noise"};
  EXPECT_EQ(Util<TComboBox>("cbWavForm").Items(), Waves);
  // What FormCreate shows.
  EXPECT_EQ(Util<TComboBox>("cbWavForm").ItemIndex(), 0);
  EXPECT_EQ(Util<TLabel>("lbloct").Caption(), "4");
  EXPECT_EQ(Util<TLabel>("lblAmp").Caption(), "30");
  EXPECT_EQ(Util<TEdit>("edVL").Text(), "60");
  EXPECT_EQ(Util<TEdit>("edVR").Text(), "80");
  EXPECT_EQ(Util<TDBEdit>("edPest").Text(), Table().FieldByName("NAME_PEST")->AsString());
  // The headless sweep reads the same settings from the definition, without the widgets.
  EXPECT_EQ(frmUtil->Session().Settings(), StoredDialogDefaults().Settings);
  EXPECT_EQ(frmUtil->Session().State(), StoredDialogDefaults().State);
  TToneGen Headless(nullptr);
  ApplyDialogToneSettings(Headless);
  EXPECT_EQ(WriteDefinition(Headless), WriteDefinition(Tone()));
  // The dialog's tips: four for its buttons, twelve that also name boxes for screen readers.
  ASSERT_TRUE(TipWindow);
  EXPECT_EQ(TipWindow->parentWidget(), frmUtil->Widget());
  EXPECT_EQ(TipWindow->ToolCount(), 16);
  EXPECT_EQ(TipWindow->Title(), "Info");
  EXPECT_EQ(TipWindow->Icon(), tiInfo);
  EXPECT_EQ(TipWindow->ToolText(Util<TControl>("btnPrev").Widget()), "Move Previous");
  EXPECT_EQ(TipWindow->ToolText(Util<TControl>("btnClose").Widget()), "Close return to main");
}

TEST_F(Dialog, SlidersAndBoxesReachTheToneGeneratorAsTheirHandlersSay) {
  Util<TTrackBar>("tbL").SetPosition(25);
  EXPECT_EQ(Tone().LeftVolume(), 25);
  EXPECT_EQ(Tone().RightVolume(), 80);  // either slider sets both volumes
  EXPECT_EQ(Util<TEdit>("edVL").Text(), "25");
  Util<TTrackBar>("tbR").SetPosition(40);
  EXPECT_EQ(Tone().RightVolume(), 40);
  EXPECT_EQ(Util<TEdit>("edVR").Text(), "40");

  // Octave and amplitude change only their labels.
  Util<TTrackBar>("troct").SetPosition(7);
  Util<TTrackBar>("tramp").SetPosition(55);
  EXPECT_EQ(Util<TLabel>("lbloct").Caption(), "7");
  EXPECT_EQ(Util<TLabel>("lblAmp").Caption(), "55");
  EXPECT_EQ(Tone().AMAmplitude(), 30);

  Util<TCheckBox>("chster").SetChecked(false);
  EXPECT_FALSE(Tone().Stereo());
  Util<TCheckBox>("chReso").SetChecked(false);
  EXPECT_EQ(Tone().Resolution(), tg8Bit);
  Util<TCheckBox>("chQual").SetChecked(false);
  EXPECT_EQ(Tone().Quality(), tgLoQ);
  // The play box's click only reapplies the quality box.
  Tone().SetQuality(tgHiQ);
  Util<TCheckBox>("chPlay").SetChecked(false);
  EXPECT_EQ(Tone().Quality(), tgLoQ);
}

// The waveform chosen in the open list reaches the tone generator at that close-up.
TEST_F(Dialog, ChoosingAWaveformSetsItAtTheListsCloseUp) {
  frmUtil->Show();
  QComboBox& Waves = *Util<TComboBox>("cbWavForm").Combo();
  ListDriver::ChooseWithMouse(Waves, 2);
  EXPECT_EQ(Tone().Waveform(), tgTriangle);
  ListDriver::ChooseWithKeys(Waves, 3);
  EXPECT_EQ(Tone().Waveform(), tgSawtooth);
  ListDriver::ChooseWithMouse(Waves, 0);
  EXPECT_EQ(Tone().Waveform(), tgSine);
  // Closed without a choice: the shown entry is applied again; none shown gives noise.
  Tone().SetWaveform(tgSquare);
  ListDriver::EscapeFrom(Waves, 4);
  EXPECT_EQ(Tone().Waveform(), tgSine);
  Util<TComboBox>("cbWavForm").SetItemIndex(-1);
  ListDriver::ClickOutside(Waves);
  EXPECT_EQ(Tone().Waveform(), tgNoise);
}

TEST_F(Dialog, MovesThroughTheRecordsShowingEachWaveformAndStopsAtTheEnds) {
  const int64_t First = Field("IDX");
  Util<TControl>("btnPrev").Click();
  EXPECT_EQ(Field("IDX"), First);
  Util<TControl>("btnNext").Click();
  EXPECT_GT(Field("IDX"), First);
  EXPECT_EQ(Util<TComboBox>("cbWavForm").ItemIndex(), Field("WAV_FRM"));
  for (int I = 0; I < Table().RecordCount() + 2; ++I) Util<TControl>("btnNext").Click();
  EXPECT_TRUE(Table().Eof());
  EXPECT_EQ(Util<TComboBox>("cbWavForm").ItemIndex(), Field("WAV_FRM"));
  // A number outside the list leaves nothing selected.
  Table().Edit();
  Table().FieldByName("WAV_FRM")->SetAsInteger(9);
  Table().Post();
  frmUtil->FormShow(frmUtil);
  EXPECT_EQ(Util<TComboBox>("cbWavForm").ItemIndex(), -1);
}

TEST_F(Dialog, SaveWritesTheListIndexAndTypedBoxesAndReportsSuccess) {
  Util<TControl>("btnNext").Click();
  const int64_t Idx = Field("IDX");
  Util<TComboBox>("cbWavForm").SetItemIndex(3);
  Type("edTimeCh", "321");
  EXPECT_EQ(Table().State(), dsEdit);
  Util<TControl>("btnSave").Click();
  EXPECT_EQ(Messages, std::vector<std::string>{"Information: Save Parameter success."});

  Table().Close();
  OpenTable();
  ASSERT_TRUE(Table().Locate("IDX", TVariant(Idx), {}));
  EXPECT_EQ(Field("WAV_FRM"), 3);
  EXPECT_EQ(Field("TIME_CH"), 321);

  // Nothing selected stores -1, which a selection maps to noise.
  Util<TComboBox>("cbWavForm").SetItemIndex(-1);
  Util<TControl>("btnSave").Click();
  EXPECT_EQ(Field("WAV_FRM"), -1);
  frmUtil->Session().Select(TVariant());
  EXPECT_EQ(Tone().Waveform(), tgNoise);
}

TEST_F(Dialog, AnEmptyWaveformNumberFailsTheShowingAndKeepsTheListsSelection) {
  Util<TComboBox>("cbWavForm").SetItemIndex(2);
  Table().Edit();
  Table().FieldByName("WAV_FRM")->Clear();
  Table().Post();
  EXPECT_THROW(frmUtil->FormShow(frmUtil), std::exception);
  EXPECT_EQ(Util<TComboBox>("cbWavForm").ItemIndex(), 2);
  // The sweep's selection stops at the same field, its earlier steps applied.
  EXPECT_THROW(frmUtil->Session().Select(TVariant()), std::exception);
  EXPECT_EQ(Timer().Interval(), Field("TIME_CH"));
}

TEST_F(Dialog, SaveOnAnEmptyTableCreatesTheRecordAndOnAClosedOneFails) {
  while (!Table().IsEmpty()) Table().Delete();
  Util<TComboBox>("cbWavForm").SetItemIndex(4);
  Type("edPest", "Cricket");
  Util<TControl>("btnSave").Click();
  EXPECT_EQ(Table().FieldByName("NAME_PEST")->AsString(), "Cricket");
  EXPECT_EQ(Field("WAV_FRM"), 4);
  Table().Close();
  OpenTable();
  EXPECT_EQ(Table().FieldByName("NAME_PEST")->AsString(), "Cricket");
  Table().Next();
  EXPECT_TRUE(Table().Eof());
  EXPECT_EQ(Messages.size(), 1u);
  Table().Close();  // on a closed table Save fails without the success message
  EXPECT_THROW(frmUtil->btnSaveClick(frmUtil), std::exception);
  EXPECT_EQ(Messages.size(), 1u);
}

TEST_F(Dialog, SoundCardTicksPlayTheBandFromItsBottomPlusOneStep) {
  frmUtil->Session().Select(TVariant());
  const int Min = Band().Min();
  const int Step = static_cast<int>(Field("VAL_CH"));
  EXPECT_EQ(Timer().Interval(), Field("TIME_CH"));
  EXPECT_EQ(Tone().LeftVolume(), 60);
  EXPECT_EQ(Tone().RightVolume(), 80);
  Sound.Clear();
  Tick();
  Tick();
  EXPECT_EQ(Band().Position(), Min + 2 * Step);
  EXPECT_EQ(Tone().Frequency(), std::min(Min + 2 * Step, 50000));
  EXPECT_EQ(Sound.Count(scPlay), 2);
  // Auto Change off: the same frequency again.
  Util<TCheckBox>("chAuto").SetChecked(false);
  Tick();
  EXPECT_EQ(Band().Position(), Min + 2 * Step);
}

// Closes every message box shortly after it opens, recording its text and how many were open at
// once; the sweep's timer is stopped at the first.
struct TBoxCloser {
  std::vector<QString> Texts;
  int MostOpen = 0;
  bool Closed = false;
  QTimer Poll;
  explicit TBoxCloser(TTimer& Sweep) {
    Poll.setInterval(20);
    QObject::connect(&Poll, &QTimer::timeout, [this, &Sweep] {
      std::vector<QMessageBox*> Open;
      for (QWidget* W : QApplication::topLevelWidgets())
        if (auto* Box = qobject_cast<QMessageBox*>(W); Box && Box->isVisible()) Open.push_back(Box);
      MostOpen = std::max(MostOpen, static_cast<int>(Open.size()));
      for (QMessageBox* Box : Open) {
        if (Box->property("seen").toBool()) {
          Sweep.SetEnabled(false);
          Box->done(0);
          Closed = true;
        } else {
          Box->setProperty("seen", true);
          Texts.push_back(Box->text());
        }
      }
    });
    Poll.start();
  }
};

TEST_F(Dialog, SpeakerRefusalsShowOneErrorBoxAtATime) {
  Util<TCheckBox>("chSND").SetChecked(false);
  Util<TCheckBox>("chAuto").SetChecked(false);
  Band().SetPosition(30000);
  TSweepState State = frmUtil->Session().State();
  State.Interval = 5;
  frmUtil->Session().SetState(State);
  TBoxCloser Closer(Timer());
  Timer().SetEnabled(true);
  // The box stays open over two of the closer's looks, 20 ms apart, while the 5 ms ticks go on.
  ASSERT_TRUE(QTest::qWaitFor([&] { return Closer.Closed; }, 60000));
  Timer().SetEnabled(false);
  App.ProcessMessages();
  ASSERT_FALSE(Closer.Texts.empty());
  EXPECT_EQ(Closer.Texts.front(), "Bleeper: Freq > 20000.");
  EXPECT_EQ(Closer.MostOpen, 1);
  // Ticks went on while the box was open; their failures were dropped.
  EXPECT_GT(App.DroppedErrors(), 0);
  EXPECT_EQ(Sound.Count(scPlay), 0);
}

TEST_F(Dialog, TheLinkLabelOpensItsCaptionAsAWebAddress) {
  TUrlCatcher Catcher;
  auto& Link = Util<TControl>("skLabel17");
  EXPECT_EQ(Link.Hint(), "Click for go to " + Link.Caption());
  Link.Click();
  EXPECT_EQ(Catcher.Opened, QStringList{"http://" + QString::fromStdString(Link.Caption())});
}

// Both windows, started as the program starts them.
class DialogWithMain : public Dialog {
 protected:
  void Start() override { StartProgram(); }
};

// Close and the window's own close button (as the window manager closes it) alike end the
// modal showing, hand the table back and show the main window, which reopens the table on its
// first record, dropping unsaved typing.
TEST_F(DialogWithMain, CloseAndTheWindowsCloseButtonHandTheTableBack) {
  const std::function<void()> Closers[] = {
      [this] { Util<TControl>("btnClose").Click(); },
      [] { frmUtil->Widget()->close(); },
  };
  for (const auto& CloseDialog : Closers) {
    ASSERT_TRUE(Table().Active());
    Util<TControl>("btnNext").Click();
    const std::string Pest = Table().FieldByName("NAME_PEST")->AsString();
    bool WasModal = false;
    QTimer::singleShot(0, [&] {
      WasModal = frmUtil->Modal();
      Type("edPest", "Typed but not saved");
      CloseDialog();
    });
    frmMain->btnConfigClick(frmMain);
    EXPECT_TRUE(WasModal);
    EXPECT_FALSE(frmUtil->Modal());
    EXPECT_FALSE(frmUtil->Visible());
    EXPECT_TRUE(frmMain->Visible());
    EXPECT_TRUE(frmMain->TableOpened());
    ASSERT_TRUE(Table().Active());
    EXPECT_NE(Table().FindIndex("idx.ndx"), nullptr);
    const int64_t Current = Field("IDX");
    Table().First();
    EXPECT_EQ(Field("IDX"), Current);
    Table().Next();
    EXPECT_EQ(Table().FieldByName("NAME_PEST")->AsString(), Pest);
    Table().First();
  }
}

TEST_F(DialogWithMain, IsCentredOnTheMainWindowAtEveryShowing) {
  const auto CentreWhenShown = [this] {
    QPoint Centre;
    QTimer::singleShot(0, [&] {
      Centre = frmUtil->Widget()->geometry().center();
      Util<TControl>("btnClose").Click();
    });
    frmMain->btnConfigClick(frmMain);
    return Centre;
  };
  for (const QPoint Place : {QPoint(100, 100), QPoint(300, 200)}) {
    frmMain->SetBounds(Place.x(), Place.y(), frmMain->Width(), frmMain->Height());
    const QPoint Main = frmMain->Widget()->geometry().center();
    const QPoint Dialog = CentreWhenShown();
    EXPECT_LE((Dialog - Main).manhattanLength(), 1) << Place.x() << "," << Place.y();
  }
}

TEST_F(DialogWithMain, CloseWithTheTableNotOpenFailsAtOnceAndTheDialogStays) {
  frmMain->Hide();
  frmUtil->Show();
  Table().Close();
  EXPECT_THROW(frmUtil->btnCloseClick(frmUtil), std::exception);
  EXPECT_TRUE(frmUtil->Visible());
  EXPECT_FALSE(frmMain->Visible());
  EXPECT_TRUE(frmMain->TableOpened());
}

// A Close on a full disk (the table's header cannot be written) shows the error and leaves the
// dialog working on the table with its index, which keeps up with what is saved meanwhile; once
// there is room, Close goes through and the main window reopens the table with an index that
// still matches it (nothing to rebuild, nothing to tell the user).
TEST_F(DialogWithMain, ACloseThatFailsKeepsTheIndexAndTheNextCloseHandsTheTableBack) {
  std::optional<TFileSizeLimit> Full;
  QTimer::singleShot(0, [&] {
    Full.emplace(0);
    Util<TControl>("btnClose").Click();
  });
  // Back in the dialog once the error box is gone.
  TBoxCloser Closer(Timer());
  bool Stayed = false;
  QTimer Next;
  QObject::connect(&Next, &QTimer::timeout, [&] {
    if (!Closer.Closed || App.ErrorBoxOpen() || !Full) return;
    Full.reset();
    Stayed = frmUtil->Visible() && Table().Active() && Table().FindIndex("idx.ndx");
    Util<TControl>("btnNext").Click();
    Table().Append();  // a key the index must take in
    Table().FieldByName("IDX")->SetAsInteger(0);
    Table().FieldByName("NAME_PEST")->SetAsString("Aardvark");
    Util<TControl>("btnSave").Click();
    Util<TControl>("btnClose").Click();
  });
  Next.start(20);
  frmMain->btnConfigClick(frmMain);
  EXPECT_TRUE(Stayed);
  ASSERT_EQ(Closer.Texts.size(), 1u);
  EXPECT_TRUE(Closer.Texts[0].contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
      << Closer.Texts[0].toStdString();
  EXPECT_FALSE(frmUtil->Visible());
  EXPECT_TRUE(frmMain->Visible());
  ASSERT_TRUE(Table().Active());
  EXPECT_NE(Table().FindIndex("idx.ndx"), nullptr);
  App.ProcessMessages();  // where a notice of a rebuilt index would come
  EXPECT_EQ(Messages, std::vector<std::string>{"Information: Save Parameter success."});
  ASSERT_TRUE(Table().Locate("IDX", TVariant(int64_t(0)), {}));
  EXPECT_EQ(Table().FieldByName("NAME_PEST")->AsString(), "Aardvark");
}

}  // namespace

#include "UtilTest.moc"
