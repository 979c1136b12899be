#include <cstdio>
#include <memory>
#include <new>
#include <vector>

#include "platform/audio/SoundService.h"
#include "sound/OutputLimit.h"
#include "sound/ToneBlocks.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"

bool TToneGen::Synthesize(bool WithEnvelope) {
  const TToneSettings S = Settings();
  const int64_t DataSize = ToneDataSize(S);
  uint8_t Header[WaveHeaderSize];
  WriteWaveHeader(Header, ToneWaveFormat(S), uint32_t(DataSize));
  // A new build silences the tone that is sounding, whose image it replaces. The old image goes
  // first, so that two long ones are never held at once.
  SoundService().Stop(svTone);
  FImage.reset();
  const std::size_t Size = std::size_t(DataSize) + WaveHeaderSize + WaveSpareSize;
  std::shared_ptr<std::vector<uint8_t>> Image;
  try {
    Image = std::make_shared<std::vector<uint8_t>>(Header, Header + WaveHeaderSize);
    Image->reserve(Size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  // The blocks are appended as they are made: the image is never filled before it is written.
  TToneBlocks Blocks(S, WithEnvelope ? &FEnvelope : nullptr);
  for (auto Block = Blocks.Next(); !Block.empty(); Block = Blocks.Next())
    Image->insert(Image->end(), Block.begin(), Block.end());
  FWaveChanged = false;
  FPlainStale = false;
  FEnvelopeStale = true;
  if (WithEnvelope) {
    FEnvelopeStale = false;
    FPlainStale = true;
  }
  FImage = std::move(Image);
  return true;
}

bool TToneGen::Prepare() {
  ApplyVolume();
  return Synthesize(false);
}

bool TToneGen::PrepareADSR() {
  ApplyVolume();
  return Synthesize(true);
}

void TToneGen::Play() {
  if (FWaveChanged || FPlainStale) Synthesize(false);
  FIdle = false;
  StartPlayback();
  FIdle = !FAsync && !FLoop;
}

void TToneGen::PlayADSR() {
  if (FWaveChanged || FEnvelopeStale) Synthesize(true);
  FIdle = false;
  StartPlayback();
  FIdle = !FAsync && !FLoop;
}

uint32_t TToneGen::PlayFlags() const {
  const uint32_t Fade = FUltrasoundOnly ? SND_FADE : 0;
  if (FLoop) return SND_MEMORY | SND_ASYNC | SND_LOOP | Fade;
  return (FAsync ? SND_MEMORY | SND_ASYNC : SND_MEMORY) | Fade;
}

void TToneGen::StartPlayback() {
  Stop();
  ApplyVolume();
  // A tone that the output cannot carry stays silent rather than reach it folded or as a
  // filtered remnant; the caller says why. A device that refuses the tone leaves it silent too,
  // as a refused tone always has; the device listing says why.
  const auto Limit = CurrentOutputLimit(ImageRate());
  FCarried = !Limit || Limit->Carries(FFrequency);
  if (FImage && FCarried) static_cast<void>(SoundService().PlayImage(svTone, FImage, PlayFlags()));
}

void TToneGen::Stop() {
  SoundService().Stop(svTone);
  FIdle = true;
}

void TToneGen::PresetVolume() {
  ApplyVolume();
}

void TToneGen::ApplyVolume() {
  const uint32_t Left = uint32_t(FLeftVolume) * 65535 / 100;
  const uint32_t Right = uint32_t(FRightVolume) * 65535 / 100;
  SoundService().SetVolume(svTone, Left + Right * 65536);
}

uint32_t TToneGen::ReadDeviceVolume() {
  ISoundService& Service = SoundService();
  TWaveOutCaps Caps;
  Service.GetDevCaps(svTone, Caps);
  uint32_t Volume = 0;
  Service.GetVolume(svTone, Volume);
  // A device with one volume for both channels reports it in the low half only.
  if ((Caps.dwFormats & WAVE_FORMAT_1S16) == 0) Volume += Volume * 65536;
  return Volume;
}

bool TToneGen::ExportFile(const std::string& FileName) const {
  if (!FImage) return false;
  std::FILE* File = std::fopen(FileName.c_str(), "wb");
  if (!File) return false;
  std::fwrite(FImage->data(), 1, FImage->size(), File);
  const bool Failed = std::ferror(File) != 0;
  return std::fclose(File) == 0 && !Failed;
}
