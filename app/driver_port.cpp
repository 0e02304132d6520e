#include "app/driver_port.h"

namespace kivra::app {

SerialDriverPort::SerialDriverPort() = default;
SerialDriverPort::~SerialDriverPort() { Close(); }

}  // namespace kivra::app
