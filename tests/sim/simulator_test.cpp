#include "sim/simulator.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "tests/sim/tool_port.h"

namespace kivra::sim {
namespace {

using namespace test;

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("kivra-sim-test-" + std::to_string(getpid()) + "-" + name))
      .string();
}

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

TEST(Simulator, AnswersOnThePortAfterTheLineTime) {
  Simulator sim;
  sim.SetInputs(0x3F);
  sim.SetTemperature(40);
  ToolPort tool(sim.PortPath());
  ASSERT_TRUE(tool.IsOpen()) << sim.PortPath();

  const auto sent = Clock::now();
  const Bytes reply = tool.Ask(Bytes{0x08, 0x4B, 0x73, 0x00, 0x00, 0x00, 0x00, 0x30}, 16);
  const auto took = Clock::now() - sent;
  ASSERT_EQ(reply.size(), 16u);
  EXPECT_EQ(reply[0], 16);
  EXPECT_EQ(reply[1], 's');
  EXPECT_EQ(reply[2], 0x3F);
  EXPECT_EQ(reply[6], 40);
  EXPECT_EQ(Xor(reply), 0);
  EXPECT_GE(took, 16 * LineByteTime);  // never sooner than 16 bytes take at 9600 baud
}

// On a real line the request takes its own line time to arrive, the driver turns round,
// and each byte of the answer takes its time: no byte comes sooner than that allows.
TEST(Simulator, NoByteSoonerThanTheLineAllows) {
  struct Case {
    const char* what;
    Simulator::Options options;
    std::chrono::nanoseconds firstByte, lastByte;  // after the request was written
  };
  const auto turn = Driver::Options{}.turnaround;
  Simulator::Options usb;
  usb.line.usbLatency = 16ms;
  Simulator::Options twelve;
  twelve.driver.statusLength = 12;
  const Case cases[] = {
      {"byte by byte", {}, 9 * LineByteTime + turn, 24 * LineByteTime + turn},
      {"through a USB adapter", usb, 9 * LineByteTime + turn, 24 * LineByteTime + turn},
      {"12-byte status", twelve, 9 * LineByteTime + turn, 20 * LineByteTime + turn},
      {"whole replies", Simulator::Options::WholeReplies(), 16 * LineByteTime, 16 * LineByteTime},
  };
  for (const auto& c : cases) {
    Simulator sim(c.options);
    ToolPort tool(sim.PortPath());
    const std::size_t length = c.options.driver.statusLength;
    const auto sent = Clock::now();
    tool.Write(Command('s'));
    const Bytes first = tool.Read(1);
    const auto firstAt = Clock::now() - sent;
    const Bytes rest = tool.Read(length - first.size());
    const auto lastAt = Clock::now() - sent;
    ASSERT_EQ(first.size() + rest.size(), length) << c.what;
    EXPECT_EQ(first[0], length) << c.what;
    EXPECT_GE(firstAt, c.firstByte) << c.what;
    EXPECT_GE(lastAt, c.lastByte) << c.what;
  }
}

TEST(Simulator, StoresADownloadSentThroughThePort) {
  Simulator sim;
  ToolPort tool(sim.PortPath());
  Bytes code(300);
  for (std::size_t i = 0; i < code.size(); ++i) code[i] = static_cast<std::uint8_t>(i);
  code.back() = 0xFF;

  ASSERT_EQ(tool.Ask(Command('P'), 1), Bytes{Ack});
  for (std::size_t offset = 0; offset < code.size(); offset += 25) {
    Bytes payload = {static_cast<std::uint8_t>(offset >> 8), static_cast<std::uint8_t>(offset)};
    const std::size_t n = std::min<std::size_t>(25, code.size() - offset);
    payload.insert(payload.end(), code.begin() + offset, code.begin() + offset + n);
    ASSERT_EQ(tool.Ask(BuildFrame('P', payload), 1), Bytes{Ack}) << offset;
  }
  Bytes vectors = {0x01, 0x2C};
  for (int r = 0; r < 6; ++r) vectors.insert(vectors.end(), {0x02, 0x00, 0x00, 0xFF, 0xFF});
  ASSERT_EQ(tool.Ask(BuildFrame('V', vectors), 1), Bytes{Ack});
  ASSERT_EQ(tool.Ask(BuildFrame('N', Bytes{'A', '.', 'K', 'V', '3'}), 1), Bytes{Ack});

  const StoredProgram p = sim.Program();
  EXPECT_TRUE(std::equal(code.begin(), code.end(), p.code.bytes.begin()));
  EXPECT_EQ(p.code.bytes[300], 0xFF);
  EXPECT_EQ(p.code.length, 300u);
  EXPECT_EQ(p.name, "A.KV3");
  EXPECT_EQ(sim.ReceivedFrames().size(), 1u + 12u + 2u);
}

