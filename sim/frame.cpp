#include "sim/frame.h"

#include <algorithm>
#include <cassert>

namespace kivra::sim {

Bytes BuildFrame(std::uint8_t letter, std::span<const std::uint8_t> payload) {
  assert(payload.size() + 3 <= MaxFrameLength);
  Bytes frame;
  frame.reserve(payload.size() + 3);
  frame.push_back(static_cast<std::uint8_t>(payload.size() + 3));
  frame.push_back(letter);
  frame.insert(frame.end(), payload.begin(), payload.end());
  frame.push_back(Xor(frame));
  return frame;
}

bool CanStartFrame(std::uint8_t length, std::uint8_t letter) {
  switch (letter) {
    case CommandLetter:
      return length == CommandFrameLength || length == ParameterFrameLength;
    case DataLetter:
      return length >= 6 && length <= MaxDataBytes + 5;
    case VectorLetter:
      return length == VectorFrameLength;
    case NameLetter:
      return length >= 3 && length <= MaxFrameLength;
    default:
      return false;
  }
}

void FrameReader::Push(std::span<const std::uint8_t> bytes, TimePoint now, Result& out) {
  if (bytes.empty()) return;
  if (!pending_.empty() && now - lastByte_ > gap_) Scan(true, out);
  lastByte_ = now;
  for (std::uint8_t b : bytes) {
    pending_.push_back(b);
    Scan(false, out);
  }
}

void FrameReader::Scan(bool final, Result& out) {
  while (!pending_.empty()) {
    const std::uint8_t length = pending_[0];
    if (pending_.size() >= 2 && !CanStartFrame(length, pending_[1])) {
      DiscardFront(out);
      continue;
    }
    // A lone first byte can only be judged by its length; 3 is the shortest frame.
    if (length < 3 || length > MaxFrameLength) {
      DiscardFront(out);
      continue;
    }
    if (pending_.size() < length) {
      if (!final) return;
      DiscardFront(out);
      continue;
    }
    const std::span<const std::uint8_t> candidate(pending_.data(), length);
    if (Xor(candidate) != 0) {
      DiscardFront(out);
      continue;
    }
    out.frames.emplace_back(candidate.begin(), candidate.end());
    pending_.erase(pending_.begin(), pending_.begin() + length);
  }
}

void FrameReader::DiscardFront(Result& out) {
  out.discarded.push_back(pending_.front());
  pending_.erase(pending_.begin());
}

}  // namespace kivra::sim
