#include "compiler/listing.h"

#include "compiler/opcodes.h"

namespace kivra::compiler {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendHex(std::string& out, std::uint8_t b) {
  out += kHex[b >> 4];
  out += kHex[b & 0x0F];
}

// Three digits at least: 000 to 999, then 1000 and above as they are.
void AppendAddress(std::string& out, std::size_t a) {
  if (a >= 1000) out += static_cast<char>('0' + a / 1000 % 10);
  out += static_cast<char>('0' + a / 100 % 10);
  out += static_cast<char>('0' + a / 10 % 10);
  out += static_cast<char>('0' + a % 10);
  out += " :";
}

}  // namespace

std::string BuildListing(const CodeImage& code, const VectorTable& vectors) {
  std::string out;
  out.reserve(64 + code.length * 4);
  out += "Adr  Code      \n";
  const std::span<const std::uint8_t> bytes(code.bytes);
  std::size_t a = 0;
  while (a < code.length && a < bytes.size()) {
    AppendAddress(out, a);
    const std::size_t n = InstructionLength(bytes, a);
    for (std::size_t i = 0; i < n && a + i < bytes.size(); ++i) {
      if (i > 0) out += ' ';
      AppendHex(out, bytes[a + i]);
    }
    out += '\n';
    a += n;
  }
  out += "Vector : \n";
  for (std::size_t r = 0; r < VectorRecordCount; ++r) {
    AppendAddress(out, r + 1);
    for (std::size_t i = 0; i < VectorRecordSize; ++i) {
      if (i > 0) out += ' ';
      AppendHex(out, vectors[r * VectorRecordSize + i]);
    }
    out += '\n';
  }
  return out;
}

}  // namespace kivra::compiler
