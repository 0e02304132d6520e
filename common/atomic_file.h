#pragma once

// Files written whole or not at all: the text goes into a temporary file beside the
// target, which replaces the target only once everything is on the disk. A failure at
// any point leaves the old file as it was and no temporary file behind.

#include <string>
#include <string_view>

namespace kivra {

// False on failure, with the reason (the system's words) in `reason`. A new file gets the
// permissions the user's umask gives; a replaced one keeps its own.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& reason);

}  // namespace kivra
