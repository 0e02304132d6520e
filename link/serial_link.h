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

  std::uint64_t Send(std::span<const std::uint8_t> frame) override { return port_.PutFrame(frame); }
  std::optional<MonoTime> LeftAt(std::uint64_t ticket) override { return port_.LeftAt(ticket); }
  // What has reached the system is collected first, so that it is stamped before a frame
  // that goes out after this call.
  void Receive(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times,
               std::size_t max) override {
    port_.CollectReceived();
    port_.TakeArrived(bytes, times, max);
  }
  void FlushInBuffer() override { port_.FlushInBuffer(); }
  MonoTime Now() override { return MonoNow(); }

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
