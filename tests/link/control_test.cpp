// The direct-control requests: which values go out and as what, and the replies they bring.

#include <gtest/gtest.h>

#include "link/engine.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Reply;
using testing::Rig;
using testing::StatusFrame;

// Writes `value` into a setting; returns the frame sent, if any.
std::optional<Frame> Write(Rig& r, Setting setting, Entered value) {
  r.engine.WriteSetting(setting, value);
  r.Tick();
  auto frames = r.port.TakeFrames();
  // Let the exchange end either way.
  if (!frames.empty()) r.port.Receive({AckByte});
  r.Tick(2);
  r.port.TakeFrames();
  if (frames.empty()) return std::nullopt;
  return frames.front();
}

// Every setting through its one check: the frame that goes out, or the refusal and why.
TEST(DirectControl, SettingValuesAreCheckedWhenSent) {
  struct Case {
    Setting setting;
    Entered value;
    char code;
    std::optional<std::uint32_t> sent;
    Refusal refusal = Refusal::None;
  };
  const auto out = Refusal::OutOfRange;
  const Case cases[] = {
      {Setting::Speed, 15000, 'V', 15000},
      {Setting::Speed, 0, 'V', std::nullopt, out},
      {Setting::Speed, 15001, 'V', std::nullopt, out},
      {Setting::Speed, std::nullopt, 'V', std::nullopt, Refusal::NotANumber},
      {Setting::RunCurrent, 1000, 'C', 1000},
      {Setting::RunCurrent, 0, 'C', 0},
      {Setting::HoldCurrent, -1, 'B', std::nullopt, out},
      {Setting::HoldCurrent, 100, 'B', 100},
      {Setting::Microstep, 3, 'U', std::nullopt, out},
      {Setting::Microstep, 25, 'U', 25},
      {Setting::Microstep, 16, 'U', 16},
      {Setting::Ramp, 9999, 'X', 9999},
      {Setting::Ramp, 10000, 'X', std::nullopt, out},
      {Setting::StartSpeed, 9, 'K', std::nullopt, out},
      {Setting::StartSpeed, 10, 'K', 10},
      {Setting::SpeedMode, 1, 'v', 1},
      {Setting::SpeedMode, 2, 'v', std::nullopt, out},
      {Setting::SpeedCoefficient, -5, 'c', 0xFFFFFFFB},
      {Setting::SpeedCoefficient, std::nullopt, 'c', std::nullopt, Refusal::NotANumber},
      {Setting::Displacement, -1, 'D', 0xFFFFFFFF},
      {Setting::Displacement, 2147483647, 'D', 0x7FFFFFFF},
      {Setting::Displacement, std::nullopt, 'D', std::nullopt, Refusal::NotANumber},
      {Setting::Direction, 0, 'F', 0},
      {Setting::Direction, 1, 'F', 1},
      {Setting::Service1, 70, 'I', 70},
      {Setting::Service2, 101, 'J', std::nullopt, out},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce();
    const auto frame = Write(r, c.setting, c.value);
    const int value = c.value.value_or(-999);
    const ExchangeRecord& last = r.engine.Progress().exchange;
    if (c.sent) {
      EXPECT_EQ(frame, CommandFrame(c.code, *c.sent)) << c.code << ' ' << value;
      EXPECT_EQ(last.outcome, ExchangeOutcome::Acknowledged) << c.code << ' ' << value;
      ASSERT_EQ(r.seen.valuesSent.size(), 1u);
      EXPECT_EQ(r.seen.valuesSent[0], std::make_pair(c.setting, *c.value));
    } else {
      EXPECT_EQ(frame, std::nullopt) << c.code << ' ' << value;
      EXPECT_EQ(last.outcome, ExchangeOutcome::Refused) << c.code << ' ' << value;
      EXPECT_TRUE(r.seen.valuesSent.empty());
    }
    EXPECT_EQ(last.refusal, c.refusal) << c.code << ' ' << value;
    EXPECT_TRUE(r.seen.notices.empty());
  }
}

// A refused value costs no tick more than a sent one: the engine polls again on the tick
// that would have sent it.
TEST(DirectControl, ARefusedValueReturnsToPollingOnTheSendTick) {
  Rig r;
  r.PollOnce();
  r.engine.WriteSetting(Setting::Speed, 0);
  EXPECT_EQ(r.v().linkState, LinkState::Speed);
  r.Tick();
  EXPECT_EQ(r.v().linkState, LinkState::Idle);
  EXPECT_TRUE(r.port.TakeFrames().empty());
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)});
}

