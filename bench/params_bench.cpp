// Parameter sets and production runs against simulated drivers on real-line timing (bytes
// one by one at 9600 baud, 3 ms turnaround), through the serial component and the link
// engine on the real tick loop:
//
//   BM_WriteAndVerifyFullSet   all 28 values written, then read back and compared, against
//                              the time the link's pacing implies: every exchange takes three
//                              of its 100 ms ticks (send; read the answer; settle, after which
//                              the next request goes out on the following tick), and waiting
//                              for the driver takes one status cycle of four 25 ms ticks. The
//                              ratio should stay within 1.05: nothing of ours adds to it.
//   BM_FlashFourPortsAgainstOne  a production run (download, full parameter set, verify, the
//                              program name) on one port, then on four at once, each with a
//                              simulator and a link of its own; the ratio should stay within 1.1.
//
// Run the executable from a release build; it takes about a minute.

#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/full_parameter_set.h"
#include "params/flash.h"
#include "params/link_session.h"
#include "params/param_file.h"
#include "sim/simulator.h"

namespace {

using namespace kivra;
using namespace kivra::params;
using Clock = std::chrono::steady_clock;

constexpr double kExchangeSeconds = 3 * 0.100;
constexpr double kStatusCycleSeconds = 4 * 0.025;

ParameterSet FullSet() {
  return ParseParameterFile(bench::FullParameterSetText()).set;
}

FlashJob Job() {
  FlashJob job;
  job.code.bytes.fill(0xFF);
  for (std::uint32_t i = 0; i < 99; ++i) job.code.bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  job.code.length = 100;
  job.programPath = "/tmp/BENCH.KV3";
  job.parameters = FullSet();
  return job;
}

std::unique_ptr<DriverSession> Open(const std::string& port) {
  std::string why;
  auto session = OpenLinkSession(port, {}, why);
  if (!session) throw std::runtime_error(why);
  return session;
}

void BM_WriteAndVerifyFullSet(benchmark::State& state) {
  const ParameterSet set = FullSet();
  const std::size_t exchanges = WritePlan(set).size() + VerifyPlan(set).size();
  const double implied = kStatusCycleSeconds + static_cast<double>(exchanges) * kExchangeSeconds;
  double measured = 0;
  for (auto _ : state) {
    sim::Simulator driver;
    auto session = Open(driver.PortPath());
    session->WaitForAnswer(std::chrono::seconds(3));
    const auto start = Clock::now();
    const WriteResult w = WriteParameterSet(*session, set);
    measured = std::chrono::duration<double>(Clock::now() - start).count();
    if (!w.Verified()) state.SkipWithError("the set was not written and verified");
    state.SetIterationTime(measured);
  }
  state.counters["values"] = static_cast<double>(set.Count());
  state.counters["exchanges"] = static_cast<double>(exchanges);
  state.counters["measured_s"] = measured;
  state.counters["implied_s"] = implied;
  state.counters["ratio"] = measured / implied;
}
BENCHMARK(BM_WriteAndVerifyFullSet)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

double FlashSeconds(int ports, bool& allPassed) {
  std::vector<std::unique_ptr<sim::Simulator>> drivers;
  std::vector<std::string> paths;
  for (int i = 0; i < ports; ++i) {
    drivers.push_back(std::make_unique<sim::Simulator>());
    paths.push_back(drivers.back()->PortPath());
  }
  struct NeverStop final : StopRequest {
    int Count() const override { return 0; }
    bool Wait(Clock::duration d, int) const override {
      std::this_thread::sleep_for(d);
      return true;
    }
  } stop;
  const auto start = Clock::now();
  const auto results =
      FlashPorts(paths,
                 [&](const std::string& port, std::string& why) {
                   return OpenLinkSession(port, {kivra::Language::English, &stop}, why);
                 },
                 Job(), stop, {});
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  for (const auto& r : results) allPassed = allPassed && r.passed;
  return took;
}

void BM_FlashFourPortsAgainstOne(benchmark::State& state) {
  double one = 0, four = 0;
  for (auto _ : state) {
    bool passed = true;
    one = FlashSeconds(1, passed);
    four = FlashSeconds(4, passed);
    if (!passed) state.SkipWithError("a driver failed");
    state.SetIterationTime(one + four);
  }
  state.counters["one_port_s"] = one;
  state.counters["four_ports_s"] = four;
  state.counters["ratio"] = four / one;
}
BENCHMARK(BM_FlashFourPortsAgainstOne)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
