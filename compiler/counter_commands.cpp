// Counters, parameters and waits: VRBINC, VRBDEC, PRM, DELAY and the commands without
// operands WAIT, WAIS, MOVE, RUN and STOP.

#include "compiler/handlers.h"

namespace kivra::compiler {
namespace {

using enum HeaderForm;

// The driver accepts variables up to 25 here and programs use them, while the message
// names 1-20: the message is part of the compiler's fixed texts, the range is the driver's.
constexpr std::uint32_t kCounterVariableMax = 25;
constexpr Detail kIncVariableRange{"Variable nr range:1-20", "Değişken no :1-20 olabilir!"};
constexpr Detail kDecVariableRange{"Variable nr range:1-20 ", "Değişken no :1-20 olabilir!"};
constexpr Detail kPrmParameterRange{"Parameter range:1-25 ", "Parametre no :1-25 olabilir!"};
constexpr Detail kPrmVariableRange{"Variable range:1-25", "Değişken no:1-25 olabilir"};
constexpr Detail kDelayParameterRange{"Parameter nr range:1-25 ", "Parametre no:1-25 olabilir"};
constexpr Detail kDelayVariableRange{"Variable nr range:1-25 ", "Değişken no:1-25 olabilir"};
constexpr Detail kDelayRange{"Delay range:0-15000000", "Zaman aralığı:0-15000000"};

// VRBINC v,k;  VRBDEC v,k;  k is kept to its low 16 bits without a word.
void CompileCounter(Run& run, std::string_view command, Op opcode, const Detail& range) {
  run.Opcode(opcode);
  auto rest = Trim(From(command, 7));
  const auto comma = rest.find(',');
  if (comma == npos) return run.Error(msg::kMissingComma, B);
  const auto v = run.Ranged(Trim(rest.substr(0, comma)), 1, kCounterVariableMax, range, B, B);
  if (!v) return;
  run.Byte(static_cast<std::uint8_t>(*v));
  const auto k = run.Number(BetweenAndLast(rest, comma), B);
  if (k) run.code.Word16(static_cast<std::uint32_t>(*k));
}

// The letter's number up to the `;`, 1 to 25, as one byte.
void EmitReference(Run& run, std::string_view command, std::size_t letter, Op opcode,
                   const Detail& range) {
  run.Opcode(opcode);
  const auto n = run.Ranged(BetweenAndLast(command, letter), 1, 25, range, A, A);
  if (n) run.Byte(static_cast<std::uint8_t>(*n));
}

}  // namespace

// VRBINC v,k;
void HandleVrbinc(Run& run, std::string_view command) {
  CompileCounter(run, command, Op::Vrbinc, kIncVariableRange);
}

// VRBDEC v,k;
void HandleVrbdec(Run& run, std::string_view command) {
  CompileCounter(run, command, Op::Vrbdec, kDecVariableRange);
}

// PRM p = k;  PRM p = Vn;  p 1..25
void HandlePrm(Run& run, std::string_view command) {
  run.Opcode(Op::Prm);
  const auto rest = Trim(From(command, 4));
  const auto eq = rest.find('=');
  if (eq == npos) return run.Error(msg::kMissingEqualsBang, B);
  const auto p = run.Ranged(Trim(rest.substr(0, eq)), 1, 25, kPrmParameterRange, B, B);
  if (!p) return;
  run.Byte(static_cast<std::uint8_t>(*p));
  const auto value = BetweenAndLast(rest, eq);
  if (const auto v = value.find('V'); v != npos) {
    run.code.ReplaceBack(2, Op::PrmVariable);
    const auto n = run.Ranged(Trim(value.substr(v + 1)), 1, 25, kPrmVariableRange, A, A);
    if (n) run.Byte(static_cast<std::uint8_t>(*n));
    return;
  }
  const auto k = run.Number(value, B);
  if (k) run.code.Word16(static_cast<std::uint32_t>(*k));
}

// DELAY = t;  DELAY = Pn;  DELAY = Vn;  t 0..15000000, 24 bits. The keyword holds no P
// or V, so the whole command text is searched.
void HandleDelay(Run& run, std::string_view command) {
  const auto eq = command.find('=');
  if (eq == npos) return run.Error(msg::kMissingEqualsBang, A);
  if (const auto p = command.find('P'); p != npos) {
    return EmitReference(run, command, p, Op::DelayParameter, kDelayParameterRange);
  }
  if (const auto v = command.find('V'); v != npos) {
    return EmitReference(run, command, v, Op::DelayVariable, kDelayVariableRange);
  }
  run.Opcode(Op::Delay);
  const auto t = run.Number64(BetweenAndLast(command, eq), A);
  if (!t) return;
  if (*t < 0 || *t > 15000000) return run.Error(kDelayRange, A);
  run.Byte(static_cast<std::uint8_t>(*t >> 16));
  run.Byte(static_cast<std::uint8_t>(*t >> 8));
  run.Byte(static_cast<std::uint8_t>(*t));
}

// Anything between these keywords and the `;` is ignored.
void HandleWait(Run& run, std::string_view) {
  run.Opcode(Op::Wait);
}
void HandleWais(Run& run, std::string_view) {
  run.Opcode(Op::Wais);
}
void HandleMove(Run& run, std::string_view) {
  run.Opcode(Op::Move);
}
void HandleRun(Run& run, std::string_view) {
  run.Opcode(Op::Run);
}
void HandleStop(Run& run, std::string_view) {
  run.Opcode(Op::Stop);
}

}  // namespace kivra::compiler
