#pragma once

// The driver's instruction set, in one table: each instruction's code, its length, the
// form of its operands and the statement that emits it. The keyword handlers emit the
// codes by name, the listing and the simulated driver measure instructions with it, and
// a test holds the help's page of instruction codes to it.
//
// An instruction is its code byte followed by its operand bytes, multi-byte numbers most
// significant byte first. The operand form has one letter per field, in byte order:
//   b  one byte: a number, an index, an input or a variable number
//   w  a 16-bit number
//   t  a 24-bit number
//   d  a 32-bit number
//   a  a 16-bit code address, left as two placeholder bytes until labels are resolved
//   o  an operand of the two-operand VRB: a kind byte (0 constant, 1 variable,
//      2 parameter, 3 table entry, 4 analog input), then a 32-bit constant for kind 0
//      and a one-byte index for the others
// A test (IFINP, IFVRB) is always followed by a plain jump: the driver takes that jump
// when the test holds and steps over it otherwise.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace kivra::compiler {

enum class Op : std::uint8_t {
  Curon = 0x02,
  Micros = 0x03,
  Speed = 0x04,
  Accel = 0x05,
  Initv = 0x06,
  Disp = 0x07,
  Dir = 0x08,
  Jump = 0x09,
  Curoff = 0x0A,
  Ifinp = 0x0B,
  Ifvrb = 0x0C,
  SpeedVariable = 0x0D,
  Vrb = 0x0E,
  Vrbinc = 0x0F,
  Vrbdec = 0x10,
  Prm = 0x11,
  Delay = 0x12,
  Wait = 0x13,
  Wais = 0x14,
  Move = 0x15,
  Run = 0x16,
  Stop = 0x17,
  VrbInputs = 0x18,
  Table = 0x19,
  Refpos = 0x1A,
  Movt = 0x1B,
  MovtVariable = 0x1C,
  Routine = 0x1D,
  Ret = 0x1E,
  Lim16 = 0x1F,
  VrbAnalog = 0x20,
  Span = 0x21,
  DelayParameter = 0x22,
  Out = 0x23,
  Enbint = 0x24,
  Disint = 0x25,
  Filter = 0x26,
  DelayVariable = 0x27,
  DispVariable = 0x29,
  VrbDipSwitch = 0x2A,
  VrbParameter = 0x2B,
  PrmVariable = 0x2C,
  VrbQ = 0x2D,
  TableParameter = 0x2E,
  VrbOperation = 0x2F,
  TableVariable = 0x30,
  VrbTable = 0x31,
  IfvrbVariable = 0x32,
  VrbX = 0x33,
  Locate = 0x34,
  LocateVariable = 0x35,
  VrbB = 0x36,
  Lim32 = 0x37,
  AccelVariable = 0x38,
  VrbVariable = 0x39,
  VrbW = 0x3A,
};

// Program memory is 0xFF wherever nothing was written; the driver stops on it, so the
// one behind the last instruction ends the program.
inline constexpr std::uint8_t EndMarker = 0xFF;

constexpr std::uint8_t Code(Op op) {
  return static_cast<std::uint8_t>(op);
}

struct Instruction {
  Op code;
  std::uint8_t length;         // bytes, the code included; 0 for a code that is no instruction
  std::string_view operands;   // the operand form, above
  bool test;                   // followed by the jump it decides on
  std::string_view statement;  // the statement that emits it; empty when none does
};

