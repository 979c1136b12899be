// One voice of the SDL sound service as its audio callback plays it: the image and where the
// voice stands in it, its loop flag and volume, and, when the device runs in another format than
// the image (because another voice needs a richer one), the converter that brings the image's
// samples to the device. Voices add their samples into one sum, which WriteMix clips into the
// device's buffer. Not thread-safe: the service guards its voices with its lock.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/audio/SoundService.h"
#include "platform/audio/WaveImage.h"

SDL_AudioFormat SdlFormat(const TWaveFormat& Format);

// How much a server is asked to hold of a stream that plays faded voices (see
// SdlSoundService.cpp), and how long after handing it a sample the server may still be playing
// it: more, as a PipeWire graph adds its own quantum. Half a second rides out a client kept
// waiting on a busy machine: with 200 ms, two runs in twenty of a recorded ultrasound-only sweep
// on PulseAudio, at a load of 7 to 11 on two cores, held a click where the stream ran dry.
constexpr unsigned FadedStreamMilliseconds = 500;
constexpr unsigned FadedStreamHeardMilliseconds = 750;

class TMixVoice {
 public:
  // Starts Image (whose format is Format) from its first frame on a stopped voice, for a device
  // running in Device. False, leaving the voice stopped, when no converter can be had.
  bool Start(const TSharedImage& Image, const TWaveFormat& Format, bool Loop,
             const TWaveFormat& Device, bool Fade = false);
  // Ends the sound and hands back the image, so that the caller releases it outside the lock and
  // never on the audio thread.
  [[nodiscard]] TSharedImage Stop();
  // The device was reopened in Device: convert to it from now on. False when no converter can be
  // had; the caller then stops the voice.
  bool Retarget(const TWaveFormat& Device);

  bool Sounding() const { return FSounding; }
  const TWaveFormat& Format() const { return FFormat; }
  // The number of the sound last started, and whether that sound (or a later one) has ended.
  uint64_t Sound() const { return FSound; }
  bool Ended(uint64_t Sound) const { return FEnded >= Sound; }
  // A voice started with Fade fades out before it is stopped: FadeOut begins that, and FadedOut
  // tells when it is silent. Other voices are silent at once.
  bool Fades() const { return FSounding && FFadeFrames > 0; }
  void FadeOut();
  bool FadedOut() const { return !Fades() || (FFadingOut && FFadeLeft == 0); }
  uint32_t Volume() const { return FVolume; }
  void SetVolume(uint32_t Volume) { FVolume = Volume; }

  // Adds the next Samples samples of the sound, in the device's format and at the voice's volume,
  // to Mix. A voice that does not sound adds nothing.
  void MixInto(int32_t* Mix, std::size_t Samples);
  // Called after each device buffer: true when the sound has just been heard to its end.
  bool EndOfBuffer();

 private:
  struct TFreeStream {
    void operator()(SDL_AudioStream* Stream) const { SDL_FreeAudioStream(Stream); }
  };

  void MixDirect(int32_t* Mix, std::size_t Samples);
  void MixConverted(int32_t* Mix, std::size_t Samples);
  // The image's sample at the current position, scaled by the volume; then steps past it,
  // back to the first sample at the end of a loop.
  int NextScaled();
  bool Exhausted() const;
  // The fade's gain for the frame about to be played, and the step to the next frame.
  double FadeGain() const;
  void StepFade();

  TSharedImage FImage;
  TWaveFormat FFormat;
  TWaveFormat FDevice;
  std::unique_ptr<SDL_AudioStream, TFreeStream> FConverter;
  std::vector<uint8_t> FScaled;     // converter input
  std::vector<uint8_t> FConverted;  // converter output
  std::size_t FPos = 0;             // byte offset into the image's samples
  uint32_t FVolume = FullVolume;
  bool FLoop = false;
  bool FSounding = false;
  bool FFlushed = false;  // the converter has been given the whole image
  bool FDrained = false;  // the last samples went out in a buffer
  uint64_t FSound = 0;    // counts the sounds started, so a waiter knows its own has ended
  uint64_t FEnded = 0;
  std::size_t FFadeFrames = 0;  // the length of a fade; 0 for a voice that does not fade
  std::size_t FFrame = 0;       // frames played since the start, while fading in
  std::size_t FFadeLeft = 0;    // frames left of a fade out
  bool FFadingOut = false;
  std::size_t FTrailLeft = 0;  // frames of silence still to stream after a faded sound's end
};

// Writes the voices' sum (one value per sample) to a device buffer, clipped to the sample range.
void WriteMix(const std::vector<int32_t>& Mix, bool EightBit, uint8_t* Out);
