#pragma once

// The serial component reports every failure as an ESerialPortError carrying an integer
// code and a message. The codes the driver link can meet have classes of their own so
// that callers can catch exactly what they handle; the texts are the component's own and
// are shown to the user as they stand.

#include <stdexcept>
#include <string>

namespace kivra::serial {

enum ErrorCode : int {
  ErrBadId = -2001,
  ErrCommNotOpen = -2007,
  ErrAlreadyOpen = -2008,
  ErrNoPortSelected = -2011,
  ErrPutBlockFail = -3004,
  ErrOutputBufferTooSmall = -3006,
  ErrBufferIsEmpty = -3007,
};

// The text for a code: the component's own table first, then, for a negated system error
// number, the operating system's message with control characters blanked, otherwise
// "Serial port exception".
std::string ErrorText(int code);

// The operating system's message for its error number `err` (errno on POSIX systems,
// GetLastError() on Windows), control characters blanked.
std::string SystemErrorMessage(int err);

class ESerialPortError : public std::runtime_error {
 public:
  ESerialPortError(int code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  explicit ESerialPortError(int code) : ESerialPortError(code, ErrorText(code)) {}
  int ErrorCode() const { return code_; }

 private:
  int code_;
};

// Failures to open or reach the device.
class EOpenComm : public ESerialPortError {
 public:
  using ESerialPortError::ESerialPortError;
};

// Failures while moving data through an open port.
class ESerialIO : public ESerialPortError {
 public:
  using ESerialPortError::ESerialPortError;
};

// An operating-system error without a class of its own: the code is the negated system
// error number.
class EOSError : public ESerialPortError {
 public:
  using ESerialPortError::ESerialPortError;
};

class EBadId : public EOpenComm {
 public:
  EBadId() : EOpenComm(ErrBadId) {}

 protected:
  explicit EBadId(const std::string& message) : EOpenComm(ErrBadId, message) {}
};

// The device exists but is no serial port (a file, /dev/null): as a port it does not
// exist, and the text says what it is instead.
class ENotSerialDevice : public EBadId {
 public:
  explicit ENotSerialDevice(const std::string& device)
      : EBadId(device + " is not a serial device") {}
};

class ECommNotOpen : public EOpenComm {
 public:
  ECommNotOpen() : EOpenComm(ErrCommNotOpen) {}
};

class EAlreadyOpen : public EOpenComm {
 public:
  EAlreadyOpen() : EOpenComm(ErrAlreadyOpen) {}
};

class ENoPortSelected : public EOpenComm {
 public:
  ENoPortSelected() : EOpenComm(ErrNoPortSelected) {}
};

class EPutBlockFail : public ESerialIO {
 public:
  EPutBlockFail() : ESerialIO(ErrPutBlockFail) {}
};

class EOutputBufferTooSmall : public ESerialIO {
 public:
  EOutputBufferTooSmall() : ESerialIO(ErrOutputBufferTooSmall) {}
};

class EBufferIsEmpty : public ESerialIO {
 public:
  EBufferIsEmpty() : ESerialIO(ErrBufferIsEmpty) {}
};

// The device exists but this user may not open it. On Linux serial devices belong to the
// `dialout` group, and the text says so, since that is what the user has to change.
class EPermissionDenied : public EOpenComm {
 public:
  EPermissionDenied(int code, const std::string& device);
};

// Raises the exception that belongs to `code`: its class from the table above, EOSError
// for a negated system error number (-1 to -162), otherwise a plain ESerialPortError.
[[noreturn]] void RaiseError(int code);

// Turns a failed open of `device` with system error `err` into what the user should see:
// missing device, device held by someone else, no permission, or the system's own text.
[[noreturn]] void RaiseOpenError(int err, const std::string& device);

}  // namespace kivra::serial
