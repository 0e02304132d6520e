#include "cli/stop_signal.h"

#include <cstdio>

#include "cli/texts.h"

namespace kivra::cli {

StopSignal::StopSignal(std::string first, Language language)
    : first_(std::move(first)), language_(language) {
  watcher_ = std::thread([this] { Watch(); });
}

StopSignal::~StopSignal() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  watcher_.join();
}

void StopSignal::Watch() {
  // Looks for the end every tenth of a second; a signal wakes it at once.
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (quit_) return;
    }
    if (!requests_.Wait(std::chrono::milliseconds(100))) continue;
    int count = 0;
    {
      const std::lock_guard lock(mutex_);
      count = ++count_;
    }
    changed_.notify_all();
    if (count == 1) {
      std::fprintf(stderr, "\n%s\n", first_.c_str());
    } else if (count == 2) {
      std::fprintf(stderr, "\n%s\n", texts::Pick(texts::kStoppingNow, language_).data());
    }
  }
}

int StopSignal::Count() const {
  const std::lock_guard lock(mutex_);
  return count_;
}

bool StopSignal::Wait(std::chrono::steady_clock::duration duration, int seen) const {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, duration, [&] { return count_ > seen; });
}

}  // namespace kivra::cli
