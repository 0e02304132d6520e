#pragma once

// The serial component as the link's port and port opener.

#include "link/port.h"
#include "link/port_selection.h"
#include "serial/serial_port.h"

namespace kivra::link {

class SerialLink final : public Port, public PortOpener {
 public:
  explicit SerialLink(serial::PortSettings settings = serial::PortSettings::DriverLink());

  void PutChar(std::uint8_t byte) override { port_.PutChar(byte); }
  std::size_t GetInBufferUsed() override { return port_.GetInBufferUsed(); }
  void GetBlock(std::uint8_t* buffer, std::size_t n) override { port_.GetBlock({buffer, n}); }
  void FlushInBuffer() override { port_.FlushInBuffer(); }

  void SetPort(const PortName& port) override;
  void SetOpen(bool open) override { port_.SetOpen(open); }
  // Closes the port; an error while closing is of no interest to anyone by then.
  void Close() noexcept;

  serial::SerialPort& Serial() { return port_; }

 private:
  serial::SerialPort port_;
};

}  // namespace kivra::link
