#include "platform/hw/PortIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TESSOLON_HAS_PORT_IO 1
#endif

namespace {

std::string PortList(const std::vector<uint16_t>& Ports) {
  std::string List;
  char Hex[8];
  for (std::size_t I = 0; I < Ports.size(); ++I) {
    std::snprintf(Hex, sizeof Hex, "0x%02X", Ports[I]);
    if (I > 0) List += I + 1 == Ports.size() ? " and " : ", ";
    List += Hex;
  }
  return List;
}

#ifdef TESSOLON_HAS_PORT_IO
class TPortIO : public IPortIO {
 public:
  void WritePort(uint16_t Port, uint8_t Value) override { outb(Value, Port); }
};
#endif

}  // namespace

std::unique_ptr<IPortIO> OpenPorts(const std::vector<uint16_t>& Ports) {
#ifdef TESSOLON_HAS_PORT_IO
  for (const uint16_t Port : Ports)
    if (ioperm(Port, 1, 1) != 0)
      throw EHardwareUnavailable("I/O ports " + PortList(Ports) +
                                 ": the kernel refuses access (ioperm: " + std::strerror(errno) +
                                 ")");
  return std::make_unique<TPortIO>();
#else
  throw EHardwareUnavailable("I/O ports " + PortList(Ports) +
                             ": this processor has no port I/O instructions");
#endif
}
