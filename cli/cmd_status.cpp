// kivra status --port DEV [--count N] [--csv FILE | --format csv|json] [--lang tr|en]
// One line per accepted status reply; "not connected" while the driver does not answer,
// "reconnecting" while the port's device is gone and waited for. --csv FILE also records
// every reply (and a gap row for each outage) into FILE; --format prints the records in
// place of the lines.

#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/link_session.h"
#include "common/texts.h"
#include "link/integer.h"
#include "link/status_record.h"

namespace kivra::cli {

std::string StatusLine(const link::StatusReply& s) {
  std::string inputs, outputs;
  for (int i = 1; i <= 6; ++i) inputs += s.Input(i) ? '1' : '0';
  for (int i = 1; i <= 2; ++i) outputs += s.Output(i) ? '1' : '0';
  char line[256];
  std::snprintf(
      line, sizeof line,
      "connected inputs=%s outputs=%s analog1=%u analog2=%u temperature=%u mode=%s script=%s "
      "motor=%s address=%u",
      inputs.c_str(), outputs.c_str(), s.analog1, s.analog2, s.temperature,
      s.ControllerMode() ? "controller" : "step/dir", s.ScriptRunning() ? "on" : "off",
      s.MotorRunning() ? "running" : "stopped", s.address);
  return line;
}

constexpr const char* kUsage =
    "usage: kivra status --port DEV [--count N] [--csv FILE | --format csv|json] "
    "[--lang tr|en]\n";

int RunStatus(const Args& args) {
  if (HelpAsked(args, kUsage)) return 0;
  LinkOptions options;
  std::string error;
  long count = -1;
  std::string csvPath, format;
  if (ParseLinkOptions(args, options, error, {"--count", "--csv", "--format"})) {
    for (std::size_t i = 0; i < options.operands.size(); ++i) {
      const std::string& a = options.operands[i];
      if (a == "--count" && i + 1 < options.operands.size()) {
        const auto n = link::ParseInteger(options.operands[i + 1]);
        if (!n || *n <= 0) error = "--count takes a positive number";
        count = n ? *n : -1;
        ++i;
      } else if (a == "--csv" && i + 1 < options.operands.size()) {
        csvPath = options.operands[++i];
        if (csvPath.empty()) error = "--csv takes a file name";
      } else if (a == "--format" && i + 1 < options.operands.size()) {
        format = options.operands[++i];
        if (format != "csv" && format != "json") error = "--format takes csv or json";
      } else {
        error = "unexpected " + options.operands[i];
      }
    }
  }
  if (!error.empty()) {
    std::fprintf(stderr, "kivra status: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (!csvPath.empty() && !format.empty()) {
    std::fprintf(stderr, "kivra status: --csv and --format cannot be used together\n");
    return 2;
  }

  // The records: into the file, or on stdout in place of the lines.
  std::unique_ptr<link::FileLineWriter> writer;
  if (!csvPath.empty()) {
    writer = std::make_unique<link::FileLineWriter>(csvPath);
    if (!writer->Open()) {
      std::fprintf(stderr, "kivra status: %s: %s\n", csvPath.c_str(), writer->Error().c_str());
      return 1;
    }
  } else if (!format.empty()) {
    writer = std::make_unique<link::FileLineWriter>(stdout);
  }
  std::unique_ptr<link::StatusRecorder> recorder;
  if (writer) {
    recorder = std::make_unique<link::StatusRecorder>(
        *writer, format == "json" ? link::RecordFormat::Json : link::RecordFormat::Csv);
  }
  const bool linesOnStdout = format.empty();
  bool writeFailed = false;
  const auto recorded = [&](bool ok) {
    if (ok || writeFailed) return;
    writeFailed = true;
    std::fprintf(stderr, "kivra status: %s: %s; recording stopped\n",
                 csvPath.empty() ? "stdout" : csvPath.c_str(), writer->Error().c_str());
  };
  if (recorder) recorded(recorder->Start());
  if (writeFailed) return 1;

  LinkSession session(options);
  if (!session.Open()) return 1;
  const auto wallMs = [] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  };
  const link::LinkEngine& engine = session.Engine();
  std::uint64_t seen = engine.Progress().statusCount;
  long printed = 0;
  bool lastConnected = true;
  auto lastNotice = std::chrono::steady_clock::now();
  // Every line counts towards --count, whatever it says: a script that asks for one
  // status gets one line, also when nothing answers.
  const auto print = [&](const std::string& line, bool connected) {
    if (linesOnStdout) {
      std::printf("%s\n", line.c_str());
      std::fflush(stdout);
    }
    if (recorder && !writeFailed) {
      recorded(connected
                   ? recorder->Record({session.ElapsedMs(), wallMs(), engine.Progress().lastStatus})
                   : recorder->Gap(session.ElapsedMs(), wallMs()));
    }
    lastConnected = connected;
    return writeFailed || (count > 0 && ++printed >= count);
  };
  session.RunUntil([&] {
    if (engine.Progress().statusCount != seen) {
      seen = engine.Progress().statusCount;
      return print(StatusLine(engine.Progress().lastStatus), true);
    }
    const bool judged = engine.Progress().statusCount > 0 || engine.Progress().pollsFailed > 0;
    if (!engine.Variables().connected && judged) {
      // Once when the link goes down ("not connected", or "reconnecting" while a pulled
      // adapter is waited for), then once a second while it stays down.
      const auto now = std::chrono::steady_clock::now();
      if (lastConnected || now - lastNotice >= std::chrono::seconds(1)) {
        lastNotice = now;
        return print(std::string(texts::LinkStatusText(engine.Progress().status, options.language)),
                     false);
      }
    }
    return false;
  });
  if (writeFailed) return 1;
  if (session.Interrupted()) return 0;
  return printed == count && lastConnected ? 0 : 1;
}

}  // namespace kivra::cli
