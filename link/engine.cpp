#include "link/engine.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace kivra::link {
namespace {

namespace code = protocol::code;

// Time-outs in ticks since the frame went out.
constexpr std::uint32_t kStatusTimeout = 6;
constexpr std::uint32_t kReplyTimeout = 4;
// A program-name reply is looked out for this many ticks after its request went
// unanswered; a reply later than that is no longer expected.
constexpr int kLateNameTicks = 2 * kReplyTimeout;

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

ReplyState ReplyStateOf(Answer answer) {
  switch (answer) {
    case Answer::Ack:
      return ReplyState::Ack;
    case Answer::Status:
      return ReplyState::Status;
    case Answer::Memory:
      return ReplyState::Memory;
    case Answer::ParamBlock:
      return ReplyState::ParamBlock;
    case Answer::MotorSettings:
      return ReplyState::MotorSettings;
    case Answer::ServiceValues:
      return ReplyState::ServiceValues;
    case Answer::ProgramName:
      return ReplyState::ProgramName;
  }
  return ReplyState::Idle;
}

// What a reply event says of the request it answers.
FrameFailure FailureOf(ReplyEventKind kind) {
  switch (kind) {
    case ReplyEventKind::BadChecksum:
      return FrameFailure::Checksum;
    case ReplyEventKind::Refused:
      return FrameFailure::Refused;
    case ReplyEventKind::WrongLetter:
      return FrameFailure::WrongLetter;
    case ReplyEventKind::Garbage:
      return FrameFailure::Garbage;
    default:
      return FrameFailure::None;
  }
}

// Bytes that answer nothing: a 15h there refuses nothing and is a stray byte.
FrameFailure PassedOverReason(ReplyEventKind kind) {
  return kind == ReplyEventKind::Refused ? FrameFailure::Garbage : FailureOf(kind);
}

}  // namespace

LinkEngine::LinkEngine(Port& port, IntervalTimer& timer, Clock* clock)
    : port_(port), timer_(timer), clock_(clock ? clock : &DefaultClock()) {}

void LinkEngine::TellFrame(FrameEvent event, FrameFailure why,
                           std::span<const std::uint8_t> bytes) {
  if (facts_.Empty()) return;
  FrameRecord r;
  r.event = event;
  r.why = why;
  r.bytes = bytes;
  r.timeMs = clock_->NowMs();
  r.state = vars_.linkState;
  const bool poll = vars_.linkState == LinkState::Idle || vars_.linkState == LinkState::StatusWait;
  r.attempt = poll && !pollFailed_ ? 1 : vars_.retryCount + 1;
  const Command* c = CommandOfState(vars_.linkState);
  r.attempts = IsDownloadState(vars_.linkState) ? kDownloadAttempts : c ? c->attempts : 1;
  if (event == FrameEvent::Sent) sentAtMs_ = r.timeMs;
  if (event == FrameEvent::Accepted || event == FrameEvent::Failed)
    r.roundTripMs = static_cast<std::uint32_t>(r.timeMs - std::min(sentAtMs_, r.timeMs));
  facts_.Tell([&](LinkObserver& o) { o.OnFrame(r); });
}

void LinkEngine::Tick() {
  ++vars_.tickCount;
  if (holdTicks_ > 0) --holdTicks_;
  if (nameReplyTicks_ > 0) --nameReplyTicks_;
  if (vars_.linkEnabled) {
    try {
      StepState();
      ReadStep();
      if (!vars_.connected) facts_.Tell([](LinkObserver& o) { o.OnStatusLost(); });
    } catch (const std::exception& e) {
      // A port error that the state itself did not handle ends this tick.
      SayPortError(e.what());
    }
  }
  facts_.FlushNotices();
}

void LinkEngine::SayPortError(std::string_view what) {
  // Said once: the port keeps failing every tick while a device is gone.
  if (lastPortError_ && *lastPortError_ == what) return;
  lastPortError_ = std::string(what);
  facts_.Queue(Notice::PortError, what);
}

void LinkEngine::SetInterval(int ms) {
  if (ms == p_.intervalMs) return;
  p_.intervalMs = ms;
  timer_.SetInterval(ms);
}

