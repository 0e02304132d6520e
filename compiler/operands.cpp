#include "compiler/operands.h"

namespace kivra::compiler {

void NormalizeLine(std::string& s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    else if (c == '\t')
      c = ' ';
  }
}

std::string_view From(std::string_view s, std::size_t pos) {
  return pos - 1 < s.size() ? s.substr(pos - 1) : std::string_view{};
}

std::string_view DropLast(std::string_view s) {
  return s.empty() ? s : s.substr(0, s.size() - 1);
}

std::string_view BetweenAndLast(std::string_view s, std::size_t i) {
  return i + 1 < s.size() ? Trim(DropLast(s.substr(i + 1))) : std::string_view{};
}

}  // namespace kivra::compiler
