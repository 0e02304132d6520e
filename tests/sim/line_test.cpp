// The line between the tool and the simulated driver: when each byte of an answer has
// arrived, and how a USB adapter hands them over.

#include "sim/line.h"

#include <gtest/gtest.h>

namespace kivra::sim {
namespace {

using namespace std::chrono_literals;

const TimePoint t0 = TimePoint{} + 1h;

TEST(Line, EachByteArrivesOneByteTimeAfterTheOneBefore) {
  const Transmission t{t0, t0 + 4 * LineByteTime, Bytes{1, 2, 3, 4}, "four"};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(ByteArrival(t, i, true), t0 + static_cast<long long>(i + 1) * LineByteTime) << i;
    EXPECT_EQ(ByteArrival(t, i, false), t.due) << i;  // whole: all at once, at the end
  }
}

// Bytes arriving from the line, and the packets the computer gets: at the latency
// timer's expiry, or at once when a packet is full. The timer restarts with each packet.
TEST(Line, UsbAdapterHandsOverPackets) {
  struct Case {
    const char* what;
    std::vector<std::chrono::microseconds> arrivals;  // after the adapter started
    std::size_t burst;
    std::vector<std::pair<std::chrono::microseconds, std::size_t>> packets;  // when, how many
  };
  const Case cases[] = {
      {"one byte waits for the timer", {1000us}, 62, {{16000us, 1}}},
      {"bytes before the expiry go together",
       {1000us, 2000us, 15999us, 16000us},
       62,
       {{16000us, 4}}},
      {"a byte after it waits for the next", {1000us, 16500us}, 62, {{16000us, 1}, {32000us, 1}}},
      {"quiet expiries keep the phase", {40000us}, 62, {{48000us, 1}}},
      {"a full packet leaves at once",
       {1000us, 2000us, 3000us, 4000us},
       3,
       {{3000us, 3}, {19000us, 1}}},
  };
  for (const auto& c : cases) {
    UsbAdapter adapter(16ms, c.burst, t0);
    for (std::size_t i = 0; i < c.arrivals.size(); ++i) {
      adapter.Put(static_cast<std::uint8_t>(i), t0 + c.arrivals[i]);
    }
    std::vector<std::pair<std::chrono::microseconds, std::size_t>> got;
    std::uint8_t next = 0;
    while (const auto when = adapter.NextPacket()) {
      EXPECT_TRUE(adapter.Take(*when - 1us).empty()) << c.what;
      const Bytes packet = adapter.Take(*when);
      ASSERT_FALSE(packet.empty()) << c.what;
      for (std::uint8_t b : packet) EXPECT_EQ(b, next++) << c.what;  // in order, none lost
      got.emplace_back(std::chrono::duration_cast<std::chrono::microseconds>(*when - t0),
                       packet.size());
    }
    EXPECT_EQ(got, c.packets) << c.what;
    EXPECT_EQ(adapter.Held(), 0u) << c.what;
  }
}

}  // namespace
}  // namespace kivra::sim
