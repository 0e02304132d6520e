#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/files/settings_files.h"
#include "link/engine.h"
#include "params/engine_exchange.h"

namespace kivra::app {

// The parameter files' exchanges in the window: each step is an exchange of the window's own
// engine, judged after each tick of `Timer1` from the facts the engine told, so the window
// never blocks. The wait for the driver is a wait for its next status reply.
class EngineSettingsExchange final : public SettingsExchange {
 public:
  explicit EngineSettingsExchange(link::LinkEngine& engine) : engine_(engine), exchange_(engine) {}

  void Start(const params::Step& step, params::DriverReadings& readings,
             std::function<void(params::Outcome)> done) override;
  bool Busy() const override;

  // After each tick of the engine: ends the step once the engine has settled it.
  void Ticked();

 private:
  void Finish(params::Outcome outcome);

  link::LinkEngine& engine_;
  params::EngineExchange exchange_;
  bool connecting_ = false;
  std::uint64_t statusBefore_ = 0;
  std::chrono::steady_clock::time_point answerBy_{};
  params::DriverReadings* readings_ = nullptr;
  std::function<void(params::Outcome)> done_;
};

}  // namespace kivra::app
