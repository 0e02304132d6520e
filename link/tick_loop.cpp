#include "link/tick_loop.h"

#include <thread>

namespace kivra::link {

TickLoop::TickLoop(Wait wait) : wait_(std::move(wait)), next_(Clock::now() + interval_) {
  if (!wait_) {
    wait_ = [](Clock::duration d) {
      // Whole milliseconds: Windows sleeps in those, and returns at once from a shorter
      // wait, which would turn the last fraction of every interval into a busy loop.
      std::this_thread::sleep_for(std::chrono::ceil<std::chrono::milliseconds>(d));
      return true;
    };
  }
}

void TickLoop::SetInterval(int milliseconds) {
  interval_ = std::chrono::milliseconds(milliseconds);
  next_ = Clock::now() + interval_;
}

bool TickLoop::Run(LinkEngine& engine, const std::function<bool()>& done,
                   Clock::time_point deadline) {
  return Run([&engine] { engine.Tick(); }, done, deadline);
}

bool TickLoop::Run(const std::function<void()>& tick, const std::function<bool()>& done,
                   Clock::time_point deadline) {
  for (;;) {
    const auto now = Clock::now();
    if (now >= deadline) return false;
    if (now < next_) {
      if (!wait_(std::min(next_, deadline) - now)) return false;
      continue;
    }
    next_ += interval_;
    if (next_ <= now) next_ = now + interval_;
    tick();  // may set a new interval, which restarts the period from now
    if (done()) return true;
  }
}

}  // namespace kivra::link
