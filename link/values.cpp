#include "link/values.h"

#include <algorithm>

#include "common/driver_protocol.h"

namespace kivra::link {

bool Accepts(Setting setting, std::int32_t value) {
  const ValueRule& r = CommandOf(setting).rule;
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

Refusal CheckParameter(int prm, Entered value) {
  if (!value) return Refusal::NotANumber;
  if (!IsParameter(prm)) return Refusal::OutOfRange;
  if (IsWideParameter(prm)) return Refusal::None;
  return *value >= 0 && *value <= kLargest16BitParameter ? Refusal::None : Refusal::OutOfRange;
}

std::string AcceptedParameterValues(int prm) {
  if (!IsParameter(prm) || IsWideParameter(prm)) return {};
  return "0.." + std::to_string(kLargest16BitParameter);
}

Refusal CheckMemoryRead(Entered address) {
  if (!address) return Refusal::NotANumber;
  return *address >= static_cast<std::int32_t>(kFirstReadableAddress) &&
                 *address <= static_cast<std::int32_t>(kLastMemoryAddress)
             ? Refusal::None
             : Refusal::OutOfRange;
}

std::optional<std::uint32_t> MemoryWriteValue(Entered address, Entered data) {
  if (!address || !data || static_cast<std::uint32_t>(*address) > kLastMemoryAddress)
    return std::nullopt;
  return static_cast<std::uint32_t>(*data) * 65536u + static_cast<std::uint32_t>(*address);
}

std::string AcceptedValues(Setting setting) {
  const ValueRule& r = CommandOf(setting).rule;
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
  return IsWideParameter(prm) ? protocol::code::Param32 : protocol::code::Param16;
}

std::uint8_t ParameterIndex(int prm) {
  return static_cast<std::uint8_t>(IsWideParameter(prm) ? prm - 21 : prm - 1);
}

}  // namespace kivra::link
