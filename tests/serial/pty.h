#pragma once

// Test helpers: a pseudo-terminal pair whose port side the component opens and whose far
// side the test reads and writes, and a bounded wait on a condition.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kivra::serial::testing {

// Polls `done` until it holds or `limit` has passed; generous, since the tests also run
// under sanitizers on a busy machine.
template <typename Pred>
bool WaitFor(Pred done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

class Pty {
 public:
  Pty() {
    int slave = -1;
    char name[128];
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    path_ = name;
    // Only the component holds the port side, as it would a real device.
    ::close(slave);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~Pty() { CloseMaster(); }
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  const std::string& path() const { return path_; }
  int master() const { return master_; }

  // Pulls the plug: the port side sees a hang-up.
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

  // Writes everything, waiting for room as needed.
  void Write(const std::vector<std::uint8_t>& data) const {
    std::size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = ::write(master_, data.data() + done, data.size() - done);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
      } else {
        pollfd p{master_, POLLOUT, 0};
        ::poll(&p, 1, 100);
      }
    }
  }

  // Reads until `count` bytes have come or `limit` has passed.
  std::vector<std::uint8_t> Read(std::size_t count,
                                 std::chrono::milliseconds limit = std::chrono::seconds(20)) const {
    std::vector<std::uint8_t> out;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::uint8_t buf[4096];
    while (out.size() < count && std::chrono::steady_clock::now() < deadline) {
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      const ssize_t n = ::read(master_, buf, std::min(sizeof buf, count - out.size()));
      if (n > 0) out.insert(out.end(), buf, buf + n);
    }
    return out;
  }

 private:
  int master_ = -1;
  std::string path_;
};

inline std::vector<std::uint8_t> Pattern(std::size_t n, unsigned seed = 0) {
  std::vector<std::uint8_t> v(n);
  for (std::size_t i = 0; i < n; ++i)
    v[i] = static_cast<std::uint8_t>((i * 7 + seed + i / 251) & 0xFF);
  return v;
}

}  // namespace kivra::serial::testing
