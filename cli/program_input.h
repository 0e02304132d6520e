#pragma once

// Reading a program file and printing a check the way every command shows it, so that
// `kivra check` and the commands that check before they act print the same text.

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/file_read.h"
#include "compiler/compile.h"

namespace kivra::cli {

// The editor's lines of a program file's bytes: code page 1254, the text ends at the
// first zero byte, lines split as the editor splits them. The lines are UTF-8.
std::vector<std::string> ProgramLines(std::string_view fileBytes);

// Reads a file the user named, checked as common/file_read.h checks it. On failure returns
// nothing and sets `reason` to one line in `language`: the path and why.
std::optional<std::string> ReadFileBytes(const std::string& path, FileKind kind, Language language,
                                         std::string& reason);

// "en" or "tr".
std::optional<compiler::Language> ParseLanguage(std::string_view name);

// The message-list text of the check and, with `withListing`, the listing behind it
// (empty after a failed check).
void PrintCheck(std::ostream& out, const compiler::CompileResult& result, bool withListing);

// The banner's clock: the user's locale, short date and long time, as far as the C++
// library knows them.
compiler::Clock LocalClock();

}  // namespace kivra::cli
