// A transfer step as an exchange of the link engine: the outcome comes only from what the
// driver answered, and a read brings its reply only when the exchange was accepted.

#include "params/engine_exchange.h"

#include <gtest/gtest.h>

#include "tests/link/fakes.h"

namespace kivra::params {
namespace {

using link::AckByte;
using link::Frame;
using link::testing::Reply;
using link::testing::Rig;
using Kind = Step::Kind;

const Frame kSettingsReply =
    Reply('t', {0x05, 0xDC, 0x01, 0x2C, 0, 50, 16, 0, 100, 0, 10, 1, 0, 0, 0, 0, 0, 1, 0, 20});
const Frame kServiceReply = Reply('i', {85, 99});
const Frame kNameReply = Reply('n', {' ', 'M', 'O', 'T', '.', 'K', 'V', '3', ' '});

std::size_t ItemIndex(std::string_view name) {
  return *ItemByName(name);
}

// Ticks until the exchange has ended, answering each frame sent with `answer` (nothing:
// the driver is silent).
void Drive(Rig& r, EngineExchange& x, const std::optional<Frame>& answer) {
  for (int tick = 0; tick < 200 && !x.Result(); ++tick) {
    r.Tick();
    for (const Frame& f : r.port.TakeFrames()) {
      (void)f;
      if (answer) r.port.Receive(*answer);
    }
  }
}

TEST(EngineExchange, OutcomeAndReadingComeFromTheDriversAnswer) {
  struct Case {
    const char* what;
    Step step;
    std::optional<Frame> answer;
    Outcome outcome;
    bool settings = false, service = false, name = false;
  };
  const Case cases[] = {
      {"write acknowledged",
       {Kind::Write, ItemIndex("speed"), 1500},
       Frame{AckByte},
       Outcome::Done},
      {"parameter acknowledged",
       {Kind::Write, ItemIndex("prm21"), -5},
       Frame{AckByte},
       Outcome::Done},
      {"write out of range",
       {Kind::Write, ItemIndex("speed"), 0},
       Frame{AckByte},
       Outcome::Refused},
      {"write not acknowledged",
       {Kind::Write, ItemIndex("ramp"), 10},
       Frame{0x15},
       Outcome::NoAnswer},
      {"write unanswered", {Kind::Write, ItemIndex("ramp"), 10}, std::nullopt, Outcome::NoAnswer},
      {"settings read", {Kind::ReadSettings}, kSettingsReply, Outcome::Done, true},
      {"settings answered by an acknowledgement",
       {Kind::ReadSettings},
       Frame{AckByte},
       Outcome::NoAnswer},
      {"settings answered by another reply",
       {Kind::ReadSettings},
       kServiceReply,
       Outcome::NoAnswer},
      {"service read", {Kind::ReadService}, kServiceReply, Outcome::Done, false, true},
      {"program name read", {Kind::ReadProgramName}, kNameReply, Outcome::Done, false, false, true},
      {"program name unanswered", {Kind::ReadProgramName}, std::nullopt, Outcome::NoAnswer},
      {"a wait is no exchange", {Kind::Connect}, std::nullopt, Outcome::Refused},
  };
  for (const Case& c : cases) {
    Rig r;
    r.PollOnce();
    EngineExchange x(r.engine);
    x.Start(c.step);
    Drive(r, x, c.answer);
    ASSERT_TRUE(x.Result()) << c.what;
    EXPECT_EQ(*x.Result(), c.outcome) << c.what;
    DriverReadings readings;
    x.TakeReading(readings);
    EXPECT_EQ(readings.settings.has_value(), c.settings) << c.what;
    EXPECT_EQ(readings.service.has_value(), c.service) << c.what;
    EXPECT_EQ(readings.programName.has_value(), c.name) << c.what;
    if (c.settings) {
      EXPECT_EQ(readings.settings->speed, 1500) << c.what;
    }
    if (c.name) {
      EXPECT_EQ(*readings.programName, "MOT.KV3") << c.what;
    }
  }
}

TEST(EngineExchange, TheDirectionIsWrittenThroughItsOwnCommand) {
  Rig r;
  r.PollOnce();
  EngineExchange x(r.engine);
  x.Start({Kind::Write, ItemIndex("direction"), 1});
  r.Tick();
  const auto frames = r.port.TakeFrames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0], (link::Frame{0x08, 0x4B, 0x46, 0x00, 0x00, 0x00, 0x01, 0x04}));
}

TEST(EngineExchange, AnotherRequestInterruptsIt) {
  Rig r;
  r.PollOnce();
  EngineExchange x(r.engine);
  x.Start({Kind::ReadParameters});
  r.Tick();
  r.engine.Read(link::Answer::MotorSettings);  // the user pressed another button
  ASSERT_TRUE(x.Result());
  EXPECT_EQ(*x.Result(), Outcome::Interrupted);
}

TEST(EngineExchange, RepliesToOtherExchangesAreNotTaken) {
  Rig r;
  r.PollOnce();
  EngineExchange x(r.engine);
  // A read the window made before the step: its reply is not the step's.
  r.engine.Read(link::Answer::MotorSettings);
  r.Tick();
  r.port.Receive(kSettingsReply);
  r.Tick(2);
  r.port.TakeFrames();
  x.Start({Kind::ReadSettings});
  Drive(r, x, Frame{AckByte});
  DriverReadings readings;
  x.TakeReading(readings);
  EXPECT_EQ(*x.Result(), Outcome::NoAnswer);
  EXPECT_FALSE(readings.settings);
}

}  // namespace
}  // namespace kivra::params
