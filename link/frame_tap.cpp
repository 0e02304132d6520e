#include "link/frame_tap.h"

#include <algorithm>

#include "link/decode.h"
#include "link/frames.h"

namespace kivra::link {
namespace {

namespace code = protocol::code;

// The reply letter a command frame asks for; 0 for an acknowledgement.
std::uint8_t ReplyLetterOf(std::span<const std::uint8_t> frame) {
  if (frame.size() != 8 || frame[1] != protocol::letter::Command) return 0;
  switch (frame[2]) {
    case code::Status:
    case code::ReadParameters:
    case code::ReadSettings:
    case code::ReadService:
    case code::MemoryRead:
    case code::ReadProgramName:
      return frame[2];
    default:
      return 0;
  }
}

// The download's frames get five attempts, everything else three.
std::uint8_t MaxAttemptsOf(std::span<const std::uint8_t> frame) {
  if (frame.size() < 2) return 3;
  const bool download = frame[1] == protocol::letter::ProgramData ||
                        frame[1] == protocol::letter::Vectors ||
                        frame[1] == protocol::letter::Name ||
                        (frame.size() == 8 && frame[1] == protocol::letter::Command &&
                         frame[2] == code::BeginDownload);
  return download ? 5 : 3;
}

}  // namespace

void FrameTap::RemoveListener(FrameListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void FrameTap::Emit(LineEvent event) {
  for (FrameListener* l : listeners_) l->OnFrame(event);
}

void FrameTap::PutBlock(std::span<const std::uint8_t> bytes) {
  const std::int64_t now = clock_();
  CloseExchange(now);
  const bool again =
      !lastAnswered_ && std::equal(bytes.begin(), bytes.end(), lastSent_.begin(), lastSent_.end());
  const std::uint8_t max = MaxAttemptsOf(bytes);
  // Status polls go on after the link gives up; their count starts again like the link's.
  attempt_ = again ? static_cast<std::uint8_t>(attempt_ % max + 1) : 1;
  lastSent_.assign(bytes.begin(), bytes.end());
  LineEvent e{.timeMs = now,
              .direction = Direction::Sent,
              .attempt = attempt_,
              .maxAttempts = max,
              .bytes = {}};
  e.bytes = lastSent_;
  try {
    port_.PutBlock(bytes);
  } catch (...) {
    e.outcome = FrameOutcome::Failed;
    e.why = FailReason::Refused;
    lastAnswered_ = false;
    awaits_ = Awaits::Nothing;
    Emit(std::move(e));
    throw;
  }
  sentAt_ = now;
  lastAnswered_ = false;
  letter_ = ReplyLetterOf(bytes);
  awaits_ = letter_ == 0 ? Awaits::Ack : Awaits::Reply;
  Emit(std::move(e));
}

void FrameTap::CloseExchange(std::int64_t now) {
  if (!received_.empty()) {
    // A reply that stopped halfway: shown as it came.
    LineEvent e{.timeMs = now, .direction = Direction::Received, .bytes = {}};
    e.outcome = awaits_ == Awaits::Nothing ? FrameOutcome::Ignored : FrameOutcome::Failed;
    e.why = FailReason::Partial;
    e.bytes = std::move(received_);
    received_.clear();
    awaits_ = Awaits::Nothing;
    Emit(std::move(e));
  }
  if (awaits_ != Awaits::Nothing) {
    Emit(LineEvent{.timeMs = now,
                   .direction = Direction::Received,
                   .outcome = FrameOutcome::Failed,
                   .why = FailReason::Timeout,
                   .bytes = {}});
    awaits_ = Awaits::Nothing;
  }
}

void FrameTap::GetBlock(std::uint8_t* buffer, std::size_t n) {
  port_.GetBlock(buffer, n);
  const bool continuing = !received_.empty();
  if (continuing && reads_ < 255) ++reads_;
  received_.insert(received_.end(), buffer, buffer + n);
  const auto pieces = SplitReceived(received_, awaits_ == Awaits::Ack);
  std::size_t taken = 0;
  for (const ReceivedPiece& p : pieces) {
    if (p.partial) break;
    // Only the first piece can have begun in an earlier read.
    Judge(std::span<const std::uint8_t>(received_).subspan(p.offset, p.length),
          p.offset == 0 ? reads_ : 1);
    taken = p.offset + p.length;
  }
  if (taken > 0) reads_ = 1;  // what is left began in this read
  received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(taken));
}

void FrameTap::FlushInBuffer() {
  port_.FlushInBuffer();
  if (received_.empty()) return;
  LineEvent e{.timeMs = clock_(),
              .direction = Direction::Received,
              .outcome = FrameOutcome::Ignored,
              .why = FailReason::Partial,
              .bytes = {}};
  e.bytes = std::move(received_);
  received_.clear();
  Emit(std::move(e));
}

void FrameTap::Judge(std::span<const std::uint8_t> piece, std::uint8_t reads) {
  const std::int64_t now = clock_();
  LineEvent e{.timeMs = now,
              .direction = Direction::Received,
              .outcome = FrameOutcome::Ignored,
              .bytes = {}};
  e.bytes.assign(piece.begin(), piece.end());
  e.reads = reads;
  const DecodedFrame d = DecodeFrame(piece, Direction::Received);
  const bool wholeFrame = piece.size() >= 3 && piece[0] == piece.size();
  const bool checksumOk = wholeFrame && Xor(piece) == 0;
  const bool reply = d.kind != FrameKind::Raw && d.kind != FrameKind::Ack;
  if (!wholeFrame && d.kind != FrameKind::Ack) e.why = FailReason::Garbage;
  if (wholeFrame && !checksumOk) e.why = FailReason::Checksum;
  // A valid frame with a letter no reply of its length has: passed over like garbage.
  if (checksumOk && !reply) e.why = FailReason::WrongLetter;

  const auto fail = [&](FailReason why) {
    e.outcome = FrameOutcome::Failed;
    e.why = why;
    awaits_ = Awaits::Nothing;
  };
  const auto accept = [&] {
    e.outcome = FrameOutcome::Accepted;
    e.why = FailReason::None;
    e.roundTripMs = static_cast<std::int32_t>(now - sentAt_);
    awaits_ = Awaits::Nothing;
    lastAnswered_ = true;
  };
  switch (awaits_) {
    case Awaits::Nothing:
      break;
    case Awaits::Ack:
      if (d.kind == FrameKind::Ack) {
        accept();
      } else if (!(reply && checksumOk)) {
        // A late reply of another kind is passed over; anything else in place of 06h fails.
        fail(wholeFrame ? FailReason::Checksum : FailReason::WrongLetter);
      }
      break;
    case Awaits::Reply:
      if (!reply && !(wholeFrame && !checksumOk)) break;  // skipped by the link
      if (!checksumOk) {
        fail(FailReason::Checksum);
      } else if (d.code != letter_) {
        fail(FailReason::WrongLetter);
      } else {
        accept();
      }
      break;
  }
  Emit(std::move(e));
}

}  // namespace kivra::link
