#pragma once

// The link engine's states. Each exchange has a send state (builds its frame and sends
// it) and a wait state, the next number (acts on the reply). The numbers are fixed: session
// recordings and the frame inspector print them, so files written today stay readable.

#include <cstdint>

namespace kivra::link {

enum class LinkState : std::uint8_t {
  Idle = 1,  // sends a status request while polling is on
  DownloadBegin = 2,
  DownloadBeginWait = 3,
  DownloadData = 4,
  Run = 5,
  RunWait = 6,
  Stop = 7,  // also turns the script off
  StopWait = 8,
  DownloadDataWait = 9,
  DownloadVectors = 10,
  DownloadVectorsWait = 11,
  MemoryRead = 12,
  MemoryReadWait = 13,
  ScriptOn = 14,
  ScriptOnWait = 15,
  ReadParameters = 16,
  ReadParametersWait = 17,
  StatusWait = 18,
  ReadSettings = 19,
  ReadSettingsWait = 20,
  Move = 21,
  MoveWait = 22,
  Speed = 23,
  SpeedWait = 24,
  RunCurrent = 25,
  RunCurrentWait = 26,
  HoldCurrent = 27,
  HoldCurrentWait = 28,
  Microstep = 29,
  MicrostepWait = 30,
  Ramp = 31,
  RampWait = 32,
  StartSpeed = 33,
  StartSpeedWait = 34,
  Displacement = 35,
  DisplacementWait = 36,
  Direction = 37,
  DirectionWait = 38,
  Service1 = 39,
  Service1Wait = 40,
  Service2 = 41,
  Service2Wait = 42,
  ReadService = 43,
  ReadServiceWait = 44,
  Output = 45,
  OutputWait = 46,
  DownloadName = 47,
  DownloadNameWait = 48,
  ReadProgramName = 49,
  ReadProgramNameWait = 50,
  SpeedMode = 51,
  SpeedModeWait = 52,
  SpeedCoefficient = 53,
  SpeedCoefficientWait = 54,
  Param16 = 55,
  Param16Wait = 56,
  Param32 = 57,
  Param32Wait = 58,
  MemoryWrite = 59,
  MemoryWriteWait = 60,
};

// The wait state of a send state.
constexpr LinkState WaitOf(LinkState send) {
  return static_cast<LinkState>(static_cast<std::uint8_t>(send) + 1);
}

constexpr bool IsDownloadState(LinkState s) {
  switch (s) {
    case LinkState::DownloadBegin:
    case LinkState::DownloadBeginWait:
    case LinkState::DownloadData:
    case LinkState::DownloadDataWait:
    case LinkState::DownloadVectors:
    case LinkState::DownloadVectorsWait:
    case LinkState::DownloadName:
    case LinkState::DownloadNameWait:
      return true;
    default:
      return false;
  }
}

// What is being read: the reply the last send asked for.
enum class ReplyState : std::uint8_t {
  Idle = 1,
  Ack = 3,
  Memory = 4,
  ParamBlock = 5,
  Status = 6,
  MotorSettings = 7,
  ServiceValues = 8,
  ProgramName = 9,
};

enum class ReplyResult : std::uint8_t { Pending = 0, Ok = 1, Failed = 2 };

}  // namespace kivra::link
