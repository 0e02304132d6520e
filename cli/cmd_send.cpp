// kivra send --port DEV [--lang tr|en] COMMAND [VALUE]
// One direct-control request, as the direct-control tab's buttons make it.

#include <cstdio>
#include <functional>
#include <string>

#include "cli/commands.h"
#include "cli/link_session.h"
#include "link/integer.h"
#include "link/view.h"

namespace kivra::cli {
namespace {

namespace ctl = link::ctl;
namespace state = link::state;

// Commands whose value goes into a box that the engine reads and checks when it sends.
struct BoxCommand {
  std::string_view name;
  std::string_view box;
  std::uint8_t state;
};
constexpr BoxCommand kBoxCommands[] = {
    {"speed", ctl::Speed, state::Speed},
    {"run-current", ctl::RunCurrent, state::RunCurrent},
    {"hold-current", ctl::HoldCurrent, state::HoldCurrent},
    {"microstep", ctl::Microstep, state::Microstep},
    {"ramp", ctl::Ramp, state::Ramp},
    {"start-speed", ctl::StartSpeed, state::StartSpeed},
    {"displacement", ctl::Displacement, state::Displacement},
    {"speed-mode", ctl::SpeedMode, state::SpeedMode},
    {"speed-coefficient", ctl::SpeedCoefficient, state::SpeedCoefficient},
};

struct PlainCommand {
  std::string_view name;
  std::uint8_t state;
};
constexpr PlainCommand kPlainCommands[] = {
    {"run", state::Run},       {"stop", state::Stop},  {"script-on", state::ScriptOn},
    {"script-off", state::Stop}, {"read-params", state::ReadParameters},
};

constexpr const char* kUsage =
    "usage: kivra send --port DEV [--lang tr|en] COMMAND [VALUE]\n"
    "commands: speed N, run-current N, hold-current N, microstep N, ramp N, start-speed N,\n"
    "  displacement N, direction L|R, speed-mode N, speed-coefficient N, run, stop, move,\n"
    "  output 1|2, param N VALUE (N = 9..25), read-settings, read-params, mem-read ADDRESS,\n"
    "  mem-write ADDRESS DATA, script-on, script-off\n";

const char* Say(bool english, const char* en, const char* tr) { return english ? en : tr; }

void PrintBoxes(TerminalWindow& w, std::initializer_list<std::pair<const char*, std::string_view>> boxes) {
  for (const auto& [label, box] : boxes) std::printf("%s=%s\n", label, w.Text(box).c_str());
}

}  // namespace

int RunSend(const Args& args) {
  LinkOptions options;
  std::string error;
  if (!ParseLinkOptions(args, options, error) || options.operands.empty()) {
    std::fprintf(stderr, "kivra send: %s\n%s", error.empty() ? "a command is expected" : error.c_str(), kUsage);
    return 2;
  }
  const std::string command = options.operands[0];
  const Args values(options.operands.begin() + 1, options.operands.end());
  auto arity = [&](std::size_t n) {
    if (values.size() == n) return true;
    std::fprintf(stderr, "kivra send: %s takes %zu value(s)\n%s", command.c_str(), n, kUsage);
    return false;
  };

  // Each command prepares the boxes and presses its button; `after` prints what it read.
  std::function<void(LinkSession&)> press;
  std::function<void(TerminalWindow&)> after;
  bool needsStatus = false;  // the button depends on what the driver reported
  for (const auto& c : kBoxCommands) {
    if (command != c.name) continue;
    if (!arity(1)) return 2;
    press = [&c, v = values[0]](LinkSession& s) {
      s.Window().SetText(c.box, v);
      s.Engine().Request(c.state);
    };
  }
  for (const auto& c : kPlainCommands) {
    if (command == c.name) {
      if (!arity(0)) return 2;
      press = [&c](LinkSession& s) { s.Engine().Request(c.state); };
    }
  }
  if (command == "direction") {
    if (!arity(1)) return 2;
    const std::string& d = values[0];
    const bool left = d == "L" || d == "l" || d == "left" || d == "SOL" || d == "sol";
    const bool right = d == "R" || d == "r" || d == "right" || d == "SAĞ" || d == "sağ";
    if (!left && !right) {
      std::fprintf(stderr, "%s\n", Say(options.english, "Direction is L or R!", "Yön SOL veya SAĞ olmalı!"));
      return 1;
    }
    press = [right](LinkSession& s) { s.Engine().PressDirection(right); };
  } else if (command == "move") {
    if (!arity(0)) return 2;
    needsStatus = true;
    press = [](LinkSession& s) { s.Engine().PressMove(); };
  } else if (command == "output") {
    if (!arity(1)) return 2;
    const auto n = link::ParseInteger(values[0]);
    if (!n || (*n != 1 && *n != 2)) {
      std::fprintf(stderr, "%s\n", Say(options.english, "Output is 1 or 2!", "Çıkış 1 veya 2 olmalı!"));
      return 1;
    }
    needsStatus = true;
    press = [n = *n](LinkSession& s) { s.Engine().PressOutput(n); };
  } else if (command == "param") {
    if (!arity(2)) return 2;
    const auto prm = link::ParseInteger(values[0]);
    if (!prm || *prm < 9 || *prm > 25) {
      std::fprintf(stderr, "%s\n", Say(options.english, "Parameter is 9..25!", "Parametre 9..25 olmalı!"));
      return 1;
    }
    press = [prm = *prm, v = values[1]](LinkSession& s) {
      s.Window().SetText(ctl::ParameterBox(prm), v);
      s.Engine().PressParameterWrite(prm);
    };
  } else if (command == "read-settings") {
    if (!arity(0)) return 2;
    press = [](LinkSession& s) { s.Engine().PressReadSettings(); };
    after = [](TerminalWindow& w) {
      PrintBoxes(w, {{"speed", ctl::Speed}, {"run-current", ctl::RunCurrent}, {"hold-current", ctl::HoldCurrent},
                     {"microstep", ctl::Microstep}, {"ramp", ctl::Ramp}, {"start-speed", ctl::StartSpeed},
                     {"direction", ctl::Direction}, {"displacement", ctl::Displacement},
                     {"speed-mode", ctl::SpeedMode}, {"speed-coefficient", ctl::SpeedCoefficient}});
    };
  } else if (command == "read-params") {
    after = [](TerminalWindow& w) {
      for (int prm = 9; prm <= 25; ++prm) std::printf("prm%d=%s\n", prm, w.Text(ctl::ParameterBox(prm)).c_str());
    };
  } else if (command == "mem-read") {
    if (!arity(1)) return 2;
    press = [v = values[0]](LinkSession& s) {
      s.Window().SetText(ctl::MemoryAddress, v);
      s.Engine().PressMemoryRead();
    };
    after = [](TerminalWindow& w) { std::printf("%s\n", w.Text(ctl::MemoryData).c_str()); };
  } else if (command == "mem-write") {
    if (!arity(2)) return 2;
    press = [a = values[0], d = values[1]](LinkSession& s) {
      s.Window().SetText(ctl::MemoryAddress, a);
      s.Window().SetText(ctl::MemoryData, d);
      s.Engine().Request(state::MemoryWrite);
    };
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
    std::fprintf(stderr, "%s\n", Say(options.english, "The driver does not answer!", "Sürücü cevap vermiyor!"));
    return 1;
  }
  const int messagesBefore = session.Window().MessageCount();
  press(session);
  const link::ExchangeRecord& exchange = engine.LastExchange();
  if (exchange.outcome != link::ExchangeOutcome::Running) {
    // Refused before anything was queued (a parameter box without a number says so itself),
    // or MOVE while the motor is running.
    if (session.Window().MessageCount() == messagesBefore)
      std::fprintf(stderr, "%s\n", Say(options.english, "Not sent!", "Gönderilmedi!"));
    return 1;
  }
  session.RunUntil([&] { return exchange.outcome != link::ExchangeOutcome::Running; }, std::chrono::seconds(10));
  switch (exchange.outcome) {
    case link::ExchangeOutcome::Acknowledged:
      if (after) after(session.Window());
      return 0;
    case link::ExchangeOutcome::Refused:
      std::fprintf(stderr, "%s\n", Say(options.english, "Invalid value!", "Geçersiz değer!"));
      return 1;
    default:
      if (!session.Interrupted())
        std::fprintf(stderr, "%s\n", Say(options.english, "The driver does not answer!", "Sürücü cevap vermiyor!"));
      return 1;
  }
}

}  // namespace kivra::cli
