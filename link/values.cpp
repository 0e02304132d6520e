#include "link/values.h"

#include <algorithm>
#include <array>

#include "common/driver_protocol.h"

namespace kivra::link {
namespace {

namespace code = protocol::code;

constexpr std::array<SettingRule, 12> kRules = {{
    {Setting::Speed, code::Speed, "speed", Accept::Range, 1, 15000},
    {Setting::RunCurrent, code::RunCurrent, "run-current", Accept::Range, 0, 1000},
    {Setting::HoldCurrent, code::HoldCurrent, "hold-current", Accept::Range, 0, 100},
    {Setting::Microstep, code::Microstep, "microstep", Accept::Microstep},
    {Setting::Ramp, code::Ramp, "ramp", Accept::Range, 0, 9999},
    {Setting::StartSpeed, code::StartSpeed, "start-speed", Accept::Range, 10, 15000},
    {Setting::Displacement, code::Displacement, "displacement", Accept::Any},
    {Setting::Direction, code::Direction, "direction", Accept::Range, 0, 1},
    {Setting::SpeedMode, code::SpeedMode, "speed-mode", Accept::Range, 0, 1},
    {Setting::SpeedCoefficient, code::SpeedCoefficient, "speed-coefficient", Accept::Any},
    {Setting::Service1, code::Service1, "service1", Accept::Range, 70, 100},
    {Setting::Service2, code::Service2, "service2", Accept::Range, 70, 100},
}};

constexpr bool RulesInEnumOrder() {
  for (std::size_t i = 0; i < kRules.size(); ++i)
    if (static_cast<std::size_t>(kRules[i].setting) != i) return false;
  return true;
}
static_assert(RulesInEnumOrder());

}  // namespace

std::span<const SettingRule> SettingRules() {
  return kRules;
}

const SettingRule& RuleOf(Setting setting) {
  return kRules[static_cast<std::size_t>(setting)];
}

std::optional<Setting> SettingByKey(std::string_view key) {
  for (const auto& r : kRules)
    if (r.key == key) return r.setting;
  return std::nullopt;
}

bool Accepts(Setting setting, std::int32_t value) {
  const SettingRule& r = RuleOf(setting);
  const auto u = static_cast<std::uint32_t>(value);
  switch (r.accept) {
    case Accept::Any:
      return true;
    case Accept::Range:
      return u >= r.low && u <= r.high;
    case Accept::Microstep:
      return std::ranges::find(kMicrosteps, u) != std::end(kMicrosteps);
  }
  return false;
}

Refusal CheckSetting(Setting setting, Entered value) {
  if (!value) return Refusal::NotANumber;
  return Accepts(setting, *value) ? Refusal::None : Refusal::OutOfRange;
}

std::uint16_t MemoryReadAddress(Entered address) {
  if (!address || *address <= 0 || static_cast<std::uint32_t>(*address) > kLastMemoryAddress)
    return 1;
  return static_cast<std::uint16_t>(*address);
}

std::optional<std::uint32_t> MemoryWriteValue(Entered address, Entered data) {
  if (!address || !data || static_cast<std::uint32_t>(*address) > kLastMemoryAddress)
    return std::nullopt;
  return static_cast<std::uint32_t>(*data) * 65536u + static_cast<std::uint32_t>(*address);
}

std::string AcceptedValues(Setting setting) {
  const SettingRule& r = RuleOf(setting);
  switch (r.accept) {
    case Accept::Any:
      return {};
    case Accept::Range:
      return std::to_string(r.low) + ".." + std::to_string(r.high);
    case Accept::Microstep: {
      std::string text;
      for (auto m : kMicrosteps) text += (text.empty() ? "" : ", ") + std::to_string(m);
      return text;
    }
  }
  return {};
}

std::uint8_t ParameterCode(int prm) {
  return IsWideParameter(prm) ? code::Param32 : code::Param16;
}

std::uint8_t ParameterIndex(int prm) {
  return static_cast<std::uint8_t>(IsWideParameter(prm) ? prm - 21 : prm - 1);
}

}  // namespace kivra::link
