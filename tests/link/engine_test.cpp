// The polling cycle, the reading step, time-outs, retries and requests, tick by tick.

#include "link/engine.h"

#include <gtest/gtest.h>

#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Reply;
using testing::Rig;
using testing::StatusFrame;

const Frame kAck = {AckByte};

TEST(Polling, StatusRequestEveryThreeTicksAt25Ms) {
  Rig r;
  std::vector<int> sendTicks;
  for (int tick = 1; tick <= 12; ++tick) {
    r.Tick();
    if (!r.port.sent.empty()) {
      EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)});
      sendTicks.push_back(tick);
      r.port.Receive(StatusFrame());
    }
  }
  EXPECT_EQ(sendTicks, (std::vector<int>{1, 4, 7, 10}));
  EXPECT_EQ(r.timer.changes, std::vector<int>{25});
  EXPECT_EQ(r.engine.StatusCount(), 4u);
  EXPECT_TRUE(r.v().connected);
  EXPECT_EQ(r.window.colour("Shape1"), Colour::Lime);
  EXPECT_EQ(r.window.colour("Shape13"), Colour::Lime);
}

TEST(Polling, PortClosedSendsNothingAndKeepsTheIndicators) {
  Rig r;
  r.PollOnce();
  r.engine.SetLinkEnabled(false);
  r.window.colours.clear();
  r.Tick(20);
  EXPECT_TRUE(r.port.sent.empty());
  EXPECT_TRUE(r.window.colours.empty());
  EXPECT_EQ(r.v().tickCount, 20u);
}

TEST(Polling, SilenceTimesOutThenALateReplyReconnects) {
  Rig r;
  r.PollOnce();
  // The driver stops answering: the status reply is given six ticks.
  int ticks = 0;
  while (r.v().connected) {
    r.Tick();
    ++ticks;
    ASSERT_LT(ticks, 50);
  }
  EXPECT_EQ(ticks, 6);
  EXPECT_EQ(r.window.colour("Shape1"), Colour::Red);
  EXPECT_EQ(r.window.colour("Shape13"), Colour::Red);
  // Once timed out, every further request times out in the tick that sends it...
  for (int i = 0; i < 3; ++i) {
    r.port.TakeFrames();
    while (r.port.sent.empty()) r.Tick();
    EXPECT_EQ(r.v().replyState, ReplyState::Idle);
    EXPECT_EQ(r.v().replyResult, ReplyResult::Failed);
    EXPECT_FALSE(r.v().connected);
  }
  // ...until a reply is waiting when a request goes out.
  while (r.v().linkState != state::Idle) r.Tick();
  r.port.Receive(StatusFrame(0x01));
  r.Tick();
  EXPECT_TRUE(r.v().connected);
  EXPECT_EQ(r.window.colour("Shape1"), Colour::Lime);
  EXPECT_EQ(r.window.colour("Shape3"), Colour::Lime);
  r.Tick();
  EXPECT_EQ(r.v().tickCount, 0u);
}

TEST(Polling, FailedStatusRepliesAreCountedInThrees) {
  Rig r;
  r.PollOnce(StatusFrame(0x3F));
  const Frame wrongLetter = Reply('t', std::vector<std::uint8_t>(13, 0));
  for (int i = 1; i <= 4; ++i) {
    r.Tick();
    r.port.Receive(wrongLetter);
    r.Tick(2);
    EXPECT_EQ(r.v().retryCount, i % 3) << i;
  }
  // Bytes keep arriving, so the driver counts as present; the displays keep the last
  // accepted reply.
  EXPECT_TRUE(r.v().connected);
  EXPECT_EQ(r.engine.StatusCount(), 1u);
  EXPECT_EQ(r.window.colour("Shape8"), Colour::Lime);
}

TEST(Reading, AcknowledgementCountsOnlyInTheCurrentRead) {
  struct Case {
    const char* what;
    Frame earlier;  // a read before the command's
    Frame read;
    ReplyResult result;
  };
  Frame lateStatusAndAck = StatusFrame();
  lateStatusAndAck.push_back(AckByte);
  Frame longWithAckAt16(20, 0x55);
  longWithAckAt16[16] = AckByte;
  const Case cases[] = {
      {"ack alone", {}, kAck, ReplyResult::Ok},
      {"ack first of several", {}, {AckByte, 0x15, 0x15}, ReplyResult::Ok},
      {"late status then ack", {}, lateStatusAndAck, ReplyResult::Ok},
      {"byte 16 of a long read", {}, longWithAckAt16, ReplyResult::Ok},
      {"negative acknowledgement", {}, {0x15}, ReplyResult::Failed},
      {"ack at byte 1", {}, {0x00, AckByte}, ReplyResult::Failed},
      {"stale ack at byte 16", longWithAckAt16, {0x15, 0x15}, ReplyResult::Failed},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce();
    if (!c.earlier.empty()) {
      r.Tick();
      r.port.Receive(c.earlier);
      r.Tick(2);
    }
    r.window.texts["Edit23"] = "1200";
    r.engine.Request(state::Speed);
    r.Tick();  // sends 'V'
    r.port.Receive(c.read);
    r.Tick();
    EXPECT_EQ(r.v().replyResult, c.result) << c.what;
  }
}

