// The direct-control tab: which box values go out and as what, and the replies that fill
// the boxes.

#include <gtest/gtest.h>

#include "link/engine.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Reply;
using testing::Rig;
using testing::StatusFrame;

// Presses a write button with `text` in its box; returns the frame sent, if any.
std::optional<Frame> Write(Rig& r, std::uint8_t sendState, std::string_view box, std::string_view text) {
  r.window.texts[std::string(box)] = text;
  r.engine.Request(sendState);
  r.Tick();
  auto frames = r.port.TakeFrames();
  // Let the exchange end either way.
  if (!frames.empty()) r.port.Receive({AckByte});
  r.Tick(2);
  r.port.TakeFrames();
  if (frames.empty()) return std::nullopt;
  return frames.front();
}

TEST(DirectControl, BoxValuesAreCheckedWhenSent) {
  struct Case {
    std::uint8_t state;
    std::string_view box;
    const char* text;
    char code;
    std::optional<std::uint32_t> sent;
  };
  const Case cases[] = {
      {state::Speed, ctl::Speed, "15000", 'V', 15000},
      {state::Speed, ctl::Speed, "0", 'V', std::nullopt},
      {state::Speed, ctl::Speed, "15001", 'V', std::nullopt},
      {state::Speed, ctl::Speed, "fast", 'V', std::nullopt},
      {state::RunCurrent, ctl::RunCurrent, "1000", 'C', 1000},
      {state::RunCurrent, ctl::RunCurrent, "0", 'C', 0},
      {state::HoldCurrent, ctl::HoldCurrent, "-1", 'B', std::nullopt},
      {state::HoldCurrent, ctl::HoldCurrent, "100", 'B', 100},
      {state::Microstep, ctl::Microstep, "3", 'U', std::nullopt},
      {state::Microstep, ctl::Microstep, "25", 'U', 25},
      {state::Microstep, ctl::Microstep, "16", 'U', 16},
      {state::Ramp, ctl::Ramp, "9999", 'X', 9999},
      {state::Ramp, ctl::Ramp, "10000", 'X', std::nullopt},
      {state::StartSpeed, ctl::StartSpeed, "9", 'K', std::nullopt},
      {state::StartSpeed, ctl::StartSpeed, "10", 'K', 10},
      {state::SpeedMode, ctl::SpeedMode, "1", 'v', 1},
      {state::SpeedMode, ctl::SpeedMode, "2", 'v', std::nullopt},
      {state::SpeedCoefficient, ctl::SpeedCoefficient, "-5", 'c', 0xFFFFFFFB},
      {state::SpeedCoefficient, ctl::SpeedCoefficient, "", 'c', std::nullopt},
      {state::Displacement, ctl::Displacement, "-1", 'D', 0xFFFFFFFF},
      {state::Displacement, ctl::Displacement, "2147483647", 'D', 0x7FFFFFFF},
      {state::Service1, ctl::Service1, "70", 'I', 70},
      {state::Service2, ctl::Service2, "101", 'J', std::nullopt},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce();
    const auto frame = Write(r, c.state, c.box, c.text);
    if (c.sent) {
      EXPECT_EQ(frame, CommandFrame(c.code, *c.sent)) << c.code << ' ' << c.text;
      EXPECT_EQ(r.engine.LastExchange().outcome, ExchangeOutcome::Acknowledged) << c.code << ' ' << c.text;
    } else {
      EXPECT_EQ(frame, std::nullopt) << c.code << ' ' << c.text;
      EXPECT_EQ(r.engine.LastExchange().outcome, ExchangeOutcome::Refused) << c.code << ' ' << c.text;
    }
    EXPECT_TRUE(r.window.messages.empty());
  }
}

TEST(DirectControl, DisplacementBoxTurnsRedOnlyForNonNumbers) {
  Rig r;
  r.PollOnce();
  Write(r, state::Displacement, ctl::Displacement, "12.5");
  EXPECT_EQ(r.window.colour(ctl::Displacement), Colour::Red);
  EXPECT_EQ(r.engine.LastExchange().outcome, ExchangeOutcome::Refused);
  Write(r, state::Displacement, ctl::Displacement, "-400");
  EXPECT_EQ(r.window.colour(ctl::Displacement), Colour::Window);
}

