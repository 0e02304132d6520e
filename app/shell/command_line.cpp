#include "app/shell/command_line.h"

#include <system_error>

#include "common/version.h"

namespace kivra::app {
namespace {

constexpr const char* kHelp =
    "usage: kivra-ps [options] [FILE]\n"
    "\n"
    "Writes, checks and downloads programs for the Kivra-PS stepper-motor driver, and\n"
    "watches and controls the driver over its serial line.\n"
    "\n"
    "  FILE                     open this program file (.KV3) at start\n"
    "  --simulated-driver       connect to the simulated driver for this run; the stored\n"
    "                           port stays as it is\n"
    "  --log-to-state-folder    write the serial log SERIAL.LOG into $XDG_STATE_HOME/kivra-ps\n"
    "                           (~/.local/state/kivra-ps) instead of the working directory\n"
    "  -h, --help               this text\n"
    "  --version                the version\n"
    "\n"
    "The standard Qt options (-platform, -style, ...) work as well. \"man kivra-ps\" tells more.\n";

}  // namespace

std::optional<std::string> TextInsteadOfWindow(const std::vector<std::string_view>& args) {
  for (const std::string_view a : args) {
    if (a == "--") break;
    if (a == "--help" || a == "-h" || a == "-?") return std::string(kHelp);
    if (a == "--version") {
      return "kivra-ps (" + std::string(kProductName) + ") " + std::string(kProductVersion) + "\n";
    }
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> StateFolder(const Environment& env) {
  const auto absolute = [&](const char* name) -> std::optional<std::filesystem::path> {
    const char* value = env(name);
    if (!value || !*value) return std::nullopt;
    std::filesystem::path path(value);
    if (!path.is_absolute()) return std::nullopt;
    return path;
  };
  if (const auto base = absolute("XDG_STATE_HOME")) return *base / "kivra-ps";
  if (const auto home = absolute("HOME")) return *home / ".local" / "state" / "kivra-ps";
  return std::nullopt;
}

std::string PrepareStateLogFolder(const Environment& env, std::FILE* err) {
  const auto folder = StateFolder(env);
  if (!folder) {
    std::fputs(
        "kivra-ps: neither XDG_STATE_HOME nor HOME names a folder; the serial log goes to the "
        "working directory\n",
        err);
    return {};
  }
  std::error_code ec;
  std::filesystem::create_directories(*folder, ec);
  if (ec || !std::filesystem::is_directory(*folder)) {
    std::fprintf(err,
                 "kivra-ps: cannot create %s (%s); the serial log goes to the working directory\n",
                 folder->c_str(), ec ? ec.message().c_str() : "not a folder");
    return {};
  }
  return folder->string();
}

}  // namespace kivra::app
