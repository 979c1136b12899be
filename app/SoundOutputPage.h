// What the Adjustment dialog's "Sound output" page shows and keeps: the rate the output device
// runs at, a plain-words note on what of the band cannot be played or heard, the spectrum of the
// tone being played, and the band-limited setting.
//
// The program otherwise keeps no settings of its own; this one box is remembered between runs
// with QSettings under the organisation and application name "Tessolon" (on Linux in
// ~/.config/Tessolon/Tessolon.conf).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sound/ToneSpectrum.h"
#include "sweep/PestTable.h"

class TToneGen;

// The rate the sound card's device runs at: the open device's, or, before any tone opened it,
// what the default output opens at for the tone's format; 0 when none can be opened.
unsigned OutputDeviceRate(const TToneGen& ToneGen);
// "Runs at 48000 Hz: it plays nothing at or above 24 kHz." and the like.
std::string OutputRateText(unsigned DeviceRate);
// What of Band the device at DeviceRate cannot play (at or above half its rate) and what people
// cannot hear (at or above 20 kHz), or that all of it can be played and heard.
std::string BandNote(TBand Band, unsigned DeviceRate);
// The spectrum of the tone generator's current image with the page's marks; none without one.
std::optional<TSpectrumPicture> TonePicture(const TToneGen& ToneGen, unsigned DeviceRate);

bool StoredBandLimited();
void StoreBandLimited(bool Value);
