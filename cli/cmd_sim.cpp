// kivra sim: the simulated driver on a pseudo-terminal, for trying the tool without a
// driver. It prints the port's device path, answers until interrupted, and takes
// control lines on standard input while it runs.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "sim/conditions.h"
#include "sim/simulator.h"

namespace kivra::cli {
namespace {

using namespace std::chrono_literals;

void PrintUsage(std::FILE* out) {
  std::fprintf(
      out,
      "usage: kivra sim [--link PATH] [--verbose] [--step-ms N] [line options] [settings]\n"
      "\n"
      "Creates a pseudo-terminal and answers on it as the driver does. The first line\n"
      "printed is the device path to open as the serial port.\n"
      "\n"
      "  --link PATH                    also make PATH a symbolic link to the port\n"
      "  --verbose                      log every frame received and every reply sent\n"
      "  --step-ms N                    run the stored program one instruction every N ms"
      " (200)\n"
      "\n"
      "line options (by default the line behaves as a real 9600 baud 8N2 line: a frame\n"
      "reaches the driver byte by byte, and its answer leaves one byte every 1.146 ms):\n"
      "  --turnaround-ms N              the driver answers N ms after a frame's last byte"
      " (3)\n"
      "  --usb-latency-ms N             a USB adapter hands the answers over in packets, at"
      " the\n"
      "                                 latest every N ms (FTDI adapters: 16); 0: none"
      " (0)\n"
      "  --usb-burst N                  bytes in a full USB packet, handed over at once"
      " (62)\n"
      "  --status-length N              length of the status reply, 12..64 (16)\n"
      "  --whole-replies                a kinder line than any real one: frames taken at once,\n"
      "                                 answers handed over whole once their line time has\n"
      "                                 passed, no turnaround\n"
      "  --fast                         a driver on USB: no 9600 baud line, every frame\n"
      "                                 answered whole within 0.2 ms of its last byte\n"
      "\n"
      "A late reply: --late-ms 120 --delay s:1 (the next status reply comes 120 ms late).\n"
      "A noisy line with no driver behind it: --noise-ms 20 --silent 600000.\n"
      "\n"
      "settings, as --NAME VALUE at start or as lines \"NAME VALUE\" on standard input:\n"
      "%s"
      "  KIND is ack, s (status), A, t, i, E or n; N counts from 1 (the next reply).\n"
      "\n"
      "Ctrl+C (or SIGTERM, or \"quit\" on standard input) stops it.\n",
      sim::ConditionHelp().c_str());
}

std::string Hex(const sim::Bytes& bytes) {
  std::string text;
  char b[4];
  for (std::uint8_t byte : bytes) {
    std::snprintf(b, sizeof b, "%02X ", byte);
    text += b;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

// One line per event: seconds since start, direction, bytes, meaning.
void Log(const sim::Event& e, sim::TimePoint start) {
  const char* arrow = "  ";
  switch (e.kind) {
    case sim::Event::Kind::Received:
      arrow = "<-";
      break;
    case sim::Event::Kind::Sent:
      arrow = "->";
      break;
    case sim::Event::Kind::Discarded:
      arrow = "??";
      break;
    case sim::Event::Kind::Refused:
    case sim::Event::Kind::Faulted:
    case sim::Event::Kind::NotSent:
      arrow = "!!";
      break;
  }
  const double t = std::chrono::duration<double>(e.time - start).count();
  std::printf("%9.3f %s %s  %s\n", t, arrow, Hex(e.bytes).c_str(), e.text.c_str());
  std::fflush(stdout);
}

// "byte by byte, 3 ms turnaround, USB packets every 16 ms", for the start-up line.
std::string LineDescription(const sim::Simulator::Options& o) {
  const auto ms = [](std::chrono::nanoseconds d) {
    return std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
  };
  std::string text = o.line.byteByByte                ? "byte by byte"
                     : o.driver.byteTime.count() == 0 ? "fast (no line time)"
                                                      : "whole replies";
  text += ", " + ms(o.driver.turnaround) + " ms turnaround";
  if (o.line.usbLatency > std::chrono::nanoseconds::zero()) {
    text += ", USB packets every " + ms(o.line.usbLatency) + " ms";
  }
  return text;
}

struct Options {
  sim::Simulator::Options simulator;
  bool verbose = false;
  bool wholeReplies = false;
  bool fast = false;
  bool turnaroundGiven = false;
  std::vector<std::pair<std::string, std::string>> settings;
};

// The options that take a number: its range, and where it goes.
struct NumberOption {
  std::string_view name;
  long low, high;
  void (*apply)(Options&, long);
};
constexpr NumberOption kNumberOptions[] = {
    {"--step-ms", 1, 60000,
     [](Options& o, long n) { o.simulator.driver.scriptStep = std::chrono::milliseconds(n); }},
    {"--turnaround-ms", 0, 1000,
     [](Options& o, long n) {
       o.simulator.driver.turnaround = std::chrono::milliseconds(n);
       o.turnaroundGiven = true;
     }},
    {"--usb-latency-ms", 0, 1000,
     [](Options& o, long n) { o.simulator.line.usbLatency = std::chrono::milliseconds(n); }},
    {"--usb-burst", 1, 4096,
     [](Options& o, long n) { o.simulator.line.usbBurst = static_cast<std::size_t>(n); }},
    {"--status-length", 12, static_cast<long>(sim::kLongestStatus),
     [](Options& o, long n) { o.simulator.driver.statusLength = static_cast<std::size_t>(n); }},
};

const NumberOption* FindNumberOption(std::string_view name) {
  for (const auto& option : kNumberOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

std::optional<Options> Parse(const Args& args, std::string& error) {
  Options o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return std::nullopt;
      }
      return args[++i];
    };
    if (a == "--verbose" || a == "-v") {
      o.verbose = true;
    } else if (a == "--link") {
      const auto v = value();
      if (!v) return std::nullopt;
      o.simulator.linkPath = *v;
    } else if (const NumberOption* option = FindNumberOption(a)) {
      const auto v = value();
      if (!v) return std::nullopt;
      char* end = nullptr;
      const long n = std::strtol(v->c_str(), &end, 10);
      if (v->empty() || *end != '\0' || n < option->low || n > option->high) {
        error = a + " needs " + std::to_string(option->low) + ".." + std::to_string(option->high);
        return std::nullopt;
      }
      option->apply(o, n);
    } else if (a == "--whole-replies") {
      o.wholeReplies = true;
    } else if (a == "--fast") {
      o.fast = true;
    } else if (a.starts_with("--") && sim::IsCondition(a.substr(2))) {
      const std::string name = a.substr(2);
      std::string v;
      if (sim::ConditionTakesValue(name)) {
        const auto given = value();
        if (!given) return std::nullopt;
        v = *given;
      }
      o.settings.emplace_back(name, v);
    } else {
      error = "unknown option '" + a + "'";
      return std::nullopt;
    }
  }
  if (o.wholeReplies || o.fast) {
    o.simulator.line.byteByByte = false;
    if (!o.turnaroundGiven) o.simulator.driver.turnaround = std::chrono::nanoseconds::zero();
  }
  if (o.fast) {
    o.simulator.driver.byteTime = std::chrono::nanoseconds::zero();
    if (!o.turnaroundGiven) o.simulator.driver.turnaround = std::chrono::microseconds(200);
  }
  return o;
}

// SIGINT, SIGTERM and SIGHUP are blocked everywhere except inside the wait for input,
// so they end exactly that wait and the simulator is stopped in order (its link removed).
class StopSignals {
 public:
  StopSignals() {
    sigemptyset(&stop_);
    for (int s : kSignals) sigaddset(&stop_, s);
    pthread_sigmask(SIG_BLOCK, &stop_, &previousMask_);
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    sigemptyset(&quiet.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
      sigaction(kSignals[i], &quiet, &previous_[i]);
    waitMask_ = previousMask_;
    for (int s : kSignals) sigdelset(&waitMask_, s);
    // Started in the background of a terminal, a read of standard input would stop the
    // whole process, and with it the answers; ignored, the read fails instead.
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGTTIN, &ignore, &previousTtin_);
  }
  ~StopSignals() {
    sigaction(SIGTTIN, &previousTtin_, nullptr);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
      sigaction(kSignals[i], &previous_[i], nullptr);
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // The mask to wait with: the stop signals let through.
  const sigset_t* WaitMask() const { return &waitMask_; }

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
  sigset_t stop_{};
  sigset_t previousMask_{};
  sigset_t waitMask_{};
  struct sigaction previous_[std::size(kSignals)]{};
  struct sigaction previousTtin_ {};
};

// Runs one line typed on standard input; false when it asks to stop.
bool RunLine(sim::Simulator& simulator, std::string line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  const auto space = line.find(' ');
  const std::string name = line.substr(0, space);
  std::string value = space == std::string::npos ? "" : line.substr(space + 1);
  while (!value.empty() && value.front() == ' ') value.erase(0, 1);
  if (name.empty()) return true;
  if (name == "quit" || name == "exit") return false;
  if (name == "help") {
    std::printf("%squit\n", sim::ConditionHelp().c_str());
  } else {
    const auto result = sim::ApplyCondition(simulator, name, value);
    if (!result.ok) {
      std::printf("error: %s (\"help\" lists the commands)\n", result.message.c_str());
    } else if (!result.message.empty()) {
      std::printf("%s\n", result.message.c_str());
    }
  }
  std::fflush(stdout);
  return true;
}

// Takes control lines from standard input until "quit" or a stop signal. Without
// standard input, or at its end, it only waits for the signal. In the background of a
// terminal the reads fail; they are tried again every second, so a job brought to the
// foreground takes commands again.
void WaitForStop(sim::Simulator& simulator, const StopSignals& signals) {
  using Clock = std::chrono::steady_clock;
  bool inputOpen = true;
  std::optional<Clock::time_point> retryInput;
  std::string pending;
  for (;;) {
    pollfd in{inputOpen && !retryInput ? STDIN_FILENO : -1, POLLIN, 0};
    timespec timeout{};
    if (retryInput) {
      const auto left =
          std::max<Clock::duration>(*retryInput - Clock::now(), Clock::duration::zero());
      timeout.tv_nsec =
          static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(left).count());
    }
    const int n = ppoll(&in, 1, retryInput ? &timeout : nullptr, signals.WaitMask());
    if (n < 0) {
      if (errno == EINTR) return;  // a stop signal
      continue;
    }
    if (retryInput) {
      if (Clock::now() >= *retryInput) retryInput.reset();
      continue;
    }
    if (in.fd < 0 || !(in.revents & (POLLIN | POLLHUP | POLLNVAL))) continue;
    char buffer[1024];
    const ssize_t r = (in.revents & POLLNVAL) ? 0 : read(STDIN_FILENO, buffer, sizeof buffer);
    if (r < 0 && errno == EIO) {
      retryInput = Clock::now() + 1s;
      continue;
    }
    if (r <= 0) {
      inputOpen = false;  // no more input: answer until a signal comes
      continue;
    }
    pending.append(buffer, static_cast<std::size_t>(r));
    for (auto eol = pending.find('\n'); eol != std::string::npos; eol = pending.find('\n')) {
      const std::string line = pending.substr(0, eol);
      pending.erase(0, eol + 1);
      if (!RunLine(simulator, line)) return;
    }
    if (pending.size() > 4096) pending.clear();  // no one types a line that long
  }
}

}  // namespace

int RunSim(const Args& args) {
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      PrintUsage(stdout);
      return 0;
    }
  }
  std::string error;
  auto options = Parse(args, error);
  if (!options) {
    std::fprintf(stderr, "kivra sim: %s\n\n", error.c_str());
    PrintUsage(stderr);
    return 2;
  }