bool LinkEngine::Send(const Frame& frame, Answer answer, bool flush) {
  // Whatever is waiting came before this frame: late replies of earlier exchanges, stray
  // bytes. It is read and passed over now, so nothing of it can pass for the answer.
  const std::size_t came = inbox_.Pull(port_);
  if (came > 0) TellFrame(FrameEvent::Received, FrameFailure::None, inbox_.Last(came));
  if (!inbox_.Empty()) {
    const ReplyReading reading = ReadReplies(inbox_.Bytes(), inbox_.Times(), Awaited{});
    for (const ReplyEvent& e : reading.events) {
      if (e.kind == ReplyEventKind::Partial) continue;
      TellFrame(FrameEvent::PassedOver, PassedOverReason(e.kind),
                inbox_.Bytes().subspan(e.offset, e.length));
    }
    inbox_.Consume(reading.consumed);
  }
  try {
    if (flush) {
      port_.FlushInBuffer();
      DropInbox();
    }
    ticket_ = port_.Send(frame);
  } catch (const std::exception& e) {
    TellFrame(FrameEvent::Failed, FrameFailure::PortRefused, frame);
    SayPortError(e.what());
    // Nothing went out, so nothing that arrives is its answer. The driver cannot be
    // reached while the port refuses.
    vars_.replyState = ReplyState::Idle;
    vars_.replyResult = ReplyResult::Failed;
    lastFailure_ = FrameFailure::PortRefused;
    SetConnected(false);
    return false;
  }
  lastPortError_.reset();
  TellFrame(FrameEvent::Sent, FrameFailure::None, frame);
  awaited_ = answer;
  vars_.replyState = ReplyStateOf(answer);
  vars_.replyResult = ReplyResult::Pending;
  // Every send starts its own time-out. A status request follows its accepted predecessor
  // by one tick and its six ticks are counted from that one, so that polling keeps its
  // pace; after a time-out it gets the same time, since a reply that came before it cannot
  // answer it.
  vars_.tickCount = answer == Answer::Status ? 1 : 0;
  return true;
}

void LinkEngine::ReadStep() {
  if (vars_.replyState == ReplyState::Idle) return;
  const std::size_t came = inbox_.Pull(port_);
  if (came > 0) TellFrame(FrameEvent::Received, FrameFailure::None, inbox_.Last(came));
  if (!inbox_.Empty()) {
    Awaited awaited;
    awaited.kind = awaited_ == Answer::Ack ? Awaited::Kind::Ack : Awaited::Kind::Reply;
    awaited.letter = LetterOf(awaited_);
    awaited.leftAt = port_.LeftAt(ticket_);
    awaited.now = port_.Now();
    awaited.nameReplyMayFollow = nameReplyTicks_ > 0;
    const ReplyReading reading = ReadReplies(inbox_.Bytes(), inbox_.Times(), awaited);
    Judge(reading);
    inbox_.Consume(reading.consumed);
  }
  const std::uint32_t limit =
      vars_.replyState == ReplyState::Status ? kStatusTimeout : kReplyTimeout;
  if (vars_.replyResult != ReplyResult::Pending || vars_.tickCount < limit) return;
  // Nothing that answers came in time: the driver is not answering. A reply that stopped
  // halfway will not be completed; a lone byte left waiting (noise, as like as not) is no
  // reply cut off.
  SetConnected(false);
  vars_.replyState = ReplyState::Idle;
  if (awaited_ == Answer::ProgramName) nameReplyTicks_ = kLateNameTicks;
  Fail(inbox_.Bytes().size() < 2 ? FrameFailure::TimeOut : FrameFailure::Partial, inbox_.Bytes());
  inbox_.Clear();
}

