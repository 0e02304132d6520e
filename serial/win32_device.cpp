// Serial devices on Windows: the communications API on a handle opened for overlapped
// I/O, one OVERLAPPED and event per thread that uses it, and a manual-reset event as the
// wake-up that lets a closing port stop its threads at once.
//
//   event thread     WaitCommEvent (received character, line errors, modem lines, break,
//                    ring), kept running until it completes or the port closes
//   dispatch thread  ReadFile, which returns at once with what the input queue holds
//                    (COMMTIMEOUTS {MAXDWORD, 0, 0})
//   output thread    WriteFile, waited for together with the wake-up event
//
// Each overlapped operation is started and finished by the thread that owns it: Windows
// cancels a thread's pending I/O when the thread ends.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <utility>

#include "common/win32_text.h"
#include "serial/device.h"
#include "serial/errors.h"

namespace kivra::serial {
namespace {

// Errors that mean the device itself is gone (a USB adapter pulled out, a driver that
// stopped): the port will not work again until it is opened anew.
bool DeviceGone(DWORD error) {
  switch (error) {
    case ERROR_ACCESS_DENIED:  // usbser.sys after a surprise removal
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_READY:
    case ERROR_HANDLE_EOF:
    case ERROR_BROKEN_PIPE:
      return true;
    default:
      return false;
  }
}

[[noreturn]] void RaiseSystemError(DWORD error, const std::string& what) {
  throw EOSError(-static_cast<int>(error),
                 what + ": " + SystemErrorMessage(static_cast<int>(error)));
}

// An OVERLAPPED with its own manual-reset event.
class Overlapped {
 public:
  Overlapped() { ov_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
  ~Overlapped() {
    if (ov_.hEvent) CloseHandle(ov_.hEvent);
  }
  Overlapped(const Overlapped&) = delete;
  Overlapped& operator=(const Overlapped&) = delete;

  bool Valid() const { return ov_.hEvent != nullptr; }
  OVERLAPPED* Start() {
    ResetEvent(ov_.hEvent);
    ov_.Internal = ov_.InternalHigh = 0;
    ov_.Offset = ov_.OffsetHigh = 0;
    return &ov_;
  }
  OVERLAPPED* get() { return &ov_; }
  HANDLE Event() const { return ov_.hEvent; }

 private:
  OVERLAPPED ov_{};
};

// What the event thread waits for: received characters, line errors and breaks, the
// modem lines' changes and ring.
constexpr DWORD kAllEvents = EV_RXCHAR | EV_ERR | EV_BREAK | EV_CTS | EV_DSR | EV_RLSD | EV_RING;
// How often the input queue is looked at on a device without comm events: well inside a
// byte's time at 9600 baud would be wasteful; a fraction of a reply's time is enough.
constexpr DWORD kPollMs = 2;

class Win32Device final : public Device {
 public:
  Win32Device(HANDLE port, std::vector<Refusal> refusals)
      : port_(port), refusals_(std::move(refusals)) {
    interrupt_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  }
  ~Win32Device() override { Close(); }

  Win32Device(const Win32Device&) = delete;
  Win32Device& operator=(const Win32Device&) = delete;

  bool Ready() const { return interrupt_ && wait_.Valid() && read_.Valid() && write_.Valid(); }

