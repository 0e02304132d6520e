#include "app/driver_port.h"

#include <filesystem>

namespace kivra::app {

SerialDriverPort::SerialDriverPort(const std::string& logFolder) {
  if (!logFolder.empty()) {
    serial::SerialPort& port = link_.Serial();
    port.SetLogName((std::filesystem::path(logFolder) / port.LogName()).string());
  }
}
SerialDriverPort::~SerialDriverPort() { Close(); }

void SerialDriverPort::SetOpen(bool open) {
  // A port whose adapter was pulled stays open on a dead device; choosing it again once
  // the adapter is back must open the device anew, not keep the dead one.
  if (open && link_.Serial().DeviceLost()) link_.Close();
  link_.SetOpen(open);
}

}  // namespace kivra::app
