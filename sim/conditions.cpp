#include "sim/conditions.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

#include "common/cp1254.h"

namespace kivra::sim {
namespace {

// Decimal, or hexadecimal after 0x, or binary after 0b (handy for input bits).
std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
    base = 2;
    text.remove_prefix(2);
  }
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

ConditionResult Error(std::string text) {
  return {false, std::move(text)};
}
ConditionResult Done() {
  return {true, {}};
}

std::optional<std::uint8_t> ParseUpTo(std::string_view text, std::uint32_t max) {
  const auto v = ParseNumber(text);
  if (!v || *v > max) return std::nullopt;
  return static_cast<std::uint8_t>(*v);
}

// KIND[:N[:COUNT]]
std::optional<FaultRule> ParseFaultRule(FaultAction action, std::string_view text) {
  FaultRule rule;
  rule.action = action;
  const auto colon = text.find(':');
  const auto kind = ParseReplyKind(text.substr(0, colon));
  if (!kind) return std::nullopt;
  rule.kind = *kind;
  if (colon == std::string_view::npos) return rule;
  text.remove_prefix(colon + 1);
  const auto second = text.find(':');
  const auto nth = ParseNumber(text.substr(0, second));
  if (!nth || *nth == 0) return std::nullopt;
  rule.nth = *nth;
  if (second == std::string_view::npos) return rule;
  const auto count = ParseNumber(text.substr(second + 1));
  if (!count || *count == 0) return std::nullopt;
  rule.count = *count;
  return rule;
}

using Apply = ConditionResult (*)(Simulator&, std::string_view);

struct Condition {
  std::string_view name;
  std::string_view value;  // empty: the control takes none
  std::string_view help;
  Apply apply;
};

template <FaultAction action>
ConditionResult ApplyFault(Simulator& sim, std::string_view v) {
  const auto rule = ParseFaultRule(action, v);
  if (!rule)
    return Error("expected KIND[:N[:COUNT]] with KIND one of ack s A t i E n, got '" +
                 std::string(v) + "'");
  sim.AddFault(*rule);
  return Done();
}

template <int channel>
ConditionResult ApplyAnalog(Simulator& sim, std::string_view v) {
  const auto value = ParseUpTo(v, 255);
  if (!value) return Error("analog value 0..255 expected");
  sim.SetAnalog(channel, *value);
  return Done();
}

constexpr std::array<Condition, 18> kConditions = {{
    {"inputs", "BITS", "digital inputs 1-6 as bits 0-5 (0b101 = inputs 1 and 3)",
     [](Simulator& sim, std::string_view v) {
       const auto bits = ParseUpTo(v, 0x3F);
       if (!bits) return Error("inputs 0..63 expected (bits 0-5)");
       sim.SetInputs(*bits);
       return Done();
     }},
    {"analog1", "VALUE", "analog input 1, 0..255", ApplyAnalog<1>},
    {"analog2", "VALUE", "analog input 2, 0..255", ApplyAnalog<2>},
    {"temperature", "CELSIUS", "temperature, 0..255",
     [](Simulator& sim, std::string_view v) {
       const auto t = ParseUpTo(v, 255);
       if (!t) return Error("temperature 0..255 expected");
       sim.SetTemperature(*t);
       return Done();
     }},
    {"mode", "BITS", "mode flags: bit 0 set = controller mode, clear = step/direction",
     [](Simulator& sim, std::string_view v) {
       const auto m = ParseUpTo(v, 255);
       if (!m) return Error("mode flags 0..255 expected");
       sim.SetModeFlags(*m);
       return Done();
     }},
    {"drop", "KIND[:N[:COUNT]]", "do not send the N-th reply of KIND (and COUNT-1 more)",
     ApplyFault<FaultAction::Drop>},
    {"garble", "KIND[:N[:COUNT]]", "send it with a byte inverted", ApplyFault<FaultAction::Garble>},
    {"wrong-letter", "KIND[:N[:COUNT]]", "send it as the reply to another request (15h for ack)",
     ApplyFault<FaultAction::WrongLetter>},
    {"split", "KIND[:N[:COUNT]]", "send it in two parts with a pause between",
     ApplyFault<FaultAction::Split>},
    {"delay", "KIND[:N[:COUNT]]", "send it late (see late-ms)", ApplyFault<FaultAction::Delay>},
    {"late-ms", "MS", "how late a delayed reply starts (200)",
     [](Simulator& sim, std::string_view v) {
       const auto ms = ParseNumber(v);
       if (!ms || *ms > 60000) return Error("milliseconds 0..60000 expected");
       sim.SetLateDelay(std::chrono::milliseconds(*ms));
       return Done();
     }},
    {"noise-ms", "MS", "a byte 55h that starts no frame every MS ms; 0: none",
     [](Simulator& sim, std::string_view v) {
       const auto ms = ParseNumber(v);
       if (!ms || *ms > 60000) return Error("milliseconds 0..60000 expected");
       sim.SetNoise(std::chrono::milliseconds(*ms));
       return Done();
     }},
    {"clear-faults", "", "forget the fault rules not yet used",
     [](Simulator& sim, std::string_view) {
       sim.ClearFaults();
       return Done();
     }},
    {"silent", "MS", "ignore every frame for MS milliseconds from now",
     [](Simulator& sim, std::string_view v) {
       const auto ms = ParseNumber(v);
       if (!ms) return Error("milliseconds expected");
       sim.SilenceFor(std::chrono::milliseconds(*ms));
       return Done();
     }},
    {"unplug", "", "close the port as a pulled USB adapter would",
     [](Simulator& sim, std::string_view) {
       sim.Unplug();
       return ConditionResult{true, "unplugged"};
     }},
    {"replug", "", "open a new port (the link follows it)",
     [](Simulator& sim, std::string_view) {
       sim.Replug();
       return ConditionResult{true, "port " + sim.PortPath()};
     }},
    {"state", "", "show the driver's state and stored program",
     [](Simulator& sim, std::string_view) {
       return ConditionResult{true, DescribeState(sim.State(), sim.Program())};
     }},
    {"port", "", "show the port's device path",
     [](Simulator& sim, std::string_view) {
       return ConditionResult{true, sim.Plugged() ? sim.PortPath() : "unplugged"};
     }},
}};

const Condition* Find(std::string_view name) {
  for (const auto& c : kConditions) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

}  // namespace

bool IsCondition(std::string_view name) {
  return Find(name) != nullptr;
}

bool ConditionTakesValue(std::string_view name) {
  const Condition* c = Find(name);
  return c && !c->value.empty();
}

ConditionResult ApplyCondition(Simulator& sim, std::string_view name, std::string_view value) {
  const Condition* c = Find(name);
  if (!c) return Error("unknown: '" + std::string(name) + "'");
  if (c->value.empty() != value.empty()) {
    return Error(std::string(name) +
                 (c->value.empty() ? " takes no value" : " needs " + std::string(c->value)));
  }
  try {
    return c->apply(sim, value);
  } catch (const std::exception& e) {  // a new port could not be had
    return Error(e.what());
  }
}

std::string ConditionHelp() {
  std::string text;
  for (const auto& c : kConditions) {
    char line[160];
    const std::string left =
        std::string(c.name) + (c.value.empty() ? "" : " " + std::string(c.value));
    std::snprintf(line, sizeof line, "  %-30s %.*s\n", left.c_str(),
                  static_cast<int>(c.help.size()), c.help.data());
    text += line;
  }
  return text;
}

std::string DescribeState(const DriverState& s, const StoredProgram& p) {
  const MotorSettings& m = s.motor;
  char text[1024];
  std::snprintf(
      text, sizeof text,
      "inputs %02Xh  outputs %d %d  analog %u %u  temperature %u  mode %s\n"
      "motor %s  speed %u  currents %u/%u  micro-step %u  ramp %u  start speed %u\n"
      "direction %s  displacement %d  speed mode %u  coefficient %u\n"
      "script %s at %u  program \"%s\", %u bytes%s\n"
      "frames %u (not taken %u)  bytes discarded %u",
      s.inputs, s.output1, s.output2, s.analog1, s.analog2, s.temperature,
      s.modeFlags & 1 ? "controller" : "step/direction", s.motorRunning ? "running" : "stopped",
      m.speed, m.runningCurrent, m.holdingCurrent, m.microStep, m.ramp, m.startSpeed,
      m.direction == 0 ? "left" : "right", m.displacement, m.speedMode, m.speedCoefficient,
      s.scriptRunning ? "running" : "stopped", s.scriptAddress, Cp1254ToUtf8(p.name).c_str(),
      p.code.length, p.hasVectors ? "" : " (no vector table yet)", s.framesReceived,
      s.framesRefused, s.bytesDiscarded);
  return text;
}

}  // namespace kivra::sim
