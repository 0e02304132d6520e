// The link engine through the real serial component against the simulated driver on a
// pseudo-terminal, on a real timer. Every wait is bounded and generous: ticks take real
// time, and sanitizers slow everything else down.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

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
  testing::Recorder seen;
  TickLoop loop;
  LinkEngine engine{serial, loop};

  explicit Live(sim::Simulator::Options line = {}) : sim(std::move(line)) {
    serial.SetPort(PortName::Device(sim.PortPath()));
    serial.SetOpen(true);
    engine.AddObserver(seen);
    engine.SetLinkEnabled(true);
  }
  ~Live() { serial.Close(); }

  bool Until(const std::function<bool()>& done, std::chrono::seconds limit = 20s) {
    return loop.Run(engine, done, TickLoop::Clock::now() + limit);
  }
  bool Connected() {
    const auto start = engine.Progress().statusCount;
    return Until(
        [&] { return engine.Progress().statusCount > start + 1 && engine.Variables().connected; });
  }
  // Presses a button and waits for its exchange to end.
  ExchangeOutcome Exchange(const std::function<void()>& press) {
    press();
    Until([&] { return engine.Progress().exchange.outcome != ExchangeOutcome::Running; });
    return engine.Progress().exchange.outcome;
  }
};

CodeImage Image(std::uint32_t length) {
  CodeImage image;
  image.bytes.fill(0xFF);
  for (std::uint32_t i = 0; i + 1 < length; ++i)
    image.bytes[i] = static_cast<std::uint8_t>(i * 13 + 1);
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
  ASSERT_TRUE(l.Until([&] { return l.engine.Progress().lastStatus.temperature == 40; }));
  const StatusReply& s = l.engine.Progress().lastStatus;
  EXPECT_TRUE(l.seen.Lit());
  EXPECT_TRUE(s.Input(1));
  EXPECT_FALSE(s.Input(2));
  EXPECT_TRUE(s.Input(6));
  EXPECT_FALSE(s.Output(1));
  EXPECT_TRUE(s.Output(2));
  EXPECT_FALSE(s.ControllerMode());  // step/dir mode
  EXPECT_EQ(s.analog1, 77);
  EXPECT_EQ(l.engine.Variables().firmwareVersion, 12);
}

