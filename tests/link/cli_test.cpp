// The kivra download, status and send commands, run as programs.

#include "sim/pty.h"
#include "tests/link/cli_fixture.h"

namespace kivra::link {
namespace {

using testing::Cli;

TEST_F(Cli, StatusPrintsOneLinePerReply) {
  sim_.SetInputs(0x01);
  sim_.SetTemperature(33);
  const auto r = Run("status --port " + sim_.PortPath() + " --count 3");
  EXPECT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  int n = 0;
  while (std::getline(lines, line)) {
    EXPECT_EQ(line,
              "connected inputs=100000 outputs=00 analog1=0 analog2=0 temperature=33 "
              "mode=controller script=off motor=stopped address=0");
    ++n;
  }
  EXPECT_EQ(n, 3);
}

TEST_F(Cli, SendAppliesOrRefuses) {
  struct Case {
    std::string args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"speed 1500", 0, ""},
      {"speed 0", 1, "Invalid value!\n"},
      {"--lang tr hold-current -1", 1, "Geçersiz değer!\n"},
      {"param 9 abc", 1, "Number expected!\n"},
      {"--lang tr param 9 abc", 1, "Sayı giriniz!\n"},
      {"param 21 -5", 0, ""},
      {"direction L", 0, ""},
      {"frobnicate", 2, ""},
  };
  for (const auto& c : cases) {
    const auto r = Run("send --port " + sim_.PortPath() + " " + c.args);
    EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
    if (c.status != 2) {
      EXPECT_EQ(r.err, c.err) << c.args;
    }
  }
  const auto state = sim_.State();
  EXPECT_EQ(state.motor.speed, 1500u);
  EXPECT_EQ(state.motor.holdingCurrent, 50u);
  EXPECT_EQ(state.motor.direction, 0u);
  EXPECT_EQ(sim::Parameter(state, 21), -5);
  const auto read = Run("send --port " + sim_.PortPath() + " read-settings");
  EXPECT_EQ(read.status, 0);
  EXPECT_NE(read.out.find("speed=1500\n"), std::string::npos) << read.out;
  EXPECT_NE(read.out.find("direction=L\n"), std::string::npos) << read.out;
}

TEST_F(Cli, PortThatWillNotOpenSaysWhy) {
  struct Case {
    std::string args;
    std::string err;
  };
  const Case cases[] = {
      {"status --port /dev/kivra-no-such-port",
       "Comm Port /dev/kivra-no-such-port not opened!\nThere is no such port on this computer.\n"},
      {"send --lang tr --port /dev/kivra-no-such-port run",
       "Comm Port /dev/kivra-no-such-port Açılamadı!\nBu bilgisayarda böyle bir port yok.\n"},
      {"status --port /etc/passwd",
       "Comm Port /etc/passwd not opened!\nThis is not a serial port.\n"},
  };
  for (const auto& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.status, 1) << c.args;
    EXPECT_EQ(r.err, c.err) << c.args;
  }
}

// What failed is said as it was: a refusal, a wrong reply, silence. A memory cell the
// driver does not have is refused before anything is sent.
TEST_F(Cli, SendSaysHowItFailed) {
  struct Case {
    const char* what;
    sim::FaultAction fault;
    sim::ReplyKind kind;
    std::string args;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"refused", sim::FaultAction::WrongLetter, sim::ReplyKind::Ack, "run", 1,
       "The driver refused!\n"},
      {"refused, in Turkish", sim::FaultAction::WrongLetter, sim::ReplyKind::Ack, "--lang tr run",
       1, "Sürücü reddetti!\n"},
      {"a wrong reply", sim::FaultAction::WrongLetter, sim::ReplyKind::MemoryValue, "mem-read 5", 1,
       "Wrong reply!\n"},
      {"silence", sim::FaultAction::Drop, sim::ReplyKind::Ack, "stop", 1,
       "The driver does not answer!\n"},
      {"cell 0 cannot be read", sim::FaultAction::Drop, sim::ReplyKind::Ack, "mem-read 0", 2,
       "kivra send: mem-read: the address is 1 to 3FFFh (16383)\n"},
      {"nor cell 4000h", sim::FaultAction::Drop, sim::ReplyKind::Ack, "--lang tr mem-read 16384", 2,
       "kivra send: mem-read: adres 1 ile 3FFFh (16383) arasında olmalı\n"},
  };
  for (const Case& c : cases) {
    sim_.ClearFaults();
    sim_.AddFault({c.kind, c.fault, 1, 3});
    const auto framesBefore = sim_.State().framesReceived;
    const auto r = Run("send --port " + sim_.PortPath() + " " + c.args);
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    if (c.status == 2) {
      EXPECT_EQ(sim_.State().framesReceived, framesBefore) << c.what;
    }
  }
}

