#include "serial/errors.h"

#include <cerrno>
#include <cstring>

namespace kivra::serial {
namespace {

struct Message {
  int code;
  const char* text;
};

constexpr Message kMessages[] = {
    {ErrBadId, "Specified port doesn't exist"},
    {ErrCommNotOpen, "Device not open"},
    {ErrAlreadyOpen, "Device already open"},
    {ErrNoPortSelected, "The port number has not been set"},
    {ErrPutBlockFail, "Failed to put entire block"},
    {ErrOutputBufferTooSmall, "Output buffer too small for block"},
    {ErrBufferIsEmpty, "Buffer is empty"},
};

// Codes -1 to -162 are negated system error numbers (every errno value, every Win32 file
// error); other codes without a class of their own are the component's.
constexpr int kLastSystemError = 162;

bool IsSystemError(int code) {
  return code < 0 && -code <= kLastSystemError;
}

// strerror_r comes in two shapes: the GNU one returns the text, the POSIX one fills buf.
[[maybe_unused]] const char* StrerrorResult(const char* text, const char*) {
  return text;
}
[[maybe_unused]] const char* StrerrorResult(int rc, const char* buf) {
  return rc == 0 ? buf : "Unknown error";
}

std::string SystemMessage(int err) {
  char buf[256] = "";
  const char* text = StrerrorResult(strerror_r(err, buf, sizeof buf), buf);
  std::string out = text ? text : "";
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return out;
}

}  // namespace

std::string ErrorText(int code) {
  for (const auto& m : kMessages) {
    if (m.code == code) return m.text;
  }
  if (IsSystemError(code)) return SystemMessage(-code);
  return "Serial port exception";
}

EPermissionDenied::EPermissionDenied(int code, const std::string& device)
    : EOpenComm(code, "Permission denied for " + device +
                          ": the user must be a member of the 'dialout' group "
                          "(sudo usermod -aG dialout $USER, then log in again)") {}

void RaiseError(int code) {
  switch (code) {
    case ErrBadId:
      throw EBadId();
    case ErrCommNotOpen:
      throw ECommNotOpen();
    case ErrAlreadyOpen:
      throw EAlreadyOpen();
    case ErrNoPortSelected:
      throw ENoPortSelected();
    case ErrPutBlockFail:
      throw EPutBlockFail();
    case ErrOutputBufferTooSmall:
      throw EOutputBufferTooSmall();
    case ErrBufferIsEmpty:
      throw EBufferIsEmpty();
    default:
      break;
  }
  if (IsSystemError(code)) throw EOSError(code);
  throw ESerialPortError(code);
}

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
