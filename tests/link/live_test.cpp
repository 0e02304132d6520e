// The link engine through the real serial component against the simulated driver on a
// pseudo-terminal, on a real timer. Every wait is bounded and generous: ticks take real
// time, and sanitizers slow everything else down.

#include <gtest/gtest.h>

#include <chrono>

#include "link/engine.h"
#include "link/serial_link.h"
#include "link/tick_loop.h"
#include "sim/simulator.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using namespace std::chrono_literals;

serial::PortSettings QuietSettings() {
  auto s = serial::PortSettings::DriverLink();
  s.logging = serial::LogState::LogOff;
  return s;
}

struct Live {
  sim::Simulator sim;
  SerialLink serial{QuietSettings()};
  testing::FakeWindow window;
  TickLoop loop;
  LinkEngine engine{serial, window, window, loop};

  explicit Live(sim::Simulator::Options line = {}) : sim(std::move(line)) {
    serial.SetPort(PortName{0, sim.PortPath()});
    serial.SetOpen(true);
    engine.SetLinkEnabled(true);
    engine.SetEnglish(true);
  }
  ~Live() { serial.Close(); }

  bool Until(const std::function<bool()>& done, std::chrono::seconds limit = 20s) {
    return loop.Run(engine, done, TickLoop::Clock::now() + limit);
  }
  bool Connected() {
    const auto start = engine.StatusCount();
    return Until([&] { return engine.StatusCount() > start + 1 && engine.Variables().connected; });
  }
  // Presses a button and waits for its exchange to end.
  ExchangeOutcome Exchange(const std::function<void()>& press) {
    press();
    Until([&] { return engine.LastExchange().outcome != ExchangeOutcome::Running; });
    return engine.LastExchange().outcome;
  }
};

CodeImage Image(std::uint32_t length) {
  CodeImage image;
  image.bytes.fill(0xFF);
  for (std::uint32_t i = 0; i + 1 < length; ++i) image.bytes[i] = static_cast<std::uint8_t>(i * 13 + 1);
  image.length = length;
  return image;
}

VectorTable Vectors() {
  VectorTable v;
  for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<std::uint8_t>(i + 1);
  return v;
}

TEST(Live, StatusFollowsTheDriver) {
  Live l;
  l.sim.SetInputs(0x21);
  l.sim.SetOutput(2, true);
  l.sim.SetAnalog(1, 77);
  l.sim.SetTemperature(40);
  l.sim.SetModeFlags(0x00);
  ASSERT_TRUE(l.Until([&] { return l.window.text("StaticText74") == "40"; }));
  EXPECT_EQ(l.window.colour("Shape13"), Colour::Lime);
  EXPECT_EQ(l.window.colour("Shape3"), Colour::Lime);
  EXPECT_EQ(l.window.colour("Shape4"), Colour::ScrollBar);
  EXPECT_EQ(l.window.colour("Shape8"), Colour::Lime);
  EXPECT_EQ(l.window.colour("Shape22"), Colour::Lime);
  EXPECT_EQ(l.window.colour("Shape23"), Colour::Lime);  // step/dir mode
  EXPECT_EQ(l.window.text("StaticText69"), "77");
  EXPECT_EQ(l.engine.Variables().firmwareVersion, 12);
}

