#include "link/engine.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace kivra::link {
namespace {

namespace code = protocol::code;

// How a command exchange gets the value of its frame.
enum class Value { Zero, Setting, Output, MemoryRead, MemoryWrite, Parameter };

// Every command exchange: the send state (its wait state is the next number).
struct Exchange {
  LinkState sendState;
  std::uint8_t code;
  int intervalMs;  // set before sending
  ReplyState reply;
  bool flush;  // discard what is waiting once the frame is queued
  Value value;
};

constexpr Exchange kExchanges[] = {
    {LinkState::Run, code::Run, 100, ReplyState::Ack, false, Value::Zero},
    {LinkState::Stop, code::Stop, 100, ReplyState::Ack, false, Value::Zero},
    {LinkState::ScriptOn, code::ScriptOn, 100, ReplyState::Ack, false, Value::Zero},
    {LinkState::MemoryRead, code::MemoryRead, 100, ReplyState::Memory, false, Value::MemoryRead},
    {LinkState::MemoryWrite, code::MemoryWrite, 100, ReplyState::Ack, false, Value::MemoryWrite},
    {LinkState::ReadParameters, code::ReadParameters, 100, ReplyState::ParamBlock, true,
     Value::Zero},
    {LinkState::ReadSettings, code::ReadSettings, 100, ReplyState::MotorSettings, true,
     Value::Zero},
    {LinkState::ReadService, code::ReadService, 100, ReplyState::ServiceValues, true, Value::Zero},
    {LinkState::ReadProgramName, code::ReadProgramName, 100, ReplyState::ProgramName, true,
     Value::Zero},
    {LinkState::Move, code::Move, 200, ReplyState::Ack, false, Value::Zero},
    {LinkState::Speed, code::Speed, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::RunCurrent, code::RunCurrent, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::HoldCurrent, code::HoldCurrent, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::Microstep, code::Microstep, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::Ramp, code::Ramp, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::StartSpeed, code::StartSpeed, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::Displacement, code::Displacement, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::Direction, code::Direction, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::Service1, code::Service1, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::Service2, code::Service2, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::SpeedMode, code::SpeedMode, 100, ReplyState::Ack, false, Value::Setting},
    {LinkState::SpeedCoefficient, code::SpeedCoefficient, 100, ReplyState::Ack, false,
     Value::Setting},
    {LinkState::Output, code::Output, 200, ReplyState::Ack, true, Value::Output},
    {LinkState::Param16, code::Param16, 100, ReplyState::Ack, false, Value::Parameter},
    {LinkState::Param32, code::Param32, 100, ReplyState::Ack, false, Value::Parameter},
};

const Exchange* FindExchange(LinkState sendState) {
  for (const auto& e : kExchanges)
    if (e.sendState == sendState) return &e;
  return nullptr;
}

// The send state of the exchange a wait state belongs to.
const Exchange* ExchangeWaitingIn(LinkState s) {
  const auto n = static_cast<std::uint8_t>(s);
  return n >= 2 ? FindExchange(static_cast<LinkState>(n - 1)) : nullptr;
}

constexpr std::uint32_t kStatusTimeout = 6;
constexpr std::uint32_t kReplyTimeout = 4;
constexpr int kCommandAttempts = 3;
constexpr int kDownloadAttempts = 5;

class SteadyClock final : public Clock {
 public:
  std::uint64_t NowMs() override {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
};

Clock& DefaultClock() {
  static SteadyClock clock;  // holds no state: it only reads the system's clock
  return clock;
}

}  // namespace

LinkEngine::LinkEngine(Port& port, IntervalTimer& timer, Clock* clock)
    : port_(port), timer_(timer), clock_(clock ? clock : &DefaultClock()) {}

void LinkEngine::AddObserver(LinkObserver& observer) {
  if (std::ranges::find(observers_, &observer) == observers_.end()) observers_.push_back(&observer);
}

void LinkEngine::RemoveObserver(LinkObserver& observer) {
  std::erase(observers_, &observer);
}

std::uint64_t LinkEngine::NowMs() {
  return clock_->NowMs();
}

void LinkEngine::TellFrame(FrameEvent event, FrameFailure why,
                           std::span<const std::uint8_t> bytes) {
  if (observers_.empty()) return;
  FrameRecord r;
  r.event = event;
  r.why = why;
  r.bytes = bytes;
  r.timeMs = NowMs();
  r.state = v_.linkState;
  const bool poll = v_.linkState == LinkState::Idle || v_.linkState == LinkState::StatusWait;
  r.attempt = poll && !pollFailed_ ? 1 : v_.retryCount + 1;
  if (IsDownloadState(v_.linkState)) {
    r.attempts = kDownloadAttempts;
  } else if (v_.linkState == LinkState::Move || v_.linkState == LinkState::MoveWait) {
    r.attempts = 1;
  } else {
    r.attempts = kCommandAttempts;
  }
  if (event == FrameEvent::Sent) sentAtMs_ = r.timeMs;
  if (event == FrameEvent::Accepted || event == FrameEvent::Failed)
    r.roundTripMs = static_cast<std::uint32_t>(r.timeMs - std::min(sentAtMs_, r.timeMs));
  Tell([&](LinkObserver& o) { o.OnFrame(r); });
}

void LinkEngine::Tick() {
  ++v_.tickCount;
  if (v_.linkEnabled) {
    try {
      StepState();
      ReadStep();
      if (!v_.connected) StatusLost();
    } catch (const std::exception& e) {
      // A port error that the state itself did not handle ends this tick.
      PortError(e.what());
    }
  }
  FlushNotices();
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
  Queue(Notice::PortError, what);
}

bool LinkEngine::Send(const Frame& frame) {
  try {
    port_.PutBlock(frame);
  } catch (const std::exception& e) {
    TellFrame(FrameEvent::Failed, FrameFailure::PortRefused, frame);
    PortError(e.what());
    return false;
  }
  lastPortError_.reset();
  TellFrame(FrameEvent::Sent, FrameFailure::None, frame);
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
  TellFrame(FrameEvent::Received, FrameFailure::None, {rx_.data() + rxUsed_ - n, n});
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

void LinkEngine::SetConnected(bool connected) {
  v_.connected = connected;
  UpdateStatus();
}

void LinkEngine::UpdateStatus() {
  LinkStatus now = LinkStatus::NotAnswering;
  if (waitingForDevice_) {
    now = LinkStatus::Reconnecting;
  } else if (!v_.linkEnabled) {
    now = LinkStatus::PortClosed;
  } else if (v_.connected) {
    now = LinkStatus::Answering;
  }
  if (now == status_) return;
  status_ = now;
  Tell([now](LinkObserver& o) { o.OnLinkStatus(now); });
}

void LinkEngine::MarkDown() {
  givenUp_ = true;
  SetConnected(false);
}

void LinkEngine::Answered(std::span<const std::uint8_t> reply) {
  v_.replyResult = ReplyResult::Ok;
  givenUp_ = false;
  TellFrame(FrameEvent::Accepted, FrameFailure::None, reply);
}

void LinkEngine::ReplyFailed(FrameFailure why, std::span<const std::uint8_t> bytes) {
  v_.replyResult = ReplyResult::Failed;
  TellFrame(FrameEvent::Failed, why, bytes);
}

void LinkEngine::SetLinkEnabled(bool enabled) {
  if (enabled) {
    if (!v_.linkEnabled) {
      // Whatever was asked while the link was off is not sent now.
      v_.linkState = LinkState::Idle;
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
  if (exchange_.outcome == ExchangeOutcome::Running) EndExchange(ExchangeOutcome::Failed);
  v_.linkEnabled = false;
  v_.replyState = ReplyState::Idle;
  ClearReceived();
  waitingForDevice_ = waitForDevice;
  SetConnected(false);
  StatusLost();
  FlushNotices();
}

void LinkEngine::Request(LinkState firstState) {
  AbandonDownload();
  v_.pollEnabled = false;
  v_.retryCount = 0;
  v_.linkState = firstState;
  if (exchange_.outcome == ExchangeOutcome::Running)
    SetExchange({exchange_.request, ExchangeOutcome::Replaced});
  if (FindExchange(firstState)) SetExchange({firstState, ExchangeOutcome::Running});
  FlushNotices();
}

void LinkEngine::ResetToIdle() {
  AbandonDownload();
  v_.linkState = LinkState::Idle;
  v_.pollEnabled = true;
  FlushNotices();
}

void LinkEngine::BackToPolling() {
  v_.linkState = LinkState::Idle;
  v_.pollEnabled = true;
}

void LinkEngine::SetExchange(const ExchangeRecord& record) {
  exchange_ = record;
  Tell([&](LinkObserver& o) { o.OnExchange(record); });
}

void LinkEngine::EndExchange(ExchangeOutcome outcome, Refusal refusal) {
  BackToPolling();
  if (exchange_.outcome == ExchangeOutcome::Running)
    SetExchange({exchange_.request, outcome, refusal});
}

void LinkEngine::StepState() {
  const LinkState s = v_.linkState;
  if (s == LinkState::Idle) {
    if (!v_.pollEnabled) return;
    // The status request leaves TickCount alone: after a time-out it stays above the
    // limit until a reply is read.
    if (!Send(CommandFrame(code::Status, 0))) return SendRefused();
    v_.linkState = LinkState::StatusWait;
    v_.replyState = ReplyState::Status;
    v_.replyResult = ReplyResult::Pending;
    SetInterval(25);
    return;
  }
  if (s == LinkState::StatusWait) return StatusResult();
  if (IsDownloadState(s)) return StepDownload();
  if (const Exchange* e = FindExchange(s)) {
    switch (e->value) {
      case Value::Setting:
        return SendSetting(s);
      case Value::MemoryRead:
        return SendMemoryRead();
      case Value::MemoryWrite:
        return SendMemoryWrite();
      case Value::Parameter:
        return SendParameter(s);
      case Value::Zero:
      case Value::Output:
        return SendPlain(s);
    }
  }
  if (s == LinkState::MoveWait) return MoveWait();
  if (const Exchange* e = ExchangeWaitingIn(s)) return WaitRule(e->sendState);
}

void LinkEngine::StatusResult() {
  switch (v_.replyResult) {
    case ReplyResult::Pending:
      return;
    case ReplyResult::Ok:
      v_.linkState = LinkState::Idle;
      v_.tickCount = 0;
      pollFailed_ = false;
      return;
    case ReplyResult::Failed:
      pollFailed_ = true;
      if (++v_.retryCount > 2) {
        MarkDown();
        v_.retryCount = 0;
      }
      v_.linkState = LinkState::Idle;
      return;
  }
}

void LinkEngine::WaitRule(LinkState sendState) {
  switch (v_.replyResult) {
    case ReplyResult::Pending:
      return;
    case ReplyResult::Ok:
      return EndExchange(ExchangeOutcome::Acknowledged);
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
    case ReplyResult::Pending:
      return;
    case ReplyResult::Ok:
      return EndExchange(ExchangeOutcome::Acknowledged);
    case ReplyResult::Failed:
      return EndExchange(ExchangeOutcome::Failed);
  }
}

void LinkEngine::SendPlain(LinkState s) {
  const Exchange& e = *FindExchange(s);
  SetInterval(e.intervalMs);
  const std::uint32_t value = e.value == Value::Output ? v_.outputValue : 0;
  v_.linkState = WaitOf(s);
  // A refused frame counts as a failed attempt, so the wait rule bounds the retries.
  if (!SendAndExpect(CommandFrame(e.code, value), e.reply, e.flush))
    v_.replyResult = ReplyResult::Failed;
}

void LinkEngine::SendSetting(LinkState s) {
  const Exchange& e = *FindExchange(s);
  const Refusal refusal = CheckSetting(setting_, settingValue_);
  if (refusal != Refusal::None) return EndExchange(ExchangeOutcome::Refused, refusal);
  const std::int32_t value = *settingValue_;
  Tell([&](LinkObserver& o) { o.OnValueSent(setting_, value); });
  SetInterval(e.intervalMs);
  const Frame f = CommandFrame(e.code, static_cast<std::uint32_t>(value));
  if (!SendAndExpect(f, e.reply, e.flush)) return EndExchange(ExchangeOutcome::Failed);
  v_.linkState = WaitOf(s);
}

void LinkEngine::SendMemoryRead() {
  SetInterval(100);
  const Frame f = CommandFrame(code::MemoryRead, memoryAddress_);
  v_.linkState = LinkState::MemoryReadWait;
  if (!SendAndExpect(f, ReplyState::Memory)) v_.replyResult = ReplyResult::Failed;
}

void LinkEngine::SendMemoryWrite() {
  const auto value = MemoryWriteValue(writeAddress_, writeData_);
  if (!value) {
    const bool numbers = writeAddress_ && writeData_;
    return EndExchange(ExchangeOutcome::Refused,
                       numbers ? Refusal::OutOfRange : Refusal::NotANumber);
  }
  SetInterval(100);
  if (!SendAndExpect(CommandFrame(code::MemoryWrite, *value), ReplyState::Ack))
    return EndExchange(ExchangeOutcome::Failed);
  v_.linkState = LinkState::MemoryWriteWait;
}

void LinkEngine::SendParameter(LinkState s) {
  const Exchange& e = *FindExchange(s);
  SetInterval(e.intervalMs);
  const Frame f = ParameterFrame(e.code, v_.paramValue, v_.paramIndex);
  if (!SendAndExpect(f, e.reply)) return EndExchange(ExchangeOutcome::Failed);
  v_.linkState = WaitOf(s);
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
    if (!givenUp_) SetConnected(true);
  } else {
    SetConnected(false);
    v_.replyState = ReplyState::Idle;
    // A reply that stopped halfway will not be completed.
    ReplyFailed(rxUsed_ > 0 ? FrameFailure::Partial : FrameFailure::TimeOut, Received());
    ClearReceived();
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
        Answered(received.first(1));
        ClearReceived();
        v_.replyState = ReplyState::Idle;
        return;
      case Kind::Garbage:
        if (!ackAwaited || staleBytes_ > 0) {
          Take(1);
          continue;
        }
        // Only 06h will do, at the start or right behind a whole reply of another kind;
        // a 06h further on may be any byte of a broken reply and is not looked for.
        ReplyFailed(FrameFailure::NotAcknowledged, received);
        ClearReceived();
        return;
      case Kind::Frame:
        if (!front.valid && !ackAwaited && staleBytes_ > 0) {
          Take(1);  // a broken reply to an earlier request: not this one's answer
          continue;
        }
        if (!front.valid) {
          ReplyFailed(FrameFailure::Checksum, received.first(front.length));
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
  // Which reply is awaited, and its letter.
  std::uint8_t letter = 0;
  switch (v_.replyState) {
    case ReplyState::Memory:
      letter = code::MemoryRead;
      break;
    case ReplyState::ParamBlock:
      letter = code::ReadParameters;
      break;
    case ReplyState::Status:
      letter = code::Status;
      break;
    case ReplyState::MotorSettings:
      letter = code::ReadSettings;
      break;
    case ReplyState::ServiceValues:
      letter = code::ReadService;
      break;
    case ReplyState::ProgramName:
      letter = code::ReadProgramName;
      break;
    case ReplyState::Ack:
    case ReplyState::Idle:
      return;
  }
  if (!IsValidReply(frame, letter)) return ReplyFailed(FrameFailure::WrongLetter, frame);
  // A valid reply too short for its fields fails; a whole one is taken and told.
  const auto take = [&](const auto& decoded, const auto& tell) {
    if (!decoded) return ReplyFailed(FrameFailure::TooShort, frame);
    Answered(frame);
    tell(*decoded);
  };
  switch (v_.replyState) {
    case ReplyState::Memory:
      return take(DecodeMemoryValue(frame), [&](std::uint8_t value) {
        Tell([&](LinkObserver& o) { o.OnMemoryValue(value); });
      });
    case ReplyState::ParamBlock:
      return take(DecodeParameterBlock(frame), [&](const ParameterBlock& p) {
        Tell([&](LinkObserver& o) { o.OnParameterBlock(p); });
      });
    case ReplyState::Status:
      return take(DecodeStatus(frame), [&](const StatusReply& st) { StatusAccepted(st); });
    case ReplyState::MotorSettings:
      return take(DecodeMotorSettings(frame), [&](const MotorSettings& m) {
        Tell([&](LinkObserver& o) { o.OnMotorSettings(m); });
      });
    case ReplyState::ServiceValues:
      return take(DecodeServiceValues(frame), [&](const ServiceValues& sv) {
        Tell([&](LinkObserver& o) { o.OnServiceValues(sv); });
      });
    case ReplyState::ProgramName:
      return take(DecodeProgramName(frame), [&](const std::string& name) {
        v_.driverProgramName = name;
        Tell([&](LinkObserver& o) { o.OnProgramName(v_.driverProgramName); });
      });
    case ReplyState::Ack:
    case ReplyState::Idle:
      return;
  }
}

void LinkEngine::Queue(Notice notice, std::string_view detail) {
  notices_.emplace_back(notice, std::string(detail));
}

void LinkEngine::FlushNotices() {
  if (notices_.empty()) return;
  // Taken out first: an observer that runs more ticks may queue and tell its own.
  auto pending = std::move(notices_);
  notices_.clear();
  for (const auto& pair : pending)
    Tell([&](LinkObserver& o) { o.OnNotice(pair.first, pair.second); });
}

}  // namespace kivra::link
