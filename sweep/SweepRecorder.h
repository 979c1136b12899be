// The sound-card output of an exported sweep: instead of playing, each tick's tone is appended
// to a recording as its whole frames repeated from the start and cut at the tick interval.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/audio/WaveImage.h"
#include "sweep/SweepOutput.h"

class TSweepRecorder : public TToneGenOutput {
 public:
  // Interval answers the tick interval in milliseconds at the moment a tone is recorded.
  TSweepRecorder(TToneGen& ToneGen, std::function<int()> Interval)
      : TToneGenOutput(ToneGen), FInterval(std::move(Interval)) {}

  void SoundCardTone(int Frequency, bool ADSR) override;
  void SoundCardStop() override {}

  // Appends Milliseconds of the image's frames, repeated from its start.
  void Append(const uint8_t* Image, std::size_t Size, int Milliseconds);
  const std::vector<uint8_t>& Samples() const { return FSamples; }
  // The RIFF/WAVE header of the recording's file, the samples follow it; empty before the first
  // tone.
  std::vector<uint8_t> WaveHeader() const;
  // Throws Exception when the file cannot be written.
  void WriteFile(const std::string& FileName) const;

 private:
  std::function<int()> FInterval;
  TWaveFormat FFormat;
  bool FHasFormat = false;
  std::vector<uint8_t> FSamples;
};