TEST(Live, CommandsReachTheDriverWithTheirValues) {
  Live l;
  ASSERT_TRUE(l.Connected());
  struct Case {
    std::string_view box;
    const char* text;
    std::uint8_t state;
    std::function<bool(const sim::DriverState&)> stored;
  };
  const Case cases[] = {
      {ctl::Speed, "1500", state::Speed, [](auto& s) { return s.motor.speed == 1500; }},
      {ctl::RunCurrent, "800", state::RunCurrent, [](auto& s) { return s.motor.runningCurrent == 800; }},
      {ctl::HoldCurrent, "30", state::HoldCurrent, [](auto& s) { return s.motor.holdingCurrent == 30; }},
      {ctl::Microstep, "16", state::Microstep, [](auto& s) { return s.motor.microStep == 16; }},
      {ctl::Ramp, "2500", state::Ramp, [](auto& s) { return s.motor.ramp == 2500; }},
      {ctl::StartSpeed, "50", state::StartSpeed, [](auto& s) { return s.motor.startSpeed == 50; }},
      {ctl::Displacement, "-1", state::Displacement, [](auto& s) { return s.motor.displacement == -1; }},
      {ctl::SpeedMode, "1", state::SpeedMode, [](auto& s) { return s.motor.speedMode == 1; }},
      {ctl::SpeedCoefficient, "7", state::SpeedCoefficient, [](auto& s) { return s.motor.speedCoefficient == 7; }},
  };
  for (const auto& c : cases) {
    l.window.texts[std::string(c.box)] = c.text;
    EXPECT_EQ(l.Exchange([&] { l.engine.Request(c.state); }), ExchangeOutcome::Acknowledged) << c.box;
    EXPECT_TRUE(c.stored(l.sim.State())) << c.box;
  }
  EXPECT_EQ(l.Exchange([&] { l.engine.PressDirection(false); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.sim.State().motor.direction, 0u);
  l.window.texts["Edit12"] = "4321";  // Prm 10
  EXPECT_EQ(l.Exchange([&] { l.engine.PressParameterWrite(10); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(sim::Parameter(l.sim.State(), 10), 4321);
  l.window.texts["Edit3"] = "300";
  l.window.texts["Edit4"] = "99";
  EXPECT_EQ(l.Exchange([&] { l.engine.Request(state::MemoryWrite); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.sim.MemoryCell(300), 99);
  EXPECT_EQ(l.Exchange([&] { l.engine.PressOutput(1); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.Exchange([&] { l.engine.Request(state::Run); }), ExchangeOutcome::Acknowledged);
  EXPECT_TRUE(l.sim.State().motorRunning);
  EXPECT_EQ(l.Exchange([&] { l.engine.Request(state::Stop); }), ExchangeOutcome::Acknowledged);
  // A refused value never reaches the driver.
  const auto frames = l.sim.State().framesReceived;
  l.window.texts["Edit26"] = "3";
  EXPECT_EQ(l.Exchange([&] { l.engine.Request(state::Microstep); }), ExchangeOutcome::Refused);
  EXPECT_EQ(l.sim.State().motor.microStep, 16u);
  EXPECT_LE(l.sim.State().framesReceived, frames + 2);  // status polls at most
}

TEST(Live, ReadButtonsFillTheBoxes) {
  Live l;
  ASSERT_TRUE(l.Connected());
  l.window.texts["Edit23"] = "1234";
  ASSERT_EQ(l.Exchange([&] { l.engine.Request(state::Speed); }), ExchangeOutcome::Acknowledged);
  ASSERT_EQ(l.Exchange([&] { l.engine.PressReadSettings(); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.window.text("Edit23"), "1234");
  EXPECT_EQ(l.window.text("StaticText83"), "R");
  l.window.texts["Edit33"] = "-77";  // Prm 24
  ASSERT_EQ(l.Exchange([&] { l.engine.PressParameterWrite(24); }), ExchangeOutcome::Acknowledged);
  ASSERT_EQ(l.Exchange([&] { l.engine.Request(state::ReadParameters); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.window.text("Edit33"), "-77");
  l.sim.SetMemoryCell(0x3FFF, 201);
  l.window.texts["Edit3"] = "16383";
  ASSERT_EQ(l.Exchange([&] { l.engine.PressMemoryRead(); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.window.text("Edit4"), "201");
  ASSERT_EQ(l.Exchange([&] { l.engine.PressServiceRead(); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.window.text("Edit31"), "100");
}

TEST(Live, DownloadIsStoredByteExact) {
  Live l;
  ASSERT_TRUE(l.Connected());
  const auto image = Image(80);
  l.engine.StartDownload(true, image, Vectors(), "/home/user/programs/HOMING.KV3");
  ASSERT_TRUE(l.Until([&] { return l.engine.Download() != DownloadResult::Running; }, 60s));
  ASSERT_EQ(l.engine.Download(), DownloadResult::Succeeded);
  const auto stored = l.sim.Program();
  EXPECT_EQ(stored.code.length, 80u);
  EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.end(), stored.code.bytes.begin()));
  EXPECT_EQ(stored.vectors, Vectors());
  EXPECT_EQ(stored.name, "HOMING.KV3");
  EXPECT_TRUE(l.window.messages.empty());
  EXPECT_TRUE(l.Connected());
}

TEST(Live, LostAcknowledgementsAreRetriedFourTimesAtMost) {
  for (std::uint32_t lost : {4u, 5u}) {
    Live l;
    ASSERT_TRUE(l.Connected());
    // The begin frame's acknowledgement is the first; the second data frame's the third.
    l.sim.AddFault({sim::ReplyKind::Ack, sim::FaultAction::Drop, 3, lost});
    l.engine.StartDownload(true, Image(60), Vectors(), "A.KV3");
    ASSERT_TRUE(l.Until([&] { return l.engine.Download() != DownloadResult::Running; }, 90s));
    if (lost == 4) {
      EXPECT_EQ(l.engine.Download(), DownloadResult::Succeeded);
      EXPECT_TRUE(l.window.messages.empty());
    } else {
      EXPECT_EQ(l.engine.Download(), DownloadResult::Failed);
      ASSERT_EQ(l.window.messages.size(), 1u);
      EXPECT_EQ(l.window.messages[0].text, "Download error!");
      EXPECT_FALSE(l.sim.Program().hasName);
    }
    EXPECT_TRUE(l.Connected());
  }
}

TEST(Live, FaultyRepliesAreAskedAgain) {
  struct Case {
    sim::ReplyKind kind;
    sim::FaultAction action;
  };
  const Case cases[] = {
      {sim::ReplyKind::MotorSettings, sim::FaultAction::Split},
      {sim::ReplyKind::MotorSettings, sim::FaultAction::Garble},
      {sim::ReplyKind::MotorSettings, sim::FaultAction::WrongLetter},
      {sim::ReplyKind::Ack, sim::FaultAction::WrongLetter},
      {sim::ReplyKind::Ack, sim::FaultAction::Delay},
  };
  for (const auto& c : cases) {
    Live l;
    ASSERT_TRUE(l.Connected());
    l.sim.AddFault({c.kind, c.action, 1, 1});
    const auto outcome = l.Exchange([&] {
      if (c.kind == sim::ReplyKind::Ack) {
        l.window.texts["Edit23"] = "900";
        l.engine.Request(state::Speed);
      } else {
        l.engine.PressReadSettings();
      }
    });
    EXPECT_EQ(outcome, ExchangeOutcome::Acknowledged) << sim::FaultActionName(c.action);
    if (c.kind != sim::ReplyKind::Ack) {
      EXPECT_EQ(l.window.text("Edit23"), "1000");
    }
  }
}

TEST(Live, SilenceTurnsTheLightsRedAndAnswersTurnThemGreen) {
  Live l;
  ASSERT_TRUE(l.Connected());
  l.sim.SilenceFor(1500ms);
  ASSERT_TRUE(l.Until([&] { return !l.engine.Variables().connected; }));
  EXPECT_EQ(l.window.colour("Shape1"), Colour::Red);
  EXPECT_EQ(l.window.text("StaticText13"), " ");
  ASSERT_TRUE(l.Until([&] { return l.engine.Variables().connected; }));
  EXPECT_EQ(l.window.colour("Shape1"), Colour::Lime);
}

// The same work on every kind of line: byte by byte with and without a USB adapter's
// packets, 12- or 16-byte status replies, a slow turnaround, and whole replies.
TEST(Live, EveryKindOfLineCarriesTheWork) {
  struct Case {
    const char* what;
    std::chrono::milliseconds usbLatency;
    std::size_t statusLength;
    std::chrono::milliseconds turnaround;
    bool whole;
  };
  const Case cases[] = {
      {"USB, 16 ms", 16ms, 16, 3ms, false},
      {"USB, 4 ms, 12-byte status, 5 ms turnaround", 4ms, 12, 5ms, false},
      {"whole replies", 0ms, 16, 0ms, true},
  };
  for (const auto& c : cases) {
    sim::Simulator::Options o =
        c.whole ? sim::Simulator::Options::WholeReplies() : sim::Simulator::Options{};
    o.line.usbLatency = c.usbLatency;
    o.driver.statusLength = c.statusLength;
    o.driver.turnaround = c.turnaround;
    Live l(o);
    l.sim.SetTemperature(44);
    ASSERT_TRUE(l.Connected()) << c.what;
    EXPECT_EQ(l.window.text("StaticText74"), "44") << c.what;
    l.window.texts["Edit23"] = "777";
    EXPECT_EQ(l.Exchange([&] { l.engine.Request(state::Speed); }), ExchangeOutcome::Acknowledged)
        << c.what;
    EXPECT_EQ(l.Exchange([&] { l.engine.PressReadSettings(); }), ExchangeOutcome::Acknowledged)
        << c.what;
    EXPECT_EQ(l.window.text("Edit23"), "777") << c.what;
    l.engine.StartDownload(true, Image(60), Vectors(), "L.KV3");
    ASSERT_TRUE(l.Until([&] { return l.engine.Download() != DownloadResult::Running; }, 60s))
        << c.what;
    EXPECT_EQ(l.engine.Download(), DownloadResult::Succeeded) << c.what;
    EXPECT_TRUE(l.window.messages.empty()) << c.what;
  }
}

// Why a port does not open, as the serial component tells it.
TEST(Live, OpenFailuresSayWhy) {
  sim::Simulator sim;
  SerialLink holder(QuietSettings());
  holder.SetPort(PortName{0, sim.PortPath()});
  holder.SetOpen(true);
  struct Case {
    std::string path;
    OpenFailure reason;
  };
  const Case cases[] = {
      {"/dev/kivra-no-such-port", OpenFailure::Missing},
      {"/etc/passwd", OpenFailure::NotSerial},
      {sim.PortPath(), OpenFailure::Busy},
  };
  for (const auto& c : cases) {
    SerialLink link(QuietSettings());
    link.SetPort(PortName{0, c.path});
    try {
      link.SetOpen(true);
      ADD_FAILURE() << c.path << " opened";
    } catch (const PortOpenError& e) {
      EXPECT_EQ(e.Reason(), c.reason) << c.path << ": " << e.what();
    }
    EXPECT_EQ(link.DevicePresent(PortName{0, c.path}), c.reason == OpenFailure::Busy) << c.path;
  }
  holder.Close();
}

TEST(Live, UnpluggedDriverMidDownloadIsReportedNotHung) {
  Live l;
  ASSERT_TRUE(l.Connected());
  l.engine.StartDownload(true, Image(500), Vectors(), "A.KV3");
  ASSERT_TRUE(l.Until([&] { return l.engine.Variables().downloadOffset >= 50; }));
  l.sim.Unplug();
  ASSERT_TRUE(l.Until([&] { return l.engine.Download() != DownloadResult::Running; }, 60s));
  EXPECT_EQ(l.engine.Download(), DownloadResult::Failed);
  EXPECT_FALSE(l.engine.Variables().connected);
  // Polling goes on against the dead port without a fuss.
  const auto messages = l.window.messages.size();
  l.Until([] { return false; }, 1s);
  EXPECT_FALSE(l.engine.Variables().connected);
  EXPECT_LE(l.window.messages.size(), messages + 1);
}

}  // namespace
}  // namespace kivra::link