TEST(DirectControl, DirectionFollowsTheTextInEitherLanguage) {
  for (bool english : {false, true}) {
    Rig r;
    r.engine.SetEnglish(english);
    r.PollOnce();
    r.engine.PressDirection(true);
    EXPECT_EQ(r.window.text(ctl::Direction), english ? "R" : "SAĞ");
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('F', 1)});
    r.port.Receive({AckByte});
    r.Tick(2);
    r.engine.PressDirection(false);
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('F', 0)});
  }
  // Read back as "R" in English; the left button then sends 0.
  Rig r;
  r.engine.SetEnglish(true);
  r.PollOnce();
  r.window.texts[std::string(ctl::Direction)] = "SOL";
  r.engine.Request(state::Direction);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('F', 0)});
}

TEST(DirectControl, OutputsSendTheirShownState) {
  Rig r;
  r.PollOnce(testing::StatusFrame(0x40));  // output 1 on, output 2 off
  struct Case {
    int output;
    std::uint32_t value;
  };
  for (const Case c : {Case{1, 0x101}, Case{2, 0x200}}) {
    r.engine.PressOutput(c.output);
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
  r.window.texts["Edit11"] = "1000";  // Prm 9
  r.engine.PressParameterWrite(9);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{ParameterFrame('k', 1000, 8)});
  r.port.Receive({AckByte});
  r.Tick(2);
  r.window.texts["Edit22"] = "70000";  // Prm 20: no range, sent as 32 bits
  r.engine.PressParameterWrite(20);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{ParameterFrame('k', 70000, 19)});
  r.port.Receive({AckByte});
  r.Tick(2);
  r.window.texts["Edit34"] = "-3";  // Prm 25
  r.engine.PressParameterWrite(25);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{ParameterFrame('u', -3, 4)});
}

TEST(DirectControl, ParameterBoxWithoutNumberSaysSo) {
  for (bool english : {false, true}) {
    Rig r;
    r.engine.SetEnglish(english);
    r.PollOnce();
    r.window.texts["Edit1"] = "abc";  // Prm 21
    r.engine.PressParameterWrite(21);
    ASSERT_EQ(r.window.messages.size(), 1u);
    EXPECT_EQ(r.window.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(r.window.messages[0].text, english ? "Number expected!" : "Sayı giriniz!");
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('s', 0)});
  }
}

TEST(DirectControl, MemoryAddressRules) {
  struct Case {
    const char* address;
    const char* data;
    std::optional<Frame> read;
    std::optional<Frame> write;
  };
  const Case cases[] = {
      {"5", "7", CommandFrame('E', 5), CommandFrame('f', 7 * 65536 + 5)},
      {"0", "1", CommandFrame('E', 1), CommandFrame('f', 65536)},
      {"", "1", CommandFrame('E', 1), std::nullopt},
      {"16383", "255", CommandFrame('E', 0x3FFF), CommandFrame('f', 255 * 65536 + 0x3FFF)},
      {"16384", "1", CommandFrame('E', 1), std::nullopt},
      {"-1", "1", CommandFrame('E', 1), std::nullopt},
      {"12", "x", CommandFrame('E', 12), std::nullopt},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce();
    r.window.texts["Edit3"] = c.address;
    r.window.texts["Edit4"] = c.data;
    r.engine.Request(state::MemoryWrite);
    r.Tick();
    auto frames = r.port.TakeFrames();
    EXPECT_EQ(frames.empty() ? std::nullopt : std::optional<Frame>(frames[0]), c.write) << c.address;
    if (!frames.empty()) r.port.Receive({AckByte});
    r.Tick(2);
    r.port.TakeFrames();
    r.engine.PressMemoryRead();
    EXPECT_EQ(r.window.text("Edit4"), "");
    r.Tick();
    EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{*c.read}) << c.address;
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
    const char* shown;
    ExchangeOutcome outcome;
  };
  const Case cases[] = {
      {"valid", Reply('E', {200}), "200", ExchangeOutcome::Acknowledged},
      {"corrupt", corrupt, "", ExchangeOutcome::Failed},
      {"a status reply", StatusFrame(), "", ExchangeOutcome::Failed},
      {"an acknowledgement", {AckByte}, "", ExchangeOutcome::Failed},
      {"cut short", Frame{0x04, 'E', 200}, "", ExchangeOutcome::Failed},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce();
    r.window.texts["Edit3"] = "9";
    r.engine.PressMemoryRead();
    int asked = 0;
    for (int tick = 0; tick < 40 && r.engine.LastExchange().outcome == ExchangeOutcome::Running;
         ++tick) {
      r.Tick();
      for (const auto& f : r.port.TakeFrames()) {
        ASSERT_EQ(f, CommandFrame('E', 9)) << c.what;
        ++asked;
        r.port.Receive(c.reply);
      }
    }
    EXPECT_EQ(r.engine.LastExchange().outcome, c.outcome) << c.what;
    EXPECT_EQ(asked, c.outcome == ExchangeOutcome::Acknowledged ? 1 : 3) << c.what;
    EXPECT_EQ(r.window.text("Edit4"), c.shown) << c.what;
  }
}

