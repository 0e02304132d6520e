#pragma once

// What kivra-ps's command line decides before the window exists: --help and --version are
// answered without a display, and a start from the desktop menu keeps the serial log out
// of the home folder.

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/state_folder.h"

namespace kivra::app {

using kivra::Environment;

// The desktop entry starts the program with this option: the serial diagnostic log then
// goes to the user's state folder instead of the working directory, which for a start from
// the menu is the home folder.
inline constexpr std::string_view kStateLogOption = "log-to-state-folder";

// The text that --help, -h or -? and --version print, when the arguments (without the
// program's name) ask for one of them; the program then ends with status 0. Arguments after
// "--" are file names.
std::optional<std::string> TextInsteadOfWindow(const std::vector<std::string_view>& args);

// The state folder, created when missing, for the serial log. When it cannot be had, says
// why on `err` and returns an empty text: the log stays in the working directory.
// Its rules per system are common/state_folder.h's.
std::string PrepareStateLogFolder(const Environment& env, std::FILE* err);

}  // namespace kivra::app