  void Configure(const PortSettings& s) override {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port_, &dcb))
      RaiseSystemError(GetLastError(), "Cannot read the line settings");
    dcb.BaudRate = s.baud;
    if (s.dataBits < 5 || s.dataBits > 8) {
      throw EOSError(-ERROR_INVALID_PARAMETER,
                     "Unsupported number of data bits: " + std::to_string(s.dataBits));
    }
    dcb.ByteSize = static_cast<BYTE>(s.dataBits);
    switch (s.parity) {
      case Parity::None:
        dcb.Parity = NOPARITY;
        break;
      case Parity::Odd:
        dcb.Parity = ODDPARITY;
        break;
      case Parity::Even:
        dcb.Parity = EVENPARITY;
        break;
      case Parity::Mark:
        dcb.Parity = MARKPARITY;
        break;
      case Parity::Space:
        dcb.Parity = SPACEPARITY;
        break;
    }
    if (s.stopBits != 1 && s.stopBits != 2) {
      throw EOSError(-ERROR_INVALID_PARAMETER,
                     "Unsupported number of stop bits: " + std::to_string(s.stopBits));
    }
    dcb.StopBits = s.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    // Raw bytes: binary mode, no parity check of received bytes, NUL bytes kept, no error
    // character, the modem-status lines gate nothing, transmission goes on after XOFF.
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fNull = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    const bool rtsCts = s.hardwareFlow == HardwareFlow::RtsCts;
    dcb.fOutxCtsFlow = rtsCts;
    dcb.fRtsControl =
        rtsCts ? RTS_CONTROL_HANDSHAKE : (s.rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE);
    dcb.fDtrControl = s.dtr ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    const bool xonXoff = s.softwareFlow == SoftwareFlow::XonXoff;
    dcb.fOutX = xonXoff;
    dcb.fInX = xonXoff;
    dcb.XonChar = static_cast<char>(s.xonChar);
    dcb.XoffChar = static_cast<char>(s.xoffChar);
    if (!SetCommState(port_, &dcb))
      RaiseSystemError(GetLastError(), "Cannot apply the line settings");
    DCB applied{};
    applied.DCBlength = sizeof applied;
    if (GetCommState(port_, &applied) && applied.BaudRate != s.baud) {
      throw EOSError(-ERROR_INVALID_PARAMETER,
                     "The device does not support " + std::to_string(s.baud) + " baud");
    }
    // The lines once more by themselves: SetCommState leaves them alone on some drivers.
    // A device without them (wine's pseudo-terminals) refuses, which is logged, not fatal.
    SetLine(s.dtr ? SETDTR : CLRDTR, s.dtr ? "DTR on refused" : "DTR off refused");
    if (!rtsCts) SetLine(s.rts ? SETRTS : CLRRTS, s.rts ? "RTS on refused" : "RTS off refused");
  }

