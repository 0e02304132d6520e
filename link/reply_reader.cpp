#include "link/reply_reader.h"

#include "common/driver_protocol.h"
#include "link/commands.h"

namespace kivra::link {
namespace {

constexpr std::uint8_t kAck = protocol::Ack;
constexpr std::uint8_t kRefusal = protocol::Refusal;
constexpr std::size_t kShortestFrame = 3;  // length, letter, checksum

class Reader {
 public:
  Reader(std::span<const std::uint8_t> bytes, std::span<const MonoTime> arrived,
         const Awaited& awaited)
      : b_(bytes), at_(arrived), aw_(awaited) {}

  ReplyReading Run() {
    std::size_t i = 0;
    while (i < b_.size()) {
      const std::size_t next = Step(i);
      if (next == i) break;  // a partial frame: the rest waits for more bytes
      i = next;
    }
    out_.consumed = i;
    return std::move(out_);
  }

 private:
  // Judges what starts at `i`; returns where the next piece starts (`i` for a partial).
  std::size_t Step(std::size_t i) {
    const std::uint8_t first = b_[i];
    if (const std::size_t whole = ValidFrameAt(i)) {
      Frame(i, whole);
      return i + whole;
    }
    if (first == kAck || first == kRefusal) return SingleByte(i);
    if (first < kShortestFrame || first > protocol::FrameCapacity) return Garbage(i, 1);
    if (i + 1 == b_.size()) return Partial(i);
    if (!IsReplyLetter(b_[i + 1])) return Garbage(i, 1);
    if (i + first > b_.size()) return Arriving(i);
    // Whole by its length byte, but broken: the next valid frame inside it starts the next
    // piece, so that a damaged length byte swallows no good reply.
    std::size_t end = i + first;
    for (std::size_t j = i + 1; j < i + first; ++j) {
      if (ValidFrameAt(j)) {
        end = j;
        break;
      }
    }
    Push(After(i) ? ReplyEventKind::BadChecksum : ReplyEventKind::Garbage, i, end - i);
    return end;
  }

  // 06h and 15h, which are also the length bytes of 6- and 21-byte frames.
  std::size_t SingleByte(std::size_t i) {
    const std::uint8_t byte = b_[i];
    const bool last = i + 1 == b_.size();
    if (!last && IsReplyLetter(b_[i + 1]) && i + byte > b_.size()) return Arriving(i);
    if (last && MayStartFrame(i)) return Partial(i);
    if (byte == kAck) {
      const bool answers = aw_.kind == Awaited::Kind::Ack && After(i) && !acknowledged_;
      acknowledged_ = acknowledged_ || answers;
      Push(answers ? ReplyEventKind::Ack : ReplyEventKind::Late, i, 1);
      return i + 1;
    }
    const bool refuses = aw_.kind != Awaited::Kind::Nothing && After(i);
    Push(refuses ? ReplyEventKind::Refused : ReplyEventKind::Garbage, i, 1);
    return i + 1;
  }

  // A lone 06h or 15h that has just arrived may be the first byte of a frame: it waits for
  // the next byte where such a frame could come.
  bool MayStartFrame(std::size_t i) const {
    if (aw_.now - at_[i] >= kLoneByteWaitUs) return false;
    if (b_[i] == kAck) return aw_.kind != Awaited::Kind::Ack || aw_.nameReplyMayFollow;
    return aw_.kind != Awaited::Kind::Ack;
  }

  // A frame whose other bytes are still to come, unless the awaited answer, whole, lies
  // inside it: then it was no frame (a stray byte, a broken reply's rest) and it must not
  // swallow the answer.
  std::size_t Arriving(std::size_t i) {
    const bool itselfAwaited = aw_.kind == Awaited::Kind::Reply && b_[i + 1] == aw_.letter;
    if (!itselfAwaited || !After(i)) {
      for (std::size_t j = i + 1; j < b_.size(); ++j) {
        if (IsAnswerAt(j)) return Garbage(i, j - i);
      }
    }
    return Partial(i);
  }

  bool IsAnswerAt(std::size_t j) const {
    return aw_.kind == Awaited::Kind::Reply && ValidFrameAt(j) && b_[j + 1] == aw_.letter &&
           After(j);
  }

  // The length of the whole frame with a reply letter and a right checksum at `i`; 0 when
  // none starts there.
  std::size_t ValidFrameAt(std::size_t i) const {
    const std::size_t length = b_[i];
    if (length < kShortestFrame || i + length > b_.size()) return 0;
    if (!IsReplyLetter(b_[i + 1])) return 0;
    return protocol::Xor(b_.subspan(i, length)) == 0 ? length : 0;
  }

  void Frame(std::size_t i, std::size_t length) {
    ReplyEventKind kind = ReplyEventKind::Late;
    if (After(i) && aw_.kind == Awaited::Kind::Reply)
      kind = b_[i + 1] == aw_.letter ? ReplyEventKind::Answer : ReplyEventKind::WrongLetter;
    Push(kind, i, length);
  }

  std::size_t Garbage(std::size_t i, std::size_t length) {
    Push(ReplyEventKind::Garbage, i, length);
    return i + length;
  }

  std::size_t Partial(std::size_t i) {
    Push(ReplyEventKind::Partial, i, b_.size() - i);
    return i;
  }

  bool After(std::size_t i) const { return aw_.leftAt && at_[i] >= *aw_.leftAt; }

  void Push(ReplyEventKind kind, std::size_t offset, std::size_t length) {
    const bool after = After(offset);
    if (kind == ReplyEventKind::Garbage && !out_.events.empty()) {
      ReplyEvent& last = out_.events.back();
      if (last.kind == kind && last.afterRequest == after && last.offset + last.length == offset) {
        last.length += length;
        return;
      }
    }
    out_.events.push_back({kind, offset, length, after});
  }

  std::span<const std::uint8_t> b_;
  std::span<const MonoTime> at_;
  const Awaited& aw_;
  bool acknowledged_ = false;
  ReplyReading out_;
};

}  // namespace

ReplyReading ReadReplies(std::span<const std::uint8_t> bytes, std::span<const MonoTime> arrived,
                         const Awaited& awaited) {
  if (arrived.size() < bytes.size()) bytes = bytes.first(arrived.size());
  return Reader(bytes, arrived, awaited).Run();
}

}  // namespace kivra::link
