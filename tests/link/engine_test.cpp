// The polling cycle, the reading step, time-outs, retries and requests, tick by tick.

#include "link/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>

#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Recorder;
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
  EXPECT_EQ(r.engine.Progress().statusCount, 4u);
  EXPECT_TRUE(r.v().connected);
  EXPECT_TRUE(r.seen.Lit());
  EXPECT_EQ(r.seen.statuses,
            (std::vector<LinkStatus>{LinkStatus::NotAnswering, LinkStatus::Answering}));
}

TEST(Polling, PortClosedSendsNothingAndKeepsTheIndicators) {
  Rig r;
  r.PollOnce();
  r.engine.SetLinkEnabled(false);
  const Recorder before = r.seen;
  r.Tick(20);
  EXPECT_TRUE(r.port.sent.empty());
  EXPECT_EQ(r.seen.statuses, before.statuses);
  EXPECT_EQ(r.seen.lost, before.lost);
  EXPECT_TRUE(r.seen.frames.size() == before.frames.size());
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
  EXPECT_FALSE(r.seen.Lit());
  EXPECT_EQ(r.seen.statuses.back(), LinkStatus::NotAnswering);
  EXPECT_EQ(r.seen.frames.back().event, FrameEvent::Failed);
  EXPECT_EQ(r.seen.frames.back().why, FrameFailure::TimeOut);
  // Every further request gets its own six ticks, the one that sends it included...
  for (int i = 0; i < 3; ++i) {
    r.port.TakeFrames();
    while (r.port.sent.empty()) r.Tick();
    int waited = 1;
    while (r.v().replyResult == ReplyResult::Pending) {
      r.Tick();
      ++waited;
    }
    EXPECT_EQ(waited, 6);
    EXPECT_EQ(r.v().replyState, ReplyState::Idle);
    EXPECT_FALSE(r.v().connected);
  }
  // ...and a reply that came late, before the next request left, answers none: it is passed
  // over, and the reply to the next request reconnects.
  while (r.v().linkState != LinkState::Idle) r.Tick();
  r.port.Receive(StatusFrame(0x02));
  r.Tick();  // the poll goes out; the late reply before it is passed over
  EXPECT_FALSE(r.v().connected);
  EXPECT_EQ(r.seen.frames.back().event, FrameEvent::Sent);
  r.port.Receive(StatusFrame(0x01));
  r.Tick();
  EXPECT_TRUE(r.v().connected);
  EXPECT_TRUE(r.seen.Lit());
  EXPECT_TRUE(r.seen.statusKnown);
  EXPECT_TRUE(r.seen.replies.back().Input(1));
  EXPECT_EQ(r.seen.replies.size(), 2u);  // the first poll's and this one's: never the late one
  r.Tick();
  EXPECT_EQ(r.v().tickCount, 0u);
}

TEST(Polling, ThreeFailedStatusRepliesTurnTheIndicatorsRed) {
  Rig r;
  r.PollOnce(StatusFrame(0x3F));
  const Frame wrongLetter = Reply('t', std::vector<std::uint8_t>(20, 0));
  for (int i = 1; i <= 4; ++i) {
    r.Tick();
    r.port.Receive(wrongLetter);
    r.Tick(2);
    EXPECT_EQ(r.v().retryCount, i % 3) << i;
    // Bytes keep arriving, yet from the third failure on the driver counts as gone until
    // a reply is accepted: the red shows, and the displays are blanked.
    EXPECT_EQ(r.v().connected, i < 3) << i;
    EXPECT_EQ(r.seen.Lit(), i < 3) << i;
  }
  const auto wrongLetters = std::ranges::count_if(
      r.seen.frames, [](const auto& f) { return f.why == FrameFailure::WrongLetter; });
  EXPECT_EQ(wrongLetters, 4);
  EXPECT_EQ(r.engine.Progress().statusCount, 1u);
  EXPECT_FALSE(r.seen.statusKnown);
  EXPECT_EQ(r.seen.statuses.back(), LinkStatus::NotAnswering);
  r.PollOnce(StatusFrame(0x3F));
  EXPECT_TRUE(r.v().connected);
  EXPECT_TRUE(r.seen.statusKnown);
  EXPECT_TRUE(r.seen.replies.back().Input(6));
  EXPECT_EQ(r.seen.statuses.back(), LinkStatus::Answering);
}

