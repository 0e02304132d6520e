// The link's pace against the simulated driver (with its 9600 baud line-time model),
// through the serial component, on the real tick loop:
//   BM_FullDownload  a 2048-byte image, measured against the time the state table's
//                    intervals imply for it (a tick-by-tick run with an ideal driver);
//                    the ratio must stay within 1.05: no extra delay of ours.
//   BM_IdlePolling   accepted status replies per second while idle, against the
//                    three-tick cycle at 25 ms (13.3 per second).
// Both run for real time (about 30 s and 10 s); run the executable from a release build.

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

struct NullWindow final : link::LinkView, link::AppHooks {
  void SetColour(std::string_view, link::Colour) override {}
  void ShowLinkStatus(link::LinkStatus) override {}
  void SetText(std::string_view, std::string_view) override {}
  void ShowMessage(link::MessageKind, std::string_view) override {}
  void ShowProgress(std::string_view, std::uint32_t) override {}
  void SetProgressPosition(std::uint32_t) override {}
  void HideProgress() override {}
  void SelectEditorLine(std::uint32_t) override {}
  void SetEditorReadOnly(bool) override {}
  void FocusEditor() override {}
  std::string BoxText(std::string_view) override { return {}; }
  bool SourceEdited() override { return false; }
  void ClearSourceEdited() override {}
  bool CheckProgram() override { return false; }
  bool SaveProgram() override { return false; }
  void ReloadProgram() override {}
  std::uint32_t LineAtAddress(std::uint16_t) override { return 0; }
};

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

compiler::CodeImage FullImage() {
  compiler::CodeImage image;
  for (std::size_t i = 0; i < image.bytes.size(); ++i) image.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  image.bytes.back() = 0xFF;
  image.length = compiler::CodeCapacity;
  return image;
}

double ImpliedDownloadSeconds(const compiler::CodeImage& image) {
  IdealDriver driver;
  NullWindow window;
  link::LinkEngine engine(driver, window, window, driver);
  engine.SetLinkEnabled(true);
  engine.Tick();  // polling, as when the user presses the button
  engine.StartDownload(true, image, {}, "FULL.KV3");
  // The first tick comes at most one polling interval after the press.
  double ms = driver.interval;
  while (engine.Download() == link::DownloadResult::Running) {
    engine.Tick();
    if (!driver.out.empty()) {
      driver.in.assign({link::AckByte});
      driver.out.clear();
    }
    if (engine.Download() == link::DownloadResult::Running) ms += driver.interval;
  }
  return ms / 1000.0;
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
  for (auto _ : state) {
    sim::Simulator sim;
    link::SerialLink port(QuietSettings());
    port.SetPort(link::PortName{0, sim.PortPath()});
    port.SetOpen(true);
    NullWindow window;
    link::TickLoop loop;
    link::LinkEngine engine(port, window, window, loop);
    engine.SetLinkEnabled(true);
    loop.Run(engine, [&] { return engine.StatusCount() > 2; });
    const auto start = Clock::now();
    engine.StartDownload(true, image, {}, "FULL.KV3");
    loop.Run(engine, [&] { return engine.Download() != link::DownloadResult::Running; });
    measured = std::chrono::duration<double>(Clock::now() - start).count();
    const auto stored = sim.Program();
    if (engine.Download() != link::DownloadResult::Succeeded || stored.code.length != image.length ||
        stored.code.bytes != image.bytes) {
      state.SkipWithError("download failed or stored differently");
    }
    state.SetIterationTime(measured);
    port.Close();
  }
  state.counters["measured_s"] = measured;
  state.counters["implied_s"] = implied;
  state.counters["ratio"] = measured / implied;
}
BENCHMARK(BM_FullDownload)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_IdlePolling(benchmark::State& state) {
  const auto seconds = std::chrono::seconds(state.range(0));
  double rate = 0;
  for (auto _ : state) {
    sim::Simulator sim;
    link::SerialLink port(QuietSettings());
    port.SetPort(link::PortName{0, sim.PortPath()});
    port.SetOpen(true);
    NullWindow window;
    link::TickLoop loop;
    link::LinkEngine engine(port, window, window, loop);
    engine.SetLinkEnabled(true);
    loop.Run(engine, [&] { return engine.StatusCount() > 2; });
    const auto first = engine.StatusCount();
    const auto start = Clock::now();
    loop.Run(engine, [] { return false; }, start + seconds);
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    rate = static_cast<double>(engine.StatusCount() - first) / took;
    state.SetIterationTime(took);
    port.Close();
  }
  state.counters["polls_per_s"] = rate;
  state.counters["implied_per_s"] = 1000.0 / (3 * 25);
  state.counters["cycle_ms"] = 1000.0 / rate;
}
BENCHMARK(BM_IdlePolling)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
