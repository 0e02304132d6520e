#pragma once

// Numbers as the program language writes them and the boxes of the window take them:
// signed decimal digits only.

#include <cstdint>
#include <optional>
#include <string_view>

namespace kivra {

// An optional `+` or `-`, then at least one digit. Anything else (hexadecimal, blanks,
// an empty text, a value out of range) is no number.
std::optional<std::int32_t> ToInt32(std::string_view s);
std::optional<std::int64_t> ToInt64(std::string_view s);

}  // namespace kivra
