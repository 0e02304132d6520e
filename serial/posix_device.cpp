// Serial devices on POSIX systems: termios for the line, poll() for waiting, and a pipe as
// the wake-up descriptor that lets a closing port stop its threads at once.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <termios.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/serial.h>
#endif

#include <atomic>
#include <cerrno>
#include <utility>

#include "serial/device.h"
#include "serial/errors.h"

namespace kivra::serial {
namespace {

struct BaudRate {
  std::uint32_t bps;
  speed_t code;
};

constexpr BaudRate kBaudRates[] = {
    {50, B50},           {75, B75},     {110, B110},   {134, B134},     {150, B150},
    {200, B200},         {300, B300},   {600, B600},   {1200, B1200},   {1800, B1800},
    {2400, B2400},       {4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400},
#ifdef B57600
    {57600, B57600},
#endif
#ifdef B115200
    {115200, B115200},
#endif
#ifdef B230400
    {230400, B230400},
#endif
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B500000
    {500000, B500000},
#endif
#ifdef B576000
    {576000, B576000},
#endif
#ifdef B921600
    {921600, B921600},
#endif
#ifdef B1000000
    {1000000, B1000000},
#endif
#ifdef B1152000
    {1152000, B1152000},
#endif
#ifdef B1500000
    {1500000, B1500000},
#endif
#ifdef B2000000
    {2000000, B2000000},
#endif
};

[[noreturn]] void RaiseSystemError(int err, const std::string& what) {
  throw EOSError(-err, what + ": " + ErrorText(-err));
}

// Devices without modem lines (pseudo-terminals, some adapters) answer modem-line
// requests with one of these; that is a property of the device, not a failure.
bool NoModemLines(int err) {
  return err == ENOTTY || err == EINVAL || err == ENOSYS;
}

template <typename Call>
int RetryOnInterrupt(Call call) {
  int r;
  do {
    r = call();
  } while (r < 0 && errno == EINTR);
  return r;
}

class PosixDevice final : public Device {
 public:
  PosixDevice(int fd, int wakeRead, int wakeWrite)
      : fd_(fd), wakeRead_(wakeRead), wakeWrite_(wakeWrite) {}
  ~PosixDevice() override { Close(); }

  PosixDevice(const PosixDevice&) = delete;
  PosixDevice& operator=(const PosixDevice&) = delete;

  void Configure(const PortSettings& s) override {
    termios t{};
    if (tcgetattr(fd_, &t) != 0) RaiseSystemError(errno, "Cannot read the line settings");

    // Raw bytes both ways: no echo, no signals, no line editing, no translation of CR/LF,
    // NUL and break kept as data, no parity checking of received bytes.
    t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL |
                                        IXON | IXOFF | IXANY | INPCK | IGNPAR);
    t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tcflag_t clear = CSIZE | PARENB | PARODD | CSTOPB | HUPCL;
#ifdef CRTSCTS
    clear |= CRTSCTS;
#endif
#ifdef CMSPAR
    clear |= CMSPAR;
#endif
    t.c_cflag &= ~clear;
    // Receiver on; modem-status lines do not gate the line.
    t.c_cflag |= CREAD | CLOCAL;

    switch (s.dataBits) {
      case 5:
        t.c_cflag |= CS5;
        break;
      case 6:
        t.c_cflag |= CS6;
        break;
      case 7:
        t.c_cflag |= CS7;
        break;
      case 8:
        t.c_cflag |= CS8;
        break;
      default:
        throw EOSError(-EINVAL, "Unsupported number of data bits: " + std::to_string(s.dataBits));
    }
    switch (s.parity) {
      case Parity::None:
        break;
      case Parity::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
      case Parity::Even:
        t.c_cflag |= PARENB;
        break;
#ifdef CMSPAR
      case Parity::Mark:
        t.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
      case Parity::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
#else
      case Parity::Mark:
      case Parity::Space:
        throw EOSError(-EINVAL, "Mark and space parity are not supported here");
#endif
    }
    if (s.stopBits == 2) {
      t.c_cflag |= CSTOPB;
    } else if (s.stopBits != 1) {
      throw EOSError(-EINVAL, "Unsupported number of stop bits: " + std::to_string(s.stopBits));
    }
    if (s.hardwareFlow == HardwareFlow::RtsCts) {
#ifdef CRTSCTS
      t.c_cflag |= CRTSCTS;
#else
      throw EOSError(-EINVAL, "Hardware flow control is not supported here");
#endif
    }
    if (s.softwareFlow == SoftwareFlow::XonXoff) {
      t.c_iflag |= IXON | IXOFF;
      t.c_cc[VSTART] = s.xonChar;
      t.c_cc[VSTOP] = s.xoffChar;
    }
    // With O_NONBLOCK, VMIN 1 makes an empty read fail with EAGAIN, so that a read of 0
    // bytes can only mean the device is gone.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;

