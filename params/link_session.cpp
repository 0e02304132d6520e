#include "params/link_session.h"

#include <thread>

#include "common/texts.h"
#include "link/engine.h"
#include "link/link_stack.h"
#include "link/tick_loop.h"
#include "params/engine_exchange.h"

namespace kivra::params {
namespace {

using Clock = std::chrono::steady_clock;
using link::Setting;

// No exchange of the link takes this long; a limit against a link that never settles.
constexpr auto kExchangeLimit = std::chrono::seconds(60);
constexpr auto kDownloadLimit = std::chrono::minutes(5);
// A driver counts as gone once it has not answered for this long, so that a contact that
// flickers while the driver is taken away does not count as a new driver.
constexpr auto kGoneFor = std::chrono::milliseconds(1000);

// What the engine and the port selection say about the port: why it did not open, or
// what the serial component refused.
class PortWords final : public link::LinkObserver, public link::PortView {
 public:
  explicit PortWords(Language language) : language_(language) {}

  void OnNotice(link::Notice notice, std::string_view detail) override {
    if (notice == link::Notice::PortError) said = detail;
  }
  void ShowPortNumber(std::string_view) override {}
  void PortNotOpened(std::string_view port, link::OpenFailure reason, std::string_view detail,
                     bool) override {
    said = texts::PortNotOpened(port, reason, detail, language_);
  }
  void PortNotANumber() override { said = texts::Pick(texts::kEnterNumber, language_); }

  std::string said;

 private:
  Language language_;
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
        loop_([this](Clock::duration d) {
          if (stop_) return stop_->Wait(d, patience_);
          std::this_thread::sleep_for(d);
          return true;
        }),
        words_(options.language),
        stack_(loop_, settings_, words_,
               {.settings = QuietSettings(), .logFolder = {}, .line = nullptr}),
        engine_(stack_.Engine()),
        exchange_(engine_) {
    settings_.port = port;
    engine_.AddObserver(words_);
  }
  ~LinkSession() override { engine_.RemoveObserver(words_); }

  bool Open(std::string& whyNot) {
    stack_.Ports().StartUp();
    if (engine_.LinkEnabled()) return true;
    whyNot = words_.said;
    return false;
  }

  const std::string& Port() const override { return port_; }

  Outcome WaitForAnswer(std::chrono::milliseconds limit) override {
    const auto before = engine_.Progress().statusCount;
    return Wait([&] { return engine_.Progress().statusCount > before; }, limit);
  }

  Outcome WaitUntilGone(std::chrono::milliseconds limit) override {
    // The silence is measured across calls: a caller waits in slices shorter than it.
    return Wait(
        [&] {
          if (engine_.Progress().status == link::LinkStatus::Answering) {
            silentSince_.reset();
            return false;
          }
          if (!silentSince_) silentSince_ = Clock::now();
          return Clock::now() - *silentSince_ >= kGoneFor;
        },
        limit);
  }

  std::optional<std::uint8_t> Firmware() const override {
    if (engine_.Progress().statusCount == 0) return std::nullopt;
    return engine_.Progress().lastStatus.firmware;
  }

  Outcome Download(const CodeImage& code, const VectorTable& vectors,
                   std::string_view programPath) override {
    engine_.Download({true, code, vectors, std::string(programPath)});
    if (engine_.Progress().download != link::DownloadResult::Running) return Lost();
    const Outcome o =
        Exchange([&] { return engine_.Progress().download != link::DownloadResult::Running; },
                 kDownloadLimit);
    if (o != Outcome::Done) return o;
    return engine_.Progress().download == link::DownloadResult::Succeeded ? Outcome::Done : Lost();
  }

  Outcome WriteSetting(Setting setting, std::int32_t value) override {
    exchange_.StartWrite(setting, value);
    return Ended();
  }

  Outcome WriteParameter(int prm, std::int32_t value) override {
    exchange_.StartWriteParameter(prm, value);
    return Ended();
  }

  Outcome ReadSettings(link::MotorSettings& m) override {
    return Read(Step::Kind::ReadSettings, &DriverReadings::settings, m);
  }
  Outcome ReadParameters(link::ParameterBlock& p) override {
    return Read(Step::Kind::ReadParameters, &DriverReadings::parameters, p);
  }
  Outcome ReadServiceValues(link::ServiceValues& v) override {
    return Read(Step::Kind::ReadService, &DriverReadings::service, v);
  }
  Outcome ReadProgramName(std::string& name) override {
    return Read(Step::Kind::ReadProgramName, &DriverReadings::programName, name);
  }

 private:
  // Ticks until `done` holds. Waits give way to the first stop request, exchanges only to
  // the second.
  Outcome Run(const std::function<bool()>& done, Clock::duration limit, int patience) {
    patience_ = patience;
    if (stop_ && stop_->Count() > patience) return Outcome::Interrupted;
    const bool held = loop_.Run([this] { stack_.Tick(); }, done, Clock::now() + limit);
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

  // Ticks the exchange just started until the engine has told how it ended.
  Outcome Ended(DriverReadings* readings = nullptr) {
    // A link that is off (its device gone) sends nothing: the exchange would never end.
    const auto settled = [&] { return exchange_.Result() || !engine_.LinkEnabled(); };
    if (!settled()) {
      const Outcome o = Exchange(settled, kExchangeLimit);
      if (o != Outcome::Done) return o;
    }
    if (!exchange_.Result()) {
      engine_.ResetToIdle();
      return Lost();
    }
    const Outcome o = *exchange_.Result();
    if (o == Outcome::NoAnswer) return Lost();
    if (readings) exchange_.TakeReading(*readings);
    return o;
  }

  template <typename T>
  Outcome Read(Step::Kind kind, std::optional<T> DriverReadings::*part, T& into) {
    DriverReadings readings;
    exchange_.Start({kind});
    const Outcome o = Ended(&readings);
    if (o != Outcome::Done) return o;
    if (!(readings.*part)) return Outcome::NoAnswer;
    into = *(readings.*part);
    return o;
  }

  // A failed exchange: the driver did not answer, or its port is gone.
  Outcome Lost() const {
    return stack_.Ports().WaitingForDevice() || !engine_.LinkEnabled() ? Outcome::PortLost
                                                                       : Outcome::NoAnswer;
  }

  std::string port_;
  const StopRequest* stop_;
  int patience_ = 0;
  std::optional<Clock::time_point> silentSince_;
  link::TickLoop loop_;
  PortWords words_;
  link::GivenPort settings_;
  link::LinkStack stack_;
  link::LinkEngine& engine_;
  EngineExchange exchange_;
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
