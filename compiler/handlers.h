#pragma once

// The keyword handlers, one source file per family. The dispatch table in keywords.cpp
// is the one place that maps a keyword to its handler.

#include <string_view>

#include "compiler/opcodes.h"
#include "compiler/run.h"

namespace kivra::compiler {

// Looks a keyword up, exactly and as a whole word; nullptr when the language has no
// such command.
Handler FindHandler(std::string_view keyword);

// program_end.cpp
void HandleEnd(Run&, std::string_view);

// motion_commands.cpp
void HandleCuron(Run&, std::string_view);
void HandleMicros(Run&, std::string_view);
void HandleSpeed(Run&, std::string_view);
void HandleAccel(Run&, std::string_view);
void HandleInitv(Run&, std::string_view);
void HandleDisp(Run&, std::string_view);
void HandleLocate(Run&, std::string_view);
void HandleDir(Run&, std::string_view);
void HandleCuroff(Run&, std::string_view);

// jump_commands.cpp
void HandleJump(Run&, std::string_view);
void HandleIfinp(Run&, std::string_view);
void HandleIfvrb(Run&, std::string_view);

}  // namespace kivra::compiler
