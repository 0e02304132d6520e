#include "link/integer.h"

#include <algorithm>

namespace kivra::link {

std::optional<std::int32_t> ParseInteger(std::string_view s) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  std::int64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > INT32_MAX || v < INT32_MIN) return std::nullopt;
  return static_cast<std::int32_t>(v);
}

}  // namespace kivra::link

namespace kivra::link {

std::string StepMemoryAddress(std::string_view box, int delta) {
  const auto value = ParseInteger(box);
  if (!value) return "0";
  const std::int64_t v = *value;
  return std::to_string(delta > 0 ? std::min<std::int64_t>(v + 1, 0x3FFF) : std::max<std::int64_t>(v - 1, 0));
}

}  // namespace kivra::link
