#pragma once

// Reading what the driver sent: a pure function from the received bytes, each with the
// moment it arrived, to what they are. A frame is delimited by its length byte alone
// (3 to 250 bytes, this byte and the checksum included); what a frame means for the
// exchange in progress is judged by when its first byte arrived: a byte that arrived
// before the request finished leaving cannot be the request's answer, whatever moment the
// link happens to look at it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "common/mono_time.h"

namespace kivra::link {

// What the exchange in progress waits for.
struct Awaited {
  enum class Kind : std::uint8_t {
    Nothing,  // no request is waiting: whatever is there came for an earlier one
    Ack,      // 06h
    Reply,    // a frame with `letter`
  };
  Kind kind = Kind::Nothing;
  std::uint8_t letter = 0;
  // When the request's last byte was handed to the system; nothing while it is still
  // queued, so that everything received came before it.
  std::optional<MonoTime> leftAt;
  // When the bytes are read.
  MonoTime now = 0;
  // A program-name request went unanswered lately: its late reply may still come, and a
  // name of three characters makes that reply start with 06h, so a 06h that just arrived
  // alone waits for the byte after it.
  bool nameReplyMayFollow = false;
};

enum class ReplyEventKind : std::uint8_t {
  Answer,       // a whole frame with the awaited letter and a right checksum
  Ack,          // the first 06h where an acknowledgement is awaited
  Refused,      // 15h where an answer is awaited: the driver refused the request
  WrongLetter,  // a whole, valid frame with another letter where a reply is awaited
  BadChecksum,  // a whole frame, by its length byte, whose checksum fails
  Late,         // a valid frame or 06h that answers an earlier request (or a second 06h)
  Garbage,      // bytes that form no frame, and broken frames that came before the request
  Partial,      // the start of a frame whose other bytes are still to come; always last
};

struct ReplyEvent {
  ReplyEventKind kind;
  std::size_t offset;  // in the bytes given
  std::size_t length;
  bool afterRequest;  // its first byte arrived once the request had left
};

struct ReplyReading {
  std::vector<ReplyEvent> events;
  // Bytes judged; the rest (the Partial event's) is read again with the bytes after it.
  std::size_t consumed = 0;
};

// A byte of 06h or 15h alone at the end that arrived less than this long ago may be the
// length byte of a frame whose next byte is on its way (a byte takes 1.15 ms at 9600 baud).
inline constexpr MonoTime kLoneByteWaitUs = 5000;

// `arrived` holds one moment per byte of `bytes`.
ReplyReading ReadReplies(std::span<const std::uint8_t> bytes, std::span<const MonoTime> arrived,
                         const Awaited& awaited);

}  // namespace kivra::link
