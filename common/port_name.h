#pragma once

// How a port is named, one type for the serial component, the link, the window and the
// command line: by number, as the driver link and the stored COMPORT setting have
// always done (1 is the first serial port of the machine), or by device path, which is how
// USB adapters are reached (/dev/ttyUSB0, a /dev/serial/by-id/... link). One value type
// holds either, can be stored as text and read back, and shown to the user.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivra {

class PortName {
 public:
  // Port number 0: no port chosen yet; opening it asks the user for one.
  PortName() = default;

  static PortName Number(std::uint16_t number);
  static PortName Device(std::string path);

  // Reads what a user types or a setting holds: a decimal number ("3"), "COM3", a device
  // path ("/dev/ttyUSB0"), or a bare device name ("ttyUSB0", meaning /dev/ttyUSB0).
  // Surrounding blanks are ignored. Empty text, numbers above 65535 and other text give
  // nothing.
  static std::optional<PortName> Parse(std::string_view text);

  bool IsNumber() const { return path_.empty(); }
  std::uint16_t number() const { return number_; }   // 0 for a device path
  const std::string& path() const { return path_; }  // empty for a number

  // The text to store: the number in decimal or the path. Parse(ToString()) gives this
  // value back.
  std::string ToString() const;

  // The name shown to the user and written into the log: "COM3" or the path.
  std::string DisplayName() const;

  bool operator==(const PortName&) const = default;

 private:
  std::uint16_t number_ = 0;
  std::string path_;
};

}  // namespace kivra
