// Drive set-up and single motions: CURON, MICROS, SPEED, ACCEL, INITV, DISP, LOCATE,
// DIR, CUROFF. One instruction per line; SPEED, ACCEL, DISP and LOCATE also take a
// program variable (Vk) in place of the number.

#include "compiler/handlers.h"

namespace kivra::compiler {
namespace {

using enum HeaderForm;

constexpr Detail kMissingParameter{"Missing parameter !", "parametre bekleniyor!"};
constexpr Detail kCurrentRange{"Current range:1-1000 ", "Akım aralığı:1-1000"};
constexpr Detail kMicrostep{"Allowed microsteps:1,2,4,5,8,10,16,25 ",
                            "Mikrostep:1,2,4,5,8,10,16,25 olabilir!"};
constexpr Detail kSpeedRange{"Speed range:1-15000", "Hız aralığı:1-15000"};
constexpr Detail kAccelRange{"Acceleration range:1-9999 ", "Hızlanma Katsayısı aralığı:1-9999"};
constexpr Detail kInitialSpeedRange{"Initial speed range:0-15000 ", "Kalkış Hızı aralığı:0-15000"};
constexpr Detail kDisplacementRange{"Displacement range:0-2000000000 ",
                                    "Yer değiştirme aralığı:0-2000000000"};
constexpr Detail kVariableRange{"Variable nr range:1-25", "Değişken no:1-25 olabilir"};
constexpr Detail kDirectionRange{"Direction range:0-1", "Donus yonu:0,1 olabilir!"};
constexpr Detail kCurrentRatio{"Current ratio %:0-100", "Akım Oranı %:0-100 olabilir"};

enum class Width { Bits8, Bits16 };

struct PlainCommand {
  Op opcode;
  std::uint32_t lo, hi;
  Width width;
  Detail range;
  HeaderForm form;  // Turkish header of every message of the command
};

// KEYWORD = n;
void CompilePlain(Run& run, std::string_view command, const PlainCommand& c) {
  run.Opcode(c.opcode);
  const auto eq = command.find('=');
  if (eq == npos) return run.Error(msg::kMissingEquals, c.form);
  const auto n = run.Ranged(BetweenAndLast(command, eq), c.lo, c.hi, c.range, c.form, c.form);
  if (!n) return;
  if (c.width == Width::Bits8)
    run.Byte(static_cast<std::uint8_t>(*n));
  else
    run.code.Word16(static_cast<std::uint32_t>(*n));
}

// The variable number after the first V up to the `;`: one byte, 1 to 25.
void EmitVariable(Run& run, std::string_view command, std::size_t v, Op opcode) {
  run.Opcode(opcode);
  const auto k = run.Ranged(BetweenAndLast(command, v), 1, 25, kVariableRange, A, A);
  if (k) run.Byte(static_cast<std::uint8_t>(*k));
}

struct VariableCommand {
  Op numberOpcode;
  Op variableOpcode;
  std::uint32_t lo, hi;
  Detail range;
};

// KEYWORD = n;  or  KEYWORD = Vk;  with a 16-bit n. The keyword holds no V, so the
// first V of the whole text is the operand's.
void CompileWithVariable(Run& run, std::string_view command, const VariableCommand& c) {
  const auto eq = command.find('=');
  if (eq == npos) return run.Error(msg::kMissingEquals, A);
  if (const auto v = command.find('V'); v != npos) {
    return EmitVariable(run, command, v, c.variableOpcode);
  }
  run.Opcode(c.numberOpcode);
  const auto n = run.Ranged(BetweenAndLast(command, eq), c.lo, c.hi, c.range, A, A);
  if (n) run.code.Word16(static_cast<std::uint32_t>(*n));
}

}  // namespace

// CURON = n;  n 1..1000, 16 bits
void HandleCuron(Run& run, std::string_view command) {
  CompilePlain(run, command, {Op::Curon, 1, 1000, Width::Bits16, kCurrentRange, A});
}

// MICROS = n;  n one of 1, 2, 4, 5, 8, 10, 16, 25
void HandleMicros(Run& run, std::string_view command) {
  run.Opcode(Op::Micros);
  const auto eq = command.find('=');
  if (eq == npos) return run.Error(msg::kMissingEquals, B);
  const auto n = run.Number(BetweenAndLast(command, eq), B);
  if (!n) return;
  switch (*n) {
    case 1:
    case 2:
    case 4:
    case 5:
    case 8:
    case 10:
    case 16:
    case 25:
      return run.Byte(static_cast<std::uint8_t>(*n));
    default:
      return run.Error(kMicrostep, B);
  }
}

// SPEED = n;  n 1..15000    SPEED = Vk;
void HandleSpeed(Run& run, std::string_view command) {
  CompileWithVariable(run, command, {Op::Speed, Op::SpeedVariable, 1, 15000, kSpeedRange});
}

// ACCEL = n;  n 1..9999     ACCEL = Vk;
void HandleAccel(Run& run, std::string_view command) {
  CompileWithVariable(run, command, {Op::Accel, Op::AccelVariable, 1, 9999, kAccelRange});
}

// INITV = n;  n 0..15000
void HandleInitv(Run& run, std::string_view command) {
  CompilePlain(run, command, {Op::Initv, 0, 15000, Width::Bits16, kInitialSpeedRange, A});
}

// DISP = n;  n 0..2000000000, 32 bits    DISP = Vk;
void HandleDisp(Run& run, std::string_view command) {
  const auto eq = command.find('=');
  if (eq == npos) return run.Error(msg::kMissingEqualsBang, A);
  if (const auto v = command.find('V', eq); v != npos)
    return EmitVariable(run, command, v, Op::DispVariable);
  run.Opcode(Op::Disp);
  const auto n = run.Number64(BetweenAndLast(command, eq), A);
  if (!n) return;
  if (*n < 0 || *n > 2000000000) return run.Error(kDisplacementRange, A);
  run.code.Word32(static_cast<std::uint32_t>(*n));
}

// LOCATE n;  any number, 32 bits    LOCATE Vk;
void HandleLocate(Run& run, std::string_view command) {
  const auto blank = command.find(' ');
  if (blank == npos) return run.Error(kMissingParameter, A);
  if (const auto v = command.find('V', blank); v != npos) {
    return EmitVariable(run, command, v, Op::LocateVariable);
  }
  run.Opcode(Op::Locate);
  const auto n = run.Number64(BetweenAndLast(command, blank), A);
  // No range of its own: outside 0..4294967295 the low 32 bits are kept.
  if (n) run.code.Word32(static_cast<std::uint32_t>(static_cast<std::uint64_t>(*n)));
}

// DIR = n;  n 0 or 1
void HandleDir(Run& run, std::string_view command) {
  CompilePlain(run, command, {Op::Dir, 0, 1, Width::Bits8, kDirectionRange, B});
}

// CUROFF = n;  n 0..100 (percent)
void HandleCuroff(Run& run, std::string_view command) {
  CompilePlain(run, command, {Op::Curoff, 0, 100, Width::Bits8, kCurrentRatio, A});
}

}  // namespace kivra::compiler
