#include <cstdio>
#include <cstring>
#include <new>

#include "platform/audio/SoundService.h"
#include "sound/ToneGen.h"
#include "sound/ToneGenSynth.h"

bool TToneGen::Synthesize(bool WithEnvelope) {
  const TToneSettings S = Settings();
  const int64_t DataSize = ToneDataSize(S);
  uint8_t Header[WaveHeaderSize];
  BuildWaveHeader(S.Stereo, S.Resolution == tg16Bit, S.Quality == tgHiQ, Header,
                  uint32_t(DataSize));
  // The service may still be reading the old image: silence it before the image goes.
  SoundService().Stop();
  FDataBuffer.reset();
  FDataBufferSize = 0;
  const std::size_t Size = std::size_t(DataSize) + WaveHeaderSize + WaveSpareSize;
  FDataBuffer.reset(new (std::nothrow) uint8_t[Size]);
  if (!FDataBuffer) return false;
  FDataBufferSize = int32_t(Size);
  std::memset(FDataBuffer.get(), FillByte(S.Resolution), Size);
  std::memcpy(FDataBuffer.get(), Header, WaveHeaderSize);

  uint8_t* Data = FDataBuffer.get() + WaveHeaderSize;
  TToneNoise Noise;
  for (const TPartial& Partial : TonePartials(S))
    RenderPartial(Data, DataSize, Partial, S.Resolution, S.Quality, S.Stereo, Noise);
  FWaveChanged = false;
  FPlainStale = false;
  FEnvelopeStale = true;
  if (WithEnvelope) {
    ApplyEnvelope(Data, DataSize, S.Stereo, S.Resolution, FEnvelope);
    FEnvelopeStale = false;
    FPlainStale = true;
  }
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
  if (FLoop) return SND_MEMORY | SND_ASYNC | SND_LOOP;
  return FAsync ? SND_MEMORY | SND_ASYNC : SND_MEMORY;
}

void TToneGen::StartPlayback() {
  Stop();
  ApplyVolume();
  if (FDataBuffer)
    SoundService().PlayImage(FDataBuffer.get(), std::size_t(FDataBufferSize), PlayFlags());
}

void TToneGen::Stop() {
  SoundService().Stop();
  FIdle = true;
}

void TToneGen::PresetVolume() {
  ApplyVolume();
}

void TToneGen::ApplyVolume() {
  const uint32_t Left = uint32_t(FLeftVolume) * 65535 / 100;
  const uint32_t Right = uint32_t(FRightVolume) * 65535 / 100;
  SoundService().SetVolume(FDeviceID, Left + Right * 65536);
}

uint32_t TToneGen::ReadDeviceVolume(uint32_t DeviceID) {
  ISoundService& Service = SoundService();
  TWaveOutCaps Caps;
  Service.GetDevCaps(DeviceID, Caps);
  uint32_t Volume = 0;
  Service.GetVolume(DeviceID, Volume);
  // A device with one volume for both channels reports it in the low half only.
  if ((Caps.dwFormats & WAVE_FORMAT_1S16) == 0) Volume += Volume * 65536;
  return Volume;
}

bool TToneGen::ExportFile(const std::string& FileName) const {
  if (!FDataBuffer) return false;
  std::FILE* File = std::fopen(FileName.c_str(), "wb");
  if (!File) return false;
  std::fwrite(FDataBuffer.get(), 1, std::size_t(FDataBufferSize), File);
  const bool Failed = std::ferror(File) != 0;
  return std::fclose(File) == 0 && !Failed;
}
