#pragma once

// What the link needs of a serial port. The serial component provides it for real
// devices; tests provide scripted ports. Operations may throw std::exception subclasses
// (the serial component's errors); the engine catches them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "common/link_status.h"

namespace kivra::link {

class Port {
 public:
  virtual ~Port() = default;
  // Queues one byte for sending and returns at once.
  virtual void PutChar(std::uint8_t byte) = 0;
  // Queues a whole frame, or nothing when it does not fit: a frame that goes out in part
  // would be joined by the driver to whatever comes next.
  virtual void PutBlock(std::span<const std::uint8_t> bytes) = 0;
  // Bytes received and not yet taken.
  virtual std::size_t GetInBufferUsed() = 0;
  // Takes exactly n waiting bytes (n never exceeds GetInBufferUsed()).
  virtual void GetBlock(std::uint8_t* buffer, std::size_t n) = 0;
  // Discards everything received so far.
  virtual void FlushInBuffer() = 0;
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
