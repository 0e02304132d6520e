#include "params/flash.h"

#include <mutex>
#include <thread>

#include "common/cp1254.h"
#include "common/file_path.h"
#include "link/frames.h"
#include "params/texts.h"

namespace kivra::params {
namespace {

using Clock = std::chrono::steady_clock;

// While waiting for a driver to come or go, the loop looks at the stop request this often.
constexpr std::chrono::milliseconds kWaitSlice{500};

std::string_view StepName(FlashStep step, Language language) {
  using namespace texts;
  switch (step) {
    case FlashStep::Open:
      return Pick(kStepOpen, language);
    case FlashStep::Connect:
      return Pick(kStepConnect, language);
    case FlashStep::Download:
      return Pick(kStepDownload, language);
    case FlashStep::Parameters:
      return Pick(kStepParameters, language);
    case FlashStep::Verify:
      return Pick(kStepVerify, language);
    case FlashStep::ProgramName:
      return Pick(kStepProgramName, language);
    case FlashStep::Done:
      break;
  }
  return {};
}

// The steps of the parameters' write, their verification and the name's read, run as one
// list so that a driver is finished whatever the first stop request.
void RunPart(DriverSession& session, std::span<const Step> steps, DriverReadings& readings,
             const StopRequest* stop, FlashStep step, FlashResult& r) {
  if (r.step != FlashStep::Done || steps.empty()) return;
  const StepsResult s =
      RunSteps(session, steps, readings, {.stop = stop, .stopBetweenSteps = false, .progress = {}});
  if (s.outcome == Outcome::Done) return;
  r.step = step;
  r.outcome = s.outcome;
  r.exchange = s.stoppedAt;
}

}  // namespace

std::string SlotOf(std::string_view port, const std::filesystem::path& links) {
  namespace fs = std::filesystem;
  if (!port.starts_with('/')) return {};
  const fs::path given = PathFromUtf8(port);
  if (given.parent_path().filename() == "by-path") return Utf8FromPath(given.filename());
  std::error_code error;
  const fs::path device = fs::canonical(given, error);
  if (error) return {};
  for (fs::directory_iterator it(links, error), end; !error && it != end; it.increment(error)) {
    std::error_code unreadable;
    const fs::path target = fs::canonical(it->path(), unreadable);
    if (!unreadable && target == device) return Utf8FromPath(it->path().filename());
  }
  return {};
}

std::string StoredProgramName(std::string_view programPath) {
  // The name frame carries the file name in code page 1254; the driver's reply gives it
  // back without surrounding blanks and control characters.
  const std::string bytes = link::ProgramNameBytes(programPath);
  const std::string shown = bytes.substr(0, std::min(bytes.size(), link::MaxNameBytes));
  const std::string name = Cp1254ToUtf8(shown);
  const auto outside = [](unsigned char c) { return c <= 0x20 || c == 0x7F; };
  std::size_t first = 0, last = name.size();
  while (first < last && outside(static_cast<unsigned char>(name[first]))) ++first;
  while (last > first && outside(static_cast<unsigned char>(name[last - 1]))) --last;
  return name.substr(first, last - first);
}

FlashResult FlashDriver(DriverSession& session, const FlashJob& job, const StopRequest* stop) {
  FlashResult r;
  r.port = session.Port();
  r.slot = SlotOf(r.port);  // now, while the driver's adapter is in it
  r.started = std::chrono::system_clock::now();
  r.expectedName = StoredProgramName(job.programPath);
  const auto start = Clock::now();
  const auto finish = [&](FlashStep step, Outcome outcome) {
    r.step = step;
    r.outcome = outcome;
    r.passed = step == FlashStep::Done;
    r.duration = Clock::now() - start;
    return r;
  };

  const Outcome connected = session.WaitForAnswer(job.answerTime);
  if (connected != Outcome::Done) return finish(FlashStep::Connect, connected);
  r.firmware = session.Firmware();
  if (const Outcome o = session.Download(job.code, job.vectors, job.programPath);
      o != Outcome::Done)
    return finish(FlashStep::Download, o);

  r.step = FlashStep::Done;
  DriverReadings readings;
  if (job.parameters) {
    RunPart(session, WritePlan(*job.parameters), readings, stop, FlashStep::Parameters, r);
    RunPart(session, VerifyPlan(*job.parameters), readings, stop, FlashStep::Verify, r);
    if (r.step != FlashStep::Done) return finish(r.step, r.outcome);
    r.differences = Compare(*job.parameters, FromReadings(readings));
    if (!r.differences.empty()) return finish(FlashStep::Verify, Outcome::Done);
  }
  const Step name{Step::Kind::ReadProgramName};
  RunPart(session, std::span(&name, 1), readings, stop, FlashStep::ProgramName, r);
  if (r.step != FlashStep::Done) return finish(r.step, r.outcome);
  r.programName = readings.programName.value_or("");
  if (r.programName != r.expectedName) return finish(FlashStep::ProgramName, Outcome::Done);
  return finish(FlashStep::Done, Outcome::Done);
}

std::string Reason(const FlashResult& r, Language language) {
  if (r.passed) return {};
  std::string s = std::string(StepName(r.step, language)) + ": ";
  if (r.step == FlashStep::Open) {
    // One line: the port's warning says why on a line of its own.
    std::string why = r.openError;
    for (char& c : why)
      if (c == '\n') c = ' ';
    return s + why;
  }
  if (r.outcome != Outcome::Done) {
    if (r.exchange && r.exchange->kind == Step::Kind::Write)
      s += Describe(*r.exchange, language) + ": ";
    return s + Describe(r.outcome, language);
  }
  if (r.step == FlashStep::Verify) {
    for (std::size_t i = 0; i < r.differences.size(); ++i) {
      const Difference& d = r.differences[i];
      const Item& item = Items()[d.item];
      if (i > 0) s += ", ";
      const std::string held = d.driver ? FormatValue(item, *d.driver) : "?";
      s +=
          texts::Fill(texts::kHeldNotFiled, language, {item.name, held, FormatValue(item, d.file)});
    }
    return s;
  }
  // ProgramName
  return s + texts::Fill(texts::kNameHeld, language, {r.programName, r.expectedName});
}

namespace {

// Runs `work` for every port on a thread of its own; the callbacks it is given are
// serialised by one lock.
template <typename Work>
void OnEveryPort(std::span<const std::string> ports, const Work& work) {
  std::vector<std::thread> threads;
  threads.reserve(ports.size());
  for (std::size_t i = 0; i < ports.size(); ++i) threads.emplace_back([&work, i] { work(i); });
  for (auto& t : threads) t.join();
}

FlashResult NotOpened(const std::string& port, std::string why) {
  FlashResult r;
  r.port = port;
  r.slot = SlotOf(port);
  r.started = std::chrono::system_clock::now();
  r.step = FlashStep::Open;
  r.outcome = Outcome::PortLost;
  r.openError = std::move(why);
  return r;
}

}  // namespace

std::vector<FlashResult> FlashPorts(std::span<const std::string> ports, const SessionFactory& open,
                                    const FlashJob& job, const StopRequest& stop,
                                    const std::function<void(const FlashResult&)>& onResult) {
  std::vector<FlashResult> results(ports.size());
  std::mutex lock;
  OnEveryPort(ports, [&](std::size_t i) {
    std::string why;
    std::unique_ptr<DriverSession> session = open(ports[i], why);
    FlashResult r = session ? FlashDriver(*session, job, &stop) : NotOpened(ports[i], why);
    r.number = 1;
    const std::lock_guard hold(lock);
    results[i] = r;
    if (onResult) onResult(results[i]);
  });
  return results;
}

namespace {

// Waits in slices until `wait` gives Done or stopping is asked for. A wait that gives up
// early (a port that cannot be opened just now) still takes its slice.
bool WaitInSlices(const StopRequest& stop,
                  const std::function<Outcome(std::chrono::milliseconds)>& wait) {
  while (stop.Count() == 0) {
    const auto start = Clock::now();
    if (wait(kWaitSlice) == Outcome::Done) return true;
    const auto spent = Clock::now() - start;
    if (spent < kWaitSlice) stop.Wait(kWaitSlice - spent, 0);
  }
  return false;
}

}  // namespace

StationCounts RunStation(DriverSession& session, const FlashJob& job, const StopRequest& stop,
                         const StationEvents& events) {
  StationCounts counts;
  while (stop.Count() == 0) {
    if (events.waiting) events.waiting(session.Port());
    if (!WaitInSlices(stop, [&](auto slice) { return session.WaitForAnswer(slice); })) break;

    FlashResult r = FlashDriver(session, job, &stop);
    r.number = counts.passed + counts.failed + 1;
    ++(r.passed ? counts.passed : counts.failed);
    if (events.result) events.result(r);
    if (stop.Count() > 0) break;

    if (events.remove) events.remove(session.Port());
    if (!WaitInSlices(stop, [&](auto slice) { return session.WaitUntilGone(slice); })) break;
  }
  return counts;
}

StationCounts RunStations(std::span<const std::string> ports, const SessionFactory& open,
                          const FlashJob& job, const StopRequest& stop,
                          const StationEvents& events) {
  std::mutex lock;
  // Each port's events go out under the lock, so that lines from different ports never mix.
  const auto serialised = [&lock]<typename... A>(const std::function<void(A...)>& f) {
    return std::function<void(A...)>([&lock, f](A... a) {
      if (!f) return;
      const std::lock_guard hold(lock);
      f(a...);
    });
  };
  const StationEvents shared{serialised(events.waiting), serialised(events.result),
                             serialised(events.remove)};
  StationCounts total;
  OnEveryPort(ports, [&](std::size_t i) {
    std::string why;
    std::unique_ptr<DriverSession> session = open(ports[i], why);
    StationCounts counts;
    if (session) {
      counts = RunStation(*session, job, stop, shared);
    } else {
      FlashResult r = NotOpened(ports[i], why);
      r.number = 1;
      shared.result(r);
      counts.failed = 1;
    }
    const std::lock_guard hold(lock);
    total.passed += counts.passed;
    total.failed += counts.failed;
  });
  return total;
}

}  // namespace kivra::params
