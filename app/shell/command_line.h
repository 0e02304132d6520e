#pragma once

// What kivra-ps's command line decides before the window exists: --help and --version are
// answered without a display, and a start from the desktop menu keeps the serial log out
// of the home folder.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivra::app {

// The desktop entry starts the program with this option: the serial diagnostic log then
// goes to the user's state folder instead of the working directory, which for a start from
// the menu is the home folder.
inline constexpr std::string_view kStateLogOption = "log-to-state-folder";

// The text that --help, -h or -? and --version print, when the arguments (without the
// program's name) ask for one of them; the program then ends with status 0. Arguments after
// "--" are file names.
std::optional<std::string> TextInsteadOfWindow(const std::vector<std::string_view>& args);

// The folder for our state files: $XDG_STATE_HOME/kivra-ps, or ~/.local/state/kivra-ps when
// XDG_STATE_HOME is unset, empty or relative (relative base folders are ignored). Nothing
// when not even HOME is an absolute path. `env` reads a variable, nullptr when unset.
using Environment = std::function<const char*(const char*)>;
std::optional<std::filesystem::path> StateFolder(const Environment& env);

// The state folder, created when missing, for the serial log. When it cannot be had, says
// why on `err` and returns an empty text: the log stays in the working directory.
std::string PrepareStateLogFolder(const Environment& env, std::FILE* err);

}  // namespace kivra::app