  IoResult Read(std::span<std::uint8_t> buffer) override {
    if (buffer.empty()) return {};
    // Only what the input queue holds: wine ends a read at once only when the bytes asked
    // for are there, whatever the time-outs say.
    const auto queued = TakeErrors();
    if (!queued) {
      const DWORD lost = lostError_.load();
      return {IoStatus::Gone, 0, static_cast<int>(lost != 0 ? lost : ERROR_GEN_FAILURE)};
    }
    if (*queued == 0) return {IoStatus::WouldBlock, 0, 0};
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), *queued));
    DWORD got = 0;
    if (!ReadFile(port_, buffer.data(), want, &got, read_.Start())) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) return Failed(error);
      const HANDLE events[2] = {read_.Event(), interrupt_};
      if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        // Closing: the read is given up; what it had taken is still counted.
        CancelIoEx(port_, read_.get());
      }
      if (!GetOverlappedResult(port_, read_.get(), &got, TRUE) && got == 0) {
        return Failed(GetLastError());
      }
    }
    if (got > 0) return {IoStatus::Ok, got, 0};
    return {IoStatus::WouldBlock, 0, 0};
  }

  IoResult Write(std::span<const std::uint8_t> data) override {
    if (data.empty()) return {};
    const DWORD length = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 20));
    DWORD written = 0;
    if (WriteFile(port_, data.data(), length, &written, write_.Start())) {
      return {IoStatus::Ok, written, 0};
    }
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return Failed(error);
    const HANDLE events[2] = {write_.Event(), interrupt_};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
      // Closing: the write is given up, and the output thread's next wait ends it.
      CancelIoEx(port_, write_.get());
      GetOverlappedResult(port_, write_.get(), &written, TRUE);
      return {IoStatus::WouldBlock, 0, 0};
    }
    if (!GetOverlappedResult(port_, write_.get(), &written, FALSE)) {
      const DWORD failed = GetLastError();
      if (failed == ERROR_OPERATION_ABORTED) return {IoStatus::WouldBlock, 0, 0};  // a purge
      return Failed(failed);
    }
    if (written == 0) return {IoStatus::WouldBlock, 0, 0};
    return {IoStatus::Ok, written, 0};
  }

  WaitResult WaitReadable() override {
    for (;;) {
      if (Interrupted()) return WaitResult::Interrupted;
      // Bytes already in the input queue: a comm event for them may have been handled
      // already, so there is no need to wait for the next.
      const auto queued = TakeErrors();
      if (!queued) return LostBy(GetLastError());
      if (*queued > 0) return WaitResult::Ready;
      if (polling_) {
        // Without comm events: a look at the input queue every few milliseconds.
        if (WaitForSingleObject(interrupt_, kPollMs) == WAIT_OBJECT_0)
          return WaitResult::Interrupted;
        continue;
      }
      if (!waitPending_) {
        events_ = 0;
        if (WaitCommEvent(port_, &events_, wait_.Start())) return AfterEvent();
        const DWORD error = GetLastError();
        if (error != ERROR_IO_PENDING) {
          StartPolling(error);
          continue;
        }
        waitPending_ = true;
      }
      const HANDLE events[2] = {wait_.Event(), interrupt_};
      if (WaitForMultipleObjects(2, events, FALSE, INFINITE) != WAIT_OBJECT_0) {
        return WaitResult::Interrupted;  // the wait stays pending; Close cancels it
      }
      waitPending_ = false;
      DWORD unused = 0;
      if (GetOverlappedResult(port_, wait_.get(), &unused, FALSE)) return AfterEvent();
      const DWORD error = GetLastError();
      if (DeviceGone(error)) return LostBy(error);
      // A purge or a change of the event mask ends a wait without an event; a wait that
      // fails without either (wine on a pseudo-terminal, which has no modem lines to
      // watch) means comm events are not to be had on this device.
      if (error != ERROR_OPERATION_ABORTED || ++abortedWaits_ > 3) StartPolling(error);
    }
  }

  WaitResult WaitWritable() override {
    // Writes wait for themselves; only a closing port needs an answer here.
    return Interrupted() ? WaitResult::Interrupted : WaitResult::Ready;
  }

  void Interrupt() override { SetEvent(interrupt_); }

  void Purge(bool input, bool output) override {
    DWORD flags = 0;
    if (input) flags |= PURGE_RXCLEAR;
    if (output) flags |= PURGE_TXCLEAR | PURGE_TXABORT;
    if (flags != 0) PurgeComm(port_, flags);
  }

  std::optional<LineStatus> Status() override {
    if (!TakeErrors()) return std::nullopt;
    LineStatus s;
    DWORD modem = 0;
    // The bits of GetCommModemStatus are those of the classic status register.
    if (GetCommModemStatus(port_, &modem)) {
      s.modemBits = modem & (MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON);
    }
    s.framingErrors = framing_;
    s.parityErrors = parity_;
    s.overruns = overruns_;
    s.breaks = breaks_;
    return s;
  }

  void Close() override {
    if (port_ != INVALID_HANDLE_VALUE) {
      SetCommMask(port_, 0);  // ends a wait still pending
      if (waitPending_) {
        CancelIoEx(port_, wait_.get());
        DWORD unused = 0;
        GetOverlappedResult(port_, wait_.get(), &unused, TRUE);
        waitPending_ = false;
      }
      CloseHandle(port_);
      port_ = INVALID_HANDLE_VALUE;
    }
    if (interrupt_) {
      CloseHandle(interrupt_);
      interrupt_ = nullptr;
    }
  }

  std::vector<Refusal> Refusals() const override {
    std::lock_guard lock(refusalsMu_);
    return refusals_;
  }

 private:
  bool Interrupted() const { return WaitForSingleObject(interrupt_, 0) == WAIT_OBJECT_0; }

  void StartPolling(DWORD error) {
    polling_ = true;
    NoteRefusal("Comm events refused", error);
  }

  void SetLine(DWORD function, const char* what) {
    if (!EscapeCommFunction(port_, function)) NoteRefusal(what, GetLastError());
  }

  void NoteRefusal(const char* what, DWORD error) {
    std::lock_guard lock(refusalsMu_);
    for (const Refusal& r : refusals_) {
      if (r.what == what) return;
    }
    refusals_.push_back({what, static_cast<int>(error)});
  }

  IoResult Failed(DWORD error) {
    if (error == ERROR_OPERATION_ABORTED) {
      TakeErrors();  // a line error stops I/O until it is cleared
      return {IoStatus::WouldBlock, 0, 0};
    }
    lostError_ = error;
    return {IoStatus::Gone, 0, static_cast<int>(error)};
  }

  WaitResult LostBy(DWORD error) {
    if (lostError_.load() == 0) lostError_ = error != 0 ? error : ERROR_GEN_FAILURE;
    return WaitResult::HangUp;
  }

  WaitResult AfterEvent() {
    if (events_ & (EV_ERR | EV_BREAK)) TakeErrors();
    return WaitResult::Ready;
  }

  // ClearCommError: counts the line errors it reports and clears them, so that I/O goes
  // on; the number of bytes in the input queue, or nothing when the device failed.
  std::optional<DWORD> TakeErrors() {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(port_, &errors, &stat)) {
      const DWORD error = GetLastError();
      if (DeviceGone(error)) lostError_ = error;
      return std::nullopt;
    }
    if (errors & CE_FRAME) ++framing_;
    if (errors & CE_RXPARITY) ++parity_;
    if (errors & (CE_OVERRUN | CE_RXOVER)) ++overruns_;
    if (errors & CE_BREAK) ++breaks_;
    return stat.cbInQue;
  }

  HANDLE port_;
  HANDLE interrupt_ = nullptr;
  Overlapped wait_;           // event thread
  Overlapped read_;           // dispatch thread
  Overlapped write_;          // output thread
  DWORD events_ = 0;          // event thread
  bool waitPending_ = false;  // event thread
  bool polling_ = false;      // event thread
  int abortedWaits_ = 0;      // event thread
  std::atomic<DWORD> lostError_{0};
  std::atomic<std::uint32_t> framing_{0}, parity_{0}, overruns_{0}, breaks_{0};
  mutable std::mutex refusalsMu_;
  std::vector<Refusal> refusals_;
};

}  // namespace

