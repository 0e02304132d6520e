// kivra params read|write|diff --port DEV [--lang tr|en] FILE
// A driver's settings and parameters to a file, from a file (verified), compared with a file.

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/link_session.h"
#include "cli/program_input.h"
#include "cli/stop_signal.h"
#include "common/atomic_file.h"
#include "params/link_session.h"
#include "params/param_file.h"
#include "params/transfer.h"

namespace kivra::cli {
namespace {

using namespace params;

constexpr const char* kUsage =
    "usage: kivra params read --port DEV [--lang tr|en] FILE\n"
    "       kivra params write --port DEV [--lang tr|en] FILE\n"
    "       kivra params diff --port DEV [--lang tr|en] FILE\n";

std::string Say(bool english, const std::string& en, const std::string& tr) {
  return english ? en : tr;
}

void Print(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
}

std::string Names(const std::vector<std::size_t>& items) {
  std::string s;
  for (std::size_t i : items) s += (s.empty() ? "" : ", ") + std::string(Items()[i].name);
  return s;
}

// "Stopped at writing prm12: the driver does not answer."
std::string StoppedAt(const StepsResult& r, bool english) {
  const std::string step = r.stoppedAt ? Describe(*r.stoppedAt, english) : std::string();
  if (r.outcome == Outcome::Interrupted)
    return Say(english, "Interrupted before " + step + ".", step + " öncesinde kesildi.");
  return Say(english, "Stopped at " + step + ": ", step + " sırasında durdu: ") +
         Describe(r.outcome, english) + ".";
}

// Progress of a long write on a terminal, one line that counts up.
std::function<void(std::size_t, std::size_t)> Progress(bool english) {
  if (!IsTerminal(stderr)) return {};
  return [english](std::size_t done, std::size_t total) {
    std::fprintf(stderr, "\r%s %zu/%zu", english ? "Parameters" : "Parametreler", done, total);
    if (done == total) std::fputc('\n', stderr);
    std::fflush(stderr);
  };
}

std::optional<ParameterSet> LoadFile(const std::string& path, bool english) {
  std::string reason;
  const auto bytes = ReadFileBytes(path, FileKind::Parameters, LanguageOf(english), reason);
  if (!bytes) {
    Print("kivra params: " + reason);
    return std::nullopt;
  }
  ParsedFile f = ParseParameterFile(*bytes);
  if (f.error) {
    Print(path + ": " + Describe(*f.error, english));
    Print(Say(english, "Nothing was sent to the driver.", "Sürücüye hiçbir şey gönderilmedi."));
    return std::nullopt;
  }
  return std::move(f.set);
}

int Read(DriverSession& session, const std::string& path, const StopSignal& stop, bool english) {
  const ReadResult r =
      ReadParameterSet(session, {.stop = &stop, .stopBetweenSteps = true, .progress = {}});
  if (r.steps.outcome != Outcome::Done) {
    Print(StoppedAt(r.steps, english) + Say(english, " Nothing was written to ", " Yazılmadı: ") +
          path);
    return 1;
  }
  for (const Step& s : r.steps.skipped)
    Print(Say(english, "No answer when " + Describe(s, english) + "; the file goes without them.",
              Describe(s, english) + ": cevap yok; dosyada yer almıyor."));
  const auto refused = RefusedValues(r.set);
  if (!refused.empty())
    Print(
        Say(english,
            "The driver holds values the window would not send; they are comments in the file: ",
            "Sürücüde pencerenin göndermeyeceği değerler var; dosyada açıklama olarak duruyor: ") +
        Names(refused));
  std::string why;
  if (!WriteFileAtomically(path, FormatParameterFile(r.set), why)) {
    Print("kivra params: " + why);
    return 1;
  }
  Print(Say(
      english,
      std::to_string(r.set.Count()) + " values read from " + session.Port() + " into " + path + ".",
      std::to_string(r.set.Count()) + " değer " + session.Port() + " portundan " + path +
          " dosyasına okundu."));
  return 0;
}

int Write(DriverSession& session, const ParameterSet& set, const StopSignal& stop, bool english) {
  const auto missing = Missing(set);
  if (!missing.empty())
    Print(Say(english, "Not in the file, left as they are on the driver: ",
              "Dosyada yok, sürücüde olduğu gibi kalıyor: ") +
          Names(missing));
  const std::size_t writes = WritePlan(set).size();
  const WriteResult w = WriteParameterSet(
      session, set, {.stop = &stop, .stopBetweenSteps = true, .progress = Progress(english)});
  if (w.steps.outcome != Outcome::Done) {
    // The first step waits for the driver; the writes follow it.
    const std::size_t written = std::min(writes, w.steps.done > 0 ? w.steps.done - 1 : 0);
    Print(StoppedAt(w.steps, english));
    Print(written == writes && writes > 0
              ? Say(english,
                    "All " + std::to_string(writes) +
                        " values were written; they could not be verified.",
                    std::to_string(writes) + " değerin hepsi yazıldı; doğrulanamadı.")
              : Say(english,
                    std::to_string(written) + " of " + std::to_string(writes) +
                        " values were written; nothing was verified.",
                    std::to_string(writes) + " değerden " + std::to_string(written) +
                        " tanesi yazıldı; hiçbiri doğrulanmadı."));
    return 1;
  }
  for (const Difference& d : w.differences) {
    const Item& item = Items()[d.item];
    const std::string held = d.driver ? FormatValue(item, *d.driver) : "?";
    std::printf("%s\n", Say(english,
                            std::string(item.name) + ": written " + FormatValue(item, d.file) +
                                ", the driver holds " + held,
                            std::string(item.name) + ": " + FormatValue(item, d.file) +
                                " yazıldı, sürücüdeki " + held)
                            .c_str());
  }
  if (!w.differences.empty()) {
    Print(Say(english,
              std::to_string(w.differences.size()) + " of " + std::to_string(writes) +
                  " values did not take.",
              std::to_string(writes) + " değerden " + std::to_string(w.differences.size()) +
                  " tanesi tutmadı."));
    return 1;
  }
  Print(Say(english, std::to_string(writes) + " values written and verified.",
            std::to_string(writes) + " değer yazıldı ve doğrulandı."));
  return 0;
}

int Diff(DriverSession& session, const ParameterSet& set, const StopSignal& stop, bool english) {
  const DiffResult d =
      DiffWithDriver(session, set, {.stop = &stop, .stopBetweenSteps = true, .progress = {}});
  if (d.steps.outcome != Outcome::Done) {
    Print(StoppedAt(d.steps, english));
    return 2;
  }
  const auto missing = Missing(set);
  if (!missing.empty())
    Print(Say(english, "Not in the file, not compared: ", "Dosyada yok, karşılaştırılmadı: ") +
          Names(missing));
  if (set.programName && d.driver.programName && *set.programName != *d.driver.programName)
    Print(Say(english,
              "The file was read from a driver holding " + *set.programName + "; this one holds ",
              "Dosya " + *set.programName + " programlı bir sürücüden okunmuştu; bu sürücüdeki ") +
          *d.driver.programName);
  for (const Difference& x : d.differences) {
    const Item& item = Items()[x.item];
    const std::string held = x.driver ? FormatValue(item, *x.driver) : "?";
    std::printf(
        "%s\n",
        Say(english,
            std::string(item.name) + ": file " + FormatValue(item, x.file) + ", driver " + held,
            std::string(item.name) + ": dosya " + FormatValue(item, x.file) + ", sürücü " + held)
            .c_str());
  }
  if (d.differences.empty()) {
    Print(Say(english, "The driver holds every value of the file.",
              "Sürücü dosyadaki bütün değerleri taşıyor."));
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
  const bool english = options.english;
  if (command != "read" && command != "write" && command != "diff") {
    std::fprintf(stderr, "kivra params: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
  }
  std::optional<ParameterSet> set;
  if (command != "read") {
    set = LoadFile(path, english);
    if (!set) return 2;
  }
  const StopSignal stop(
      Say(english, "Stopping after the current exchange; Ctrl+C again stops at once.",
          "Geçerli işlemden sonra durulacak; hemen durmak için yine Ctrl+C."),
      english);
  std::string why;
  const auto session = OpenLinkSession(options.port, {.english = english, .stop = &stop}, why);
  if (!session) {
    Print(why);
    return command == "diff" ? 2 : 1;
  }
  if (command == "read") return Read(*session, path, stop, english);
  if (command == "write") return Write(*session, *set, stop, english);
  return Diff(*session, *set, stop, english);
}

}  // namespace kivra::cli
