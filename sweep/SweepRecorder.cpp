#include "sweep/SweepRecorder.h"

#include <fstream>

#include "platform/core/Exceptions.h"
#include "sound/ToneGen.h"

void TSweepRecorder::SoundCardTone(int Frequency, bool ADSR) {
  BuildTone(Frequency, ADSR);
  Append(FToneGen.GetDataBuffer(), static_cast<std::size_t>(FToneGen.DataBufferSize()),
         FInterval());
}

void TSweepRecorder::Append(const uint8_t* Image, std::size_t Size, int Milliseconds) {
  TWaveFormat Format;
  if (!Image || !ParseWaveImage(Image, Size, Format))
    throw Exception("The tone's wave image is not a PCM wave image");
  if (FHasFormat && !Format.SameStream(FFormat))
    throw Exception("The tone's format changed during the recording");
  FFormat = Format;
  FHasFormat = true;
  const std::size_t FrameBytes = Format.FrameBytes();
  const uint64_t Frames = uint64_t(Format.Rate) * uint64_t(std::max(Milliseconds, 0)) / 1000;
  const uint8_t* Data = Image + Format.DataOffset;
  const std::size_t Have = Format.DataBytes - Format.DataBytes % FrameBytes;
  for (uint64_t Frame = 0; Frame < Frames; ++Frame) {
    if (Have == 0) {
      // An image without frames is silence: mid-scale for 8 bits, zero for 16.
      FSamples.insert(FSamples.end(), FrameBytes, Format.Bits == 8 ? 0x80 : 0);
      continue;
    }
    const std::size_t Offset = (Frame * FrameBytes) % Have;
    FSamples.insert(FSamples.end(), Data + Offset, Data + Offset + FrameBytes);
  }
}

std::vector<uint8_t> TSweepRecorder::WaveFile() const {
  if (!FHasFormat) return {};
  std::vector<uint8_t> Out(WaveHeaderSize);
  WriteWaveHeader(Out.data(), FFormat, static_cast<uint32_t>(FSamples.size()));
  Out.insert(Out.end(), FSamples.begin(), FSamples.end());
  return Out;
}

void TSweepRecorder::WriteFile(const std::string& FileName) const {
  const std::vector<uint8_t> Bytes = WaveFile();
  std::ofstream File(FileName, std::ios::binary | std::ios::trunc);
  File.write(reinterpret_cast<const char*>(Bytes.data()),
             static_cast<std::streamsize>(Bytes.size()));
  File.close();
  if (!File) throw Exception("Cannot write the wave file " + FileName);
}
