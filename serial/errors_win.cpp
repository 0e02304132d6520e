// The system's side of the component's errors on Windows: codes are GetLastError()
// numbers, as the component's error table counts them (2 and 3: no such device, 5: the
// port is held by another program).

#include <windows.h>

#include "common/win32_text.h"
#include "serial/errors.h"

namespace kivra::serial {

std::string SystemErrorMessage(int err) {
  std::string out = win32::ErrorText(static_cast<unsigned long>(err));
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return out;
}

EPermissionDenied::EPermissionDenied(int code, const std::string& device)
    : EOpenComm(code, "Permission denied for " + device) {}

void RaiseOpenError(int err, const std::string& device) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_INVALID_NAME:
      throw EBadId();
    // Windows opens a port for one program at a time: a second open is refused with
    // "access denied" (or a sharing violation), which means the port is in use.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
      throw EAlreadyOpen();
    case ERROR_INVALID_FUNCTION:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_SUPPORTED:
    case ERROR_PIPE_BUSY:
      throw ENotSerialDevice(device);
    default:
      break;
  }
  // Codes above the file errors have no class of their own; the system's words say more
  // than "Serial port exception".
  if (err > 0 && err <= 162) RaiseError(-err);
  throw EOSError(-err, device + ": " + SystemErrorMessage(err));
}

}  // namespace kivra::serial
