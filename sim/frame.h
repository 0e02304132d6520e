#pragma once

// Frames on the driver's serial line, in both directions: length byte (the whole frame,
// itself and the checksum included), letter, payload, and an XOR checksum that makes the
// XOR of all bytes 0. The one exception is the acknowledgement, the single byte 06h.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/driver_protocol.h"

namespace kivra::sim {

using Bytes = std::vector<std::uint8_t>;
using TimePoint = std::chrono::steady_clock::time_point;

inline constexpr std::uint8_t Ack = protocol::Ack;
inline constexpr std::uint8_t Nak = protocol::Refusal;
inline constexpr std::size_t MaxFrameLength = protocol::FrameCapacity;

inline constexpr std::uint8_t CommandLetter = protocol::letter::Command;
inline constexpr std::uint8_t DataLetter = protocol::letter::ProgramData;
inline constexpr std::uint8_t VectorLetter = protocol::letter::Vectors;
inline constexpr std::uint8_t NameLetter = protocol::letter::Name;

inline constexpr std::size_t CommandFrameLength = 8;
inline constexpr std::size_t ParameterFrameLength = 9;
inline constexpr std::size_t VectorFrameLength = 35;
inline constexpr std::size_t MaxDataBytes = protocol::MaxCodeChunk;

// One byte on a 9600 baud line with 8 data bits, no parity and 2 stop bits: 11 bit times.
inline constexpr std::chrono::nanoseconds LineByteTime{11'000'000'000LL / 9600};

using protocol::Xor;

// Length byte, letter, payload and checksum. The payload must leave the frame within
// MaxFrameLength bytes.
Bytes BuildFrame(std::uint8_t letter, std::span<const std::uint8_t> payload);

// True when `length` and `letter` can open a frame the tool sends: a command frame of 8
// or a parameter frame of 9 bytes, a data frame of 1 to 25 code bytes, the vector frame,
// or a name frame.
bool CanStartFrame(std::uint8_t length, std::uint8_t letter);

// Cuts the byte stream from the tool into frames. The driver has no other framing than
// the length byte, so it resynchronises on its own: a byte that cannot start a frame, or
// that starts one whose checksum fails, is discarded and the search starts again at the
// next byte, so a valid frame behind garbage is still found. A frame left incomplete for
// longer than `gap` (the tool stopped in the middle, or was closed) is given up: its
// bytes are searched once more for complete frames and the rest is discarded, so stale
// bytes never join the next frame.
class FrameReader {
 public:
  explicit FrameReader(std::chrono::nanoseconds gap) : gap_(gap) {}

  struct Result {
    std::vector<Bytes> frames;
    Bytes discarded;
  };
  void Push(std::span<const std::uint8_t> bytes, TimePoint now, Result& out);

  std::size_t Pending() const { return pending_.size(); }

 private:
  // Takes every complete frame from the front of pending_; with `final` an incomplete
  // frame at the front is given up as well.
  void Scan(bool final, Result& out);
  void DiscardFront(Result& out);

  std::chrono::nanoseconds gap_;
  Bytes pending_;
  TimePoint lastByte_{};
};

}  // namespace kivra::sim
