// What an answer is, judged by when the bytes arrived: the faults of a link that judged
// them by the moment it happened to look.

#include <gtest/gtest.h>

#include "link/engine.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Reply;
using testing::Rig;
using testing::StatusFrame;

// Ticks until the engine sends something; returns the frames.
std::vector<Frame> UntilSent(Rig& r, int limit = 30) {
  for (int i = 0; i < limit; ++i) {
    r.Tick();
    auto frames = r.port.TakeFrames();
    if (!frames.empty()) return frames;
  }
  return {};
}

// A driver that answers within a millisecond: its acknowledgement is already waiting when
// the engine next looks, read in the same tick as the frame went out or later.
TEST(Arrival, AnAnswerThatCameAtOnceIsTheAnswer) {
  Rig r;
  r.PollOnce();
  r.engine.Run();
  r.Tick();  // 'R' goes out
  ASSERT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('R', 0)});
  r.port.Receive({AckByte});  // stamped the moment the frame left
  r.Tick(2);
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Acknowledged);
}

// The flush some reads ask for happens before their frame goes out: a stray byte that was
// waiting does not take the genuine answer with it.
TEST(Arrival, AStrayByteBeforeAFlushingReadCostsNothing) {
  Rig r;
  r.PollOnce();
  r.port.Receive({0x42});
  r.engine.Read(Answer::MotorSettings);
  r.Tick();
  EXPECT_EQ(r.port.flushes, 1);
  r.port.Receive(Reply('t', std::vector<std::uint8_t>(20, 1)));
  r.Tick();
  EXPECT_EQ(r.v().replyResult, ReplyResult::Ok);
  ASSERT_TRUE(r.seen.motorSettings);
  EXPECT_EQ(r.seen.motorSettings->speed, 0x0101);
}

// A broken status reply that began before MOVE went out answers nothing: MOVE is taken by
// the 06h that follows, not failed (the user would press it again, and the motor would
// move twice).
TEST(Arrival, ABrokenReplyFromBeforeDoesNotFailACommand) {
  Rig r;
  r.PollOnce();
  Frame broken = StatusFrame();
  broken[6] ^= 0x10;
  r.Tick();  // a status request
  r.port.Receive(Frame(broken.begin(), broken.begin() + 6));
  ASSERT_TRUE(r.engine.Move());
  r.Tick();  // MOVE goes out while the broken reply is still arriving
  ASSERT_EQ(r.port.TakeFrames().back(), CommandFrame('M', 0));
  r.port.Receive(Frame(broken.begin() + 6, broken.end()));
  r.port.Receive({AckByte});
  r.Tick(2);
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Acknowledged);
}

// After a resent frame is acknowledged, the first attempt's acknowledgement may still come:
// the next frame waits until it would have, so it is never credited to that frame.
TEST(Arrival, AnEarlierAttemptsAcknowledgementIsNeverTheNextFramesAnswer) {
  Rig r;
  r.PollOnce();
  CodeImage image;
  image.bytes.fill(0xFF);
  image.length = 60;  // three data frames
  r.engine.Download({true, image, {}, "A.KV3"});
  ASSERT_EQ(UntilSent(r), std::vector<Frame>{CommandFrame('P', 0)});
  r.port.Receive({AckByte});
  auto first = UntilSent(r);  // data frame 0
  ASSERT_EQ(first.size(), 1u);
  // No acknowledgement in time: the frame goes out again...
  auto again = UntilSent(r);
  ASSERT_EQ(again, first);
  // ...and is acknowledged; the first attempt's acknowledgement is still on its way.
  r.port.Receive({AckByte});
  r.Tick();
  ASSERT_EQ(r.v().replyResult, ReplyResult::Ok);
  // It arrives while the next frame waits, and is passed over.
  int ticks = 0;
  for (; ticks < 3; ++ticks) {
    r.Tick();
    EXPECT_TRUE(r.port.TakeFrames().empty());
  }
  r.port.Receive({AckByte});
  const auto next = UntilSent(r);
  ASSERT_EQ(next.size(), 1u);
  EXPECT_EQ(next[0][3], 25);  // data frame 1
  // The driver misses data frame 1: nothing answers it, so it is sent again.
  const auto resent = UntilSent(r);
  EXPECT_EQ(resent, next);
  EXPECT_EQ(r.v().downloadOffset, 25u);
}

