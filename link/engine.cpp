#include "link/engine.h"

#include <algorithm>
#include <exception>

#include "link/integer.h"
#include "link/texts.h"

namespace kivra::link {
namespace {

namespace code = protocol::code;

// How a command exchange gets the value of its frame.
enum class Value { Zero, Box, Direction, Output, MemoryRead, MemoryWrite, Parameter };
// Which values a box may send; the bounds are unsigned, so negative numbers fail them.
enum class Accept { Any, Range, Microstep };

// Every command exchange: the send state (its wait state is the next number).
struct Exchange {
  std::uint8_t sendState;
  std::uint8_t code;
  int intervalMs;  // set before sending
  ReplyState reply;
  bool flush;  // discard what is waiting once the frame is queued
  Value value;
  std::string_view box = {};
  Accept accept = Accept::Any;
  std::uint32_t low = 0;
  std::uint32_t high = 0;
};

constexpr Exchange kExchanges[] = {
    {state::Run, code::Run, 100, ReplyState::Ack, false, Value::Zero},
    {state::Stop, code::Stop, 100, ReplyState::Ack, false, Value::Zero},
    {state::ScriptOn, code::ScriptOn, 100, ReplyState::Ack, false, Value::Zero},
    {state::MemoryRead, code::MemoryRead, 100, ReplyState::Memory, false, Value::MemoryRead},
    {state::MemoryWrite, code::MemoryWrite, 100, ReplyState::Ack, false, Value::MemoryWrite},
    {state::ReadParameters, code::ReadParameters, 100, ReplyState::ParamBlock, true, Value::Zero},
    {state::ReadSettings, code::ReadSettings, 100, ReplyState::MotorSettings, true, Value::Zero},
    {state::ReadService, code::ReadService, 100, ReplyState::ServiceValues, true, Value::Zero},
    {state::ReadProgramName, code::ReadProgramName, 100, ReplyState::ProgramName, true, Value::Zero},
    {state::Move, code::Move, 200, ReplyState::Ack, false, Value::Zero},
    {state::Speed, code::Speed, 100, ReplyState::Ack, false, Value::Box, ctl::Speed, Accept::Range, 1, 15000},
    {state::RunCurrent, code::RunCurrent, 100, ReplyState::Ack, false, Value::Box, ctl::RunCurrent, Accept::Range, 0, 1000},
    {state::HoldCurrent, code::HoldCurrent, 100, ReplyState::Ack, false, Value::Box, ctl::HoldCurrent, Accept::Range, 0, 100},
    {state::Microstep, code::Microstep, 100, ReplyState::Ack, false, Value::Box, ctl::Microstep, Accept::Microstep},
    {state::Ramp, code::Ramp, 100, ReplyState::Ack, false, Value::Box, ctl::Ramp, Accept::Range, 0, 9999},
    {state::StartSpeed, code::StartSpeed, 100, ReplyState::Ack, false, Value::Box, ctl::StartSpeed, Accept::Range, 10, 15000},
    {state::Displacement, code::Displacement, 100, ReplyState::Ack, false, Value::Box, ctl::Displacement},
    {state::Direction, code::Direction, 100, ReplyState::Ack, false, Value::Direction},
    {state::Service1, code::Service1, 100, ReplyState::Ack, false, Value::Box, ctl::Service1, Accept::Range, 70, 100},
    {state::Service2, code::Service2, 100, ReplyState::Ack, false, Value::Box, ctl::Service2, Accept::Range, 70, 100},
    {state::SpeedMode, code::SpeedMode, 100, ReplyState::Ack, false, Value::Box, ctl::SpeedMode, Accept::Range, 0, 1},
    {state::SpeedCoefficient, code::SpeedCoefficient, 100, ReplyState::Ack, false, Value::Box, ctl::SpeedCoefficient},
    {state::Output, code::Output, 200, ReplyState::Ack, true, Value::Output},
    {state::Param16, code::Param16, 100, ReplyState::Ack, false, Value::Parameter},
    {state::Param32, code::Param32, 100, ReplyState::Ack, false, Value::Parameter},
};

const Exchange* FindExchange(std::uint8_t sendState) {
  for (const auto& e : kExchanges)
    if (e.sendState == sendState) return &e;
  return nullptr;
}

bool Accepts(const Exchange& e, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  switch (e.accept) {
    case Accept::Any: return true;
    case Accept::Range: return u >= e.low && u <= e.high;
    case Accept::Microstep:
      return u == 1 || u == 2 || u == 4 || u == 5 || u == 8 || u == 10 || u == 16 || u == 25;
  }
  return false;
}

bool IsDownloadState(std::uint8_t s) {
  return s == 2 || s == 3 || s == 4 || s == 9 || s == 10 || s == 11 || s == 47 || s == 48;
}

constexpr std::uint32_t kStatusTimeout = 6;
constexpr std::uint32_t kReplyTimeout = 4;
constexpr int kCommandAttempts = 3;

}  // namespace

LinkEngine::LinkEngine(Port& port, LinkView& view, AppHooks& hooks, IntervalTimer& timer)
    : port_(port), view_(view), hooks_(hooks), timer_(timer) {
  shapes_.fill(Colour::ScrollBar);
  shapes_[1] = shapes_[13] = Colour::Red;  // design colours of the connection indicators
}

void LinkEngine::Tick() {
  ++v_.tickCount;
  if (v_.linkEnabled) {
    try {
      StepState();
      ReadStep();
      if (!v_.connected) ShowDisconnected();
    } catch (const std::exception& e) {
      // A port error that the state itself did not handle ends this tick.
      PortError(e.what());
    }
  }
  FlushMessages();
}

void LinkEngine::SetInterval(int ms) {
  if (ms == interval_) return;
  interval_ = ms;
  timer_.SetInterval(ms);
}

void LinkEngine::PortError(const char* what) {
  // The port keeps failing every tick while a device is gone; say it once.
  if (lastPortError_ && *lastPortError_ == what) return;
  lastPortError_ = what;
  Queue(MessageKind::Error, what);
}

bool LinkEngine::Send(const Frame& frame) {
  try {
    for (auto b : frame) port_.PutChar(b);
  } catch (const std::exception& e) {
    PortError(e.what());
    return false;
  }
  lastPortError_.reset();
  return true;
}

bool LinkEngine::SendAndExpect(const Frame& frame, ReplyState reply, bool flush) {
  if (!Send(frame)) return false;
  v_.replyState = reply;
  v_.replyResult = ReplyResult::Pending;
  v_.tickCount = 0;
  if (flush) {
    try {
      port_.FlushInBuffer();
    } catch (const std::exception& e) {
      PortError(e.what());
      return false;
    }
  }
  return true;
}

void LinkEngine::Request(std::uint8_t firstState) {
  AbandonDownload();
  v_.pollEnabled = false;
  v_.retryCount = 0;
  v_.linkState = firstState;
  if (exchange_.outcome == ExchangeOutcome::Running) exchange_.outcome = ExchangeOutcome::Replaced;
  if (FindExchange(firstState)) exchange_ = {firstState, ExchangeOutcome::Running};
  FlushMessages();
}

void LinkEngine::ResetToIdle() {
  AbandonDownload();
  v_.linkState = state::Idle;
  v_.pollEnabled = true;
  FlushMessages();
}

void LinkEngine::BackToPolling() {
  v_.linkState = state::Idle;
  v_.pollEnabled = true;
}

void LinkEngine::EndExchange(ExchangeOutcome outcome) {
  BackToPolling();
  if (exchange_.outcome == ExchangeOutcome::Running) exchange_.outcome = outcome;
}

void LinkEngine::StepState() {
  const std::uint8_t s = v_.linkState;
  if (s == state::Idle) {
    if (!v_.pollEnabled) return;
    // The status request leaves TickCount alone: after a time-out it stays above the
    // limit until a reply is read.
    if (!Send(CommandFrame(code::Status, 0))) return;
    v_.linkState = 18;
    v_.replyState = ReplyState::Status;
    v_.replyResult = ReplyResult::Pending;
    SetInterval(25);
    return;
  }
  if (s == 18) return StatusResult();
  if (IsDownloadState(s)) return StepDownload();
  if (const Exchange* e = FindExchange(s)) {
    switch (e->value) {
      case Value::Box:
      case Value::Direction: return SendBoxValue(s);
      case Value::MemoryRead: return SendMemoryRead();
      case Value::MemoryWrite: return SendMemoryWrite();
      case Value::Parameter: return SendParameter(s);
      case Value::Zero:
      case Value::Output: return SendPlain(s);
    }
  }
  if (s == state::Move + 1) return MoveWait();
  if (s >= 2 && FindExchange(s - 1)) return WaitRule(s - 1);
}

void LinkEngine::StatusResult() {
  switch (v_.replyResult) {
    case ReplyResult::Pending: return;
    case ReplyResult::Ok:
      v_.linkState = state::Idle;
      v_.tickCount = 0;
      return;
    case ReplyResult::Failed:
      if (++v_.retryCount > 2) {
        v_.connected = false;
        SetConnection(Colour::Red);
        v_.retryCount = 0;
      }
      v_.linkState = state::Idle;
      return;
  }
}

void LinkEngine::WaitRule(std::uint8_t sendState) {
  switch (v_.replyResult) {
    case ReplyResult::Pending: return;
    case ReplyResult::Ok: return EndExchange(ExchangeOutcome::Acknowledged);
    case ReplyResult::Failed:
      if (++v_.retryCount < kCommandAttempts) {
        v_.linkState = sendState;
        return;
      }
      // Run, stop and script on used to leave polling off here, so nothing ever
      // noticed the driver again; every exchange now falls back to polling.
      v_.connected = false;
      SetConnection(Colour::Red);
      return EndExchange(ExchangeOutcome::Failed);
  }
}

void LinkEngine::MoveWait() {
  // MOVE is never repeated: the motor may already be moving. A failure only returns to
  // polling, which tells whether the driver is there.
  switch (v_.replyResult) {
    case ReplyResult::Pending: return;
    case ReplyResult::Ok: return EndExchange(ExchangeOutcome::Acknowledged);
    case ReplyResult::Failed: return EndExchange(ExchangeOutcome::Failed);
  }
}

void LinkEngine::SendPlain(std::uint8_t s) {
  const Exchange& e = *FindExchange(s);
  SetInterval(e.intervalMs);
  const std::uint32_t value = e.value == Value::Output ? v_.outputValue : 0;
  if (!SendAndExpect(CommandFrame(e.code, value), e.reply, e.flush)) {
    // Counts as a failed attempt, so the wait rule bounds the retries.
    v_.linkState = s + 1;
    v_.replyResult = ReplyResult::Failed;
    return;
  }
  v_.linkState = s + 1;
}

void LinkEngine::SendBoxValue(std::uint8_t s) {
  const Exchange& e = *FindExchange(s);
  std::int32_t value = 0;
  if (e.value == Value::Direction) {
    const std::string text = hooks_.BoxText(ctl::Direction);
    value = (text == "SOL" || text == "L") ? 0 : 1;
  } else {
    const auto parsed = ParseInteger(hooks_.BoxText(e.box));
    if (!parsed) {
      if (e.box == ctl::Displacement) view_.SetColour(ctl::Displacement, Colour::Red);
      return EndExchange(ExchangeOutcome::Refused);
    }
    if (!Accepts(e, *parsed)) return EndExchange(ExchangeOutcome::Refused);
    if (e.box == ctl::Displacement) view_.SetColour(ctl::Displacement, Colour::Window);
    value = *parsed;
  }
  SetInterval(e.intervalMs);
  const Frame f = CommandFrame(e.code, static_cast<std::uint32_t>(value));
  if (!SendAndExpect(f, e.reply, e.flush)) return EndExchange(ExchangeOutcome::Failed);
  v_.linkState = s + 1;
}

void LinkEngine::SendMemoryRead() {
  auto address = ParseInteger(hooks_.BoxText(ctl::MemoryAddress));
  if (!address || *address <= 0 || *address > 0x3FFF) address = 1;
  SetInterval(100);
  const Frame f = CommandFrame(code::MemoryRead, static_cast<std::uint32_t>(*address));
  v_.linkState = state::MemoryRead + 1;
  if (!SendAndExpect(f, ReplyState::Memory)) v_.replyResult = ReplyResult::Failed;
}

void LinkEngine::SendMemoryWrite() {
  const auto address = ParseInteger(hooks_.BoxText(ctl::MemoryAddress));
  const auto data = ParseInteger(hooks_.BoxText(ctl::MemoryData));
  if (!address || !data || static_cast<std::uint32_t>(*address) > 0x3FFF)
    return EndExchange(ExchangeOutcome::Refused);
  SetInterval(100);
  const std::uint32_t value = static_cast<std::uint32_t>(*data) * 65536u + static_cast<std::uint32_t>(*address);
  if (!SendAndExpect(CommandFrame(code::MemoryWrite, value), ReplyState::Ack))
    return EndExchange(ExchangeOutcome::Failed);
  v_.linkState = state::MemoryWrite + 1;
}

void LinkEngine::SendParameter(std::uint8_t s) {
  const Exchange& e = *FindExchange(s);
  SetInterval(e.intervalMs);
  const Frame f = ParameterFrame(e.code, v_.paramValue, v_.paramIndex);
  if (!SendAndExpect(f, e.reply)) return EndExchange(ExchangeOutcome::Failed);
  v_.linkState = s + 1;
}

void LinkEngine::ReadStep() {
  const auto rs = v_.replyState;
  if (rs < ReplyState::Ack || rs > ReplyState::ProgramName) return;
  const std::size_t waiting = port_.GetInBufferUsed();
  if (waiting > 0) {
    // A longer burst than any reply is taken in parts; what stays is read next tick.
    const std::size_t n = std::min(waiting, rx_.size());
    port_.GetBlock(rx_.data(), n);
    v_.tickCount = 0;
    Evaluate(n);
  }
  const std::uint32_t limit = rs == ReplyState::Status ? kStatusTimeout : kReplyTimeout;
  if (v_.tickCount < limit) {
    v_.connected = true;
    SetConnection(Colour::Lime);
  } else {
    v_.connected = false;
    SetConnection(Colour::Red);
    v_.replyState = ReplyState::Idle;
    v_.replyResult = ReplyResult::Failed;
  }
}

void LinkEngine::Evaluate(std::size_t n) {
  const std::span<const std::uint8_t> read(rx_.data(), n);
  switch (v_.replyState) {
    case ReplyState::Ack:
      // Only bytes of this read count: the acknowledgement itself, or one behind a
      // 16-byte status reply that arrived late. Older bytes in RxBuffer are not replies.
      if (read[0] == AckByte || (n >= 17 && read[16] == AckByte)) {
        v_.replyResult = ReplyResult::Ok;
        v_.replyState = ReplyState::Idle;
      } else {
        v_.replyResult = ReplyResult::Failed;
      }
      return;
    case ReplyState::Memory:
      v_.replyResult = ReplyResult::Ok;
      view_.SetText(ctl::MemoryData, "");
      if (n >= 3 && read[1] == code::MemoryRead) view_.SetText(ctl::MemoryData, std::to_string(read[2]));
      return;
    case ReplyState::ParamBlock:
      v_.replyResult = ReplyResult::Failed;
      if (IsValidReply(read, code::ReadParameters)) {
        if (auto p = DecodeParameterBlock(read)) {
          v_.replyResult = ReplyResult::Ok;
          ShowParameterBlock(*p);
        }
      }
      return;
    case ReplyState::Status:
      v_.replyResult = ReplyResult::Failed;
      if (IsValidReply(read, code::Status)) {
        if (auto s = DecodeStatus(read)) {
          v_.replyResult = ReplyResult::Ok;
          ShowStatus(*s);
        }
      }
      return;
    case ReplyState::MotorSettings:
      v_.replyResult = ReplyResult::Failed;
      if (IsValidReply(read, code::ReadSettings)) {
        if (auto m = DecodeMotorSettings(read)) {
          v_.replyResult = ReplyResult::Ok;
          ShowMotorSettings(*m);
        }
      }
      return;
    case ReplyState::ServiceValues:
      v_.replyResult = ReplyResult::Failed;
      if (IsValidReply(read, code::ReadService)) {
        if (auto sv = DecodeServiceValues(read)) {
          v_.replyResult = ReplyResult::Ok;
          view_.SetText(ctl::Service1, std::to_string(sv->value1));
          view_.SetText(ctl::Service2, std::to_string(sv->value2));
        }
      }
      return;
    case ReplyState::ProgramName:
      v_.replyResult = ReplyResult::Failed;
      if (IsValidReply(read, code::ReadProgramName)) {
        if (auto name = DecodeProgramName(read)) {
          v_.replyResult = ReplyResult::Ok;
          v_.driverProgramName = *name;
        }
      }
      return;
    case ReplyState::Idle: return;
  }
}

void LinkEngine::Queue(MessageKind kind, std::string_view text) {
  messages_.emplace_back(kind, std::string(text));
}

void LinkEngine::FlushMessages() {
  // Taken out first: a box that runs more ticks may queue and show its own.
  auto pending = std::move(messages_);
  messages_.clear();
  for (const auto& [kind, text] : pending) view_.ShowMessage(kind, text);
}

}  // namespace kivra::link
