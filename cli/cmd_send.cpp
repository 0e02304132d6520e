// kivra send --port DEV [--lang tr|en] COMMAND [VALUE]
// One direct-control request, as the direct-control tab's buttons make it.

#include <cctype>
#include <cstdio>
#include <functional>
#include <string>

#include "cli/commands.h"
#include "cli/link_session.h"
#include "cli/texts.h"
#include "common/texts.h"
#include "link/integer.h"
#include "link/outcome_text.h"
#include "link/values.h"

namespace kivra::cli {
namespace {

using link::Setting;

// Commands that are a plain request.
struct PlainCommand {
  std::string_view name;
  void (*request)(link::LinkEngine&);
};
constexpr PlainCommand kPlainCommands[] = {
    {"run", [](link::LinkEngine& e) { e.Run(); }},
    {"stop", [](link::LinkEngine& e) { e.Stop(); }},
    {"read-params", [](link::LinkEngine& e) { e.Read(link::Answer::ParamBlock); }},
};

constexpr const char* kUsage =
    "usage: kivra send --port DEV [--lang tr|en] COMMAND [VALUE]\n"
    "commands: speed N, run-current N, hold-current N, microstep N, ramp N, start-speed N,\n"
    "  displacement N, direction L|R, speed-mode N, speed-coefficient N, run, stop, move,\n"
    "  output 1|2, param N VALUE (N = 9..25), read-settings, read-params, mem-read ADDRESS,\n"
    "  mem-write ADDRESS DATA, script-on, script-off\n";

const char* Say(const texts::Bilingual& text, Language language) {
  // The catalogue's texts are literals: their views end where the literal does.
  return texts::Pick(text, language).data();
}

void PrintSettings(const link::MotorSettings& m, Language language) {
  const std::string direction(
      texts::Pick(m.direction == 0 ? texts::kLeft : texts::kRight, language));
  std::printf(
      "speed=%u\nrun-current=%u\nhold-current=%u\nmicrostep=%u\nramp=%u\nstart-speed=%u\n"
      "direction=%s\ndisplacement=%d\nspeed-mode=%u\nspeed-coefficient=%u\n",
      m.speed, m.runCurrent, m.holdCurrent, m.microstep, m.ramp, m.startSpeed, direction.c_str(),
      m.displacement, m.speedMode, m.speedCoefficient);
}

void PrintParameters(const link::ParameterBlock& p) {
  for (int prm = link::kFirstParameter; prm <= link::kLastParameter; ++prm) {
    if (link::IsWideParameter(prm)) {
      std::printf("prm%d=%d\n", prm, p.prm21to25[prm - 21]);
    } else {
      std::printf("prm%d=%u\n", prm, p.prm9to20[prm - link::kFirstParameter]);
    }
  }
}

// The settings whose key is the command's name; the direction takes words, not numbers.
bool IsNumericSetting(Setting s) {
  return s != Setting::Direction && s != Setting::Service1 && s != Setting::Service2;
}

}  // namespace

int RunSend(const Args& args) {
  if (HelpAsked(args, kUsage)) return 0;
  LinkOptions options;
  std::string error;
  if (!ParseLinkOptions(args, options, error) || options.operands.empty()) {
    std::fprintf(stderr, "kivra send: %s\n%s",
                 error.empty() ? "a command is expected" : error.c_str(), kUsage);
    return 2;
  }
  const std::string command = options.operands[0];
  const Args values(options.operands.begin() + 1, options.operands.end());
  auto arity = [&](std::size_t n) {
    if (values.size() == n) return true;
    std::fprintf(stderr, "kivra send: %s takes %zu value(s)\n%s", command.c_str(), n, kUsage);
    return false;
  };

  // Each command makes its request; `after` prints what it read.
  std::function<void(link::LinkEngine&)> press;
  std::function<void(TerminalReport&)> after;
  bool needsStatus = false;  // the request depends on what the driver reported
  if (const auto setting = link::SettingByKey(command); setting && IsNumericSetting(*setting)) {
    if (!arity(1)) return 2;
    press = [s = *setting, v = link::ParseInteger(values[0])](link::LinkEngine& e) {
      e.WriteSetting(s, v);
    };
  }
  for (const auto& c : kPlainCommands) {
    if (command == c.name) {
      if (!arity(0)) return 2;
      press = [&c](link::LinkEngine& e) { c.request(e); };
    }
  }
  if (command == "script-on" || command == "script-off") {
    if (!arity(0)) return 2;
    press = [on = command == "script-on"](link::LinkEngine& e) { e.SetScript(on); };
  } else if (command == "direction") {
    if (!arity(1)) return 2;
    const std::string& d = values[0];
    const bool left = d == "L" || d == "l" || d == "left" || d == "SOL" || d == "sol";
    const bool right = d == "R" || d == "r" || d == "right" || d == "SAĞ" || d == "sağ";
    if (!left && !right) {
      std::fprintf(stderr, "%s\n", Say(texts::kDirectionIsLOrR, options.language));
      return 1;
    }
    press = [right](link::LinkEngine& e) { e.WriteSetting(Setting::Direction, right ? 1 : 0); };
  } else if (command == "move") {
    if (!arity(0)) return 2;
    needsStatus = true;
    press = [](link::LinkEngine& e) { e.Move(); };
  } else if (command == "output") {
    if (!arity(1)) return 2;
    const auto n = link::ParseInteger(values[0]);
    if (!n || (*n != 1 && *n != 2)) {
      std::fprintf(stderr, "%s\n", Say(texts::kOutputIs1Or2, options.language));
      return 1;
    }
    needsStatus = true;
    // The driver is told the output's state as the driver last reported it.
    press = [n = *n](link::LinkEngine& e) { e.WriteOutput(n, e.Progress().lastStatus.Output(n)); };
  } else if (command == "param") {
    if (!arity(2)) return 2;
    const auto prm = link::ParseInteger(values[0]);
    if (!prm || !link::IsParameter(*prm)) {
      std::fprintf(stderr, "%s\n", Say(texts::kParameterIs9To25, options.language));
      return 1;
    }
    press = [prm = *prm, v = link::ParseInteger(values[1])](link::LinkEngine& e) {
      e.WriteParameter(prm, v);
    };
  } else if (command == "read-settings") {
    if (!arity(0)) return 2;
    press = [](link::LinkEngine& e) { e.Read(link::Answer::MotorSettings); };
    after = [language = options.language](TerminalReport& r) {
      if (r.motorSettings) PrintSettings(*r.motorSettings, language);
    };
  } else if (command == "read-params") {
    after = [](TerminalReport& r) {
      if (r.parameters) PrintParameters(*r.parameters);
    };
  } else if (command == "mem-read") {
    if (!arity(1)) return 2;
    // A cell the driver does not have is refused here: a read never falls back to another.
    const auto a = link::ParseInteger(values[0]);
    if (link::CheckMemoryRead(a) != link::Refusal::None) {
      std::fprintf(stderr, "kivra send: mem-read: %s\n",
                   Say(texts::kMemoryReadAddress, options.language));
      return 2;
    }
    press = [a](link::LinkEngine& e) { e.ReadMemory(a); };
    after = [](TerminalReport& r) {
      if (r.memoryValue) std::printf("%u\n", *r.memoryValue);
    };
  } else if (command == "mem-write") {
    if (!arity(2)) return 2;
    press = [a = link::ParseInteger(values[0]),
             d = link::ParseInteger(values[1])](link::LinkEngine& e) { e.WriteMemory(a, d); };
  }
  if (!press) {
    std::fprintf(stderr, "kivra send: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
  }

  LinkSession session(options);
  if (!session.Open()) return 1;
  link::LinkEngine& engine = session.Engine();
  const auto answerTime = std::chrono::seconds(5);
  if (needsStatus && !session.WaitForStatus(answerTime)) {
    if (session.Interrupted()) return 1;
    std::fprintf(stderr, "%s\n", Say(texts::kDriverDoesNotAnswer, options.language));
    return 1;
  }
  const int messagesBefore = session.Report().MessageCount();
  press(engine);
  const link::ExchangeRecord& exchange = engine.Progress().exchange;
  if (exchange.outcome != link::ExchangeOutcome::Running) {
    // Refused before anything was queued (a parameter without a number says so itself),
    // or MOVE while the motor is running.
    if (session.Report().MessageCount() == messagesBefore)
      std::fprintf(stderr, "%s\n", Say(texts::kNotSent, options.language));
    return 1;
  }
  session.RunUntil([&] { return exchange.outcome != link::ExchangeOutcome::Running; },
                   std::chrono::seconds(10));
  switch (exchange.outcome) {
    case link::ExchangeOutcome::Acknowledged:
      if (after) after(session.Report());
      return 0;
    case link::ExchangeOutcome::Refused:
      std::fprintf(stderr, "%s\n", Say(texts::kInvalidValueShort, options.language));
      return 1;
    default:
      if (session.Interrupted()) return 1;
      // Silence keeps its old words; a refusal or a wrong reply says what it was.
      if (exchange.why == link::FrameFailure::TimeOut ||
          exchange.why == link::FrameFailure::Partial || exchange.why == link::FrameFailure::None) {
        std::fprintf(stderr, "%s\n", Say(texts::kDriverDoesNotAnswer, options.language));
      } else {
        std::string text(link::FailureText(exchange.why, options.language));
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        std::fprintf(stderr, "%s!\n", text.c_str());
      }
      return 1;
  }
}

}  // namespace kivra::cli
