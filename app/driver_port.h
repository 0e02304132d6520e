#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/port.h"
#include "link/port_selection.h"
#include "link/serial_link.h"
#include "serial/port_name.h"

namespace kivra::app {

// The serial port as the window's link uses it: the link's port and port opener, the
// prompt for port number 0, and closing at the end of the run. Tests put a scripted port
// in its place.
class DriverPort : public link::Port, public link::PortOpener {
 public:
  // Asked when port number 0 is opened: the port the user picked, or nothing.
  using Prompt = std::function<std::optional<serial::PortName>()>;
  virtual void SetPortPrompt(Prompt prompt) = 0;
  virtual void Close() noexcept = 0;
};

// The real serial component with the driver's line settings. Its diagnostic log
// (SERIAL.LOG) is written to `logFolder` when the port closes; empty: the working directory.
class SerialDriverPort final : public DriverPort {
 public:
  explicit SerialDriverPort(const std::string& logFolder = {});
  ~SerialDriverPort() override;

  void PutChar(std::uint8_t byte) override { link_.PutChar(byte); }
  void PutBlock(std::span<const std::uint8_t> bytes) override { link_.PutBlock(bytes); }
  std::size_t GetInBufferUsed() override { return link_.GetInBufferUsed(); }
  void GetBlock(std::uint8_t* buffer, std::size_t n) override { link_.GetBlock(buffer, n); }
  void FlushInBuffer() override { link_.FlushInBuffer(); }

  void SetPort(const link::PortName& port) override { link_.SetPort(port); }
  void SetOpen(bool open) override { link_.SetOpen(open); }
  bool DeviceLost() override { return link_.DeviceLost(); }
  bool DevicePresent(const link::PortName& port) override { return link_.DevicePresent(port); }
  void SetPortPrompt(Prompt prompt) override { link_.Serial().SetPortPrompt(std::move(prompt)); }
  void Close() noexcept override { link_.Close(); }

 private:
  link::SerialLink link_;
};

}  // namespace kivra::app
