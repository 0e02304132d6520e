#pragma once

// One frame on the line, as the watchers of the link see it: what went out or came in,
// when, and how the engine judged it. Events are plain values so that a
// window, a recorder and the command line can keep and print them without the engine.

#include <cstdint>
#include <vector>

#include "link/frame_failure.h"

namespace kivra::link {

enum class Direction : std::uint8_t { Sent, Received };

enum class FrameOutcome : std::uint8_t {
  Sent,      // a frame that went out; its answer is judged on its own event
  Accepted,  // the awaited answer: a valid reply of the right letter, or 06h
  Failed,    // an answer that does not do, or none at all
  Ignored,   // bytes that answer nothing (late, unasked for)
  Link,      // no frame: the link's state changed (`linkStatus`)
};

struct LineEvent {
  std::int64_t timeMs = 0;  // since the watch started
  Direction direction = Direction::Sent;
  FrameOutcome outcome = FrameOutcome::Sent;
  FrameFailure why = FrameFailure::None;
  std::uint8_t attempt = 0;       // 1 for the first frame, 2 for its first retry...
  std::uint8_t maxAttempts = 0;   // how many the link allows for it: 3 or 5
  std::int32_t roundTripMs = -1;  // of a judged answer: since its frame went out
  std::uint8_t reads = 1;         // of a received frame: the reads it arrived in
  std::int8_t linkStatus = -1;    // of a Link event: the LinkStatus it changed to
  std::vector<std::uint8_t> bytes;

  bool IsStatusPoll() const;  // a status request or a status reply
};

// Whoever wants every frame event.
class FrameListener {
 public:
  virtual ~FrameListener() = default;
  virtual void OnFrame(const LineEvent& event) = 0;
};

}  // namespace kivra::link
