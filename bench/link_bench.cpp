// The link's pace against the simulated driver, through the serial component, on the real
// tick loop, for each kind of line the simulator offers:
//   real         byte by byte: the request takes its line time, 3 ms turnaround, the
//                answer one byte per 1.146 ms (a 16-byte status exchange takes about
//                30 ms, longer than the 25 ms polling tick)
//   real+usb16   the same through a USB adapter that hands bytes over every 16 ms
//   whole        the kind line: requests taken at once, answers handed over whole
//   fast         a driver on USB: every frame answered whole within 0.2 ms
//
//   BM_FullDownload  a 2048-byte image, measured against the time the state table's
//                    intervals imply for it (a tick-by-tick run with an ideal driver);
//                    the ratio must stay within 1.05: no extra delay of ours.
//   BM_IdlePolling   accepted status replies per second while idle, with 12- and 16-byte
//                    replies: at least 9 on a real line (a 30 ms exchange needs a cycle of
//                    four 25 ms ticks, 10 per second), 13.3 with whole replies (three).
//   BM_BusyDownload  the full download against the fast driver while other threads keep
//                    every core busy: no frame sent twice (resends 0).
//   BM_LateReply     one status reply 120 ms late: how long until each poll is again
//                    answered by its own reply (at most a second), and the replies accepted
//                    per poll sent afterwards (at most 1).
//   BM_ReadReplies   the reply reader alone, on a status reply, on a burst of replies and
//                    noise, and on a frame that arrives a byte at a time.
// All run for real time (about 30 s and 10 s each); run the executable from a release build.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <stdexcept>
#include <thread>

#include "link/engine.h"
#include "link/reply_reader.h"
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
  MonoTime now = 0;
  std::uint64_t Send(std::span<const std::uint8_t> b) override {
    out.insert(out.end(), b.begin(), b.end());
    return 1;
  }
  std::optional<MonoTime> LeftAt(std::uint64_t) override { return now; }
  void Receive(std::vector<std::uint8_t>& bytes, std::vector<MonoTime>& times,
               std::size_t max) override {
    for (; max > 0 && !in.empty(); --max, in.pop_front()) {
      bytes.push_back(in.front());
      times.push_back(now);
    }
  }
  void FlushInBuffer() override { in.clear(); }
  MonoTime Now() override { return now; }
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
    driver.now += driver.interval * 1000;
    engine.Tick();
    if (!driver.out.empty()) {
      driver.in.assign({link::AckByte});
      driver.out.clear();
    }
    if (engine.Progress().download == link::DownloadResult::Running) ms += driver.interval;
  }
  return ms / 1000.0;
}

enum Line : int { kWhole, kReal, kRealUsb16, kFast };

sim::Simulator::Options LineOptions(int line, int statusLength) {
  sim::Simulator::Options o = line == kWhole  ? sim::Simulator::Options::WholeReplies()
                              : line == kFast ? sim::Simulator::Options::Fast()
                                              : sim::Simulator::Options{};
  if (line == kRealUsb16) o.line.usbLatency = std::chrono::milliseconds(16);
  o.driver.statusLength = static_cast<std::size_t>(statusLength);
  return o;
}

std::string LineName(int line, int statusLength) {
  const char* names[] = {"whole", "real", "real+usb16", "fast"};
  return std::string(names[line]) + ", " + std::to_string(statusLength) + "-byte status";
}

serial::PortSettings QuietSettings() {
  auto s = serial::PortSettings::DriverLink();
  s.logging = serial::LogState::LogOff;
  return s;
}

// Frames sent again (not status polls), and status polls sent.
struct FrameCount final : link::LinkObserver {
  int resends = 0;
  int polls = 0;
  void OnFrame(const link::FrameRecord& f) override {
    if (f.event != link::FrameEvent::Sent) return;
    const bool poll = f.bytes.size() == 8 && f.bytes[2] == 's';
    if (poll) ++polls;
    if (!poll && f.attempt > 1) ++resends;
  }
};

// The simulated driver on a line of the given kind and the link on it, polling; the frames
// it sends are counted.
struct SimulatedLink {
  sim::Simulator sim;
  link::SerialLink port{QuietSettings()};
  link::TickLoop loop;
  link::LinkEngine engine{port, loop};
  FrameCount count;

  SimulatedLink(int line, int statusLength) : sim(LineOptions(line, statusLength)) {
    port.SetPort(PortName::Device(sim.PortPath()));
    port.SetOpen(true);
    engine.AddObserver(count);
    engine.SetLinkEnabled(true);
    loop.Run(engine, [&] { return engine.Progress().statusCount > 2; });
  }
  ~SimulatedLink() { port.Close(); }
};

