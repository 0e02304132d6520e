#include "link/values.h"

#include <gtest/gtest.h>

#include "common/driver_protocol.h"

namespace kivra::link {
namespace {

struct Case {
  Setting setting;
  std::int32_t value;
  bool accepted;
};

TEST(Values, EachSettingRefusesExactlyWhatTheBoxesRefuse) {
  const Case cases[] = {
      {Setting::Speed, 0, false},
      {Setting::Speed, 1, true},
      {Setting::Speed, 15000, true},
      {Setting::Speed, 15001, false},
      {Setting::RunCurrent, 1000, true},
      {Setting::RunCurrent, 1001, false},
      {Setting::HoldCurrent, 100, true},
      {Setting::HoldCurrent, -1, false},  // unsigned bound
      {Setting::Microstep, 3, false},
      {Setting::Microstep, 25, true},
      {Setting::Microstep, 5, true},
      {Setting::Microstep, 0, false},
      {Setting::Ramp, 9999, true},
      {Setting::Ramp, 10000, false},
      {Setting::StartSpeed, 9, false},
      {Setting::StartSpeed, 10, true},
      {Setting::Displacement, -1, true},
      {Setting::Displacement, INT32_MIN, true},
      {Setting::Direction, 1, true},
      {Setting::Direction, 2, false},
      {Setting::SpeedMode, 1, true},
      {Setting::SpeedMode, 2, false},
      {Setting::SpeedCoefficient, -7, true},
      {Setting::Service1, 69, false},
      {Setting::Service2, 70, true},
      {Setting::Service2, 100, true},
      {Setting::Service1, 101, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Accepts(c.setting, c.value), c.accepted)
        << CommandOf(c.setting).key << " " << c.value;
}

// The keys are what users type on the command line and keep in parameter files.
TEST(Values, KeysAndAcceptedValues) {
  const std::pair<const char*, Setting> keys[] = {
      {"speed", Setting::Speed},
      {"run-current", Setting::RunCurrent},
      {"hold-current", Setting::HoldCurrent},
      {"microstep", Setting::Microstep},
      {"ramp", Setting::Ramp},
      {"start-speed", Setting::StartSpeed},
      {"displacement", Setting::Displacement},
      {"direction", Setting::Direction},
      {"speed-mode", Setting::SpeedMode},
      {"speed-coefficient", Setting::SpeedCoefficient},
      {"service1", Setting::Service1},
      {"service2", Setting::Service2},
  };
  for (const auto& [key, setting] : keys) EXPECT_EQ(SettingByKey(key), setting) << key;
  EXPECT_FALSE(SettingByKey("Speed"));
  EXPECT_EQ(AcceptedValues(Setting::Speed), "1..15000");
  EXPECT_EQ(AcceptedValues(Setting::Microstep), "1, 2, 4, 5, 8, 10, 16, 25");
  EXPECT_EQ(AcceptedValues(Setting::Displacement), "");
}

TEST(Values, ParametersMapToTheirFrameCodeAndIndex) {
  EXPECT_FALSE(IsParameter(8));
  EXPECT_FALSE(IsParameter(26));
  EXPECT_EQ(ParameterCode(9), protocol::code::Param16);
  EXPECT_EQ(ParameterIndex(9), 8);
  EXPECT_EQ(ParameterIndex(20), 19);
  EXPECT_EQ(ParameterCode(21), protocol::code::Param32);
  EXPECT_EQ(ParameterIndex(21), 0);
  EXPECT_EQ(ParameterIndex(25), 4);
}

}  // namespace
}  // namespace kivra::link
