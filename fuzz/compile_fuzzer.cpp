// Compiles arbitrary bytes in both languages and checks what every caller relies on:
// the language changes the words, never the outcome; a successful check yields an image
// of at most 2048 bytes that ends in its end marker and is made of whole instructions;
// address lines name existing lines and instruction starts; the lines' code tiles the
// image; every message concerns a line of the program; vector records are either
// untouched or point into the image; a failed check leaves no listing.

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "compiler/compile.h"
#include "compiler/opcodes.h"

namespace {

using namespace kivra::compiler;

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckVectors(const CompileResult& r) {
  for (std::size_t n = 0; n < VectorRecordCount; ++n) {
    const std::uint8_t* rec = &r.vectorTable[n * VectorRecordSize];
    const unsigned routine = rec[1] << 8 | rec[2];
    const unsigned back = rec[3] << 8 | rec[4];
    if (rec[0] == 2) {
      Require(routine == 0);
    } else {
      Require(rec[0] <= 1);
      Require(routine < r.code.length && r.code.bytes[routine] == Code(Op::Routine));
    }
    Require(back == 0xFFFF || back < r.code.length);
  }
}

void CheckValid(const CompileResult& r, std::size_t lineCount) {
  Require(r.errorCount == 0);
  Require(r.code.length >= 1 && r.code.length <= CodeCapacity);
  Require(r.code.bytes[r.code.length - 1] == EndMarker);
  Require(r.codeUsed == r.code.length && r.codeUsed + r.codeRemaining == CodeCapacity);
  Require(!r.listingText.empty());

  // The instructions tile the image exactly, the end marker last.
  std::vector<bool> starts(CodeCapacity, false);
  std::size_t a = 0;
  while (a + 1 < r.code.length) {
    starts[a] = true;
    a += InstructionLength(r.code.bytes, a);
  }
  Require(a == r.code.length - 1);
  starts[a] = true;

  for (std::size_t i = 0; i < CodeCapacity; ++i) {
    const auto line = r.addressLines[i];
    if (line == 0) continue;
    Require(line <= lineCount);
    Require(i < r.code.length && starts[i]);
  }
  // Every line's code lies in the image, and together the lines hold all of it.
  Require(r.lineCode.size() == lineCount);
  std::uint32_t total = 0;
  for (const LineCode& code : r.lineCode) {
    Require(code.length == 0 || code.address + code.length <= r.code.length);
    total += code.length;
  }
  Require(total == r.code.length);
  CheckVectors(r);
}

void CheckResult(const CompileResult& r, std::size_t lineCount) {
  Require(r.code.length <= CodeCapacity);
  // One diagnostic per counted message, each about a line of the program.
  Require(r.diagnostics.size() == static_cast<std::size_t>(r.errorCount + r.warningCount));
  for (const Diagnostic& d : r.diagnostics) Require(d.line <= lineCount);
  Require(r.programValid == (r.errorCount == 0 && r.countersSet));
  if (r.programValid) {
    CheckValid(r, lineCount);
  } else {
    Require(r.listingText.empty());
    for (auto line : r.addressLines) Require(line <= lineCount);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  // Program files end at their first zero byte.
  text = text.substr(0, text.find('\0'));
  const auto lines = SplitLines(text);
  const Clock clock = [] { return Timestamp{"01.01.2025", "00:00:00"}; };

  const auto en = Compile(lines, Language::English, clock);
  const auto tr = Compile(lines, Language::Turkish, clock);
  CheckResult(en, lines.size());
  CheckResult(tr, lines.size());
  Require(en.errorCount == tr.errorCount && en.warningCount == tr.warningCount);
  Require(en.programValid == tr.programValid);
  Require(en.code.length == tr.code.length && en.code.bytes == tr.code.bytes);
  Require(en.vectorTable == tr.vectorTable && en.listingText == tr.listingText);
  return 0;
}
