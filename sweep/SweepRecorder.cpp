#include "sweep/SweepRecorder.h"

#include <fstream>

#include "platform/core/Exceptions.h"
#include "sound/ToneGen.h"

void TSweepRecorder::SoundCardTone(int Frequency, bool ADSR) {
  if (!BuildTone(Frequency, ADSR))
    throw Exception("The tone at " + std::to_string(Frequency) + " Hz could not be built");
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

namespace {

void Put16(std::vector<uint8_t>& Out, uint32_t Value) {
  Out.push_back(Value & 0xFF);
  Out.push_back((Value >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& Out, uint32_t Value) {
  Put16(Out, Value & 0xFFFF);
  Put16(Out, Value >> 16);
}

}  // namespace

std::vector<uint8_t> TSweepRecorder::WaveFile() const {
  if (!FHasFormat) return {};
  const uint32_t DataSize = static_cast<uint32_t>(FSamples.size());
  const uint32_t BlockAlign = static_cast<uint32_t>(FFormat.FrameBytes());
  std::vector<uint8_t> Out = {'R', 'I', 'F', 'F'};
  Put32(Out, 36 + DataSize);
  Out.insert(Out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  Put32(Out, 16);
  Put16(Out, 1);  // PCM
  Put16(Out, FFormat.Channels);
  Put32(Out, FFormat.Rate);
  Put32(Out, FFormat.Rate * BlockAlign);
  Put16(Out, BlockAlign);
  Put16(Out, FFormat.Bits);
  Out.insert(Out.end(), {'d', 'a', 't', 'a'});
  Put32(Out, DataSize);
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
