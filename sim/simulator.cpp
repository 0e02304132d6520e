#include "sim/simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <deque>
#include <optional>
#include <system_error>

#include "sim/line.h"
#include "sim/pty.h"

namespace kivra::sim {
namespace {

using Clock = std::chrono::steady_clock;

// While no one has the port open the pseudo-terminal reports a hang-up at once on every
// poll; it is looked at again after a pause that doubles up to this, so an unopened port
// costs nothing and a tool that opens it is answered within this time.
constexpr std::chrono::milliseconds kFirstPause{1};
constexpr std::chrono::milliseconds kLongestPause{25};

// Replies the tool does not read pile up in the pseudo-terminal; beyond this many of our
// own bytes waiting to be written, further replies are lost as on an overrun line.
constexpr std::size_t kMaxUnwritten = 64 * 1024;

// Bytes from the tool that are still on their way to the driver, in line time. Beyond
// this the port is not read, so a tool that writes faster than 9600 baud finds it full.
constexpr std::chrono::milliseconds kMaxInboundBacklog{500};

timespec ToTimespec(std::chrono::nanoseconds d) {
  d = std::max(d, std::chrono::nanoseconds::zero());
  const auto s = std::chrono::duration_cast<std::chrono::seconds>(d);
  return timespec{static_cast<time_t>(s.count()), static_cast<long>((d - s).count())};
}

}  // namespace

struct Simulator::Port {
  PseudoTerminal pty;
  std::optional<PortLink> link;
  int wake[2] = {-1, -1};
  std::atomic<bool> stop{false};

  Port(const std::string& linkPath, const std::string& preferredPath) : pty(preferredPath) {
    if (!linkPath.empty()) link.emplace(linkPath, pty.PortPath());
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
      throw std::system_error(errno, std::generic_category(), "pipe2");
    }
  }
  ~Port() {
    close(wake[0]);
    close(wake[1]);
  }
  void Wake() const {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(wake[1], &byte, 1);  // a full pipe wakes as well
  }
};

Simulator::Options Simulator::Options::WholeReplies() {
  Options o;
  o.line.byteByByte = false;
  o.driver.turnaround = std::chrono::nanoseconds::zero();
  return o;
}

Simulator::Options Simulator::Options::Fast() {
  Options o;
  o.line.byteByByte = false;
  o.driver.byteTime = std::chrono::nanoseconds::zero();
  o.driver.turnaround = std::chrono::microseconds(200);
  return o;
}

Simulator::Simulator(Options options)
    : options_(std::move(options)),
      driver_(options_.driver),
      noiseEvery_(options_.noiseEvery.count()) {
  StartPort();
}

Simulator::~Simulator() {
  Stop();
}

void Simulator::StartPort(const std::string& preferredPath) {
  auto port = std::make_unique<Port>(options_.linkPath, preferredPath);
  {
    std::lock_guard lock(mutex_);
    portPath_ = port->pty.PortPath();
  }
  port_ = std::move(port);
  thread_ = std::thread([this, port = port_.get()] { Run(*port); });
}

void Simulator::StopPort() {
  if (!port_) return;
  port_->stop = true;
  port_->Wake();
  thread_.join();
  port_.reset();
  std::lock_guard lock(mutex_);
  lastPortPath_ = portPath_;
  portPath_.clear();
}

void Simulator::Unplug() {
  std::lock_guard lifecycle(lifecycle_);
  StopPort();
}

void Simulator::Replug(bool sameDevice) {
  std::lock_guard lifecycle(lifecycle_);
  StopPort();
  std::string previous;
  {
    std::lock_guard lock(mutex_);
    previous = lastPortPath_;
  }
  StartPort(sameDevice ? previous : std::string());
}

void Simulator::Stop() {
  std::lock_guard lifecycle(lifecycle_);
  StopPort();
}

bool Simulator::Plugged() const {
  std::lock_guard lock(mutex_);
  return !portPath_.empty();
}

std::string Simulator::PortPath() const {
  std::lock_guard lock(mutex_);
  return portPath_;
}

void Simulator::Report(std::vector<Event>& events) {
  if (options_.observer) {
    for (const Event& e : events) options_.observer(e);
  }
  events.clear();
}

