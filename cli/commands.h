#pragma once

// Every command takes its arguments (without the program and command names) and
// returns the process exit status.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compile.h"

namespace kivra::cli {

using Args = std::vector<std::string>;

// `kivra COMMAND --help` (or -h anywhere among the arguments): prints the command's usage
// on standard output and returns true, for the command to exit with 0.
bool HelpAsked(const Args& args, std::string_view usage);

// kivra check: 0 without errors, 1 with errors, 2 for a usage error or an unreadable file.
int RunCheck(const Args& args);
// The same with its streams and the banner's clock supplied.
int CheckProgram(const Args& args, std::ostream& out, std::ostream& err,
                 const compiler::Clock& clock);

// kivra sim: runs the simulated driver on a pseudo-terminal until interrupted.
int RunSim(const Args& args);

// The driver link: write a program into the driver, watch its status, send one request.
int RunDownload(const Args& args);
int RunSend(const Args& args);
int RunStatus(const Args& args);
// Every frame on the line, decoded.
int RunMonitor(const Args& args);

// Parameter sets: read a driver's into a file, write one and verify it, compare.
int RunParams(const Args& args);
// Production runs: program drivers on several ports, or one after another at a station.
int RunFlash(const Args& args);

}  // namespace kivra::cli
