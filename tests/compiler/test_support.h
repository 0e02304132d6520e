#pragma once

#include <algorithm>
#include <string>
#include <string_view>
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

// The keyword of a program line or of a statement form, in upper case: its first word,
// behind the line's label if it has one.
inline std::string KeywordOf(std::string_view line) {
  if (const auto colon = line.find(':'); colon < line.find(';')) line.remove_prefix(colon + 1);
  line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
  std::string word(line.substr(0, line.find_first_of(" =;")));
  for (char& ch : word) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return word;
}

// The message entries between the banner and the dashes.
inline std::string Entries(const CompileResult& r) {
  const auto begin = r.messages.find(" **** \n\n");
  const auto end = r.messages.rfind("\n------------------------------------------\n");
  if (begin == std::string::npos || end == std::string::npos) return "<malformed>";
  return r.messages.substr(begin + 8, end - begin - 8);
}

}  // namespace kivra::compiler::test
