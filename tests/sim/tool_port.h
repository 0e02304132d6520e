#pragma once

// The tool's side of the simulator's port, with plain POSIX calls, for the tests.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "sim/frame.h"

namespace kivra::sim::test {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous: the machine may be loaded and the tests run under sanitizers.
constexpr auto kPatience = 5s;

inline Bytes Command(std::uint8_t code, std::uint32_t value = 0) {
  return BuildFrame(
      'K',
      Bytes{code, static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

class ToolPort {
 public:
  explicit ToolPort(const std::string& path)
      : fd_(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
  ~ToolPort() { Close(); }
  ToolPort(const ToolPort&) = delete;
  ToolPort& operator=(const ToolPort&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  void Write(const Bytes& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
  }

  // Reads until `n` bytes have come or `timeout` has passed.
  Bytes Read(std::size_t n, std::chrono::milliseconds timeout = kPatience) {
    Bytes got;
    const auto deadline = Clock::now() + timeout;
    while (got.size() < n) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left <= 0ms) break;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
      if (p.revents & POLLHUP) break;
      std::uint8_t buffer[256];
      const ssize_t r = read(fd_, buffer, std::min(sizeof buffer, n - got.size()));
      if (r > 0) got.insert(got.end(), buffer, buffer + r);
    }
    return got;
  }
  Bytes Ask(const Bytes& frame, std::size_t replyLength) {
    Write(frame);
    return Read(replyLength);
  }
  // Waits until the other side hangs up.
  bool HungUp(std::chrono::milliseconds timeout = kPatience) {
    pollfd p{fd_, POLLIN, 0};
    return poll(&p, 1, static_cast<int>(timeout.count())) > 0 && (p.revents & POLLHUP);
  }

 private:
  int fd_;
};

}  // namespace kivra::sim::test
