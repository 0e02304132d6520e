#include <cstdlib>

#include "common/file_path.h"
#include "common/state_folder.h"
#include "common/win32_text.h"

namespace kivra {

std::optional<std::string> SystemVariable(const char* name) {
  const wchar_t* value = _wgetenv(win32::WideFromUtf8(name).c_str());
  if (!value) return std::nullopt;
  return win32::Utf8FromWide(value);
}

// The per-user folder for application data that stays on this machine.
std::optional<std::filesystem::path> StateFolder(const Environment& env) {
  const std::optional<std::string> value = env("LOCALAPPDATA");
  if (!value || value->empty()) return std::nullopt;
  const std::filesystem::path base = PathFromUtf8(*value);
  if (!base.is_absolute()) return std::nullopt;
  return base / "kivra-ps";
}

}  // namespace kivra
