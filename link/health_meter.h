#pragma once

// How well the link is doing over the last ten seconds: accepted status replies per second
// and the share of exchanges that failed (a wrong, broken or missing answer, or a frame the
// port refused). Fed with frame events; constant memory whatever their rate.

#include <array>
#include <cstdint>

#include "link/line_event.h"

namespace kivra::link {

struct HealthReading {
  double statusPerSecond = 0;
  double failedShare = 0;  // 0 .. 1; 0 when nothing was exchanged
  int exchanges = 0;       // judged in the window
  int failed = 0;
};

class HealthMeter {
 public:
  static constexpr std::int64_t kWindowMs = 10'000;

  void Add(const LineEvent& event);
  HealthReading Read(std::int64_t nowMs) const;
  void Clear();

 private:
  static constexpr std::int64_t kSlotMs = 100;
  static constexpr std::size_t kSlots = kWindowMs / kSlotMs;
  struct Slot {
    std::int64_t index = -1;  // timeMs / kSlotMs of the counts it holds
    int status = 0;
    int ok = 0;
    int failed = 0;
  };
  Slot& SlotAt(std::int64_t timeMs);

  std::array<Slot, kSlots> slots_{};
  std::int64_t firstMs_ = -1;  // the first event: the window is shorter until 10 s have passed
};

}  // namespace kivra::link
