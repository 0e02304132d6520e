#include <signal.h>
#include <unistd.h>

#include <ctime>

#include "cli/console.h"

namespace kivra::cli {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void PrepareConsole() {}

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

bool CheckPortText(std::string&, Language, std::string&) {
  return true;
}

struct StopRequests::System {
  sigset_t previous{};
  sigset_t signals{};
};

StopRequests::StopRequests() : system_(std::make_unique<System>()) {
  sigemptyset(&system_->signals);
  sigaddset(&system_->signals, SIGINT);
  sigaddset(&system_->signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &system_->signals, &system_->previous);
}

StopRequests::~StopRequests() {
  pthread_sigmask(SIG_SETMASK, &system_->previous, nullptr);
}

bool StopRequests::Wait(std::chrono::steady_clock::duration limit) {
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(limit).count();
  const timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
  // EAGAIN: the time is up; EINTR: another signal, and the caller waits again.
  return sigtimedwait(&system_->signals, nullptr, &ts) > 0;
}

}  // namespace kivra::cli
