// Ports as Windows users type them.

#include "common/com_port.h"

#include <gtest/gtest.h>

namespace kivra {
namespace {

TEST(ComPort, NumberNameAndDevicePathAreTheSamePort) {
  const struct {
    const char* text;
    int number;
  } cases[] = {
      {"7", 7},           {"COM7", 7},    {"com7", 7},   {"\\\\.\\COM7", 7}, {"\\\\.\\com7", 7},
      {"\\\\?\\COM7", 7}, {"  COM7 ", 7}, {"COM7:", 7},  {"COM10", 10},      {"\\\\.\\COM10", 10},
      {"COM255", 255},    {"255", 255},   {"COM007", 7}, {"0", 0},  // 0 alone asks
  };
  for (const auto& c : cases) {
    const ComPortText parsed = ParseComPort(c.text);
    ASSERT_TRUE(parsed.port.has_value()) << c.text;
    EXPECT_EQ(parsed.problem, ComPortProblem::None) << c.text;
    EXPECT_EQ(*parsed.port, PortName::Number(static_cast<std::uint16_t>(c.number))) << c.text;
  }
}

TEST(ComPort, RefusesWhatIsNoPortAndSaysWhy) {
  const struct {
    const char* text;
    ComPortProblem problem;
    const char* english;
    const char* turkish;
  } cases[] = {
      {"", ComPortProblem::Empty, "no port given", "port belirtilmedi"},
      {"COM", ComPortProblem::NoNumber, "\"COM\" needs a port number: COM1 to COM255",
       "\"COM\" bir port numarası ister: COM1 ile COM255 arası"},
      {"\\\\.\\COM", ComPortProblem::NoNumber, "\"\\\\.\\COM\" needs a port number: COM1 to COM255",
       "\"\\\\.\\COM\" bir port numarası ister: COM1 ile COM255 arası"},
      {"COM0", ComPortProblem::Zero,
       "there is no port COM0: ports are numbered from COM1 (0 alone asks for a port)",
       "COM0 diye bir port yok: portlar COM1'den başlar (yalnız 0 yazmak port sorar)"},
      {"COM256", ComPortProblem::TooHigh, "\"COM256\": port numbers go up to COM255",
       "\"COM256\": port numarası en çok COM255 olabilir"},
      {"99999999999", ComPortProblem::TooHigh, "\"99999999999\": port numbers go up to COM255",
       "\"99999999999\": port numarası en çok COM255 olabilir"},
      {"\\\\.\\pipe\\kivra", ComPortProblem::Pipe,
       "\"\\\\.\\pipe\\kivra\" is a pipe, not a serial port",
       "\"\\\\.\\pipe\\kivra\" bir boru hattı (pipe), seri port değil"},
      {"C:\\temp\\port.txt", ComPortProblem::NotAPort,
       "\"C:\\temp\\port.txt\" is not a serial port: give COMn, \\\\.\\COMn or the port number "
       "alone",
       "\"C:\\temp\\port.txt\" bir seri port değil: COMn, \\\\.\\COMn ya da yalnız port numarasını "
       "yazın"},
  };
  for (const auto& c : cases) {
    const ComPortText parsed = ParseComPort(c.text);
    EXPECT_FALSE(parsed.port.has_value()) << c.text;
    EXPECT_EQ(parsed.problem, c.problem) << c.text;
    EXPECT_EQ(ComPortProblemText(parsed.problem, c.text, Language::English), c.english);
    EXPECT_EQ(ComPortProblemText(parsed.problem, c.text, Language::Turkish), c.turkish);
  }
  // Other things that are no ports, each refused rather than read as a number or a name.
  for (const char* text : {"COMX", "COM7.txt", "COM-1", "/dev/ttyS0", "\\\\.\\LPT1", "NUL",
                           "\\\\.\\C:", "-3", "7 8", "\\\\server\\share\\COM7"}) {
    EXPECT_EQ(ParseComPort(text).problem, ComPortProblem::NotAPort) << text;
  }
}

}  // namespace
}  // namespace kivra
