#pragma once

// What the link needs of a serial port. The serial component provides it for real
// devices; tests provide scripted ports. Operations may throw std::exception subclasses
// (the serial component's errors); the engine catches them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/link_status.h"
#include "common/mono_time.h"

namespace kivra::link {

class Port {
 public:
  virtual ~Port() = default;
  // Queues a whole frame and returns at once, or queues nothing and raises when it does
  // not fit: a frame that goes out in part would be joined by the driver to whatever comes
  // next. Returns the frame's ticket for LeftAt.
  virtual std::uint64_t Send(std::span<const std::uint8_t> frame) = 0;
  // When the frame with `ticket` was handed to the system; nothing while it is queued.
  virtual std::optional<MonoTime> LeftAt(std::uint64_t ticket) = 0;
  // Appends up to `max` received bytes to `bytes`, and the moment each arrived to `times`.
  virtual void Receive(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times,
                       std::size_t max) = 0;
  // Discards everything received so far.
  virtual void FlushInBuffer() = 0;
  // Now, on the clock of those moments.
  virtual MonoTime Now() = 0;
};

using kivra::OpenFailure;

class PortOpenError : public std::runtime_error {
 public:
  PortOpenError(OpenFailure reason, const std::string& what)
      : std::runtime_error(what), reason_(reason) {}
  OpenFailure Reason() const { return reason_; }

 private:
  OpenFailure reason_;
};

// The owner's timer. The engine calls SetInterval only when the interval changes; the
// owner then restarts the period, so the next tick comes a full new interval later.
class IntervalTimer {
 public:
  virtual ~IntervalTimer() = default;
  virtual void SetInterval(int milliseconds) = 0;
};

}  // namespace kivra::link
