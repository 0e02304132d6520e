#pragma once

// A driver session without a line: a driver model that keeps what is written and reports
// it in the widths of the driver's replies, exchanges that fail when the script says, and
// drivers that come and go for the station. No call sleeps.

#include <atomic>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "params/driver_session.h"

namespace kivra::params::testing {

// Stop requests counted in memory; waiting for them takes no time.
class CountedStop final : public StopRequest {
 public:
  void Request() { ++count_; }
  int Count() const override { return count_; }
  bool Wait(std::chrono::steady_clock::duration, int seen) const override { return count_ <= seen; }

 private:
  std::atomic<int> count_{0};
};

struct ScriptedDriver {
  link::MotorSettings settings{1000, 500, 50, 4, 1000, 100, 1, 0, 0, 1};
  link::ParameterBlock parameters{};
  link::ServiceValues service{100, 100};
  std::string programName;
  std::uint8_t firmware = 12;
  bool answersService = true;
  // Writes of these items are acknowledged and dropped.
  std::vector<std::string> ignores;
};

class ScriptedSession final : public DriverSession {
 public:
  explicit ScriptedSession(std::string port = "/dev/scripted") : port_(std::move(port)) {}

  // The n-th exchange (from 1, waits not counted) ends with `outcome` instead.
  void FailExchange(int n, Outcome outcome) { failures_[n] = outcome; }
  // Calls `action` when the n-th exchange begins.
  void OnExchange(int n, std::function<void()> action) { actions_[n] = std::move(action); }
  // The station's drivers, arriving one after another; the driver on the port is the
  // front one until WaitUntilGone takes it away.
  void Arrive(ScriptedDriver driver) { arriving_.push_back(std::move(driver)); }
  // When no driver is left to arrive, the next wait for one asks to stop.
  void StopWhenEmpty(CountedStop* stop) { stopWhenEmpty_ = stop; }

  ScriptedDriver& Driver() { return driver_; }
  bool Present() const { return present_; }
  void SetPresent(bool present) { present_ = present; }
  const std::vector<std::string>& Log() const { return log_; }
  int Exchanges() const { return exchanges_; }

  const std::string& Port() const override { return port_; }

  Outcome WaitForAnswer(std::chrono::milliseconds) override {
    if (!present_ && !arriving_.empty()) {
      driver_ = arriving_.front();
      arriving_.pop_front();
      present_ = true;
    }
    if (!present_ && stopWhenEmpty_) {
      stopWhenEmpty_->Request();
      return Outcome::Interrupted;
    }
    return present_ ? Outcome::Done : Outcome::NoAnswer;
  }
  Outcome WaitUntilGone(std::chrono::milliseconds) override {
    present_ = false;
    return Outcome::Done;
  }
  std::optional<std::uint8_t> Firmware() const override {
    return present_ ? std::optional<std::uint8_t>(driver_.firmware) : std::nullopt;
  }

  Outcome Download(const CodeImage& code, const VectorTable&, std::string_view path) override {
    return Exchange("download " + std::to_string(code.length), [&] {
      const auto slash = path.find_last_of("/\\");
      driver_.programName =
          std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
    });
  }
  Outcome WriteSetting(link::Setting s, std::int32_t value) override {
    const std::string key(link::CommandOf(s).key);
    if (!link::Accepts(s, value)) return Outcome::Refused;
    return Exchange("write " + key + " " + std::to_string(value), [&] {
      if (Ignored(key)) return;
      auto& m = driver_.settings;
      const auto u16 = static_cast<std::uint16_t>(value);
      switch (s) {
        case link::Setting::Speed:
          m.speed = u16;
          break;
        case link::Setting::RunCurrent:
          m.runCurrent = u16;
          break;
        case link::Setting::HoldCurrent:
          m.holdCurrent = u16;
          break;
        case link::Setting::Microstep:
          m.microstep = static_cast<std::uint8_t>(value);
          break;
        case link::Setting::Ramp:
          m.ramp = u16;
          break;
        case link::Setting::StartSpeed:
          m.startSpeed = u16;
          break;
        case link::Setting::Displacement:
          m.displacement = value;
          break;
        case link::Setting::Direction:
          m.direction = static_cast<std::uint8_t>(value);
          break;
        case link::Setting::SpeedMode:
          m.speedMode = u16;
          break;
        case link::Setting::SpeedCoefficient:
          m.speedCoefficient = u16;
          break;
        case link::Setting::Service1:
          driver_.service.value1 = static_cast<std::uint8_t>(value);
          break;
        case link::Setting::Service2:
          driver_.service.value2 = static_cast<std::uint8_t>(value);
          break;
      }
    });
  }
  Outcome WriteParameter(int prm, std::int32_t value) override {
    return Exchange("write prm" + std::to_string(prm) + " " + std::to_string(value), [&] {
      if (Ignored("prm" + std::to_string(prm))) return;
      if (prm <= 20) {
        driver_.parameters.prm9to20[static_cast<std::size_t>(prm - 9)] =
            static_cast<std::uint16_t>(value);
      } else {
        driver_.parameters.prm21to25[static_cast<std::size_t>(prm - 21)] = value;
      }
    });
  }
  Outcome ReadSettings(link::MotorSettings& m) override {
    return Exchange("read settings", [&] { m = driver_.settings; });
  }
  Outcome ReadParameters(link::ParameterBlock& p) override {
    return Exchange("read parameters", [&] { p = driver_.parameters; });
  }
  Outcome ReadServiceValues(link::ServiceValues& v) override {
    if (present_ && !driver_.answersService) {
      ++exchanges_;
      log_.push_back("read service");
      return Outcome::NoAnswer;
    }
    return Exchange("read service", [&] { v = driver_.service; });
  }
  Outcome ReadProgramName(std::string& name) override {
    return Exchange("read name", [&] { name = driver_.programName; });
  }

 private:
  Outcome Exchange(const std::string& what, const std::function<void()>& effect) {
    const int n = ++exchanges_;
    if (auto a = actions_.find(n); a != actions_.end()) a->second();
    if (auto f = failures_.find(n); f != failures_.end()) {
      log_.push_back(what + " failed");
      return f->second;
    }
    if (!present_) {
      log_.push_back(what + " unanswered");
      return Outcome::NoAnswer;
    }
    log_.push_back(what);
    effect();
    return Outcome::Done;
  }
  bool Ignored(const std::string& key) const {
    return std::find(driver_.ignores.begin(), driver_.ignores.end(), key) != driver_.ignores.end();
  }

  std::string port_;
  ScriptedDriver driver_;
  bool present_ = true;
  std::deque<ScriptedDriver> arriving_;
  CountedStop* stopWhenEmpty_ = nullptr;
  std::map<int, Outcome> failures_;
  std::map<int, std::function<void()>> actions_;
  std::vector<std::string> log_;
  int exchanges_ = 0;
};

}  // namespace kivra::params::testing
