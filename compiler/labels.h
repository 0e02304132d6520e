#pragma once

// Labels and the references to them. A jump may name a label further down, so each
// reference leaves two placeholder bytes and an entry here; the fixup pass writes the
// label addresses into them once the whole program has been read. Interrupt routines
// that return to a label register a vector reference the same way. The tables grow as
// needed: a program is limited by its code memory only.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compiler/code_image.h"
#include "compiler/messages.h"

namespace kivra::compiler {

class Labels {
 public:
  // `label` is the text of the line up to and including its first colon, trimmed.
  void Define(std::string_view label, std::uint32_t address, std::uint32_t line, MessageLog& log);

  // Names are what follows the command's keyword; they never hold a colon.
  void AddJump(std::string_view name, std::uint32_t placeholder, std::uint32_t line);
  void AddVector(std::string_view name, std::uint8_t input, std::uint32_t line);

  // The fixup pass: every jump reference, each missing label reported at its own line;
  // then, only when no error has been counted, the vector references.
  void Resolve(MessageLog& log, CodeWriter& code, VectorTable& vectors) const;

 private:
  struct JumpRef {
    std::string name;
    std::uint32_t placeholder;
    std::uint32_t line;
  };
  struct VectorRef {
    std::string name;
    std::uint8_t input;
    std::uint32_t line;
  };

  // Keyed without the colon that ends every label: a label's text stops at its first
  // colon and a reference never holds one, so the colon tells nothing apart.
  std::unordered_map<std::string, std::uint32_t> addresses_;
  std::vector<JumpRef> jumps_;
  std::vector<VectorRef> vectors_;
};

}  // namespace kivra::compiler
