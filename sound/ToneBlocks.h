// A tone's wave image after its header (the samples, then the spare bytes) made a block of
// frames at a time: the image is had whole without first being filled, and a file is written
// without the image ever being held. Both give the bytes of one build.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sound/PartialCursor.h"

class TToneBlocks {
 public:
  // Envelope: the envelope the tone is shaped with, or none.
  TToneBlocks(const TToneSettings& Settings, const TEnvelopeSettings* Envelope);
  int64_t DataSize() const { return FDataSize; }
  // The next block of bytes, valid until the next call; empty after the last spare byte.
  std::span<const uint8_t> Next();

 private:
  void Render(uint8_t* Out, int64_t Count);
  TToneSettings FSettings;
  std::optional<TEnvelopeSettings> FEnvelope;
  int64_t FDataSize, FFrameBytes, FFrames;
  int64_t FFrame = 0;
  bool FDone = false;
  std::vector<std::unique_ptr<TPartialCursor>> FCursors;
  // Ultrasound-only synthesis makes the whole loop at once, as 16-bit samples of one channel.
  std::vector<int16_t> FUltrasound;
  std::vector<uint8_t> FBlock;
};

// Writes the tone's whole wave image (header, samples, spare bytes) to FileName a block at a
// time, replacing any file of that name. False when the file cannot be created or written.
[[nodiscard]] bool WriteToneFile(const std::string& FileName, const TToneSettings& Settings,
                                 const TEnvelopeSettings* Envelope);
