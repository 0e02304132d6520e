#pragma once

#include <string_view>

namespace kivra {

// The text without the blanks, tabs and line breaks around it.
inline std::string_view TrimWhitespace(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace kivra
