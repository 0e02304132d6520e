#include "sim/driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/cp1254.h"
#include "link/commands.h"

namespace kivra::sim {
namespace {

namespace code = protocol::code;

constexpr std::uint16_t kLastMemoryAddress = MemorySize - 1;

// A stand-in for the motor: displacement counted in micro-steps, 200 full steps a
// revolution, at the set speed; no move is shown longer than this.
constexpr std::chrono::seconds kLongestMove{10};
constexpr double kFullStepsPerRevolution = 200.0;

// Replies stop being queued once the line is booked this far ahead: a tool that sends
// faster than 9600 baud can carry the answers overruns the driver.
constexpr std::chrono::seconds kMaxLineBacklog{2};

void Put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v >> 8));
  b.push_back(static_cast<std::uint8_t>(v));
}

void Put32(Bytes& b, std::uint32_t v) {
  Put16(b, v >> 16);
  Put16(b, v);
}

std::uint32_t Get32(std::span<const std::uint8_t> b) {
  return std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3];
}

std::chrono::nanoseconds MoveDuration(const MotorSettings& m) {
  const double steps = std::abs(static_cast<double>(m.displacement));
  const double stepsPerSecond = std::max(
      1.0, m.speed / 60.0 * kFullStepsPerRevolution * std::max<std::uint32_t>(1, m.microStep));
  const double seconds = std::min<double>(steps / stepsPerSecond, kLongestMove.count());
  return std::chrono::nanoseconds(static_cast<long long>(seconds * 1e9));
}

std::string Hex(unsigned v) {
  char text[16];
  std::snprintf(text, sizeof text, "%Xh", v);
  return text;
}

}  // namespace

// What the driver does with each command of the tool's command table (link/commands.h,
// which also gives the frame a command comes in and its name for the log). An empty
// result means the driver does not answer.
struct Driver::CommandRow {
  std::uint8_t code;
  std::optional<Reply> (*execute)(Driver&, const Command&, TimePoint);
};

const Driver::CommandRow* Driver::FindCommand(std::uint8_t commandCode) {
  using R = std::optional<Reply>;
  static const auto ack = []() -> R { return Reply{ReplyKind::Ack, {Ack}}; };
  static const CommandRow rows[] = {
      {code::Status,
       [](Driver& d, const Command&, TimePoint) -> R {
         return Reply{ReplyKind::Status, d.StatusReply()};
       }},
      {code::BeginDownload,
       [](Driver& d, const Command&, TimePoint) -> R {
         const std::uint32_t started = d.program_.downloadsStarted + 1;
         d.program_ = StoredProgram{};
         d.program_.downloadsStarted = started;
         d.script_.Stop();  // the program is about to be overwritten
         return ack();
       }},
      {code::Run,
       [](Driver& d, const Command&, TimePoint) -> R {
         d.runCommanded_ = true;
         return ack();
       }},
      {code::Stop,
       [](Driver& d, const Command&, TimePoint now) -> R {
         d.runCommanded_ = false;
         d.moveEnd_ = now;
         d.script_.Stop();
         return ack();
       }},
      {code::ScriptOn,
       [](Driver& d, const Command&, TimePoint now) -> R {
         d.script_.Start(now);
         return ack();
       }},
      {code::MemoryRead,
       [](Driver& d, const Command& c, TimePoint) -> R {
         if (c.value > kLastMemoryAddress) return std::nullopt;
         return Reply{ReplyKind::MemoryValue, d.MemoryReply(c.value)};
       }},
      {code::MemoryWrite,
       [](Driver& d, const Command& c, TimePoint) -> R {
         const std::uint32_t address = c.value & 0xFFFF;
         if (address > kLastMemoryAddress) return std::nullopt;
         d.memory_[address] = static_cast<std::uint8_t>(c.value >> 16);
         return ack();
       }},
      {code::ReadParameters,
       [](Driver& d, const Command&, TimePoint) -> R {
         return Reply{ReplyKind::Parameters, d.ParameterReply()};
       }},
      {code::ReadSettings,
       [](Driver& d, const Command&, TimePoint) -> R {
         return Reply{ReplyKind::MotorSettings, d.MotorSettingsReply()};
       }},
      {code::Move,
       [](Driver& d, const Command&, TimePoint now) -> R {
         d.moveEnd_ = now + MoveDuration(d.state_.motor);
         return ack();
       }},
      {code::Speed,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.speed = c.value;
         return ack();
       }},
      {code::RunCurrent,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.runningCurrent = c.value;
         return ack();
       }},
      {code::HoldCurrent,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.holdingCurrent = c.value;
         return ack();
       }},
      {code::Microstep,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.microStep = c.value;
         return ack();
       }},
      {code::Ramp,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.ramp = c.value;
         return ack();
       }},
      {code::StartSpeed,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.startSpeed = c.value;
         return ack();
       }},
      {code::Displacement,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.displacement = static_cast<std::int32_t>(c.value);
         return ack();
       }},
      {code::Direction,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.direction = c.value;
         return ack();
       }},
      {code::SpeedMode,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.speedMode = c.value;
         return ack();
       }},
      {code::SpeedCoefficient,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.motor.speedCoefficient = c.value;
         return ack();
       }},
      // 100h + s switches output 1, 200h + s output 2; s is the state the tool shows,
      // so the output goes the other way.
      {code::Output,
       [](Driver& d, const Command& c, TimePoint) -> R {
         const std::uint32_t output = c.value >> 8;
         if (output != 1 && output != 2) return std::nullopt;
         d.SetOutput(static_cast<int>(output), (c.value & 0xFF) == 0);
         return ack();
       }},
      {code::Param16,
       [](Driver& d, const Command& c, TimePoint) -> R {
         if (*c.index >= Parameter16Count) return std::nullopt;
         d.state_.parameters16[*c.index] = static_cast<std::uint16_t>(c.value);
         return ack();
       }},
      {code::Param32,
       [](Driver& d, const Command& c, TimePoint) -> R {
         if (*c.index >= Parameter32Count) return std::nullopt;
         d.state_.parameters32[*c.index] = static_cast<std::int32_t>(c.value);
         return ack();
       }},
      {code::Service1,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.serviceValues[0] = static_cast<std::uint8_t>(c.value);
         return ack();
       }},
      {code::Service2,
       [](Driver& d, const Command& c, TimePoint) -> R {
         d.state_.serviceValues[1] = static_cast<std::uint8_t>(c.value);
         return ack();
       }},
      {code::ReadService,
       [](Driver& d, const Command&, TimePoint) -> R {
         return Reply{ReplyKind::ServiceValues, d.ServiceReply()};
       }},
      {code::ReadProgramName,
       [](Driver& d, const Command&, TimePoint) -> R {
         return Reply{ReplyKind::ProgramName, d.NameReply()};
       }},
  };
  for (const auto& row : rows) {
    if (row.code == commandCode) return &row;
  }
  return nullptr;
}