// Where an acknowledgement is awaited: the first 06h that arrived after the command left
// and is no byte of a frame. Whole replies of another kind before it are late answers to
// earlier requests, garbage is noise: neither is an answer, neither hides the 06h.
TEST(Reading, WhatCountsAsAnAcknowledgement) {
  struct Case {
    const char* what;
    Frame earlier;  // a read before the command's
    Frame read;
    ReplyResult result;
  };
  Frame lateStatusAndAck = StatusFrame();
  lateStatusAndAck.push_back(AckByte);
  Frame twoLateRepliesAndAck = StatusFrame(1);
  const Frame memory = Reply('E', {7});
  twoLateRepliesAndAck.insert(twoLateRepliesAndAck.end(), memory.begin(), memory.end());
  twoLateRepliesAndAck.push_back(AckByte);
  Frame brokenStatusAndAck = StatusFrame();
  brokenStatusAndAck[5] ^= 0x40;
  brokenStatusAndAck.push_back(AckByte);
  Frame garbageWithAckAt16(16, 0x55);
  garbageWithAckAt16.push_back(AckByte);
  const Frame status = StatusFrame();
  const Case cases[] = {
      {"ack alone", {}, kAck, ReplyResult::Ok},
      {"ack first of several", {}, {AckByte, 0x15, 0x15}, ReplyResult::Ok},
      {"late status then ack", {}, lateStatusAndAck, ReplyResult::Ok},
      {"two late replies then ack", {}, twoLateRepliesAndAck, ReplyResult::Ok},
      {"late status still arriving",
       {},
       Frame(status.begin(), status.begin() + 9),
       ReplyResult::Pending},
      {"late status alone", {}, StatusFrame(), ReplyResult::Pending},
      {"negative acknowledgement", {}, {0x15}, ReplyResult::Failed},
      {"ack at byte 1", {}, {0x00, AckByte}, ReplyResult::Ok},
      {"ack behind a broken status reply", {}, brokenStatusAndAck, ReplyResult::Ok},
      {"ack behind 16 bytes of garbage", {}, garbageWithAckAt16, ReplyResult::Ok},
      {"garbage alone waits for the time-out", {}, {0x00, 0x55, 0xFF}, ReplyResult::Pending},
      {"stale ack at byte 16", garbageWithAckAt16, {0x15, 0x15}, ReplyResult::Failed},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce();
    if (!c.earlier.empty()) {
      r.Tick();
      r.port.Receive(c.earlier);
      r.Tick(2);
    }
    r.engine.WriteSetting(Setting::Speed, 1200);
    r.Tick();  // sends 'V'
    r.port.Receive(c.read);
    r.Tick();
    EXPECT_EQ(r.v().replyResult, c.result) << c.what;
  }
}

// A status reply was half read when the command went out; its rest and the command's
// acknowledgement come later.
TEST(Reading, AcknowledgementBehindAStatusReplySplitByTheCommand) {
  Rig r;
  r.PollOnce();
  const Frame status = StatusFrame(0x01);
  r.Tick();  // sends 's'
  r.port.Receive(Frame(status.begin(), status.begin() + 7));
  r.Tick();
  r.engine.Run();
  r.Tick();  // sends 'R'
  EXPECT_EQ(r.port.TakeFrames().back(), CommandFrame('R', 0));
  Frame rest(status.begin() + 7, status.end());
  rest.push_back(AckByte);
  r.port.Receive(rest);
  r.Tick(2);
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Acknowledged);
  EXPECT_TRUE(r.port.TakeFrames().empty());  // not sent again
}

