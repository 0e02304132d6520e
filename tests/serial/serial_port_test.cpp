#include "serial/serial_port.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "tests/serial/pty.h"

namespace kivra::serial {
namespace {

using testing::Pattern;
using testing::Pty;
using testing::WaitFor;
namespace fs = std::filesystem;

// A scratch directory for log files, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "kivra-serial-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The driver link's settings with the log going to a scratch directory.
PortSettings LinkSettings(const TempDir& dir) {
  PortSettings s = PortSettings::DriverLink();
  s.logName = (dir.path() / "SERIAL.LOG").string();
  return s;
}

// The log file's entry lines without their time column (eight characters, right-aligned
// milliseconds, then two blanks).
std::vector<std::string> EntryTails(const std::string& text) {
  std::vector<std::string> tails;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 10 || line.compare(8, 2, "  ") != 0) continue;
    const std::string time = line.substr(0, 8);
    const auto digits = time.find_first_not_of(' ');
    if (digits == std::string::npos ||
        time.find_first_not_of("0123456789", digits) != std::string::npos) {
      continue;
    }
    tails.push_back(line.substr(10));
  }
  return tails;
}

bool HasEntry(const std::string& text, const std::string& start) {
  for (const auto& t : EntryTails(text)) {
    if (t.compare(0, start.size(), start) == 0) return true;
  }
  return false;
}

// "dd/mm/yy, hh:mm:ss"
bool IsLogDateTime(const std::string& s) {
  const std::string shape = "00/00/00, 00:00:00";
  if (s.size() != shape.size()) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (shape[i] == '0' ? !std::isdigit(static_cast<unsigned char>(s[i])) : s[i] != shape[i]) {
      return false;
    }
  }
  return true;
}

std::vector<std::uint8_t> TakeAll(SerialPort& port) {
  std::vector<std::uint8_t> out(port.GetInBufferUsed());
  port.GetBlock(out);
  return out;
}

TEST(SerialPort, OpensInRawModeWithTheLinkSettings) {
  TempDir dir;
  Pty pty;
  SerialPort port(LinkSettings(dir));
  port.SetDevice(pty.path());
  port.SetOpen(true);  // a pty has no modem lines: DTR/RTS off must not fail
  ASSERT_TRUE(port.Open());

  termios t{};
  ASSERT_EQ(tcgetattr(pty.master(), &t), 0);  // the master reports the port side's settings
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_EQ(cfgetispeed(&t), B9600);
  EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_FALSE(t.c_cflag & PARENB);
  EXPECT_FALSE(t.c_cflag & CRTSCTS);
  EXPECT_TRUE(t.c_cflag & CREAD);
  EXPECT_TRUE(t.c_cflag & CLOCAL);
  EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
  EXPECT_FALSE(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | INPCK));
  EXPECT_FALSE(t.c_oflag & OPOST);

  // Line settings follow their properties while open; a refused one keeps the old value.
  port.SetBaud(19200);
  ASSERT_EQ(tcgetattr(pty.master(), &t), 0);
  EXPECT_EQ(cfgetospeed(&t), B19200);
  EXPECT_THROW(port.SetBaud(12345), ESerialPortError);
  EXPECT_EQ(port.Baud(), 19200u);
  port.SetStopBits(1);
  ASSERT_EQ(tcgetattr(pty.master(), &t), 0);
  EXPECT_FALSE(t.c_cflag & CSTOPB);
}

