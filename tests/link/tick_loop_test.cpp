#include "link/tick_loop.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

// The loop waits only for what the engine asked: it never waits longer than one interval,
// and it stops at once when its wait says so (a signal) or when the owner is done.
TEST(TickLoop, WaitsAtMostOneIntervalAndStopsWhenAsked) {
  std::vector<TickLoop::Clock::duration> waits;
  int stopAfter = 1000;
  TickLoop loop([&](TickLoop::Clock::duration d) {
    waits.push_back(d);
    std::this_thread::sleep_for(std::chrono::ceil<std::chrono::milliseconds>(d));
    return --stopAfter > 0;
  });
  testing::FakePort port;
  LinkEngine engine(port, loop);
  engine.SetLinkEnabled(true);

  EXPECT_TRUE(loop.Run(engine, [&] { return !port.sent.empty(); }));
  EXPECT_EQ(port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)});
  EXPECT_EQ(loop.Interval(), 25);
  for (auto d : waits) EXPECT_LE(d, std::chrono::milliseconds(100));

  stopAfter = 2;
  EXPECT_FALSE(loop.Run(engine, [] { return false; }));
  EXPECT_FALSE(loop.Run(
      engine, [] { return false; }, TickLoop::Clock::now()));
}

}  // namespace
}  // namespace kivra::link