// clang-format off
inline constexpr std::array<Instruction, 0x3B> Instructions = {{
//  code                 length operands test   statement
    {Op{0x00},                0, "",     false, ""},
    {Op{0x01},                0, "",     false, ""},
    {Op::Curon,               3, "w",    false, "CURON = n;"},
    {Op::Micros,              2, "b",    false, "MICROS = n;"},
    {Op::Speed,               3, "w",    false, "SPEED = n;"},
    {Op::Accel,               3, "w",    false, "ACCEL = n;"},
    {Op::Initv,               3, "w",    false, "INITV = n;"},
    {Op::Disp,                5, "d",    false, "DISP = n;"},
    {Op::Dir,                 2, "b",    false, "DIR = n;"},
    {Op::Jump,                3, "a",    false, "JUMP label;"},
    {Op::Curoff,              2, "b",    false, "CUROFF = n;"},
    {Op::Ifinp,               3, "bb",   true,  "IFINP n = level GO label;"},
    {Op::Ifvrb,               5, "bbw",  true,  "IFVRB k op value GO label;"},
    {Op::SpeedVariable,       2, "b",    false, "SPEED = Vk;"},
    {Op::Vrb,                 4, "bw",   false, "VRB k = n;"},
    {Op::Vrbinc,              4, "bw",   false, "VRBINC v,k;"},
    {Op::Vrbdec,              4, "bw",   false, "VRBDEC v,k;"},
    {Op::Prm,                 4, "bw",   false, "PRM p = k;"},
    {Op::Delay,               4, "t",    false, "DELAY = t;"},
    {Op::Wait,                1, "",     false, "WAIT;"},
    {Op::Wais,                1, "",     false, "WAIS;"},
    {Op::Move,                1, "",     false, "MOVE;"},
    {Op::Run,                 1, "",     false, "RUN;"},
    {Op::Stop,                1, "",     false, "STOP;"},
    {Op::VrbInputs,           3, "bb",   false, "VRB k = In;"},
    {Op::Table,               6, "bd",   false, "TABLE t = k;"},
    {Op::Refpos,              1, "",     false, "REFPOS;"},
    {Op::Movt,                2, "b",    false, "MOVT t;"},
    {Op::MovtVariable,        2, "b",    false, "MOVT Vn;"},
    {Op::Routine,             2, "b",    false, "INT n,l;"},
    {Op::Ret,                 2, "b",    false, "RET;"},
    {Op::Lim16,               4, "bw",   false, "LIM v = k;"},
    {Op::VrbAnalog,           3, "bb",   false, "VRB k = An;"},
    {Op::Span,                4, "bw",   false, "SPAN v = k;"},
    {Op::DelayParameter,      2, "b",    false, "DELAY = Pn;"},
    {Op::Out,                 3, "bb",   false, "OUT o = b;"},
    {Op::Enbint,              2, "b",    false, "ENBINT n;"},
    {Op::Disint,              2, "b",    false, "DISINT n;"},
    {Op::Filter,              3, "bb",   false, "FILTER v = k;"},
    {Op::DelayVariable,       2, "b",    false, "DELAY = Vn;"},
    {Op{0x28},                1, "",     false, ""},
    {Op::DispVariable,        2, "b",    false, "DISP = Vk;"},
    {Op::VrbDipSwitch,        3, "bb",   false, "VRB k = Sn;"},
    {Op::VrbParameter,        3, "bb",   false, "VRB k = Pn;"},
    {Op::PrmVariable,         3, "bb",   false, "PRM p = Vn;"},
    {Op::VrbQ,                2, "b",    false, "VRB k = Q;"},
    {Op::TableParameter,      3, "bb",   false, "TABLE t = Pn;"},
    {Op::VrbOperation,        7, "bobo", false, "VRB k = x op y;"},  // 7, 10 or 13 bytes
    {Op::TableVariable,       3, "bb",   false, "TABLE t = Vn;"},
    {Op::VrbTable,            3, "bb",   false, "VRB k = Tn;"},
    {Op::IfvrbVariable,       4, "bbb",  true,  "IFVRB k op Vj GO label;"},
    {Op::VrbX,                2, "b",    false, "VRB k = X;"},
    {Op::Locate,              5, "d",    false, "LOCATE n;"},
    {Op::LocateVariable,      2, "b",    false, "LOCATE Vk;"},
    {Op::VrbB,          3, "bb",   false, "VRB k = Bn;"},
    {Op::Lim32,               6, "bd",   false, "LIM v = k;"},
    {Op::AccelVariable,       2, "b",    false, "ACCEL = Vk;"},
    {Op::VrbVariable,         3, "bb",   false, "VRB k = Vn;"},
    {Op::VrbW,                2, "b",    false, "VRB k = W;"},
}};
// clang-format on

namespace detail {

// Bytes of one operand field, at its shortest; 0 for a letter that is no field.
constexpr std::size_t FieldBytes(char field) {
  switch (field) {
    case 'b':
      return 1;
    case 'w':
    case 'a':
    case 'o':
      return 2;
    case 't':
      return 3;
    case 'd':
      return 4;
    default:
      return 0;
  }
}

constexpr bool FormMatchesLength(const Instruction& in) {
  std::size_t n = 1;
  for (char f : in.operands) {
    if (FieldBytes(f) == 0) return false;
    n += FieldBytes(f);
  }
  return in.length == 0 ? in.operands.empty() : in.length == n;
}

constexpr bool TableIsConsistent() {
  for (std::size_t i = 0; i < Instructions.size(); ++i) {
    const Instruction& in = Instructions[i];
    if (Code(in.code) != i) return false;
    if (!FormMatchesLength(in)) return false;
  }
  return true;
}

}  // namespace detail

// Row i describes code i, and each length is what its operand form adds up to.
static_assert(detail::TableIsConsistent());

// The table's row for a byte of code; none for a byte past the table (the end marker
// among them).
constexpr const Instruction* FindInstruction(std::uint8_t code) {
  return code < Instructions.size() ? &Instructions[code] : nullptr;
}

// Bytes the instruction at `address` occupies, as the listing shows it: 1 for the end
// marker, for a code that is no instruction and for a byte past the table; the
// two-operand VRB is 7, 10 or 13 bytes by its operand-kind bytes (a constant operand,
// kind 0, takes four bytes instead of one). Bytes past the end of `code` read as 0xFF.
inline std::size_t InstructionLength(std::span<const std::uint8_t> code, std::size_t address) {
  auto at = [&](std::size_t i) -> std::uint8_t { return i < code.size() ? code[i] : EndMarker; };
  const Instruction* in = FindInstruction(at(address));
  if (in == nullptr) return 1;
  if (in->code == Op::VrbOperation) {
    if (at(address + 2) == 0) return at(address + 8) == 0 ? 13 : 10;
    return at(address + 5) == 0 ? 10 : 7;
  }
  return in->length == 0 ? 1 : in->length;
}

}  // namespace kivra::compiler