    const speed_t speed = SpeedCode(s.baud);
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    if (RetryOnInterrupt([&] { return tcsetattr(fd_, TCSANOW, &t); }) != 0) {
      RaiseSystemError(errno, "Cannot apply the line settings");
    }
    // tcsetattr succeeds when any part was taken; a speed the device did not take makes
    // the line useless, so check it.
    termios applied{};
    if (tcgetattr(fd_, &applied) == 0 && cfgetospeed(&applied) != speed) {
      throw EOSError(-EINVAL, "The device does not support " + std::to_string(s.baud) + " baud");
    }
    SetLine(TIOCM_DTR, s.dtr);
    SetLine(TIOCM_RTS, s.rts);
  }

  IoResult Read(std::span<std::uint8_t> buffer) override {
    if (buffer.empty()) return {};
    const ssize_t n = Retry([&] { return ::read(fd_, buffer.data(), buffer.size()); });
    return Result(n);
  }

  IoResult Write(std::span<const std::uint8_t> data) override {
    if (data.empty()) return {};
    const ssize_t n = Retry([&] { return ::write(fd_, data.data(), data.size()); });
    return Result(n);
  }

  WaitResult WaitReadable() override {
    return Wait(POLLIN);
  }
  WaitResult WaitWritable() override {
    return Wait(POLLOUT);
  }

  void Interrupt() override {
    const char b = 1;
    // A full pipe is already readable, which is all a waiter needs.
    [[maybe_unused]] const ssize_t n = Retry([&] { return ::write(wakeWrite_, &b, 1); });
  }

  void Purge(bool input, bool output) override {
    if (input && output) {
      tcflush(fd_, TCIOFLUSH);
    } else if (input) {
      tcflush(fd_, TCIFLUSH);
    } else if (output) {
      tcflush(fd_, TCOFLUSH);
    }
  }

  std::optional<LineStatus> Status() override {
    LineStatus s;
    bool known = false;
    if (hasModemLines_) {
      int bits = 0;
      if (ioctl(fd_, TIOCMGET, &bits) == 0) {
        known = true;
        if (bits & TIOCM_CTS) s.modemBits |= 0x10;
        if (bits & TIOCM_DSR) s.modemBits |= 0x20;
        if (bits & TIOCM_RNG) s.modemBits |= 0x40;
        if (bits & TIOCM_CAR) s.modemBits |= 0x80;
      } else {
        hasModemLines_ = false;
      }
    }
#if defined(__linux__) && defined(TIOCGICOUNT)
    if (hasCounters_) {
      serial_icounter_struct c{};
      if (ioctl(fd_, TIOCGICOUNT, &c) == 0) {
        known = true;
        s.framingErrors = static_cast<std::uint32_t>(c.frame);
        s.parityErrors = static_cast<std::uint32_t>(c.parity);
        s.overruns = static_cast<std::uint32_t>(c.overrun + c.buf_overrun);
        s.breaks = static_cast<std::uint32_t>(c.brk);
      } else {
        hasCounters_ = false;
      }
    }
#endif
    if (!known) return std::nullopt;
    return s;
  }

  void Close() override {
    if (fd_ >= 0) {
      // On a pseudo-terminal whose other side stays open the exclusive flag outlives this
      // descriptor and would lock everyone out of the device; give it back first.
      ioctl(fd_, TIOCNXCL);
      ::close(fd_);
      fd_ = -1;
    }
    if (wakeRead_ >= 0) ::close(wakeRead_);
    if (wakeWrite_ >= 0) ::close(wakeWrite_);
    wakeRead_ = wakeWrite_ = -1;
  }

