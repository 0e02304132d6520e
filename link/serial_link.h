#pragma once

// The serial component as the link's line: the port, its opener, the prompt for port 0.
// The one adapter between the serial component and the link, for the window and the
// command line alike.

#include "link/port.h"
#include "link/port_selection.h"
#include "serial/serial_port.h"

namespace kivra::link {

class SerialLink final : public LinePort {
 public:
  // The diagnostic log (SERIAL.LOG) is written to `logFolder` when the port closes; empty:
  // the working directory.
  explicit SerialLink(serial::PortSettings settings = serial::PortSettings::DriverLink(),
                      const std::string& logFolder = {});
  ~SerialLink() override { Close(); }

  void PutChar(std::uint8_t byte) override { port_.PutChar(byte); }
  void PutBlock(std::span<const std::uint8_t> bytes) override { port_.PutBlock(bytes); }
  std::size_t GetInBufferUsed() override { return port_.GetInBufferUsed(); }
  void GetBlock(std::uint8_t* buffer, std::size_t n) override { port_.GetBlock({buffer, n}); }
  void FlushInBuffer() override { port_.FlushInBuffer(); }

  void SetPort(const PortName& port) override;
  // Raises PortOpenError with the reason in the serial component's terms.
  void SetOpen(bool open) override;
  bool DeviceLost() override { return port_.DeviceLost(); }
  bool DevicePresent(const PortName& port) override;
  void SetPortPrompt(Prompt prompt) override { port_.SetPortPrompt(std::move(prompt)); }
  // Closes the port; an error while closing is of no interest to anyone by then.
  void Close() noexcept override;

  serial::SerialPort& Serial() { return port_; }

 private:
  serial::SerialPort port_;
};

}  // namespace kivra::link