TEST(DirectControl, OutputsSendTheirShownState) {
  Rig r;
  r.PollOnce(testing::StatusFrame(0x40));  // output 1 on, output 2 off
  struct Case {
    int output;
    bool shownOn;
    std::uint32_t value;
  };
  for (const Case c : {Case{1, true, 0x101}, Case{2, false, 0x200}}) {
    r.engine.WriteOutput(c.output, c.shownOn);
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('x', c.value)}) << c.output;
    EXPECT_EQ(r.port.flushes, c.output);
    r.port.Receive({AckByte});
    r.Tick(2);
  }
}

TEST(DirectControl, ParameterFrames) {
  Rig r;
  r.PollOnce();
  r.engine.WriteParameter(9, 1000);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{ParameterFrame('k', 1000, 8)});
  r.port.Receive({AckByte});
  r.Tick(2);
  r.engine.WriteParameter(20, 65535);  // the largest a 16-bit parameter holds
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{ParameterFrame('k', 65535, 19)});
  r.port.Receive({AckByte});
  r.Tick(2);
  // The driver would keep 70000 as 4464 and report that back: it is not sent.
  for (const std::int32_t refused : {70000, 65536, -1}) {
    r.engine.WriteParameter(12, refused);
    EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Refused) << refused;
    EXPECT_EQ(r.engine.Progress().exchange.refusal, Refusal::OutOfRange) << refused;
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)}) << refused;
    r.port.Receive(StatusFrame());
    r.Tick(2);
  }
  r.engine.WriteParameter(25, -3);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{ParameterFrame('u', -3, 4)});
}

TEST(DirectControl, ParameterWithoutNumberSaysSoAtOnce) {
  Rig r;
  r.PollOnce();
  r.engine.WriteParameter(21, std::nullopt);
  EXPECT_EQ(r.seen.NoticeKinds(), std::vector<Notice>{Notice::NumberExpected});
  EXPECT_EQ(r.engine.Progress().exchange.outcome, ExchangeOutcome::Refused);
  EXPECT_EQ(r.engine.Progress().exchange.refusal, Refusal::NotANumber);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)});
}

TEST(DirectControl, MemoryAddressRules) {
  struct Case {
    Entered address;
    Entered data;
    std::optional<Frame> read;
    std::optional<Frame> write;
  };
  const Case cases[] = {
      {5, 7, CommandFrame('E', 5), CommandFrame('f', 7 * 65536 + 5)},
      // Cell 0 can be written but not read; a read never falls back to another cell.
      {0, 1, std::nullopt, CommandFrame('f', 65536)},
      {std::nullopt, 1, std::nullopt, std::nullopt},
      {16383, 255, CommandFrame('E', 0x3FFF), CommandFrame('f', 255 * 65536 + 0x3FFF)},
      {16384, 1, std::nullopt, std::nullopt},
      {-1, 1, std::nullopt, std::nullopt},
      {12, std::nullopt, CommandFrame('E', 12), std::nullopt},
  };
  for (const auto& c : cases) {
    const int address = c.address.value_or(-999);
    Rig r;
    r.PollOnce();
    r.engine.WriteMemory(c.address, c.data);
    r.Tick();
    auto frames = r.port.TakeFrames();
    EXPECT_EQ(frames.empty() ? std::nullopt : std::optional<Frame>(frames[0]), c.write) << address;
    if (!frames.empty()) r.port.Receive({AckByte});
    r.Tick(2);
    r.port.TakeFrames();
    r.engine.ReadMemory(c.address);
    r.Tick();
    if (!c.read) {
      const Refusal why = c.address ? Refusal::OutOfRange : Refusal::NotANumber;
      EXPECT_EQ(r.engine.Progress().exchange.refusal, why) << address;
      r.Tick();
    }
    frames = r.port.TakeFrames();
    EXPECT_EQ(frames[0], c.read ? *c.read : CommandFrame('s', 0)) << address;
  }
}

