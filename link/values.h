#pragma once

// The values a user may write into the driver, and the one check of each. The direct-control
// page, the command line and parameter files all go through these functions, so a value is
// refused in the same way wherever it is typed. Which values a setting accepts is its
// command's row in link/commands.h.

#include <cstdint>
#include <optional>
#include <string>

#include "link/commands.h"

namespace kivra::link {

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
// 32-bit ('u', index prm - 21). The driver keeps and reports Prm 9..20 as 16-bit values,
// 0 to 65535, so a value outside that range would come back as another number: it is not
// sent. Prm 21..25 take any 32-bit integer.
inline constexpr int kFirstParameter = 9;
inline constexpr int kLastParameter = 25;
inline constexpr int kParameterCount = kLastParameter - kFirstParameter + 1;
inline constexpr std::int32_t kLargest16BitParameter = 65535;
inline constexpr bool IsParameter(int prm) {
  return prm >= kFirstParameter && prm <= kLastParameter;
}
inline constexpr bool IsWideParameter(int prm) {
  return prm >= 21 && prm <= kLastParameter;
}
std::uint8_t ParameterCode(int prm);
std::uint8_t ParameterIndex(int prm);
// The one check of a parameter's value: None when it may be sent.
Refusal CheckParameter(int prm, Entered value);
// "0..65535" for Prm 9..20, empty for the 32-bit ones.
std::string AcceptedParameterValues(int prm);

// Memory cells the driver lets the tool read and write: 1 to 3FFFh for reading, 0 to 3FFFh
// for writing.
inline constexpr std::uint32_t kFirstReadableAddress = 1;
inline constexpr std::uint32_t kLastMemoryAddress = 0x3FFF;

// The one check of a memory read's address: None when it may be sent.
Refusal CheckMemoryRead(Entered address);
// The value of a memory write's frame, data x 65536 + address; nothing when either is
// missing or the address is beyond the last cell.
std::optional<std::uint32_t> MemoryWriteValue(Entered address, Entered data);

}  // namespace kivra::link
