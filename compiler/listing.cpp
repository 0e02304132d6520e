#include "compiler/listing.h"

#include <algorithm>
#include <string_view>

#include "compiler/opcodes.h"

namespace kivra::compiler {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// Writes into a buffer sized for the longest listing, which keeps the listing, built
// after every successful check, off the editor's keystroke budget.
class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}

  void Text(std::string_view s) {
    for (char c : s) *p_++ = c;
  }
  void Hex(std::uint8_t b) {
    *p_++ = kHex[b >> 4];
    *p_++ = kHex[b & 0x0F];
  }
  // Three digits at least: 000 to 999, then 1000 and above as they are.
  void Address(std::size_t a) {
    if (a >= 1000) *p_++ = static_cast<char>('0' + a / 1000 % 10);
    *p_++ = static_cast<char>('0' + a / 100 % 10);
    *p_++ = static_cast<char>('0' + a / 10 % 10);
    *p_++ = static_cast<char>('0' + a % 10);
    Text(" :");
  }
  void Bytes(const std::uint8_t* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      if (i > 0) *p_++ = ' ';
      Hex(bytes[i]);
    }
    *p_++ = '\n';
  }
  void Finish() { out_.resize(static_cast<std::size_t>(p_ - out_.data())); }

 private:
  std::string& out_;
  char* p_ = out_.data();
};

// Header, per byte at most "XX " and per line at most "dddd :" and a line break, then the
// vector part.
constexpr std::size_t kMaxListing = 16 + CodeCapacity * 3 + CodeCapacity * 7 + 10 +
                                    VectorRecordCount * (6 + VectorRecordSize * 3 + 1);

}  // namespace

std::string BuildListing(const CodeImage& code, const VectorTable& vectors) {
  std::string out(kMaxListing, '\0');
  Writer w(out);
  w.Text("Adr  Code      \n");
  const std::span<const std::uint8_t> bytes(code.bytes);
  std::size_t a = 0;
  while (a < code.length && a < bytes.size()) {
    w.Address(a);
    const std::size_t n = std::min(InstructionLength(bytes, a), bytes.size() - a);
    w.Bytes(&bytes[a], n);
    a += n;
  }
  w.Text("Vector : \n");
  for (std::size_t r = 0; r < VectorRecordCount; ++r) {
    w.Address(r + 1);
    w.Bytes(&vectors[r * VectorRecordSize], VectorRecordSize);
  }
  w.Finish();
  return out;
}

}  // namespace kivra::compiler
