#include <cstdlib>

#include "common/file_path.h"
#include "common/state_folder.h"

namespace kivra {
namespace {

// A base folder is taken only when it is absolute: relative ones are ignored.
std::optional<std::filesystem::path> AbsoluteFolder(const Environment& env, const char* name) {
  const std::optional<std::string> value = env(name);
  if (!value || value->empty()) return std::nullopt;
  std::filesystem::path path = PathFromUtf8(*value);
  if (!path.is_absolute()) return std::nullopt;
  return path;
}

}  // namespace

std::optional<std::string> SystemVariable(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string(value);
}

std::optional<std::filesystem::path> StateFolder(const Environment& env) {
  if (const auto base = AbsoluteFolder(env, "XDG_STATE_HOME")) return *base / "kivra-ps";
  if (const auto home = AbsoluteFolder(env, "HOME")) return *home / ".local" / "state" / "kivra-ps";
  return std::nullopt;
}

}  // namespace kivra