void LinkEngine::Judge(const ReplyReading& reading) {
  // The answer: the last awaited reply (when two status replies answer one request, the
  // later is the newer), else the first acknowledgement; failing that, the first reply
  // that shows the request failed. Garbage is never an answer: it fails at the time-out,
  // as silence does.
  const ReplyEvent* answer = nullptr;
  const ReplyEvent* failure = nullptr;
  for (const ReplyEvent& e : reading.events) {
    switch (e.kind) {
      case ReplyEventKind::Answer:
        answer = &e;
        break;
      case ReplyEventKind::Ack:
        if (!answer) answer = &e;
        break;
      case ReplyEventKind::Refused:
      case ReplyEventKind::WrongLetter:
      case ReplyEventKind::BadChecksum:
        if (!failure && e.afterRequest && vars_.replyResult == ReplyResult::Pending) failure = &e;
        break;
      default:
        break;
    }
  }
  const auto bytes = inbox_.Bytes();
  for (const ReplyEvent& e : reading.events) {
    const auto piece = bytes.subspan(e.offset, e.length);
    if (&e == answer) {
      Accept(piece);
    } else if (&e == failure && !answer) {
      Fail(FailureOf(e.kind), piece);
    } else if (e.kind != ReplyEventKind::Partial) {
      TellFrame(FrameEvent::PassedOver, PassedOverReason(e.kind), piece);
    }
  }
}

void LinkEngine::Accept(std::span<const std::uint8_t> reply) {
  const auto take = [&](const auto& decoded, const auto& tell) {
    if (!decoded) return Fail(FrameFailure::TooShort, reply);
    vars_.replyResult = ReplyResult::Ok;
    // The reply first, then what it changed: watchers see the cause before the effect.
    TellFrame(FrameEvent::Accepted, FrameFailure::None, reply);
    SetConnected(true);
    tell(*decoded);
  };
  switch (awaited_) {
    case Answer::Ack:
      vars_.replyResult = ReplyResult::Ok;
      vars_.replyState = ReplyState::Idle;
      TellFrame(FrameEvent::Accepted, FrameFailure::None, reply);
      SetConnected(true);
      // An earlier attempt's acknowledgement may still be on its way: the next frame
      // that awaits one waits until it would have come.
      if (vars_.retryCount > 0) holdTicks_ = 2 * static_cast<int>(kReplyTimeout);
      return;
    case Answer::Status:
      return take(DecodeStatus(reply), [&](const StatusReply& s) {
        vars_.firmwareVersion = s.firmware;
        vars_.scriptOn = s.ScriptRunning();
        vars_.motorRunning = s.MotorRunning();
        p_.lastStatus = s;
        ++p_.statusCount;
        facts_.Tell([&](LinkObserver& o) { o.OnStatus(s); });
        if (vars_.scriptOn && vars_.debugOn && s.address < CodeCapacity) {
          const std::uint32_t line = addressLines_[s.address];
          if (line != 0) facts_.Tell([line](LinkObserver& o) { o.OnDebugLine(line); });
        }
      });
    case Answer::Memory:
      return take(DecodeMemoryValue(reply), [&](std::uint8_t value) {
        facts_.Tell([&](LinkObserver& o) { o.OnMemoryValue(value); });
      });
    case Answer::ParamBlock:
      return take(DecodeParameterBlock(reply), [&](const ParameterBlock& p) {
        facts_.Tell([&](LinkObserver& o) { o.OnParameterBlock(p); });
      });
    case Answer::MotorSettings:
      return take(DecodeMotorSettings(reply), [&](const MotorSettings& m) {
        facts_.Tell([&](LinkObserver& o) { o.OnMotorSettings(m); });
      });
    case Answer::ServiceValues:
      return take(DecodeServiceValues(reply), [&](const ServiceValues& s) {
        facts_.Tell([&](LinkObserver& o) { o.OnServiceValues(s); });
      });
    case Answer::ProgramName:
      nameReplyTicks_ = 0;
      return take(DecodeProgramName(reply), [&](const std::string& name) {
        vars_.driverProgramName = name;
        facts_.Tell([&](LinkObserver& o) { o.OnProgramName(vars_.driverProgramName); });
      });
  }
}

void LinkEngine::Fail(FrameFailure why, std::span<const std::uint8_t> bytes) {
  vars_.replyResult = ReplyResult::Failed;
  lastFailure_ = why;
  TellFrame(FrameEvent::Failed, why, bytes);
}

void LinkEngine::DropInbox() {
  if (!inbox_.Empty()) TellFrame(FrameEvent::PassedOver, FrameFailure::Partial, inbox_.Bytes());
  inbox_.Clear();
}

