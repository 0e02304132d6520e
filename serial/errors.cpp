#include "serial/errors.h"

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

}  // namespace

std::string ErrorText(int code) {
  for (const auto& m : kMessages) {
    if (m.code == code) return m.text;
  }
  if (IsSystemError(code)) return SystemErrorMessage(-code);
  return "Serial port exception";
}

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

}  // namespace kivra::serial
