#include "params/link_session.h"

#include <map>
#include <thread>

#include "link/engine.h"
#include "link/integer.h"
#include "link/port_selection.h"
#include "link/serial_link.h"
#include "link/tick_loop.h"

namespace kivra::params {
namespace {

namespace ctl = link::ctl;
namespace state = link::state;
using Clock = std::chrono::steady_clock;
using link::Setting;

// No exchange of the link takes this long; a limit against a link that never settles.
constexpr auto kExchangeLimit = std::chrono::seconds(60);
constexpr auto kDownloadLimit = std::chrono::minutes(5);
// A driver counts as gone once it has not answered for this long, so that a contact that
// flickers while the driver is taken away does not count as a new driver.
constexpr auto kGoneFor = std::chrono::milliseconds(1000);

struct SettingControl {
  Setting setting;
  std::uint8_t state;
  std::string_view box;
};
constexpr SettingControl kSettingControls[] = {
    {Setting::Speed, state::Speed, ctl::Speed},
    {Setting::RunCurrent, state::RunCurrent, ctl::RunCurrent},
    {Setting::HoldCurrent, state::HoldCurrent, ctl::HoldCurrent},
    {Setting::Microstep, state::Microstep, ctl::Microstep},
    {Setting::Ramp, state::Ramp, ctl::Ramp},
    {Setting::StartSpeed, state::StartSpeed, ctl::StartSpeed},
    {Setting::Displacement, state::Displacement, ctl::Displacement},
    {Setting::SpeedMode, state::SpeedMode, ctl::SpeedMode},
    {Setting::SpeedCoefficient, state::SpeedCoefficient, ctl::SpeedCoefficient},
    {Setting::Service1, state::Service1, ctl::Service1},
    {Setting::Service2, state::Service2, ctl::Service2},
};

// The engine's window: boxes kept in memory, messages collected.
class Boxes final : public link::LinkView, public link::AppHooks {
 public:
  void SetColour(std::string_view, link::Colour) override {}
  void ShowLinkStatus(link::LinkStatus) override {}
  void SetText(std::string_view control, std::string_view utf8) override {
    texts_[std::string(control)] = utf8;
  }
  void ShowMessage(link::MessageKind, std::string_view utf8) override { lastMessage = utf8; }
  void ShowProgress(std::string_view, std::uint32_t) override {}
  void SetProgressPosition(std::uint32_t) override {}
  void HideProgress() override {}
  void SelectEditorLine(std::uint32_t) override {}
  void SetEditorReadOnly(bool) override {}
  void FocusEditor() override {}
  std::string BoxText(std::string_view box) override { return Text(box); }
  bool SourceEdited() override { return false; }
  void ClearSourceEdited() override {}
  bool CheckProgram() override { return false; }
  bool SaveProgram() override { return false; }
  void ReloadProgram() override {}
  std::uint32_t LineAtAddress(std::uint16_t) override { return 0; }

  std::string Text(std::string_view control) const {
    const auto it = texts_.find(control);
    return it == texts_.end() ? std::string() : it->second;
  }
  std::int64_t Number(std::string_view control) const {
    return link::ParseInteger(Text(control)).value_or(0);
  }

  std::string lastMessage;

 private:
  std::map<std::string, std::string, std::less<>> texts_;
};

struct NoDialog final : link::PortDialogView {
  void SetDialogVisible(bool) override {}
  void SetNumberText(std::string_view) override {}
  void SetCancelCaption(std::string_view) override {}
};

struct OnePort final : link::SettingsStore {
  std::string port;
  std::string ReadSetting(std::string_view, std::string_view) override { return port; }
  void WriteSetting(std::string_view, std::string_view) override {}
};

serial::PortSettings QuietSettings() {
  serial::PortSettings s = serial::PortSettings::DriverLink();
  s.logging = serial::LogState::LogOff;  // no SERIAL.LOG wherever a command runs
  return s;
}

class LinkSession final : public DriverSession {
 public:
  LinkSession(const std::string& port, const LinkSessionOptions& options)
      : port_(port),
        stop_(options.stop),
        serial_(QuietSettings()),
        loop_([this](Clock::duration d) {
          if (stop_) return stop_->Wait(d, patience_);
          std::this_thread::sleep_for(d);
          return true;
        }),
        engine_(serial_, boxes_, boxes_, loop_),
        selection_(engine_, serial_, settings_, boxes_, dialog_) {
    settings_.port = port;
    engine_.SetEnglish(options.english);
  }
  ~LinkSession() override { serial_.Close(); }

