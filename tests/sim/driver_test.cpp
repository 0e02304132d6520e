#include "sim/driver.h"

#include <gtest/gtest.h>

#include "link/commands.h"

namespace kivra::sim {
namespace {

using namespace std::chrono_literals;

Bytes Command(std::uint8_t code, std::uint32_t value = 0) {
  return BuildFrame(
      'K',
      Bytes{code, static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

Bytes ParameterFrame(std::uint8_t code, std::uint32_t value, std::uint8_t index) {
  return BuildFrame(
      'K',
      Bytes{code, static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value), index});
}

// A driver on a clock the test moves by hand.
class DriverTest : public ::testing::Test {
 protected:
  TimePoint now = TimePoint{} + 1h;

  // Sends `frame` and returns the replies; the clock moves past the last one.
  std::vector<Transmission> Exchange(const Bytes& frame) {
    Driver::Output out;
    driver.Receive(frame, now, out);
    if (!out.transmissions.empty()) now = out.transmissions.back().due + 1ms;
    return out.transmissions;
  }
  // The one reply to `frame`, or nothing.
  std::optional<Bytes> Ask(const Bytes& frame) {
    auto t = Exchange(frame);
    if (t.empty()) return std::nullopt;
    EXPECT_EQ(t.size(), 1u);
    return t[0].bytes;
  }
  Bytes Status() { return Ask(Command('s')).value_or(Bytes{}); }

  Driver driver;
};

TEST_F(DriverTest, AnswersTheStatusRequestWithSixteenBytes) {
  const Bytes reply = Status();
  ASSERT_EQ(reply.size(), 16u);
  EXPECT_EQ(reply, (Bytes{0x10, 's', 0x00, 0x00, 0x00, 0x01, 25, 12, 0, 0, 0, 0, 0, 0, 0,
                          0x10 ^ 's' ^ 0x01 ^ 25 ^ 12}));

  driver.SetInputs(0x25);
  driver.SetOutput(2, true);
  driver.SetAnalog(1, 200);
  driver.SetAnalog(2, 7);
  driver.SetTemperature(61);
  driver.SetModeFlags(0x00);
  const Bytes changed = Status();
  EXPECT_EQ(Xor(changed), 0);
  EXPECT_EQ(changed[2], 0xA5);  // inputs 1, 3, 6 and output 2
  EXPECT_EQ(changed[3], 200);
  EXPECT_EQ(changed[4], 7);
  EXPECT_EQ(changed[5], 0x00);  // step/direction mode
  EXPECT_EQ(changed[6], 61);
}

TEST_F(DriverTest, RepliesStartAfterTheTurnaroundAndTakeTheirLineTime) {
  const auto turn = Driver::Options{}.turnaround;
  EXPECT_EQ(turn, 3ms);
  Driver::Output out;
  driver.Receive(Command('V', 100), now, out);
  driver.Receive(Command('s'), now, out);  // arrives while the acknowledgement is on the line
  ASSERT_EQ(out.transmissions.size(), 2u);
  EXPECT_EQ(out.transmissions[0].start, now + turn);
  EXPECT_EQ(out.transmissions[0].due, now + turn + LineByteTime);
  EXPECT_EQ(out.transmissions[1].start, out.transmissions[0].due);
  EXPECT_EQ(out.transmissions[1].due, now + turn + 17 * LineByteTime);

  const TimePoint later = now + 1s;
  Driver::Output next;
  driver.Receive(Command('t'), later, next);
  ASSERT_EQ(next.transmissions.size(), 1u);
  EXPECT_EQ(next.transmissions[0].due, later + turn + 23 * LineByteTime);
  EXPECT_NEAR((std::chrono::duration<double, std::milli>(LineByteTime).count()), 1.146, 0.001);
}

TEST_F(DriverTest, CommandsSetWhatTheMotorSettingsReplyReports) {
  struct Case {
    std::uint8_t code;
    std::uint32_t value;
    std::size_t offset;
    Bytes bytes;
  };
  const Case cases[] = {
      {'V', 15000, 2, {0x3A, 0x98}},
      {'C', 1000, 4, {0x03, 0xE8}},
      {'B', 100, 6, {0x00, 0x64}},
      {'U', 25, 8, {25}},
      {'X', 9999, 9, {0x27, 0x0F}},
      {'K', 10, 11, {0x00, 0x0A}},
      {'F', 0, 13, {0}},
      {'F', 7, 13, {1}},
      {'D', 0xFFFFFFFF, 14, {0xFF, 0xFF, 0xFF, 0xFF}},
      {'D', 123456, 14, {0x00, 0x01, 0xE2, 0x40}},
      {'v', 1, 18, {0x00, 0x01}},
      {'c', 750, 20, {0x02, 0xEE}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Ask(Command(c.code, c.value)), Bytes{Ack}) << c.code;
    const auto reply = Ask(Command('t'));
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->size(), 23u);
    EXPECT_EQ((*reply)[1], 't');
    EXPECT_EQ(Xor(*reply), 0);
    EXPECT_EQ(Bytes(reply->begin() + c.offset, reply->begin() + c.offset + c.bytes.size()), c.bytes)
        << c.code << " " << c.value;
  }
  EXPECT_EQ(driver.State(now).motor.displacement, 123456);
}

TEST_F(DriverTest, ParametersAreWrittenAndReadBack) {
  // Prm 9 = 1000, as the tool sends it.
  EXPECT_EQ(Ask(Bytes{0x09, 0x4B, 0x6B, 0x00, 0x00, 0x03, 0xE8, 0x08, 0xCA}), Bytes{Ack});
  EXPECT_EQ(Ask(ParameterFrame('k', 70000, 19)), Bytes{Ack});  // Prm 20 keeps 16 bits
  EXPECT_EQ(Ask(ParameterFrame('u', static_cast<std::uint32_t>(-5), 0)), Bytes{Ack});  // Prm 21
  EXPECT_EQ(Ask(ParameterFrame('u', 0x12345678, 4)), Bytes{Ack});                      // Prm 25

  const auto reply = Ask(Command('A'));
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->size(), 63u);
  EXPECT_EQ((*reply)[1], 'A');
  EXPECT_EQ(Xor(*reply), 0);
  const Bytes& r = *reply;
  EXPECT_EQ(Bytes(r.begin() + 18, r.begin() + 20), (Bytes{0x03, 0xE8}));
  EXPECT_EQ(Bytes(r.begin() + 40, r.begin() + 42), (Bytes{0x11, 0x70}));
  EXPECT_EQ(Bytes(r.begin() + 42, r.begin() + 46), (Bytes{0xFF, 0xFF, 0xFF, 0xFB}));
  EXPECT_EQ(Bytes(r.begin() + 58, r.begin() + 62), (Bytes{0x12, 0x34, 0x56, 0x78}));

  const DriverState s = driver.State(now);
  EXPECT_EQ(Parameter(s, 9), 1000);
  EXPECT_EQ(Parameter(s, 21), -5);
}

TEST_F(DriverTest, FramesTheDriverCannotTakeGetNoAnswer) {
  struct Case {
    const char* name;
    Bytes frame;
  };
  const Case cases[] = {
      {"16-bit parameter index 20", ParameterFrame('k', 1, 20)},
      {"32-bit parameter index 5", ParameterFrame('u', 1, 5)},
      {"parameter code in a command frame", Command('k', 1)},
      {"command code in a parameter frame", ParameterFrame('V', 1, 0)},
      {"unknown command code", Command('Q', 0)},
      {"output 3", Command('x', 0x300)},
      {"memory read above 3FFFh", Command('E', 0x4000)},
      {"memory write above 3FFFh", Command('f', 0x00114000)},
      {"data past the end of program memory",
       BuildFrame('P', Bytes{0x07, 0xF8, 1, 2, 3, 4, 5, 6, 7, 8, 9})},
      {"code length above 2048", BuildFrame('V',
                                            [] {
                                              Bytes p = {0x08, 0x01};
                                              p.resize(32, 0);
                                              return p;
                                            }())},
  };
  for (const auto& c : cases) {
    const auto refusedBefore = driver.State(now).framesRefused;
    EXPECT_FALSE(Ask(c.frame)) << c.name;
    EXPECT_EQ(driver.State(now).framesRefused, refusedBefore + 1) << c.name;
  }
  EXPECT_EQ(driver.Program().code.bytes[2040], 0xFF);
  EXPECT_EQ(Ask(Command('s'))->size(), 16u);  // and the driver still answers
}

TEST_F(DriverTest, MemoryServiceValuesAndOutputs) {
  EXPECT_EQ(Ask(Command('f', 0xAB0000 | 0x3FFF)), Bytes{Ack});
  EXPECT_EQ(Ask(Command('E', 0x3FFF)), BuildFrame('E', Bytes{0xAB}));
  EXPECT_EQ(Ask(Command('E', 1)), BuildFrame('E', Bytes{0x00}));

  EXPECT_EQ(Ask(Command('I', 80)), Bytes{Ack});
  EXPECT_EQ(Ask(Command('J', 90)), Bytes{Ack});
  EXPECT_EQ(Ask(Command('i')), (Bytes{0x05, 'i', 80, 90, 0x05 ^ 'i' ^ 80 ^ 90}));

  // The tool sends the state it shows; a press switches the output the other way.
  EXPECT_EQ(Ask(Command('x', 0x100)), Bytes{Ack});
  EXPECT_EQ(Status()[2], 0x40);
  EXPECT_EQ(Ask(Command('x', 0x200)), Bytes{Ack});
  EXPECT_EQ(Status()[2], 0xC0);
  EXPECT_EQ(Ask(Command('x', 0x101)), Bytes{Ack});
  EXPECT_EQ(Status()[2], 0x80);
}

TEST_F(DriverTest, RunMoveAndStopShowInTheMotorBit) {
  constexpr std::uint8_t kMotorBit = 0x04;
  EXPECT_EQ(Ask(Command('R')), Bytes{Ack});
  EXPECT_TRUE(Status()[5] & kMotorBit);
  EXPECT_EQ(Ask(Command('S')), Bytes{Ack});
  EXPECT_FALSE(Status()[5] & kMotorBit);

  // 1000 rpm at micro-step 4 is 13333 steps a second: 4000 steps take 0.3 s.
  Ask(Command('D', 4000));
  Ask(Command('M'));
  now += 250ms;
  EXPECT_TRUE(Status()[5] & kMotorBit);
  now += 100ms;
  EXPECT_FALSE(Status()[5] & kMotorBit);

  Ask(Command('D', static_cast<std::uint32_t>(-2'000'000'000)));
  Ask(Command('M'));
  now += 9s;
  EXPECT_TRUE(driver.State(now).motorRunning);
  now += 2s;  // no move lasts longer than 10 s
  EXPECT_FALSE(driver.State(now).motorRunning);
}

// A download as the tool performs it: begin frame, data frames of 25 bytes, vector
// frame, name frame, each acknowledged.
TEST_F(DriverTest, StoresAFullDownloadByteExact) {
  Ask(Command('D', 1));  // something that must survive the download
  Bytes code(2048);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i * 7 + 3);
  code.back() = 0xFF;
  VectorTable vectors;
  for (std::size_t i = 0; i < vectors.size(); ++i) vectors[i] = static_cast<std::uint8_t>(0xA0 + i);

  EXPECT_EQ(Ask(Command('P')), Bytes{Ack});
  int frames = 0;
  for (std::size_t offset = 0; offset < code.size(); offset += 25, ++frames) {
    Bytes payload = {static_cast<std::uint8_t>(offset >> 8), static_cast<std::uint8_t>(offset)};
    const std::size_t n = std::min<std::size_t>(25, code.size() - offset);
    payload.insert(payload.end(), code.begin() + offset, code.begin() + offset + n);
    ASSERT_EQ(Ask(BuildFrame('P', payload)), Bytes{Ack}) << offset;
  }
  EXPECT_EQ(frames, 82);
  Bytes vectorPayload = {0x08, 0x00};
  vectorPayload.insert(vectorPayload.end(), vectors.begin(), vectors.end());
  EXPECT_EQ(Ask(BuildFrame('V', vectorPayload)), Bytes{Ack});
  const std::string name = "MOTOR\xDE.KV3";  // Ş in code page 1254
  EXPECT_EQ(Ask(BuildFrame('N', Bytes(name.begin(), name.end()))), Bytes{Ack});

  const StoredProgram& p = driver.Program();
  EXPECT_TRUE(std::equal(code.begin(), code.end(), p.code.bytes.begin()));
  EXPECT_EQ(p.code.length, 2048u);
  EXPECT_EQ(p.vectors, vectors);
  EXPECT_EQ(p.name, name);
  EXPECT_EQ(p.downloadsStarted, 1u);
  EXPECT_TRUE(p.hasVectors && p.hasName);
  EXPECT_EQ(Ask(Command('n')), BuildFrame('n', Bytes(name.begin(), name.end())));
  EXPECT_EQ(driver.State(now).motor.displacement, 1);

  // A new download starts from erased memory.
  Ask(Command('P'));
  EXPECT_EQ(driver.Program().code.bytes[0], 0xFF);
  EXPECT_EQ(driver.Program().code.length, 0u);
  EXPECT_FALSE(driver.Program().hasName);
  EXPECT_EQ(driver.Program().downloadsStarted, 2u);
}

TEST_F(DriverTest, DataFrameAtOffset25) {
  Ask(Command('P'));
  Ask(BuildFrame('P', Bytes{0x00, 0x18, 0x11, 0x22}));
  EXPECT_EQ(Ask(Bytes{0x06, 0x50, 0x00, 0x19, 0xFF, 0xB0}), Bytes{Ack});
  const auto& b = driver.Program().code.bytes;
  EXPECT_EQ(b[24], 0x11);
  EXPECT_EQ(b[25], 0xFF);
  EXPECT_EQ(b[26], 0xFF);
}

TEST_F(DriverTest, ScriptRunsTheStoredProgramAndReportsItsAddress) {
  // 0: CURON 500; 3: L: WAIT; 4: JUMP L
  Ask(Command('P'));
  Ask(BuildFrame('P', Bytes{0x00, 0x00, 0x02, 0x01, 0xF4, 0x13, 0x09, 0x00, 0x03, 0xFF}));
  auto status = Status();
  EXPECT_FALSE(status[5] & 0x02);

  EXPECT_EQ(Ask(Command('G')), Bytes{Ack});
  const TimePoint started = now - 1ms;  // Ask moved the clock past the acknowledgement
  std::vector<int> addresses;
  for (int step = 0; step < 5; ++step) {
    now = started + step * 200ms + 100ms;
    status = Status();
    EXPECT_TRUE(status[5] & 0x02);
    addresses.push_back(status[9] << 8 | status[10]);
  }
  EXPECT_EQ(addresses, (std::vector<int>{0, 3, 4, 3, 4}));

  EXPECT_EQ(Ask(Command('S')), Bytes{Ack});
  status = Status();
  EXPECT_FALSE(status[5] & 0x02);
  EXPECT_EQ(status[9] << 8 | status[10], 0);
}

TEST_F(DriverTest, FaultsChangeTheChosenReply) {
  const Bytes clean = driver.StatusReply();
  struct Case {
    FaultAction action;
    std::vector<Bytes> parts;
    std::vector<std::chrono::nanoseconds> after;  // when each part is complete
  };
  Bytes garbled = clean;
  garbled[8] ^= 0xFF;
  Bytes wrongLetter = clean;
  wrongLetter[1] = 't';
  wrongLetter[15] = Xor(std::span(wrongLetter).first(15));
  const auto turn = Driver::Options{}.turnaround;
  const Case cases[] = {
      {FaultAction::Drop, {}, {}},
      {FaultAction::Garble, {garbled}, {turn + 16 * LineByteTime}},
      {FaultAction::WrongLetter, {wrongLetter}, {turn + 16 * LineByteTime}},
      {FaultAction::Split,
       {Bytes(clean.begin(), clean.begin() + 8), Bytes(clean.begin() + 8, clean.end())},
       {turn + 8 * LineByteTime, turn + 16 * LineByteTime + 120ms}},
      {FaultAction::Delay, {clean}, {turn + 16 * LineByteTime + 200ms}},
  };
  for (const auto& c : cases) {
    driver.AddFault({ReplyKind::Status, c.action, 2, 1});
    EXPECT_EQ(Status(), clean) << FaultActionName(c.action);  // the first one is left alone
    const TimePoint asked = now;
    const auto t = Exchange(Command('s'));
    ASSERT_EQ(t.size(), c.parts.size()) << FaultActionName(c.action);
    for (std::size_t i = 0; i < t.size(); ++i) {
      EXPECT_EQ(t[i].bytes, c.parts[i]) << FaultActionName(c.action);
      EXPECT_EQ(t[i].due, asked + c.after[i]) << FaultActionName(c.action);
    }
    EXPECT_EQ(Status(), clean) << FaultActionName(c.action);  // and the next one too
    now += 1s;
  }
}

TEST_F(DriverTest, FaultsOnAcknowledgements) {
  driver.AddFault({ReplyKind::Ack, FaultAction::WrongLetter, 1, 1});
  driver.AddFault({ReplyKind::Ack, FaultAction::Garble, 1, 1});
  driver.AddFault({ReplyKind::Ack, FaultAction::Split, 1, 1});
  driver.AddFault({ReplyKind::Ack, FaultAction::Drop, 1, 2});
  EXPECT_EQ(Ask(Command('V', 1)), Bytes{Nak});
  EXPECT_EQ(Ask(Command('V', 2)), Bytes{0xF9});
  EXPECT_EQ(Ask(Command('V', 3)), Bytes{Ack});  // one byte cannot be split
  EXPECT_FALSE(Ask(Command('V', 4)));
  EXPECT_FALSE(Ask(Command('V', 5)));
  EXPECT_EQ(Ask(Command('V', 6)), Bytes{Ack});
  EXPECT_EQ(driver.State(now).motor.speed, 6u);  // a dropped reply still did its work
}

TEST_F(DriverTest, ASilentDriverIgnoresFramesUntilTheSilenceEnds) {
  driver.SilenceUntil(now + 500ms);
  EXPECT_FALSE(Ask(Command('V', 77)));
  EXPECT_NE(driver.State(now).motor.speed, 77u);
  now += 500ms;
  EXPECT_EQ(Ask(Command('V', 77)), Bytes{Ack});
  EXPECT_EQ(driver.State(now).motor.speed, 77u);
}

TEST_F(DriverTest, ATrueFloodOverrunsTheLine) {
  Driver::Output out;
  for (int i = 0; i < 1000; ++i) driver.Receive(Command('t'), now, out);
  // 23 bytes take 26 ms: about two seconds of replies are queued, the rest lost.
  EXPECT_GT(out.transmissions.size(), 70u);
  EXPECT_LT(out.transmissions.size(), 80u);
  EXPECT_LE(out.transmissions.back().due - now, 2s + 23 * LineByteTime);
}

// Every command the tool can send is one the driver takes, in the frame the tool sends it in.
TEST_F(DriverTest, TakesEveryCommandOfTheTool) {
  for (const link::Command& c : link::Commands()) {
    std::uint32_t value = c.rule.accept == link::Accept::Range ? c.rule.low : 1;
    if (c.operand == link::Operand::Output) value = 0x100;
    const Bytes frame = c.operand == link::Operand::Parameter ? ParameterFrame(c.code, 1, 0)
                                                              : Command(c.code, value);
    Driver::Output out;
    driver.Receive(frame, now, out);
    ASSERT_FALSE(out.transmissions.empty()) << c.name.english;
    now += 1s;
  }
}

TEST_F(DriverTest, DescribesFramesForTheLog) {
  struct Case {
    Bytes frame;
    std::string text;
  };
  const Case cases[] = {
      {Command('s'), "status request"},
      {Command('V', 1200), "speed 1200"},
      {Command('D', 0xFFFFFFFF), "displacement -1"},
      {ParameterFrame('k', 1000, 8), "parameter Prm 9 = 1000"},
      {ParameterFrame('u', static_cast<std::uint32_t>(-5), 0), "parameter Prm 21 = -5"},
      {Command('x', 0x101), "output 101h"},
      {Command('Q'), "unknown command 51h"},
      {Bytes{0x06, 0x50, 0x00, 0x19, 0xFF, 0xB0}, "program data at 25, 1 byte"},
      {BuildFrame('N', Bytes{'M', 0xDE, '.', 'K', 'V', '3'}), "program name \"M\xC5\x9E.KV3\""},
  };
  for (const auto& c : cases) {
    Driver::Output out;
    driver.Receive(c.frame, now, out);
    ASSERT_FALSE(out.events.empty());
    EXPECT_EQ(out.events[0].kind, Event::Kind::Received);
    EXPECT_EQ(out.events[0].text, c.text);
    EXPECT_EQ(out.events[0].bytes, c.frame);
    now += 1s;
  }
  Driver::Output out;
  driver.Receive(Bytes{0x00, 0x01, 0x02}, now, out);
  ASSERT_EQ(out.events.size(), 1u);
  EXPECT_EQ(out.events[0].kind, Event::Kind::Discarded);
  EXPECT_EQ(out.events[0].bytes, (Bytes{0x00, 0x01, 0x02}));
}

}  // namespace
}  // namespace kivra::sim
