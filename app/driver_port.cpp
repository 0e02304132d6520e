#include "app/driver_port.h"

namespace kivra::app {

SerialDriverPort::SerialDriverPort() = default;
SerialDriverPort::~SerialDriverPort() { Close(); }

void SerialDriverPort::SetOpen(bool open) {
  // A port whose adapter was pulled stays open on a dead device; choosing it again once
  // the adapter is back must open the device anew, not keep the dead one.
  if (open && link_.Serial().DeviceLost()) link_.Close();
  link_.SetOpen(open);
}

}  // namespace kivra::app
