#include "sim/line.h"

#include <algorithm>

namespace kivra::sim {

TimePoint ByteArrival(const Transmission& t, std::size_t index, bool byteByByte) {
  if (!byteByByte || t.bytes.empty()) return t.due;
  const auto n = static_cast<long long>(t.bytes.size());
  const auto i = static_cast<long long>(std::min(index + 1, t.bytes.size()));
  return t.start + (t.due - t.start) * i / n;
}

UsbAdapter::UsbAdapter(std::chrono::nanoseconds latency, std::size_t burst, TimePoint start)
    : latency_(std::max(latency, std::chrono::nanoseconds(1))),
      burst_(std::max<std::size_t>(burst, 1)),
      timer_(start + latency_) {}

TimePoint UsbAdapter::FirstExpiry() const {
  const TimePoint first = held_.front().arrived;
  if (timer_ >= first) return timer_;
  // Expiries with an empty buffer only restart the timer: the phase stays the same.
  const auto missed = (first - timer_ + latency_ - std::chrono::nanoseconds(1)) / latency_;
  return timer_ + latency_ * missed;
}

std::optional<TimePoint> UsbAdapter::NextPacket() const {
  if (held_.empty()) return std::nullopt;
  const TimePoint expiry = FirstExpiry();
  if (held_.size() >= burst_ && held_[burst_ - 1].arrived <= expiry) {
    return held_[burst_ - 1].arrived;
  }
  return expiry;
}

Bytes UsbAdapter::Take(TimePoint now) {
  Bytes out;
  while (!held_.empty()) {
    const TimePoint expiry = FirstExpiry();
    const bool full = held_.size() >= burst_ && held_[burst_ - 1].arrived <= expiry;
    const TimePoint leaves = full ? held_[burst_ - 1].arrived : expiry;
    if (leaves > now) break;
    std::size_t n = 0;
    while (n < held_.size() && n < burst_ && held_[n].arrived <= leaves) ++n;
    for (std::size_t i = 0; i < n; ++i) out.push_back(held_[i].byte);
    held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(n));
    timer_ = leaves + latency_;
  }
  return out;
}

}  // namespace kivra::sim
