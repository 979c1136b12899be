// The user's choices in the windows, kept between runs with QSettings under the organisation and
// application name "Tessolon": on Linux $XDG_CONFIG_HOME/Tessolon/Tessolon.conf, the file the
// band-limited box has always been kept in. A choice that is not kept, or not valid, keeps the
// value the windows' definitions give it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The Adjustment dialog's choices that outlive a run.
struct TDialogChoices {
  int LeftVolume = 0, RightVolume = 0, Amplitude = 0, Octave = 0;
  // The waveform list's index of the tone being played; none: the pest's own.
  std::optional<int> Waveform;
  bool Stereo = false, Resolution16 = false, QualityHigh = false, SoundCard = false,
       Envelope = false, AutoChange = false, BandLimited = false, UltrasoundOnly = false;
  // The hours the sweep plays, as "22:00-06:00", and whether it keeps to them.
  std::string Schedule;
  bool ScheduleOn = false;
  bool operator==(const TDialogChoices&) const = default;
};

// Both windows' choices.
struct TUserChoices {
  TDialogChoices Dialog;
  std::optional<int64_t> Pest;  // the key (IDX) of the pest last chosen
};

// A run started with --no-settings neither reads nor writes them.
void KeepSettings(bool Value);
bool SettingsKept();

// Overwrites Choices with the values kept. A file that cannot be read leaves every one as it is
// and is moved aside (to the same name with ".damaged" added), so that the next store starts a
// sound file; a value that is not valid leaves that one. Either way SettingsWarning is called
// once, naming what was passed over.
void LoadChoices(TUserChoices& Choices);
void StoreDialogChoices(const TDialogChoices& Choices);
void StorePest(int64_t Key);

// Where the warning goes: one line on stderr; tests replace it.
extern std::function<void(const std::string&)> SettingsWarning;
