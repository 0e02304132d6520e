#pragma once

// The bytes received from the driver and not yet judged, each with the moment it arrived.

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "common/driver_protocol.h"
#include "common/mono_time.h"
#include "link/port.h"

namespace kivra::link {

class Inbox {
 public:
  // Enough for the longest frame behind a burst of other bytes; more waits in the port
  // until what is here has been judged.
  static constexpr std::size_t kCapacity = 16 * protocol::FrameCapacity;

  // Takes what the port holds, as far as there is room. Returns how many bytes came.
  std::size_t Pull(Port& port) {
    const std::size_t before = bytes_.size();
    if (before < kCapacity) port.Receive(bytes_, times_, kCapacity - before);
    times_.resize(bytes_.size(), times_.empty() ? MonoTime{0} : times_.back());
    return bytes_.size() - before;
  }
  std::span<const std::uint8_t> Bytes() const { return bytes_; }
  std::span<const MonoTime> Times() const { return times_; }
  // The bytes of the last Pull.
  std::span<const std::uint8_t> Last(std::size_t n) const {
    return std::span<const std::uint8_t>(bytes_).last(n);
  }
  void Consume(std::size_t n) {
    n = std::min(n, bytes_.size());
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(n));
    times_.erase(times_.begin(), times_.begin() + static_cast<std::ptrdiff_t>(n));
  }
  void Clear() {
    bytes_.clear();
    times_.clear();
  }
  bool Empty() const { return bytes_.empty(); }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<MonoTime> times_;
};

}  // namespace kivra::link
