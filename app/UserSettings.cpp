#include "app/UserSettings.h"

#include <QFile>
#include <QSettings>
#include <iostream>
#include <vector>

#include "platform/core/Exceptions.h"
#include "sweep/Schedule.h"

namespace {

const char* const Organisation = "Tessolon";
const char* const ApplicationName = "Tessolon";
const char* const PestKey = "Main/Pest";
const char* const ScheduleKey = "Sweep/Between";
const char* const WaveformKey = "Sound/Waveform";

bool Kept = true;

// The ranges are those of the dialog's sliders and lists.
struct TNumberKey {
  const char* Key;
  int TDialogChoices::*Member;
  int Min, Max;
};
constexpr TNumberKey NumberKeys[] = {
    {"Sound/LeftVolume", &TDialogChoices::LeftVolume, 1, 100},
    {"Sound/RightVolume", &TDialogChoices::RightVolume, 1, 100},
    {"Sound/Amplitude", &TDialogChoices::Amplitude, 0, 100},
    {"Sound/Octave", &TDialogChoices::Octave, 0, 9},
};

struct TBoxKey {
  const char* Key;
  bool TDialogChoices::*Member;
};
constexpr TBoxKey BoxKeys[] = {
    {"Sound/Stereo", &TDialogChoices::Stereo},
    {"Sound/Resolution16Bit", &TDialogChoices::Resolution16},
    {"Sound/HighQuality", &TDialogChoices::QualityHigh},
    {"Sweep/SoundCard", &TDialogChoices::SoundCard},
    {"Sweep/Envelope", &TDialogChoices::Envelope},
    {"Sweep/AutoChange", &TDialogChoices::AutoChange},
    {"SoundOutput/BandLimited", &TDialogChoices::BandLimited},
    {"SoundOutput/UltrasoundOnly", &TDialogChoices::UltrasoundOnly},
    {"Sweep/BetweenOn", &TDialogChoices::ScheduleOn},
};

// QSettings keeps every value of its text file as text.
std::optional<QString> Text(const QSettings& Settings, const char* Key) {
  const QVariant Value = Settings.value(Key);
  if (!Value.isValid()) return std::nullopt;
  return Value.toString();
}

std::optional<long long> Number(const QString& Text) {
  bool Ok = false;
  const long long Value = Text.trimmed().toLongLong(&Ok);
  return Ok ? std::optional(Value) : std::nullopt;
}

std::optional<bool> Box(const QString& Text) {
  if (Text == "true") return true;
  if (Text == "false") return false;
  return std::nullopt;
}

// Reads the values of a file that could be read; returns the keys passed over.
std::vector<std::string> ReadValues(const QSettings& Settings, TUserChoices& Choices) {
  std::vector<std::string> Invalid;
  for (const TNumberKey& Key : NumberKeys)
    if (const auto Value = Text(Settings, Key.Key)) {
      const auto N = Number(*Value);
      if (N && *N >= Key.Min && *N <= Key.Max)
        Choices.Dialog.*Key.Member = static_cast<int>(*N);
      else
        Invalid.push_back(Key.Key);
    }
  for (const TBoxKey& Key : BoxKeys)
    if (const auto Value = Text(Settings, Key.Key)) {
      if (const auto B = Box(*Value))
        Choices.Dialog.*Key.Member = *B;
      else
        Invalid.push_back(Key.Key);
    }
  if (const auto Value = Text(Settings, WaveformKey)) {
    const auto N = Number(*Value);
    if (N && *N >= 0 && *N <= 4)
      Choices.Dialog.Waveform = static_cast<int>(*N);
    else
      Invalid.push_back(WaveformKey);
  }
  if (const auto Value = Text(Settings, ScheduleKey))
    Choices.Dialog.Schedule = Value->toStdString();
  if (const auto Value = Text(Settings, PestKey)) {
    if (const auto N = Number(*Value))
      Choices.Pest = *N;
    else
      Invalid.push_back(PestKey);
  }
  return Invalid;
}

std::string Joined(const std::vector<std::string>& Keys) {
  std::string Text;
  for (const std::string& Key : Keys) Text += (Text.empty() ? "" : ", ") + Key;
  return Text;
}

}  // namespace

std::function<void(const std::string&)> SettingsWarning = [](const std::string& Text) {
  std::cerr << "tessolon: " << Text << '\n';
};

void KeepSettings(bool Value) {
  Kept = Value;
}

bool SettingsKept() {
  return Kept;
}

void LoadChoices(TUserChoices& Choices) {
  if (!Kept) return;
  const QSettings Settings(Organisation, ApplicationName);
  const std::string File = Settings.fileName().toStdString();
  if (Settings.status() != QSettings::NoError) {
    const QString Aside = Settings.fileName() + ".damaged";
    QFile::remove(Aside);
    const bool Moved = QFile::rename(Settings.fileName(), Aside);
    SettingsWarning("the settings in " + File + " cannot be read; the windows start with " +
                    "their defaults" +
                    (Moved ? " (the file is kept as " + Aside.toStdString() + ")" : ""));
    return;
  }
  const std::vector<std::string> Invalid = ReadValues(Settings, Choices);
  if (!Invalid.empty())
    SettingsWarning("the settings in " + File + " hold values the windows cannot take (" +
                    Joined(Invalid) + "); those start with their defaults");
}

void StoreDialogChoices(const TDialogChoices& Choices) {
  if (!Kept) return;
  QSettings Settings(Organisation, ApplicationName);
  for (const TNumberKey& Key : NumberKeys) Settings.setValue(Key.Key, Choices.*Key.Member);
  for (const TBoxKey& Key : BoxKeys) Settings.setValue(Key.Key, Choices.*Key.Member);
  if (Choices.Waveform) Settings.setValue(WaveformKey, *Choices.Waveform);
  if (!Choices.Schedule.empty())
    Settings.setValue(ScheduleKey, QString::fromStdString(Choices.Schedule));
}

void StorePest(int64_t Key) {
  if (Kept) QSettings(Organisation, ApplicationName).setValue(PestKey, qint64(Key));
}
