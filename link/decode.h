#pragma once

// What a frame on the line means, in both directions, for the people watching the link:
// the frame inspector, `kivra monitor` and their saved logs. A pure function of the bytes:
// any bytes at all give an answer, and bytes that are no frame come back as Raw, to be
// shown as they are.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/language.h"
#include "link/frames.h"
#include "link/line_event.h"

namespace kivra::link {

enum class FrameKind : std::uint8_t {
  Command,         // 08h 'K' code value
  Parameter,       // 09h 'K' code value index
  ProgramData,     // 'P' offset and up to 25 code bytes
  Vectors,         // 'V' code length and the vector table
  Name,            // 'N' the program's file name
  Ack,             // 06h
  StatusReply,     // 's'
  SettingsReply,   // 't'
  ParameterReply,  // 'A'
  ServiceReply,    // 'i'
  MemoryReply,     // 'E'
  NameReply,       // 'n'
  Raw,             // no frame of the protocol
};

struct DecodedFrame {
  FrameKind kind = FrameKind::Raw;
  bool checksumOk = false;
  std::uint8_t code = 0;   // command code, or the reply's letter
  std::int64_t value = 0;  // command or parameter value; data offset; the vectors' code length
  std::uint8_t index = 0;  // a parameter frame's index
  std::size_t count = 0;   // code bytes of a data frame
  std::string text;        // the name of a name frame or name reply, UTF-8
  StatusReply status{};
  MotorSettings settings{};
  ParameterBlock parameters{};
  ServiceValues service{};
};

// One event's bytes: a frame the tool sent, or a reply (or what came instead of one).
DecodedFrame DecodeFrame(std::span<const std::uint8_t> bytes, Direction direction);

// The meaning in words: "speed = 1200", "status: inputs 100000, outputs 01, analog 12/200,
// 31 °C, controller, script on, motor stopped, address 10", "acknowledgement", and for Raw
// frames "undecodable". A broken checksum is said after the meaning.
std::string DescribeFrame(const DecodedFrame& frame, Language language);

// "08 4B 73 00 00 00 00 30"
std::string HexBytes(std::span<const std::uint8_t> bytes);

}  // namespace kivra::link
