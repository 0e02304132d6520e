#pragma once

// What the simulated driver keeps: the settings the tool's commands write, the values
// of the outside world (inputs, analog values, temperature), and the stored program.

#include <array>
#include <cstdint>
#include <string>

#include "common/code_image.h"
#include "compiler/opcodes.h"

namespace kivra::sim {

// Settings as the commands store them: the 32-bit value of the command, reported in the
// width the motor-settings reply has for it.
struct MotorSettings {
  std::uint32_t speed = 1000;          // 'V'
  std::uint32_t runningCurrent = 500;  // 'C'
  std::uint32_t holdingCurrent = 50;   // 'B'
  std::uint32_t microStep = 4;         // 'U'
  std::uint32_t ramp = 1000;           // 'X'
  std::uint32_t startSpeed = 100;      // 'K'
  std::uint32_t direction = 1;         // 'F': 0 left, other right
  std::int32_t displacement = 0;       // 'D'
  std::uint32_t speedMode = 0;         // 'v'
  std::uint32_t speedCoefficient = 1;  // 'c'

  bool operator==(const MotorSettings&) const = default;
};

inline constexpr std::size_t Parameter16Count = 20;  // Prm 1 to Prm 20
inline constexpr std::size_t Parameter32Count = 5;   // Prm 21 to Prm 25
inline constexpr std::size_t MemorySize = 0x4000;    // cells 0 to 3FFFh

struct DriverState {
  // The outside world, set by whoever runs the simulator.
  std::uint8_t inputs = 0;  // inputs 1 to 6 in bits 0 to 5
  std::uint8_t analog1 = 0;
  std::uint8_t analog2 = 0;
  std::uint8_t temperature = 25;  // °C
  std::uint8_t modeFlags = 0x01;  // bit 0 controller mode; bits 1 and 2 come from the state
  std::uint8_t firmwareVersion = 12;

  bool output1 = false;
  bool output2 = false;
  MotorSettings motor;
  bool motorRunning = false;                                   // running ('R') or moving ('M')
  std::array<std::uint16_t, Parameter16Count> parameters16{};  // [i] is Prm i+1
  std::array<std::int32_t, Parameter32Count> parameters32{};   // [i] is Prm 21+i
  std::array<std::uint8_t, 2> serviceValues = {100, 100};      // 'I', 'J'

  bool scriptRunning = false;
  std::uint16_t scriptAddress = 0;

  std::uint32_t framesReceived = 0;  // valid frames, answered or not
  std::uint32_t framesRefused = 0;   // valid frames the driver could not take
  std::uint32_t bytesDiscarded = 0;  // bytes that formed no frame
};

// Prm n, 1 to 25; 16-bit parameters unsigned, 32-bit ones signed.
std::int64_t Parameter(const DriverState& state, int number);

// The program memory as the download left it.
struct StoredProgram {
  CodeImage code;  // bytes written by data frames, 0xFF elsewhere; length from the vector frame
  VectorTable vectors{};
  std::string name;                    // code page 1254, as it came in the name frame
  std::uint32_t downloadsStarted = 0;  // begin frames received
  bool hasVectors = false;             // a vector frame came after the last begin frame
  bool hasName = false;                // a name frame came after the last begin frame

  StoredProgram() { code.bytes.fill(compiler::EndMarker); }
};

}  // namespace kivra::sim
