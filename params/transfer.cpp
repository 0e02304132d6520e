#include "params/transfer.h"

#include "params/texts.h"

namespace kivra::params {
namespace {

using Kind = Step::Kind;

bool Covers(const ParameterSet& set, Group group) {
  for (std::size_t i = 0; i < kItemCount; ++i)
    if (set.values[i] && Items()[i].group == group) return true;
  return false;
}

}  // namespace

std::vector<Step> ReadPlan() {
  return {{Kind::ReadSettings},
          {Kind::ReadParameters},
          {Kind::ReadService, 0, 0, true},
          {Kind::ReadProgramName, 0, 0, true}};
}

std::vector<Step> WritePlan(const ParameterSet& set) {
  std::vector<Step> steps;
  for (std::size_t i = 0; i < kItemCount; ++i)
    if (set.values[i]) steps.push_back({Kind::Write, i, static_cast<std::int32_t>(*set.values[i])});
  return steps;
}

std::vector<Step> VerifyPlan(const ParameterSet& set) {
  std::vector<Step> steps;
  if (Covers(set, Group::Motor)) steps.push_back({Kind::ReadSettings});
  if (Covers(set, Group::Parameter)) steps.push_back({Kind::ReadParameters});
  if (Covers(set, Group::Service)) steps.push_back({Kind::ReadService});
  return steps;
}

Outcome Perform(DriverSession& session, const Step& step, DriverReadings& readings) {
  switch (step.kind) {
    case Kind::Connect: {
      const Outcome o = session.WaitForAnswer(kAnswerTime);
      if (o == Outcome::Done) readings.firmware = session.Firmware();
      return o;
    }
    case Kind::Write: {
      const Item& item = Items()[step.item];
      return item.group == Group::Parameter ? session.WriteParameter(item.prm, step.value)
                                            : session.WriteSetting(item.setting, step.value);
    }
    case Kind::ReadSettings: {
      link::MotorSettings m;
      const Outcome o = session.ReadSettings(m);
      if (o == Outcome::Done) readings.settings = m;
      return o;
    }
    case Kind::ReadParameters: {
      link::ParameterBlock p;
      const Outcome o = session.ReadParameters(p);
      if (o == Outcome::Done) readings.parameters = p;
      return o;
    }
    case Kind::ReadService: {
      link::ServiceValues v;
      const Outcome o = session.ReadServiceValues(v);
      if (o == Outcome::Done) readings.service = v;
      return o;
    }
    case Kind::ReadProgramName: {
      std::string name;
      const Outcome o = session.ReadProgramName(name);
      if (o == Outcome::Done) readings.programName = name;
      return o;
    }
  }
  return Outcome::Refused;
}

std::string Describe(const Step& step, Language language) {
  using namespace texts;
  switch (step.kind) {
    case Kind::Connect:
      return std::string(Pick(kWaitingForDriver, language));
    case Kind::Write:
      return Fill(kWriting, language, {Items()[step.item].name});
    case Kind::ReadSettings:
      return std::string(Pick(kReadingSettings, language));
    case Kind::ReadParameters:
      return std::string(Pick(kReadingParameters, language));
    case Kind::ReadService:
      return std::string(Pick(kReadingService, language));
    case Kind::ReadProgramName:
      return std::string(Pick(kReadingProgramName, language));
  }
  return {};
}

std::string Describe(Outcome outcome, Language language) {
  using namespace texts;
  switch (outcome) {
    case Outcome::Done:
      return std::string(Pick(kDone, language));
    case Outcome::NoAnswer:
      return std::string(Pick(kNoAnswer, language));
    case Outcome::Refused:
      return std::string(Pick(kValueRefused, language));
    case Outcome::PortLost:
      return std::string(Pick(kPortWentAway, language));
    case Outcome::Interrupted:
      return std::string(Pick(kInterrupted, language));
  }
  return {};
}

std::optional<Step> StepRunner::Current() const {
  if (Finished()) return std::nullopt;
  return steps_[next_];
}

void StepRunner::Ended(Outcome outcome) {
  if (Finished()) return;
  const Step& step = steps_[next_];
  if (outcome == Outcome::NoAnswer && step.optional) {
    result_.skipped.push_back(step);
  } else if (outcome != Outcome::Done) {
    return Fail(outcome);
  } else {
    ++result_.done;
  }
  ++next_;
}

void StepRunner::Stop() {
  if (!Finished()) Fail(Outcome::Interrupted);
}

void StepRunner::Fail(Outcome outcome) {
  result_.outcome = outcome;
  result_.stoppedAt = steps_[next_];
  finished_ = true;
}

StepsResult RunSteps(DriverSession& session, std::span<const Step> steps, DriverReadings& readings,
                     const RunOptions& options) {
  StepRunner runner({steps.begin(), steps.end()}, std::move(readings));
  while (const auto step = runner.Current()) {
    if (options.progress) options.progress(runner.Result().done, steps.size());
    if (options.stop && options.stopBetweenSteps && options.stop->Count() > 0) {
      runner.Stop();
      break;
    }
    runner.Ended(Perform(session, *step, runner.Readings()));
  }
  if (options.progress && runner.Result().outcome == Outcome::Done)
    options.progress(runner.Result().done, steps.size());
  readings = std::move(runner.Readings());
  return runner.Result();
}

namespace {

std::vector<Step> WithConnect(std::vector<Step> steps) {
  steps.insert(steps.begin(), Step{Kind::Connect});
  return steps;
}

}  // namespace

std::vector<Step> ReadSteps() {
  return WithConnect(ReadPlan());
}

std::vector<Step> WriteSteps(const ParameterSet& set) {
  std::vector<Step> steps = WithConnect(WritePlan(set));
  for (const Step& read : VerifyPlan(set)) steps.push_back(read);
  return steps;
}

std::vector<Step> DiffSteps(const ParameterSet& set) {
  std::vector<Step> steps = WithConnect(VerifyPlan(set));
  steps.push_back({Kind::ReadProgramName, 0, 0, true});
  return steps;
}

ReadResult ReadParameterSet(DriverSession& session, const RunOptions& options) {
  ReadResult r;
  DriverReadings readings;
  r.steps = RunSteps(session, ReadSteps(), readings, options);
  r.set = FromReadings(readings);
  return r;
}

WriteResult WriteParameterSet(DriverSession& session, const ParameterSet& set,
                              const RunOptions& options) {
  WriteResult r;
  DriverReadings readings;
  r.steps = RunSteps(session, WriteSteps(set), readings, options);
  if (r.steps.outcome == Outcome::Done) r.differences = Compare(set, FromReadings(readings));
  return r;
}

DiffResult DiffWithDriver(DriverSession& session, const ParameterSet& set,
                          const RunOptions& options) {
  DiffResult r;
  DriverReadings readings;
  r.steps = RunSteps(session, DiffSteps(set), readings, options);
  r.driver = FromReadings(readings);
  if (r.steps.outcome == Outcome::Done) r.differences = Compare(set, r.driver);
  return r;
}

}  // namespace kivra::params