// A command that flushes the input goes out while a status reply is half here: the rest
// of that reply still comes, and must not pass for a wrong answer (or hide the right one).
TEST(Reading, TheRestOfAReplyCutByAFlushIsDropped) {
  const Frame status = StatusFrame(0x3F, 0x01, 0x0606, 6, 6, 6);  // 06h bytes all over
  const Frame t =
      Reply('t', {0x04, 0xB0, 0, 100, 0, 50, 8, 0, 20, 0, 30, 1, 0, 0, 0, 9, 0, 1, 0, 3});
  struct Case {
    const char* what;
    std::function<void(Rig&)> press;
    Frame answer;
    Frame sent;
  };
  const Case cases[] = {
      {"output",
       [](Rig& r) { r.engine.WriteOutput(1, false); },
       {AckByte},
       CommandFrame('x', 0x100)},
      {"motor settings", [](Rig& r) { r.engine.Read(Answer::MotorSettings); }, t,
       CommandFrame('t', 0)},
  };
  for (const auto& c : cases) {
    for (std::size_t cut = 1; cut < status.size(); ++cut) {
      Rig r;
      r.PollOnce();
      r.Tick();  // sends 's'
      r.port.Receive(Frame(status.begin(), status.begin() + static_cast<std::ptrdiff_t>(cut)));
      r.Tick();
      c.press(r);
      r.Tick();  // sends, flushing
      EXPECT_EQ(r.port.TakeFrames().back(), c.sent) << c.what << cut;
      Frame rest(status.begin() + static_cast<std::ptrdiff_t>(cut), status.end());
      rest.insert(rest.end(), c.answer.begin(), c.answer.end());
      r.port.Receive(rest);
      r.Tick(3);
      EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Acknowledged)
          << c.what << cut;
      for (const auto& f : r.port.TakeFrames())
        EXPECT_EQ(f, CommandFrame('s', 0)) << c.what << cut;  // asked once
    }
  }
}

// Whatever way the bytes are cut into reads, a reply is judged whole, once.
TEST(Reading, RepliesAreKeptUntilWholeAcrossTicks) {
  const Frame status = StatusFrame(0x2A, 0, 0, 99);
  const Frame t =
      Reply('t', {0x04, 0xB0, 0, 100, 0, 50, 8, 0, 20, 0, 30, 1, 0, 0, 0, 9, 0, 1, 0, 3});
  for (std::size_t cut = 1; cut < t.size(); ++cut) {
    Rig r;
    r.PollOnce();
    r.engine.Read(Answer::MotorSettings);
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('t', 0)});
    r.port.Receive(Frame(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(cut)));
    r.Tick();
    EXPECT_EQ(r.v().replyResult, ReplyResult::Pending) << cut;
    r.port.Receive(Frame(t.begin() + static_cast<std::ptrdiff_t>(cut), t.end()));
    r.Tick(2);
    EXPECT_EQ(r.v().linkState, LinkState::Idle) << cut;
    EXPECT_TRUE(r.port.TakeFrames().empty()) << cut;  // asked once
    ASSERT_TRUE(r.seen.motorSettings) << cut;
    EXPECT_EQ(r.seen.motorSettings->speed, 1200) << cut;
    EXPECT_EQ(r.seen.motorSettings->displacement, 9) << cut;
  }
  for (std::size_t cut = 1; cut < status.size(); ++cut) {
    Rig r;
    r.PollOnce();
    r.Tick();
    r.port.Receive(Frame(status.begin(), status.begin() + static_cast<std::ptrdiff_t>(cut)));
    r.Tick();
    r.port.Receive(Frame(status.begin() + static_cast<std::ptrdiff_t>(cut), status.end()));
    r.Tick(2);
    EXPECT_EQ(r.engine.Progress().statusCount, 2u) << cut;
    EXPECT_EQ(r.v().retryCount, 0) << cut;
    EXPECT_EQ(r.seen.replies.back().analog1, 99) << cut;
  }
}

