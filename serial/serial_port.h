#pragma once

// SerialPort owns one serial port of the machine. It opens the port by number or device
// path, keeps a reception buffer that background threads fill and an output buffer that a
// background thread drains, and offers operations that never wait for the line: queue a
// byte (PutChar), ask how many bytes are waiting (GetInBufferUsed), take a block of them
// (GetBlock), discard them (FlushInBuffer). Only opening, closing and changing the port
// wait for the operating system. An optional event log is written to a text file
// ("SERIAL.LOG" unless LogName says otherwise) when the port closes.
//
// All operations belong to one thread (the user-interface thread); the component's own
// threads only meet it inside the buffers, under their locks. Failures are raised as the
// exceptions of serial/errors.h.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/mono_time.h"
#include "common/port_name.h"
#include "serial/device.h"
#include "serial/errors.h"
#include "serial/event_log.h"
#include "serial/settings.h"

namespace kivra::serial {

class Dispatcher;

class SerialPort {
 public:
  // Asked when a port with number 0 opens and PromptForPort is set: returns the port the
  // user picked, or nothing when the user cancelled (the open then raises ENoPortSelected).
  // The command line answers it on the terminal, the desktop application with a dialog.
  using PortPrompt = std::function<std::optional<PortName>()>;

  explicit SerialPort(PortSettings settings = {}, DeviceOpener opener = OpenSystemDevice);
  ~SerialPort();  // closes the port, writing the log

  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // --- Which port -------------------------------------------------------------------
  // Port number n is the machine's n-th serial port (on Linux /dev/ttyS<n-1>); 0 means
  // "ask the user". ComNumber is 0 while the port is named by a device path.
  std::uint16_t ComNumber() const { return port_.number(); }
  // No effect when n is already the port. On an open port: closes it (writing the log),
  // takes the new port and opens it again, raising the errors of that open.
  void SetComNumber(std::uint16_t n) { SetPort(PortName::Number(n)); }
  // The same, by device path (/dev/ttyUSB0, a /dev/serial/by-id/... link); an empty
  // path is port number 0.
  void SetDevice(const std::string& path) { SetPort(PortName::Device(path)); }
  void SetPort(const PortName& port);
  const PortName& Port() const { return port_; }
  // The system device the current port opens ("" for port number 0).
  std::string DevicePath() const;

  // --- Opening ----------------------------------------------------------------------
  [[nodiscard]] bool Open() const { return state_ == State::Open; }
  // true: opens the port unless it is open already; raises on failure, leaving it closed.
  // false: closes it: ends the threads, drops unsent output and waiting input, and writes
  // the log file when logging is on and the log holds entries.
  void SetOpen(bool open);
  void SetPortPrompt(PortPrompt prompt) { prompt_ = std::move(prompt); }

  // --- Data -------------------------------------------------------------------------
  // Bytes waiting in the reception buffer, 0 to 8192; 0 when the port is not open (this
  // never opens it).
  std::size_t GetInBufferUsed() const;
  // Copies exactly buffer.size() waiting bytes and removes them. If fewer are waiting,
  // raises EBufferIsEmpty and removes nothing.
  void GetBlock(std::span<std::uint8_t> buffer);
  // Queues one byte for the output thread and returns at once. If the output buffer is
  // full, raises EOutputBufferTooSmall and drops the byte.
  void PutChar(std::uint8_t c);
  // Queues a whole block or nothing: when the output buffer has no room for all of it,
  // raises EOutputBufferTooSmall and queues none of it, so that a frame never goes out
  // in part.
  void PutBlock(std::span<const std::uint8_t> block);
  // Discards what the system has received and empties the reception buffer.
  void FlushInBuffer();
  // GetBlock, PutChar, PutBlock and FlushInBuffer open a closed port first when AutoOpen is
  // set and raise ECommNotOpen when it is not, and while the port is opening or closing.

  // --- Time-stamped data, for the link ----------------------------------------------
  // PutBlock that returns the block's ticket for LeftAt.
  std::uint64_t PutFrame(std::span<const std::uint8_t> frame);
  // When the frame with `ticket` was handed to the system; nothing while it is queued, or
  // when the port closed since.
  std::optional<MonoTime> LeftAt(std::uint64_t ticket) const;
  // Takes up to `max` waiting bytes, each with the moment it arrived; nothing while the
  // port is not open (this never opens it).
  void TakeArrived(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times, std::size_t max);
  // Moves what the system has received into the reception buffer at once.
  void CollectReceived();

  // True once the open device has disappeared (adapter unplugged, line hung up). Nothing
  // arrives from then on and queued output is dropped; close and open again to recover.
  bool DeviceLost() const;

  // --- Properties -------------------------------------------------------------------
  // Line settings and the output lines take effect at once on an open port (raising, and
  // keeping the old value, when the device refuses them); buffer and log sizes at the
  // next open.
  const PortSettings& Settings() const { return settings_; }
  std::uint32_t Baud() const { return settings_.baud; }
  void SetBaud(std::uint32_t baud);
  Parity GetParity() const { return settings_.parity; }
  void SetParity(Parity parity);
  int DataBits() const { return settings_.dataBits; }
  void SetDataBits(int bits);
  int StopBits() const { return settings_.stopBits; }
  void SetStopBits(int bits);
  bool DTR() const { return settings_.dtr; }
  void SetDTR(bool on);
  bool RTS() const { return settings_.rts; }
  void SetRTS(bool on);
  HardwareFlow GetHardwareFlow() const { return settings_.hardwareFlow; }
  void SetHardwareFlow(HardwareFlow flow);
  SoftwareFlow GetSoftwareFlow() const { return settings_.softwareFlow; }
  void SetSoftwareFlow(SoftwareFlow flow);
  std::size_t InSize() const { return settings_.inSize; }
  void SetInSize(std::size_t size);
  std::size_t OutSize() const { return settings_.outSize; }
  void SetOutSize(std::size_t size);
  bool AutoOpen() const { return settings_.autoOpen; }
  void SetAutoOpen(bool on) { settings_.autoOpen = on; }
  bool PromptForPort() const { return settings_.promptForPort; }
  void SetPromptForPort(bool on) { settings_.promptForPort = on; }

  // --- Event log --------------------------------------------------------------------
  LogState Logging() const { return settings_.logging; }
  // LogOn on an open port starts logging now; LogOff stops it and discards the entries.
  void SetLogging(LogState state);
  std::size_t LogSize() const { return settings_.logSize; }
  void SetLogSize(std::size_t size) { settings_.logSize = size; }
  const std::string& LogName() const { return settings_.logName; }
  void SetLogName(const std::string& name) { settings_.logName = name; }
  bool LogHex() const { return settings_.logHex; }
  void SetLogHex(bool on) { settings_.logHex = on; }
  // The entries logged since the port opened (empty while closed).
  std::vector<LogEntry> LogEntries() const;
  // Why the last log file could not be written, empty when it was.
  const std::string& LastLogError() const { return lastLogError_; }

 private:
  enum class State { Closed, Opening, Open, ShuttingDown };

  void OpenPort();
  void ClosePort();
  // The dispatcher for GetBlock, PutChar and FlushInBuffer, opening the port first when
  // AutoOpen allows it; nullptr while the port is opening or closing.
  Dispatcher* NeedDispatcher();
  void ApplyLineSettings(const PortSettings& next);

  PortSettings settings_;
  DeviceOpener opener_;
  PortPrompt prompt_;
  PortName port_;
  State state_ = State::Closed;
  std::unique_ptr<Dispatcher> dispatcher_;
  std::string lastLogError_;
};

}  // namespace kivra::serial