void LinkEngine::SetConnected(bool connected) {
  vars_.connected = connected;
  LinkStatus now = LinkStatus::NotAnswering;
  if (waitingForDevice_) {
    now = LinkStatus::Reconnecting;
  } else if (!vars_.linkEnabled) {
    now = LinkStatus::PortClosed;
  } else if (vars_.connected) {
    now = LinkStatus::Answering;
  }
  if (now == p_.status) return;
  p_.status = now;
  facts_.Tell([now](LinkObserver& o) { o.OnLinkStatus(now); });
}

void LinkEngine::SetLinkEnabled(bool enabled, bool waitForDevice) {
  if (enabled) {
    if (!vars_.linkEnabled) {
      // Whatever was asked while the link was off has failed already; polling starts.
      vars_.linkState = LinkState::Idle;
      vars_.pollEnabled = true;
      vars_.replyState = ReplyState::Idle;
      DropInbox();
    }
    vars_.linkEnabled = true;
    waitingForDevice_ = false;
    SetConnected(vars_.connected);
    return;
  }
  if (p_.download == DownloadResult::Running) {
    lastFailure_ = FrameFailure::LinkOff;
    DownloadEnded(DownloadResult::Failed, true);
  }
  if (p_.exchange.outcome == ExchangeOutcome::Running) {
    lastFailure_ = FrameFailure::LinkOff;
    EndExchange(ExchangeOutcome::Failed);
  }
  vars_.linkEnabled = false;
  vars_.replyState = ReplyState::Idle;
  DropInbox();
  waitingForDevice_ = waitForDevice;
  SetConnected(false);
  facts_.Tell([](LinkObserver& o) { o.OnStatusLost(); });
  facts_.FlushNotices();
}

void LinkEngine::StepState() {
  const LinkState s = vars_.linkState;
  if (s == LinkState::Idle) {
    if (vars_.pollEnabled) SendCommand(*CommandByCode(code::Status));
    return;
  }
  if (s == LinkState::StatusWait) return StatusResult();
  if (IsDownloadState(s)) return StepDownload();
  const Command* c = CommandOfState(s);
  if (!c) return;
  if (s == c->send) return SendCommand(*c);
  AwaitAnswer(*c);
}

void LinkEngine::SendCommand(const Command& c) {
  // A frame that awaits an acknowledgement waits out a held-back one first.
  if (c.answer == Answer::Ack && holdTicks_ > 0) return;
  const std::optional<Frame> frame = BuildCommand(c);
  if (!frame) return;  // refused: the exchange has ended and said why
  SetInterval(c.intervalMs);
  vars_.linkState = c.wait;
  if (Send(*frame, c.answer, c.flush)) return;
  // A frame the port refused: a value the user typed is not sent again behind their back;
  // any other command counts it as a failed attempt, so the wait rule bounds the retries.
  if (c.send == LinkState::Idle) {
    vars_.linkState = LinkState::Idle;
  } else if (c.operand == Operand::Setting || c.operand == Operand::Parameter ||
             c.operand == Operand::MemoryWrite) {
    EndExchange(ExchangeOutcome::Failed);
  }
}

std::optional<Frame> LinkEngine::BuildCommand(const Command& c) {
  switch (c.operand) {
    case Operand::None:
      return CommandFrame(c.code, 0);
    case Operand::Output:
      return CommandFrame(c.code, vars_.outputValue);
    case Operand::Parameter:
      return ParameterFrame(c.code, vars_.paramValue, vars_.paramIndex);
    case Operand::Setting: {
      const Refusal refusal = CheckSetting(setting_, settingValue_);
      if (refusal != Refusal::None) {
        EndExchange(ExchangeOutcome::Refused, refusal);
        return std::nullopt;
      }
      const std::int32_t value = *settingValue_;
      facts_.Tell([&](LinkObserver& o) { o.OnValueSent(setting_, value); });
      return CommandFrame(c.code, static_cast<std::uint32_t>(value));
    }
    case Operand::MemoryRead: {
      const Refusal refusal = CheckMemoryRead(memoryAddress_);
      if (refusal != Refusal::None) {
        EndExchange(ExchangeOutcome::Refused, refusal);
        return std::nullopt;
      }
      return CommandFrame(c.code, static_cast<std::uint32_t>(*memoryAddress_));
    }
    case Operand::MemoryWrite: {
      const auto value = MemoryWriteValue(memoryAddress_, memoryData_);
      if (!value) {
        const bool numbers = memoryAddress_ && memoryData_;
        EndExchange(ExchangeOutcome::Refused, numbers ? Refusal::OutOfRange : Refusal::NotANumber);
        return std::nullopt;
      }
      return CommandFrame(c.code, *value);
    }
  }
  return std::nullopt;
}

