// kivra params read|write|diff --port DEV [--lang tr|en] FILE
// A driver's settings and parameters to a file, from a file (verified), compared with a file.

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/link_session.h"
#include "cli/program_input.h"
#include "cli/stop_signal.h"
#include "cli/texts.h"
#include "common/atomic_file.h"
#include "params/link_session.h"
#include "params/param_file.h"
#include "params/transfer.h"

namespace kivra::cli {
namespace {

using namespace params;
using namespace texts;

constexpr const char* kUsage =
    "usage: kivra params read --port DEV [--lang tr|en] FILE\n"
    "       kivra params write --port DEV [--lang tr|en] FILE\n"
    "       kivra params diff --port DEV [--lang tr|en] FILE\n";

void Print(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
}

std::string Names(const std::vector<std::size_t>& items) {
  std::string s;
  for (std::size_t i : items) s += (s.empty() ? "" : ", ") + std::string(Items()[i].name);
  return s;
}

// "Stopped at writing prm12: the driver does not answer."
std::string StoppedAt(const StepsResult& r, Language language) {
  const std::string step = r.stoppedAt ? Describe(*r.stoppedAt, language) : std::string();
  if (r.outcome == Outcome::Interrupted) return Fill(kInterruptedBefore, language, {step});
  return Fill(kStoppedAtStep, language, {step, Describe(r.outcome, language)});
}

// Progress of a long write on a terminal, one line that counts up.
std::function<void(std::size_t, std::size_t)> Progress(Language language) {
  if (!IsTerminal(stderr)) return {};
  return [language](std::size_t done, std::size_t total) {
    std::fprintf(stderr, "\r%s %zu/%zu", Pick(kParametersProgress, language).data(), done, total);
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

std::optional<ParameterSet> LoadFile(const std::string& path, Language language) {
  std::string reason;
  const auto bytes = ReadFileBytes(path, FileKind::Parameters, language, reason);
  if (!bytes) {
    Print("kivra params: " + reason);
    return std::nullopt;
  }
  ParsedFile f = ParseParameterFile(*bytes);
  if (f.error) {
    Print(path + ": " + Describe(*f.error, language));
    Print(std::string(Pick(kNothingSent, language)));
    return std::nullopt;
  }
  return std::move(f.set);
}

int Read(DriverSession& session, const std::string& path, const StopSignal& stop,
         Language language) {
  const ReadResult r =
      ReadParameterSet(session, {.stop = &stop, .stopBetweenSteps = true, .progress = {}});
  if (r.steps.outcome != Outcome::Done) {
    Print(StoppedAt(r.steps, language) + Fill(kNothingWrittenTo, language, {path}));
    return 1;
  }
  for (const Step& s : r.steps.skipped)
    Print(Fill(kNoAnswerWhen, language, {Describe(s, language)}));
  const auto refused = RefusedValues(r.set);
  if (!refused.empty()) Print(std::string(Pick(kHeldAsComments, language)) + Names(refused));
  std::string why;
  if (!WriteFileAtomically(path, FormatParameterFile(r.set), why)) {
    Print("kivra params: " + why);
    return 1;
  }
  Print(Fill(kValuesRead, language, {std::to_string(r.set.Count()), session.Port(), path}));
  return 0;
}

int Write(DriverSession& session, const ParameterSet& set, const StopSignal& stop,
          Language language) {
  const auto missing = Missing(set);
  if (!missing.empty()) Print(std::string(Pick(kLeftAsTheyAre, language)) + Names(missing));
  const std::size_t writes = WritePlan(set).size();
  const WriteResult w = WriteParameterSet(
      session, set, {.stop = &stop, .stopBetweenSteps = true, .progress = Progress(language)});
  if (w.steps.outcome != Outcome::Done) {
    // The first step waits for the driver; the writes follow it.
    const std::size_t written = std::min(writes, w.steps.done > 0 ? w.steps.done - 1 : 0);
    Print(StoppedAt(w.steps, language));
    Print(written == writes && writes > 0
              ? Fill(kAllWrittenUnverified, language, {std::to_string(writes)})
              : Fill(kSomeWritten, language, {std::to_string(written), std::to_string(writes)}));
    return 1;
  }
  for (const Difference& d : w.differences) {
    const Item& item = Items()[d.item];
    const std::string held = d.driver ? FormatValue(item, *d.driver) : "?";
    std::printf("%s\n",
                Fill(kWrittenHeld, language, {item.name, FormatValue(item, d.file), held}).c_str());
  }
  if (!w.differences.empty()) {
    Print(Fill(kDidNotTake, language,
               {std::to_string(w.differences.size()), std::to_string(writes)}));
    return 1;
  }
  Print(Fill(kWrittenAndVerified, language, {std::to_string(writes)}));
  return 0;
}

int Diff(DriverSession& session, const ParameterSet& set, const StopSignal& stop,
         Language language) {
  const DiffResult d =
      DiffWithDriver(session, set, {.stop = &stop, .stopBetweenSteps = true, .progress = {}});
  if (d.steps.outcome != Outcome::Done) {
    Print(StoppedAt(d.steps, language));
    return 2;
  }
  const auto missing = Missing(set);
  if (!missing.empty()) Print(std::string(Pick(kNotCompared, language)) + Names(missing));
  if (set.programName && d.driver.programName && *set.programName != *d.driver.programName)
    Print(Fill(kOtherProgram, language, {*set.programName}) + *d.driver.programName);
  for (const Difference& x : d.differences) {
    const Item& item = Items()[x.item];
    const std::string held = x.driver ? FormatValue(item, *x.driver) : "?";
    std::printf("%s\n",
                Fill(kFileDriver, language, {item.name, FormatValue(item, x.file), held}).c_str());
  }
  if (d.differences.empty()) {
    Print(std::string(Pick(kHoldsEveryValue, language)));
    return 0;
  }
  return 1;
}

}  // namespace

int RunParams(const Args& args) {
  if (HelpAsked(args, kUsage)) return 0;
  LinkOptions options;
  std::string error;
  if (!ParseLinkOptions(args, options, error) || options.operands.size() != 2) {
    std::fprintf(stderr, "kivra params: %s\n%s",
                 error.empty() ? "a command and one file expected" : error.c_str(), kUsage);
    return 2;
  }
  const std::string& command = options.operands[0];
  const std::string& path = options.operands[1];
  const Language language = options.language;
  if (command != "read" && command != "write" && command != "diff") {
    std::fprintf(stderr, "kivra params: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
  }
  std::optional<ParameterSet> set;
  if (command != "read") {
    set = LoadFile(path, language);
    if (!set) return 2;
  }
  const StopSignal stop(std::string(Pick(kStopAfterExchange, language)), language);
  std::string why;
  const auto session = OpenLinkSession(options.port, {.language = language, .stop = &stop}, why);
  if (!session) {
    Print(why);
    return command == "diff" ? 2 : 1;
  }
  if (command == "read") return Read(*session, path, stop, language);
  if (command == "write") return Write(*session, *set, stop, language);
  return Diff(*session, *set, stop, language);
}

}  // namespace kivra::cli