TEST(SerialPort, BurstsLargerThanTheRingsArriveWholeAndInOrder) {
  TempDir dir;
  Pty pty;
  SerialPort port(LinkSettings(dir));
  port.SetDevice(pty.path());
  port.SetOpen(true);

  // Received: nearly four reception rings' worth, while the ring is drained slowly.
  const auto in = Pattern(30000, 1);
  std::thread writer([&] { pty.Write(in); });
  std::vector<std::uint8_t> got;
  const bool complete = WaitFor([&] {
    const std::size_t n = std::min<std::size_t>(port.GetInBufferUsed(), 1000);
    EXPECT_LE(port.GetInBufferUsed(), InBufferSize);
    std::vector<std::uint8_t> block(n);
    port.GetBlock(block);
    got.insert(got.end(), block.begin(), block.end());
    return got.size() >= in.size();
  });
  writer.join();
  ASSERT_TRUE(complete) << got.size() << " of " << in.size();
  EXPECT_EQ(got, in);

  // Sent: five output rings' worth, retrying whenever the ring is full.
  const auto out = Pattern(5 * port.OutSize(), 2);
  std::vector<std::uint8_t> far;
  std::thread reader([&] { far = pty.Read(out.size()); });
  std::size_t full = 0;
  for (std::size_t i = 0; i < out.size();) {
    try {
      port.PutChar(out[i]);
      ++i;
    } catch (const EOutputBufferTooSmall& e) {
      EXPECT_EQ(e.ErrorCode(), -3006);
      ++full;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  reader.join();
  EXPECT_EQ(far, out);
  (void)full;  // how often the ring filled depends on the machine
}

TEST(SerialPort, GetBlockTakesExactlyWhatIsAskedOrNothing) {
  TempDir dir;
  Pty pty;
  SerialPort port(LinkSettings(dir));
  port.SetDevice(pty.path());
  port.SetOpen(true);
  pty.Write({0x10, 0x73, 0x00, 0x06, 0xFF});
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 5; }));

  std::uint8_t six[6] = {};
  try {
    port.GetBlock(six);
    FAIL() << "GetBlock took more than was waiting";
  } catch (const EBufferIsEmpty& e) {
    EXPECT_EQ(e.ErrorCode(), -3007);
    EXPECT_STREQ(e.what(), "Buffer is empty");
  }
  EXPECT_EQ(port.GetInBufferUsed(), 5u);

  std::uint8_t two[2];
  port.GetBlock(two);
  EXPECT_EQ(two[0], 0x10);
  EXPECT_EQ(two[1], 0x73);
  EXPECT_EQ(TakeAll(port), (std::vector<std::uint8_t>{0x00, 0x06, 0xFF}));
  port.GetBlock({});  // nothing asked, nothing waiting: fine
}

TEST(SerialPort, FlushInBufferDropsWhatCameBeforeIt) {
  TempDir dir;
  Pty pty;
  SerialPort port(LinkSettings(dir));
  port.SetDevice(pty.path());
  port.SetOpen(true);
  pty.Write(Pattern(100));
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 100; }));
  port.FlushInBuffer();
  EXPECT_EQ(port.GetInBufferUsed(), 0u);
  pty.Write({'o', 'k'});
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 2; }));
  EXPECT_EQ(TakeAll(port), (std::vector<std::uint8_t>{'o', 'k'}));
}

TEST(SerialPort, ClosedPortOperations) {
  TempDir dir;
  Pty pty;
  PortSettings s = LinkSettings(dir);
  s.autoOpen = false;
  SerialPort port(s);
  port.SetDevice(pty.path());

  EXPECT_EQ(port.GetInBufferUsed(), 0u);  // never opens the port
  EXPECT_FALSE(port.Open());
  std::uint8_t b[1];
  EXPECT_THROW(port.GetBlock(b), ECommNotOpen);
  EXPECT_THROW(port.PutChar('x'), ECommNotOpen);
  EXPECT_THROW(port.FlushInBuffer(), ECommNotOpen);
  try {
    port.PutChar('x');
  } catch (const ECommNotOpen& e) {
    EXPECT_EQ(e.ErrorCode(), -2007);
    EXPECT_STREQ(e.what(), "Device not open");
  }

  // With AutoOpen the first operation that needs the port opens it.
  port.SetAutoOpen(true);
  port.PutChar('x');
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(pty.Read(1), std::vector<std::uint8_t>{'x'});
  port.SetOpen(false);
  EXPECT_FALSE(port.Open());
  port.SetOpen(false);  // closing a closed port does nothing
}

// Maps port numbers onto pseudo-terminals and counts the opens.
struct NumberedPtys {
  Pty first, second;
  int opens = 0;
  std::vector<std::string> opened;
  DeviceOpener Opener() {
    return [this](const std::string& path, const PortSettings& settings) {
      ++opens;
      opened.push_back(path);
      const std::map<std::string, std::string> map = {{"/dev/ttyS0", first.path()},
                                                      {"/dev/ttyS1", second.path()}};
      const auto it = map.find(path);
      return OpenSystemDevice(it == map.end() ? "/nonexistent" + path : it->second, settings);
    };
  }
};

