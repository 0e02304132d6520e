#include "link/line_feed.h"

#include <algorithm>

#include "link/decode.h"

namespace kivra::link {
namespace {

std::uint8_t Clamp8(int n) {
  return static_cast<std::uint8_t>(std::clamp(n, 0, 255));
}

}  // namespace

void LineFeed::RemoveListener(FrameListener* listener) {
  std::erase(listeners_, listener);
}

void LineFeed::Emit(const LineEvent& event) {
  for (FrameListener* l : listeners_) l->OnFrame(event);
}

void LineFeed::OnFrame(const FrameRecord& r) {
  switch (r.event) {
    case FrameEvent::Sent: {
      LineEvent e{.timeMs = static_cast<std::int64_t>(r.timeMs),
                  .direction = Direction::Sent,
                  .attempt = Clamp8(r.attempt),
                  .maxAttempts = Clamp8(r.attempts),
                  .bytes = {}};
      e.bytes.assign(r.bytes.begin(), r.bytes.end());
      Emit(e);
      return;
    }
    case FrameEvent::Received:
      if (r.bytes.empty()) return;
      pending_.insert(pending_.end(), r.bytes.begin(), r.bytes.end());
      reads_.push_back({pending_.size(), static_cast<std::int64_t>(r.timeMs)});
      if (pending_.size() > kMaxPending) PassedOver(pending_.size() - kMaxPending / 2);
      return;
    case FrameEvent::Accepted:
    case FrameEvent::Failed:
    case FrameEvent::PassedOver:
      Judged(r);
      return;
  }
}

void LineFeed::Judged(const FrameRecord& r) {
  const FrameOutcome outcome = r.event == FrameEvent::Accepted ? FrameOutcome::Accepted
                               : r.event == FrameEvent::Failed ? FrameOutcome::Failed
                                                               : FrameOutcome::Ignored;
  LineEvent e{
      .timeMs = static_cast<std::int64_t>(r.timeMs),
      .direction = Direction::Received,
      .outcome = outcome,
      .why = r.why,
      .attempt = Clamp8(r.attempt),
      .maxAttempts = Clamp8(r.attempts),
      .roundTripMs = static_cast<std::int32_t>(std::min<std::uint32_t>(r.roundTripMs, INT32_MAX)),
      .bytes = {}};
  e.bytes.assign(r.bytes.begin(), r.bytes.end());
  if (r.why == FrameFailure::PortRefused) {
    // The frame that did not go out, on the sending side.
    e.direction = Direction::Sent;
    e.roundTripMs = -1;
    Emit(e);
    return;
  }
  if (r.why == FrameFailure::TimeOut) e.roundTripMs = -1;
  if (outcome == FrameOutcome::Ignored || r.why == FrameFailure::TimeOut) e.roundTripMs = -1;
  // The engine judges the received bytes in the order they came, so a judged piece stands at
  // the front of what is pending; anything before it went unjudged (the port discarded it).
  if (!r.bytes.empty()) {
    const auto at = std::search(pending_.begin(), pending_.end(), r.bytes.begin(), r.bytes.end());
    if (at != pending_.end()) {
      const auto from = static_cast<std::size_t>(at - pending_.begin());
      PassedOver(from);
      e.timeMs = TimeOf(0);
      e.reads = ReadsIn(0, r.bytes.size());
      Drop(r.bytes.size());
    }
  }
  Emit(e);
}

void LineFeed::OnLinkStatus(LinkStatus status) {
  // Once the port is closed nothing more arrives: what is left is shown as it is.
  if (status == LinkStatus::PortClosed) PassedOver(pending_.size());
  LineEvent e{.timeMs = static_cast<std::int64_t>(clock_.NowMs()),
              .outcome = FrameOutcome::Link,
              .bytes = {}};
  e.linkStatus = static_cast<std::int8_t>(status);
  Emit(e);
}

void LineFeed::PassedOver(std::size_t n) {
  n = std::min(n, pending_.size());
  if (n == 0) return;
  LineEvent e{.timeMs = TimeOf(0),
              .direction = Direction::Received,
              .outcome = FrameOutcome::Ignored,
              .why = FrameFailure::Partial,
              .bytes = {}};
  e.reads = ReadsIn(0, n);
  e.bytes.assign(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
  Emit(e);
  Drop(n);
}

void LineFeed::Drop(std::size_t n) {
  n = std::min(n, pending_.size());
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
  std::erase_if(reads_, [n](const Read& r) { return r.end <= n; });
  for (Read& r : reads_) r.end -= n;
}

std::uint8_t LineFeed::ReadsIn(std::size_t from, std::size_t to) const {
  int n = 0;
  std::size_t start = 0;
  for (const Read& r : reads_) {
    if (r.end > from && start < to) ++n;
    start = r.end;
  }
  return Clamp8(std::max(n, 1));
}

std::int64_t LineFeed::TimeOf(std::size_t at) const {
  for (const Read& r : reads_)
    if (at < r.end) return r.timeMs;
  return static_cast<std::int64_t>(clock_.NowMs());
}

}  // namespace kivra::link