  StopSignals signals;  // before the simulator's thread starts, so it inherits the mask
  const sim::TimePoint start = std::chrono::steady_clock::now();
  if (options->verbose) {
    options->simulator.observer = [start](const sim::Event& e) { Log(e, start); };
  }
  std::optional<sim::Simulator> simulator;
  try {
    simulator.emplace(options->simulator);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kivra sim: cannot create the port: %s\n", e.what());
    return 1;
  }
  for (const auto& [name, value] : options->settings) {
    const auto result = sim::ApplyCondition(*simulator, name, value);
    if (!result.ok) {
      std::fprintf(stderr, "kivra sim: --%s: %s\n", name.c_str(), result.message.c_str());
      return 2;
    }
  }

  std::printf("%s\n", simulator->PortPath().c_str());
  std::fflush(stdout);
  if (!options->simulator.linkPath.empty()) {
    std::fprintf(stderr, "kivra sim: link %s -> %s\n", options->simulator.linkPath.c_str(),
                 simulator->PortPath().c_str());
  }
  std::fprintf(stderr, "kivra sim: the simulated driver answers on %s (9600 baud, 8N2, %s).\n",
               simulator->PortPath().c_str(), LineDescription(options->simulator).c_str());
  std::fprintf(stderr, "kivra sim: type \"help\" for commands; Ctrl+C stops it.\n");

  WaitForStop(*simulator, signals);
  simulator->Stop();
  std::fprintf(stderr, "kivra sim: stopped\n");
  return 0;
}

}  // namespace kivra::cli
