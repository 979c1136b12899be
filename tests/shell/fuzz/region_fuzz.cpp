// Decodes arbitrary bytes as a stored region block (RegionData, DownRegionData). A block that
// decodes must encode to a block that decodes to the same region.
#include <QRegion>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "shell/Shape.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  QRegion Region;
  try {
    Region = DecodeRegion(TBytes(Data, Data + Size));
  } catch (const EInvalidRegionData&) {
    return 0;  // refused with a message
  }
  if (DecodeRegion(EncodeRegion(Region)) != Region) {
    std::fprintf(stderr, "region changed on its way back\n");
    std::abort();
  }
  return 0;
}