void LinkEngine::StatusResult() {
  switch (vars_.replyResult) {
    case ReplyResult::Pending:
      return;
    case ReplyResult::Ok:
      // Failed polls count in a row: an accepted reply starts the count again.
      vars_.linkState = LinkState::Idle;
      vars_.tickCount = 0;
      vars_.retryCount = 0;
      pollFailed_ = false;
      return;
    case ReplyResult::Failed:
      pollFailed_ = true;
      ++p_.pollsFailed;
      if (++vars_.retryCount >= kCommandAttempts) {
        SetConnected(false);
        vars_.retryCount = 0;
      }
      vars_.linkState = LinkState::Idle;
      return;
  }
}

void LinkEngine::AwaitAnswer(const Command& c) {
  switch (vars_.replyResult) {
    case ReplyResult::Pending:
      return;
    case ReplyResult::Ok:
      return EndExchange(ExchangeOutcome::Acknowledged);
    case ReplyResult::Failed:
      if (++vars_.retryCount < c.attempts) {
        vars_.linkState = c.send;
        return;
      }
      // MOVE is never sent again (its one attempt): the motor may be moving already.
      // Every exchange falls back to polling, which tells whether the driver is there.
      if (c.attempts > 1) SetConnected(false);
      return EndExchange(ExchangeOutcome::Failed);
  }
}

void LinkEngine::SetExchange(const ExchangeRecord& record) {
  p_.exchange = record;
  facts_.Tell([&](LinkObserver& o) { o.OnExchange(record); });
}

void LinkEngine::EndExchange(ExchangeOutcome outcome, Refusal refusal) {
  vars_.linkState = LinkState::Idle;
  vars_.pollEnabled = true;
  if (p_.exchange.outcome == ExchangeOutcome::Running) {
    const FrameFailure why = outcome == ExchangeOutcome::Failed ? lastFailure_ : FrameFailure::None;
    SetExchange({p_.exchange.request, outcome, refusal, why});
  }
}

void LinkEngine::Replace() {
  if (p_.download == DownloadResult::Running) {
    // Another request takes the link over; the driver holds an incomplete program, and
    // the user must hear that rather than find the progress window stuck.
    DownloadEnded(DownloadResult::Failed, true, true);
  }
  if (p_.exchange.outcome == ExchangeOutcome::Running)
    SetExchange({p_.exchange.request, ExchangeOutcome::Replaced});
  lastFailure_ = FrameFailure::None;
}

void LinkEngine::Request(LinkState firstState) {
  Replace();
  if (!vars_.linkEnabled) {
    // Nothing can be sent: the request fails now, so that its owner is not left waiting.
    lastFailure_ = FrameFailure::LinkOff;
    if (CommandOfState(firstState)) SetExchange({firstState, ExchangeOutcome::Running});
    EndExchange(ExchangeOutcome::Failed);
    facts_.FlushNotices();
    return;
  }
  vars_.pollEnabled = false;
  vars_.retryCount = 0;
  vars_.linkState = firstState;
  if (CommandOfState(firstState)) SetExchange({firstState, ExchangeOutcome::Running});
  facts_.FlushNotices();
}

void LinkEngine::ResetToIdle() {
  if (p_.download == DownloadResult::Running) DownloadEnded(DownloadResult::Failed, true, true);
  vars_.linkState = LinkState::Idle;
  vars_.pollEnabled = true;
  facts_.FlushNotices();
}

}  // namespace kivra::link
