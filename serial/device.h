#pragma once

// The operating system's side of an open serial port, kept behind one small interface so
// that the threads and buffers above it are the same on every system. The POSIX variant
// (termios, poll) lives in posix_device.cpp, the Windows one (overlapped I/O, events) in
// win32_device.cpp.
//
// Threads: the event thread waits in WaitReadable, the dispatch thread reads, the output
// thread writes and waits in WaitWritable, and the user's thread may purge, change the
// settings or interrupt, all at the same time. Close is called after those threads ended.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/port_name.h"
#include "serial/settings.h"

namespace kivra::serial {

enum class IoStatus {
  Ok,          // `count` bytes moved (possibly fewer than asked)
  WouldBlock,  // nothing to read now, or no room to write
  Gone,        // the device disappeared or failed; it will not work again
};

struct IoResult {
  IoStatus status = IoStatus::Ok;
  std::size_t count = 0;
  int error = 0;  // the system's error number when Gone, 0 for an end of file
};

enum class WaitResult {
  Ready,        // the device is readable (or writable)
  HangUp,       // the device reports a hang-up or error; reading shows what is left
  Interrupted,  // Interrupt() was called
};

// The state of the line as the system reports it. The modem bits are those of the
// classic status register: CTS 10h, DSR 20h, RING 40h, DCD 80h.
struct LineStatus {
  std::uint32_t modemBits = 0;
  std::uint32_t framingErrors = 0;
  std::uint32_t parityErrors = 0;
  std::uint32_t overruns = 0;
  std::uint32_t breaks = 0;
};

class Device {
 public:
  virtual ~Device() = default;

  // Applies the line settings, flow control and output lines; raises ESerialPortError
  // when the system refuses them.
  virtual void Configure(const PortSettings& settings) = 0;

  // Non-blocking transfers.
  virtual IoResult Read(std::span<std::uint8_t> buffer) = 0;
  virtual IoResult Write(std::span<const std::uint8_t> data) = 0;

  // Block until the device can be read (written), reports a hang-up, or Interrupt() has
  // been called. Once interrupted, every wait returns Interrupted at once.
  virtual WaitResult WaitReadable() = 0;
  virtual WaitResult WaitWritable() = 0;
  virtual void Interrupt() = 0;

  // Discards what the system holds in its receive and/or transmit queue.
  virtual void Purge(bool input, bool output) = 0;

  // Nothing when the device has no modem lines or counters (pseudo-terminals).
  virtual std::optional<LineStatus> Status() = 0;

  // Releases the device; safe to call more than once.
  virtual void Close() = 0;

  // What the system refused while the device was set up without that making the port
  // useless (a pseudo-terminal under wine has no DTR and RTS to clear): logged when the
  // port opens, so that the log says why a line stayed as it was.
  struct Refusal {
    const char* what;
    int error;  // the system's error number
  };
  virtual std::vector<Refusal> Refusals() const { return {}; }
};

// Opens a device by its system path, exclusively; raises the errors of RaiseOpenError.
// The output lines that `settings` wants off are switched off the moment the device is
// open, before anything else is set up, so that a device that reacts to them (a driver
// that resets on DTR) is disturbed as little as the system allows.
using DeviceOpener =
    std::function<std::unique_ptr<Device>(const std::string& path, const PortSettings& settings)>;

std::unique_ptr<Device> OpenSystemDevice(const std::string& path,
                                         const PortSettings& settings = {});

// Whether a device is there to be opened at `path` (a pulled adapter's is not). Looks at
// the path only; it opens nothing.
bool DevicePresent(const std::string& path);

// The system device behind a port name: port number n is the machine's n-th serial port.
std::string SystemDevicePath(const PortName& port);

// For the log file's header, e.g. "Linux 6.1.0-13-amd64 x86_64".
std::string OperatingSystemName();

}  // namespace kivra::serial
