// Whole-or-nothing file writes on Windows: a temporary file beside the target, flushed to
// the disk, then ReplaceFileW, which keeps the old file's attributes and security, or
// MoveFileExW for a new file. Names are UTF-8, passed to the system as wide characters.

#include <windows.h>

#include <algorithm>
#include <random>

#include "common/atomic_file.h"
#include "common/win32_text.h"

namespace kivra {
namespace {

bool Fail(std::string& reason, const std::string& what, DWORD error) {
  reason = what + ": " + win32::ErrorText(error);
  return false;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& reason) {
  const std::wstring target = win32::WideFromUtf8(path);
  std::random_device random;
  std::wstring temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; file == INVALID_HANDLE_VALUE; ++attempt) {
    temporary = target + L".tmp" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(random());
    file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_EXISTS || attempt > 100) return Fail(reason, path, error);
    }
  }
  if (!WriteAll(file, bytes) || !FlushFileBuffers(file)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    DeleteFileW(temporary.c_str());
    return Fail(reason, path, error);
  }
  CloseHandle(file);
  const bool exists = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
  // ReplaceFileW refuses a target that is not there; a new file is simply moved in place.
  const bool replaced = exists
                            ? ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                            : MoveFileExW(temporary.c_str(), target.c_str(),
                                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!replaced) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    return Fail(reason, path, error);
  }
  return true;
}

}  // namespace kivra
