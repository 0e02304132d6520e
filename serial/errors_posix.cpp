// The system's side of the component's errors on POSIX systems: errno values and their
// texts, and what a failed open means to the user.

#include <cerrno>
#include <cstring>

#include "serial/errors.h"

namespace kivra::serial {
namespace {

// strerror_r comes in two shapes: the GNU one returns the text, the POSIX one fills buf.
[[maybe_unused]] const char* StrerrorResult(const char* text, const char*) {
  return text;
}
[[maybe_unused]] const char* StrerrorResult(int rc, const char* buf) {
  return rc == 0 ? buf : "Unknown error";
}

}  // namespace

std::string SystemErrorMessage(int err) {
  char buf[256] = "";
  const char* text = StrerrorResult(strerror_r(err, buf, sizeof buf), buf);
  std::string out = text ? text : "";
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return out;
}

EPermissionDenied::EPermissionDenied(int code, const std::string& device)
    : EOpenComm(code, "Permission denied for " + device +
                          ": the user must be a member of the 'dialout' group "
                          "(sudo usermod -aG dialout $USER, then log in again)") {}

void RaiseOpenError(int err, const std::string& device) {
  switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
      throw EBadId();
    case ENOTTY:  // exists, but is no terminal device
      throw ENotSerialDevice(device);
    case EBUSY:
    case EWOULDBLOCK:  // the advisory lock is held
      throw EAlreadyOpen();
    case EACCES:
    case EPERM:
      throw EPermissionDenied(-err, device);
    default:
      RaiseError(-err);
  }
}

}  // namespace kivra::serial
