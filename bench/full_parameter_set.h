#pragma once

// A parameter file that names every value a driver keeps: the motor settings, Prm 9 to
// Prm 25 and both service values. The benchmark writes it; the tests read and write it.

#include <string>

namespace kivra::bench {

inline std::string FullParameterSetText() {
  std::string text =
      "format = 1\nspeed = 1200\nrun-current = 800\nhold-current = 40\nmicrostep = 16\n"
      "ramp = 500\nstart-speed = 50\ndirection = L\nspeed-mode = 1\nspeed-coefficient = 3\n";
  for (int prm = 9; prm <= 25; ++prm)
    text += "prm" + std::to_string(prm) + " = " + std::to_string(prm * 11) + "\n";
  text += "service1 = 80\nservice2 = 90\n";
  return text;
}

}  // namespace kivra::bench
