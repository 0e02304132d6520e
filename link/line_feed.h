#pragma once

// The engine's frame facts as the watchers of the link keep them: each frame sent, each
// reply the engine accepted or failed (with the reads it arrived in), and the received bytes
// the engine passed over (late replies, garbage), so that nothing on the line goes unseen.
// The engine alone judges the bytes; the feed only gathers them into rows.

#include <cstdint>
#include <vector>

#include "link/facts.h"
#include "link/line_event.h"

namespace kivra::link {

class LineFeed final : public LinkObserver {
 public:
  // `clock` is the engine's: the rows of a change of the link's state are timed with it.
  explicit LineFeed(Clock& clock) : clock_(clock) {}

  void AddListener(FrameListener* listener) { listeners_.push_back(listener); }
  void RemoveListener(FrameListener* listener);

  void OnFrame(const FrameRecord& record) override;
  void OnLinkStatus(LinkStatus status) override;

  // Received bytes kept for their row at most; more are shown as passed over at once.
  static constexpr std::size_t kMaxPending = 4096;

 private:
  struct Read {
    std::size_t end = 0;  // in pending_, one past its last byte
    std::int64_t timeMs = 0;
  };
  void Emit(const LineEvent& event);
  void Judged(const FrameRecord& record);
  // The first `n` pending bytes, which the engine never judged, as a row of their own.
  void PassedOver(std::size_t n);
  void Drop(std::size_t n);
  std::uint8_t ReadsIn(std::size_t from, std::size_t to) const;
  std::int64_t TimeOf(std::size_t at) const;

  Clock& clock_;
  std::vector<FrameListener*> listeners_;
  std::vector<std::uint8_t> pending_;  // received and not yet in a row
  std::vector<Read> reads_;
};

}  // namespace kivra::link
