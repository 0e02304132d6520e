// Reading a file on Windows: the name is UTF-8, passed to the system as wide characters.
// What a name leads to is told by its attributes before it is opened (a folder, or a
// device name such as COM1 or NUL, which is never opened: a serial port raises its modem
// lines when opened); a disk file is opened for reading, and GetFileType confirms it is
// one, so a pipe or console is refused as a device rather than read.

#include <windows.h>

#include <algorithm>

#include "common/input_file.h"
#include "common/win32_text.h"

namespace kivra::os {
namespace {

OsFailure FailureOf(DWORD error) {
  const OsError kind =
      error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME
          ? OsError::Missing
      : error == ERROR_ACCESS_DENIED ? OsError::NoPermission
                                     : OsError::Other;
  return {kind, win32::ErrorText(error)};
}

HANDLE Handle(std::intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

}  // namespace

InputFile::~InputFile() {
  Close();
}

void InputFile::Close() {
  if (handle_ != -1) CloseHandle(Handle(handle_));
  handle_ = -1;
}

std::optional<OsFailure> InputFile::Open(const std::string& path) {
  Close();
  const std::wstring wide = win32::WideFromUtf8(path);
  // Device names ("COM1", "\\.\COM1", "NUL", "CON") and pipes ("\\.\pipe\x") are no files.
  if (wide.starts_with(L"\\\\.\\") || wide.starts_with(L"\\\\?\\GLOBALROOT")) {
    kind_ = wide.starts_with(L"\\\\.\\pipe\\") ? NodeKind::Fifo : NodeKind::Device;
    return std::nullopt;
  }
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &attributes)) {
    const DWORD error = GetLastError();
    // A reserved device name answers with no attributes of a file: it is a device.
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
        error != ERROR_ACCESS_DENIED) {
      kind_ = NodeKind::Device;
      return std::nullopt;
    }
    return FailureOf(error);
  }
  if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    kind_ = NodeKind::Folder;
    return std::nullopt;
  }
  if (attributes.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) {
    kind_ = NodeKind::Device;
    return std::nullopt;
  }
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FailureOf(GetLastError());
  switch (GetFileType(file)) {
    case FILE_TYPE_DISK:
      kind_ = NodeKind::Regular;
      break;
    case FILE_TYPE_PIPE:
      kind_ = NodeKind::Fifo;
      break;
    default:
      kind_ = NodeKind::Device;
      break;
  }
  if (kind_ != NodeKind::Regular) {
    CloseHandle(file);
    return std::nullopt;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    return FailureOf(error);
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  size_ = static_cast<std::uint64_t>(size.QuadPart);
  return std::nullopt;
}

std::optional<std::size_t> InputFile::Read(std::span<char> buffer, OsFailure& failure) {
  if (handle_ == -1) {
    failure = FailureOf(ERROR_INVALID_HANDLE);
    return std::nullopt;
  }
  DWORD got = 0;
  const DWORD want = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), 1u << 30));
  if (!ReadFile(Handle(handle_), buffer.data(), want, &got, nullptr)) {
    failure = FailureOf(GetLastError());
    return std::nullopt;
  }
  return static_cast<std::size_t>(got);
}

}  // namespace kivra::os
