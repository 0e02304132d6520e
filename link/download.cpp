// The download: begin frame, the code in chunks with their offsets, the vector frame with
// the code length, the program's file name. Each frame has five attempts.

#include <algorithm>

#include "link/engine.h"

namespace kivra::link {
namespace {
// The progress bar's maximum is the code length plus this; the vector and name frames
// push the position past it, and the bar shows full.
constexpr std::uint32_t kProgressExtra = 21;
constexpr std::uint32_t kVectorProgress = 35;
}  // namespace

void LinkEngine::Download(const DownloadProgram& program) {
  // A second press while a download runs changes nothing: the one running goes on.
  if (p_.download == DownloadResult::Running) return;
  if (!program.valid || !vars_.linkEnabled) {
    // Without a port the program is fine and the user must hear why nothing happens.
    Notice why = Notice::NoValidProgram;
    if (program.valid)
      why = waitingForDevice_ ? Notice::DownloadWaitsForPort : Notice::DownloadNoPort;
    facts_.Queue(why);
    facts_.FlushNotices();
    return;
  }
  code_ = program.code;
  code_.length = std::min<std::uint32_t>(code_.length, CodeCapacity);
  vectors_ = program.vectors;
  programName_ = ProgramNameBytes(program.path);
  p_.download = DownloadResult::Running;
  progress_ = 0;
  DownloadProgress started;
  started.maximum = code_.length + kProgressExtra;
  facts_.Tell([&](LinkObserver& o) { o.OnDownload(started); });
  if (p_.exchange.outcome == ExchangeOutcome::Running)
    SetExchange({p_.exchange.request, ExchangeOutcome::Replaced});
  lastFailure_ = FrameFailure::None;
  vars_.pollEnabled = false;
  vars_.retryCount = 0;
  vars_.linkState = LinkState::DownloadBegin;
  facts_.FlushNotices();
}

void LinkEngine::DownloadEnded(DownloadResult result, bool resetBar, bool replaced) {
  p_.download = result;
  DownloadProgress p;
  p.stage = DownloadProgress::Stage::Ended;
  p.position = resetBar ? 0 : progress_;
  p.maximum = code_.length + kProgressExtra;
  p.result = result;
  p.resetBar = resetBar;
  if (result == DownloadResult::Failed) {
    // The step is the frame's send state: the wait states are the next numbers.
    const LinkState s = vars_.linkState;
    const bool waiting = s == LinkState::DownloadBeginWait || s == LinkState::DownloadDataWait ||
                         s == LinkState::DownloadVectorsWait || s == LinkState::DownloadNameWait;
    p.failedStep = waiting ? static_cast<LinkState>(static_cast<std::uint8_t>(s) - 1) : s;
    if (!IsDownloadState(p.failedStep)) p.failedStep = LinkState::DownloadBegin;
    p.offset = vars_.downloadOffset;
    p.why = lastFailure_;
    p.replaced = replaced;
  }
  facts_.Tell([&](LinkObserver& o) { o.OnDownload(p); });
  if (result == DownloadResult::Failed) facts_.Queue(Notice::DownloadError);
}

void LinkEngine::StepDownload() {
  // Wait steps: true when the frame is acknowledged; on a failure, either back to the
  // send state or, at the fifth, the end of the download.
  auto acknowledged = [this](LinkState sendState, bool resetBar) {
    if (vars_.replyResult == ReplyResult::Pending) return false;
    if (vars_.replyResult == ReplyResult::Ok) {
      vars_.retryCount = 0;
      return true;
    }
    if (++vars_.retryCount < kDownloadAttempts) {
      vars_.linkState = sendState;
      return false;
    }
    SetConnected(false);
    vars_.pollEnabled = true;
    DownloadEnded(DownloadResult::Failed, resetBar);
    vars_.linkState = LinkState::Idle;
    return false;
  };
  // A frame the port refuses counts as a failed attempt; every frame waits out an
  // acknowledgement that an earlier attempt may still have on its way.
  auto send = [this](const Frame& f, LinkState waitState) {
    vars_.linkState = waitState;
    Send(f, Answer::Ack, false);
  };
  auto tellProgress = [this] {
    const DownloadProgress p{DownloadProgress::Stage::Position, progress_,
                             code_.length + kProgressExtra};
    facts_.Tell([&](LinkObserver& o) { o.OnDownload(p); });
  };
  const LinkState s = vars_.linkState;
  const bool sendState = s == LinkState::DownloadBegin || s == LinkState::DownloadData ||
                         s == LinkState::DownloadVectors || s == LinkState::DownloadName;
  if (sendState && holdTicks_ > 0) return;
  switch (s) {
    case LinkState::DownloadBegin:
      SetInterval(100);
      send(CommandFrame(protocol::code::BeginDownload, 0), LinkState::DownloadBeginWait);
      return;
    case LinkState::DownloadBeginWait:
      if (acknowledged(LinkState::DownloadBegin, false)) {
        vars_.downloadOffset = 0;
        vars_.pollEnabled = false;
        vars_.linkState = LinkState::DownloadData;
      }
      return;
    case LinkState::DownloadData: {
      vars_.chunkLength = static_cast<std::uint8_t>(
          std::min<std::uint32_t>(MaxChunk, code_.length - vars_.downloadOffset));
      const std::span<const std::uint8_t> chunk(code_.bytes.data() + vars_.downloadOffset,
                                                vars_.chunkLength);
      progress_ = vars_.downloadOffset;
      tellProgress();
      send(ProgramDataFrame(static_cast<std::uint16_t>(vars_.downloadOffset), chunk),
           LinkState::DownloadDataWait);
      SetInterval(150);
      return;
    }
    case LinkState::DownloadDataWait:
      if (acknowledged(LinkState::DownloadData, true)) {
        vars_.downloadOffset += vars_.chunkLength;
        vars_.linkState = vars_.downloadOffset < code_.length ? LinkState::DownloadData
                                                              : LinkState::DownloadVectors;
      }
      SetInterval(100);
      return;
    case LinkState::DownloadVectors: {
      progress_ = code_.length + kVectorProgress;
      tellProgress();
      send(VectorFrame(static_cast<std::uint16_t>(code_.length), vectors_),
           LinkState::DownloadVectorsWait);
      SetInterval(150);
      return;
    }
    case LinkState::DownloadVectorsWait:
      if (acknowledged(LinkState::DownloadVectors, true)) {
        vars_.pollEnabled = true;
        vars_.linkState = LinkState::DownloadName;
      }
      SetInterval(100);
      return;
    case LinkState::DownloadName: {
      const Frame f = NameFrame(programName_);
      progress_ += static_cast<std::uint32_t>(f.size());
      tellProgress();
      send(f, LinkState::DownloadNameWait);
      SetInterval(250);
      return;
    }
    case LinkState::DownloadNameWait:
      if (acknowledged(LinkState::DownloadName, true)) {
        vars_.linkState = LinkState::Idle;
        vars_.pollEnabled = true;
        DownloadEnded(DownloadResult::Succeeded, true);
      }
      SetInterval(100);
      return;
    default:
      return;
  }
}

}  // namespace kivra::link