  bool Open(std::string& whyNot) {
    selection_.StartUp();
    if (engine_.LinkEnabled()) return true;
    whyNot = boxes_.lastMessage;
    return false;
  }

  const std::string& Port() const override { return port_; }

  Outcome WaitForAnswer(std::chrono::milliseconds limit) override {
    const auto before = engine_.StatusCount();
    return Wait([&] { return engine_.StatusCount() > before; }, limit);
  }

  Outcome WaitUntilGone(std::chrono::milliseconds limit) override {
    // The silence is measured across calls: a caller waits in slices shorter than it.
    return Wait(
        [&] {
          if (engine_.Status() == link::LinkStatus::Answering) {
            silentSince_.reset();
            return false;
          }
          if (!silentSince_) silentSince_ = Clock::now();
          return Clock::now() - *silentSince_ >= kGoneFor;
        },
        limit);
  }

  std::optional<std::uint8_t> Firmware() const override {
    if (engine_.StatusCount() == 0) return std::nullopt;
    return engine_.LastStatus().firmware;
  }

  Outcome Download(const CodeImage& code, const VectorTable& vectors,
                   std::string_view programPath) override {
    engine_.StartDownload(true, code, vectors, programPath);
    if (engine_.Download() != link::DownloadResult::Running) return Lost();
    const Outcome o = Exchange([&] { return engine_.Download() != link::DownloadResult::Running; },
                               kDownloadLimit);
    if (o != Outcome::Done) return o;
    return engine_.Download() == link::DownloadResult::Succeeded ? Outcome::Done : Lost();
  }

  Outcome WriteSetting(Setting setting, std::int32_t value) override {
    if (!link::Accepts(setting, value)) return Outcome::Refused;
    if (setting == Setting::Direction) return Command([&] { engine_.PressDirection(value != 0); });
    for (const SettingControl& c : kSettingControls) {
      if (c.setting != setting) continue;
      return Command([&] {
        boxes_.SetText(c.box, std::to_string(value));
        engine_.Request(c.state);
      });
    }
    return Outcome::Refused;
  }

  Outcome WriteParameter(int prm, std::int32_t value) override {
    if (!link::IsParameter(prm)) return Outcome::Refused;
    return Command([&] {
      boxes_.SetText(ctl::ParameterBox(prm), std::to_string(value));
      engine_.PressParameterWrite(prm);
    });
  }

  Outcome ReadSettings(link::MotorSettings& m) override {
    const Outcome o = Command([&] { engine_.PressReadSettings(); });
    if (o != Outcome::Done) return o;
    const auto n = [&](std::string_view box) { return boxes_.Number(box); };
    m.speed = static_cast<std::uint16_t>(n(ctl::Speed));
    m.runCurrent = static_cast<std::uint16_t>(n(ctl::RunCurrent));
    m.holdCurrent = static_cast<std::uint16_t>(n(ctl::HoldCurrent));
    m.microstep = static_cast<std::uint8_t>(n(ctl::Microstep));
    m.ramp = static_cast<std::uint16_t>(n(ctl::Ramp));
    m.startSpeed = static_cast<std::uint16_t>(n(ctl::StartSpeed));
    const std::string direction = boxes_.Text(ctl::Direction);
    m.direction = direction == "L" || direction == "SOL" ? 0 : 1;
    m.displacement = static_cast<std::int32_t>(n(ctl::Displacement));
    m.speedMode = static_cast<std::uint16_t>(n(ctl::SpeedMode));
    m.speedCoefficient = static_cast<std::uint16_t>(n(ctl::SpeedCoefficient));
    return o;
  }

