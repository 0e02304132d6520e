#pragma once

// Every command takes its arguments (without the program and command names) and
// returns the process exit status.

#include <string>
#include <vector>

namespace kivra::cli {

using Args = std::vector<std::string>;

int RunSim(const Args& args);

}  // namespace kivra::cli
