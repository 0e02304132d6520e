// The editor's view of a text as lines.

#include "compiler/compile.h"

namespace kivra::compiler {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto lf = text.find('\n', start);
    if (lf == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    // LF, CR LF and CR CR LF (the rich edit's soft break) all end a line.
    auto end = lf;
    for (int k = 0; k < 2 && end > start && text[end - 1] == '\r'; ++k) --end;
    lines.emplace_back(text.substr(start, end - start));
    start = lf + 1;
  }
  return lines;
}

}  // namespace kivra::compiler
