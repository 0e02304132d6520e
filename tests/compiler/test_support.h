#pragma once

#include <string>
#include <vector>

#include "compiler/compile.h"

namespace kivra::compiler::test {

inline Clock FixedClock() {
  return [] { return Timestamp{"24.06.2024", "09:41:07"}; };
}

inline CompileResult CompileText(std::string_view text, Language language = Language::English) {
  return Compile(SplitLines(text), language, FixedClock());
}

// The bytes of the image up to its length, as "02 01 F4".
inline std::string Hex(const CodeImage& code, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t a = from; a < code.length && a < to && a < CodeCapacity; ++a) {
    if (!out.empty()) out += ' ';
    out += digits[code.bytes[a] >> 4];
    out += digits[code.bytes[a] & 0x0F];
  }
  return out;
}

// The message entries between the banner and the dashes.
inline std::string Entries(const CompileResult& r) {
  const auto begin = r.messages.find(" **** \n\n");
  const auto end = r.messages.rfind("\n------------------------------------------\n");
  if (begin == std::string::npos || end == std::string::npos) return "<malformed>";
  return r.messages.substr(begin + 8, end - begin - 8);
}

}  // namespace kivra::compiler::test
