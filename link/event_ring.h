#pragma once

// The frame events a watcher keeps: the last `capacity` of them, older ones dropped and
// counted. Every event gets a sequence number that stays its own while it is kept, so a
// view can tell which events are new since it last looked and which are gone.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/line_event.h"

namespace kivra::link {

class EventRing {
 public:
  static constexpr std::size_t kDefaultCapacity = 100'000;

  explicit EventRing(std::size_t capacity = kDefaultCapacity);

  void Push(LineEvent event);
  // Forgets every event; the sequence numbers go on from where they were.
  void Clear();

  std::size_t Size() const { return size_; }
  std::size_t Capacity() const { return slots_.size(); }
  // Events dropped to make room since the start or the last Clear().
  std::uint64_t Dropped() const { return dropped_; }
  // Sequence numbers of the oldest kept event and of the next one to come.
  std::uint64_t FirstSequence() const { return next_ - size_; }
  std::uint64_t NextSequence() const { return next_; }

  // The i-th kept event, 0 the oldest.
  const LineEvent& At(std::size_t i) const;
  // The event of a sequence number; null when it is gone or yet to come.
  const LineEvent* Find(std::uint64_t sequence) const;

 private:
  std::vector<LineEvent> slots_;
  std::size_t head_ = 0;  // slot of the oldest event
  std::size_t size_ = 0;
  std::uint64_t next_ = 0;
  std::uint64_t dropped_ = 0;
};

}  // namespace kivra::link
