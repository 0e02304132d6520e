// The download: begin frame, the code in chunks with their offsets, the vector frame with
// the code length, the program's file name. Each frame has five attempts.

#include <algorithm>

#include "link/engine.h"
#include "link/texts.h"

namespace kivra::link {
namespace {
constexpr int kDownloadAttempts = 5;
// The progress bar's maximum is the code length plus this; the vector and name frames
// push the position past it, and the bar shows full.
constexpr std::uint32_t kProgressExtra = 21;
constexpr std::uint32_t kVectorProgress = 35;
}  // namespace

void LinkEngine::StartDownload(bool programValid, const CodeImage& code, const VectorTable& vectors,
                               std::string_view programPath) {
  // A second press while a download runs changes nothing: the one running goes on.
  if (Downloading()) return;
  if (!programValid || !v_.linkEnabled) {
    // Without a port the program is fine and the user must hear why nothing happens.
    Text why = Text::NoValidProgram;
    if (programValid) why = waitingForDevice_ ? Text::DownloadWaitsForPort : Text::DownloadNoPort;
    Queue(MessageKind::Error, Tr(why, english_));
    FlushMessages();
    return;
  }
  code_ = code;
  code_.length = std::min<std::uint32_t>(code_.length, CodeCapacity);
  vectors_ = vectors;
  programName_ = ProgramNameBytes(programPath);
  download_ = DownloadResult::Running;
  progress_ = 0;
  view_.ShowProgress(Tr(Text::DownloadCaption, english_), code_.length + kProgressExtra);
  view_.SetProgressPosition(0);
  if (exchange_.outcome == ExchangeOutcome::Running) exchange_.outcome = ExchangeOutcome::Replaced;
  v_.pollEnabled = false;
  v_.retryCount = 0;
  v_.linkState = state::DownloadBegin;
  FlushMessages();
}

void LinkEngine::StepDownload() {
  // Wait steps: true when the frame is acknowledged; on a failure, either back to the
  // send state or, at the fifth, the end of the download.
  auto acknowledged = [this](std::uint8_t sendState, bool resetBar) {
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
  auto send = [this](const Frame& f, std::uint8_t waitState) {
    v_.linkState = waitState;
    if (!SendAndExpect(f, ReplyState::Ack)) v_.replyResult = ReplyResult::Failed;
  };
  switch (v_.linkState) {
    case 2:
      SetInterval(100);
      send(CommandFrame(protocol::code::BeginDownload, 0), 3);
      return;
    case 3:
      if (acknowledged(2, false)) {
        v_.downloadOffset = 0;
        v_.pollEnabled = false;
        v_.linkState = 4;
      }
      return;
    case 4: {
      v_.chunkLength = static_cast<std::uint8_t>(std::min<std::uint32_t>(MaxChunk, code_.length - v_.downloadOffset));
      const std::span<const std::uint8_t> chunk(code_.bytes.data() + v_.downloadOffset, v_.chunkLength);
      progress_ = v_.downloadOffset;
      view_.SetProgressPosition(progress_);
      send(ProgramDataFrame(static_cast<std::uint16_t>(v_.downloadOffset), chunk), 9);
      SetInterval(150);
      return;
    }
    case 9:
      if (acknowledged(4, true)) {
        v_.downloadOffset += v_.chunkLength;
        v_.linkState = v_.downloadOffset < code_.length ? 4 : 10;
      }
      SetInterval(100);
      return;
    case 10:
      progress_ = code_.length + kVectorProgress;
      view_.SetProgressPosition(progress_);
      send(VectorFrame(static_cast<std::uint16_t>(code_.length), vectors_), 11);
      SetInterval(150);
      return;
    case 11:
      if (acknowledged(10, true)) {
        v_.pollEnabled = true;
        v_.linkState = 47;
      }
      SetInterval(100);
      return;
    case 47: {
      const Frame f = NameFrame(programName_);
      progress_ += static_cast<std::uint32_t>(f.size());
      view_.SetProgressPosition(progress_);
      send(f, 48);
      SetInterval(250);
      return;
    }
    case 48:
      if (acknowledged(47, true)) {
        BackToPolling();
        download_ = DownloadResult::Succeeded;
        view_.HideProgress();
        view_.SetProgressPosition(0);
      }
      SetInterval(100);
      return;
  }
}

void LinkEngine::DownloadFailed(bool resetBar) {
  MarkDown();
  BackToPolling();
  download_ = DownloadResult::Failed;
  view_.HideProgress();
  if (resetBar) view_.SetProgressPosition(0);
  Queue(MessageKind::Error, Tr(Text::DownloadError, english_));
}

void LinkEngine::AbandonDownload() {
  // Another request takes the link over; the driver holds an incomplete program, and the
  // user must hear that rather than find the progress window stuck.
  if (!Downloading()) return;
  download_ = DownloadResult::Failed;
  view_.HideProgress();
  view_.SetProgressPosition(0);
  Queue(MessageKind::Error, Tr(Text::DownloadError, english_));
}

}  // namespace kivra::link
