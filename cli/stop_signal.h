#pragma once

// Ctrl+C and SIGTERM for commands that run exchanges on several threads. The requests are
// held from construction on (StopRequests: every thread started afterwards leaves them
// alone), and one watcher thread takes them: each one counts as a stop request, and the
// first two print what they do.

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "cli/console.h"
#include "common/language.h"
#include "params/driver_session.h"

namespace kivra::cli {

class StopSignal final : public params::StopRequest {
 public:
  // `first`: what the first request does ("stopping after the current driver"); the second
  // says that everything stops at once.
  StopSignal(std::string first, Language language);
  ~StopSignal() override;
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;

  int Count() const override;
  bool Wait(std::chrono::steady_clock::duration duration, int seen) const override;

 private:
  void Watch();

  std::string first_;
  Language language_;
  StopRequests requests_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  int count_ = 0;
  bool quit_ = false;
  std::thread watcher_;
};

}  // namespace kivra::cli
