#include "common/port_name.h"

#include <gtest/gtest.h>

#include <sstream>

#include "serial/device.h"
#include "serial/port_prompt.h"

namespace kivra::serial {

void PrintTo(const PortName& p, std::ostream* os) {
  *os << "PortName(" << p.ToString() << ")";
}

namespace {

TEST(PortName, ParsesWhatUsersTypeAndSettingsHold) {
  struct Case {
    const char* text;
    std::optional<PortName> expected;
  };
  const Case cases[] = {
      {"1", PortName::Number(1)},
      {" 12 ", PortName::Number(12)},
      {"0", PortName::Number(0)},
      {"65535", PortName::Number(65535)},
      {"65536", std::nullopt},
      {"COM3", PortName::Number(3)},
      {"com4", PortName::Number(4)},
      {"COM", PortName::Device("/dev/COM")},
      {"COMx", std::nullopt},
      {"/dev/ttyUSB0", PortName::Device("/dev/ttyUSB0")},
      {"/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0",
       PortName::Device("/dev/serial/by-id/usb-FTDI_FT232R_A1-if00-port0")},
      {"ttyUSB1", PortName::Device("/dev/ttyUSB1")},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"-1", std::nullopt},
      {"1.5", std::nullopt},
      {"..", std::nullopt},
      {"tty USB0", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PortName::Parse(c.text), c.expected) << '"' << c.text << '"';
}

TEST(PortName, StoresShowsAndLocatesPorts) {
  struct Case {
    PortName port;
    std::string stored, shown, device;
  };
  const Case cases[] = {
      {PortName::Number(1), "1", "COM1", "/dev/ttyS0"},
      {PortName::Number(257), "257", "COM257", "/dev/ttyS256"},
      {PortName::Device("/dev/ttyACM0"), "/dev/ttyACM0", "/dev/ttyACM0", "/dev/ttyACM0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.port.ToString(), c.stored);
    EXPECT_EQ(PortName::Parse(c.port.ToString()), c.port);
    EXPECT_EQ(c.port.DisplayName(), c.shown);
    EXPECT_EQ(SystemDevicePath(c.port), c.device);
  }
}

TEST(PortPrompt, PicksFromTheListOrTakesANameAndCancelsOnEmpty) {
  const std::vector<PortInfo> ports = {
      {"/dev/ttyS0", "Serial port COM1", "", 1},
      {"/dev/ttyUSB0", "FT232R USB UART (FTDI)", "/dev/serial/by-id/usb-FTDI-port0", 0},
  };
  struct Case {
    const char* input;
    std::optional<PortName> expected;
  };
  const Case cases[] = {
      {"1\n", PortName::Number(1)},
      {"2\n", PortName::Device("/dev/serial/by-id/usb-FTDI-port0")},
      {"COM7\n", PortName::Number(7)},
      {"/dev/ttyACM0\n", PortName::Device("/dev/ttyACM0")},
      {"3\nwhat?\n0\nCOM0\n2\n", PortName::Device("/dev/serial/by-id/usb-FTDI-port0")},
      {"\n", std::nullopt},
      {"", std::nullopt},
      {"9\n", std::nullopt},  // no valid answer before the input ends
  };
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    std::ostringstream out;
    EXPECT_EQ(AskForPort(in, out, ports), c.expected) << c.input;
    EXPECT_NE(out.str().find("/dev/ttyUSB0  FT232R USB UART (FTDI)"), std::string::npos)
        << out.str();
  }
  std::istringstream in("1\n");
  std::ostringstream out;
  EXPECT_EQ(AskForPort(in, out, {}), std::nullopt);  // no list: a bare number means nothing
  EXPECT_NE(out.str().find("No serial ports found."), std::string::npos);
}

}  // namespace
}  // namespace kivra::serial