TEST(Simulator, FramesSplitAcrossWritesAndGarbageBetweenThem) {
  Simulator sim;
  ToolPort tool(sim.PortPath());
  const Bytes speed = Command('V', 1234);
  tool.Write(Bytes(speed.begin(), speed.begin() + 3));
  std::this_thread::sleep_for(20ms);  // the split itself is what is tried here
  tool.Write(Bytes(speed.begin() + 3, speed.end()));
  EXPECT_EQ(tool.Read(1), Bytes{Ack});

  tool.Write(Bytes{0x00, 0x99, 0x13});
  EXPECT_EQ(tool.Ask(Command('s'), 16).size(), 16u);
  EXPECT_EQ(sim.State().motor.speed, 1234u);
  EXPECT_EQ(sim.State().bytesDiscarded, 3u);
}

TEST(Simulator, ThePortCanBeClosedAndOpenedAgainWithoutSpinning) {
  Simulator sim;
  for (int round = 0; round < 3; ++round) {
    ToolPort tool(sim.PortPath());
    ASSERT_TRUE(tool.IsOpen());
    EXPECT_EQ(tool.Ask(Command('s'), 16).size(), 16u) << round;
  }
  // A request the tool does not stay for: its reply is lost, never delivered to the
  // next program that opens the port.
  {
    ToolPort tool(sim.PortPath());
    tool.Write(Command('t'));
    ASSERT_TRUE(
        sim.WaitUntil([](const DriverState& s) { return s.framesReceived == 4; }, kPatience));
  }
  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = Clock::now();
  std::this_thread::sleep_for(300ms);  // nobody has the port open: the runner must idle
  const double cpu = ProcessCpuSeconds() - cpuBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
  EXPECT_LT(cpu, wall / 2);

  ToolPort tool(sim.PortPath());
  const Bytes reply = tool.Ask(Command('s'), 16);
  ASSERT_EQ(reply.size(), 16u);
  EXPECT_EQ(reply[1], 's');  // not the motor-settings reply nobody read
}

TEST(Simulator, UnplugHangsUpAndReplugAnswersWithTheSameState) {
  Simulator sim;
  const std::string first = sim.PortPath();
  {
    ToolPort tool(first);
    EXPECT_EQ(tool.Ask(Command('V', 4321), 1), Bytes{Ack});
    sim.Unplug();
    EXPECT_TRUE(tool.HungUp());
    EXPECT_FALSE(sim.Plugged());
    EXPECT_EQ(sim.PortPath(), "");
    sim.Unplug();  // twice is harmless
  }
  sim.Replug();
  ASSERT_TRUE(sim.Plugged());
  ToolPort tool(sim.PortPath());
  ASSERT_TRUE(tool.IsOpen());
  const Bytes settings = tool.Ask(Command('t'), 23);
  ASSERT_EQ(settings.size(), 23u);
  EXPECT_EQ(settings[2] << 8 | settings[3], 4321);

  sim.Stop();
  EXPECT_TRUE(tool.HungUp());
  EXPECT_EQ(sim.State().motor.speed, 4321u);  // the model outlives the port
}

// An adapter plugged into the same socket comes back as the same device, once no one
// holds the old one any more.
TEST(Simulator, ReplugOnTheSameDevice) {
  Simulator sim;
  const std::string first = sim.PortPath();
  {
    ToolPort tool(first);
    sim.Unplug();
    EXPECT_TRUE(tool.HungUp());
  }
  sim.Replug(true);
  if (sim.PortPath() != first) GTEST_SKIP() << "another program took " << first;
  ToolPort tool(sim.PortPath());
  EXPECT_EQ(tool.Ask(Command('s'), 16).size(), 16u);
}

TEST(Simulator, KeepsALinkToThePort) {
  const std::string link = TempPath("link");
  std::filesystem::remove(link);
  std::filesystem::create_symlink("/nonexistent/stale", link);  // left by a killed run
  {
    Simulator::Options options;
    options.linkPath = link;
    Simulator sim(options);
    EXPECT_EQ(std::filesystem::read_symlink(link), sim.PortPath());
    {
      ToolPort tool(link);
      EXPECT_EQ(tool.Ask(Command('s'), 16).size(), 16u);
    }
    sim.Unplug();
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    sim.Replug();
    EXPECT_EQ(std::filesystem::read_symlink(link), sim.PortPath());
  }
  EXPECT_FALSE(std::filesystem::is_symlink(link));
}

