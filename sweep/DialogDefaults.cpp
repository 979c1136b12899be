#include "sweep/DialogDefaults.h"

#include <charconv>

#include "platform/core/DefinitionOutline.h"
#include "platform/core/DefinitionReader.h"
#include "platform/core/SysUtils.h"
#include "sound/ToneGen.h"

extern const std::string_view StoredAdjustmentDialog;

namespace {

const std::string FileName = "frmUtil.dfm";

const TDefinitionOutline& Object(const char* Name) {
  static const TDefinitionOutline Dialog = OutlineDefinition(StoredAdjustmentDialog, FileName);
  if (const TDefinitionOutline* Found = Dialog.Find(Name)) return *Found;
  throw EDefinitionError(FileName + ": the dialog has no " + Name);
}

bool Checked(const char* Box) {
  return SameIdent(Object(Box).Value("Checked", "False"), "True");
}

// Absent properties keep the component's own default.
int Number(const char* Name, const char* Property, int Default) {
  const std::string Text = Object(Name).Value(Property);
  int Value = Default;
  if (!Text.empty()) {
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Error != std::errc() || End != Text.data() + Text.size())
      throw EDefinitionError(FileName + ": " + Name + "." + Property + " = " + Text +
                             " is not a whole number");
  }
  return Value;
}

TDialogDefaults Read() {
  TDialogDefaults Defaults;
  Defaults.Settings = {.AutoChange = Checked("chAuto"),
                       .SoundCard = Checked("chSND"),
                       .PlayADSR = Checked("chPlay"),
                       .Stereo = Checked("chster"),
                       .LeftVolume = Number("tbL", "Position", 0),
                       .RightVolume = Number("tbR", "Position", 0),
                       .Amplitude = Number("tramp", "Position", 0)};
  // A track bar's own range is 0..10; a timer's interval 1000 ms.
  Defaults.State.SetBand(Number("tbLine", "Min", 0), Number("tbLine", "Max", 10));
  Defaults.State.SetPosition(Number("tbLine", "Position", 0));
  Defaults.State.Step = Number("tbLine", "Frequency", 1);
  Defaults.State.Interval = Number("Timer1", "Interval", 1000);
  return Defaults;
}

}  // namespace

const TDialogDefaults& StoredDialogDefaults() {
  static const TDialogDefaults Defaults = Read();
  return Defaults;
}

void ApplyDialogToneSettings(TToneGen& ToneGen) {
  ReadDefinition(ToneGen, Object("ToneGen1").Text, FileName);
}