TEST(Reading, SplitReplyFailsItsChecksumAndIsAskedAgain) {
  Rig r;
  r.PollOnce();
  r.engine.PressReadSettings();
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('t', 0)});
  const Frame t = Reply('t', {0x04, 0xB0, 0, 100, 0, 50, 8, 0, 20, 0, 30, 1, 0, 0, 0, 9, 0, 1, 0, 3});
  r.port.Receive(Frame(t.begin(), t.begin() + 10));
  r.Tick();
  EXPECT_EQ(r.v().replyResult, ReplyResult::Failed);
  r.port.Receive(Frame(t.begin() + 10, t.end()));
  r.Tick(2);  // failed again on the rest; then the send state asks again
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('t', 0)});
  r.port.Receive(t);
  r.Tick(2);
  EXPECT_EQ(r.v().linkState, state::Idle);
  EXPECT_EQ(r.window.text("Edit23"), "1200");
  EXPECT_EQ(r.window.text("StaticText83"), "SAĞ");
  EXPECT_EQ(r.window.text("Edit29"), "9");
}

TEST(Reading, ReplyForAnotherRequestFailsOnItsLetter) {
  Rig r;
  r.PollOnce();
  r.engine.Request(state::ReadParameters);
  r.Tick();
  r.port.TakeFrames();
  r.port.Receive(StatusFrame(0xFF));
  r.Tick();
  EXPECT_EQ(r.v().replyResult, ReplyResult::Failed);
  EXPECT_NE(r.window.colour("Shape3"), Colour::Lime);  // a foreign reply changes no display
  r.Tick(2);
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('A', 0)});
  EXPECT_EQ(r.v().retryCount, 1);
}

TEST(Reading, BurstLongerThanTheBufferIsReadInParts) {
  Rig r;
  r.PollOnce();
  r.Tick();
  r.port.Receive(Frame(600, 0x11));
  r.Tick();
  EXPECT_EQ(r.port.incoming.size(), 350u);
  r.Tick(3);
  EXPECT_TRUE(r.port.incoming.empty());
}

TEST(Requests, NewRequestReplacesTheRunningOneAndRestartsRetries) {
  Rig r;
  r.PollOnce();
  r.engine.Request(state::Run);
  r.Tick();
  r.port.Receive({0x15});
  r.Tick(3);  // failed once, 'R' sent again
  EXPECT_EQ(r.v().retryCount, 1);
  r.engine.Request(state::Stop);
  EXPECT_EQ(r.v().retryCount, 0);
  EXPECT_FALSE(r.v().pollEnabled);
  EXPECT_EQ(r.engine.LastExchange().outcome, ExchangeOutcome::Running);
  r.Tick();
  const auto frames = r.port.TakeFrames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[2], CommandFrame('S', 0));
  r.port.Receive(kAck);
  r.Tick(2);
  EXPECT_EQ(r.engine.LastExchange().sendState, state::Stop);
  EXPECT_EQ(r.engine.LastExchange().outcome, ExchangeOutcome::Acknowledged);
  EXPECT_TRUE(r.v().pollEnabled);
}

// Every command gets three attempts; whichever reply is lost, the end state is the same.
TEST(Requests, FailAtEachAttempt) {
  for (int failures = 0; failures <= 3; ++failures) {
    Rig r;
    r.PollOnce();
    r.engine.Request(state::Run);
    int sends = 0;
    for (int tick = 0; tick < 40 && r.engine.LastExchange().outcome == ExchangeOutcome::Running; ++tick) {
      r.Tick();
      for (const auto& f : r.port.TakeFrames()) {
        ASSERT_EQ(f, CommandFrame('R', 0));
        // The first `failures` attempts go unanswered and time out.
        if (++sends > failures) r.port.Receive(kAck);
      }
    }
    EXPECT_EQ(sends, std::min(failures + 1, 3)) << failures;
    EXPECT_EQ(r.engine.LastExchange().outcome,
              failures < 3 ? ExchangeOutcome::Acknowledged : ExchangeOutcome::Failed) << failures;
    EXPECT_EQ(r.v().connected, failures < 3) << failures;
    // Either way the engine polls again, and a driver that answers is seen again.
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)}) << failures;
    // After a time-out the first request times out at once; the reply is taken with the next.
    r.port.Receive(StatusFrame());
    for (int tick = 0; tick < 3 && !r.v().connected; ++tick) r.Tick();
    EXPECT_TRUE(r.v().connected) << failures;
  }
}

TEST(Requests, MoveIsSentOnceAndAFailureFallsBackToPolling) {
  for (const Frame& reply : {Frame{}, Frame{0x15}}) {
    Rig r;
    r.PollOnce();
    r.engine.PressMove();
    r.engine.PressMove();  // still on its way: ignored
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('M', 0)});
    EXPECT_EQ(r.engine.Interval(), 200);
    r.engine.PressMove();
    r.port.Receive(reply);
    int ticks = 0;
    while (r.v().linkState != state::Idle && ticks < 20) {
      r.Tick();
      ++ticks;
    }
    EXPECT_EQ(r.v().linkState, state::Idle);
    EXPECT_EQ(r.engine.LastExchange().outcome, ExchangeOutcome::Failed);
    // Polling again, and no second MOVE.
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)});
  }
}

