#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/console.h"
#include "common/version.h"

namespace {

struct Command {
  std::string_view name;
  std::string_view synopsis;
  int (*run)(const kivra::cli::Args&);
};

// One row per command; each command's code is in cli/cmd_<name>.cpp.
constexpr Command kCommands[] = {
    {"check", "check [--lang en|tr] [--listing] PROGRAM", kivra::cli::RunCheck},
    {"sim", "sim [--link PATH] [--verbose] [settings]", kivra::cli::RunSim},
    {"download", "download --port DEV [--lang tr|en] PROGRAM", kivra::cli::RunDownload},
    {"status", "status --port DEV [--count N] [--csv FILE | --format csv|json] [--lang tr|en]",
     kivra::cli::RunStatus},
    {"monitor", "monitor --port DEV [--count N] [--no-status] [--lang tr|en]",
     kivra::cli::RunMonitor},
    {"send", "send --port DEV [--lang tr|en] COMMAND [VALUE]", kivra::cli::RunSend},
    {"params", "params read|write|diff --port DEV [--lang tr|en] FILE", kivra::cli::RunParams},
    {"flash",
     "flash --port DEV [--port DEV ...] [--params FILE] [--report FILE] [--station] PROGRAM",
     kivra::cli::RunFlash},
};

int Usage(std::FILE* out) {
  std::fputs("usage: kivra <command> [options]\n\ncommands:\n", out);
  for (const auto& c : kCommands) {
    if (c.run)
      std::fprintf(out, "  kivra %.*s\n", static_cast<int>(c.synopsis.size()), c.synopsis.data());
  }
  std::fputs(
      "\n  kivra --help        this text\n  kivra --version     the version\n"
      "\n\"man kivra\" describes every command and option.\n",
      out);
  return 2;
}

int Version() {
  std::printf("kivra (%.*s) %.*s\n", static_cast<int>(kivra::kProductName.size()),
              kivra::kProductName.data(), static_cast<int>(kivra::kProductVersion.size()),
              kivra::kProductVersion.data());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  kivra::cli::PrepareConsole();
  const std::vector<std::string> args = kivra::cli::Utf8Arguments(argc, argv);
  if (args.empty()) return Usage(stderr);
  const std::string_view name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    Usage(stdout);
    return 0;
  }
  if (name == "--version") return Version();
  for (const auto& c : kCommands) {
    if (c.run && c.name == name) return c.run(kivra::cli::Args(args.begin() + 1, args.end()));
  }
  std::fprintf(stderr, "kivra: unknown command '%s'\n", args[0].c_str());
  return Usage(stderr);
}
