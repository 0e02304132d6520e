#pragma once

// The properties of a serial port that are set before (or while) it is open: line
// settings, buffer sizes, opening behaviour and the event log.

#include <cstddef>
#include <cstdint>
#include <string>

namespace kivra::serial {

// The reception buffer holds this many bytes whatever the settings say.
inline constexpr std::size_t InBufferSize = 8192;

enum class Parity { None, Odd, Even, Mark, Space };
enum class HardwareFlow { None, RtsCts };
enum class SoftwareFlow { None, XonXoff };
enum class LogState { LogOff, LogOn };

struct PortSettings {
  std::uint32_t baud = 19200;
  Parity parity = Parity::None;
  int dataBits = 8;  // 5 to 8
  int stopBits = 1;  // 1 or 2
  bool dtr = true;   // output lines while open; nothing drives them automatically
  bool rts = true;
  HardwareFlow hardwareFlow = HardwareFlow::None;
  SoftwareFlow softwareFlow = SoftwareFlow::None;
  std::uint8_t xonChar = 0x11;
  std::uint8_t xoffChar = 0x13;
  std::size_t inSize = 4096;   // system receive queue, where the system lets us choose
  std::size_t outSize = 4096;  // system transmit queue, and the size of the output ring
  bool autoOpen = true;        // GetBlock, PutChar and FlushInBuffer open a closed port
  bool promptForPort = true;   // opening port number 0 asks the user for a port
  LogState logging = LogState::LogOff;
  std::size_t logSize = 10000;  // bytes of log kept in memory
  std::string logName = "SERIAL.LOG";
  bool logHex = true;  // non-printable data bytes in hexadecimal rather than decimal

  // What the driver link runs with: 9600 baud, 8 data bits, no parity, 2 stop bits, both
  // output lines off, logging on.
  static PortSettings DriverLink();
};

inline PortSettings PortSettings::DriverLink() {
  PortSettings s;
  s.baud = 9600;
  s.stopBits = 2;
  s.dtr = false;
  s.rts = false;
  s.logging = LogState::LogOn;
  return s;
}

}  // namespace kivra::serial
