// How punctual the simulated driver is: the time from a request written on its port to
// the whole reply read back, against the time the reply takes on a 9600 baud 8N2 line.
// The counters give the median and 99th percentile of what comes on top of the line time
// (the simulator's own delay, which a measurement against it would wrongly count).

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "sim/simulator.h"

namespace {

using kivra::sim::Bytes;
using Clock = std::chrono::steady_clock;

Bytes Command(std::uint8_t code) {
  return kivra::sim::BuildFrame(kivra::sim::CommandLetter, Bytes{code, 0, 0, 0, 0});
}

bool ReadExactly(int fd, std::size_t n) {
  std::uint8_t buffer[256];
  std::size_t got = 0;
  while (got < n) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 5000) <= 0) return false;
    const ssize_t r = read(fd, buffer, std::min(sizeof buffer, n - got));
    if (r <= 0) return false;
    got += static_cast<std::size_t>(r);
  }
  return true;
}

void BM_ReplyTime(benchmark::State& state) {
  const auto code = static_cast<std::uint8_t>(state.range(0));
  const auto length = static_cast<std::size_t>(state.range(1));
  kivra::sim::Simulator sim;
  const int fd = open(sim.PortPath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  const Bytes request = Command(code);
  const double lineUs =
      std::chrono::duration<double, std::micro>(kivra::sim::LineByteTime).count() *
      static_cast<double>(length);
  std::vector<double> extra;
  for (auto _ : state) {
    const auto start = Clock::now();
    if (write(fd, request.data(), request.size()) != ssize_t(request.size()) ||
        !ReadExactly(fd, length)) {
      state.SkipWithError("no reply");
      break;
    }
    const std::chrono::duration<double> took = Clock::now() - start;
    state.SetIterationTime(took.count());
    extra.push_back(took.count() * 1e6 - lineUs);
  }
  close(fd);
  if (extra.empty()) return;
  std::sort(extra.begin(), extra.end());
  state.counters["line_us"] = lineUs;
  state.counters["extra_median_us"] = extra[extra.size() / 2];
  state.counters["extra_p99_us"] = extra[std::min(extra.size() - 1, extra.size() * 99 / 100)];
}

// Acknowledgement (1 byte), status (16), parameter block (63).
BENCHMARK(BM_ReplyTime)
    ->Args({'V', 1})
    ->Args({'s', 16})
    ->Args({'A', 63})
    ->UseManualTime()
    ->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