TEST(SerialPort, SetComNumberReopensOnlyForAnotherNumber) {
  TempDir dir;
  NumberedPtys ptys;
  SerialPort port(LinkSettings(dir), ptys.Opener());
  port.SetComNumber(1);
  EXPECT_EQ(port.DevicePath(), "/dev/ttyS0");
  port.SetOpen(true);
  ptys.first.Write({'a'});
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 1; }));

  port.SetComNumber(1);  // the same number: nothing happens, waiting input stays
  EXPECT_EQ(ptys.opens, 1);
  EXPECT_EQ(port.GetInBufferUsed(), 1u);

  port.SetComNumber(2);  // another: close (writing the log), reopen there
  EXPECT_EQ(ptys.opens, 2);
  EXPECT_EQ(ptys.opened.back(), "/dev/ttyS1");
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(port.ComNumber(), 2);
  EXPECT_EQ(port.GetInBufferUsed(), 0u);
  EXPECT_TRUE(fs::exists(dir.path() / "SERIAL.LOG"));
  EXPECT_EQ(port.Logging(), LogState::LogOn);
  ptys.second.Write({'b'});
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 1; }));

  // A number without a device: the reopen fails, the port is closed, the number kept.
  EXPECT_THROW(port.SetComNumber(7), EBadId);
  EXPECT_FALSE(port.Open());
  EXPECT_EQ(port.ComNumber(), 7);

  // On a closed port the number is only stored.
  port.SetComNumber(1);
  EXPECT_EQ(ptys.opens, 3);
  EXPECT_FALSE(port.Open());
}

TEST(SerialPort, MissingAndHeldDevices) {
  TempDir dir;
  SerialPort port(LinkSettings(dir));
  port.SetDevice((dir.path() / "ttyNOPE").string());
  try {
    port.SetOpen(true);
    FAIL() << "opened a missing device";
  } catch (const EBadId& e) {
    EXPECT_EQ(e.ErrorCode(), -2001);
    EXPECT_STREQ(e.what(), "Specified port doesn't exist");
  }
  EXPECT_FALSE(port.Open());
  port.SetDevice("/dev/null");  // exists, but is no serial line
  EXPECT_THROW(port.SetOpen(true), EBadId);

  Pty pty;
  SerialPort holder(LinkSettings(dir));
  holder.SetDevice(pty.path());
  holder.SetOpen(true);
  port.SetDevice(pty.path());
  try {
    port.SetOpen(true);
    FAIL() << "opened a device another port holds";
  } catch (const EAlreadyOpen& e) {
    EXPECT_EQ(e.ErrorCode(), -2008);
    EXPECT_STREQ(e.what(), "Device already open");
  }
  EXPECT_FALSE(port.Open());
  holder.SetOpen(false);
  port.SetOpen(true);
  EXPECT_TRUE(port.Open());
}

TEST(SerialPort, ClosingGivesTheExclusiveClaimBack) {
  TempDir dir;
  Pty pty;  // stays open: the case where the kernel would keep the flag
  SerialPort port(LinkSettings(dir));
  port.SetDevice(pty.path());
  port.SetOpen(true);
  port.SetOpen(false);
  const int fd = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  int exclusive = -1;
  ASSERT_EQ(ioctl(fd, TIOCGEXCL, &exclusive), 0);
  ::close(fd);
  EXPECT_EQ(exclusive, 0);
  port.SetOpen(true);  // and it opens again
  EXPECT_TRUE(port.Open());
}

TEST(SerialPort, LogFileIsReplacedOnCloseAndSkippedWhenEmpty) {
  TempDir dir;
  Pty pty;
  SerialPort port(LinkSettings(dir));
  port.SetDevice(pty.path());
  const fs::path log = dir.path() / "SERIAL.LOG";

  port.SetOpen(true);
  port.SetOpen(false);
  EXPECT_FALSE(fs::exists(log)) << "a log without entries writes no file";

  port.SetOpen(true);
  pty.Write({'F', 'I', 'R', 'S', 'T', 0x06});
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 6; }));
  port.PutChar(0x08);
  port.PutChar('s');
  ASSERT_EQ(pty.Read(2).size(), 2u);
  ASSERT_TRUE(WaitFor([&] { return port.LogEntries().size() >= 2; }));
  port.SetOpen(false);
  EXPECT_TRUE(port.LastLogError().empty()) << port.LastLogError();
  const std::string first = ReadFile(log);
  EXPECT_NE(first.find("Device: " + pty.path() + "\n"), std::string::npos) << first;
  const auto date = first.find("Date/time: ");
  ASSERT_NE(date, std::string::npos) << first;
  EXPECT_TRUE(IsLogDateTime(first.substr(date + 11, first.find('\n', date) - date - 11))) << first;
  EXPECT_TRUE(HasEntry(first, "Data      Read          00000006  FIRST[06]")) << first;
  EXPECT_TRUE(HasEntry(first, "Data      Write         0000000")) << first;
  EXPECT_TRUE(port.LogEntries().empty());

  // The next close replaces the file rather than adding to it.
  port.SetOpen(true);
  pty.Write({'N', 'E', 'X', 'T'});
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 4; }));
  port.SetOpen(false);
  const std::string second = ReadFile(log);
  EXPECT_NE(second.find("NEXT"), std::string::npos);
  EXPECT_EQ(second.find("FIRST"), std::string::npos);

  // Logging off: no file at all.
  fs::remove(log);
  port.SetLogging(LogState::LogOff);
  port.SetOpen(true);
  pty.Write({'x'});
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 1; }));
  port.SetOpen(false);
  EXPECT_FALSE(fs::exists(log));
}

