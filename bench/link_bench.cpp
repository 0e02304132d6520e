// The link's pace against the simulated driver, through the serial component, on the real
// tick loop, for each kind of line the simulator offers:
//   real         byte by byte: the request takes its line time, 3 ms turnaround, the
//                answer one byte per 1.146 ms (a 16-byte status exchange takes about
//                30 ms, longer than the 25 ms polling tick)
//   real+usb16   the same through a USB adapter that hands bytes over every 16 ms
//   whole        the kind line: requests taken at once, answers handed over whole
//
//   BM_FullDownload  a 2048-byte image, measured against the time the state table's
//                    intervals imply for it (a tick-by-tick run with an ideal driver);
//                    the ratio must stay within 1.05: no extra delay of ours.
//   BM_IdlePolling   accepted status replies per second while idle, with 12- and 16-byte
//                    replies: at least 9 on a real line (a 30 ms exchange needs a cycle of
//                    four 25 ms ticks, 10 per second), 13.3 with whole replies (three).
// All run for real time (about 30 s and 10 s each); run the executable from a release build.

#include <benchmark/benchmark.h>

#include <chrono>
#include <deque>
#include <stdexcept>

#include "link/engine.h"
#include "link/serial_link.h"
#include "link/tick_loop.h"
#include "sim/simulator.h"

namespace {

using namespace kivra;
using Clock = std::chrono::steady_clock;

// A driver that has every answer ready by the next tick, and a clock that advances by
// the interval in force at each tick: the time the state table's pacing implies.
struct IdealDriver final : link::Port, link::IntervalTimer {
  std::deque<std::uint8_t> in;
  std::vector<std::uint8_t> out;
  int interval = 100;
  void PutChar(std::uint8_t b) override { out.push_back(b); }
  void PutBlock(std::span<const std::uint8_t> b) override {
    out.insert(out.end(), b.begin(), b.end());
  }
  std::size_t GetInBufferUsed() override { return in.size(); }
  void GetBlock(std::uint8_t* buffer, std::size_t n) override {
    for (std::size_t i = 0; i < n; ++i, in.pop_front()) buffer[i] = in.front();
  }
  void FlushInBuffer() override { in.clear(); }
  void SetInterval(int ms) override { interval = ms; }
};

CodeImage FullImage() {
  CodeImage image;
  for (std::size_t i = 0; i < image.bytes.size(); ++i)
    image.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  image.bytes.back() = 0xFF;
  image.length = CodeCapacity;
  return image;
}

double ImpliedDownloadSeconds(const CodeImage& image) {
  IdealDriver driver;
  link::LinkEngine engine(driver, driver);
  engine.SetLinkEnabled(true);
  engine.Tick();  // polling, as when the user presses the button
  engine.Download({true, image, {}, "FULL.KV3"});
  // The first tick comes at most one polling interval after the press.
  double ms = driver.interval;
  while (engine.Progress().download == link::DownloadResult::Running) {
    engine.Tick();
    if (!driver.out.empty()) {
      driver.in.assign({link::AckByte});
      driver.out.clear();
    }
    if (engine.Progress().download == link::DownloadResult::Running) ms += driver.interval;
  }
  return ms / 1000.0;
}

enum Line : int { kWhole, kReal, kRealUsb16 };

sim::Simulator::Options LineOptions(int line, int statusLength) {
  sim::Simulator::Options o =
      line == kWhole ? sim::Simulator::Options::WholeReplies() : sim::Simulator::Options{};
  if (line == kRealUsb16) o.line.usbLatency = std::chrono::milliseconds(16);
  o.driver.statusLength = static_cast<std::size_t>(statusLength);
  return o;
}

std::string LineName(int line, int statusLength) {
  const char* names[] = {"whole", "real", "real+usb16"};
  return std::string(names[line]) + ", " + std::to_string(statusLength) + "-byte status";
}

serial::PortSettings QuietSettings() {
  auto s = serial::PortSettings::DriverLink();
  s.logging = serial::LogState::LogOff;
  return s;
}

void BM_FullDownload(benchmark::State& state) {
  const auto image = FullImage();
  const double implied = ImpliedDownloadSeconds(image);
  double measured = 0;
  const int line = static_cast<int>(state.range(0));
  state.SetLabel(LineName(line, 16));
  for (auto _ : state) {
    sim::Simulator sim(LineOptions(line, 16));
    link::SerialLink port(QuietSettings());
    port.SetPort(PortName::Device(sim.PortPath()));
    port.SetOpen(true);
    link::TickLoop loop;
    link::LinkEngine engine(port, loop);
    engine.SetLinkEnabled(true);
    loop.Run(engine, [&] { return engine.Progress().statusCount > 2; });
    const auto start = Clock::now();
    engine.Download({true, image, {}, "FULL.KV3"});
    loop.Run(engine, [&] { return engine.Progress().download != link::DownloadResult::Running; });
    measured = std::chrono::duration<double>(Clock::now() - start).count();
    const auto stored = sim.Program();
    if (engine.Progress().download != link::DownloadResult::Succeeded ||
        stored.code.length != image.length || stored.code.bytes != image.bytes) {
      state.SkipWithError("download failed or stored differently");
    }
    state.SetIterationTime(measured);
    port.Close();
  }
  state.counters["measured_s"] = measured;
  state.counters["implied_s"] = implied;
  state.counters["ratio"] = measured / implied;
}
BENCHMARK(BM_FullDownload)
    ->ArgName("line")
    ->Arg(kReal)
    ->Arg(kRealUsb16)
    ->Arg(kWhole)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_IdlePolling(benchmark::State& state) {
  const int line = static_cast<int>(state.range(0));
  const int statusLength = static_cast<int>(state.range(1));
  const auto seconds = std::chrono::seconds(10);
  state.SetLabel(LineName(line, statusLength));
  double rate = 0;
  for (auto _ : state) {
    sim::Simulator sim(LineOptions(line, statusLength));
    link::SerialLink port(QuietSettings());
    port.SetPort(PortName::Device(sim.PortPath()));
    port.SetOpen(true);
    link::TickLoop loop;
    link::LinkEngine engine(port, loop);
    engine.SetLinkEnabled(true);
    loop.Run(engine, [&] { return engine.Progress().statusCount > 2; });
    const auto first = engine.Progress().statusCount;
    const auto start = Clock::now();
    loop.Run(
        engine, [] { return false; }, start + seconds);
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    rate = static_cast<double>(engine.Progress().statusCount - first) / took;
    state.SetIterationTime(took);
    port.Close();
  }
  state.counters["polls_per_s"] = rate;
  state.counters["implied_per_s"] = 1000.0 / ((line == kWhole ? 3 : 4) * 25);
  state.counters["cycle_ms"] = 1000.0 / rate;
}
BENCHMARK(BM_IdlePolling)
    ->ArgNames({"line", "status"})
    ->ArgsProduct({{kReal, kRealUsb16, kWhole}, {16, 12}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
