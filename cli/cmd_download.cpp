// kivra download --port DEV [--lang tr|en] PROGRAM
// Checks the program, printing the check's messages, then writes it into the driver.

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "cli/link_session.h"
#include "compiler/compile.h"
#include "link/texts.h"

namespace kivra::cli {
namespace {

compiler::Timestamp Now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char date[32], time[32];
  std::strftime(date, sizeof date, "%d.%m.%Y", &tm);
  std::strftime(time, sizeof time, "%H:%M:%S", &tm);
  return {date, time};
}

}  // namespace

int RunDownload(const Args& args) {
  LinkOptions options;
  std::string error;
  if (!ParseLinkOptions(args, options, error) || options.operands.size() != 1) {
    std::fprintf(stderr, "kivra download: %s\nusage: kivra download --port DEV [--lang tr|en] PROGRAM\n",
                 error.empty() ? "one program file expected" : error.c_str());
    return 2;
  }
  const std::string& path = options.operands[0];
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "kivra download: cannot read %s\n", path.c_str());
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  const auto result = compiler::Compile(compiler::SplitLines(text.str()),
                                        options.english ? compiler::Language::English : compiler::Language::Turkish, Now);
  std::fputs(result.messages.c_str(), stdout);
  std::fflush(stdout);

  LinkSession session(options);
  if (!session.Open()) return 1;
  link::LinkEngine& engine = session.Engine();
  engine.StartDownload(result.programValid, result.code, result.vectorTable, path);
  if (engine.Download() != link::DownloadResult::Running) return 1;  // "No valid program!"
  session.RunUntil([&] { return engine.Download() != link::DownloadResult::Running; });
  if (engine.Download() == link::DownloadResult::Running) {
    // Interrupted: the driver holds an incomplete program.
    session.Window().HideProgress();
    std::fprintf(stderr, "%s\n", std::string(link::Tr(link::Text::DownloadError, options.english)).c_str());
    return 1;
  }
  return engine.Download() == link::DownloadResult::Succeeded ? 0 : 1;
}

}  // namespace kivra::cli
