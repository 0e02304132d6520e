#include "params/engine_exchange.h"

namespace kivra::params {

using Kind = Step::Kind;

EngineExchange::EngineExchange(link::LinkEngine& engine) : engine_(engine) {
  engine_.AddObserver(*this);
}

EngineExchange::~EngineExchange() {
  engine_.RemoveObserver(*this);
}

void EngineExchange::Begin(bool read) {
  read_ = read;
  reading_ = {};
  result_.reset();
  running_ = true;
}

void EngineExchange::Begun() {
  if (running_ && engine_.Progress().exchange.outcome != link::ExchangeOutcome::Running) {
    running_ = false;
    result_ = Outcome::Refused;
  }
}

void EngineExchange::StartWrite(link::Setting setting, std::int32_t value) {
  Begin(false);
  engine_.WriteSetting(setting, value);
  Begun();
}

void EngineExchange::StartWriteParameter(int prm, std::int32_t value) {
  Begin(false);
  if (link::IsParameter(prm)) engine_.WriteParameter(prm, value);
  Begun();
}

void EngineExchange::Start(const Step& step) {
  if (step.kind == Kind::Write) {
    const Item& item = Items()[step.item];
    if (item.group == Group::Parameter) return StartWriteParameter(item.prm, step.value);
    return StartWrite(item.setting, step.value);
  }
  Begin(true);
  switch (step.kind) {
    case Kind::Connect:
    case Kind::Write:
      break;
    case Kind::ReadSettings:
      engine_.Read(link::Answer::MotorSettings);
      break;
    case Kind::ReadParameters:
      engine_.Read(link::Answer::ParamBlock);
      break;
    case Kind::ReadService:
      engine_.Read(link::Answer::ServiceValues);
      break;
    case Kind::ReadProgramName:
      engine_.Read(link::Answer::ProgramName);
      break;
  }
  Begun();
}

void EngineExchange::OnMotorSettings(const link::MotorSettings& m) {
  if (running_) reading_.settings = m;
}
void EngineExchange::OnParameterBlock(const link::ParameterBlock& p) {
  if (running_) reading_.parameters = p;
}
void EngineExchange::OnServiceValues(const link::ServiceValues& v) {
  if (running_) reading_.service = v;
}
void EngineExchange::OnProgramName(std::string_view name) {
  if (running_) reading_.programName = std::string(name);
}

void EngineExchange::OnExchange(const link::ExchangeRecord& record) {
  if (!running_) return;
  switch (record.outcome) {
    case link::ExchangeOutcome::None:
    case link::ExchangeOutcome::Running:
      return;
    case link::ExchangeOutcome::Acknowledged:
      result_ = Outcome::Done;
      break;
    case link::ExchangeOutcome::Refused:
      result_ = Outcome::Refused;
      break;
    case link::ExchangeOutcome::Failed:
      result_ = Outcome::NoAnswer;
      break;
    case link::ExchangeOutcome::Replaced:
      result_ = Outcome::Interrupted;
      break;
  }
  running_ = false;
  // A read counts only with its reply.
  const bool replied =
      reading_.settings || reading_.parameters || reading_.service || reading_.programName;
  if (*result_ == Outcome::Done && read_ && !replied) result_ = Outcome::NoAnswer;
}

void EngineExchange::TakeReading(DriverReadings& readings) const {
  if (result_ != Outcome::Done) return;
  if (reading_.settings) readings.settings = reading_.settings;
  if (reading_.parameters) readings.parameters = reading_.parameters;
  if (reading_.service) readings.service = reading_.service;
  if (reading_.programName) readings.programName = reading_.programName;
}

}  // namespace kivra::params
