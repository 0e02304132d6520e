#include "app/driver/engine_settings_exchange.h"

namespace kivra::app {

using params::Outcome;

void EngineSettingsExchange::Start(const params::Step& step, params::DriverReadings& readings,
                                   std::function<void(Outcome)> done) {
  readings_ = &readings;
  done_ = std::move(done);
  connecting_ = step.kind == params::Step::Kind::Connect;
  if (connecting_) {
    statusBefore_ = engine_.Progress().statusCount;
    answerBy_ = std::chrono::steady_clock::now() + params::kAnswerTime;
    return;
  }
  exchange_.Start(step);
}

bool EngineSettingsExchange::Busy() const {
  if (done_) return true;
  return engine_.Progress().download == link::DownloadResult::Running ||
         engine_.Progress().exchange.outcome == link::ExchangeOutcome::Running;
}

void EngineSettingsExchange::Ticked() {
  if (!done_) return;
  if (connecting_) {
    if (engine_.Progress().statusCount > statusBefore_) {
      readings_->firmware = engine_.Progress().lastStatus.firmware;
      return Finish(Outcome::Done);
    }
    if (!engine_.LinkEnabled()) return Finish(Outcome::PortLost);
    if (std::chrono::steady_clock::now() >= answerBy_) Finish(Outcome::NoAnswer);
    return;
  }
  if (const auto result = exchange_.Result()) {
    exchange_.TakeReading(*readings_);
    const bool lost = *result == Outcome::NoAnswer && !engine_.LinkEnabled();
    return Finish(lost ? Outcome::PortLost : *result);
  }
  // A link that is off sends nothing: the exchange would never end.
  if (!engine_.LinkEnabled()) {
    engine_.ResetToIdle();
    Finish(Outcome::PortLost);
  }
}

void EngineSettingsExchange::Finish(Outcome outcome) {
  // Taken out first: the next step may start from inside `done`.
  auto done = std::move(done_);
  done_ = nullptr;
  readings_ = nullptr;
  done(outcome);
}

}  // namespace kivra::app