std::unique_ptr<Device> OpenSystemDevice(const std::string& path, const PortSettings& settings) {
  const std::wstring name = win32::WideFromUtf8(path);
  // Exclusive (no sharing), overlapped, so that the three threads can each wait on theirs.
  const HANDLE port = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (port == INVALID_HANDLE_VALUE) RaiseOpenError(static_cast<int>(GetLastError()), path);
  // The output lines that must be off go down at once, before anything else is set up.
  std::vector<Device::Refusal> refusals;
  const auto clear = [&](DWORD function, const char* what) {
    if (!EscapeCommFunction(port, function)) {
      refusals.push_back({what, static_cast<int>(GetLastError())});
    }
  };
  if (!settings.dtr) clear(CLRDTR, "DTR off refused");
  if (!settings.rts) clear(CLRRTS, "RTS off refused");
  const auto fail = [&](DWORD error) {
    CloseHandle(port);
    RaiseSystemError(error, "Cannot set up " + path);
  };
  // A file, a pipe or a printer opens as well; only a communications device has a line.
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (GetFileType(port) != FILE_TYPE_CHAR || !GetCommState(port, &dcb)) {
    CloseHandle(port);
    throw ENotSerialDevice(path);
  }
  SetupComm(port, static_cast<DWORD>(settings.inSize), static_cast<DWORD>(settings.outSize));
  // Reads return at once with what is there; writes have no time limit.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  if (!SetCommTimeouts(port, &timeouts)) fail(GetLastError());
  if (!SetCommMask(port, kAllEvents)) fail(GetLastError());
  PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR);
  auto device = std::make_unique<Win32Device>(port, std::move(refusals));
  if (!device->Ready()) RaiseSystemError(GetLastError(), "Cannot create the port's events");
  return device;
}

bool DevicePresent(const std::string& path) {
  if (path.empty()) return false;
  // \\.\COM7: the system knows the name COM7 while the port's device is there.
  static constexpr std::string_view kDevices = "\\\\.\\";
  if (path.starts_with(kDevices)) {
    const std::wstring name = win32::WideFromUtf8(path.substr(kDevices.size()));
    wchar_t target[1024];
    return QueryDosDeviceW(name.c_str(), target, static_cast<DWORD>(std::size(target))) != 0;
  }
  return GetFileAttributesW(win32::WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SystemDevicePath(const PortName& port) {
  if (!port.IsNumber()) return port.path();
  // The device namespace reaches COM10 and above as well, which the bare name does not.
  return "\\\\.\\COM" + std::to_string(port.number());
}

std::string OperatingSystemName() {
  std::string name = "Windows";
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (!ntdll) return name;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto getVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
  if (getVersion && getVersion(&v) == 0) {
    name += " " + std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) + "." +
            std::to_string(v.dwBuildNumber);
  }
  using WineVersionFn = const char*(__cdecl*)();
  const auto wine = reinterpret_cast<WineVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
  if (wine) name += std::string(" (wine ") + wine() + ")";
  return name;
}

}  // namespace kivra::serial
