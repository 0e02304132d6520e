// kivra status --port DEV [--count N] [--lang tr|en]
// One line per accepted status reply; "not connected" while the driver does not answer,
// "reconnecting" while the port's device is gone and waited for.

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/link_session.h"
#include "common/texts.h"
#include "link/integer.h"

namespace kivra::cli {

std::string StatusLine(const link::StatusReply& s) {
  std::string inputs, outputs;
  for (int i = 1; i <= 6; ++i) inputs += s.Input(i) ? '1' : '0';
  for (int i = 1; i <= 2; ++i) outputs += s.Output(i) ? '1' : '0';
  char line[256];
  std::snprintf(line, sizeof line,
                "connected inputs=%s outputs=%s analog1=%u analog2=%u temperature=%u mode=%s script=%s "
                "motor=%s address=%u",
                inputs.c_str(), outputs.c_str(), s.analog1, s.analog2, s.temperature,
                s.ControllerMode() ? "controller" : "step/dir", s.ScriptRunning() ? "on" : "off",
                s.MotorRunning() ? "running" : "stopped", s.address);
  return line;
}

int RunStatus(const Args& args) {
  LinkOptions options;
  std::string error;
  long count = -1;
  if (ParseLinkOptions(args, options, error, {"--count"})) {
    for (std::size_t i = 0; i < options.operands.size(); ++i) {
      if (options.operands[i] == "--count" && i + 1 < options.operands.size()) {
        const auto n = link::ParseInteger(options.operands[i + 1]);
        if (!n || *n <= 0) error = "--count takes a positive number";
        count = n ? *n : -1;
        ++i;
      } else {
        error = "unexpected " + options.operands[i];
      }
    }
  }
  if (!error.empty()) {
    std::fprintf(stderr, "kivra status: %s\nusage: kivra status --port DEV [--count N] [--lang tr|en]\n",
                 error.c_str());
    return 2;
  }

  LinkSession session(options);
  if (!session.Open()) return 1;
  const link::LinkEngine& engine = session.Engine();
  std::uint64_t seen = engine.StatusCount();
  long printed = 0;
  bool lastConnected = true;
  auto lastNotice = std::chrono::steady_clock::now();
  // Every line counts towards --count, whatever it says: a script that asks for one
  // status gets one line, also when nothing answers.
  const auto print = [&](const std::string& line, bool connected) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    lastConnected = connected;
    return count > 0 && ++printed >= count;
  };
  session.RunUntil([&] {
    if (engine.StatusCount() != seen) {
      seen = engine.StatusCount();
      return print(StatusLine(engine.LastStatus()), true);
    }
    if (!engine.Variables().connected) {
      // Once when the link goes down ("not connected", or "reconnecting" while a pulled
      // adapter is waited for), then once a second while it stays down.
      const auto now = std::chrono::steady_clock::now();
      if (lastConnected || now - lastNotice >= std::chrono::seconds(1)) {
        lastNotice = now;
        return print(std::string(texts::LinkStatusText(engine.Status(), options.english)), false);
      }
    }
    return false;
  });
  if (session.Interrupted()) return 0;
  return printed == count && lastConnected ? 0 : 1;
}

}  // namespace kivra::cli
