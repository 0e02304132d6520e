// How long a byte takes from the far side of a pseudo-terminal to the point where
// GetInBufferUsed reports it (and the other way round, from PutChar to the far side), with
// the median and 99th percentile of the samples as counters; and how much processor time
// an open port costs while nothing happens on the line.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "serial/serial_port.h"
#include "tests/serial/pty.h"

namespace {

using kivra::serial::PortSettings;
using kivra::serial::SerialPort;
using kivra::serial::testing::Pty;
using Clock = std::chrono::steady_clock;

// The link's settings, logging included, with the log file out of the working directory.
PortSettings BenchSettings() {
  PortSettings s = PortSettings::DriverLink();
  s.logName = (std::filesystem::temp_directory_path() /
               ("kivra-bench-" + std::to_string(::getpid()) + ".log"))
                  .string();
  return s;
}

void ReportPercentiles(benchmark::State& state, std::vector<double> us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["median_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
  state.counters["max_us"] = us.back();
}

void BM_ReceiveLatency(benchmark::State& state) {
  Pty pty;
  const PortSettings settings = BenchSettings();
  {
    SerialPort port(settings);
    port.SetDevice(pty.path());
    port.SetOpen(true);
    std::vector<double> samples;
    std::uint8_t byte = 0;
    for (auto _ : state) {
      const auto start = Clock::now();
      if (::write(pty.master(), &byte, 1) != 1) state.SkipWithError("write failed");
      while (port.GetInBufferUsed() == 0) std::this_thread::yield();
      const std::chrono::duration<double> took = Clock::now() - start;
      state.SetIterationTime(took.count());
      samples.push_back(took.count() * 1e6);
      port.GetBlock({&byte, 1});
      ++byte;
    }
    ReportPercentiles(state, std::move(samples));
  }
  std::filesystem::remove(settings.logName);
}
BENCHMARK(BM_ReceiveLatency)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_TransmitLatency(benchmark::State& state) {
  Pty pty;
  const PortSettings settings = BenchSettings();
  {
    SerialPort port(settings);
    port.SetDevice(pty.path());
    port.SetOpen(true);
    std::vector<double> samples;
    std::uint8_t byte = 0;
    for (auto _ : state) {
      const auto start = Clock::now();
      port.PutChar(byte);
      std::uint8_t got;
      while (::read(pty.master(), &got, 1) != 1) std::this_thread::yield();
      const std::chrono::duration<double> took = Clock::now() - start;
      state.SetIterationTime(took.count());
      samples.push_back(took.count() * 1e6);
      ++byte;
    }
    ReportPercentiles(state, std::move(samples));
  }
  std::filesystem::remove(settings.logName);
}
BENCHMARK(BM_TransmitLatency)->UseManualTime()->Iterations(2000)->Unit(benchmark::kMicrosecond);

double ProcessCpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Processor time of the whole process while an open port sits idle for two seconds, as a
// percentage of one core.
void BM_IdlePortCpu(benchmark::State& state) {
  Pty pty;
  const PortSettings settings = BenchSettings();
  {
    SerialPort port(settings);
    port.SetDevice(pty.path());
    port.SetOpen(true);
    for (auto _ : state) {
      const double before = ProcessCpuSeconds();
      std::this_thread::sleep_for(std::chrono::seconds(2));
      state.counters["cpu_percent"] = (ProcessCpuSeconds() - before) / 2.0 * 100.0;
    }
  }
  std::filesystem::remove(settings.logName);
}
BENCHMARK(BM_IdlePortCpu)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
