#include "platform/audio/sdl/ConvertedImages.h"

#include <cstring>
#include <functional>
#include <string_view>

#include "platform/audio/sdl/ImageResampler.h"

TSharedImage TConvertedImages::Of(const TSharedImage& Image, const TWaveFormat& Format,
                                  unsigned Rate, bool Loop) {
  const std::size_t Hash = std::hash<std::string_view>()(
      std::string_view(reinterpret_cast<const char*>(Image->data()), Image->size()));
  for (auto Entry = FEntries.begin(); Entry != FEntries.end(); ++Entry)
    if (Entry->Hash == Hash && Entry->Rate == Rate && Entry->Loop == Loop &&
        Entry->Source->size() == Image->size() &&
        std::memcmp(Entry->Source->data(), Image->data(), Image->size()) == 0) {
      FEntries.splice(FEntries.begin(), FEntries, Entry);
      return Entry->Converted;
    }
  TEntry Made{Hash, Rate, Loop, Image, ConvertImageRate(Image, Format, Rate, Loop)};
  const TSharedImage Converted = Made.Converted;
  if (Made.Bytes() > FBound) return Converted;
  FBytes += Made.Bytes();
  FEntries.push_front(std::move(Made));
  while (FBytes > FBound) {
    FBytes -= FEntries.back().Bytes();
    FEntries.pop_back();
  }
  return Converted;
}
