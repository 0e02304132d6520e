#include "link/engine.h"

#include <algorithm>
#include <exception>

#include "link/integer.h"
#include "link/texts.h"
#include "link/values.h"

namespace kivra::link {
namespace {

namespace code = protocol::code;

// How a command exchange gets the value of its frame.
enum class Value { Zero, Box, Direction, Output, MemoryRead, MemoryWrite, Parameter };

// Every command exchange: the send state (its wait state is the next number).
struct Exchange {
  std::uint8_t sendState;
  std::uint8_t code;
  int intervalMs;  // set before sending
  ReplyState reply;
  bool flush;  // discard what is waiting once the frame is queued
  Value value;
  std::string_view box = {};
  Setting setting = Setting::Speed;  // the value's check, for boxes
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
    {state::Speed, code::Speed, 100, ReplyState::Ack, false, Value::Box, ctl::Speed, Setting::Speed},
    {state::RunCurrent, code::RunCurrent, 100, ReplyState::Ack, false, Value::Box, ctl::RunCurrent, Setting::RunCurrent},
    {state::HoldCurrent, code::HoldCurrent, 100, ReplyState::Ack, false, Value::Box, ctl::HoldCurrent, Setting::HoldCurrent},
    {state::Microstep, code::Microstep, 100, ReplyState::Ack, false, Value::Box, ctl::Microstep, Setting::Microstep},
    {state::Ramp, code::Ramp, 100, ReplyState::Ack, false, Value::Box, ctl::Ramp, Setting::Ramp},
    {state::StartSpeed, code::StartSpeed, 100, ReplyState::Ack, false, Value::Box, ctl::StartSpeed, Setting::StartSpeed},
    {state::Displacement, code::Displacement, 100, ReplyState::Ack, false, Value::Box, ctl::Displacement, Setting::Displacement},
    {state::Direction, code::Direction, 100, ReplyState::Ack, false, Value::Direction},
    {state::Service1, code::Service1, 100, ReplyState::Ack, false, Value::Box, ctl::Service1, Setting::Service1},
    {state::Service2, code::Service2, 100, ReplyState::Ack, false, Value::Box, ctl::Service2, Setting::Service2},
    {state::SpeedMode, code::SpeedMode, 100, ReplyState::Ack, false, Value::Box, ctl::SpeedMode, Setting::SpeedMode},
    {state::SpeedCoefficient, code::SpeedCoefficient, 100, ReplyState::Ack, false, Value::Box, ctl::SpeedCoefficient, Setting::SpeedCoefficient},
    {state::Output, code::Output, 200, ReplyState::Ack, true, Value::Output},
    {state::Param16, code::Param16, 100, ReplyState::Ack, false, Value::Parameter},
    {state::Param32, code::Param32, 100, ReplyState::Ack, false, Value::Parameter},
};

const Exchange* FindExchange(std::uint8_t sendState) {
  for (const auto& e : kExchanges)
    if (e.sendState == sendState) return &e;
  return nullptr;
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
    port_.PutBlock(frame);
  } catch (const std::exception& e) {
    PortError(e.what());
    return false;
  }
  lastPortError_.reset();
  return true;
}

void LinkEngine::SendRefused() {
  // Nothing went out, so nothing that arrives is its answer: a late reply to an earlier
  // request must not pass for one. The driver cannot be reached while the port refuses.
  v_.replyState = ReplyState::Idle;
  v_.replyResult = ReplyResult::Failed;
  MarkDown();
}

bool LinkEngine::SendAndExpect(const Frame& frame, ReplyState reply, bool flush) {
  if (!Send(frame)) {
    SendRefused();
    return false;
  }
  v_.replyState = reply;
  v_.replyResult = ReplyResult::Pending;
  v_.tickCount = 0;
  // What has arrived so far came before the frame went out: none of it is its answer.
  try {
    ReadWaiting();
  } catch (const std::exception&) {
    // Left in the port; read with the answer.
  }
  staleBytes_ = rxUsed_;
  if (flush) {
    try {
      // A reply that is arriving goes on arriving after the flush; its rest is dropped
      // as it comes rather than taken for a wrong answer.
      const std::size_t rest = RestOfArrivingReply();
      port_.FlushInBuffer();
      ClearReceived();
      cutRest_ = rest;
    } catch (const std::exception& e) {
      PortError(e.what());
      return false;
    }
  }
  return true;
}

bool LinkEngine::ReadWaiting() {
  // What does not fit waits in the port; room comes back as frames are taken, and the
  // longest reply fits whole.
  const std::size_t n = std::min(port_.GetInBufferUsed(), rx_.size() - rxUsed_);
  if (n == 0) return false;
  port_.GetBlock(rx_.data() + rxUsed_, n);
  rxUsed_ += n;
  return true;
}

std::size_t LinkEngine::RestOfArrivingReply() {
  std::size_t at = 0;
  while (at < rxUsed_) {
    const std::span<const std::uint8_t> from(rx_.data() + at, rxUsed_ - at);
    const ReplyFront front = ScanReply(from, false);
    switch (front.kind) {
      case ReplyFront::Kind::Partial:
        return from[0] - from.size();
      case ReplyFront::Kind::Frame:
        at += front.valid ? front.length : 1;
        break;
      default:
        ++at;
        break;
    }
  }
  return 0;
}

void LinkEngine::MarkDown() {
  v_.connected = false;
  givenUp_ = true;
  SetConnection(Colour::Red);
}

void LinkEngine::Answered() {
  v_.replyResult = ReplyResult::Ok;
  givenUp_ = false;
}

void LinkEngine::SetLinkEnabled(bool enabled) {
  if (enabled) {
    if (!v_.linkEnabled) {
      // Whatever was asked while the link was off is not sent now.
      v_.linkState = state::Idle;
      v_.pollEnabled = true;
      v_.replyState = ReplyState::Idle;
      ClearReceived();
    }
    v_.linkEnabled = true;
    waitingForDevice_ = false;
    UpdateStatus();
    return;
  }
  LinkOff(false);
}

void LinkEngine::PortLost() {
  LinkOff(true);
}

void LinkEngine::LinkOff(bool waitForDevice) {
  AbandonDownload();
  if (exchange_.outcome == ExchangeOutcome::Running) exchange_.outcome = ExchangeOutcome::Failed;
  v_.linkEnabled = false;
  v_.replyState = ReplyState::Idle;
  ClearReceived();
  v_.connected = false;
  waitingForDevice_ = waitForDevice;
  SetConnection(Colour::Red);
  ShowDisconnected();
  FlushMessages();
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
    if (!Send(CommandFrame(code::Status, 0))) return SendRefused();
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
        MarkDown();
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
      MarkDown();
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
    if (!Accepts(e.setting, *parsed)) return EndExchange(ExchangeOutcome::Refused);
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
  if (ReadWaiting()) {
    v_.tickCount = 0;
    const std::size_t cut = std::min(cutRest_, rxUsed_);
    Take(cut);
    cutRest_ -= cut;
  }
  Evaluate();
  const std::uint32_t limit = rs == ReplyState::Status ? kStatusTimeout : kReplyTimeout;
  if (v_.tickCount < limit) {
    if (!givenUp_) {
      v_.connected = true;
      SetConnection(Colour::Lime);
    }
  } else {
    v_.connected = false;
    SetConnection(Colour::Red);
    v_.replyState = ReplyState::Idle;
    v_.replyResult = ReplyResult::Failed;
    ClearReceived();  // a reply that stopped halfway will not be completed
  }
}

void LinkEngine::ClearReceived() {
  rxUsed_ = 0;
  staleBytes_ = 0;
  cutRest_ = 0;
}

void LinkEngine::Take(std::size_t n) {
  n = std::min(n, rxUsed_);
  staleBytes_ -= std::min(n, staleBytes_);
  std::copy(rx_.begin() + static_cast<std::ptrdiff_t>(n),
            rx_.begin() + static_cast<std::ptrdiff_t>(rxUsed_), rx_.begin());
  rxUsed_ -= n;
}

void LinkEngine::Evaluate() {
  using Kind = ReplyFront::Kind;
  const bool ackAwaited = v_.replyState == ReplyState::Ack;
  for (;;) {
    const std::span<const std::uint8_t> received(rx_.data(), rxUsed_);
    const ReplyFront front = ScanReply(received, ackAwaited);
    switch (front.kind) {
      case Kind::Empty:
      case Kind::Partial:
        return;
      case Kind::Ack:
        if (staleBytes_ > 0) {
          Take(1);  // it came before the frame went out: not its answer
          continue;
        }
        // What came with the acknowledgement is spent with it.
        ClearReceived();
        Answered();
        v_.replyState = ReplyState::Idle;
        return;
      case Kind::Garbage:
        if (!ackAwaited || staleBytes_ > 0) {
          Take(1);
          continue;
        }
        // Only 06h will do, at the start or right behind a whole reply of another kind;
        // a 06h further on may be any byte of a broken reply and is not looked for.
        ClearReceived();
        v_.replyResult = ReplyResult::Failed;
        return;
      case Kind::Frame:
        if (!front.valid && !ackAwaited && staleBytes_ > 0) {
          Take(1);  // a broken reply to an earlier request: not this one's answer
          continue;
        }
        if (!front.valid) {
          v_.replyResult = ReplyResult::Failed;
          if (ackAwaited) {
            ClearReceived();
          } else {
            Take(1);  // the next reply may start inside it
          }
          return;
        }
        if (ackAwaited || staleBytes_ > 0) {
          // A late reply to an earlier request; the answer follows it.
          Take(front.length);
          continue;
        }
        // One reply per tick: the wait state acts on each result before the next.
        EvaluateReply(received.first(front.length));
        Take(front.length);
        return;
    }
  }
}

void LinkEngine::EvaluateReply(std::span<const std::uint8_t> frame) {
  v_.replyResult = ReplyResult::Failed;
  switch (v_.replyState) {
    case ReplyState::Memory:
      if (IsValidReply(frame, code::MemoryRead)) {
        if (auto value = DecodeMemoryValue(frame)) {
          Answered();
          view_.SetText(ctl::MemoryData, std::to_string(*value));
        }
      }
      return;
    case ReplyState::ParamBlock:
      if (IsValidReply(frame, code::ReadParameters)) {
        if (auto p = DecodeParameterBlock(frame)) {
          Answered();
          ShowParameterBlock(*p);
        }
      }
      return;
    case ReplyState::Status:
      if (IsValidReply(frame, code::Status)) {
        if (auto s = DecodeStatus(frame)) {
          Answered();
          ShowStatus(*s);
        }
      }
      return;
    case ReplyState::MotorSettings:
      if (IsValidReply(frame, code::ReadSettings)) {
        if (auto m = DecodeMotorSettings(frame)) {
          Answered();
          ShowMotorSettings(*m);
        }
      }
      return;
    case ReplyState::ServiceValues:
      if (IsValidReply(frame, code::ReadService)) {
        if (auto sv = DecodeServiceValues(frame)) {
          Answered();
          view_.SetText(ctl::Service1, std::to_string(sv->value1));
          view_.SetText(ctl::Service2, std::to_string(sv->value2));
        }
      }
      return;
    case ReplyState::ProgramName:
      if (IsValidReply(frame, code::ReadProgramName)) {
        if (auto name = DecodeProgramName(frame)) {
          Answered();
          v_.driverProgramName = *name;
        }
      }
      return;
    case ReplyState::Ack:
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
