#pragma once

// The driver's frames, both directions: length byte, letter, payload, XOR checksum.
// Everything here is a pure function of bytes so that it can be tested and fuzzed alone.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/code_image.h"
#include "common/driver_protocol.h"

namespace kivra::link {

using Frame = std::vector<std::uint8_t>;

inline constexpr std::size_t FrameCapacity = protocol::FrameCapacity;
inline constexpr std::uint8_t AckByte = protocol::Ack;
inline constexpr std::size_t MaxChunk = protocol::MaxCodeChunk;
// The name frame's length byte counts the name, its own byte, the letter and the checksum.
inline constexpr std::size_t MaxNameBytes = FrameCapacity - 3;

using protocol::Xor;

// 08h 'K' code value(4, big-endian) checksum.
Frame CommandFrame(std::uint8_t code, std::uint32_t value);
// 09h 'K' code value(4) index checksum: one driver parameter.
Frame ParameterFrame(std::uint8_t code, std::int32_t value, std::uint8_t index);
// n+5 'P' offset(2) n code bytes checksum, n at most MaxChunk.
Frame ProgramDataFrame(std::uint16_t offset, std::span<const std::uint8_t> code);
// 23h 'V' code length(2) vector table(30) checksum.
Frame VectorFrame(std::uint16_t codeLength, const VectorTable& vectors);
// n+3 'N' name checksum; names longer than MaxNameBytes are cut.
Frame NameFrame(std::string_view nameBytes);

// The file name the driver stores for a program path: blanks around the path dropped,
// then everything up to the last directory separator ('\' or '/'), in code page 1254.
std::string ProgramNameBytes(std::string_view utf8Path);

// Replies. Each decoder wants the bytes of one read whose checksum and letter have been
// tested; a reply too short for the fields it must carry gives nothing.
struct StatusReply {
  std::uint8_t io = 0;  // bits 0-5 inputs 1-6, bit 6 output 1, bit 7 output 2
  std::uint8_t analog1 = 0;
  std::uint8_t analog2 = 0;
  std::uint8_t mode = 0;  // bit 0 controller mode, bit 1 script running, bit 2 motor running
  std::uint8_t temperature = 0;
  std::uint8_t firmware = 0;  // tenths
  std::uint16_t address = 0;  // instruction the driver's program is executing

  bool Input(int n) const { return (io >> (n - 1)) & 1; }   // n = 1..6
  bool Output(int n) const { return (io >> (n + 5)) & 1; }  // n = 1, 2
  bool ControllerMode() const { return mode & 0x01; }
  bool ScriptRunning() const { return mode & 0x02; }
  bool MotorRunning() const { return mode & 0x04; }
};

struct MotorSettings {
  std::uint16_t speed = 0;
  std::uint16_t runCurrent = 0;
  std::uint16_t holdCurrent = 0;
  std::uint8_t microstep = 0;
  std::uint16_t ramp = 0;
  std::uint16_t startSpeed = 0;
  std::uint8_t direction = 0;  // 0 left, anything else right
  std::int32_t displacement = 0;
  std::uint16_t speedMode = 0;
  std::uint16_t speedCoefficient = 0;
};

struct ParameterBlock {
  std::array<std::uint16_t, 12> prm9to20{};
  std::array<std::int32_t, 5> prm21to25{};
};

struct ServiceValues {
  std::uint8_t value1 = 0;
  std::uint8_t value2 = 0;
};

bool IsValidReply(std::span<const std::uint8_t> bytes, std::uint8_t letter);

std::optional<StatusReply> DecodeStatus(std::span<const std::uint8_t> reply);
std::optional<MotorSettings> DecodeMotorSettings(std::span<const std::uint8_t> reply);
std::optional<ParameterBlock> DecodeParameterBlock(std::span<const std::uint8_t> reply);
std::optional<ServiceValues> DecodeServiceValues(std::span<const std::uint8_t> reply);
// The memory cell's value, byte 2.
std::optional<std::uint8_t> DecodeMemoryValue(std::span<const std::uint8_t> reply);
// Bytes 2 .. L-2 without surrounding blanks and control characters, as UTF-8.
std::optional<std::string> DecodeProgramName(std::span<const std::uint8_t> reply);

}  // namespace kivra::link