// Status polling fed by streams of bytes, one read per tick: garbage is skipped, every
// whole valid reply is accepted once, and nothing else ever is.
TEST(Reading, StatusStreams) {
  const Frame good = StatusFrame(0x01);
  Frame corrupt = StatusFrame(0x02);
  corrupt[3] ^= 0x10;
  const Frame twelve = Reply('s', {0x04, 0, 0, 0x01, 25, 12, 0, 0, 0});
  const auto join = [](std::initializer_list<Frame> parts) {
    Frame all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  struct Case {
    const char* what;
    std::vector<Frame> reads;  // one per tick from the request on
    std::uint64_t accepted;
    std::uint8_t lastInputs;
  };
  const Case cases[] = {
      {"garbage before a reply", {join({{0x00, 0x01, 0xFF, 0x99}, good})}, 1, 0x01},
      {"length bytes 0, 1 and 255", {{0x00}, {0x01}, {0xFF}, good}, 1, 0x01},
      // The later of two answers to one request is the newer.
      {"two replies in one read", {join({good, StatusFrame(0x03)})}, 1, 0x03},
      {"a 12-byte reply", {twelve}, 1, 0x04},
      {"a corrupt reply, then a good one", {join({corrupt, good})}, 1, 0x01},
      {"a reply cut off, then a whole one",
       {Frame(good.begin(), good.begin() + 5), StatusFrame(0x05)},
       1,
       0x05},
      {"acknowledgements only", {Frame(40, AckByte), Frame(40, AckByte)}, 0, 0},
      {"a reply with a wrong letter's shape", {Reply('S', Frame(13, 0))}, 0, 0},
  };
  for (const auto& c : cases) {
    Rig r;
    r.Tick();  // the first request
    r.port.TakeFrames();
    for (const auto& read : c.reads) {
      r.port.Receive(read);
      r.Tick();
    }
    r.Tick(8);
    EXPECT_EQ(r.engine.Progress().statusCount, c.accepted) << c.what;
    if (c.accepted > 0) {
      EXPECT_EQ(r.engine.Progress().lastStatus.io, c.lastInputs) << c.what;
    }
  }
}

TEST(Reading, ReplyForAnotherRequestFailsOnItsLetter) {
  Rig r;
  r.PollOnce();
  r.engine.Read(Answer::ParamBlock);
  r.Tick();
  r.port.TakeFrames();
  r.port.Receive(StatusFrame(0xFF));
  r.Tick();
  EXPECT_EQ(r.v().replyResult, ReplyResult::Failed);
  EXPECT_EQ(r.seen.replies.size(), 1u);  // a foreign reply is no status
  EXPECT_EQ(r.seen.frames.back().why, FrameFailure::WrongLetter);
  EXPECT_EQ(r.seen.frames.back().bytes, StatusFrame(0xFF));
  r.Tick(2);
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('A', 0)});
  EXPECT_EQ(r.v().retryCount, 1);
}

TEST(Reading, BurstLongerThanTheBufferIsReadInParts) {
  Rig r;
  r.PollOnce();
  r.Tick();
  r.port.Receive(Frame(Inbox::kCapacity + 350, 0x11));
  r.Tick();
  EXPECT_EQ(r.port.incoming.size(), 350u);
  r.Tick(3);
  EXPECT_TRUE(r.port.incoming.empty());
}

TEST(Requests, NewRequestReplacesTheRunningOneAndRestartsRetries) {
  Rig r;
  r.PollOnce();
  r.engine.Run();
  r.Tick();
  r.port.Receive({0x15});
  r.Tick(3);  // failed once, 'R' sent again
  EXPECT_EQ(r.v().retryCount, 1);
  r.engine.Stop();
  EXPECT_EQ(r.v().retryCount, 0);
  EXPECT_FALSE(r.v().pollEnabled);
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Running);
  r.Tick();
  const auto frames = r.port.TakeFrames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[2], CommandFrame('S', 0));
  r.port.Receive(kAck);
  r.Tick(2);
  EXPECT_EQ(r.engine.Progress().exchange.request, LinkState::Stop);
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Acknowledged);
  EXPECT_TRUE(r.v().pollEnabled);
}

