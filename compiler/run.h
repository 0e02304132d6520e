#pragma once

// What a keyword handler works with: the state of one compile run and the current
// line. Handlers read their operands from the command text, report through the message
// log and emit into the code image; after the first error on a line a handler stops,
// since a run with errors never yields an image anyway.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "compiler/code_image.h"
#include "compiler/labels.h"
#include "compiler/messages.h"
#include "compiler/operands.h"

namespace kivra::compiler {

inline constexpr std::uint8_t kInputCount = 6;

struct Interrupts {
  // The input whose routine is open and waits for its RET; 0 when none is.
  std::uint8_t open = 0;
  // Address of the two placeholder bytes of the jump over the open routine.
  std::uint32_t skipSlot = 0;
  // Index 1 to 6: the input is tested or serves an interrupt somewhere above.
  std::array<bool, kInputCount + 1> inputUsed{};
};

class Run {
 public:
  Run(MessageLog& log, CodeWriter& code, Labels& labels, VectorTable& vectors)
      : log(log), code(code), labels(labels), vectors(vectors) {}

  MessageLog& log;
  CodeWriter& code;
  Labels& labels;
  VectorTable& vectors;
  Interrupts interrupts;
  std::uint32_t line = 0;  // 1-based editor line being compiled

  bool NoErrorSoFar() const { return log.Errors() == 0; }
  void Error(const Detail& detail, HeaderForm form) { log.Error(line, detail, form); }

  // The conversions report "Number expected!" themselves when the text is no number.
  std::optional<std::int32_t> Number(std::string_view text, HeaderForm form) {
    const auto v = ToInt32(text);
    if (!v) Error(msg::kNumberExpected, form);
    return v;
  }
  std::optional<std::int64_t> Number64(std::string_view text, HeaderForm form) {
    const auto v = ToInt64(text);
    if (!v) Error(msg::kNumberExpected, form);
    return v;
  }
  // A number that must lie in lo..hi (compared unsigned); `range` is reported otherwise.
  std::optional<std::int32_t> Ranged(std::string_view text, std::uint32_t lo, std::uint32_t hi,
                                     const Detail& range, HeaderForm numberForm,
                                     HeaderForm rangeForm) {
    const auto v = Number(text, numberForm);
    if (!v) return v;
    if (!InRange(*v, lo, hi)) {
      Error(range, rangeForm);
      return std::nullopt;
    }
    return v;
  }

  void Opcode(Op op) { code.Opcode(op, line); }
  // An opcode written as a plain byte, its address without an editor line: the jump of a
  // conditional test, the bytes of INT and of a RET with a label.
  void UnmarkedOpcode(Op op) { code.Byte(Code(op)); }
  void Byte(std::uint8_t value) { code.Byte(value); }

  // Two placeholder bytes that the fixup pass fills with the address of `name`.
  void JumpTarget(std::string_view name) {
    labels.AddJump(name, code.Length(), line);
    code.Word16(0);
  }
};

// Every handler receives the command text: from the keyword to the first `;` inclusive,
// upper case, trimmed.
using Handler = void (*)(Run&, std::string_view command);

}  // namespace kivra::compiler
