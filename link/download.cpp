// The download: begin frame, the code in chunks with their offsets, the vector frame with
// the code length, the program's file name. Each frame has five attempts.

#include <algorithm>

#include "link/engine.h"

namespace kivra::link {
namespace {
constexpr int kDownloadAttempts = 5;
// The progress bar's maximum is the code length plus this; the vector and name frames
// push the position past it, and the bar shows full.
constexpr std::uint32_t kProgressExtra = 21;
constexpr std::uint32_t kVectorProgress = 35;
}  // namespace

void LinkEngine::Download(const DownloadProgram& program) {
  // A second press while a download runs changes nothing: the one running goes on.
  if (Downloading()) return;
  if (!program.valid || !v_.linkEnabled) {
    // Without a port the program is fine and the user must hear why nothing happens.
    Notice why = Notice::NoValidProgram;
    if (program.valid)
      why = waitingForDevice_ ? Notice::DownloadWaitsForPort : Notice::DownloadNoPort;
    Queue(why);
    FlushNotices();
    return;
  }
  code_ = program.code;
  code_.length = std::min<std::uint32_t>(code_.length, CodeCapacity);
  vectors_ = program.vectors;
  programName_ = ProgramNameBytes(program.path);
  download_ = DownloadResult::Running;
  progress_ = 0;
  DownloadProgress started;
  started.maximum = code_.length + kProgressExtra;
  Tell([&](LinkObserver& o) { o.OnDownload(started); });
  if (exchange_.outcome == ExchangeOutcome::Running)
    SetExchange({exchange_.request, ExchangeOutcome::Replaced});
  v_.pollEnabled = false;
  v_.retryCount = 0;
  v_.linkState = LinkState::DownloadBegin;
  FlushNotices();
}

void LinkEngine::DownloadPosition(std::uint32_t position) {
  progress_ = position;
  DownloadProgress p;
  p.stage = DownloadProgress::Stage::Position;
  p.position = position;
  p.maximum = code_.length + kProgressExtra;
  Tell([&](LinkObserver& o) { o.OnDownload(p); });
}

void LinkEngine::DownloadEnded(DownloadResult result, bool resetBar) {
  download_ = result;
  DownloadProgress p;
  p.stage = DownloadProgress::Stage::Ended;
  p.position = resetBar ? 0 : progress_;
  p.maximum = code_.length + kProgressExtra;
  p.result = result;
  p.resetBar = resetBar;
  Tell([&](LinkObserver& o) { o.OnDownload(p); });
}

void LinkEngine::StepDownload() {
  // Wait steps: true when the frame is acknowledged; on a failure, either back to the
  // send state or, at the fifth, the end of the download.
  auto acknowledged = [this](LinkState sendState, bool resetBar) {
    if (v_.replyResult == ReplyResult::Pending) return false;
    if (v_.replyResult == ReplyResult::Ok) {
      v_.retryCount = 0;
      return true;
    }
    if (++v_.retryCount >= kDownloadAttempts) {
      DownloadFailed(resetBar);
    } else {
      v_.linkState = sendState;
    }
    return false;
  };
  // A frame the port refuses counts as a failed attempt.
  auto send = [this](const Frame& f, LinkState waitState) {
    v_.linkState = waitState;
    if (!SendAndExpect(f, ReplyState::Ack)) v_.replyResult = ReplyResult::Failed;
  };
  switch (v_.linkState) {
    case LinkState::DownloadBegin:
      SetInterval(100);
      send(CommandFrame(protocol::code::BeginDownload, 0), LinkState::DownloadBeginWait);
      return;
    case LinkState::DownloadBeginWait:
      if (acknowledged(LinkState::DownloadBegin, false)) {
        v_.downloadOffset = 0;
        v_.pollEnabled = false;
        v_.linkState = LinkState::DownloadData;
      }
      return;
    case LinkState::DownloadData: {
      v_.chunkLength = static_cast<std::uint8_t>(
          std::min<std::uint32_t>(MaxChunk, code_.length - v_.downloadOffset));
      const std::span<const std::uint8_t> chunk(code_.bytes.data() + v_.downloadOffset,
                                                v_.chunkLength);
      DownloadPosition(v_.downloadOffset);
      send(ProgramDataFrame(static_cast<std::uint16_t>(v_.downloadOffset), chunk),
           LinkState::DownloadDataWait);
      SetInterval(150);
      return;
    }
    case LinkState::DownloadDataWait:
      if (acknowledged(LinkState::DownloadData, true)) {
        v_.downloadOffset += v_.chunkLength;
        v_.linkState =
            v_.downloadOffset < code_.length ? LinkState::DownloadData : LinkState::DownloadVectors;
      }
      SetInterval(100);
      return;
    case LinkState::DownloadVectors:
      DownloadPosition(code_.length + kVectorProgress);
      send(VectorFrame(static_cast<std::uint16_t>(code_.length), vectors_),
           LinkState::DownloadVectorsWait);
      SetInterval(150);
      return;
    case LinkState::DownloadVectorsWait:
      if (acknowledged(LinkState::DownloadVectors, true)) {
        v_.pollEnabled = true;
        v_.linkState = LinkState::DownloadName;
      }
      SetInterval(100);
      return;
    case LinkState::DownloadName: {
      const Frame f = NameFrame(programName_);
      DownloadPosition(progress_ + static_cast<std::uint32_t>(f.size()));
      send(f, LinkState::DownloadNameWait);
      SetInterval(250);
      return;
    }
    case LinkState::DownloadNameWait:
      if (acknowledged(LinkState::DownloadName, true)) {
        BackToPolling();
        DownloadEnded(DownloadResult::Succeeded, true);
      }
      SetInterval(100);
      return;
    default:
      return;
  }
}

void LinkEngine::DownloadFailed(bool resetBar) {
  MarkDown();
  BackToPolling();
  DownloadEnded(DownloadResult::Failed, resetBar);
  Queue(Notice::DownloadError);
}

void LinkEngine::AbandonDownload() {
  // Another request takes the link over; the driver holds an incomplete program, and the
  // user must hear that rather than find the progress window stuck.
  if (!Downloading()) return;
  DownloadEnded(DownloadResult::Failed, true);
  Queue(Notice::DownloadError);
}

}  // namespace kivra::link