// Every command gets three attempts; whichever reply is lost, the end state is the same.
TEST(Requests, FailAtEachAttempt) {
  for (int failures = 0; failures <= 3; ++failures) {
    Rig r;
    r.PollOnce();
    r.engine.Run();
    int sends = 0;
    for (int tick = 0;
         tick < 40 && r.engine.Progress().exchange.outcome == ExchangeOutcome::Running; ++tick) {
      r.Tick();
      for (const auto& f : r.port.TakeFrames()) {
        ASSERT_EQ(f, CommandFrame('R', 0));
        // The first `failures` attempts go unanswered and time out.
        if (++sends > failures) r.port.Receive(kAck);
      }
    }
    EXPECT_EQ(sends, std::min(failures + 1, 3)) << failures;
    EXPECT_EQ(r.engine.Progress().exchange.outcome,
              failures < 3 ? ExchangeOutcome::Acknowledged : ExchangeOutcome::Failed)
        << failures;
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
    EXPECT_TRUE(r.engine.Move());
    EXPECT_FALSE(r.engine.Move());  // still on its way: refused
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('M', 0)});
    EXPECT_EQ(r.engine.Progress().intervalMs, 200);
    EXPECT_FALSE(r.engine.Move());
    r.port.Receive(reply);
    int ticks = 0;
    while (r.v().linkState != LinkState::Idle && ticks < 20) {
      r.Tick();
      ++ticks;
    }
    EXPECT_EQ(r.v().linkState, LinkState::Idle);
    EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Failed);
    // Polling again, and no second MOVE.
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)});
  }
}

TEST(Requests, MoveWaitsForTheMotorToStop) {
  Rig r;
  r.PollOnce(StatusFrame(0, 0x04));
  EXPECT_TRUE(r.v().motorRunning);
  EXPECT_FALSE(r.engine.Move());
  EXPECT_EQ(r.v().linkState, LinkState::Idle);
  r.PollOnce(StatusFrame(0, 0x00));
  EXPECT_TRUE(r.engine.Move());
  EXPECT_EQ(r.v().linkState, LinkState::Move);
  EXPECT_TRUE(r.v().motorRunning);
}

TEST(Requests, IntervalsFollowTheExchange) {
  Rig r;
  r.PollOnce();
  r.engine.WriteOutput(1, false);
  r.Tick();
  EXPECT_EQ(r.engine.Progress().intervalMs, 200);
  r.port.Receive(kAck);
  r.Tick(3);
  r.engine.Run();
  r.Tick();
  r.port.Receive(kAck);
  r.Tick(2);
  r.Tick();
  EXPECT_EQ(r.timer.changes, (std::vector<int>{25, 200, 25, 100, 25}));
}

// A frame the port refuses never went out: nothing that arrives afterwards (a late status
// reply, a stray 06h) is taken for its answer, and it is sent again or given up.
TEST(PortErrors, NothingCountsAsTheAnswerToAFrameThatNeverLeft) {
  struct Case {
    const char* what;
    std::function<void(Rig&)> press;
    Frame expected;  // the frame that goes out once the port takes frames again
  };
  const Case cases[] = {
      {"run", [](Rig& r) { r.engine.Run(); }, CommandFrame('R', 0)},
      {"memory read", [](Rig& r) { r.engine.ReadMemory(1); }, CommandFrame('E', 1)},
      {"download",
       [](Rig& r) {
         CodeImage image;
         image.bytes.fill(0xFF);
         image.length = 30;
         r.engine.Download({true, image, {}, "A.KV3"});
       },
       CommandFrame('P', 0)},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce();
    r.Tick();  // a status request whose reply is late
    c.press(r);
    r.port.refuseBlocks = 1;
    Frame late = StatusFrame();
    late.push_back(AckByte);
    r.port.Receive(late);
    r.Tick();  // the frame is refused
    EXPECT_EQ(r.v().replyState, ReplyState::Idle) << c.what;
    EXPECT_FALSE(r.seen.Lit()) << c.what;
    EXPECT_EQ(r.seen.frames.back().why, FrameFailure::PortRefused) << c.what;
    r.port.Receive(Reply('E', {99}));
    r.Tick();  // the wait state sees the failure: the frame is built again
    EXPECT_NE(r.engine.Progress().exchange.outcome, ExchangeOutcome::Acknowledged) << c.what;
    EXPECT_EQ(r.seen.memoryValue, std::nullopt) << c.what;
    r.Tick();
    const auto frames = r.port.TakeFrames();
    ASSERT_FALSE(frames.empty()) << c.what;
    EXPECT_EQ(frames.back(), c.expected) << c.what;
    EXPECT_EQ(r.v().downloadOffset, 0u) << c.what;  // no data frame before the begin frame's 06h
  }
}

