#pragma once

// Where this program keeps files of its own state (the desktop application's serial log
// when it is started from the desktop menu), by each system's rules:
//   POSIX systems: $XDG_STATE_HOME/kivra-ps, or ~/.local/state/kivra-ps when XDG_STATE_HOME
//                  is unset, empty or relative (the XDG base directory rules);
//   Windows:       %LOCALAPPDATA%\kivra-ps.
// The variables are read through `Environment`, so that the rules can be tried with any.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kivra {

// A variable's value in UTF-8, nothing when it is unset.
using Environment = std::function<std::optional<std::string>(const char* name)>;

// The process's own environment (on Windows read as wide characters, so that a user name
// outside the ANSI code page survives).
std::optional<std::string> SystemVariable(const char* name);

// The folder, nothing when the variables it is made from name no absolute folder.
std::optional<std::filesystem::path> StateFolder(const Environment& env = SystemVariable);

}  // namespace kivra
