#include "sim/conditions.h"

#include <gtest/gtest.h>

#include "tests/sim/tool_port.h"

namespace kivra::sim {
namespace {

using namespace test;

TEST(Conditions, SettingsAreCheckedAndApplied) {
  struct Case {
    const char* name;
    const char* value;
    bool ok;
  };
  const Case cases[] = {
      {"inputs", "0b100101", true},   {"inputs", "64", false},    {"inputs", "", false},
      {"inputs", "-1", false},        {"inputs", "5x", false},    {"analog1", "255", true},
      {"analog1", "256", false},      {"analog2", "0x10", true},  {"temperature", "31", true},
      {"temperature", "warm", false}, {"mode", "0", true},        {"silent", "0", true},
      {"silent", "soon", false},      {"drop", "ack:2:3", true},  {"garble", "s", true},
      {"split", "t:1", true},         {"delay", "n:1:1", true},   {"wrong-letter", "A", true},
      {"drop", "ack:0", false},       {"drop", "ack:1:0", false}, {"drop", "S", false},
      {"drop", "ack:", false},        {"clear-faults", "", true}, {"clear-faults", "1", false},
      {"speed", "5", false},
  };
  Simulator sim;
  for (const auto& c : cases) {
    EXPECT_EQ(ApplyCondition(sim, c.name, c.value).ok, c.ok) << c.name << " " << c.value;
  }
  const DriverState s = sim.State();
  EXPECT_EQ(s.inputs, 0x25);
  EXPECT_EQ(s.analog1, 255);
  EXPECT_EQ(s.analog2, 0x10);
  EXPECT_EQ(s.temperature, 31);
  EXPECT_EQ(s.modeFlags, 0);
}

TEST(Conditions, FaultAndPortConditionsActOnTheRunningSimulator) {
  Simulator sim;
  ASSERT_TRUE(ApplyCondition(sim, "wrong-letter", "s:2").ok);
  {
    ToolPort tool(sim.PortPath());
    EXPECT_EQ(tool.Ask(Command('s'), 16)[1], 's');
    EXPECT_EQ(tool.Ask(Command('s'), 16)[1], 't');
    EXPECT_EQ(tool.Ask(Command('s'), 16)[1], 's');
    ASSERT_TRUE(ApplyCondition(sim, "unplug", "").ok);
    EXPECT_TRUE(tool.HungUp());
  }
  EXPECT_EQ(ApplyCondition(sim, "port", "").message, "unplugged");
  const auto replugged = ApplyCondition(sim, "replug", "");
  ASSERT_TRUE(replugged.ok);
  EXPECT_EQ(replugged.message, "port " + sim.PortPath());
  const auto state = ApplyCondition(sim, "state", "");
  EXPECT_NE(state.message.find("frames 3"), std::string::npos) << state.message;
}

}  // namespace
}  // namespace kivra::sim
