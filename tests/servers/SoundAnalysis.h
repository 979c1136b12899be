// Measures recorded sound the way a listener's ear would be threatened by it: how loud the
// audible band (20 Hz to 20 kHz) is and which frequency is strongest. Every level is in dB
// relative to a full-scale sine (RMS of the part measured over RMS of a sine peaking at 32767),
// so a sine at full scale reads 0 dB and one at half scale about -6 dB.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Interleaved channels of signed 16-bit samples, scaled to full scale 1.
struct TRecording {
  unsigned Rate = 0;
  unsigned Channels = 0;
  std::vector<double> Samples;
  double Seconds() const { return double(Samples.size()) / Channels / Rate; }
};

// Reads a headerless little-endian s16 file, as parec and ALSA's file plugin write them.
TRecording ReadRawS16(const std::filesystem::path& File, unsigned Rate, unsigned Channels);

// One stretch of about 170 ms (stretches overlap by half); the channels' powers are averaged.
struct TStretch {
  double Start = 0;      // seconds from the start of the recording
  double AudibleDb = 0;  // everything from 20 Hz to 20 kHz
  double PeakHz = 0;     // strongest frequency up to half the rate
  double PeakDb = 0;     // its level
};

struct TAnalysis {
  std::vector<TStretch> Stretches;
  TStretch Loudest;              // the stretch with the loudest audible band
  TStretch Strongest;            // the stretch with the strongest single frequency
  std::string Describe() const;  // for failure messages
};

// The first and last 100 ms are left out: the stream's start and end are not the tone. Digital
// silence, and a recording too short for one stretch, measure minus infinity: callers that
// expect silence check the recording's length themselves.
TAnalysis Analyse(const TRecording& Sound);
