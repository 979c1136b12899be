// Port I/O fake for tests: keeps every write in order.
#pragma once

#include <vector>

#include "platform/hw/PortIO.h"

struct TPortWrite {
  uint16_t Port;
  uint8_t Value;
  bool operator==(const TPortWrite&) const = default;
};

class TRecordingPortIO : public IPortIO {
 public:
  void WritePort(uint16_t Port, uint8_t Value) override { Writes.push_back({Port, Value}); }
  std::vector<TPortWrite> Writes;
};
