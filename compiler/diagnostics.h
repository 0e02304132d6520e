#pragma once

// What a check finds, as data: every error and warning with the editor line it concerns,
// the message it reports and that message's variable part. The message list's text is
// made from these by one renderer (messages.h), in either language.

#include <cstdint>
#include <string>
#include <string_view>

namespace kivra::compiler {

// A message's text in both languages: the second line of an entry without its
// "  ---> " and line break. Some English texts end with a blank; it belongs to the text.
// A "{}" stands for the entry's argument.
struct Detail {
  std::string_view english;
  std::string_view turkish;
};

// Turkish error entries come with two first lines: "N.satır:" (A) and "N .satır:" (B).
// Each message has its own; the message list's click handler accepts both.
enum class HeaderForm { A, B };

enum class Severity { Error, Warning };

// The line number an entry names in each language. Two messages name different lines in
// the two languages, and one names the line after the program.
struct ListedLines {
  std::uint32_t english = 0;
  std::uint32_t turkish = 0;
};

struct Diagnostic {
  Severity severity = Severity::Error;
  // The 1-based editor line the message is about; 0 for the program as a whole.
  std::uint32_t line = 0;
  ListedLines listed;
  Detail detail;  // its texts are the compiler's string constants
  HeaderForm form = HeaderForm::A;
  std::string argument;
};

}  // namespace kivra::compiler
