#include "serial/serial_port.h"

#include <stdexcept>
#include <system_error>

#include "common/file_path.h"
#include "serial/dispatcher.h"

namespace kivra::serial {

SerialPort::SerialPort(PortSettings settings, DeviceOpener opener)
    : settings_(std::move(settings)), opener_(std::move(opener)) {
  if (settings_.outSize == 0) throw std::invalid_argument("OutSize must be at least 1");
}

SerialPort::~SerialPort() {
  ClosePort();
}

void SerialPort::SetPort(const PortName& port) {
  if (port == port_) return;
  if (state_ != State::Open) {
    port_ = port;
    return;
  }
  // Logging settings live in settings_, not in the dispatcher, so they survive the reopen.
  ClosePort();
  port_ = port;
  OpenPort();
}

std::string SerialPort::DevicePath() const {
  if (port_.IsNumber() && port_.number() == 0) return {};
  return SystemDevicePath(port_);
}

void SerialPort::SetOpen(bool open) {
  if (open) {
    OpenPort();
  } else {
    ClosePort();
  }
}

void SerialPort::OpenPort() {
  if (state_ != State::Closed) return;
  state_ = State::Opening;
  try {
    if (port_.IsNumber() && port_.number() == 0) {
      if (!settings_.promptForPort || !prompt_) throw ENoPortSelected();
      // The prompt may run a nested event loop; state_ keeps re-entrant calls out.
      const std::optional<PortName> chosen = prompt_();
      if (!chosen || (chosen->IsNumber() && chosen->number() == 0)) throw ENoPortSelected();
      port_ = *chosen;
    }
    std::unique_ptr<Device> device = opener_(SystemDevicePath(port_), settings_);
    device->Configure(settings_);
    auto dispatcher =
        std::make_unique<Dispatcher>(std::move(device), settings_.outSize, settings_.logSize,
                                     settings_.logging == LogState::LogOn);
    dispatcher->Start();
    dispatcher_ = std::move(dispatcher);
    state_ = State::Open;
  } catch (const std::system_error& e) {
    // A thread that could not be started.
    state_ = State::Closed;
    RaiseError(e.code().value() > 0 ? -e.code().value() : -1);
  } catch (...) {
    state_ = State::Closed;
    throw;
  }
}

void SerialPort::ClosePort() {
  if (state_ != State::Open) return;
  state_ = State::ShuttingDown;
  dispatcher_->Shutdown();
  if (settings_.logging == LogState::LogOn) {
    const std::vector<LogEntry> entries = dispatcher_->Log().Take();
    if (!entries.empty()) {
      std::string device = port_.DisplayName();
      if (port_.IsNumber()) device += " (" + SystemDevicePath(port_) + ")";
      const std::string text = FormatLogFile({device, LogDateTimeNow()}, entries, settings_.logHex);
      lastLogError_.clear();
      // The log is a diagnostic: failing to write it must not keep the port from closing.
      WriteLogFile(PathFromUtf8(settings_.logName), text, &lastLogError_);
    }
  }
  dispatcher_.reset();
  state_ = State::Closed;
}

Dispatcher* SerialPort::NeedDispatcher() {
  if (state_ == State::Closed) {
    if (!settings_.autoOpen) throw ECommNotOpen();
    OpenPort();
  }
  return state_ == State::Open ? dispatcher_.get() : nullptr;
}

std::size_t SerialPort::GetInBufferUsed() const {
  return state_ == State::Open ? dispatcher_->InBufferUsed() : 0;
}

void SerialPort::GetBlock(std::span<std::uint8_t> buffer) {
  Dispatcher* d = NeedDispatcher();
  // Nothing can be handed out while the port is opening or closing; saying so is better
  // than leaving the caller's buffer as it was.
  if (!d) throw ECommNotOpen();
  d->GetBlock(buffer);
}

// While the port opens or closes there is no device to send to: a caller told nothing
// would take a frame that never left for one that did.
void SerialPort::PutChar(std::uint8_t c) {
  Dispatcher* d = NeedDispatcher();
  if (!d) throw ECommNotOpen();
  d->PutChar(c);
}

void SerialPort::PutBlock(std::span<const std::uint8_t> block) {
  PutFrame(block);
}

std::uint64_t SerialPort::PutFrame(std::span<const std::uint8_t> frame) {
  Dispatcher* d = NeedDispatcher();
  if (!d) throw ECommNotOpen();
  return d->PutBlock(frame);
}

void SerialPort::FlushInBuffer() {
  Dispatcher* d = NeedDispatcher();
  if (!d) throw ECommNotOpen();
  d->FlushInBuffer();
}

std::optional<MonoTime> SerialPort::LeftAt(std::uint64_t ticket) const {
  if (state_ != State::Open) return std::nullopt;
  return dispatcher_->LeftAt(ticket);
}

void SerialPort::TakeArrived(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times,
                             std::size_t max) {
  if (state_ == State::Open) dispatcher_->TakeArrived(bytes, times, max);
}

void SerialPort::CollectReceived() {
  if (state_ == State::Open) dispatcher_->CollectReceived();
}

bool SerialPort::DeviceLost() const {
  return state_ == State::Open && dispatcher_->DeviceLost();
}

void SerialPort::ApplyLineSettings(const PortSettings& next) {
  if (state_ == State::Open) dispatcher_->device().Configure(next);
  settings_ = next;
}

void SerialPort::SetBaud(std::uint32_t baud) {
  PortSettings next = settings_;
  next.baud = baud;
  ApplyLineSettings(next);
}

void SerialPort::SetParity(Parity parity) {
  PortSettings next = settings_;
  next.parity = parity;
  ApplyLineSettings(next);
}

void SerialPort::SetDataBits(int bits) {
  if (bits < 5 || bits > 8) throw std::invalid_argument("DataBits must be 5 to 8");
  PortSettings next = settings_;
  next.dataBits = bits;
  ApplyLineSettings(next);
}

void SerialPort::SetStopBits(int bits) {
  if (bits != 1 && bits != 2) throw std::invalid_argument("StopBits must be 1 or 2");
  PortSettings next = settings_;
  next.stopBits = bits;
  ApplyLineSettings(next);
}

void SerialPort::SetDTR(bool on) {
  PortSettings next = settings_;
  next.dtr = on;
  ApplyLineSettings(next);
}

void SerialPort::SetRTS(bool on) {
  PortSettings next = settings_;
  next.rts = on;
  ApplyLineSettings(next);
}

void SerialPort::SetHardwareFlow(HardwareFlow flow) {
  PortSettings next = settings_;
  next.hardwareFlow = flow;
  ApplyLineSettings(next);
}

void SerialPort::SetSoftwareFlow(SoftwareFlow flow) {
  PortSettings next = settings_;
  next.softwareFlow = flow;
  ApplyLineSettings(next);
}

void SerialPort::SetInSize(std::size_t size) {
  settings_.inSize = size;
}

void SerialPort::SetOutSize(std::size_t size) {
  if (size == 0) throw std::invalid_argument("OutSize must be at least 1");
  settings_.outSize = size;
}

void SerialPort::SetLogging(LogState state) {
  settings_.logging = state;
  if (state_ != State::Open) return;
  EventLog& log = dispatcher_->Log();
  log.SetEnabled(state == LogState::LogOn);
  if (state == LogState::LogOff) log.Take();
}

std::vector<LogEntry> SerialPort::LogEntries() const {
  return state_ == State::Open ? dispatcher_->Log().Entries() : std::vector<LogEntry>{};
}

}  // namespace kivra::serial
