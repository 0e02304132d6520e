// kivra check [--lang en|tr] [--listing] PROGRAM

#include <iostream>

#include "cli/commands.h"
#include "cli/program_input.h"

namespace kivra::cli {
namespace {

constexpr const char* kUsage = "usage: kivra check [--lang en|tr] [--listing] PROGRAM\n";

int UsageError(std::ostream& err, const std::string& reason) {
  err << "kivra check: " << reason << '\n' << kUsage;
  return 2;
}

}  // namespace

int CheckProgram(const Args& args, std::ostream& out, std::ostream& err,
                 const compiler::Clock& clock) {
  auto language = compiler::Language::English;
  bool listing = false;
  std::optional<std::string> path;
  bool optionsDone = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsDone && (a == "-h" || a == "--help")) {
      out << kUsage;
      return 0;
    }
    if (!optionsDone && a == "--") {
      optionsDone = true;
    } else if (!optionsDone && a == "--listing") {
      listing = true;
    } else if (!optionsDone && (a == "--lang" || a.rfind("--lang=", 0) == 0)) {
      std::string value;
      if (a == "--lang") {
        if (i + 1 == args.size()) return UsageError(err, "--lang needs en or tr");
        value = args[++i];
      } else {
        value = a.substr(7);
      }
      const auto parsed = ParseLanguage(value);
      if (!parsed) return UsageError(err, "unknown language '" + value + "' (en or tr)");
      language = *parsed;
    } else if (!optionsDone && a.size() > 1 && a[0] == '-') {
      return UsageError(err, "unknown option '" + a + "'");
    } else if (path) {
      return UsageError(err, "more than one program given");
    } else {
      path = a;
    }
  }
  if (!path) return UsageError(err, "no program given");

  std::string reason;
  const auto bytes = ReadFileBytes(*path, FileKind::Program, language, reason);
  if (!bytes) {
    err << "kivra check: " << reason << '\n';
    return 2;
  }
  const auto result = compiler::Compile(ProgramLines(*bytes), language, clock);
  PrintCheck(out, result, listing);
  return result.errorCount == 0 ? 0 : 1;
}

int RunCheck(const Args& args) {
  return CheckProgram(args, std::cout, std::cerr, LocalClock());
}

}  // namespace kivra::cli
