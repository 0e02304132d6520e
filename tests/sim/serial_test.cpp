// The simulated driver through the real serial component, as the tool will use it.

#include <gtest/gtest.h>

#include <thread>

#include "serial/serial_port.h"
#include "sim/simulator.h"
#include "tests/sim/tool_port.h"

namespace kivra::sim {
namespace {

using namespace test;

serial::PortSettings Settings() {
  serial::PortSettings s = serial::PortSettings::DriverLink();
  s.logging = serial::LogState::LogOff;
  return s;
}

template <typename Condition>
bool Eventually(Condition condition) {
  const auto deadline = Clock::now() + kPatience;
  while (!condition()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

Bytes Ask(serial::SerialPort& port, const Bytes& frame, std::size_t replyLength) {
  for (std::uint8_t b : frame) port.PutChar(b);
  if (!Eventually([&] { return port.GetInBufferUsed() >= replyLength; })) return {};
  Bytes reply(port.GetInBufferUsed());
  port.GetBlock(reply);
  return reply;
}

TEST(SimulatorWithSerialPort, AnswersEveryOpenOfThePort) {
  Simulator sim;
  sim.SetTemperature(33);
  serial::SerialPort port(Settings());
  port.SetDevice(sim.PortPath());
  for (int round = 0; round < 3; ++round) {
    port.SetOpen(true);
    const Bytes reply = Ask(port, Command('s'), 16);
    ASSERT_EQ(reply.size(), 16u) << round;
    EXPECT_EQ(reply[1], 's');
    EXPECT_EQ(reply[6], 33);
    EXPECT_EQ(Ask(port, Command('V', 300 + round), 1), Bytes{Ack});
    port.SetOpen(false);
  }
  EXPECT_EQ(sim.State().motor.speed, 302u);
}

TEST(SimulatorWithSerialPort, AnUnplugIsNoticedAndTheNewPortOpens) {
  Simulator sim;
  serial::SerialPort port(Settings());
  port.SetDevice(sim.PortPath());
  port.SetOpen(true);
  ASSERT_EQ(Ask(port, Command('s'), 16).size(), 16u);

  sim.Unplug();
  EXPECT_TRUE(Eventually([&] { return port.DeviceLost(); }));
  port.SetOpen(false);

  sim.Replug();
  port.SetDevice(sim.PortPath());
  port.SetOpen(true);
  EXPECT_EQ(Ask(port, Command('s'), 16).size(), 16u);
}

}  // namespace
}  // namespace kivra::sim
