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
  const std::size_t Bytes = std::size_t(Frames) * FrameBytes;
  const uint8_t* Data = Image + Format.DataOffset;
  const std::size_t Have = Format.DataBytes - Format.DataBytes % FrameBytes;
  // An image without frames is silence: mid-scale for 8 bits, zero for 16.
  if (Have == 0) {
    FSamples.insert(FSamples.end(), Bytes, Format.Bits == 8 ? 0x80 : 0);
    return;
  }
  // The whole frames again and again, as long runs.
  for (std::size_t Done = 0; Done < Bytes;) {
    const std::size_t Offset = Done % Have;
    const std::size_t Run = std::min(Have - Offset, Bytes - Done);
    FSamples.insert(FSamples.end(), Data + Offset, Data + Offset + Run);
    Done += Run;
  }
}

std::vector<uint8_t> TSweepRecorder::WaveHeader() const {
  if (!FHasFormat) return {};
  std::vector<uint8_t> Header(WaveHeaderSize);
  WriteWaveHeader(Header.data(), FFormat, static_cast<uint32_t>(FSamples.size()));
  return Header;
}

void TSweepRecorder::WriteFile(const std::string& FileName) const {
  const std::vector<uint8_t> Header = WaveHeader();
  std::ofstream File(FileName, std::ios::binary | std::ios::trunc);
  // The header, then the samples as they are held: no copy of the whole recording.
  File.write(reinterpret_cast<const char*>(Header.data()),
             static_cast<std::streamsize>(Header.size()));
  if (!Header.empty())
    File.write(reinterpret_cast<const char*>(FSamples.data()),
               static_cast<std::streamsize>(FSamples.size()));
  File.close();
  if (!File) throw Exception("Cannot write the wave file " + FileName);
}
