#pragma once

// One step of a parameter transfer as an exchange of the link engine: started by the
// engine's typed request, judged by the facts the engine tells. A write is done only when
// the driver acknowledged it; a read only when its valid reply came and was acknowledged
// as the answer. The blocking session of the command line and the window's step-by-step
// runner both use it, each ticking the engine its own way.

#include <optional>

#include "link/engine.h"
#include "params/transfer.h"

namespace kivra::params {

class EngineExchange final : public link::LinkObserver {
 public:
  // Listens to `engine` for as long as it lives.
  explicit EngineExchange(link::LinkEngine& engine);
  ~EngineExchange() override;
  EngineExchange(const EngineExchange&) = delete;
  EngineExchange& operator=(const EngineExchange&) = delete;

  // Requests the exchange of `step` (Connect is a wait, not an exchange: Refused).
  void Start(const Step& step);
  void StartWrite(link::Setting setting, std::int32_t value);
  void StartWriteParameter(int prm, std::int32_t value);
  // Nothing while the exchange runs; then how it ended. A failed exchange is NoAnswer (the
  // owner knows whether the port went away); one that another request replaced is
  // Interrupted.
  std::optional<Outcome> Result() const { return result_; }
  // What the ended read brought, into its part of `readings`.
  void TakeReading(DriverReadings& readings) const;

  void OnMotorSettings(const link::MotorSettings& m) override;
  void OnParameterBlock(const link::ParameterBlock& p) override;
  void OnServiceValues(const link::ServiceValues& v) override;
  void OnProgramName(std::string_view name) override;
  void OnExchange(const link::ExchangeRecord& record) override;

 private:
  // Before the request: a read ends Done only once its reply came.
  void Begin(bool read);
  // After it: a request the engine did not take up has ended at once.
  void Begun();

  link::LinkEngine& engine_;
  bool read_ = false;
  bool running_ = false;
  std::optional<Outcome> result_;
  DriverReadings reading_;  // the reply of the exchange in progress only
};

}  // namespace kivra::params
