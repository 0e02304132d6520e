#include "link/integer.h"

#include <algorithm>

#include "common/decimal.h"
#include "link/values.h"

namespace kivra::link {

// The boxes take numbers as the program language does, signed decimal digits, with
// blanks (spaces or tabs) around them.
std::optional<std::int32_t> ParseInteger(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  return ToInt32(s.substr(first, s.find_last_not_of(" \t") + 1 - first));
}

std::string StepMemoryAddress(std::string_view box, int delta) {
  const auto value = ParseInteger(box);
  if (!value) return "0";
  const std::int64_t v = *value;
  return std::to_string(delta > 0 ? std::min<std::int64_t>(v + 1, kLastMemoryAddress)
                                  : std::max<std::int64_t>(v - 1, 0));
}

}  // namespace kivra::link
