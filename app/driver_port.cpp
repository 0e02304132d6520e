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

}  // namespace kivra::app
