#include "compiler/code_image.h"

#include <algorithm>

namespace kivra::compiler {

void ResetVectorTable(VectorTable& table) {
  for (std::size_t r = 0; r < VectorRecordCount; ++r) {
    std::uint8_t* rec = &table[r * VectorRecordSize];
    rec[0] = 0x02;  // no routine for this input
    rec[1] = 0x00;
    rec[2] = 0x00;
    rec[3] = 0xFF;  // no return address
    rec[4] = 0xFF;
  }
}

CodeWriter::CodeWriter(CodeImage& image, AddressLines& lines) : image_(image), lines_(lines) {
  image_.bytes.fill(EndMarker);
  image_.length = 0;
  lines_.fill(0);
}

void CodeWriter::Opcode(Op op, std::uint32_t line) {
  MarkLine(length_, line);
  Byte(Code(op));
}

void CodeWriter::Byte(std::uint8_t value) {
  Store(length_, value);
  // A run stops counting long before this could wrap: every line adds at most 13 bytes.
  ++length_;
  image_.length = length_;
}

void CodeWriter::Word16(std::uint32_t value) {
  Byte(static_cast<std::uint8_t>(value >> 8));
  Byte(static_cast<std::uint8_t>(value));
}

void CodeWriter::Word32(std::uint32_t value) {
  Byte(static_cast<std::uint8_t>(value >> 24));
  Byte(static_cast<std::uint8_t>(value >> 16));
  Byte(static_cast<std::uint8_t>(value >> 8));
  Byte(static_cast<std::uint8_t>(value));
}

void CodeWriter::Patch16(std::uint32_t address, std::uint32_t value) {
  Store(address, static_cast<std::uint8_t>(value >> 8));
  if (address + 1 > address) Store(address + 1, static_cast<std::uint8_t>(value));
}

void CodeWriter::ReplaceBack(std::uint32_t back, Op op) {
  if (back <= length_) Store(length_ - back, Code(op));
}

void CodeWriter::MarkLine(std::uint32_t address, std::uint32_t line) {
  if (address < CodeCapacity) lines_[address] = line;
}

void CodeWriter::ClampLength() {
  length_ = std::min<std::uint32_t>(length_, CodeCapacity);
  image_.length = length_;
}

}  // namespace kivra::compiler
