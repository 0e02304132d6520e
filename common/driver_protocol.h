#pragma once

// The driver's serial protocol, as far as both ends of the line share it: the frame
// letters, the command codes, the acknowledgement and the checksum. The tool's link and
// the simulated driver build and read the frames each on their own side; they take the
// letters and codes from here, so each exists once.
//
// A frame is: length byte (the whole frame, itself and the checksum included), letter,
// payload, and a checksum that makes the XOR of all its bytes 0. Multi-byte values are
// big-endian. A reply repeats the request's command code as its letter.

#include <cstddef>
#include <cstdint>
#include <span>

namespace kivra::protocol {

// Neither side ever builds or expects a frame longer than this.
inline constexpr std::size_t FrameCapacity = 250;
// The driver acknowledges a command or a download frame with this single byte.
inline constexpr std::uint8_t Ack = 0x06;
// The driver refuses a request with this single byte.
inline constexpr std::uint8_t Refusal = 0x15;
// Code bytes in one program-data frame.
inline constexpr std::size_t MaxCodeChunk = 25;

// Letters of the frames the tool sends.
namespace letter {
inline constexpr std::uint8_t Command = 'K';  // command and parameter frames
inline constexpr std::uint8_t ProgramData = 'P';
inline constexpr std::uint8_t Vectors = 'V';
inline constexpr std::uint8_t Name = 'N';
}  // namespace letter

// Byte 2 of a command frame.
namespace code {
inline constexpr std::uint8_t Status = 's';
inline constexpr std::uint8_t BeginDownload = 'P';
inline constexpr std::uint8_t Run = 'R';
inline constexpr std::uint8_t Stop = 'S';  // also stops the script
inline constexpr std::uint8_t ScriptOn = 'G';
inline constexpr std::uint8_t MemoryRead = 'E';
inline constexpr std::uint8_t MemoryWrite = 'f';
inline constexpr std::uint8_t ReadParameters = 'A';
inline constexpr std::uint8_t ReadSettings = 't';
inline constexpr std::uint8_t Move = 'M';
inline constexpr std::uint8_t Speed = 'V';
inline constexpr std::uint8_t RunCurrent = 'C';
inline constexpr std::uint8_t HoldCurrent = 'B';
inline constexpr std::uint8_t Microstep = 'U';
inline constexpr std::uint8_t Ramp = 'X';
inline constexpr std::uint8_t StartSpeed = 'K';
inline constexpr std::uint8_t Displacement = 'D';
inline constexpr std::uint8_t Direction = 'F';
inline constexpr std::uint8_t SpeedMode = 'v';
inline constexpr std::uint8_t SpeedCoefficient = 'c';
inline constexpr std::uint8_t Output = 'x';
inline constexpr std::uint8_t Param16 = 'k';  // parameter frame, Prm 9..20
inline constexpr std::uint8_t Param32 = 'u';  // parameter frame, Prm 21..25
inline constexpr std::uint8_t Service1 = 'I';
inline constexpr std::uint8_t Service2 = 'J';
inline constexpr std::uint8_t ReadService = 'i';
inline constexpr std::uint8_t ReadProgramName = 'n';
}  // namespace code

inline std::uint8_t Xor(std::span<const std::uint8_t> bytes) {
  std::uint8_t x = 0;
  for (std::uint8_t b : bytes) x ^= b;
  return x;
}

}  // namespace kivra::protocol
