#pragma once

// The values a user may write into the driver, and the one check of each. The direct-control
// page, the command line and parameter files all go through these functions, so a value is
// refused in the same way wherever it is typed.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kivra::link {

// The motor settings and the two service values, each written by its own command.
enum class Setting : std::uint8_t {
  Speed,
  RunCurrent,
  HoldCurrent,
  Microstep,
  Ramp,
  StartSpeed,
  Displacement,
  Direction,  // 0 left, 1 right
  SpeedMode,
  SpeedCoefficient,
  Service1,
  Service2,
};

// Which values a setting accepts. The bounds compare unsigned, as the driver's own tool
// always has, so a negative number fails every upper bound.
enum class Accept : std::uint8_t { Any, Range, Microstep };

struct SettingRule {
  Setting setting;
  std::uint8_t code;     // byte 2 of its command frame
  std::string_view key;  // its name on the command line and in parameter files
  Accept accept;
  std::uint32_t low = 0;
  std::uint32_t high = 0;
};

// Every setting, in the order of the enum.
std::span<const SettingRule> SettingRules();
const SettingRule& RuleOf(Setting setting);
std::optional<Setting> SettingByKey(std::string_view key);

// True when the driver may be sent `value` for `setting`.
bool Accepts(Setting setting, std::int32_t value);

// Why a value is not sent.
enum class Refusal : std::uint8_t { None, NotANumber, OutOfRange };

// A value as the user entered it: nothing when the text held no integer.
using Entered = std::optional<std::int32_t>;

// The one check of a value for `setting`: None when it may be sent.
Refusal CheckSetting(Setting setting, Entered value);
// The accepted values for a message: "1..15000", "1, 2, 4, 5, 8, 10, 16, 25", or empty for
// any 32-bit integer.
std::string AcceptedValues(Setting setting);

// The micro-step values the driver knows.
inline constexpr std::uint32_t kMicrosteps[] = {1, 2, 4, 5, 8, 10, 16, 25};

// Driver parameters Prm 9 to Prm 25: 9..20 are 16-bit ('k', index prm - 1), 21..25 are
// 32-bit ('u', index prm - 21). Any integer is sent; the 16-bit ones as 32-bit values.
inline constexpr int kFirstParameter = 9;
inline constexpr int kLastParameter = 25;
inline constexpr int kParameterCount = kLastParameter - kFirstParameter + 1;
inline constexpr bool IsParameter(int prm) {
  return prm >= kFirstParameter && prm <= kLastParameter;
}
inline constexpr bool IsWideParameter(int prm) {
  return prm >= 21 && prm <= kLastParameter;
}
std::uint8_t ParameterCode(int prm);
std::uint8_t ParameterIndex(int prm);

// Memory cells the driver lets the tool read and write.
inline constexpr std::uint32_t kLastMemoryAddress = 0x3FFF;

// The cell a memory read asks for: an address that is missing, not a number, 0 or beyond
// the last cell reads cell 1.
std::uint16_t MemoryReadAddress(Entered address);
// The value of a memory write's frame, data x 65536 + address; nothing when either is
// missing or the address is beyond the last cell.
std::optional<std::uint32_t> MemoryWriteValue(Entered address, Entered data);

}  // namespace kivra::link
