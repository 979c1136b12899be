// What the Adjustment dialog's "Sound output" page and the main window say about the output: the
// server and rate it runs at, what of a pest's band it cannot carry or people cannot hear, why a
// tick stayed silent, and the spectrum of the tone being played. Plain text and values, so the
// headless tests read them without a window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/audio/OutputChain.h"
#include "sound/ToneSpectrum.h"
#include "sweep/PestTable.h"

class TToneGen;

// "Output: PipeWire, graph at 48000 Hz (allowed: 48000)".
std::string OutputText(const TOutputChain& Chain);
// "It carries nothing at or above 21.9 kHz." and the like, for images of ImageRate samples per
// second.
std::string OutputRateText(const TOutputChain& Chain, unsigned ImageRate);
// What of Band the output cannot carry, or that it can carry all of it. What the tones carry into
// hearing is measured (sweep/SweepLevel.h), not told from the band.
std::string BandNote(TBand Band, const TOutputChain& Chain, unsigned ImageRate);
// What ultrasound-only synthesis plays of Band.
std::string UltrasoundNote(TBand Band);
// Whether the tone generator's main tone lies below 20.5 kHz with ultrasound-only synthesis, and so
// stays silent.
bool BelowUltrasound(const TToneGen& ToneGen);
// Why the tone generator's last tone stayed silent ("This tick, 25000 Hz, is silent: the output
// at 48000 Hz cannot carry it."); empty when it reached the output.
std::string SilentToneNote(const TToneGen& ToneGen);
// The same in a few words, for a status line or a tray tip: "silent: output at 48000 Hz", or
// "silent: no output" while there is none (its server went away), "silent: below 20.5 kHz" for a
// tone ultrasound only leaves out; empty while ticks sound.
std::string SilentToneShort(const TToneGen& ToneGen);
// The spectrum of the tone generator's current image with the page's marks; none without one.
std::optional<TSpectrumPicture> TonePicture(const TToneGen& ToneGen, unsigned DeviceRate);