TEST(Live, CommandsReachTheDriverWithTheirValues) {
  Live l;
  ASSERT_TRUE(l.Connected());
  struct Case {
    Setting setting;
    std::int32_t value;
    std::function<bool(const sim::DriverState&)> stored;
  };
  const Case cases[] = {
      {Setting::Speed, 1500, [](auto& s) { return s.motor.speed == 1500; }},
      {Setting::RunCurrent, 800, [](auto& s) { return s.motor.runningCurrent == 800; }},
      {Setting::HoldCurrent, 30, [](auto& s) { return s.motor.holdingCurrent == 30; }},
      {Setting::Microstep, 16, [](auto& s) { return s.motor.microStep == 16; }},
      {Setting::Ramp, 2500, [](auto& s) { return s.motor.ramp == 2500; }},
      {Setting::StartSpeed, 50, [](auto& s) { return s.motor.startSpeed == 50; }},
      {Setting::Displacement, -1, [](auto& s) { return s.motor.displacement == -1; }},
      {Setting::SpeedMode, 1, [](auto& s) { return s.motor.speedMode == 1; }},
      {Setting::SpeedCoefficient, 7, [](auto& s) { return s.motor.speedCoefficient == 7; }},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(l.Exchange([&] { l.engine.WriteSetting(c.setting, c.value); }),
              ExchangeOutcome::Acknowledged)
        << CommandOf(c.setting).key;
    EXPECT_TRUE(c.stored(l.sim.State())) << CommandOf(c.setting).key;
  }
  EXPECT_EQ(l.Exchange([&] { l.engine.WriteSetting(Setting::Direction, 0); }),
            ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.sim.State().motor.direction, 0u);
  EXPECT_EQ(l.Exchange([&] { l.engine.WriteParameter(10, 4321); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(sim::Parameter(l.sim.State(), 10), 4321);
  EXPECT_EQ(l.Exchange([&] { l.engine.WriteMemory(300, 99); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.sim.MemoryCell(300), 99);
  EXPECT_EQ(l.Exchange([&] { l.engine.WriteOutput(1, false); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.Exchange([&] { l.engine.Run(); }), ExchangeOutcome::Acknowledged);
  EXPECT_TRUE(l.sim.State().motorRunning);
  EXPECT_EQ(l.Exchange([&] { l.engine.Stop(); }), ExchangeOutcome::Acknowledged);
  // A refused value never reaches the driver.
  const auto frames = l.sim.State().framesReceived;
  EXPECT_EQ(l.Exchange([&] { l.engine.WriteSetting(Setting::Microstep, 3); }),
            ExchangeOutcome::Refused);
  EXPECT_EQ(l.sim.State().motor.microStep, 16u);
  EXPECT_LE(l.sim.State().framesReceived, frames + 2);  // status polls at most
}

TEST(Live, ReadButtonsFillTheBoxes) {
  Live l;
  ASSERT_TRUE(l.Connected());
  ASSERT_EQ(l.Exchange([&] { l.engine.WriteSetting(Setting::Speed, 1234); }),
            ExchangeOutcome::Acknowledged);
  ASSERT_EQ(l.Exchange([&] { l.engine.Read(Answer::MotorSettings); }),
            ExchangeOutcome::Acknowledged);
  ASSERT_TRUE(l.seen.motorSettings);
  EXPECT_EQ(l.seen.motorSettings->speed, 1234);
  EXPECT_NE(l.seen.motorSettings->direction, 0);  // right
  ASSERT_EQ(l.Exchange([&] { l.engine.WriteParameter(24, -77); }), ExchangeOutcome::Acknowledged);
  ASSERT_EQ(l.Exchange([&] { l.engine.Read(Answer::ParamBlock); }), ExchangeOutcome::Acknowledged);
  ASSERT_TRUE(l.seen.parameters);
  EXPECT_EQ(l.seen.parameters->prm21to25[24 - 21], -77);
  l.sim.SetMemoryCell(0x3FFF, 201);
  ASSERT_EQ(l.Exchange([&] { l.engine.ReadMemory(16383); }), ExchangeOutcome::Acknowledged);
  EXPECT_EQ(l.seen.memoryValue, 201);
  ASSERT_EQ(l.Exchange([&] { l.engine.Read(Answer::ServiceValues); }),
            ExchangeOutcome::Acknowledged);
  ASSERT_TRUE(l.seen.serviceValues);
  EXPECT_EQ(l.seen.serviceValues->value1, 100);
}

TEST(Live, DownloadIsStoredByteExact) {
  Live l;
  ASSERT_TRUE(l.Connected());
  const auto image = Image(80);
  l.engine.Download({true, image, Vectors(), "/home/user/programs/HOMING.KV3"});
  ASSERT_TRUE(
      l.Until([&] { return l.engine.Progress().download != DownloadResult::Running; }, 60s));
  ASSERT_EQ(l.engine.Progress().download, DownloadResult::Succeeded);
  const auto stored = l.sim.Program();
  EXPECT_EQ(stored.code.length, 80u);
  EXPECT_TRUE(std::equal(image.bytes.begin(), image.bytes.end(), stored.code.bytes.begin()));
  EXPECT_EQ(stored.vectors, Vectors());
  EXPECT_EQ(stored.name, "HOMING.KV3");
  EXPECT_TRUE(l.seen.notices.empty());
  EXPECT_TRUE(l.Connected());
}

TEST(Live, LostAcknowledgementsAreRetriedFourTimesAtMost) {
  for (std::uint32_t lost : {4u, 5u}) {
    Live l;
    ASSERT_TRUE(l.Connected());
    // The begin frame's acknowledgement is the first; the second data frame's the third.
    l.sim.AddFault({sim::ReplyKind::Ack, sim::FaultAction::Drop, 3, lost});
    l.engine.Download({true, Image(60), Vectors(), "A.KV3"});
    ASSERT_TRUE(
        l.Until([&] { return l.engine.Progress().download != DownloadResult::Running; }, 90s));
    if (lost == 4) {
      EXPECT_EQ(l.engine.Progress().download, DownloadResult::Succeeded);
      EXPECT_TRUE(l.seen.notices.empty());
    } else {
      EXPECT_EQ(l.engine.Progress().download, DownloadResult::Failed);
      EXPECT_EQ(l.seen.NoticeKinds(), std::vector<Notice>{Notice::DownloadError});
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
        l.engine.WriteSetting(Setting::Speed, 900);
      } else {
        l.engine.Read(Answer::MotorSettings);
      }
    });
    EXPECT_EQ(outcome, ExchangeOutcome::Acknowledged) << sim::FaultActionName(c.action);
    if (c.kind != sim::ReplyKind::Ack) {
      ASSERT_TRUE(l.seen.motorSettings);
      EXPECT_EQ(l.seen.motorSettings->speed, 1000);
    }
  }
}

TEST(Live, SilenceTurnsTheLightsRedAndAnswersTurnThemGreen) {
  Live l;
  ASSERT_TRUE(l.Connected());
  l.sim.SilenceFor(1500ms);
  ASSERT_TRUE(l.Until([&] { return !l.engine.Variables().connected; }));
  EXPECT_FALSE(l.seen.Lit());
  EXPECT_FALSE(l.seen.statusKnown);
  ASSERT_TRUE(l.Until([&] { return l.engine.Variables().connected; }));
  EXPECT_TRUE(l.seen.Lit());
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
    EXPECT_EQ(l.engine.Progress().lastStatus.temperature, 44) << c.what;
    EXPECT_EQ(l.Exchange([&] { l.engine.WriteSetting(Setting::Speed, 777); }),
              ExchangeOutcome::Acknowledged)
        << c.what;
    EXPECT_EQ(l.Exchange([&] { l.engine.Read(Answer::MotorSettings); }),
              ExchangeOutcome::Acknowledged)
        << c.what;
    ASSERT_TRUE(l.seen.motorSettings) << c.what;
    EXPECT_EQ(l.seen.motorSettings->speed, 777) << c.what;
    l.engine.Download({true, Image(60), Vectors(), "L.KV3"});
    ASSERT_TRUE(
        l.Until([&] { return l.engine.Progress().download != DownloadResult::Running; }, 60s))
        << c.what;
    EXPECT_EQ(l.engine.Progress().download, DownloadResult::Succeeded) << c.what;
    EXPECT_TRUE(l.seen.notices.empty()) << c.what;
  }
}

// Why a port does not open, as the serial component tells it.
TEST(Live, OpenFailuresSayWhy) {
  sim::Simulator sim;
  SerialLink holder(QuietSettings());
  holder.SetPort(PortName::Device(sim.PortPath()));
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
    link.SetPort(PortName::Device(c.path));
    try {
      link.SetOpen(true);
      ADD_FAILURE() << c.path << " opened";
    } catch (const PortOpenError& e) {
      EXPECT_EQ(e.Reason(), c.reason) << c.path << ": " << e.what();
    }
    EXPECT_EQ(link.DevicePresent(PortName::Device(c.path)), c.reason == OpenFailure::Busy)
        << c.path;
  }
  holder.Close();
}

TEST(Live, UnpluggedDriverMidDownloadIsReportedNotHung) {
  Live l;
  ASSERT_TRUE(l.Connected());
  l.engine.Download({true, Image(500), Vectors(), "A.KV3"});
  ASSERT_TRUE(l.Until([&] { return l.engine.Variables().downloadOffset >= 50; }));
  l.sim.Unplug();
  ASSERT_TRUE(
      l.Until([&] { return l.engine.Progress().download != DownloadResult::Running; }, 60s));
  EXPECT_EQ(l.engine.Progress().download, DownloadResult::Failed);
  EXPECT_FALSE(l.engine.Variables().connected);
  // Polling goes on against the dead port without a fuss.
  const auto messages = l.seen.notices.size();
  l.Until([] { return false; }, 1s);
  EXPECT_FALSE(l.engine.Variables().connected);
  EXPECT_LE(l.seen.notices.size(), messages + 1);
}

// Keeps every core busy while it lives: the tool and the driver then share a busy machine.
class BusyCores {
 public:
  BusyCores() {
    const unsigned n = std::max(2u, std::thread::hardware_concurrency());
    for (unsigned i = 0; i < n; ++i) {
      threads_.emplace_back([this] {
        volatile std::uint64_t x = 0;
        while (!stop_) x = x + 1;
      });
    }
  }
  ~BusyCores() {
    stop_ = true;
    for (auto& t : threads_) t.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<std::thread> threads_;
};

int Resends(const testing::Recorder& seen) {
  return static_cast<int>(std::ranges::count_if(seen.frames, [](const auto& f) {
    return f.event == FrameEvent::Sent && f.attempt > 1 && f.state != LinkState::StatusWait;
  }));
}

// A driver that answers within a millisecond, with every core busy: its answers arrive
// before the engine looks, and are still its answers.
TEST(Live, AFastDriverOnABusyMachineTakesTheWholeDownload) {
  Live l(sim::Simulator::Options::Fast());
  ASSERT_TRUE(l.Connected());
  BusyCores busy;
  const auto image = Image(600);
  l.engine.Download({true, image, Vectors(), "FAST.KV3"});
  ASSERT_TRUE(
      l.Until([&] { return l.engine.Progress().download != DownloadResult::Running; }, 120s));
  EXPECT_EQ(l.engine.Progress().download, DownloadResult::Succeeded);
  EXPECT_EQ(l.sim.Program().code.bytes, image.bytes);
  EXPECT_TRUE(l.seen.notices.empty());
  RecordProperty("resends", Resends(l.seen));
}

// Status replies of any length the length byte announces.
TEST(Live, StatusRepliesOfAnyLength) {
  for (const std::size_t length : {12u, 17u, 20u, 40u, 64u}) {
    sim::Simulator::Options o;
    o.driver.statusLength = length;
    Live l(o);
    l.sim.SetTemperature(51);
    ASSERT_TRUE(l.Connected()) << length;
    EXPECT_EQ(l.engine.Progress().lastStatus.temperature, 51) << length;
  }
}

// One reply 120 ms late: afterwards each poll is answered by its own reply, so no more
// replies are accepted than polls were sent.
TEST(Live, OneLateStatusReplyLeavesNoLag) {
  Live l;
  ASSERT_TRUE(l.Connected());
  l.sim.SetLateDelay(120ms);
  l.sim.AddFault({sim::ReplyKind::Status, sim::FaultAction::Delay, 1, 1});
  l.Until([] { return false; }, 1s);  // the late reply comes and goes
  const auto polls = [&] {
    return std::ranges::count_if(l.seen.frames, [](const auto& f) {
      return f.event == FrameEvent::Sent && f.bytes.size() == 8 && f.bytes[2] == 's';
    });
  };
  const auto sentBefore = polls();
  const auto acceptedBefore = l.engine.Progress().statusCount;
  l.Until([] { return false; }, 2s);
  // A reply that misses its own time-out on a slow machine may still be taken by the next
  // poll, once; a link that stayed a poll behind would take one more for every poll.
  EXPECT_LE(l.engine.Progress().statusCount - acceptedBefore,
            static_cast<std::uint64_t>(polls() - sentBefore) + 1);
  EXPECT_TRUE(l.engine.Variables().connected);
}

// A line that carries only noise: nothing ever answers, so nothing counts as connected.
TEST(Live, NoiseWithoutADriverIsNotConnected) {
  sim::Simulator::Options o;
  o.noiseEvery = 20ms;
  Live l(o);
  l.sim.SilenceFor(std::chrono::minutes(10));
  l.Until([] { return false; }, 1s);
  EXPECT_FALSE(l.engine.Variables().connected);
  EXPECT_EQ(l.engine.Progress().statusCount, 0u);
  EXPECT_EQ(l.Exchange([&] { l.engine.Read(Answer::ParamBlock); }), ExchangeOutcome::Failed);
  EXPECT_EQ(l.engine.Progress().exchange.why, FrameFailure::TimeOut);
}

// One broken status reply in twenty leaves the lamps lime: failed polls count in a row.
TEST(Live, RareBrokenRepliesDoNotShowTheDriverGone) {
  Live l;
  ASSERT_TRUE(l.Connected());
  for (std::uint32_t n = 20; n <= 200; n += 20)
    l.sim.AddFault({sim::ReplyKind::Status, sim::FaultAction::Garble, n, 1});
  const auto from = l.seen.statuses.size();
  l.Until([] { return false; }, 3s);
  EXPECT_TRUE(l.engine.Variables().connected);
  for (std::size_t i = from; i < l.seen.statuses.size(); ++i)
    EXPECT_EQ(l.seen.statuses[i], LinkStatus::Answering);
}

}  // namespace
}  // namespace kivra::link