void Simulator::Run(Port& port) {
  const int fd = port.pty.Fd();
  const LineOptions& line = options_.line;
  const std::chrono::nanoseconds byteTime = options_.driver.byteTime;
  // The tool's bytes on their way to the driver, each with the moment it has arrived.
  struct Arriving {
    TimePoint at;
    std::uint8_t byte;
  };
  std::deque<Arriving> arriving;
  TimePoint inboundFree{};
  // The driver's answers on the line, in order; the front one has `offLine` bytes through.
  std::deque<Transmission> onLine;
  std::size_t offLine = 0;
  const char* lost = nullptr;  // why bytes of the front answer did not reach the tool
  std::optional<UsbAdapter> adapter;
  if (line.usbLatency > std::chrono::nanoseconds::zero()) {
    adapter.emplace(line.usbLatency, line.usbBurst, Clock::now());
  }
  Bytes unwritten;
  TimePoint nextNoise{};  // the epoch while there is no noise
  std::vector<Event> events;
  bool hungUp = true;  // no one has opened the port yet
  std::chrono::milliseconds pause = kFirstPause;
  Clock::time_point nextLook = Clock::now();
  std::uint8_t buffer[4096];

  const auto hangUp = [&](Clock::time_point now) {
    hungUp = true;
    nextLook = now + pause;
    pause = std::min(pause * 2, kLongestPause);
  };
  // Bytes that have reached the computer's side of the line, for the tool to read; the
  // reason they were lost otherwise.
  const auto toTool = [&](std::span<const std::uint8_t> bytes) -> const char* {
    if (bytes.empty()) return nullptr;
    if (hungUp) return ": the port is not open";
    if (unwritten.size() + bytes.size() > kMaxUnwritten) return ": the port is not read";
    unwritten.insert(unwritten.end(), bytes.begin(), bytes.end());
    return nullptr;
  };
  const auto receive = [&](std::span<const std::uint8_t> bytes, TimePoint at) {
    Driver::Output out;
    {
      std::lock_guard lock(mutex_);
      driver_.Receive(bytes, at, out);
    }
    changed_.notify_all();
    for (auto& t : out.transmissions) onLine.push_back(std::move(t));
    events.insert(events.end(), std::make_move_iterator(out.events.begin()),
                  std::make_move_iterator(out.events.end()));
  };
  // How many more bytes the line takes in now: a tool that writes faster than the line
  // carries finds the port full, as behind a real UART.
  const auto inboundRoom = [&](TimePoint now) -> std::size_t {
    if (!line.byteByByte) return sizeof buffer;
    const auto backlog = std::max(inboundFree - now, Clock::duration::zero());
    if (backlog >= kMaxInboundBacklog) return 0;
    return std::min<std::size_t>(sizeof buffer, (kMaxInboundBacklog - backlog) / byteTime + 1);
  };

  while (!port.stop) {
    Clock::time_point now = Clock::now();

    // Each byte reaches the driver at its own time, so an answer starts a turnaround after
    // the last byte of its request.
    while (!arriving.empty() && arriving.front().at <= now) {
      receive(std::span(&arriving.front().byte, 1), arriving.front().at);
      arriving.pop_front();
    }
    while (!onLine.empty()) {
      const Transmission& t = onLine.front();
      std::size_t through = offLine;
      while (through < t.bytes.size() && ByteArrival(t, through, line.byteByByte) <= now) {
        if (adapter) adapter->Put(t.bytes[through], ByteArrival(t, through, line.byteByByte));
        ++through;
      }
      if (!adapter) {
        const char* why = toTool(std::span(t.bytes).subspan(offLine, through - offLine));
        if (why) lost = why;
      }
      offLine = through;
      if (offLine < t.bytes.size()) break;
      if (lost) {
        events.push_back({Event::Kind::NotSent, now, t.bytes, t.note + lost});
      } else {
        events.push_back({Event::Kind::Sent, now, t.bytes, t.note});
      }
      onLine.pop_front();
      offLine = 0;
      lost = nullptr;
    }
    // Noise reaches the tool at its own pace, also in the middle of an answer.
    if (const auto every = std::chrono::nanoseconds(noiseEvery_.load()); every.count() > 0) {
      if (nextNoise == TimePoint{}) nextNoise = now + every;
      for (; nextNoise <= now; nextNoise += every) {
        static constexpr std::uint8_t kNoise = 0x55;
        if (adapter) {
          adapter->Put(kNoise, nextNoise);
        } else {
          toTool(std::span(&kNoise, 1));
        }
      }
    } else {
      nextNoise = TimePoint{};
    }
    if (adapter) toTool(adapter->Take(now));  // packets for a closed port are lost
    while (!unwritten.empty()) {
      const ssize_t n = write(fd, unwritten.data(), unwritten.size());
      if (n > 0) {
        unwritten.erase(unwritten.begin(), unwritten.begin() + n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        if (n < 0 && errno != EAGAIN) {
          unwritten.clear();  // the tool closed the port: what was on the line is lost
          hangUp(now);
        }
        break;
      }
    }
    Report(events);

    std::optional<Clock::time_point> wakeAt;
    const auto wakeBy = [&](Clock::time_point t) { wakeAt = wakeAt ? std::min(*wakeAt, t) : t; };
    if (!arriving.empty()) wakeBy(arriving.front().at);
    if (nextNoise != TimePoint{}) wakeBy(nextNoise);
    if (!onLine.empty()) wakeBy(ByteArrival(onLine.front(), offLine, line.byteByByte));
    if (adapter) {
      if (const auto packet = adapter->NextPacket()) wakeBy(*packet);
    }
    const bool lookAtPort = !hungUp || now >= nextLook;
    if (!lookAtPort) wakeBy(nextLook);
    const std::size_t room = inboundRoom(now);
    pollfd fds[2] = {{port.wake[0], POLLIN, 0}, {lookAtPort ? fd : -1, 0, 0}};
    if (room > 0) fds[1].events |= POLLIN;
    if (!unwritten.empty()) fds[1].events |= POLLOUT;
    timespec timeout{};
    if (wakeAt) timeout = ToTimespec(*wakeAt - now);
    if (ppoll(fds, 2, wakeAt ? &timeout : nullptr, nullptr) < 0) {
      // Only a signal or a shortage of memory gets here; neither may end the thread.
      if (errno != EINTR) std::this_thread::sleep_for(kLongestPause);
      continue;
    }
    if (fds[0].revents & POLLIN) {
      char drain[64];
      while (read(port.wake[0], drain, sizeof drain) > 0) {
      }
    }
    if (!lookAtPort) continue;

    const short revents = fds[1].revents;
    if (!(revents & POLLHUP)) {
      hungUp = false;
      pause = kFirstPause;
    }
    if (!(revents & (POLLIN | POLLHUP | POLLERR))) continue;
    // After a hang-up the bytes the tool wrote before closing are still read, then EIO.
    for (;;) {
      now = Clock::now();
      const std::size_t want = inboundRoom(now);
      if (want == 0) break;  // the line is full; the rest waits in the port
      const ssize_t n = read(fd, buffer, want);
      now = Clock::now();
      if (n > 0) {
        const std::span<const std::uint8_t> got(buffer, static_cast<std::size_t>(n));
        if (!line.byteByByte) {
          receive(got, now);
          continue;
        }
        for (const std::uint8_t b : got) {
          inboundFree = std::max(inboundFree, now) + byteTime;
          arriving.push_back({inboundFree, b});
        }
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno == EAGAIN) break;
      hangUp(now);  // EIO: no one has the port open
      break;
    }
    Report(events);
  }
}

void Simulator::SetInputs(std::uint8_t bits) {
  {
    std::lock_guard lock(mutex_);
    driver_.Advance(Clock::now());  // the walk so far saw the old inputs
    driver_.SetInputs(bits);
  }
  changed_.notify_all();
}

void Simulator::SetInput(int input, bool on) {
  if (input < 1 || input > 6) return;
  {
    std::lock_guard lock(mutex_);
    const auto now = Clock::now();
    const std::uint8_t bit = static_cast<std::uint8_t>(1u << (input - 1));
    const std::uint8_t bits = driver_.State(now).inputs;
    driver_.SetInputs(on ? bits | bit : bits & ~bit);
  }
  changed_.notify_all();
}

void Simulator::SetAnalog(int channel, std::uint8_t value) {
  {
    std::lock_guard lock(mutex_);
    driver_.SetAnalog(channel, value);
  }
  changed_.notify_all();
}

void Simulator::SetTemperature(std::uint8_t celsius) {
  {
    std::lock_guard lock(mutex_);
    driver_.SetTemperature(celsius);
  }
  changed_.notify_all();
}

void Simulator::SetModeFlags(std::uint8_t flags) {
  {
    std::lock_guard lock(mutex_);
    driver_.SetModeFlags(flags);
  }
  changed_.notify_all();
}

void Simulator::SetOutput(int output, bool on) {
  {
    std::lock_guard lock(mutex_);
    driver_.SetOutput(output, on);
  }
  changed_.notify_all();
}

void Simulator::SetMemoryCell(std::uint16_t address, std::uint8_t value) {
  std::lock_guard lock(mutex_);
  driver_.SetMemoryCell(address, value);
}

std::uint8_t Simulator::MemoryCell(std::uint16_t address) {
  std::lock_guard lock(mutex_);
  return driver_.MemoryCell(address);
}

void Simulator::AddFault(const FaultRule& rule) {
  std::lock_guard lock(mutex_);
  driver_.AddFault(rule);
}

void Simulator::ClearFaults() {
  std::lock_guard lock(mutex_);
  driver_.ClearFaults();
}

void Simulator::SetLateDelay(std::chrono::nanoseconds delay) {
  std::lock_guard lock(mutex_);
  driver_.SetLateDelay(delay);
}

void Simulator::SetNoise(std::chrono::nanoseconds every) {
  noiseEvery_ = every.count();
  std::lock_guard lifecycle(lifecycle_);
  if (port_) port_->Wake();
}

void Simulator::SilenceFor(std::chrono::nanoseconds duration) {
  std::lock_guard lock(mutex_);
  driver_.SilenceUntil(Clock::now() + duration);
}

DriverState Simulator::State() {
  std::lock_guard lock(mutex_);
  return driver_.State(Clock::now());
}

StoredProgram Simulator::Program() {
  std::lock_guard lock(mutex_);
  return driver_.Program();
}

std::vector<ReceivedFrame> Simulator::ReceivedFrames() {
  std::lock_guard lock(mutex_);
  return {driver_.History().begin(), driver_.History().end()};
}

bool Simulator::WaitUntil(const std::function<bool(const DriverState&)>& condition,
                          std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  std::unique_lock lock(mutex_);
  for (;;) {
    const auto now = Clock::now();
    if (condition(driver_.State(now))) return true;
    if (now >= deadline) return false;
    // Time alone changes the state too (the script's walk, the end of a move).
    changed_.wait_for(lock,
                      std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(10)));
  }
}

}  // namespace kivra::sim