  Outcome ReadParameters(link::ParameterBlock& p) override {
    const Outcome o = Command([&] { engine_.Request(state::ReadParameters); });
    if (o != Outcome::Done) return o;
    for (int prm = 9; prm <= 20; ++prm)
      p.prm9to20[static_cast<std::size_t>(prm - 9)] =
          static_cast<std::uint16_t>(boxes_.Number(ctl::ParameterBox(prm)));
    for (int prm = 21; prm <= 25; ++prm)
      p.prm21to25[static_cast<std::size_t>(prm - 21)] =
          static_cast<std::int32_t>(boxes_.Number(ctl::ParameterBox(prm)));
    return o;
  }

  Outcome ReadServiceValues(link::ServiceValues& v) override {
    const Outcome o = Command([&] { engine_.PressServiceRead(); });
    if (o != Outcome::Done) return o;
    v.value1 = static_cast<std::uint8_t>(boxes_.Number(ctl::Service1));
    v.value2 = static_cast<std::uint8_t>(boxes_.Number(ctl::Service2));
    return o;
  }

  Outcome ReadProgramName(std::string& name) override {
    const Outcome o = Command([&] { engine_.Request(state::ReadProgramName); });
    if (o == Outcome::Done) name = engine_.Variables().driverProgramName;
    return o;
  }

 private:
  // Ticks until `done` holds. Waits give way to the first stop request, exchanges only to
  // the second.
  Outcome Run(const std::function<bool()>& done, Clock::duration limit, int patience) {
    patience_ = patience;
    if (stop_ && stop_->Count() > patience) return Outcome::Interrupted;
    const bool held = loop_.Run(
        [this] {
          selection_.Tick();
          engine_.Tick();
        },
        done, Clock::now() + limit);
    if (held) return Outcome::Done;
    return stop_ && stop_->Count() > patience ? Outcome::Interrupted : Outcome::NoAnswer;
  }

  Outcome Wait(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done()) return Outcome::Done;
    return Run(done, limit, 0);
  }

  Outcome Exchange(const std::function<bool()>& done, Clock::duration limit) {
    const Outcome o = Run(done, limit, 1);
    // Cut off: the link goes back to polling, and nothing is sent again by itself.
    if (o != Outcome::Done) engine_.ResetToIdle();
    return o;
  }

  // One command exchange, started by `press`.
  Outcome Command(const std::function<void()>& press) {
    press();
    const link::ExchangeRecord& record = engine_.LastExchange();
    if (record.outcome != link::ExchangeOutcome::Running) return Outcome::Refused;
    const Outcome o =
        Exchange([&] { return record.outcome != link::ExchangeOutcome::Running; }, kExchangeLimit);
    if (o != Outcome::Done) return o;
    switch (record.outcome) {
      case link::ExchangeOutcome::Acknowledged:
        return Outcome::Done;
      case link::ExchangeOutcome::Refused:
        return Outcome::Refused;
      default:
        return Lost();
    }
  }

  // A failed exchange: the driver did not answer, or its port is gone.
  Outcome Lost() const {
    return selection_.WaitingForDevice() || !engine_.LinkEnabled() ? Outcome::PortLost
                                                                   : Outcome::NoAnswer;
  }

  std::string port_;
  const StopRequest* stop_;
  int patience_ = 0;
  std::optional<Clock::time_point> silentSince_;
  link::SerialLink serial_;
  Boxes boxes_;
  link::TickLoop loop_;
  link::LinkEngine engine_;
  OnePort settings_;
  NoDialog dialog_;
  link::PortSelection selection_;
};

}  // namespace

std::unique_ptr<DriverSession> OpenLinkSession(const std::string& port,
                                               const LinkSessionOptions& options,
                                               std::string& whyNot) {
  auto session = std::make_unique<LinkSession>(port, options);
  if (!session->Open(whyNot)) return nullptr;
  return session;
}

}  // namespace kivra::params
