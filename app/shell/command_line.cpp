#include "app/shell/command_line.h"

#include <filesystem>
#include <system_error>

#include "common/file_path.h"
#include "common/version.h"

namespace kivra::app {
namespace {

// The options' lines that differ by system: Windows has no simulated driver (it needs a
// pseudo-terminal) and keeps state in the local application data.
#ifdef _WIN32
constexpr const char* kSimulatedDriverOption = "";
constexpr const char* kStateFolderOption =
    "  --log-to-state-folder    write the serial log SERIAL.LOG into %LOCALAPPDATA%\\kivra-ps\n"
    "                           instead of the working directory\n";
constexpr const char* kNoStateFolder = "LOCALAPPDATA names no folder";
#else
constexpr const char* kSimulatedDriverOption =
    "  --simulated-driver       connect to the simulated driver for this run; the stored\n"
    "                           port stays as it is\n";
constexpr const char* kStateFolderOption =
    "  --log-to-state-folder    write the serial log SERIAL.LOG into $XDG_STATE_HOME/kivra-ps\n"
    "                           (~/.local/state/kivra-ps) instead of the working directory\n";
constexpr const char* kNoStateFolder = "neither XDG_STATE_HOME nor HOME names a folder";
#endif

std::string Help() {
  return std::string(
             "usage: kivra-ps [options] [FILE]\n"
             "\n"
             "Writes, checks and downloads programs for the Kivra-PS stepper-motor driver, and\n"
             "watches and controls the driver over its serial line.\n"
             "\n"
             "  FILE                     open this program file (.KV3) at start\n") +
         kSimulatedDriverOption + kStateFolderOption +
         "  -h, --help               this text\n"
         "  --version                the version\n"
         "\n"
         "The standard Qt options (-platform, -style, ...) work as well. \"man kivra-ps\" tells "
         "more.\n";
}

}  // namespace

std::optional<std::string> TextInsteadOfWindow(const std::vector<std::string_view>& args) {
  for (const std::string_view a : args) {
    if (a == "--") break;
    if (a == "--help" || a == "-h" || a == "-?") return Help();
    if (a == "--version") {
      return "kivra-ps (" + std::string(kProductName) + ") " + std::string(kProductVersion) + "\n";
    }
  }
  return std::nullopt;
}

std::string PrepareStateLogFolder(const Environment& env, std::FILE* err) {
  const auto folder = StateFolder(env);
  if (!folder) {
    std::fprintf(err, "kivra-ps: %s; the serial log goes to the working directory\n",
                 kNoStateFolder);
    return {};
  }
  std::error_code ec;
  std::filesystem::create_directories(*folder, ec);
  const std::string name = Utf8FromPath(*folder);
  if (ec || !std::filesystem::is_directory(*folder)) {
    std::fprintf(err,
                 "kivra-ps: cannot create %s (%s); the serial log goes to the working directory\n",
                 name.c_str(), ec ? ec.message().c_str() : "not a folder");
    return {};
  }
  return name;
}

}  // namespace kivra::app
