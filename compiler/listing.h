#pragma once

// The hexadecimal listing of a compiled program: one line per instruction, address in
// decimal, then the vector table. The command-code window and `kivra check --listing`
// show it.

#include <string>

#include "compiler/compile.h"

namespace kivra::compiler {

std::string BuildListing(const CodeImage& code, const VectorTable& vectors);

}  // namespace kivra::compiler