TEST(PortErrors, ReportedOnceAndNeverAFreeze) {
  Rig r;
  r.PollOnce();
  r.port.failPut = "Output buffer too small for block";
  r.Tick(5);
  ASSERT_EQ(r.seen.notices.size(), 1u);
  EXPECT_EQ(r.seen.notices[0].notice, Notice::PortError);
  EXPECT_EQ(r.seen.notices[0].detail, "Output buffer too small for block");
  // A setting ends at once; a plain command uses up its attempts.
  r.engine.WriteSetting(Setting::Speed, 100);
  r.Tick();
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Failed);
  r.engine.Run();
  r.Tick(10);
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Failed);
  EXPECT_EQ(r.seen.notices.size(), 1u);
  // The port recovers: polling resumes without another word.
  r.port.failPut = nullptr;
  r.port.sent.clear();
  r.Tick(3);
  EXPECT_FALSE(r.port.TakeFrames().empty());
  EXPECT_EQ(r.seen.notices.size(), 1u);
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
  const std::function<void(LinkEngine&)> requests[] = {
      [](LinkEngine& e) { e.Run(); },
      [](LinkEngine& e) { e.WriteSetting(Setting::Speed, 100); },
      [](LinkEngine& e) { e.Read(Answer::MotorSettings); },
      [](LinkEngine& e) { e.Read(Answer::ParamBlock); },
      [](LinkEngine& e) { e.ReadMemory(std::nullopt); },
      [](LinkEngine& e) { e.Read(Answer::ServiceValues); },
      [](LinkEngine& e) { e.Read(Answer::ProgramName); },
      [](LinkEngine& e) { e.WriteOutput(1, false); },
  };
  CodeImage image;
  image.bytes.fill(0xFF);
  image.length = 60;
  for (int tick = 0; tick < 5000; ++tick) {
    switch (rnd(40)) {
      case 0:
        requests[rnd(std::size(requests))](r.engine);
        break;
      case 1:
        r.engine.Move();
        break;
      case 2:
        r.engine.Download({true, image, {}, "x.kv3"});
        break;
      case 3:
        r.engine.WriteParameter(9 + static_cast<int>(rnd(17)), 5);
        break;
      default:
        break;
    }
    std::vector<std::uint8_t> noise(rnd(4) == 0 ? rnd(300) : rnd(20));
    for (auto& b : noise) b = static_cast<std::uint8_t>(rnd(3) == 0 ? AckByte : rnd(256));
    if (rnd(3) == 0) r.port.Receive(noise);
    r.Tick();
    for (const auto& f : r.port.TakeFrames()) ASSERT_LE(f.size(), FrameCapacity);
    const auto s = static_cast<int>(r.v().linkState);
    ASSERT_TRUE(s >= 1 && s <= 60) << s;
  }
  // The driver now answers properly: polling resumes and the link comes back.
  r.port.incoming.clear();
  for (int tick = 0; tick < 400 && !(r.v().linkState == LinkState::Idle && r.v().pollEnabled);
       ++tick) {
    r.Tick();
    if (!r.port.TakeFrames().empty()) r.port.Receive({AckByte});
  }
  r.port.incoming.clear();
  const auto before = r.engine.Progress().statusCount;
  for (int tick = 0; tick < 30; ++tick) {
    r.Tick();
    for (const auto& f : r.port.TakeFrames())
      if (f == CommandFrame('s', 0)) r.port.Receive(testing::StatusFrame());
  }
  EXPECT_GT(r.engine.Progress().statusCount, before);
  EXPECT_TRUE(r.v().connected);
}

}  // namespace
}  // namespace kivra::link