TEST(Requests, MoveWaitsForTheMotorToStop) {
  Rig r;
  r.PollOnce(StatusFrame(0, 0x04));
  EXPECT_TRUE(r.v().motorRunning);
  r.engine.PressMove();
  EXPECT_EQ(r.v().linkState, state::Idle);
  r.PollOnce(StatusFrame(0, 0x00));
  r.engine.PressMove();
  EXPECT_EQ(r.v().linkState, state::Move);
  EXPECT_TRUE(r.v().motorRunning);
}

TEST(Requests, IntervalsFollowTheExchange) {
  Rig r;
  r.PollOnce();
  r.engine.Request(state::Output);
  r.Tick();
  EXPECT_EQ(r.engine.Interval(), 200);
  r.port.Receive(kAck);
  r.Tick(3);
  r.engine.Request(state::Run);
  r.Tick();
  r.port.Receive(kAck);
  r.Tick(2);
  r.Tick();
  EXPECT_EQ(r.timer.changes, (std::vector<int>{25, 200, 25, 100, 25}));
}

TEST(PortErrors, ReportedOnceAndNeverAFreeze) {
  Rig r;
  r.PollOnce();
  r.port.failPut = "Output buffer too small for block";
  r.Tick(5);
  ASSERT_EQ(r.window.messages.size(), 1u);
  EXPECT_EQ(r.window.messages[0].text, "Output buffer too small for block");
  // A box-valued command ends at once; a plain one uses up its attempts.
  r.window.texts["Edit23"] = "100";
  r.engine.Request(state::Speed);
  r.Tick();
  EXPECT_EQ(r.engine.LastExchange().outcome, ExchangeOutcome::Failed);
  r.engine.Request(state::Run);
  r.Tick(10);
  EXPECT_EQ(r.engine.LastExchange().outcome, ExchangeOutcome::Failed);
  EXPECT_EQ(r.window.messages.size(), 1u);
  // The port recovers: polling resumes without another word.
  r.port.failPut = nullptr;
  r.port.sent.clear();
  r.Tick(3);
  EXPECT_FALSE(r.port.TakeFrames().empty());
  EXPECT_EQ(r.window.messages.size(), 1u);
}

}  // namespace
}  // namespace kivra::link

namespace kivra::link {
namespace {

// Whatever the line delivers and whatever the user presses, the engine never leaves the
// state table, never writes past a frame, and finds the driver again once it answers.
TEST(Robustness, RandomBytesAndButtonsThenRecovery) {
  std::uint32_t seed = 12345;
  auto rnd = [&seed](std::uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  testing::Rig r;
  r.window.texts["Edit23"] = "100";
  r.window.texts["Edit11"] = "5";
  const std::uint8_t states[] = {state::Run, state::Speed, state::ReadSettings, state::ReadParameters,
                                 state::MemoryRead, state::ReadService, state::ReadProgramName, state::Output};
  CodeImage image;
  image.bytes.fill(0xFF);
  image.length = 60;
  for (int tick = 0; tick < 5000; ++tick) {
    switch (rnd(40)) {
      case 0: r.engine.Request(states[rnd(std::size(states))]); break;
      case 1: r.engine.PressMove(); break;
      case 2: r.engine.StartDownload(true, image, {}, "x.kv3"); break;
      case 3: r.engine.PressParameterWrite(9 + static_cast<int>(rnd(17))); break;
      default: break;
    }
    std::vector<std::uint8_t> noise(rnd(4) == 0 ? rnd(300) : rnd(20));
    for (auto& b : noise) b = static_cast<std::uint8_t>(rnd(3) == 0 ? AckByte : rnd(256));
    if (rnd(3) == 0) r.port.Receive(noise);
    r.Tick();
    for (const auto& f : r.port.TakeFrames()) ASSERT_LE(f.size(), FrameCapacity);
    const auto s = r.v().linkState;
    ASSERT_TRUE(s >= 1 && s <= 60) << int(s);
  }
  // The driver now answers properly: polling resumes and the link comes back.
  r.port.incoming.clear();
  for (int tick = 0; tick < 400 && !(r.v().linkState == state::Idle && r.v().pollEnabled); ++tick) {
    r.Tick();
    if (!r.port.TakeFrames().empty()) r.port.Receive({AckByte});
  }
  r.port.incoming.clear();
  const auto before = r.engine.StatusCount();
  for (int tick = 0; tick < 30; ++tick) {
    r.Tick();
    for (const auto& f : r.port.TakeFrames())
      if (f == CommandFrame('s', 0)) r.port.Receive(testing::StatusFrame());
  }
  EXPECT_GT(r.engine.StatusCount(), before);
  EXPECT_TRUE(r.v().connected);
}

}  // namespace
}  // namespace kivra::link
