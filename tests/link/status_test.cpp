// Status replies as facts, what is known while the driver does not answer, and the script
// and debug switches.

#include <gtest/gtest.h>

#include "link/engine.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Rig;
using testing::StatusFrame;

TEST(Status, EachReplyIsToldDecoded) {
  struct Case {
    std::uint8_t io;
    std::uint8_t mode;
    std::vector<int> inputs;   // lit, 1..6
    std::vector<int> outputs;  // lit, 1..2
  };
  const Case cases[] = {
      {0x41, 0x00, {1}, {1}},
      {0xC0, 0x00, {}, {1, 2}},
      {0x00, 0x05, {}, {}},
      {0x3F, 0x02, {1, 2, 3, 4, 5, 6}, {}},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce(StatusFrame(c.io, c.mode, 0x0102, 17, 250, 41));
    ASSERT_EQ(r.seen.replies.size(), 1u);
    const StatusReply& s = r.seen.replies[0];
    std::vector<int> inputs, outputs;
    for (int i = 1; i <= 6; ++i)
      if (s.Input(i)) inputs.push_back(i);
    for (int i = 1; i <= 2; ++i)
      if (s.Output(i)) outputs.push_back(i);
    EXPECT_EQ(inputs, c.inputs) << int(c.io);
    EXPECT_EQ(outputs, c.outputs) << int(c.io);
    EXPECT_EQ(s.ControllerMode(), (c.mode & 1) != 0);
    EXPECT_EQ(s.analog1, 17);
    EXPECT_EQ(s.analog2, 250);
    EXPECT_EQ(s.temperature, 41);
    EXPECT_EQ(s.address, 0x0102);
    EXPECT_EQ(r.v().firmwareVersion, 12);
    EXPECT_EQ(r.v().motorRunning, (c.mode & 4) != 0);
    EXPECT_EQ(r.v().scriptOn, (c.mode & 2) != 0);
    EXPECT_TRUE(r.seen.statusKnown);
  }
}

TEST(Status, LostEveryTickWhileTheDriverIsSilentButTheFlagsStay) {
  Rig r;
  r.PollOnce(StatusFrame(0xFF, 0x07, 0, 33, 44, 50));
  while (r.v().connected) r.Tick();
  EXPECT_FALSE(r.seen.statusKnown);
  const int lost = r.seen.lost;
  r.Tick(4);
  EXPECT_EQ(r.seen.lost, lost + 4);
  EXPECT_FALSE(r.seen.Lit());
  EXPECT_TRUE(r.v().scriptOn);  // flags stay until the next reply
  EXPECT_TRUE(r.v().motorRunning);
}

TEST(Status, DebugTellsTheExecutingLine) {
  Rig r;
  AddressLines lines{};
  lines[10] = 7;
  lines[12] = 8;
  r.engine.SetDebug(&lines);
  EXPECT_TRUE(r.v().debugOn);
  r.PollOnce(StatusFrame(0, 0x02, 10));
  r.PollOnce(StatusFrame(0, 0x02, 10));
  r.PollOnce(StatusFrame(0, 0x02, 11));    // no instruction starts there
  r.PollOnce(StatusFrame(0, 0x02, 5000));  // beyond the code memory
  r.PollOnce(StatusFrame(0, 0x00, 12));    // script stopped
  EXPECT_EQ(r.seen.debugLines, (std::vector<std::uint32_t>{7, 7}));
  r.engine.SetDebug(nullptr);
  EXPECT_FALSE(r.v().debugOn);
  r.PollOnce(StatusFrame(0, 0x02, 10));
  EXPECT_EQ(r.seen.debugLines.size(), 2u);
}

TEST(Status, ScriptSwitchRequestsAndTheDriverHasTheLastWord) {
  Rig r;
  r.PollOnce(StatusFrame(0, 0x00));
  r.engine.SetScript(true);
  EXPECT_TRUE(r.v().scriptOn);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('G', 0)});
  r.port.Receive({AckByte});
  r.Tick(2);
  // A reply still showing the old state flips it back.
  r.PollOnce(StatusFrame(0, 0x00));
  EXPECT_FALSE(r.v().scriptOn);
  r.PollOnce(StatusFrame(0, 0x02));
  r.engine.SetScript(false);
  EXPECT_FALSE(r.v().scriptOn);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('S', 0)});
}

}  // namespace
}  // namespace kivra::link