namespace kivra::link {
namespace {

// Every frame on the line, in order, with its time, attempt and round trip: what a frame
// inspector or a poll-rate meter reads.
TEST(FrameEvents, SentReceivedAcceptedAndFailedWithTheirTiming) {
  testing::Rig r;
  r.PollOnce();
  r.seen.frames.clear();
  r.clock.now = 1000;
  r.engine.Run();
  r.Tick();  // 'R' out
  r.clock.now = 1030;
  r.port.Receive({0x15});
  r.Tick();   // refused: a failed attempt
  r.Tick(2);  // back to the send state, sent again
  r.clock.now = 1100;
  r.port.Receive({AckByte});
  r.Tick();
  using E = FrameEvent;
  std::vector<std::tuple<E, FrameFailure, Frame, int>> got;
  for (const auto& f : r.seen.frames) got.emplace_back(f.event, f.why, f.bytes, f.attempt);
  const Frame run = CommandFrame('R', 0);
  const std::vector<std::tuple<E, FrameFailure, Frame, int>> expected = {
      {E::Sent, FrameFailure::None, run, 1},
      {E::Received, FrameFailure::None, {0x15}, 1},
      {E::Failed, FrameFailure::Refused, {0x15}, 1},
      {E::Sent, FrameFailure::None, run, 2},
      {E::Received, FrameFailure::None, {AckByte}, 2},
      {E::Accepted, FrameFailure::None, {AckByte}, 2},
  };
  EXPECT_EQ(got, expected);
  EXPECT_EQ(r.seen.frames[2].roundTripMs, 30u);
  EXPECT_EQ(r.seen.frames[5].roundTripMs, 70u);
  EXPECT_EQ(r.seen.frames[5].timeMs, 1100u);
  EXPECT_EQ(r.seen.frames[5].attempts, 3);
  EXPECT_EQ(r.seen.frames[5].state, LinkState::RunWait);
}

// A status poll is a retry only right after a failed one; failed polls count in a row.
TEST(FrameEvents, StatusPollAttempts) {
  testing::Rig r;
  std::vector<int> attempts;
  const auto poll = [&](bool answered) {
    const std::size_t before = r.seen.frames.size();
    r.Tick();  // the poll goes out
    attempts.push_back(r.seen.frames.at(before).attempt);
    if (answered) r.port.Receive(StatusFrame());
    for (int i = 0; i < 8 && r.v().linkState != LinkState::Idle; ++i) r.Tick();
  };
  for (bool answered : {true, false, true, false, false, true}) poll(answered);
  EXPECT_EQ(attempts, (std::vector<int>{1, 1, 2, 1, 2, 3}));
}

// Several observers hear the same facts; one that leaves hears no more.
TEST(FrameEvents, EveryObserverHearsEveryFact) {
  testing::Rig r;
  testing::Recorder second;
  r.engine.AddObserver(second);
  r.engine.AddObserver(second);  // once is enough
  r.PollOnce(testing::StatusFrame(0x01));
  EXPECT_EQ(second.replies.size(), 1u);
  EXPECT_EQ(second.frames.size(), r.seen.frames.size());
  r.engine.RemoveObserver(second);
  r.PollOnce();
  EXPECT_EQ(second.replies.size(), 1u);
  EXPECT_EQ(r.seen.replies.size(), 2u);
}

}  // namespace
}  // namespace kivra::link
