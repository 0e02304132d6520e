// Parameter sets and production runs on the real link: the serial component, the link
// engine on a real timer, and simulated drivers on pseudo-terminals with the timing of a
// real line. Every wait is bounded and generous: sanitizers slow everything down.

#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <thread>

#include "params/flash.h"
#include "params/link_session.h"
#include "params/param_file.h"
#include "params/run_report.h"
#include "sim/simulator.h"

namespace kivra::params {
namespace {

using namespace std::chrono_literals;

class WaitingStop final : public StopRequest {
 public:
  void Request() {
    {
      const std::lock_guard lock(mutex_);
      ++count_;
    }
    changed_.notify_all();
  }
  int Count() const override {
    const std::lock_guard lock(mutex_);
    return count_;
  }
  bool Wait(std::chrono::steady_clock::duration d, int seen) const override {
    std::unique_lock lock(mutex_);
    return !changed_.wait_for(lock, d, [&] { return count_ > seen; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  int count_ = 0;
};

std::unique_ptr<DriverSession> Open(const std::string& port, const StopRequest* stop = nullptr) {
  std::string why;
  auto session = OpenLinkSession(port, {.language = Language::English, .stop = stop}, why);
  EXPECT_TRUE(session) << why;
  return session;
}

ParameterSet Set(const std::string& values) {
  const ParsedFile f = ParseParameterFile("format = 1\n" + values);
  EXPECT_FALSE(f.error) << Describe(*f.error, Language::English);
  return f.set;
}

FlashJob Job(const std::string& values) {
  FlashJob job;
  job.code.bytes.fill(0xFF);
  job.code.bytes[0] = 0x02;  // CURON 800
  job.code.bytes[1] = 0x03;
  job.code.bytes[2] = 0x20;
  job.code.length = 4;
  job.programPath = "/tmp/TEST.KV3";
  if (!values.empty()) job.parameters = Set(values);
  return job;
}

TEST(Live, SetReadFromOneDriverWrittenIntoAnotherShowsNoDifference) {
  sim::Simulator a, b;
  {
    auto s = Open(a.PortPath());
    ASSERT_TRUE(
        WriteParameterSet(
            *s, Set("speed = 1234\ndirection = L\nprm12 = 777\nprm25 = -42\nservice1 = 77\n"))
            .Verified());
  }
  ReadResult read;
  {
    auto s = Open(a.PortPath());
    read = ReadParameterSet(*s);
  }
  ASSERT_EQ(read.steps.outcome, Outcome::Done);
  ASSERT_EQ(read.set.Count(), kItemCount);
  const ParsedFile file = ParseParameterFile(FormatParameterFile(read.set));
  ASSERT_FALSE(file.error);

  auto s = Open(b.PortPath());
  const WriteResult written = WriteParameterSet(*s, file.set);
  EXPECT_TRUE(written.Verified());
  const DiffResult diff = DiffWithDriver(*s, file.set);
  EXPECT_EQ(diff.steps.outcome, Outcome::Done);
  EXPECT_TRUE(diff.differences.empty());
  const auto state = b.State();
  EXPECT_EQ(state.motor.speed, 1234u);
  EXPECT_EQ(state.motor.direction, 0u);
  EXPECT_EQ(sim::Parameter(state, 25), -42);
  EXPECT_EQ(state.serviceValues[0], 77);
}

TEST(Live, FaultyDriverFailsWithItsStepWhileTheOthersPass) {
  sim::Simulator good1, good2, faulty;
  faulty.AddFault(
      {sim::ReplyKind::Ack, sim::FaultAction::Drop, 3, 100});  // from the second data frame on
  const std::vector<std::string> ports = {good1.PortPath(), faulty.PortPath(), good2.PortPath()};
  WaitingStop stop;
  const auto results = FlashPorts(ports,
                                  [&](const std::string& port, std::string& why) {
                                    return OpenLinkSession(port, {Language::English, &stop}, why);
                                  },
                                  Job("speed = 900\nprm9 = 5\n"), stop, {});
  ASSERT_EQ(results.size(), 3u);
  EXPECT_TRUE(results[0].passed) << Reason(results[0], Language::English);
  EXPECT_TRUE(results[2].passed) << Reason(results[2], Language::English);
  EXPECT_FALSE(results[1].passed);
  EXPECT_EQ(Reason(results[1], Language::English), "download: the driver does not answer");
  EXPECT_EQ(good1.State().motor.speed, 900u);
  EXPECT_EQ(good2.Program().name, "TEST.KV3");
  EXPECT_EQ(faulty.State().motor.speed, 1000u) << "nothing after the failed step";
}

TEST(Live, DriverPulledOutDuringAWriteFailsThereAndIsNotVerified) {
  sim::Simulator driver;
  auto s = Open(driver.PortPath());
  std::thread puller([&] {
    driver.WaitUntil([](const sim::DriverState& st) { return st.motor.ramp == 55; }, 20s);
    driver.Unplug();
  });
  const WriteResult w = WriteParameterSet(*s, Set("ramp = 55\nprm9 = 1\nprm10 = 2\nprm11 = 3\n"));
  puller.join();
  EXPECT_FALSE(w.Verified());
  EXPECT_EQ(w.steps.outcome, Outcome::PortLost);
  ASSERT_TRUE(w.steps.stoppedAt);
  EXPECT_EQ(w.steps.stoppedAt->kind,
            Step::Kind::Write);  // the ramp's acknowledgement, or a later write
}

TEST(Live, StationProgramsEachDriverPluggedIn) {
  // The station names its slot, the USB socket, by the link /dev/serial/by-path/ keeps for
  // it: the next driver's adapter may get another device number (and the old number be taken
  // by anything else on the machine meanwhile), but the socket's link leads to it. A link in a
  // folder of the test's stands in for it, and the record names the slot.
  const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                       ("kivra-station-" + std::to_string(::getpid())) / "by-path";
  std::filesystem::create_directories(folder);
  const std::string slot = "pci-0000:00:14.0-usb-0:1.2:1.0-port0";
  sim::Simulator::Options options;
  options.linkPath = (folder / slot).string();
  sim::Simulator port(options);
  WaitingStop stop;
  auto s = Open(options.linkPath, &stop);
  std::vector<std::string> events;
  std::mutex lock;
  const auto note = [&](std::string e) {
    const std::lock_guard hold(lock);
    events.push_back(std::move(e));
  };
  const auto seen = [&](std::size_t n) {
    for (int waited = 0; waited < 6000; ++waited) {
      {
        const std::lock_guard hold(lock);
        if (events.size() >= n) return;
      }
      std::this_thread::sleep_for(10ms);
    }
  };
  std::thread operatorAtTheStation([&] {
    // The first driver is there from the start; the second comes after it is taken away.
    seen(3);  // its result and "remove"
    port.Unplug();
    std::this_thread::sleep_for(1500ms);
    port.Replug();
    seen(6);
    stop.Request();
  });
  const StationCounts counts = RunStation(
      *s, Job("speed = 700\n"), stop,
      {[&](const std::string&) { note("waiting"); },
       [&](const FlashResult& r) {
         EXPECT_EQ(r.slot, slot);
         EXPECT_NE(Report("run.csv", {"P.KV3", "", Language::English}, std::span(&r, 1))
                       .find(",TEST.KV3," + slot + "\r\n"),
                   std::string::npos);
         // A failure names its step and outcome, for the report of a broken run.
         note(std::to_string(r.number) +
              (r.passed ? " passed"
                        : " failed at step " + std::to_string(static_cast<int>(r.step)) +
                              ", outcome " + std::to_string(static_cast<int>(r.outcome))));
       },
       [&](const std::string&) { note("remove"); }});
  operatorAtTheStation.join();
  EXPECT_EQ(counts.passed, 2);
  EXPECT_EQ(counts.failed, 0);
  EXPECT_EQ(events, (std::vector<std::string>{"waiting", "1 passed", "remove", "waiting",
                                              "2 passed", "remove"}));
  EXPECT_EQ(port.Program().downloadsStarted, 2u);
  port.Stop();
  std::filesystem::remove_all(folder.parent_path());
}

}  // namespace
}  // namespace kivra::params
