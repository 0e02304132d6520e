#include "link/event_ring.h"

#include <utility>

namespace kivra::link {

EventRing::EventRing(std::size_t capacity) : slots_(capacity == 0 ? 1 : capacity) {}

void EventRing::Push(LineEvent event) {
  const std::size_t capacity = slots_.size();
  if (size_ == capacity) {
    slots_[head_] = std::move(event);  // in place of the oldest
    head_ = (head_ + 1) % capacity;
    ++dropped_;
  } else {
    slots_[(head_ + size_) % capacity] = std::move(event);
    ++size_;
  }
  ++next_;
}

void EventRing::Clear() {
  for (auto& slot : slots_) slot = LineEvent{};
  head_ = 0;
  size_ = 0;
  dropped_ = 0;
}

const LineEvent& EventRing::At(std::size_t i) const {
  return slots_[(head_ + i) % slots_.size()];
}

const LineEvent* EventRing::Find(std::uint64_t sequence) const {
  if (sequence < FirstSequence() || sequence >= next_) return nullptr;
  return &At(static_cast<std::size_t>(sequence - FirstSequence()));
}

}  // namespace kivra::link
