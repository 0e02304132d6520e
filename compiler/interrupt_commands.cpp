// Interrupts, limits and outputs: INT and RET open and close the routine of one input,
// ENBINT and DISINT switch an input's interrupt at run time; LIM, SPAN and FILTER give a
// variable its limit, span or filter value; OUT sets an output.
//
// INT n,l; emits a jump over the routine (the jump code and two placeholder bytes that
// RET fills with the address behind it), then the routine's head and n*16+l. Normal
// execution jumps over the routine; the driver finds it through the vector table.

#include "compiler/handlers.h"

namespace kivra::compiler {
namespace {

using enum HeaderForm;

constexpr Detail kNestedInt{"New INT command unless finished previous !",
                            "RET ile sonlanmadan, yeni INT komutu!"};
constexpr Detail kUnexpectedRet{"Unexpected RET command!", "Uygun olmayan RET komutu!"};
constexpr Detail kSwitchInputRange{"Input number range:1-6", "Giriş No:1-6 olabilir."};
constexpr Detail kLimVariableRange{"Variable nr range:21-25 ", "Değişken no :21-25 olabilir!"};
constexpr Detail kValue16Range{"Value range:0-65535", "Sayı > 65535 "};
constexpr Detail kValue32Range{"Value range:0-4294967295", "Sayı > 4294967295 "};
constexpr Detail kOutputRange{"Output number:1-2", "ÇIKIŞ no :1-2 olabilir!"};
constexpr Detail kOutputValueRange{"Output value:0-1", "ÇIKIŞ değeri :0-1 olabilir!"};
constexpr Detail kFilterVariableRange{"Variable nr range:1-20", "Değişken no :1-20 olabilir!"};
constexpr Detail kFilterValueRange{"Value range:0-250", "Sayı > 250 "};

// A 16-bit value that only warns when it does not fit: its low 16 bits are kept.
void EmitWarnedWord16(Run& run, std::string_view text) {
  const auto k = run.Number(text, B);
  if (!k) return;
  if (static_cast<std::uint32_t>(*k) > 0xFFFF) run.log.Warning(run.line, kValue16Range);
  run.code.Word16(static_cast<std::uint32_t>(*k));
}

// Every value is written as `v = k;` after the keyword and a blank.
struct Assignment {
  std::string_view target;  // before the `=`, trimmed
  std::string_view value;   // after it, without the `;`, trimmed
};

std::optional<Assignment> ReadAssignment(Run& run, std::string_view rest) {
  const auto eq = rest.find('=');
  if (eq == npos) {
    run.Error(msg::kMissingEquals, B);
    return std::nullopt;
  }
  return Assignment{Trim(rest.substr(0, eq)), BetweenAndLast(rest, eq)};
}

void SwitchInterrupt(Run& run, std::string_view command, Op opcode) {
  run.Opcode(opcode);
  const auto n =
      run.Ranged(Trim(DropLast(From(command, 7))), 1, kInputCount, kSwitchInputRange, B, A);
  if (n) run.Byte(static_cast<std::uint8_t>(*n));
}

}  // namespace

// INT n,l;  n input 1..6, l level 0 or 1
void HandleInt(Run& run, std::string_view command) {
  auto& irq = run.interrupts;
  if (irq.open != 0) return run.Error(kNestedInt, B);
  run.UnmarkedOpcode(Op::Jump);
  irq.skipSlot = run.code.Length();
  run.code.Word16(0xFFFF);
  run.UnmarkedOpcode(Op::Routine);

  const auto rest = Trim(From(command, 4));
  const auto comma = rest.find(',');
  if (comma == npos) return run.Error(msg::kMissingComma, B);
  const auto n =
      run.Ranged(Trim(rest.substr(0, comma)), 1, kInputCount, msg::kInputNumberRange, B, B);
  if (!n) return;
  const auto level = run.Ranged(BetweenAndLast(rest, comma), 0, 1, msg::kInputValueRange, B, B);
  if (!level) return;

  irq.inputUsed[*n] = true;
  const std::uint32_t routine = run.code.Length() - 1;
  std::uint8_t* record = &run.vectors[(*n - 1) * VectorRecordSize];
  record[0] = static_cast<std::uint8_t>(*level);
  record[1] = static_cast<std::uint8_t>(routine >> 8);
  record[2] = static_cast<std::uint8_t>(routine);
  record[3] = 0xFF;
  record[4] = 0xFF;
  run.Byte(static_cast<std::uint8_t>(*n * 16 + *level));
  irq.open = static_cast<std::uint8_t>(*n);
}

// RET;  RET label;  the label, when given, is where the driver continues after the
// routine instead of where it was interrupted.
void HandleRet(Run& run, std::string_view command) {
  auto& irq = run.interrupts;
  if (irq.open == 0) return run.Error(kUnexpectedRet, B);
  const auto label = Trim(DropLast(From(command, 4)));
  if (label.find(':') != npos) return run.Error(msg::kLabelSyntaxError, A);
  if (label.empty()) {
    run.Opcode(Op::Ret);
  } else {
    run.UnmarkedOpcode(Op::Ret);
    run.labels.AddVector(label, irq.open, run.line);
  }
  run.Byte(irq.open);
  run.code.Patch16(irq.skipSlot, run.code.Length());
  irq.open = 0;
}

// ENBINT n;  n 1..6
void HandleEnbint(Run& run, std::string_view command) {
  SwitchInterrupt(run, command, Op::Enbint);
}

// DISINT n;  n 1..6
void HandleDisint(Run& run, std::string_view command) {
  SwitchInterrupt(run, command, Op::Disint);
}

// LIM v = k;  v 1..20 with a 16-bit k, v 21..25 with a 32-bit k
void HandleLim(Run& run, std::string_view command) {
  const auto a = ReadAssignment(run, Trim(From(command, 4)));
  if (!a) return;
  const auto v = run.Number(a->target, B);
  if (!v) return;
  if (InRange(*v, 1, 20)) {
    run.Opcode(Op::Lim16);
    run.Byte(static_cast<std::uint8_t>(*v));
    return EmitWarnedWord16(run, a->value);
  }
  if (!InRange(*v, 21, 25)) return run.Error(kLimVariableRange, B);
  run.Opcode(Op::Lim32);
  run.Byte(static_cast<std::uint8_t>(*v));
  const auto k = run.Number64(a->value, B);
  if (!k) return;
  if (*k < 0 || *k > 0xFFFFFFFFLL) run.log.Warning(run.line, kValue32Range);
  run.code.Word32(static_cast<std::uint32_t>(static_cast<std::uint64_t>(*k)));
}

// SPAN v = k;  v 1..25, k 16 bits
void HandleSpan(Run& run, std::string_view command) {
  run.Opcode(Op::Span);
  const auto a = ReadAssignment(run, Trim(From(command, 5)));
  if (!a) return;
  const auto v = run.Ranged(a->target, 1, 25, msg::kVariableNrRange, B, B);
  if (!v) return;
  run.Byte(static_cast<std::uint8_t>(*v));
  EmitWarnedWord16(run, a->value);
}

// OUT o = b;  o output 1 or 2, b 0 or 1
void HandleOut(Run& run, std::string_view command) {
  run.Opcode(Op::Out);
  const auto rest = Trim(DropLast(From(command, 4)));
  const auto eq = rest.find('=');
  if (eq == npos) return run.Error(msg::kMissingEquals, B);
  const auto o = run.Ranged(Trim(rest.substr(0, eq)), 1, 2, kOutputRange, B, B);
  if (!o) return;
  run.Byte(static_cast<std::uint8_t>(*o));
  const auto b = run.Ranged(Trim(rest.substr(eq + 1)), 0, 1, kOutputValueRange, B, B);
  if (b) run.Byte(static_cast<std::uint8_t>(*b));
}

// FILTER v = k;  v 1..20, k 0..250
void HandleFilter(Run& run, std::string_view command) {
  run.Opcode(Op::Filter);
  const auto a = ReadAssignment(run, Trim(From(command, 7)));
  if (!a) return;
  const auto v = run.Ranged(a->target, 1, 20, kFilterVariableRange, B, B);
  if (!v) return;
  run.Byte(static_cast<std::uint8_t>(*v));
  const auto k = run.Ranged(a->value, 0, 250, kFilterValueRange, B, B);
  if (k) run.Byte(static_cast<std::uint8_t>(*k));
}

}  // namespace kivra::compiler