TEST(SerialPort, DisappearingDeviceIsNoticedAndNothingBlocks) {
  TempDir dir;
  auto pty = std::make_unique<Pty>();
  SerialPort port(LinkSettings(dir));
  port.SetDevice(pty->path());
  port.SetOpen(true);
  pty->CloseMaster();  // the adapter is pulled out

  ASSERT_TRUE(WaitFor([&] { return port.DeviceLost(); }));
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(port.GetInBufferUsed(), 0u);
  // Output is dropped from now on, so the ring drains and queuing keeps working.
  for (int i = 0; i < 100; ++i) port.PutChar(static_cast<std::uint8_t>(i));
  port.FlushInBuffer();
  std::uint8_t one[1];
  EXPECT_THROW(port.GetBlock(one), EBufferIsEmpty);
  port.SetOpen(false);
  const std::string log = ReadFile(dir.path() / "SERIAL.LOG");
  EXPECT_TRUE(HasEntry(log, "Line      Hang-up") || HasEntry(log, "Line      Read failed")) << log;

  // A device that comes back can be opened again.
  pty = std::make_unique<Pty>();
  port.SetDevice(pty->path());
  port.SetOpen(true);
  EXPECT_FALSE(port.DeviceLost());
  pty->Write({'h', 'i'});
  ASSERT_TRUE(WaitFor([&] { return port.GetInBufferUsed() == 2; }));
}

TEST(SerialPort, PortNumberZeroAsksForAPort) {
  TempDir dir;
  Pty pty;
  SerialPort port(LinkSettings(dir));
  ASSERT_EQ(port.ComNumber(), 0);

  // Nobody to ask: not selected.
  try {
    port.SetOpen(true);
    FAIL();
  } catch (const ENoPortSelected& e) {
    EXPECT_EQ(e.ErrorCode(), -2011);
    EXPECT_STREQ(e.what(), "The port number has not been set");
  }

  int asked = 0;
  std::optional<PortName> answer;
  port.SetPortPrompt([&] {
    ++asked;
    // The prompt may run a nested event loop in which the link keeps ticking.
    // Nothing can be sent while the port opens: the sender is told, not left to believe it.
    EXPECT_EQ(port.GetInBufferUsed(), 0u);
    EXPECT_THROW(port.PutChar('x'), ECommNotOpen);
    EXPECT_THROW(port.PutFrame(std::vector<std::uint8_t>{1, 2}), ECommNotOpen);
    EXPECT_THROW(port.FlushInBuffer(), ECommNotOpen);
    port.SetOpen(true);
    EXPECT_THROW(port.GetBlock(std::span<std::uint8_t>()), ECommNotOpen);
    return answer;
  });
  EXPECT_THROW(port.SetOpen(true), ENoPortSelected);  // cancelled
  EXPECT_EQ(asked, 1);
  answer = PortName::Number(0);
  EXPECT_THROW(port.SetOpen(true), ENoPortSelected);

  port.SetPromptForPort(false);
  EXPECT_THROW(port.SetOpen(true), ENoPortSelected);
  EXPECT_EQ(asked, 2);

  port.SetPromptForPort(true);
  answer = PortName::Device(pty.path());
  port.SetOpen(true);
  EXPECT_TRUE(port.Open());
  EXPECT_EQ(port.Port(), PortName::Device(pty.path()));
  EXPECT_EQ(asked, 3);
}

// Stands in for a device to count how often the threads touch it. `lost` makes it behave
// like a pulled USB adapter: hang-up on every wait, end of file on read, EIO on write.
struct Counters {
  std::atomic<int> waits{0}, reads{0}, writes{0};
  int Total() const { return waits + reads + writes; }
};

// Passes everything on to a real device; the stand-ins below change what they need.
class ForwardingDevice : public Device {
 public:
  explicit ForwardingDevice(std::unique_ptr<Device> inner) : inner_(std::move(inner)) {}
  void Configure(const PortSettings& s) override { inner_->Configure(s); }
  IoResult Read(std::span<std::uint8_t> b) override { return inner_->Read(b); }
  IoResult Write(std::span<const std::uint8_t> d) override { return inner_->Write(d); }
  WaitResult WaitReadable() override { return inner_->WaitReadable(); }
  WaitResult WaitWritable() override { return inner_->WaitWritable(); }
  void Interrupt() override { inner_->Interrupt(); }
  void Purge(bool i, bool o) override { inner_->Purge(i, o); }
  std::optional<LineStatus> Status() override { return inner_->Status(); }
  void Close() override { inner_->Close(); }

