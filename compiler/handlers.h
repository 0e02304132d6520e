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

// variable_commands.cpp
void HandleVrb(Run&, std::string_view);

// counter_commands.cpp
void HandleVrbinc(Run&, std::string_view);
void HandleVrbdec(Run&, std::string_view);
void HandlePrm(Run&, std::string_view);
void HandleDelay(Run&, std::string_view);
void HandleWait(Run&, std::string_view);
void HandleWais(Run&, std::string_view);
void HandleMove(Run&, std::string_view);
void HandleRun(Run&, std::string_view);
void HandleStop(Run&, std::string_view);

// table_commands.cpp
void HandleTable(Run&, std::string_view);
void HandleRefpos(Run&, std::string_view);
void HandleMovt(Run&, std::string_view);

// interrupt_commands.cpp
void HandleInt(Run&, std::string_view);
void HandleRet(Run&, std::string_view);
void HandleEnbint(Run&, std::string_view);
void HandleDisint(Run&, std::string_view);
void HandleLim(Run&, std::string_view);
void HandleSpan(Run&, std::string_view);
void HandleOut(Run&, std::string_view);
void HandleFilter(Run&, std::string_view);

}  // namespace kivra::compiler
