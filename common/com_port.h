#pragma once

// Serial ports as Windows names them: COM1 to COM255. A user may type the number alone
// ("7"), the port's name ("COM7", any case) or its device path ("\\.\COM7"); all three
// are the same port. Anything else that looks like a Windows name (a pipe, a file path,
// "COM" without a number, COM0, COM256) is refused with a reason the user can act on.
// Pure text rules, the same on every system, so that they can be tested anywhere.

#include <optional>
#include <string>
#include <string_view>

#include "common/language.h"
#include "common/port_name.h"

namespace kivra {

inline constexpr int kHighestComPort = 255;

enum class ComPortProblem {
  None,
  Empty,     // nothing typed
  NoNumber,  // "COM", "\\.\COM"
  Zero,      // "COM0": there is no such port ("0" alone asks for a port)
  TooHigh,   // "COM256", "300"
  Pipe,      // "\\.\pipe\name"
  NotAPort,  // a file path, a drive, another device, any other text
};

struct ComPortText {
  std::optional<PortName> port;  // set when problem is None; Number(0) for "0"
  ComPortProblem problem = ComPortProblem::None;
};

// Reads a port as a Windows user types it; surrounding blanks are ignored.
ComPortText ParseComPort(std::string_view text);

// What is wrong with `text`, one line in the chosen language, naming it.
std::string ComPortProblemText(ComPortProblem problem, std::string_view text, Language language);

}  // namespace kivra