// A memory value is shown only from a whole, valid 'E' reply; anything else is a failed
// attempt, asked again, and after the third the exchange fails with the box left empty.
TEST(DirectControl, MemoryValueOnlyFromAWholeValidReply) {
  Frame corrupt = Reply('E', {200});
  corrupt[2] ^= 0x01;
  struct Case {
    const char* what;
    Frame reply;
    std::optional<std::uint8_t> told;
    ExchangeOutcome outcome;
  };
  const Case cases[] = {
      {"valid", Reply('E', {200}), 200, ExchangeOutcome::Acknowledged},
      {"corrupt", corrupt, std::nullopt, ExchangeOutcome::Failed},
      {"a status reply", StatusFrame(), std::nullopt, ExchangeOutcome::Failed},
      {"an acknowledgement", {AckByte}, std::nullopt, ExchangeOutcome::Failed},
      {"cut short", Frame{0x04, 'E', 200}, std::nullopt, ExchangeOutcome::Failed},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce();
    r.engine.ReadMemory(9);
    int asked = 0;
    for (int tick = 0;
         tick < 40 && r.engine.Progress().exchange.outcome == ExchangeOutcome::Running; ++tick) {
      r.Tick();
      for (const auto& f : r.port.TakeFrames()) {
        ASSERT_EQ(f, CommandFrame('E', 9)) << c.what;
        ++asked;
        r.port.Receive(c.reply);
      }
    }
    EXPECT_EQ(r.engine.Progress().exchange.outcome, c.outcome) << c.what;
    EXPECT_EQ(asked, c.outcome == ExchangeOutcome::Acknowledged ? 1 : 3) << c.what;
    EXPECT_EQ(r.seen.memoryValue, c.told) << c.what;
  }
}

TEST(DirectControl, RepliesAreToldDecoded) {
  Rig r;
  r.PollOnce();

  r.engine.ReadMemory(1);
  r.Tick();
  r.port.Receive(Reply('E', {200}));
  r.Tick(2);
  EXPECT_EQ(r.seen.memoryValue, 200);

  r.engine.Read(Answer::MotorSettings);
  r.Tick();
  r.port.Receive(Reply('t', {0x3A, 0x98, 0x03, 0xE8, 0,    50,   16, 0x27, 0x0F, 0,
                             10,   1,    0xFF, 0xFF, 0xFF, 0xFE, 0,  1,    0xFF, 0xFF}));
  r.Tick(2);
  ASSERT_TRUE(r.seen.motorSettings);
  const MotorSettings& m = *r.seen.motorSettings;
  EXPECT_EQ(m.speed, 15000);
  EXPECT_EQ(m.runCurrent, 1000);
  EXPECT_EQ(m.holdCurrent, 50);
  EXPECT_EQ(m.microstep, 16);
  EXPECT_EQ(m.ramp, 9999);
  EXPECT_EQ(m.startSpeed, 10);
  EXPECT_EQ(m.direction, 1);
  EXPECT_EQ(m.displacement, -2);
  EXPECT_EQ(m.speedMode, 1);
  EXPECT_EQ(m.speedCoefficient, 65535);

  r.engine.Read(Answer::ParamBlock);
  r.Tick();
  std::vector<std::uint8_t> block(60, 0);
  for (int i = 0; i < 12; ++i) block[16 + 2 * i + 1] = static_cast<std::uint8_t>(i + 1);
  block[16] = 0xFF;                                  // Prm 9 = FF01h, shown unsigned
  for (int i = 0; i < 4; ++i) block[40 + i] = 0xFF;  // Prm 21 = -1, shown signed
  block[59] = 25;                                    // Prm 25
  r.port.Receive(Reply('A', block));
  r.Tick(2);
  ASSERT_TRUE(r.seen.parameters);
  EXPECT_EQ(r.seen.parameters->prm9to20[0], 65281);  // unsigned
  EXPECT_EQ(r.seen.parameters->prm9to20[11], 12);
  EXPECT_EQ(r.seen.parameters->prm21to25[0], -1);  // signed
  EXPECT_EQ(r.seen.parameters->prm21to25[4], 25);

  r.engine.Read(Answer::ServiceValues);
  r.Tick();
  r.port.Receive(Reply('i', {85, 99}));
  r.Tick(2);
  ASSERT_TRUE(r.seen.serviceValues);
  EXPECT_EQ(r.seen.serviceValues->value1, 85);
  EXPECT_EQ(r.seen.serviceValues->value2, 99);

  r.engine.Read(Answer::ProgramName);
  r.Tick();
  r.port.Receive(Reply('n', {' ', 'M', 'O', 'T', '.', 'K', 'V', '3', ' '}));
  r.Tick(2);
  EXPECT_EQ(r.v().driverProgramName, "MOT.KV3");
  EXPECT_EQ(r.seen.programName, "MOT.KV3");
  EXPECT_EQ(r.v().linkState, LinkState::Idle);
}

}  // namespace
}  // namespace kivra::link
