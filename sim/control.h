#pragma once

// A small control language for a running simulator, shared by the command line options
// of `kivra sim` ("--inputs 0x15") and the lines typed while it runs ("inputs 0x15").

#include <string>
#include <string_view>

#include "sim/simulator.h"

namespace kivra::sim {

struct ControlResult {
  bool ok = false;
  std::string message;  // the error, or what a query answers
};

// Whether `name` is a control, and whether it takes a value.
bool IsControl(std::string_view name);
bool ControlTakesValue(std::string_view name);

// Applies one control; `value` is empty for the ones without a value.
ControlResult ApplyControl(Simulator& sim, std::string_view name, std::string_view value);

// One line per control: name, value, what it does.
std::string ControlHelp();

// The state and the stored program in a few lines, for people.
std::string DescribeState(const DriverState& state, const StoredProgram& program);

}  // namespace kivra::sim
