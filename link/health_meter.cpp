#include "link/health_meter.h"

#include <algorithm>

namespace kivra::link {

HealthMeter::Slot& HealthMeter::SlotAt(std::int64_t timeMs) {
  const std::int64_t index = std::max<std::int64_t>(timeMs, 0) / kSlotMs;
  Slot& slot = slots_[static_cast<std::size_t>(index) % kSlots];
  if (slot.index != index) slot = Slot{index};
  return slot;
}

void HealthMeter::Add(const LineEvent& e) {
  const bool judged = e.outcome == FrameOutcome::Accepted || e.outcome == FrameOutcome::Failed;
  if (!judged) return;
  if (firstMs_ < 0) firstMs_ = e.timeMs;
  Slot& slot = SlotAt(e.timeMs);
  if (e.outcome == FrameOutcome::Failed) {
    ++slot.failed;
    return;
  }
  ++slot.ok;
  if (e.direction == Direction::Received && e.IsStatusPoll()) ++slot.status;
}

HealthReading HealthMeter::Read(std::int64_t nowMs) const {
  HealthReading r;
  if (firstMs_ < 0) return r;
  const std::int64_t now = std::max<std::int64_t>(nowMs, 0) / kSlotMs;
  int status = 0;
  for (const Slot& slot : slots_) {
    if (slot.index < 0 || slot.index > now || slot.index <= now - static_cast<std::int64_t>(kSlots))
      continue;
    status += slot.status;
    r.exchanges += slot.ok + slot.failed;
    r.failed += slot.failed;
  }
  // Until ten seconds have passed since the first event, the rate is over the time there was.
  const std::int64_t span = std::clamp<std::int64_t>(nowMs - firstMs_, kSlotMs, kWindowMs);
  r.statusPerSecond = status * 1000.0 / static_cast<double>(span);
  r.failedShare = r.exchanges > 0 ? static_cast<double>(r.failed) / r.exchanges : 0.0;
  return r;
}

void HealthMeter::Clear() {
  slots_.fill(Slot{});
  firstMs_ = -1;
}

}  // namespace kivra::link
