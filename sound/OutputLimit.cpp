#include "sound/OutputLimit.h"

#include <cstdio>

#include "platform/audio/Passband.h"
#include "platform/audio/SoundService.h"
#include "platform/core/Messages.h"

std::string KilohertzText(double Hertz) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%.1f kHz", Hertz / 1000);
  return Text;
}

std::string TOutputLimit::Text() const {
  return FormatMessage("the output (%s) carries nothing at or above %s", Chain.Describe().c_str(),
                       KilohertzText(Edge).c_str());
}

std::optional<TOutputLimit> OutputLimit(const TOutputChain& Chain, unsigned ImageRate) {
  const unsigned Rate = Chain.CarriedRate(ImageRate);
  if (Rate >= ImageRate) return std::nullopt;
  return TOutputLimit{Chain, Rate, PassbandEdge(Rate)};
}

std::optional<TOutputLimit> CurrentOutputLimit(unsigned ImageRate) {
  return OutputLimit(SoundService().Output(ImageRate), ImageRate);
}