// A late program-name reply whose name has three characters starts with 06h: it is a
// frame, not the acknowledgement of the command that went out meanwhile.
TEST(Arrival, ALateThreeCharacterNameIsNoAcknowledgement) {
  Rig r;
  r.PollOnce();
  r.engine.Read(Answer::ProgramName);
  r.Tick();
  r.Tick(4);  // no reply in time
  ASSERT_EQ(r.v().replyResult, ReplyResult::Failed);
  r.engine.WriteSetting(Setting::Speed, 500);
  ASSERT_EQ(UntilSent(r).back(), CommandFrame('V', 500));
  const Frame name = Reply('n', {'A', 'B', 'C'});
  ASSERT_EQ(name[0], AckByte);
  // Its first byte, just arrived when the engine looks: the rest is on its way.
  r.port.ReceiveAt({name[0]}, r.port.nowUs + r.engine.Progress().intervalMs * 1000 - 1000);
  r.Tick();
  EXPECT_EQ(r.v().replyResult, ReplyResult::Pending);
  r.port.Receive(Frame(name.begin() + 1, name.end()));
  r.Tick();
  EXPECT_EQ(r.v().replyResult, ReplyResult::Pending);
  r.port.Receive({AckByte});
  r.Tick();
  EXPECT_EQ(r.v().replyResult, ReplyResult::Ok);
}

// A request made while the link is off fails at once and says why.
TEST(Arrival, ARequestWithoutALinkFailsAtOnce) {
  Rig r;
  r.engine.SetLinkEnabled(false);
  r.engine.WriteSetting(Setting::Speed, 500);
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Failed);
  EXPECT_EQ(r.engine.Progress().exchange.why, FrameFailure::LinkOff);
  r.engine.Read(Answer::ParamBlock);
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Failed);
  r.Tick(5);
  EXPECT_TRUE(r.port.sent.empty());
}

// A 15h or a wrong reply is told as such when the exchange fails, not as silence.
TEST(Arrival, AFailedExchangeSaysHowItFailed) {
  struct Case {
    const char* what;
    Frame reply;
    FrameFailure why;
  };
  const Case cases[] = {
      {"refused", {0x15}, FrameFailure::Refused},
      {"wrong reply", Reply('t', std::vector<std::uint8_t>(20, 0)), FrameFailure::WrongLetter},
      {"silence", {}, FrameFailure::TimeOut},
  };
  for (const Case& c : cases) {
    Rig r;
    r.PollOnce();
    r.engine.Read(Answer::ParamBlock);
    for (int attempt = 0; attempt < 3; ++attempt) {
      ASSERT_FALSE(UntilSent(r).empty()) << c.what;
      r.port.Receive(c.reply);
      for (int i = 0; i < 8 && r.v().replyResult == ReplyResult::Pending; ++i) r.Tick();
    }
    r.Tick();
    EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Failed) << c.what;
    EXPECT_EQ(r.engine.Progress().exchange.why, c.why) << c.what;
  }
}

// Noise that never forms a frame is no answer: status polls time out, the driver counts as
// gone, and a read fails at its time-out instead of waiting for ever.
TEST(Arrival, NoiseIsNotAnAnswer) {
  Rig r;
  r.PollOnce();
  for (int i = 0; i < 40; ++i) {
    r.port.Receive({0x55});
    r.Tick();
  }
  EXPECT_FALSE(r.v().connected);
  EXPECT_FALSE(r.seen.Lit());
  r.engine.Read(Answer::ParamBlock);
  for (int i = 0; i < 60 && r.engine.Progress().exchange.outcome == ExchangeOutcome::Running; ++i) {
    r.port.Receive({0x55});
    r.Tick();
  }
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Failed);
  EXPECT_EQ(r.engine.Progress().exchange.why, FrameFailure::TimeOut);
}

// One broken status reply among good ones does not mark the driver gone; three in a row do.
TEST(Arrival, FailedPollsCountInARow) {
  Rig r;
  r.PollOnce();
  Frame broken = StatusFrame();
  broken[4] ^= 1;
  const auto poll = [&](const Frame& reply) {
    ASSERT_FALSE(UntilSent(r).empty());
    r.port.Receive(reply);
    r.Tick(2);
  };
  for (int round = 0; round < 5; ++round) {
    poll(broken);
    poll(StatusFrame());
    poll(StatusFrame());
  }
  EXPECT_TRUE(r.v().connected);
  const auto answering = std::ranges::find(r.seen.statuses, LinkStatus::Answering);
  EXPECT_EQ(std::count(answering, r.seen.statuses.end(), LinkStatus::NotAnswering), 0);
  for (int i = 0; i < 3; ++i) poll(broken);
  EXPECT_FALSE(r.v().connected);
}

// One reply that came late: the link is back to answering each poll with its own reply at
// once, never one poll behind.
TEST(Arrival, ALateStatusReplyLeavesNoLag) {
  Rig r;
  r.PollOnce();
  ASSERT_FALSE(UntilSent(r).empty());
  r.Tick(6);                          // the reply is late: the poll times out
  r.port.Receive(StatusFrame(0x01));  // ...and then comes
  for (int poll = 2; poll < 8; ++poll) {
    ASSERT_FALSE(UntilSent(r).empty());
    const std::uint64_t before = r.engine.Progress().statusCount;
    r.port.Receive(StatusFrame(static_cast<std::uint8_t>(poll)));
    r.Tick();
    EXPECT_EQ(r.engine.Progress().statusCount, before + 1) << poll;
    EXPECT_EQ(r.engine.Progress().lastStatus.io, poll) << poll;
  }
}

}  // namespace
}  // namespace kivra::link
