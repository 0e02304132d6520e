// kivra download --port DEV [--lang tr|en] PROGRAM
// Checks the program, printing the check as `kivra check` does, then writes it into the driver.

#include <cstdio>
#include <iostream>

#include "cli/commands.h"
#include "cli/link_session.h"
#include "cli/program_input.h"
#include "common/texts.h"
#include "compiler/compile.h"

namespace kivra::cli {

constexpr const char* kUsage = "usage: kivra download --port DEV [--lang tr|en] PROGRAM\n";

int RunDownload(const Args& args) {
  if (HelpAsked(args, kUsage)) return 0;
  LinkOptions options;
  std::string error;
  if (!ParseLinkOptions(args, options, error) || options.operands.size() != 1) {
    std::fprintf(stderr, "kivra download: %s\n%s",
                 error.empty() ? "one program file expected" : error.c_str(), kUsage);
    return 2;
  }
  const std::string& path = options.operands[0];
  std::string reason;
  const Language language = options.language;
  const auto bytes = ReadFileBytes(path, FileKind::Program, language, reason);
  if (!bytes) {
    std::fprintf(stderr, "kivra download: %s\n", reason.c_str());
    return 2;
  }
  const auto result = compiler::Compile(ProgramLines(*bytes), language, LocalClock());
  PrintCheck(std::cout, result, false);
  std::cout.flush();

  LinkSession session(options);
  if (!session.Open()) return 1;
  link::LinkEngine& engine = session.Engine();
  engine.Download({result.programValid, result.code, result.vectorTable, path});
  if (engine.Progress().download != link::DownloadResult::Running) return 1;  // "No valid program!"
  session.RunUntil([&] { return engine.Progress().download != link::DownloadResult::Running; });
  if (engine.Progress().download == link::DownloadResult::Running) {
    // Interrupted: the driver holds an incomplete program.
    session.Report().EndProgress();
    std::fprintf(stderr, "%s\n", texts::Pick(texts::kDownloadError, language).data());
    return 1;
  }
  return engine.Progress().download == link::DownloadResult::Succeeded ? 0 : 1;
}

}  // namespace kivra::cli