 protected:
  std::unique_ptr<Device> inner_;
};

class CountingDevice : public ForwardingDevice {
 public:
  CountingDevice(std::unique_ptr<Device> inner, std::shared_ptr<Counters> counters)
      : ForwardingDevice(std::move(inner)), counters_(std::move(counters)) {}
  IoResult Read(std::span<std::uint8_t> b) override {
    ++counters_->reads;
    return inner_->Read(b);
  }
  IoResult Write(std::span<const std::uint8_t> d) override {
    ++counters_->writes;
    return inner_->Write(d);
  }
  WaitResult WaitReadable() override {
    ++counters_->waits;
    return inner_->WaitReadable();
  }
  WaitResult WaitWritable() override {
    ++counters_->waits;
    return inner_->WaitWritable();
  }

 private:
  std::shared_ptr<Counters> counters_;
};

// An idle port, and one whose device is gone, must not keep the threads busy. A spinning
// thread touches the device many thousand times in a quarter second; the safety-net pass
// every 50 ms touches it a handful of times at most.
TEST(SerialPort, IdleAndLostPortsDoNotSpin) {
  TempDir dir;
  auto pty = std::make_unique<Pty>();
  auto counters = std::make_shared<Counters>();
  SerialPort port(LinkSettings(dir),
                  [&](const std::string& path, const PortSettings& s) -> std::unique_ptr<Device> {
                    return std::make_unique<CountingDevice>(OpenSystemDevice(path, s), counters);
                  });
  port.SetDevice(pty->path());
  port.SetOpen(true);

  const auto activityOver = [&](std::chrono::milliseconds span) {
    const int before = counters->Total();
    std::this_thread::sleep_for(span);
    return counters->Total() - before;
  };
  EXPECT_LT(activityOver(std::chrono::milliseconds(250)), 40);

  port.PutChar('x');
  pty->CloseMaster();
  ASSERT_TRUE(WaitFor([&] { return port.DeviceLost(); }));
  port.PutChar('y');
  EXPECT_LT(activityOver(std::chrono::milliseconds(250)), 40);
}

}  // namespace
}  // namespace kivra::serial

namespace kivra::serial {
namespace {

// A device that takes nothing: what is queued stays in the output buffer.
class StuckDevice : public ForwardingDevice {
 public:
  using ForwardingDevice::ForwardingDevice;
  IoResult Write(std::span<const std::uint8_t>) override { return {IoStatus::WouldBlock, 0, 0}; }
  WaitResult WaitWritable() override { return inner_->WaitReadable(); }  // until interrupted
};

// A frame goes into the output buffer whole or not at all: a refused block leaves the
// room it would have needed untouched.
TEST(SerialPort, PutBlockQueuesAllOrNothing) {
  TempDir dir;
  Pty pty;
  PortSettings settings = LinkSettings(dir);
  settings.outSize = 8;
  SerialPort port(settings,
                  [](const std::string& path, const PortSettings& s) -> std::unique_ptr<Device> {
                    return std::make_unique<StuckDevice>(OpenSystemDevice(path, s));
                  });
  port.SetDevice(pty.path());
  port.SetOpen(true);
  const std::uint8_t bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  port.PutBlock({bytes, 5});
  EXPECT_THROW(port.PutBlock({bytes, 4}), EOutputBufferTooSmall);
  port.PutBlock({bytes, 3});  // exactly the room left: the refused block took none of it
  EXPECT_THROW(port.PutChar(9), EOutputBufferTooSmall);
  port.SetOpen(false);
}

TEST(SerialDevice, PresentOnlyWhereADeviceIsToBeOpened) {
  TempDir dir;
  Pty pty;
  const fs::path file = dir.path() / "file";
  std::ofstream(file) << "x";
  const fs::path link = dir.path() / "link";
  fs::create_symlink(pty.path(), link);
  const fs::path dangling = dir.path() / "dangling";
  fs::create_symlink(dir.path() / "gone", dangling);
  const std::pair<std::string, bool> cases[] = {
      {pty.path(), true},
      {link.string(), true},
      {file.string(), false},
      {dangling.string(), false},
      {(dir.path() / "none").string(), false},
      {"", false},
  };
  for (const auto& [path, present] : cases) EXPECT_EQ(DevicePresent(path), present) << path;
}

}  // namespace
}  // namespace kivra::serial