 private:
  template <typename Call>
  static ssize_t Retry(Call call) {
    ssize_t r;
    do {
      r = call();
    } while (r < 0 && errno == EINTR);
    return r;
  }

  static IoResult Result(ssize_t n) {
    if (n > 0) return {IoStatus::Ok, static_cast<std::size_t>(n), 0};
    // A terminal reads 0 bytes (or EIO) only after a hang-up: the device is gone.
    if (n == 0) return {IoStatus::Gone, 0, 0};
    if (errno == EAGAIN || errno == EWOULDBLOCK) return {IoStatus::WouldBlock, 0, 0};
    return {IoStatus::Gone, 0, errno};
  }

  static speed_t SpeedCode(std::uint32_t baud) {
    for (const auto& b : kBaudRates) {
      if (b.bps == baud) return b.code;
    }
    throw EOSError(-EINVAL, "Unsupported baud rate: " + std::to_string(baud));
  }

  void SetLine(int line, bool on) {
    if (!hasModemLines_) return;
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return;
    if (NoModemLines(errno)) {
      hasModemLines_ = false;
      return;
    }
    RaiseSystemError(errno, "Cannot set the DTR and RTS lines");
  }

  WaitResult Wait(short events) {
    pollfd fds[2] = {{fd_, events, 0}, {wakeRead_, POLLIN, 0}};
    for (;;) {
      const int r = ::poll(fds, 2, -1);
      if (r < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return WaitResult::HangUp;  // cannot wait on the device any more
      }
      if (fds[1].revents != 0) return WaitResult::Interrupted;
      if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) return WaitResult::HangUp;
      if (fds[0].revents & events) return WaitResult::Ready;
    }
  }

  int fd_;
  int wakeRead_;
  int wakeWrite_;
  std::atomic<bool> hasModemLines_{true};
  std::atomic<bool> hasCounters_{true};
};

}  // namespace

std::unique_ptr<Device> OpenSystemDevice(const std::string& path, const PortSettings& settings) {
  const int fd = RetryOnInterrupt(
      [&] { return ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
  if (fd < 0) RaiseOpenError(errno, path);
  // The system raised DTR and RTS while opening; nothing can be done about that moment,
  // but they go down again at once. Devices without modem lines refuse, which is fine.
  int lines = (settings.dtr ? 0 : TIOCM_DTR) | (settings.rts ? 0 : TIOCM_RTS);
  if (lines != 0) ioctl(fd, TIOCMBIC, &lines);
  const auto fail = [&](int err, bool exclusive) {
    if (exclusive) ioctl(fd, TIOCNXCL);
    ::close(fd);
    RaiseOpenError(err, path);
  };
  if (!isatty(fd)) fail(ENOTTY, false);
  // The advisory lock keeps out every program that asks first, root included; TIOCEXCL
  // keeps out the ones that do not ask (except root).
  if (RetryOnInterrupt([&] { return flock(fd, LOCK_EX | LOCK_NB); }) != 0 && errno == EWOULDBLOCK) {
    fail(EBUSY, false);
  }
  if (ioctl(fd, TIOCEXCL) != 0) fail(errno, false);
  int wake[2];
#if defined(__linux__)
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) fail(errno, true);
#else
  if (pipe(wake) != 0) fail(errno, true);
  for (const int w : wake) {
    fcntl(w, F_SETFD, FD_CLOEXEC);
    fcntl(w, F_SETFL, O_NONBLOCK);
  }
#endif
  return std::make_unique<PosixDevice>(fd, wake[0], wake[1]);
}

bool DevicePresent(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

std::string SystemDevicePath(const PortName& port) {
  if (!port.IsNumber()) return port.path();
  // The usual PC numbering: COM1 is the first UART, ttyS0.
  return "/dev/ttyS" + std::to_string(port.number() > 0 ? port.number() - 1 : 0);
}

std::string OperatingSystemName() {
  utsname u{};
  if (uname(&u) != 0) return "unknown";
  return std::string(u.sysname) + " " + u.release + " " + u.machine;
}

}  // namespace kivra::serial