TEST(DirectControl, RepliesFillTheBoxes) {
  Rig r;
  r.engine.SetEnglish(true);
  r.PollOnce();

  r.engine.PressMemoryRead();
  r.Tick();
  r.port.Receive(Reply('E', {200}));
  r.Tick(2);
  EXPECT_EQ(r.window.text("Edit4"), "200");

  r.window.texts["Edit35"] = "keep";
  r.engine.PressReadSettings();
  EXPECT_EQ(r.window.text("Edit23"), "");
  r.Tick();
  r.port.Receive(Reply('t', {0x3A, 0x98, 0x03, 0xE8, 0, 50, 16, 0x27, 0x0F, 0, 10, 1, 0xFF, 0xFF, 0xFF, 0xFE, 0, 1, 0xFF, 0xFF}));
  r.Tick(2);
  const std::pair<const char*, const char*> settings[] = {
      {"Edit23", "15000"}, {"Edit24", "1000"}, {"Edit25", "50"},  {"Edit26", "16"},     {"Edit27", "9999"},
      {"Edit28", "10"},    {"Edit29", "-2"},   {"Edit35", "1"},   {"Edit36", "65535"}, {"StaticText83", "R"}};
  for (const auto& [box, text] : settings) EXPECT_EQ(r.window.text(box), text) << box;

  r.engine.Request(state::ReadParameters);
  r.Tick();
  std::vector<std::uint8_t> block(60, 0);
  for (int i = 0; i < 12; ++i) block[16 + 2 * i + 1] = static_cast<std::uint8_t>(i + 1);
  block[16] = 0xFF;  // Prm 9 = FF01h, shown unsigned
  for (int i = 0; i < 4; ++i) block[40 + i] = 0xFF;  // Prm 21 = -1, shown signed
  block[59] = 25;                                    // Prm 25
  r.port.Receive(Reply('A', block));
  r.Tick(2);
  EXPECT_EQ(r.window.text("Edit11"), "65281");
  EXPECT_EQ(r.window.text("Edit22"), "12");
  EXPECT_EQ(r.window.text("Edit1"), "-1");
  EXPECT_EQ(r.window.text("Edit34"), "25");

  r.engine.PressServiceRead();
  r.Tick();
  r.port.Receive(Reply('i', {85, 99}));
  r.Tick(2);
  EXPECT_EQ(r.window.text("Edit31"), "85");
  EXPECT_EQ(r.window.text("Edit32"), "99");

  r.engine.Request(state::ReadProgramName);
  r.Tick();
  r.port.Receive(Reply('n', {' ', 'M', 'O', 'T', '.', 'K', 'V', '3', ' '}));
  r.Tick(2);
  EXPECT_EQ(r.v().driverProgramName, "MOT.KV3");
  EXPECT_EQ(r.v().linkState, state::Idle);
}

}  // namespace
}  // namespace kivra::link
