#pragma once

// The language's keywords, as the compiler's dispatch table lists them (END included),
// for tools that colour or complete program text. Keywords are upper case; the compiler
// reads a program in upper case, so any case matches.

#include <span>
#include <string_view>

namespace kivra::compiler {

std::span<const std::string_view> KeywordNames();

}  // namespace kivra::compiler