Driver::Driver(const Options& options)
    : options_(options),
      reader_(options.frameGap),
      script_(options.scriptStep),
      memory_(MemorySize, 0) {
  options_.statusLength = std::clamp<std::size_t>(options_.statusLength, 12, kLongestStatus);
  state_.firmwareVersion = options.firmwareVersion;
}

void Driver::Receive(std::span<const std::uint8_t> bytes, TimePoint now, Output& out) {
  FrameReader::Result read;
  reader_.Push(bytes, now, read);
  if (!read.discarded.empty()) {
    state_.bytesDiscarded += static_cast<std::uint32_t>(read.discarded.size());
    out.events.push_back({Event::Kind::Discarded, now, read.discarded, "no frame"});
  }
  for (const Bytes& frame : read.frames) {
    ++state_.framesReceived;
    history_.push_back({now, frame});
    if (history_.size() > HistoryLimit) history_.pop_front();
    out.events.push_back({Event::Kind::Received, now, frame, Describe(frame)});
    if (now < silentUntil_) {
      out.events.push_back({Event::Kind::Refused, now, frame, "ignored: the driver is silent"});
      continue;
    }
    auto reply = Execute(frame, now);
    if (!reply) {
      ++state_.framesRefused;
      out.events.push_back({Event::Kind::Refused, now, frame, "not taken: " + Describe(frame)});
      continue;
    }
    Send(std::move(*reply), now, out);
  }
}

std::optional<Driver::Reply> Driver::Execute(std::span<const std::uint8_t> frame, TimePoint now) {
  Advance(now);
  auto reply = Dispatch(frame, now);
  Advance(now);  // what the frame changed shows in the next status reply
  return reply;
}

std::optional<Driver::Reply> Driver::Dispatch(std::span<const std::uint8_t> frame, TimePoint now) {
  switch (frame[1]) {
    case CommandLetter: {
      Command command{frame[2], Get32(frame.subspan(3, 4)), std::nullopt};
      if (frame.size() == ParameterFrameLength) command.index = frame[7];
      return ExecuteCommand(command, now);
    }
    case DataLetter:
      return StoreData(frame);
    case VectorLetter:
      return StoreVectors(frame);
    case NameLetter:
      return StoreName(frame);
    default:
      return std::nullopt;
  }
}

std::optional<Driver::Reply> Driver::ExecuteCommand(const Command& command, TimePoint now) {
  const CommandRow* row = FindCommand(command.code);
  const link::Command* known = link::CommandByCode(command.code);
  if (!row || !known) return std::nullopt;
  const bool parameterFrame = known->operand == link::Operand::Parameter;
  if (parameterFrame != command.index.has_value()) return std::nullopt;
  return row->execute(*this, command, now);
}

