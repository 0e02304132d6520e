#pragma once

// A timer for owners without an event loop (the command line): ticks the engine on the
// monotonic clock with the interval it asks for. A changed interval restarts the period;
// ticks that fall behind are dropped, as a window system's timer drops them.

#include <chrono>
#include <functional>

#include "link/engine.h"
#include "link/port.h"

namespace kivra::link {

class TickLoop final : public IntervalTimer {
 public:
  using Clock = std::chrono::steady_clock;
  // Waits up to the given time; returns false to stop the loop (for example on a signal).
  using Wait = std::function<bool(Clock::duration)>;

  explicit TickLoop(Wait wait = {});

  void SetInterval(int milliseconds) override;
  int Interval() const { return static_cast<int>(interval_.count()); }

  // Ticks `engine` until `done()` holds (checked after every tick) or `deadline` passes.
  // False when the wait asked to stop or the deadline passed first.
  bool Run(LinkEngine& engine, const std::function<bool()>& done,
           Clock::time_point deadline = Clock::time_point::max());
  // The same with what each tick does given (the port selection's watch, then the engine).
  bool Run(const std::function<void()>& tick, const std::function<bool()>& done,
           Clock::time_point deadline = Clock::time_point::max());

 private:
  Wait wait_;
  std::chrono::milliseconds interval_{100};
  Clock::time_point next_;
};

}  // namespace kivra::link
