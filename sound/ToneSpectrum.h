// The magnitude spectrum of a wave image, and what a picture of it shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TSpectrum {
  uint32_t Rate = 0;             // samples per second of the analysed image
  double BinHertz = 0;           // bin k lies at k * BinHertz, up to half the rate
  std::vector<double> Decibels;  // relative to a full-scale sine (0 dB)

  // The highest level of the bins from From up to (not including) To hertz; -infinity when no
  // bin lies there.
  double PeakIn(double From, double To) const;
};

// Analyses the first channel of a PCM RIFF/WAVE image (the tone generator's channels are
// equal) over all its whole frames, through a 4-term Blackman-Harris window, whose side lobes
// lie 92 dB down, zero-padded to a power of two. Throws std::invalid_argument for an image that
// cannot be read or that holds no frames.
TSpectrum AnalyseWaveImage(const uint8_t* Image, std::size_t Size);

struct TToneSettings;
// The frequencies of the added partials that sound in the image Settings make: those with an
// amplitude and a frequency that the synthesis does not leave out.
std::vector<int64_t> SoundingPartials(const TToneSettings& Settings);

// What the spectrum picture shows besides the spectrum: marks at 20 kHz, at half the output
// device's rate and at the main tone.
struct TSpectrumPicture {
  TSpectrum Spectrum;
  int64_t ToneHertz = 0;
  std::vector<int64_t> PartialHertz;  // the added partials that sound in the image
  uint32_t DeviceRate = 0;            // 0 when no output device could be opened
  std::string Title;
};

// Writes the picture to a file (a PNG); throws Exception when it cannot. The sound library
// draws nothing itself: the program hands the tone command a writer.
using TSpectrumWriter = std::function<void(const TSpectrumPicture&, const std::string& FileName)>;
