#pragma once

// Writing instructions into the code image. The length counts every byte a program asks
// for, but nothing is ever stored at address CodeCapacity or above: a program that
// overflows is reported after the line that reached the end, and its image is not used.

#include <cstdint>

#include "compiler/compile.h"
#include "compiler/opcodes.h"

namespace kivra::compiler {

void ResetVectorTable(VectorTable& table);

class CodeWriter {
 public:
  // Resets the image (0xFF everywhere, length 0) and the address lines.
  CodeWriter(CodeImage& image, AddressLines& lines);

  std::uint32_t Length() const { return length_; }
  bool Full() const { return length_ >= CodeCapacity; }

  // An instruction's first byte: its address remembers the editor line.
  void Opcode(Op op, std::uint32_t line);
  void Byte(std::uint8_t value);
  void Word16(std::uint32_t value);  // low 16 bits, high byte first
  void Word32(std::uint32_t value);  // high byte first
  void Patch16(std::uint32_t address, std::uint32_t value);
  // Handlers that learn the instruction's form only from a later operand rewrite the
  // opcode `back` bytes before the current end; its address line stays.
  void ReplaceBack(std::uint32_t back, Op op);
  void MarkLine(std::uint32_t address, std::uint32_t line);

  // Makes the 0xFF behind the last instruction part of the image.
  void AppendEndMarker() { image_.length = ++length_; }
  // Called at the end of a failed run: the counted length may have run past the image.
  void ClampLength();

 private:
  void Store(std::uint32_t address, std::uint8_t value) {
    if (address < CodeCapacity) image_.bytes[address] = value;
  }

  CodeImage& image_;
  AddressLines& lines_;
  std::uint32_t length_ = 0;
};

}  // namespace kivra::compiler
