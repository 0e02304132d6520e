#pragma once

// Reading operands out of a command text. A command text is upper case, trimmed and
// ends with its `;`; positions in the keyword handlers are 1-based, as the language's
// reference describes them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/decimal.h"

namespace kivra::compiler {

inline constexpr std::size_t npos = std::string_view::npos;

// A tab is a blank everywhere in a program line; nothing else is.
inline bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
inline std::string_view Trim(std::string_view s) {
  std::size_t first = 0;
  std::size_t last = s.size();
  while (first < last && IsBlank(s[first])) ++first;
  while (last > first && IsBlank(s[last - 1])) --last;
  return s.substr(first, last - first);
}

// Turns tabs into blanks and upper-cases a-z only, so that a Turkish dotted or dotless
// i (or any other non-ASCII byte) never turns into a keyword letter.
void NormalizeLine(std::string& s);

// The text from 1-based position `pos` on (empty when the text is shorter).
std::string_view From(std::string_view s, std::size_t pos);

// The text without its last character: the `;` that ends every command text.
std::string_view DropLast(std::string_view s);

// The text after index `i` up to, not including, the last character, trimmed.
std::string_view BetweenAndLast(std::string_view s, std::size_t i);

// Range checks of the language compare the number as unsigned 32 bits, so a negative
// number is out of every range.
inline bool InRange(std::int32_t v, std::uint32_t lo, std::uint32_t hi) {
  const auto u = static_cast<std::uint32_t>(v);
  return u >= lo && u <= hi;
}

}  // namespace kivra::compiler