// n+5 bytes: length, 'P', offset (2), n code bytes, checksum.
std::optional<Driver::Reply> Driver::StoreData(std::span<const std::uint8_t> frame) {
  const std::size_t offset = std::size_t{frame[2]} << 8 | frame[3];
  const auto code = frame.subspan(4, frame.size() - 5);
  if (offset + code.size() > CodeCapacity) return std::nullopt;
  std::copy(code.begin(), code.end(), program_.code.bytes.begin() + offset);
  return Reply{ReplyKind::Ack, {Ack}};
}

// Length, 'V', code length (2), the 30 bytes of the vector table, checksum.
std::optional<Driver::Reply> Driver::StoreVectors(std::span<const std::uint8_t> frame) {
  const std::uint32_t length = std::uint32_t{frame[2]} << 8 | frame[3];
  if (length > CodeCapacity) return std::nullopt;
  program_.code.length = length;
  std::copy_n(frame.begin() + 4, program_.vectors.size(), program_.vectors.begin());
  program_.hasVectors = true;
  return Reply{ReplyKind::Ack, {Ack}};
}

std::optional<Driver::Reply> Driver::StoreName(std::span<const std::uint8_t> frame) {
  program_.name.assign(frame.begin() + 2, frame.end() - 1);
  program_.hasName = true;
  return Reply{ReplyKind::Ack, {Ack}};
}

void Driver::Send(Reply reply, TimePoint now, Output& out) {
  const TimePoint start = std::max(now + options_.turnaround, lineFreeAt_);
  const std::string name(ReplyKindName(reply.kind));
  if (start - now > kMaxLineBacklog) {
    out.events.push_back(
        {Event::Kind::Faulted, now, reply.bytes, name + " not sent: line overrun"});
    return;
  }
  Bytes& b = reply.bytes;
  const auto lineTime = [&](std::size_t n) {
    return options_.byteTime * static_cast<long long>(n);
  };
  // Puts `bytes` on the line from `from`; the line is busy until they are through.
  const auto transmit = [&](TimePoint from, Bytes bytes, std::string note) {
    lineFreeAt_ = from + lineTime(bytes.size());
    out.transmissions.push_back({from, lineFreeAt_, std::move(bytes), std::move(note)});
  };
  const auto action = faults_.Take(reply.kind);
  if (!action) return transmit(start, std::move(b), name);
  const std::string faulted = name + " (" + std::string(FaultActionName(*action)) + ")";
  out.events.push_back({Event::Kind::Faulted, now, b, faulted});
  switch (*action) {
    case FaultAction::Drop:
      return;
    case FaultAction::Garble:
      b[b.size() / 2] ^= 0xFF;
      break;
    case FaultAction::WrongLetter:
      if (b.size() == 1) {
        b[0] = Nak;
      } else {
        // The letter of another reply, with a checksum that holds: a valid reply to some
        // other request.
        b[1] = b[1] == code::Status ? code::ReadSettings : code::Status;
        b.back() = Xor(std::span(b).first(b.size() - 1));
      }
      break;
    case FaultAction::Split:
      if (b.size() >= 2) {
        const auto first = static_cast<std::ptrdiff_t>(b.size() / 2);
        transmit(start, Bytes(b.begin(), b.begin() + first), faulted + " part 1");
        transmit(lineFreeAt_ + options_.splitGap, Bytes(b.begin() + first, b.end()),
                 faulted + " part 2");
        return;
      }
      break;
    case FaultAction::Delay:
      return transmit(start + options_.lateDelay, std::move(b), faulted);
  }
  transmit(start, std::move(b), faulted);
}

void Driver::Advance(TimePoint now) {
  script_.Advance(program_.code.bytes, state_.inputs, now);
  state_.scriptRunning = script_.Running();
  state_.scriptAddress = script_.Address();
  state_.motorRunning = runCommanded_ || now < moveEnd_;
}

void Driver::SetAnalog(int channel, std::uint8_t value) {
  if (channel == 1) state_.analog1 = value;
  if (channel == 2) state_.analog2 = value;
}

void Driver::SetOutput(int output, bool on) {
  if (output == 1) state_.output1 = on;
  if (output == 2) state_.output2 = on;
}

void Driver::SetMemoryCell(std::uint16_t address, std::uint8_t value) {
  if (address <= kLastMemoryAddress) memory_[address] = value;
}

std::uint8_t Driver::MemoryCell(std::uint16_t address) const {
  return address <= kLastMemoryAddress ? memory_[address] : 0;
}

DriverState Driver::State(TimePoint now) {
  Advance(now);
  return state_;
}

