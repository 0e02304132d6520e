#pragma once

// Reading a driver's parameter set, writing one into it and comparing the two, as steps
// (one exchange each) over a DriverSession. The plans are plain lists so that the window,
// which cannot block, runs the same steps one tick at a time.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/language.h"
#include "params/driver_session.h"
#include "params/param_set.h"

namespace kivra::params {

struct Step {
  enum class Kind { Connect, Write, ReadSettings, ReadParameters, ReadService, ReadProgramName };
  Kind kind;
  std::size_t item = 0;    // Write: index into Items()
  std::int32_t value = 0;  // Write
  // A read that a driver may not answer (older firmware): on NoAnswer the run goes on
  // without it.
  bool optional = false;

  bool operator==(const Step&) const = default;
};

// Connect waits for the driver's status reply (kAnswerTime), which brings the firmware
// version. Everything a driver reports: settings, parameters, then the service values and the
// program name, which a set does without when the driver does not answer them.
std::vector<Step> ReadPlan();
// One write per value of the set, in file order.
std::vector<Step> WritePlan(const ParameterSet& set);
// The reads that cover the set's values (none for an empty set).
std::vector<Step> VerifyPlan(const ParameterSet& set);

// Does one step; a read fills its part of `readings`.
Outcome Perform(DriverSession& session, const Step& step, DriverReadings& readings);

// "writing speed", "reading the parameters" ...
std::string Describe(const Step& step, Language language);
// "the driver does not answer" ...
std::string Describe(Outcome outcome, Language language);

struct StepsResult {
  Outcome outcome = Outcome::Done;
  std::optional<Step> stoppedAt;  // the step that did not end Done
  std::vector<Step> skipped;      // optional reads the driver did not answer
  std::size_t done = 0;           // steps that ended Done
};

// Runs steps one at a time for an owner that cannot block (the window): it asks for the
// current step's exchange and reports how it ended; the runner moves on, skips an
// optional read the driver did not answer, and ends at the first other failure.
class StepRunner {
 public:
  explicit StepRunner(std::vector<Step> steps, DriverReadings readings = {})
      : steps_(std::move(steps)), readings_(std::move(readings)) {}

  // The step to perform now; nothing once the run has ended.
  std::optional<Step> Current() const;
  void Ended(Outcome outcome);
  // Ends the run before the current step (Interrupted).
  void Stop();

  bool Finished() const { return finished_ || next_ >= steps_.size(); }
  const StepsResult& Result() const { return result_; }
  DriverReadings& Readings() { return readings_; }
  std::size_t Total() const { return steps_.size(); }

 private:
  void Fail(Outcome outcome);

  std::vector<Step> steps_;
  std::size_t next_ = 0;
  bool finished_ = false;
  StepsResult result_;
  DriverReadings readings_;
};

// The whole of each operation, from the wait for the driver on: a read of everything, a
// write of a set with its verification, a comparison with a set.
std::vector<Step> ReadSteps();
std::vector<Step> WriteSteps(const ParameterSet& set);
std::vector<Step> DiffSteps(const ParameterSet& set);

struct RunOptions {
  const StopRequest* stop = nullptr;
  // End before the next step at the first stop request (Interrupted). Otherwise the steps
  // go on, and only an exchange cut off by the second request stops them.
  bool stopBetweenSteps = true;
  std::function<void(std::size_t done, std::size_t total)> progress;
};

// Runs the steps in order until one fails.
StepsResult RunSteps(DriverSession& session, std::span<const Step> steps, DriverReadings& readings,
                     const RunOptions& options = {});

// kivra params read: waits for the driver, reads everything.
struct ReadResult {
  StepsResult steps;
  ParameterSet set;  // valid when steps.outcome is Done
};
ReadResult ReadParameterSet(DriverSession& session, const RunOptions& options = {});

// kivra params write: every value of the set through its own command, then read back.
// `differences` are the values that did not take; the write succeeded when the steps are
// Done and there are none.
struct WriteResult {
  StepsResult steps;
  std::vector<Difference> differences;
  bool Verified() const { return steps.outcome == Outcome::Done && differences.empty(); }
};
WriteResult WriteParameterSet(DriverSession& session, const ParameterSet& set,
                              const RunOptions& options = {});

// kivra params diff: reads what the set holds and compares.
struct DiffResult {
  StepsResult steps;
  std::vector<Difference> differences;
  ParameterSet driver;
};
DiffResult DiffWithDriver(DriverSession& session, const ParameterSet& set,
                          const RunOptions& options = {});

// How long to wait for a driver's first status reply before an operation.
inline constexpr std::chrono::milliseconds kAnswerTime{3000};

}  // namespace kivra::params
