// TToneGen's data: clamps, the partial table and its stored form, notes, and the flags that
// decide when the image is rebuilt. Its playback through the recording service: flags, volume
// words, the device volume over the component's life, and the rule that playback stops before
// the image is rebuilt or released.
#include <gtest/gtest.h>

#include "platform/audio/RecordingSoundService.h"
#include "platform/core/DefinitionReader.h"
#include "platform/core/DefinitionWriter.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"

namespace {

class ToneGenPlayback : public testing::Test {
 protected:
  TRecordingSoundService FService;
  TScopedSoundService FInstall{FService};
};

class ToneGenData : public ToneGenPlayback {
 protected:
  TToneGen FTone{nullptr};
};

TEST_F(ToneGenData, SettersClampTheWholeValueBeforeNarrowing) {
  FTone.SetFrequency(10);
  EXPECT_EQ(FTone.Frequency(), 20);
  FTone.SetFrequency(60000);
  EXPECT_EQ(FTone.Frequency(), 50000);
  FTone.SetDuration(5);
  EXPECT_EQ(FTone.Duration(), 10);
  FTone.SetDuration(40000);  // would wrap to a negative 16-bit number if narrowed first
  EXPECT_EQ(FTone.Duration(), 32767);
  FTone.SetDuration(65536 + 50);
  EXPECT_EQ(FTone.Duration(), 32767);
  FTone.SetLeftVolume(150);
  EXPECT_EQ(FTone.LeftVolume(), 100);
  FTone.SetRightVolume(-5);
  EXPECT_EQ(FTone.RightVolume(), 0);
  FTone.SetAttack(65536 + 20);
  EXPECT_EQ(FTone.Attack(), 100);
  FTone.SetAMFrequency(1000);
  EXPECT_EQ(FTone.AMFrequency(), 1000.0f);
}

TEST_F(ToneGenData, SelectingARowShowsItAndClampsItsAmplitude) {
  FTone.SetAMLevel(tgAMLevel3);
  EXPECT_EQ(FTone.AMAmplitude(), 0);
  EXPECT_EQ(FTone.AMWaveform(), tgSine);
  EXPECT_EQ(FTone.AMFrequency(), 1.5f);
  FTone.SetAMParameter(tgAMLevel5, 250, 2.0f, tgNoise);
  EXPECT_EQ(FTone.AMAmplitude(), 0);  // not refreshed by SetAMParameter
  FTone.SetAMLevel(tgAMLevel5);
  EXPECT_EQ(FTone.AMAmplitude(), 100);
  EXPECT_EQ(FTone.AMTable().Amplitudes[4], 100);
  EXPECT_EQ(FTone.AMWaveform(), tgNoise);
  EXPECT_THROW(FTone.SetAMParameter(TTGAMLevel(8), 1, 1, tgSine), ERangeError);
}

TEST_F(ToneGenData, NotesFromTheCurrentOctave) {
  struct {
    const char* Text;
    int32_t Hertz, Octave;
  } const Cases[] = {{"A", 440, 4},  {"C", 523, 4},   {">A", 880, 5},   {"O5A", 880, 5},
                     {"A-", 415, 3}, {"N48", 440, 4}, {"N0", 28, 4},    {"N121", 29834, 4},
                     {"N122", 0, 4}, {"B#", 0, 4},    {"C-", 0, 4},     {"A4", 0, 4},
                     {"H", 0, 4},    {"O", 0, 4},     {" c# ", 554, 4}, {"<<<<<A", 28, 0},
                     {"O0A-", 0, 4}, {"Nx", 0, 4},    {"", 0, 4}};
  for (const auto& Case : Cases) {
    TToneGen Tone(nullptr);
    Tone.SetFrequency(1000);
    EXPECT_EQ(Tone.SetNote(Case.Text), Case.Hertz) << Case.Text;
    EXPECT_EQ(Tone.NoteOctave(), Case.Octave) << Case.Text;
    EXPECT_EQ(Tone.Frequency(), Case.Hertz ? Case.Hertz : 1000) << Case.Text;
  }
}

TEST_F(ToneGenData, PartialNotesAreMultipliersOrHertz) {
  EXPECT_EQ(FTone.SetAMNote(tgAMLevel2, "A"), 1.0f);
  EXPECT_EQ(FTone.AMTable().Frequencies[1], 1.0f);
  FTone.SetAMUseMultiplier(false);
  EXPECT_EQ(FTone.SetAMNote(tgAMLevel2, ">A"), 880.0f);
  EXPECT_EQ(FTone.SetAMNote(tgAMLevel2, "A"), 880.0f);  // the row keeps its own octave
  EXPECT_EQ(FTone.NoteOctave(), 4);
  EXPECT_EQ(FTone.SetAMNote(tgAMLevel2, "Q"), 0.0f);
  EXPECT_EQ(FTone.AMTable().Frequencies[1], 880.0f);
}

TEST_F(ToneGenData, StoredTableRoundTripsAndBadTablesStoreNothing) {
  FTone.SetAMParameter(tgAMLevel1, -7, 0.3f, tgSawtooth);
  const TBytes Stored = FTone.WriteAMArrayData();
  ASSERT_EQ(Stored.size(), 100u);
  EXPECT_EQ(Stored[0], 7);
  EXPECT_EQ(Stored[4], 0xF9);  // -7 sign-extended
  EXPECT_EQ(Stored[7], 0xFF);
  EXPECT_EQ(Stored[8], tgSawtooth);

  TToneGen Other(nullptr);
  Other.ReadAMArrayData(Stored);
  EXPECT_EQ(Other.WriteAMArrayData(), Stored);

  TBytes TooMany = Stored;
  TooMany[0] = 8;
  TooMany.resize(4 + 9 * 12);
  EXPECT_THROW(Other.ReadAMArrayData(TooMany), EToneGenError);
  TBytes Short(Stored.begin(), Stored.begin() + 50);
  EXPECT_THROW(Other.ReadAMArrayData(Short), EToneGenError);
  TBytes Negative = {0xFF, 0xFF, 0xFF, 0xFF};
  Other.ReadAMArrayData(Negative);
  EXPECT_EQ(Other.WriteAMArrayData(), Stored);
}

TEST_F(ToneGenData, TheStoredInstanceReadsFromItsDefinition) {
  RegisterCoreClasses();
  RegisterSoundClasses();
  TToneGen Source(nullptr);
  Source.SetAMParameter(tgAMLevel1, 30, 0.3f, tgSine);
  std::string Hex;
  for (uint8_t B : Source.WriteAMArrayData()) {
    static const char Digits[] = "0123456789ABCDEF";
    Hex += {Digits[B >> 4], Digits[B & 15]};
  }
  const std::string Text =
      "object ToneGen1: TToneGen\n  Loop = True\n  AMAmplitude = 30\n"
      "  AMWaveform = tgSine\n  AMFrequency = 0.3\n  AMArrayData = {" +
      Hex + "}\nend\n";
  std::unique_ptr<TComponent> Read(CreateFromDefinition(nullptr, Text, "ToneGen1.dfm"));
  auto& Tone = dynamic_cast<TToneGen&>(*Read);
  EXPECT_TRUE(Tone.Loop());
  EXPECT_EQ(Tone.AMTable().Amplitudes[0], 30);
  EXPECT_EQ(Tone.AMTable().Frequencies[0], 0.3f);
  EXPECT_EQ(Tone.AMTable().Frequencies[7], 4.0f);
  std::string Written = WriteDefinition(Tone);
  std::erase_if(Written, [](char C) { return C == ' ' || C == '\n'; });
  EXPECT_NE(Written.find("AMArrayData={" + Hex + "}"), std::string::npos) << Written;

  const std::string Bad = "object ToneGen1: TToneGen\n  AMArrayData = {08000000}\nend\n";
  EXPECT_THROW(CreateFromDefinition(nullptr, Bad, "Bad.dfm"), Exception);
}

TEST_F(ToneGenData, FlagsFollowSettingsAndBuilds) {
  EXPECT_TRUE(FTone.WaveChanged() && FTone.EnvelopeStale() && FTone.PlainStale() && FTone.Idle());
  ASSERT_TRUE(FTone.Prepare());
  EXPECT_FALSE(FTone.WaveChanged() || FTone.PlainStale());
  EXPECT_TRUE(FTone.EnvelopeStale());
  FTone.SetSustain(50);  // the value already held still marks the envelope stale
  EXPECT_FALSE(FTone.WaveChanged());
  ASSERT_TRUE(FTone.PrepareADSR());
  EXPECT_FALSE(FTone.WaveChanged() || FTone.EnvelopeStale());
  EXPECT_TRUE(FTone.PlainStale());
  FTone.SetLeftVolume(30);
  EXPECT_FALSE(FTone.WaveChanged() || FTone.EnvelopeStale());
  for (auto Change :
       {+[](TToneGen& T) { T.SetStereo(false); }, +[](TToneGen& T) { T.SetAMLevel(tgAMLevel2); },
        +[](TToneGen& T) { T.ResetAM(); }, +[](TToneGen& T) { T.SetNote("A"); }}) {
    ASSERT_TRUE(FTone.Prepare());
    Change(FTone);
    EXPECT_TRUE(FTone.WaveChanged());
  }
}

TEST_F(ToneGenPlayback, FlagsAndIdle) {
  TToneGen Tone(nullptr);
  Tone.Play();
  EXPECT_EQ(FService.Plays().back()->Flags, 0x0005u);
  EXPECT_FALSE(Tone.Idle());
  Tone.SetLoop(true);
  Tone.PlayADSR();
  EXPECT_EQ(FService.Plays().back()->Flags, 0x000Du);
  Tone.SetLoop(false);
  Tone.SetAsync(false);
  Tone.Play();
  EXPECT_EQ(FService.Plays().back()->Flags, 0x0004u);
  EXPECT_TRUE(Tone.Idle());
  Tone.SetAsync(true);
  Tone.Play();
  Tone.Stop();
  EXPECT_TRUE(Tone.Idle());
  Tone.Stop();  // harmless while nothing plays
  EXPECT_TRUE(Tone.Idle());
}

TEST_F(ToneGenPlayback, StopsBeforeEveryRebuildAndRelease) {
  {
    TToneGen Tone(nullptr);
    FService.Clear();
    Tone.Play();  // build (stop), then stop, volume, play
    EXPECT_EQ(FService.Trace(), "SSVP");
    const uint8_t* First = FService.Plays()[0]->Address;
    EXPECT_EQ(First, Tone.GetDataBuffer());
    EXPECT_EQ(FService.Plays()[0]->Image.size(), 19276u);
    FService.Clear();
    Tone.Play();  // nothing changed: no rebuild
    EXPECT_EQ(FService.Trace(), "SVP");
    FService.Clear();
    Tone.PlayADSR();  // the envelope image is a new build
    EXPECT_EQ(FService.Trace(), "SSVP");
    FService.Clear();
    Tone.PlayADSR();
    Tone.Play();
    EXPECT_EQ(FService.Trace(), "SVPSSVP");
    FService.Clear();
    Tone.SetFrequency(1000);
    EXPECT_TRUE(Tone.Prepare());  // volume, then the stop before the old image goes
    EXPECT_EQ(FService.Trace(), "VS");
    FService.Clear();
  }
  EXPECT_EQ(FService.Trace(), "SV");  // destruction: stop, then the saved volume back
}

TEST_F(ToneGenPlayback, VolumeWords) {
  TToneGen Tone(nullptr);
  Tone.SetLeftVolume(50);
  EXPECT_EQ(FService.Volume[svTone], 0xFFFF7FFFu);  // sent at once while idle
  Tone.SetRightVolume(1);
  EXPECT_EQ(FService.Volume[svTone], 0x028F7FFFu);
  Tone.SetLoop(true);
  Tone.Play();
  Tone.SetLeftVolume(0);
  EXPECT_EQ(FService.Volume[svTone], 0x028F7FFFu);  // playing: waits for the next volume send
  Tone.PresetVolume();
  EXPECT_EQ(FService.Volume[svTone], 0x028F0000u);
}

TEST_F(ToneGenPlayback, DeviceVolumeIsSavedByTheFirstAndRestoredByTheLast) {
  FService.Caps.dwFormats = 0;  // one volume for both channels
  FService.Volume[svTone] = 0x1234;
  auto First = std::make_unique<TToneGen>(nullptr);
  EXPECT_EQ(TToneGen::SavedVolume(), 0x12341234u);
  EXPECT_EQ(FService.Volume[svTone], 0xFFFFFFFFu);
  FService.Clear();
  auto Second = std::make_unique<TToneGen>(nullptr);
  EXPECT_EQ(TToneGen::InstanceCount(), 2);
  EXPECT_EQ(FService.Count(scGetVolume) + FService.Count(scSetVolume), 0);
  Second->SetLeftVolume(10);
  First.reset();
  EXPECT_NE(FService.Volume[svTone], 0x12341234u);
  Second.reset();
  EXPECT_EQ(FService.Volume[svTone], 0x12341234u);
  EXPECT_EQ(TToneGen::InstanceCount(), 0);

  FService.VolumeReadFails = true;
  TToneGen Third(nullptr);
  EXPECT_EQ(TToneGen::SavedVolume(), 0u);
}

}  // namespace
