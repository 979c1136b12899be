// Byte writes to the PC's I/O ports, behind an interface so that the speaker's port path can run
// against a recording fake. The real access needs the kernel's permission for each port.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/Exceptions.h"

// A piece of speaker hardware (ports, kernel device) that this machine does not let us use.
class EHardwareUnavailable : public Exception {
 public:
  using Exception::Exception;
};

class IPortIO {
 public:
  virtual ~IPortIO() = default;
  virtual void WritePort(uint16_t Port, uint8_t Value) = 0;
};

// Real port access for the given ports, granted through ioperm on x86. Throws
// EHardwareUnavailable, naming the ports and the kernel's reason, when access is refused or the
// processor has no I/O ports.
std::unique_ptr<IPortIO> OpenPorts(const std::vector<uint16_t>& Ports);