// Every command prints its usage on standard output for --help, and exits 0.
TEST_F(Cli, EveryCommandHasHelp) {
  for (const char* command :
       {"check", "download", "send", "status", "monitor", "sim", "params", "flash"}) {
    const auto r = Run(std::string(command) + " --help");
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.out.rfind(std::string("usage: kivra ") + command, 0), 0u) << command << r.out;
    EXPECT_EQ(r.err, "") << command;
  }
}

// `kivra monitor` on a line where nothing answers: rows of requests and time-outs, never
// "connected", and the exit status says the driver was not there.
TEST_F(Cli, MonitorWithoutAnAnswerFails) {
  const sim::PseudoTerminal silentLine;
  const auto r = Run("monitor --port " + silentLine.PortPath() + " --count 6");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out.find("accepted"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("  connected  [link]"), std::string::npos) << r.out;
  const auto good = Run("monitor --port " + sim_.PortPath() + " --count 6");
  EXPECT_EQ(good.status, 0) << good.err;
}

// Port 0 asks for the port, and only a terminal can answer.
TEST_F(Cli, PortZeroWithoutATerminalIsAUsageError) {
  for (const char* command : {"status", "send run", "download x.kv3"}) {
    const auto r = Run(std::string(command) + " --port 0");
    EXPECT_EQ(r.status, 2) << command;
    EXPECT_NE(r.err.find("--port 0 asks for the port on a terminal"), std::string::npos) << r.err;
  }
}

// Nothing answers on the port (a serial line with no driver on it): --count still ends
// the command, and its status says the driver was not there.
TEST_F(Cli, StatusCountEndsAlsoWhenNothingAnswers) {
  const sim::PseudoTerminal silentLine;
  const auto r = Run("status --port " + silentLine.PortPath() + " --count 2");
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(r.out, "not connected\nnot connected\n");
}

// A memory value comes only from a whole, valid reply; otherwise nothing is printed.
TEST_F(Cli, MemoryReadOfABrokenReplyFails) {
  sim_.SetMemoryCell(300, 42);
  sim_.AddFault({sim::ReplyKind::MemoryValue, sim::FaultAction::Garble, 1, 3});
  const auto broken = Run("send --port " + sim_.PortPath() + " mem-read 300");
  EXPECT_EQ(broken.status, 1);
  EXPECT_EQ(broken.out, "");
  EXPECT_EQ(broken.err, "Broken reply!\n");
  const auto good = Run("send --port " + sim_.PortPath() + " mem-read 300");
  EXPECT_EQ(good.status, 0) << good.err;
  EXPECT_EQ(good.out, "42\n");
}

// The adapter is pulled while `kivra status` runs and plugged in again behind the same
// path: it says so, and goes on by itself.
TEST_F(Cli, StatusReconnectsByItself) {
  const auto link = dir_ / "ttyUSB-sim";
  sim::Simulator::Options options;
  options.linkPath = link.string();
  sim::Simulator sim(options);
  const std::string command =
      std::string(KIVRA_BINARY) + " status --port " + link.string() + " --count 8 2>&1";
  FILE* out = popen(command.c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::vector<std::string> lines;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, out)) {
    lines.emplace_back(buffer);
    if (lines.size() == 2) sim.Unplug();
    if (lines.back() == "reconnecting\n" && !sim.Plugged()) sim.Replug();
  }
  const int status = pclose(out);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[2], "reconnecting\n");
  EXPECT_EQ(lines.back().rfind("connected ", 0), 0u) << lines.back();
  // Nothing but status requests reached the driver.
  for (const auto& frame : sim.ReceivedFrames()) EXPECT_EQ(frame.bytes[2], 's');
}

TEST_F(Cli, DownloadRefusesAProgramWithErrors) {
  const auto file = Write("BAD.KV3", {"SPEED = ;", "END;"});
  const auto r = Run("download --port " + sim_.PortPath() + " " + file.string());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "No valid program!\n");
  EXPECT_NE(r.out.find("Total error"), std::string::npos);
  EXPECT_EQ(sim_.Program().downloadsStarted, 0u);
}

}  // namespace
}  // namespace kivra::link
