#include "link/integer.h"

#include <algorithm>

#include "compiler/operands.h"

namespace kivra::link {

// The boxes take numbers as the program language does: signed decimal digits.
std::optional<std::int32_t> ParseInteger(std::string_view s) {
  return compiler::ToInt32(compiler::Trim(s));
}

std::string StepMemoryAddress(std::string_view box, int delta) {
  const auto value = ParseInteger(box);
  if (!value) return "0";
  const std::int64_t v = *value;
  return std::to_string(delta > 0 ? std::min<std::int64_t>(v + 1, 0x3FFF) : std::max<std::int64_t>(v - 1, 0));
}

}  // namespace kivra::link
