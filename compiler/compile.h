#pragma once

// The compiler turns the editor's lines into the driver's code image, the interrupt
// vector table, its findings (as data and as the message-list text) and the listing. It
// is a pure function of the lines, the language and the clock that stamps the banner: no
// state survives a run.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_image.h"
#include "common/language.h"
#include "compiler/diagnostics.h"

namespace kivra::compiler {

using kivra::Language;

// The code image and its tables are shared with the download and the simulated driver;
// the compiler's callers know them by these names too.
using kivra::AddressLines;
using kivra::CodeCapacity;
using kivra::CodeImage;
using kivra::VectorRecordCount;
using kivra::VectorRecordSize;
using kivra::VectorTable;

// The banner's date and time, already in the user's short date and long time form.
struct Timestamp {
  std::string date;
  std::string time;
};
using Clock = std::function<Timestamp()>;

// The code one editor line produced: its first address and its number of bytes (0 for a
// line without code). The END line owns the end marker.
struct LineCode {
  std::uint32_t address = 0;
  std::uint32_t length = 0;
};

struct CompileResult {
  // Every error and warning in the order the message list shows them, and the banner's
  // time; RenderMessages (messages.h) makes the text in either language.
  std::vector<Diagnostic> diagnostics;
  Timestamp stamp;
  std::string messages;  // that text in the run's language, UTF-8
  int errorCount = 0;
  int warningCount = 0;
  bool programValid = false;
  CodeImage code;
  AddressLines addressLines{};
  VectorTable vectorTable{};
  std::string listingText;         // empty unless programValid
  std::vector<LineCode> lineCode;  // one per editor line; empty unless programValid

  // The code-used and code-remaining boxes. An empty program leaves them as they were,
  // so countersSet is false only then.
  bool countersSet = false;
  std::uint32_t codeUsed = 0;
  std::uint32_t codeRemaining = CodeCapacity;
};

// `lines` are the editor's lines without their line breaks. Only ASCII bytes carry
// meaning (keywords, numbers, separators); any other byte is just a character, so the
// lines may be UTF-8 or code page 1254 alike.
CompileResult Compile(const std::vector<std::string>& lines, Language language, const Clock& clock);

// The editor's line list for a text: lines end at LF, CR LF or CR CR LF; a text that ends
// with a line break has no empty line after it; an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace kivra::compiler