void BM_FullDownload(benchmark::State& state) {
  const auto image = FullImage();
  const double implied = ImpliedDownloadSeconds(image);
  double measured = 0;
  const int line = static_cast<int>(state.range(0));
  state.SetLabel(LineName(line, 16));
  for (auto _ : state) {
    SimulatedLink l(line, 16);
    auto& sim = l.sim;
    auto& loop = l.loop;
    auto& engine = l.engine;
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
    ->Arg(kFast)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

void BM_BusyDownload(benchmark::State& state) {
  const auto image = FullImage();
  int resends = 0;
  for (auto _ : state) {
    SimulatedLink l(kFast, 16);
    auto& sim = l.sim;
    auto& loop = l.loop;
    auto& engine = l.engine;
    std::atomic<bool> stop{false};
    std::vector<std::thread> busy;
    for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i) {
      busy.emplace_back([&] {
        volatile std::uint64_t x = 0;
        while (!stop) x = x + 1;
      });
    }
    const auto start = Clock::now();
    engine.Download({true, image, {}, "FULL.KV3"});
    loop.Run(engine, [&] { return engine.Progress().download != link::DownloadResult::Running; });
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    stop = true;
    for (auto& t : busy) t.join();
    if (engine.Progress().download != link::DownloadResult::Succeeded ||
        sim.Program().code.bytes != image.bytes) {
      state.SkipWithError("download failed or stored differently");
    }
    resends = l.count.resends;
  }
  state.counters["resends"] = resends;
}
BENCHMARK(BM_BusyDownload)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_LateReply(benchmark::State& state) {
  double recoveredMs = 0;
  double perPoll = 0;
  for (auto _ : state) {
    SimulatedLink l(kReal, 16);
    auto& sim = l.sim;
    auto& loop = l.loop;
    auto& engine = l.engine;
    sim.SetLateDelay(std::chrono::milliseconds(120));
    sim.AddFault({sim::ReplyKind::Status, sim::FaultAction::Delay, 1, 1});
    const auto start = Clock::now();
    // Recovered: three polls in a row each answered by exactly one reply.
    int inStep = 0;
    int lastPolls = l.count.polls;
    std::uint64_t lastAccepted = engine.Progress().statusCount;
    loop.Run(
        engine,
        [&] {
          if (l.count.polls == lastPolls) return false;
          const bool one = engine.Progress().statusCount - lastAccepted == 1;
          inStep = one ? inStep + 1 : 0;
          lastPolls = l.count.polls;
          lastAccepted = engine.Progress().statusCount;
          return inStep >= 3 && Clock::now() - start > std::chrono::milliseconds(300);
        },
        start + std::chrono::seconds(5));
    recoveredMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const int polls = l.count.polls;
    const auto accepted = engine.Progress().statusCount;
    loop.Run(
        engine, [] { return false; }, Clock::now() + std::chrono::seconds(3));
    perPoll = static_cast<double>(engine.Progress().statusCount - accepted) /
              std::max(1, l.count.polls - polls);
    state.SetIterationTime(recoveredMs / 1000);
  }
  state.counters["recovered_ms"] = recoveredMs;
  state.counters["replies_per_poll"] = perPoll;
}
BENCHMARK(BM_LateReply)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ReadReplies(benchmark::State& state) {
  std::vector<std::uint8_t> bytes;
  const auto status = [] {
    std::vector<std::uint8_t> f{16, 's'};
    f.resize(15, 0x11);
    std::uint8_t x = 0;
    for (auto b : f) x ^= b;
    f.push_back(x);
    return f;
  }();
  switch (state.range(0)) {
    case 0:
      bytes = status;
      break;
    case 1:
      for (int i = 0; i < 10; ++i) {
        bytes.insert(bytes.end(), status.begin(), status.end());
        bytes.insert(bytes.end(), {0x55, 0x00, 0xFF, 0x06});
      }
      break;
    default:
      bytes.assign(status.begin(), status.end() - 1);  // the last byte still to come
  }
  const std::vector<MonoTime> times(bytes.size(), 2000);
  link::Awaited awaited{link::Awaited::Kind::Reply, 's', 1000, 5000, false};
  for (auto _ : state) {
    auto r = link::ReadReplies(bytes, times, awaited);
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadReplies)->ArgName("input")->Arg(0)->Arg(1)->Arg(2);

void BM_IdlePolling(benchmark::State& state) {
  const int line = static_cast<int>(state.range(0));
  const int statusLength = static_cast<int>(state.range(1));
  const auto seconds = std::chrono::seconds(10);
  state.SetLabel(LineName(line, statusLength));
  double rate = 0;
  for (auto _ : state) {
    SimulatedLink l(line, statusLength);
    auto& loop = l.loop;
    auto& engine = l.engine;
    const auto first = engine.Progress().statusCount;
    const auto start = Clock::now();
    loop.Run(
        engine, [] { return false; }, start + seconds);
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    rate = static_cast<double>(engine.Progress().statusCount - first) / took;
    state.SetIterationTime(took);
  }
  state.counters["polls_per_s"] = rate;
  state.counters["implied_per_s"] = 1000.0 / ((line == kReal || line == kRealUsb16 ? 4 : 3) * 25);
  state.counters["cycle_ms"] = 1000.0 / rate;
}
BENCHMARK(BM_IdlePolling)
    ->ArgNames({"line", "status"})
    ->ArgsProduct({{kReal, kRealUsb16, kWhole, kFast}, {16, 12}})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
