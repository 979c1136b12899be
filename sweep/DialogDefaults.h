// The Adjustment dialog's stored settings, read from its definition (built into the program) with
// the definition outliner, so the headless sweep starts exactly as the dialog does. No Qt.
#pragma once

#include "sweep/Sweep.h"

class TToneGen;

struct TDialogDefaults {
  TSweepSettings Settings;  // the boxes and sliders
  TSweepState State;        // the band bar and the timer, before any selection
};

// Raises EDefinitionError when the built-in definition lacks one of the objects.
const TDialogDefaults& StoredDialogDefaults();
// Gives ToneGen the settings the dialog's tone generator is stored with.
void ApplyDialogToneSettings(TToneGen& ToneGen);
