#pragma once

// The simulated driver's behaviour, without any port or clock: bytes from the tool go
// in together with the time they arrived, and out come the replies with the time each
// one is complete on the line. Feeding the same bytes at the same times gives the same
// replies, so the behaviour is tested without a pseudo-terminal.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/frame.h"
#include "sim/line.h"
#include "sim/script.h"
#include "sim/state.h"

namespace kivra::sim {

// Something a log may want to show.
struct Event {
  enum class Kind {
    Received,   // a valid frame from the tool
    Discarded,  // bytes that formed no frame
    Refused,    // a valid frame the driver did not answer (out of range, unknown, silent)
    Faulted,    // a reply changed or withheld by a fault rule
    Sent,       // bytes written to the line (reported by the runner)
    NotSent,    // a reply lost because no one had the port open (reported by the runner)
  };
  Kind kind;
  TimePoint time;
  Bytes bytes;
  std::string text;
};

struct ReceivedFrame {
  TimePoint time;
  Bytes bytes;
};

inline constexpr std::size_t kLongestStatus = 64;

class Driver {
 public:
  struct Options {
    std::chrono::nanoseconds byteTime = LineByteTime;
    // From the last byte of a request to the first byte of its answer.
    std::chrono::nanoseconds turnaround = std::chrono::milliseconds(3);
    // The status reply's length: 12 (the fields alone) up to kLongestStatus, the bytes
    // after the fields zero. The length byte alone says how long a reply is.
    std::size_t statusLength = 16;
    // An incomplete frame is given up after this long without a byte.
    std::chrono::nanoseconds frameGap = std::chrono::milliseconds(100);
    // Pace of the stored program's walk.
    std::chrono::nanoseconds scriptStep = std::chrono::milliseconds(200);
    // Pause between the two parts of a split reply; longer than the tool's command tick,
    // so the parts arrive in different reads.
    std::chrono::nanoseconds splitGap = std::chrono::milliseconds(120);
    // Extra time before a delayed reply starts.
    std::chrono::nanoseconds lateDelay = std::chrono::milliseconds(200);
    std::uint8_t firmwareVersion = 12;
  };

  explicit Driver(const Options& options);
  Driver() : Driver(Options{}) {}

  struct Output {
    // In order on the line. A reply starts when the request is complete, the turnaround
    // has passed and the line is free; it is complete after the time its bytes take.
    std::vector<Transmission> transmissions;
    std::vector<Event> events;
  };
  // `now` is the moment the last of `bytes` has arrived.
  void Receive(std::span<const std::uint8_t> bytes, TimePoint now, Output& out);

  // Brings the time-driven state (the script's walk, the end of a move) up to `now`.
  void Advance(TimePoint now);

  // The outside world.
  void SetInputs(std::uint8_t bits) { state_.inputs = bits & 0x3F; }
  void SetAnalog(int channel, std::uint8_t value);
  void SetTemperature(std::uint8_t celsius) { state_.temperature = celsius; }
  // Bit 0 (controller mode) and the unused bits 3 to 7; script and motor bits are the state's.
  void SetModeFlags(std::uint8_t flags) { state_.modeFlags = flags & ~kStateModeBits; }
  void SetOutput(int output, bool on);
  void SetMemoryCell(std::uint16_t address, std::uint8_t value);
  std::uint8_t MemoryCell(std::uint16_t address) const;

  void AddFault(const FaultRule& rule) { faults_.Add(rule); }
  // How late a delayed reply starts.
  void SetLateDelay(std::chrono::nanoseconds delay) { options_.lateDelay = delay; }
  void ClearFaults() { faults_.Clear(); }
  // Frames that arrive before `until` are read and ignored: no reply, no effect.
  void SilenceUntil(TimePoint until) { silentUntil_ = until; }

  // The state as of `now` (advances first).
  DriverState State(TimePoint now);
  const StoredProgram& Program() const { return program_; }
  // The latest valid frames received, oldest first (at most HistoryLimit).
  const std::deque<ReceivedFrame>& History() const { return history_; }
  static constexpr std::size_t HistoryLimit = 4096;

  // Reply frames as the driver builds them (no faults, no timing).
  Bytes StatusReply() const;
  Bytes ParameterReply() const;
  Bytes MotorSettingsReply() const;
  Bytes ServiceReply() const;
  Bytes MemoryReply(std::uint32_t address) const;
  Bytes NameReply() const;

  // Human-readable description of a frame from the tool, for logs.
  static std::string Describe(std::span<const std::uint8_t> frame);

 private:
  static constexpr std::uint8_t kStateModeBits = 0x06;  // bit 1 script, bit 2 motor running

  struct Reply {
    ReplyKind kind;
    Bytes bytes;
  };
  struct Command {
    std::uint8_t code;
    std::uint32_t value;
    std::optional<std::uint8_t> index;  // parameter frames only
  };
  struct CommandRow;
  static const CommandRow* FindCommand(std::uint8_t code);

  std::optional<Reply> Execute(std::span<const std::uint8_t> frame, TimePoint now);
  std::optional<Reply> Dispatch(std::span<const std::uint8_t> frame, TimePoint now);
  std::optional<Reply> ExecuteCommand(const Command& command, TimePoint now);
  std::optional<Reply> StoreData(std::span<const std::uint8_t> frame);
  std::optional<Reply> StoreVectors(std::span<const std::uint8_t> frame);
  std::optional<Reply> StoreName(std::span<const std::uint8_t> frame);
  void Send(Reply reply, TimePoint now, Output& out);

  Options options_;
  FrameReader reader_;
  ScriptWalker script_;
  FaultPlan faults_;
  DriverState state_;
  StoredProgram program_;
  std::vector<std::uint8_t> memory_;
  bool runCommanded_ = false;
  TimePoint moveEnd_{};
  TimePoint lineFreeAt_{};
  TimePoint silentUntil_{};
  std::deque<ReceivedFrame> history_;
};

}  // namespace kivra::sim
