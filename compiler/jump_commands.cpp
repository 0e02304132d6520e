// Jumps: JUMP and the conditional jumps IFINP and IFVRB. A conditional jump is a test
// instruction followed by a plain jump to the label after GO; every target is
// left as two placeholder bytes for the fixup pass.

#include <string>

#include "compiler/handlers.h"

namespace kivra::compiler {
namespace {

using enum HeaderForm;

constexpr Detail kJumpMissingLabel{"Missing label!", "Etiket Bulunamadı!"};
constexpr Detail kLabelMissing{"Label missing!", "Etiket eksik!"};
constexpr Detail kInputMissingGo{"Missing (GO) statement !", "(GO) ifadesi eksik!"};
constexpr Detail kVariableMissingGo{"Missing (GO) statement !", "(GO) ifadesi bekleniyor!"};
constexpr Detail kMissingComparison{"Missing (=) or (<) or (>) !", "(=,<,>) bekleniyor!"};

// The label after GO, then the plain jump to it. `afterGo` is the text after the two
// letters, still ending with the command's `;`.
void EmitGoTarget(Run& run, std::string_view afterGo) {
  const auto name = Trim(DropLast(afterGo));
  if (name.empty()) return run.Error(kLabelMissing, A);
  if (name.find(':') != npos) return run.Error(msg::kLabelSyntaxError, A);
  run.UnmarkedOpcode(Op::Jump);
  run.JumpTarget(name);
}

}  // namespace

// JUMP label;
void HandleJump(Run& run, std::string_view command) {
  run.Opcode(Op::Jump);
  const auto name = Trim(DropLast(From(command, 5)));
  if (name.empty()) return run.Error(kJumpMissingLabel, A);
  if (name.find(':') != npos) return run.Error(msg::kLabelSyntaxError, A);
  run.JumpTarget(name);
}

// IFINP n = level GO label;   n 1..6, level 0 or 1
void HandleIfinp(Run& run, std::string_view command) {
  run.Opcode(Op::Ifinp);
  auto rest = Trim(From(command, 6));
  const auto eq = rest.find('=');
  if (eq == npos) return run.Error(msg::kMissingEqualsBang, B);
  const auto n = run.Ranged(Trim(rest.substr(0, eq)), 1, kInputCount, msg::kInputNumberRange, B, B);
  if (!n) return;
  run.Byte(static_cast<std::uint8_t>(*n));
  if (run.interrupts.inputUsed[*n]) {
    run.log.Warning(run.line, msg::kInputAlreadyUsed, std::to_string(*n));
  }
  run.interrupts.inputUsed[*n] = true;

  rest = Trim(rest.substr(eq + 1));
  const auto go = rest.find("GO");
  if (go == npos) return run.Error(kInputMissingGo, B);
  const auto level = run.Ranged(Trim(rest.substr(0, go)), 0, 1, msg::kInputValueRange, B, B);
  if (!level) return;
  run.Byte(static_cast<std::uint8_t>(*level));
  EmitGoTarget(run, rest.substr(go + 2));
}

// IFVRB k op value GO label;   IFVRB k op Vj GO label;   op is =, > or <
void HandleIfvrb(Run& run, std::string_view command) {
  auto rest = Trim(From(command, 6));
  auto sign = rest.find('=');
  if (sign == npos) sign = rest.find('>');
  if (sign == npos) sign = rest.find('<');
  if (sign == npos) return run.Error(kMissingComparison, B);
  const std::uint8_t comparison = rest[sign] == '=' ? 1 : rest[sign] == '>' ? 2 : 3;
  const auto k = run.Ranged(Trim(rest.substr(0, sign)), 1, 25, msg::kVariableNrRange, B, B);
  if (!k) return;

  rest = Trim(rest.substr(sign + 1));
  const auto v = rest.find('V');
  const auto go = rest.find("GO");
  const bool variableForm = v != npos && (go == npos || v < go);
  if (!variableForm) {
    run.Opcode(Op::Ifvrb);
    run.Byte(static_cast<std::uint8_t>(*k));
    run.Byte(comparison);
  }
  if (go == npos) return run.Error(kVariableMissingGo, B);
  if (variableForm) {
    const auto j =
        run.Ranged(Trim(rest.substr(v + 1, go - v - 1)), 1, 25, msg::kVariableNrRange, B, B);
    if (!j) return;
    run.Opcode(Op::IfvrbVariable);
    run.Byte(static_cast<std::uint8_t>(*k));
    run.Byte(comparison);
    run.Byte(static_cast<std::uint8_t>(*j));
  } else {
    const auto value = run.Number(Trim(rest.substr(0, go)), B);
    if (!value) return;
    run.code.Word16(static_cast<std::uint32_t>(*value));
  }
  EmitGoTarget(run, rest.substr(go + 2));
}

}  // namespace kivra::compiler
