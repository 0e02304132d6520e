#include "sim/script.h"

#include <gtest/gtest.h>

#include <array>

namespace kivra::sim {
namespace {

using namespace std::chrono_literals;

// Code image of 2048 bytes: `code` from address 0, 0xFF behind it.
std::array<std::uint8_t, 2048> Image(std::initializer_list<std::uint8_t> code) {
  std::array<std::uint8_t, 2048> image;
  image.fill(0xFF);
  std::copy(code.begin(), code.end(), image.begin());
  return image;
}

TEST(ScriptWalker, NextAddressFollowsLengthsJumpsAndTests) {
  struct Case {
    const char* name;
    std::array<std::uint8_t, 2048> code;
    std::uint16_t at;
    std::uint8_t inputs;
    std::optional<std::uint16_t> next;
  };
  const Case cases[] = {
      {"CURON 3 bytes", Image({0x02, 0x01, 0xF4}), 0, 0, 3},
      {"DISP 5 bytes", Image({0x07, 0, 0, 0x10, 0}), 0, 0, 5},
      {"VRB 2Fh short form", Image({0x2F, 1, 2, 3, 4, 5, 6}), 0, 0, 7},
      {"VRB 2Fh constant right", Image({0x2F, 1, 2, 3, 4, 0, 0, 0, 0, 9}), 0, 0, 10},
      {"VRB 2Fh constant left", Image({0x2F, 1, 0, 0, 0, 0, 7, 8, 1, 0, 0, 0, 0}), 0, 0, 10},
      {"VRB 2Fh both constants", Image({0x2F, 1, 0, 0, 0, 0, 7, 8, 0, 0, 0, 0, 0}), 0, 0, 13},
      {"byte that is no opcode", Image({0x00, 0x02}), 0, 0, 1},
      {"JUMP", Image({0x13, 0x09, 0x00, 0x00}), 1, 0, 0},
      {"JUMP forward", Image({0x09, 0x01, 0x00}), 0, 0, 0x100},
      {"JUMP out of memory", Image({0x09, 0x08, 0x00}), 0, 0, std::nullopt},
      {"end marker", Image({}), 0, 0, std::nullopt},
      {"IFINP 3 = 1 with input 3 on", Image({0x0B, 3, 1, 0x09, 0x00, 0x20}), 0, 0x04, 0x20},
      {"IFINP 3 = 1 with input 3 off", Image({0x0B, 3, 1, 0x09, 0x00, 0x20}), 0, 0x3B, 6},
      {"IFINP 6 = 0 with input 6 off", Image({0x0B, 6, 0, 0x09, 0x00, 0x20}), 0, 0x1F, 0x20},
      {"IFINP on input 7 never jumps", Image({0x0B, 7, 0, 0x09, 0x00, 0x20}), 0, 0, 6},
      {"IFVRB never jumps", Image({0x0C, 2, 3, 0, 100, 0x09, 0x00, 0x20}), 0, 0, 8},
      {"IFVRB with a variable never jumps", Image({0x32, 2, 2, 7, 0x09, 0x00, 0x20}), 0, 0, 7},
      {"test without its jump", Image({0x0B, 1, 1, 0x13}), 0, 0x01, 3},
      {"last instruction at the end of memory", Image({}), 2047, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScriptWalker::NextAddress(c.code, c.at, c.inputs), c.next) << c.name;
  }
  auto full = Image({});
  full[2046] = 0x13;  // WAIT as the last byte but one
  full[2047] = 0x13;
  EXPECT_EQ(ScriptWalker::NextAddress(full, 2046, 0), 2047);
  EXPECT_EQ(ScriptWalker::NextAddress(full, 2047, 0), std::nullopt);
}

TEST(ScriptWalker, WalksAtASteadyPaceAndStopsAfterTheEndMarker) {
  // 0: CURON 500; 3: SPEED 100; 6: IFINP 1 = 1 GO 12; 12: WAIT; 13: END
  const auto code = Image({0x02, 0x01, 0xF4, 0x04, 0x00, 0x64, 0x0B, 1, 1, 0x09, 0x00, 0x0C, 0x13});
  ScriptWalker walker(100ms);
  const TimePoint t0 = TimePoint{} + 5s;
  walker.Start(t0);
  std::vector<int> seen;
  for (int tick = 0; tick <= 6; ++tick) {
    walker.Advance(code, 0x01, t0 + tick * 100ms + 1ms);
    seen.push_back(walker.Running() ? walker.Address() : -1);
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 3, 6, 12, 13, -1, -1}));
}

TEST(ScriptWalker, CatchesUpOnMissedStepsAndKeepsLooping) {
  // 0: WAIT; 1: JUMP 0
  const auto code = Image({0x13, 0x09, 0x00, 0x00});
  ScriptWalker walker(10ms);
  walker.Start(TimePoint{});
  walker.Advance(code, 0, TimePoint{} + 10ms * 1001);  // an odd number of steps
  EXPECT_TRUE(walker.Running());
  EXPECT_EQ(walker.Address(), 1);
  walker.Advance(code, 0, TimePoint{} + 24h);  // a day later: bounded work, still looping
  EXPECT_TRUE(walker.Running());
  walker.Stop();
  EXPECT_EQ(walker.Address(), 0);
}

}  // namespace
}  // namespace kivra::sim
