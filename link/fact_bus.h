#pragma once

// The engine's observers, and the notices that wait until the engine's state has settled.

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/facts.h"

namespace kivra::link {

class FactBus {
 public:
  void Add(LinkObserver& observer) {
    if (std::ranges::find(observers_, &observer) == observers_.end())
      observers_.push_back(&observer);
  }
  void Remove(LinkObserver& observer) { std::erase(observers_, &observer); }
  bool Empty() const { return observers_.empty(); }

  template <typename F>
  void Tell(F&& f) {
    // By index: an observer may remove itself while it is told.
    for (std::size_t i = 0; i < observers_.size(); ++i) f(*observers_[i]);
  }

  // A notice may make an observer show a box that runs a nested event loop (and more
  // ticks), so notices are told only once the tick or request has settled the state.
  void Queue(Notice notice, std::string_view detail = {}) {
    notices_.emplace_back(notice, std::string(detail));
  }
  void FlushNotices() {
    if (notices_.empty()) return;
    // Taken out first: an observer that runs more ticks may queue and tell its own.
    auto pending = std::move(notices_);
    notices_.clear();
    // By name, not a structured binding: clang 14 lets no lambda capture one.
    for (const auto& told : pending)
      Tell([&](LinkObserver& o) { o.OnNotice(told.first, told.second); });
  }

 private:
  std::vector<LinkObserver*> observers_;
  std::vector<std::pair<Notice, std::string>> notices_;
};

}  // namespace kivra::link
