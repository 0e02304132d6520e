#include <cerrno>
#include <cwchar>

#include "common/file_path.h"
#include "common/win32_text.h"

namespace kivra {

std::FILE* OpenFile(const std::string& utf8Path, const char* mode) {
  const std::wstring wideMode = win32::WideFromUtf8(mode);
  return _wfopen(win32::WideFromUtf8(utf8Path).c_str(), wideMode.c_str());
}

}  // namespace kivra
