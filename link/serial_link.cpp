#include "link/serial_link.h"

namespace kivra::link {

SerialLink::SerialLink(serial::PortSettings settings) : port_(std::move(settings)) {}

void SerialLink::SetPort(const PortName& port) {
  if (port.IsPath()) {
    port_.SetDevice(port.path);
  } else {
    port_.SetComNumber(port.number);
  }
}

void SerialLink::Close() noexcept {
  try {
    port_.SetOpen(false);
  } catch (...) {
  }
}

}  // namespace kivra::link
