#pragma once

// Instruction lengths of the driver's byte code. The listing, the simulated driver and
// the tests all measure instructions with this one table.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kivra::compiler {

inline constexpr std::uint8_t EndMarker = 0xFF;
inline constexpr std::uint8_t OpJump = 0x09;
inline constexpr std::uint8_t OpVrbExpression = 0x2F;  // VRB k = left op right, 7, 10 or 13 bytes

// Length in bytes of each opcode 00h..3Ah. 0 marks opcodes no command produces; the
// two-operand VRB (2Fh) is listed with its shortest form.
inline constexpr std::array<std::uint8_t, 0x3B> OpcodeLengths = {
    0, 0, 3, 2, 3, 3, 3, 5, 2, 3, 2, 3, 5, 2, 4, 4,  // 00..0F
    4, 4, 4, 1, 1, 1, 1, 1, 3, 6, 1, 2, 2, 2, 2, 4,  // 10..1F
    3, 4, 2, 3, 2, 2, 3, 2, 1, 2, 3, 3, 3, 2, 3, 7,  // 20..2F
    3, 3, 4, 2, 5, 2, 3, 6, 2, 3, 2,                 // 30..3A
};

// Bytes the instruction at `address` occupies, as the listing shows it: 1 for the end
// marker, for an opcode of length 0 and for a byte that is no opcode at all; the
// two-operand VRB is 7, 10 or 13 bytes by its operand-kind bytes (a constant operand,
// kind 0, takes four bytes instead of one). Bytes past the end of `code` read as 0xFF.
inline std::size_t InstructionLength(std::span<const std::uint8_t> code, std::size_t address) {
  auto at = [&](std::size_t i) -> std::uint8_t { return i < code.size() ? code[i] : EndMarker; };
  const std::uint8_t op = at(address);
  if (op == EndMarker || op >= OpcodeLengths.size()) return 1;
  if (op == OpVrbExpression) {
    if (at(address + 2) == 0) return at(address + 8) == 0 ? 13 : 10;
    return at(address + 5) == 0 ? 10 : 7;
  }
  return OpcodeLengths[op] == 0 ? 1 : OpcodeLengths[op];
}

}  // namespace kivra::compiler
