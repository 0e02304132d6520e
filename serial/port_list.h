#pragma once

// The serial devices present on this machine, for the port dialog and the command line's
// port prompt. Listing opens nothing. On Linux it reads what the kernel publishes about its
// terminal devices (/sys/class/tty) and the stable names udev gives USB adapters
// (/dev/serial/by-id); on Windows the ports the registry lists under
// HARDWARE\DEVICEMAP\SERIALCOMM, with the names Device Manager shows for them.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/port_name.h"

namespace kivra::serial {

struct PortInfo {
  std::string path;             // /dev/ttyUSB0
  std::string description;      // "FT232R USB UART (FTDI)", "Serial port COM1", ...
  std::string byIdPath;         // /dev/serial/by-id/usb-FTDI_..., empty when there is none
  std::uint16_t comNumber = 0;  // n when the device is /dev/ttyS<n-1>, otherwise 0

  // How to store and reopen this port: by number for the machine's own ports, by the
  // stable by-id link for adapters that have one (their ttyUSBn name changes with the
  // order they are plugged in), otherwise by path.
  PortName Name() const;
};

// Where the kernel's and udev's views are found; tests point these into a scratch tree.
struct PortListRoots {
  std::filesystem::path sysClassTty = "/sys/class/tty";
  std::filesystem::path dev = "/dev";
  std::filesystem::path byId = "/dev/serial/by-id";
};

// Serial devices backed by hardware (virtual consoles and pseudo-terminals are left out,
// and so are the UART slots the kernel reserves without a chip behind them), in natural
// order: ttyS2 before ttyS10. Windows has no roots to point elsewhere and ignores them.
std::vector<PortInfo> ListSerialPorts(const PortListRoots& roots = {});

// Windows' list from what the system holds: the port names of SERIALCOMM's values
// ("COM3") and the friendly names Device Manager shows, by port name
// ("USB Serial Port (COM3)"). Names that are no COM1..COM255 are left out, each port
// appears once, in the order of its number.
std::vector<PortInfo> ComPortList(const std::vector<std::string>& portNames,
                                  const std::map<std::string, std::string>& friendlyNames);

}  // namespace kivra::serial
