#pragma once

// The port prompt for a text terminal: what the command line answers with when a port
// numbered 0 opens. It shows the serial devices found, numbered, and reads the answer: a
// number from the list, "COMn" for a port by number, or a device path. An empty answer or
// the end of input cancels.

#include <iosfwd>
#include <optional>
#include <vector>

#include "common/port_name.h"
#include "serial/port_list.h"

namespace kivra::serial {

std::optional<PortName> AskForPort(std::istream& in, std::ostream& out,
                                   const std::vector<PortInfo>& ports);

}  // namespace kivra::serial
