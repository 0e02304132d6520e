// The Windows side of the serial component: device names, the errors of a failed open,
// and what is refused as no serial device. Run under wine by the project's Windows stage.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "serial/device.h"
#include "serial/errors.h"
#include "serial/port_list.h"
#include "serial/serial_port.h"

namespace kivra::serial {
namespace {

TEST(Win32Device, PortNumbersOpenTheirDeviceNamespaceName) {
  EXPECT_EQ(SystemDevicePath(PortName::Number(1)), "\\\\.\\COM1");
  EXPECT_EQ(SystemDevicePath(PortName::Number(10)), "\\\\.\\COM10");
  EXPECT_EQ(SystemDevicePath(PortName::Number(255)), "\\\\.\\COM255");
  EXPECT_EQ(OperatingSystemName().rfind("Windows", 0), 0u) << OperatingSystemName();
}

TEST(Win32Device, SystemErrorsBecomeTheComponentsErrors) {
  const auto raised = [](int error) -> std::pair<int, std::string> {
    try {
      RaiseOpenError(error, "\\\\.\\COM7");
    } catch (const ESerialPortError& e) {
      return {e.ErrorCode(), e.what()};
    }
    return {0, ""};
  };
  const struct {
    int error;
    int code;
    const char* text;
  } cases[] = {
      {ERROR_FILE_NOT_FOUND, -2001, "Specified port doesn't exist"},
      {ERROR_PATH_NOT_FOUND, -2001, "Specified port doesn't exist"},
      {ERROR_ACCESS_DENIED, -2008, "Device already open"},
      {ERROR_SHARING_VIOLATION, -2008, "Device already open"},
      {ERROR_INVALID_FUNCTION, -2001, "\\\\.\\COM7 is not a serial device"},
  };
  for (const auto& c : cases) {
    const auto [code, text] = raised(c.error);
    EXPECT_EQ(code, c.code) << c.error;
    EXPECT_EQ(text, c.text) << c.error;
  }
  // Others carry the system's own words, one line.
  const auto [code, text] = raised(ERROR_SEM_TIMEOUT);
  EXPECT_EQ(code, -ERROR_SEM_TIMEOUT);
  EXPECT_FALSE(ErrorText(-ERROR_SEM_TIMEOUT).empty());
  EXPECT_EQ(text.find('\n'), std::string::npos) << text;
}

TEST(Win32Device, OpensOnlySerialDevices) {
  const auto openError = [](const std::string& path) -> std::string {
    try {
      OpenSystemDevice(path, PortSettings::DriverLink());
    } catch (const EBadId& e) {
      return std::string("EBadId: ") + e.what();
    } catch (const ESerialPortError& e) {
      return e.what();
    }
    return "opened";
  };
  EXPECT_EQ(openError("\\\\.\\COM200"), "EBadId: Specified port doesn't exist");
  EXPECT_FALSE(DevicePresent("\\\\.\\COM200"));

  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("kivra-port-" + std::to_string(GetCurrentProcessId()));
  std::ofstream(file) << "not a port";
  EXPECT_EQ(openError(file.string()), "EBadId: " + file.string() + " is not a serial device");
  std::filesystem::remove(file);

  const std::string pipeName = "\\\\.\\pipe\\kivra-test-" + std::to_string(GetCurrentProcessId());
  const HANDLE pipe =
      CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 64, 64, 0, nullptr);
  ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  EXPECT_EQ(openError(pipeName), "EBadId: " + pipeName + " is not a serial device");
  CloseHandle(pipe);
}

TEST(Win32Device, APortThatDoesNotOpenLeavesTheComponentClosed) {
  SerialPort port(PortSettings::DriverLink());
  port.SetComNumber(200);
  EXPECT_THROW(port.SetOpen(true), EBadId);
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.GetInBufferUsed(), 0u);
  // The list reads the registry and Device Manager; whatever this machine has, each entry
  // is a COM port by number.
  for (const PortInfo& p : ListSerialPorts()) {
    EXPECT_NE(p.comNumber, 0) << p.path;
    EXPECT_EQ(p.path, "COM" + std::to_string(p.comNumber));
  }
}

}  // namespace
}  // namespace kivra::serial
