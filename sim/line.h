#pragma once

// The serial line between the tool and the simulated driver, as a real one behaves: a
// frame from the tool reaches the driver one byte per byte time, the driver answers after
// a short turnaround, and the answer reaches the tool byte by byte as the UART sends it.
// A USB serial adapter in between hands the received bytes to the computer in packets:
// when a packet is full, or when its latency timer runs out, whichever comes first.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "sim/frame.h"

namespace kivra::sim {

// Bytes the driver puts on the line: the first one starts at `start`, the last one is
// complete at `due`; the bytes in between follow each other at an even pace.
struct Transmission {
  TimePoint start;
  TimePoint due;
  Bytes bytes;
  std::string note;  // what the bytes are, for a log
};

struct LineOptions {
  // True: the driver receives a frame as it arrives on the line and its answers reach the
  // tool byte by byte. False: a frame is taken the moment the tool writes it, and each
  // answer is handed over whole once its line time has passed (kinder than any wire).
  bool byteByByte = true;
  // A USB adapter's latency timer; zero for a plain serial port, whose bytes reach the
  // computer as they arrive.
  std::chrono::nanoseconds usbLatency{0};
  // Bytes in a full USB packet; a full packet is handed over at once.
  std::size_t usbBurst = 62;
};

// The moment byte `index` of `t` has wholly arrived at the other end of the line.
TimePoint ByteArrival(const Transmission& t, std::size_t index, bool byteByByte);

// The adapter's side facing the computer. Bytes go in with the time they arrived from the
// line (never earlier than those before them); Take hands over the packets that have left
// by `now`. The latency timer restarts with every packet, and runs out with nothing to
// send while the line is quiet.
class UsbAdapter {
 public:
  UsbAdapter(std::chrono::nanoseconds latency, std::size_t burst, TimePoint start);

  void Put(std::uint8_t byte, TimePoint arrived) { held_.push_back({arrived, byte}); }
  Bytes Take(TimePoint now);
  // When Take will next hand something over; nothing while no byte is held.
  std::optional<TimePoint> NextPacket() const;
  std::size_t Held() const { return held_.size(); }

 private:
  struct HeldByte {
    TimePoint arrived;
    std::uint8_t byte;
  };
  // The first expiry of the timer at or after the first held byte's arrival.
  TimePoint FirstExpiry() const;

  std::chrono::nanoseconds latency_;
  std::size_t burst_;
  TimePoint timer_;
  std::deque<HeldByte> held_;
};

}  // namespace kivra::sim
