#pragma once

// Every command the tool sends in a command frame (08h 'K' code value checksum) or a
// parameter frame (09h 'K' code value index checksum), one row each: its code, the link
// states that send it and wait for its answer, the answer it gets, how the exchange is
// paced and retried, the values it accepts, and its name in both languages. The engine,
// the value checks, the decoder of the frame inspector and the simulated driver all read
// this table, so a command's facts exist once.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "common/driver_protocol.h"
#include "common/texts.h"
#include "link/states.h"

namespace kivra::link {

// What answers a command. Every answer but the acknowledgement is a frame whose letter
// repeats the command's code.
enum class Answer : std::uint8_t {
  Ack,            // the single byte 06h
  Status,         // 's'
  Memory,         // 'E'
  ParamBlock,     // 'A'
  MotorSettings,  // 't'
  ServiceValues,  // 'i'
  ProgramName,    // 'n'
};

// Where the 32-bit value of the frame comes from.
enum class Operand : std::uint8_t {
  None,         // always 0
  Setting,      // a motor setting or service value the user typed, checked by its rule
  Output,       // output number x 256 + its new state
  MemoryRead,   // the cell's address
  MemoryWrite,  // data x 65536 + address
  Parameter,    // a driver parameter: a 9-byte parameter frame with its index
};

// Which values a setting accepts. The bounds compare unsigned, because the driver reads
// the 32-bit field unsigned, so a negative number fails every upper bound.
enum class Accept : std::uint8_t { Any, Range, Microstep };

// The motor settings and the two service values, each written by its own command.
enum class Setting : std::uint8_t {
  Speed,
  RunCurrent,
  HoldCurrent,
  Microstep,
  Ramp,
  StartSpeed,
  Displacement,
  Direction,  // 0 left, 1 right
  SpeedMode,
  SpeedCoefficient,
  Service1,
  Service2,
};
inline constexpr std::size_t kSettingCount = 12;

struct ValueRule {
  Accept accept = Accept::Any;
  std::uint32_t low = 0;
  std::uint32_t high = 0;
};

struct Command {
  std::uint8_t code;  // byte 2 of the frame
  LinkState send;     // builds and sends the frame
  LinkState wait;     // acts on its answer
  Answer answer;
  int intervalMs;  // the tick set before sending
  bool flush;      // what was received before is discarded before the frame goes out
  int attempts;    // sends before the exchange fails
  Operand operand;
  texts::Bilingual name;
  // Settings only: which one, its name on the command line and in parameter files, and
  // the values it accepts.
  std::optional<Setting> setting = std::nullopt;
  std::string_view key = {};
  ValueRule rule = {};
};

// Sends of a command exchange, and of a download frame.
inline constexpr int kCommandAttempts = 3;
inline constexpr int kDownloadAttempts = 5;

// The whole table, in no particular order.
std::span<const Command> Commands();
const Command* CommandByCode(std::uint8_t code);
// The command a send state or its wait state belongs to.
const Command* CommandOfState(LinkState state);
const Command& CommandOf(Setting setting);
std::optional<Setting> SettingByKey(std::string_view key);

// The letter of a frame that answers (0 for the acknowledgement).
std::uint8_t LetterOf(Answer answer);
// Whether a frame with this letter can come from the driver.
bool IsReplyLetter(std::uint8_t letter);

}  // namespace kivra::link
