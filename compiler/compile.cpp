// Placeholder until the compiler lands: every program is reported as not checked.
#include "compiler/compile.h"

namespace kivra::compiler {

CompileResult Compile(const std::vector<std::string>&, Language, const Clock&) {
  CompileResult r;
  r.code.bytes.fill(0xFF);
  r.vectorTable = {2, 0, 0, 0xFF, 0xFF, 2, 0, 0, 0xFF, 0xFF, 2, 0, 0, 0xFF, 0xFF,
                   2, 0, 0, 0xFF, 0xFF, 2, 0, 0, 0xFF, 0xFF, 2, 0, 0, 0xFF, 0xFF};
  r.errorCount = 1;
  r.messages = "compiler not built yet\n";
  r.summaryText = "compiler not built yet";
  r.summaryColour = SummaryColour::Red;
  r.countersSet = true;
  return r;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string cur;
  for (char c : text) {
    if (c == '\n') {
      while (!cur.empty() && cur.back() == '\r') cur.pop_back();
      lines.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

}  // namespace kivra::compiler