TEST(Simulator, NeverReplacesAFileWithItsLink) {
  const std::string path = TempPath("file");
  std::ofstream(path) << "keep me";
  Simulator::Options options;
  options.linkPath = path;
  EXPECT_THROW(Simulator{options}, std::system_error);
  std::ifstream in(path);
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "keep me");
  std::filesystem::remove(path);
}

TEST(Simulator, ReportsWhatItReceivesAndSends) {
  std::mutex m;
  std::condition_variable cv;
  std::vector<Event> events;
  Simulator::Options options;
  options.observer = [&](const Event& e) {
    std::lock_guard lock(m);
    events.push_back(e);
    cv.notify_all();
  };
  Simulator sim(options);
  ToolPort tool(sim.PortPath());
  const Bytes reply = tool.Ask(Command('s'), 16);

  std::unique_lock lock(m);
  ASSERT_TRUE(cv.wait_for(lock, kPatience, [&] { return events.size() >= 2; }));
  EXPECT_EQ(events[0].kind, Event::Kind::Received);
  EXPECT_EQ(events[0].text, "status request");
  EXPECT_EQ(events[1].kind, Event::Kind::Sent);
  EXPECT_EQ(events[1].bytes, reply);
  EXPECT_EQ(events[1].text, "status");
}

TEST(Simulator, FaultsAndSilenceOnThePort) {
  Simulator sim;
  ToolPort tool(sim.PortPath());
  sim.AddFault({ReplyKind::Ack, FaultAction::Drop, 1, 1});
  sim.AddFault({ReplyKind::Status, FaultAction::WrongLetter, 1, 1});
  tool.Write(Command('V', 5));  // its acknowledgement is dropped
  const Bytes wrong = tool.Ask(Command('s'), 16);
  ASSERT_EQ(wrong.size(), 16u);
  EXPECT_EQ(wrong[1], 't');
  EXPECT_EQ(Xor(wrong), 0);

  sim.SilenceFor(1h);
  tool.Write(Command('V', 6));
  ASSERT_TRUE(sim.WaitUntil([](const DriverState& s) { return s.framesReceived == 3; }, kPatience));
  EXPECT_EQ(sim.State().motor.speed, 5u);
  sim.SilenceFor(0s);
  EXPECT_EQ(tool.Ask(Command('V', 7), 1), Bytes{Ack});
}

TEST(Simulator, ScriptRunsWhileTheToolWatches) {
  Simulator::Options options;
  options.driver.scriptStep = 20ms;
  Simulator sim(options);
  ToolPort tool(sim.PortPath());
  // 0: L: WAIT; 1: IFINP 2 = 1 GO E; 7: JUMP L; 10: E: END
  ASSERT_EQ(tool.Ask(Command('P'), 1), Bytes{Ack});
  ASSERT_EQ(tool.Ask(BuildFrame('P', Bytes{0x00, 0x00, 0x13, 0x0B, 2, 1, 0x09, 0x00, 0x0A, 0x09,
                                           0x00, 0x00, 0xFF}),
                     1),
            Bytes{Ack});
  ASSERT_EQ(tool.Ask(Command('G'), 1), Bytes{Ack});
  // Input 2 off: round the loop, and again.
  EXPECT_TRUE(sim.WaitUntil([](const DriverState& s) { return s.scriptAddress == 7; }, kPatience));
  EXPECT_TRUE(sim.WaitUntil([](const DriverState& s) { return s.scriptAddress == 0; }, kPatience));
  EXPECT_TRUE(sim.WaitUntil([](const DriverState& s) { return s.scriptAddress == 7; }, kPatience));
  const Bytes status = tool.Ask(Command('s'), 16);
  ASSERT_EQ(status.size(), 16u);
  EXPECT_TRUE(status[5] & 0x02);
  sim.SetInput(2, true);
  EXPECT_TRUE(sim.WaitUntil([](const DriverState& s) { return !s.scriptRunning; }, kPatience));
}

TEST(Simulator, SettersRaceWithTheToolSafely) {
  Simulator sim;
  ToolPort tool(sim.PortPath());
  sim.SetInputs(0x15);
  std::atomic<bool> done{false};
  std::thread world([&] {
    for (std::uint8_t i = 0; !done; ++i) {
      sim.SetInputs(i % 2 ? 0x15 : 0x2A);
      sim.SetAnalog(1, i);
      sim.SetTemperature(i);
    }
  });
  for (int i = 0; i < 20; ++i) {
    const Bytes reply = tool.Ask(Command('s'), 16);
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_TRUE(reply[2] == 0x15 || reply[2] == 0x2A) << int(reply[2]);
  }
  done = true;
  world.join();
}

}  // namespace
}  // namespace kivra::sim
