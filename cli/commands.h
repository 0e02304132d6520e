#pragma once

// Every command takes its arguments (without the program and command names) and
// returns the process exit status.

#include <ostream>
#include <string>
#include <vector>

#include "compiler/compile.h"

namespace kivra::cli {

using Args = std::vector<std::string>;

// kivra check: 0 without errors, 1 with errors, 2 for a usage error or an unreadable file.
int RunCheck(const Args& args);
// The same with its streams and the banner's clock supplied.
int CheckProgram(const Args& args, std::ostream& out, std::ostream& err,
                 const compiler::Clock& clock);

// kivra sim: runs the simulated driver on a pseudo-terminal until interrupted.
int RunSim(const Args& args);

}  // namespace kivra::cli