// 16 bytes: the fields the tool decodes up to byte 10, then four zero bytes that keep
// the reply at the length the tool's acknowledgement rule counts on (an acknowledgement
// right behind a late status reply stands at byte 16 of the read). With statusLength 12,
// the fields alone.
Bytes Driver::StatusReply() const {
  const std::uint8_t io =
      (state_.inputs & 0x3F) | (state_.output1 ? 0x40 : 0) | (state_.output2 ? 0x80 : 0);
  std::uint8_t mode = state_.modeFlags & ~kStateModeBits;
  if (state_.scriptRunning) mode |= 0x02;
  if (state_.motorRunning) mode |= 0x04;
  Bytes p = {io, state_.analog1, state_.analog2, mode, state_.temperature, state_.firmwareVersion,
             0};
  Put16(p, state_.scriptAddress);
  if (options_.statusLength > 12) p.insert(p.end(), options_.statusLength - 12, 0);
  return BuildFrame(code::Status, p);
}

Bytes Driver::ParameterReply() const {
  Bytes p;
  for (std::uint16_t v : state_.parameters16) Put16(p, v);
  for (std::int32_t v : state_.parameters32) Put32(p, static_cast<std::uint32_t>(v));
  return BuildFrame(code::ReadParameters, p);
}

Bytes Driver::MotorSettingsReply() const {
  const MotorSettings& m = state_.motor;
  Bytes p;
  Put16(p, m.speed);
  Put16(p, m.runningCurrent);
  Put16(p, m.holdingCurrent);
  p.push_back(static_cast<std::uint8_t>(m.microStep));
  Put16(p, m.ramp);
  Put16(p, m.startSpeed);
  p.push_back(m.direction == 0 ? 0 : 1);
  Put32(p, static_cast<std::uint32_t>(m.displacement));
  Put16(p, m.speedMode);
  Put16(p, m.speedCoefficient);
  return BuildFrame(code::ReadSettings, p);
}

Bytes Driver::ServiceReply() const {
  return BuildFrame(code::ReadService, state_.serviceValues);
}

Bytes Driver::MemoryReply(std::uint32_t address) const {
  const std::uint8_t value = address <= kLastMemoryAddress ? memory_[address] : 0;
  return BuildFrame(code::MemoryRead, std::span(&value, 1));
}

Bytes Driver::NameReply() const {
  const auto* name = reinterpret_cast<const std::uint8_t*>(program_.name.data());
  return BuildFrame(code::ReadProgramName, std::span(name, program_.name.size()));
}

std::string Driver::Describe(std::span<const std::uint8_t> frame) {
  if (frame.size() < 3 || frame[0] != frame.size() || !CanStartFrame(frame[0], frame[1]))
    return "?";
  switch (frame[1]) {
    case CommandLetter: {
      const link::Command* command = link::CommandByCode(frame[2]);
      const std::uint32_t value = Get32(frame.subspan(3, 4));
      if (!command) return "unknown command " + Hex(frame[2]);
      std::string text(command->name.english);
      if (frame.size() == ParameterFrameLength) {
        const int number = frame[7] + (frame[2] == code::Param32 ? 21 : 1);
        return text + " Prm " + std::to_string(number) + " = " +
               (frame[2] == code::Param32 ? std::to_string(static_cast<std::int32_t>(value))
                                          : std::to_string(value));
      }
      switch (command->operand) {
        case link::Operand::None:
          return text;
        case link::Operand::Output:
        case link::Operand::MemoryWrite:
          return text + " " + Hex(value);  // two fields in one value
        case link::Operand::Setting:
          if (command->rule.accept == link::Accept::Any)
            return text + " " + std::to_string(static_cast<std::int32_t>(value));
          break;
        default:
          break;
      }
      return text + " " + std::to_string(value);
    }
    case DataLetter: {
      const unsigned offset = unsigned{frame[2]} << 8 | frame[3];
      const std::size_t n = frame.size() - 5;
      return "program data at " + std::to_string(offset) + ", " + std::to_string(n) +
             (n == 1 ? " byte" : " bytes");
    }
    case VectorLetter:
      return "vector table, code length " + std::to_string(unsigned{frame[2]} << 8 | frame[3]);
    case NameLetter:
      return "program name \"" +
             Cp1254ToUtf8(std::string_view(reinterpret_cast<const char*>(frame.data()) + 2,
                                           frame.size() - 3)) +
             "\"";
    default:
      return "?";
  }
}

std::int64_t Parameter(const DriverState& state, int number) {
  if (number >= 1 && number <= static_cast<int>(Parameter16Count))
    return state.parameters16[number - 1];
  const int i = number - 1 - static_cast<int>(Parameter16Count);
  if (i >= 0 && i < static_cast<int>(Parameter32Count)) return state.parameters32[i];
  return 0;
}

}  // namespace kivra::sim
