// kivra flash --port DEV [--port DEV ...] [--params FILE] [--report FILE] [--station]
//             [--lang tr|en] PROGRAM
// Programs drivers: the program checked once, then on every port at the same time the
// download, the parameters written and verified, the stored name read back; one line per
// driver. --station does it again for each driver that is plugged in, until Ctrl+C.

#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>

#include "cli/commands.h"
#include "cli/link_session.h"
#include "cli/program_input.h"
#include "cli/stop_signal.h"
#include "cli/texts.h"
#include "common/atomic_file.h"
#include "params/flash.h"
#include "params/link_session.h"
#include "params/param_file.h"
#include "params/run_report.h"

namespace kivra::cli {
namespace {

using namespace params;
using namespace texts;

constexpr const char* kUsage =
    "usage: kivra flash --port DEV [--port DEV ...] [--params FILE] [--report FILE] [--station]\n"
    "                   [--lang tr|en] PROGRAM\n";

struct FlashOptions {
  std::vector<std::string> ports;
  std::string program, parameters, report;
  bool station = false;
  Language language = Language::English;
};

bool Parse(const Args& args, FlashOptions& o, std::string& error) {
  std::vector<std::string> operands;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](const std::string& name, std::string& out) {
      if (a == name) {
        if (i + 1 >= args.size()) {
          error = name + " needs a value";
          return false;
        }
        out = args[++i];
        return true;
      }
      if (!a.starts_with(name + "=")) return false;
      out = a.substr(name.size() + 1);
      return true;
    };
    std::string v;
    if (value("--port", v)) {
      if (!AskForPortZero(v, error, o.language)) return false;
      o.ports.push_back(v);
    } else if (value("--params", o.parameters) || value("--report", o.report)) {
    } else if (value("--lang", v)) {
      if (v != "tr" && v != "en") {
        error = "--lang takes tr or en";
        return false;
      }
      o.language = v == "en" ? Language::English : Language::Turkish;
    } else if (a == "--station") {
      o.station = true;
    } else if (!error.empty()) {
      return false;
    } else if (a.starts_with("--") && a.size() > 2) {
      error = "unknown option " + a;
      return false;
    } else {
      operands.push_back(a);
    }
    if (!error.empty()) return false;
  }
  if (o.ports.empty()) {
    error = "--port DEV is required (a port number or a device path)";
  } else if (operands.size() != 1) {
    error = "one program file expected";
  } else {
    o.program = operands[0];
  }
  return error.empty();
}

std::string Line(const FlashResult& r, bool station, Language language) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s",
                std::chrono::duration<double>(r.duration).count());
  std::string line = r.port;
  if (station) line += " #" + std::to_string(r.number);
  line += Pick(r.passed ? kPassed : kFailedRun, language);
  line += seconds;
  if (!r.passed) line += "  " + Reason(r, language);
  return line;
}

// The record, rewritten whole after every driver, so that it holds every driver so far
// whatever ends the run.
class Record {
 public:
  Record(const FlashOptions& o) : path_(o.report), info_{o.program, o.parameters, o.language} {}

  bool Add(const FlashResult& r) {
    results_.push_back(r);
    if (path_.empty()) return true;
    std::string why;
    if (WriteFileAtomically(path_, Report(path_, info_, results_), why)) return true;
    std::fprintf(stderr, "kivra flash: %s\n", why.c_str());
    failed_ = true;
    return false;
  }
  bool Failed() const { return failed_; }

 private:
  std::string path_;
  RunInfo info_;
  std::vector<FlashResult> results_;
  bool failed_ = false;
};

}  // namespace

int RunFlash(const Args& args) {
  if (HelpAsked(args, kUsage)) return 0;
  FlashOptions o;
  std::string error;
  if (!Parse(args, o, error)) {
    std::fprintf(stderr, "kivra flash: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  const Language language = o.language;

  // The program is checked once, before any driver is touched.
  std::string reason;
  const auto bytes = ReadFileBytes(o.program, FileKind::Program, language, reason);
  if (!bytes) {
    std::fprintf(stderr, "kivra flash: %s\n", reason.c_str());
    return 2;
  }
  const auto check = compiler::Compile(ProgramLines(*bytes), language, LocalClock());
  if (!check.programValid) {
    PrintCheck(std::cerr, check, false);
    std::fprintf(stderr, "%s\n", Pick(kNoValidProgram, language).data());
    return 2;
  }
  FlashJob job;
  job.code = check.code;
  job.vectors = check.vectorTable;
  job.programPath = o.program;
  if (!o.parameters.empty()) {
    const auto text = ReadFileBytes(o.parameters, FileKind::Parameters, language, reason);
    if (!text) {
      std::fprintf(stderr, "kivra flash: %s\n", reason.c_str());
      return 2;
    }
    ParsedFile f = ParseParameterFile(*text);
    if (f.error) {
      std::fprintf(stderr, "%s: %s\n", o.parameters.c_str(), Describe(*f.error, language).c_str());
      return 2;
    }
    job.parameters = std::move(f.set);
  }

  const StopSignal stop(std::string(Pick(kStopAfterDrivers, language)), language);
  const SessionFactory open = [&](const std::string& port, std::string& why) {
    return OpenLinkSession(port, {.language = language, .stop = &stop}, why);
  };
  Record record(o);
  const auto print = [&](const FlashResult& r) {
    std::printf("%s\n", Line(r, o.station, language).c_str());
    std::fflush(stdout);
    record.Add(r);
  };

  int passed = 0, failed = 0;
  if (o.station) {
    const StationEvents events{
        [&](const std::string& port) {
          std::fprintf(stderr, "%s\n", Fill(kWaitingAt, language, {port}).c_str());
        },
        print,
        [&](const std::string& port) {
          std::fprintf(stderr, "%s\n", Fill(kTakeAway, language, {port}).c_str());
        }};
    const StationCounts counts = RunStations(o.ports, open, job, stop, events);
    passed = counts.passed;
    failed = counts.failed;
  } else {
    for (const FlashResult& r : FlashPorts(o.ports, open, job, stop, print))
      ++(r.passed ? passed : failed);
  }
  std::fprintf(
      stderr, "%s\n",
      Fill(kPassedFailed, language, {std::to_string(passed), std::to_string(failed)}).c_str());
  return failed == 0 && !record.Failed() && (passed > 0 || o.station) ? 0 : 1;
}

}  // namespace kivra::cli
