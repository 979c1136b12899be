#include "sound/DevicesCommand.h"

#include <chrono>
#include <iostream>
#include <optional>
#include <string>

#include "platform/audio/Passband.h"
#include "platform/audio/PulseProbe.h"
#include "platform/audio/SoundService.h"
#include "platform/core/CommandLine.h"
#include "platform/core/Messages.h"
#include "platform/core/Translation.h"
#include "sound/OutputLimit.h"

namespace {

const char* const DevicesUsage = TrMark(
    "Usage: tessolon devices [--quality hi|lo] [--resolution 16|8] [--mono]\n"
    "Names the sound server behind the output (PipeWire, PulseAudio or plain ALSA) and the rate\n"
    "it really runs at, then lists the sound card outputs with the rate, sample format and\n"
    "channels each runs at when asked for the tone generator's image format, and says when the\n"
    "output raises the image's rate or runs below it (the program then converts the image\n"
    "itself, and nothing at or above the converter's edge, a little below half the output's\n"
    "rate, is carried). Nothing is played. SDL_AUDIODRIVER chooses the audio driver.\n"
    "  --quality hi|lo     images of 96000 or 44100 samples per second (default hi)\n"
    "  --resolution 16|8   bits per sample (default 16)\n"
    "  --mono              one channel instead of two\n"
    "Exit status: 0 listed, 1 refused (no audio driver starts, no output opens), 2 bad\n"
    "arguments.\n");

std::string Channels(uint16_t Count) {
  return Count == 1 ? Tr("1 channel") : FormatMessage("%u channels", unsigned(Count));
}

std::string Format(uint32_t Rate, const std::string& Samples, uint16_t Count) {
  return FormatMessage("%u Hz, %s, %s", unsigned(Rate), Samples.c_str(), Channels(Count).c_str());
}

// What the output does with an image of the asked rate.
std::string RateNote(uint32_t DeviceRate, uint32_t ImageRate) {
  if (DeviceRate == ImageRate) return Tr("plays the image at its own rate");
  if (DeviceRate > ImageRate)
    return FormatMessage("resamples the %u Hz image to %u Hz", unsigned(ImageRate),
                         unsigned(DeviceRate));
  return FormatMessage(
      "runs below the image's rate: the program converts the %u Hz image to %u Hz itself, and "
      "nothing at or above %s is carried",
      unsigned(ImageRate), unsigned(DeviceRate), KilohertzText(PassbandEdge(DeviceRate)).c_str());
}

// SDL's word on each output, corrected by what the chain behind it says: the default output
// runs at the chain's rate, and each server sink at its own.
void ApplyChain(TAudioOutputs& Outputs, const TOutputChain& Chain) {
  if (Chain.Server == TSoundServer::None || Chain.Rate == 0) return;
  std::optional<TPulseServer> Server;
  if (Chain.Server != TSoundServer::Alsa) Server = QueryPulseServer(std::chrono::seconds(1));
  for (TOutputDevice& Device : Outputs.Devices) {
    if (!Device.Opened) continue;
    if (Device.Name.empty()) Device.Rate = Chain.Rate;
    if (Server)
      for (const TPulseSink& Sink : Server->Sinks)
        if (Sink.Description == Device.Name || Sink.Name == Device.Name) Device.Rate = Sink.Rate;
  }
}

int Devices(const TImageFormat& Image) {
  TAudioOutputs Outputs;
  try {
    Outputs = ListOutputDevices(Image);
  } catch (const EAudioDevicesError& E) {
    std::cerr << "tessolon devices: " << E.what() << "\n";
    return ecRefused;
  }
  const TOutputChain Chain = SoundService().Output(Image.Rate);
  ApplyChain(Outputs, Chain);
  std::cout << FormatMessage("Audio driver: %s", Outputs.Driver.c_str()) << "\n";
  if (Chain.Server != TSoundServer::None)
    std::cout << FormatMessage("Sound server: %s", Chain.Describe().c_str()) << "\n";
  const std::string Samples =
      Image.Bits == 16 ? FormatMessage("signed %d-bit", 16) : FormatMessage("unsigned %d-bit", 8);
  std::cout << FormatMessage("Image asked for: %s",
                             Format(Image.Rate, Samples, Image.Channels).c_str())
            << "\n";
  bool AnyOpened = false;
  for (const TOutputDevice& Device : Outputs.Devices) {
    std::cout << DescribeOutput(Device, Image) << "\n";
    AnyOpened = AnyOpened || Device.Opened;
  }
  if (AnyOpened) return ecSuccess;
  std::cerr << "tessolon devices: " << Tr("no output could be opened") << "\n";
  return ecRefused;
}

}  // namespace

std::string DescribeOutput(const TOutputDevice& Device, const TImageFormat& Image) {
  const std::string Name = Device.Name.empty() ? Tr("default output") : Device.Name;
  if (!Device.Opened)
    return FormatMessage("%s: cannot be opened (%s)", Name.c_str(), Device.Error.c_str());
  return FormatMessage("%s: opens at %s; %s", Name.c_str(),
                       Format(Device.Rate, Device.SampleFormat, Device.Channels).c_str(),
                       RateNote(Device.Rate, Image.Rate).c_str());
}

int DevicesCommand(const std::vector<std::string>& Args) {
  TCommandLine Line("tessolon devices", DevicesUsage);
  TOptions& Options = Line.Options();
  TImageFormat Image;
  AddQualityOption(Options, [&Image](bool High) { Image.Rate = High ? 96000 : 44100; });
  AddResolutionOption(Options, [&Image](unsigned Bits) { Image.Bits = uint16_t(Bits); });
  Options.Flag("--mono", [&Image] { Image.Channels = 1; });
  return Line.Run(Args, [&] { return Devices(Image); });
}
