#include "serial/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

namespace kivra::serial {
namespace {

// Raises `code` and reports what was caught, checking that the class belongs to the
// family the caller will catch.
template <typename Class, typename Base>
void ExpectRaised(int code, const char* text) {
  SCOPED_TRACE(code);
  try {
    RaiseError(code);
    FAIL() << "nothing raised";
  } catch (const Class& e) {
    EXPECT_EQ(e.ErrorCode(), code);
    EXPECT_STREQ(e.what(), text);
    EXPECT_NE(dynamic_cast<const Base*>(&e), nullptr);
    EXPECT_EQ(ErrorText(code), text);
  }
}

TEST(SerialErrors, CodesRaiseTheirClassesWithTheirTexts) {
  ExpectRaised<EBadId, EOpenComm>(-2001, "Specified port doesn't exist");
  ExpectRaised<ECommNotOpen, EOpenComm>(-2007, "Device not open");
  ExpectRaised<EAlreadyOpen, EOpenComm>(-2008, "Device already open");
  ExpectRaised<ENoPortSelected, EOpenComm>(-2011, "The port number has not been set");
  ExpectRaised<EPutBlockFail, ESerialIO>(-3004, "Failed to put entire block");
  ExpectRaised<EOutputBufferTooSmall, ESerialIO>(-3006, "Output buffer too small for block");
  ExpectRaised<EBufferIsEmpty, ESerialIO>(-3007, "Buffer is empty");
  ExpectRaised<ESerialPortError, ESerialPortError>(-9999, "Serial port exception");
  ExpectRaised<ESerialPortError, ESerialPortError>(-2002, "Serial port exception");
  ExpectRaised<ESerialPortError, ESerialPortError>(1, "Serial port exception");
}

TEST(SerialErrors, SystemErrorsCarryTheSystemText) {
  try {
    RaiseError(-EIO);
    FAIL();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), -EIO);
    EXPECT_EQ(std::string(e.what()), "Input/output error");
  }
  for (int err = 1; err < 140; ++err) {
    for (char c : ErrorText(-err)) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << err;
  }
}

TEST(SerialErrors, OpenFailuresSayWhatTheUserCanDo) {
  struct Case {
    int err;
    std::function<void(const ESerialPortError&)> check;
  };
  const auto code = [](int expected) {
    return [expected](const ESerialPortError& e) { EXPECT_EQ(e.ErrorCode(), expected); };
  };
  const Case cases[] = {
      {ENOENT, code(ErrBadId)},
      {ENXIO, code(ErrBadId)},
      {ENODEV, code(ErrBadId)},
      {ENOTTY,
       [](const ESerialPortError& e) {
         EXPECT_NE(dynamic_cast<const ENotSerialDevice*>(&e), nullptr);
         EXPECT_EQ(e.ErrorCode(), ErrBadId);
         EXPECT_STREQ(e.what(), "/dev/ttyUSB0 is not a serial device");
       }},
      {EBUSY, code(ErrAlreadyOpen)},
      {EWOULDBLOCK, code(ErrAlreadyOpen)},
      {EACCES,
       [](const ESerialPortError& e) {
         EXPECT_NE(dynamic_cast<const EPermissionDenied*>(&e), nullptr);
         EXPECT_EQ(e.ErrorCode(), -EACCES);
         const std::string text = e.what();
         EXPECT_NE(text.find("/dev/ttyUSB0"), std::string::npos) << text;
         EXPECT_NE(text.find("dialout"), std::string::npos) << text;
       }},
      {EPERM, code(-EPERM)},
      {EIO, code(-EIO)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    try {
      RaiseOpenError(c.err, "/dev/ttyUSB0");
      FAIL() << "nothing raised";
    } catch (const EOpenComm& e) {
      c.check(e);
    } catch (const ESerialPortError& e) {
      c.check(e);
    }
  }
}

}  // namespace
}  // namespace kivra::serial
