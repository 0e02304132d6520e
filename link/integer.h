#pragma once

// Integers as the user types them into the boxes: decimal, an optional sign, blanks around
// them allowed, within the signed 32-bit range. Anything else is "not a number".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivra::link {

std::optional<std::int32_t> ParseInteger(std::string_view text);

// The memory-access Up and Down buttons: the address box plus or minus one, kept within
// 0..3FFFh; a box that holds no number becomes "0".
std::string StepMemoryAddress(std::string_view box, int delta);

}  // namespace kivra::link
