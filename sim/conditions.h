#pragma once

// The conditions of the simulated world (inputs, analog values, temperature, faults, a
// pulled adapter) as a small language shared by the command line options of `kivra sim`
// ("--inputs 0x15") and the lines typed while it runs ("inputs 0x15").

#include <string>
#include <string_view>

#include "sim/simulator.h"

namespace kivra::sim {

struct ConditionResult {
  bool ok = false;
  std::string message;  // the error, or what a query answers
};

// Whether `name` is a condition, and whether it takes a value.
bool IsCondition(std::string_view name);
bool ConditionTakesValue(std::string_view name);

// Applies one condition; `value` is empty for the ones without a value.
ConditionResult ApplyCondition(Simulator& sim, std::string_view name, std::string_view value);

// One line per condition: name, value, what it does.
std::string ConditionHelp();

// The state and the stored program in a few lines, for people.
std::string DescribeState(const DriverState& state, const StoredProgram& program);

}  // namespace kivra::sim
