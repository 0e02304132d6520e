// kivra params and kivra flash, run as programs against simulated drivers.

#include <sys/stat.h>

#include "tests/link/cli_fixture.h"

namespace kivra::params {
namespace {

using link::testing::Cli;
namespace fs = std::filesystem;

TEST_F(Cli, ParamsReadWriteDiffCarryASetFromDriverToDriver) {
  sim::Simulator other, untouched;
  const auto start =
      Write("start.txt", {"# a few values of our own", "format = 1", "speed = 1234",
                          "direction = L", "prm12 = 777", "prm25 = -42", "service1 = 77"});
  ASSERT_EQ(Run("params write --port " + sim_.PortPath() + " " + start.string()).status, 0);

  const auto saved = dir_ / "saved.txt";
  const auto read = Run("params read --port " + sim_.PortPath() + " " + saved.string());
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.err, "28 values read from " + sim_.PortPath() + " into " + saved.string() + ".\n");
  const std::string text = Read(saved);
  EXPECT_NE(text.find("\nspeed = 1234\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nprm25 = -42\n"), std::string::npos) << text;

  const auto write = Run("params write --port " + other.PortPath() + " " + saved.string());
  EXPECT_EQ(write.status, 0) << write.err;
  EXPECT_EQ(write.err, "28 values written and verified.\n");
  const auto same = Run("params diff --port " + other.PortPath() + " " + saved.string());
  EXPECT_EQ(same.status, 0) << same.err;
  EXPECT_EQ(same.out, "");

  const auto differs =
      Run("params diff --lang tr --port " + untouched.PortPath() + " " + saved.string());
  EXPECT_EQ(differs.status, 1) << differs.err;
  EXPECT_EQ(
      differs.out,
      "speed: dosya 1234, sürücü 1000\ndirection: dosya L, sürücü R\nprm12: dosya 777, sürücü 0\n"
      "prm25: dosya -42, sürücü 0\nservice1: dosya 77, sürücü 100\n");
}

TEST_F(Cli, BadFileIsRefusedBeforeAnythingIsSent) {
  struct Case {
    std::vector<std::string> lines;
    std::string message;
  };
  const Case cases[] = {
      {{"format = 1", "speed = 1200", "microstep = 3"},
       "line 3: microstep = 3: invalid value, expected 1, 2, 4, 5, 8, 10, 16, 25"},
      {{"format = 1", "sped = 1200"}, "line 2: unknown name \"sped\""},
      {{"format = 1", "prm9 = 1", "prm9 = 2"}, "line 3: prm9 given again (first on line 2)"},
      // Prm 9..20 are 16-bit: the driver would keep 70000 as 4464.
      {{"format = 1", "prm10 = 70000"}, "line 2: prm10 = 70000: invalid value, expected 0..65535"},
  };
  for (const Case& c : cases) {
    const auto file = Write("bad.txt", c.lines);
    for (const std::string command : {"write", "diff"}) {
      const auto r = Run("params " + command + " --port " + sim_.PortPath() + " " + file.string());
      EXPECT_EQ(r.status, 2) << command;
      EXPECT_EQ(r.err, file.string() + ": " + c.message + "\nNothing was sent to the driver.\n");
    }
  }
  EXPECT_EQ(sim_.State().framesReceived, 0u);
}

TEST_F(Cli, FilesThatAreNoFilesAreRefusedUnreadBeforeAnythingIsSent) {
  const fs::path fifo = dir_ / "fifo.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path big = dir_ / "big.txt";
  std::ofstream(big) << "format = 1\n";
  fs::resize_file(big, 64 * 1024 * 1024);
  const fs::path program = Write("OK.KV3", {"END;"});
  struct Case {
    std::string args;
    std::string err;
  };
  const std::string port = "--port " + sim_.PortPath() + " ";
  const Case cases[] = {
      {"params write " + port + "/dev/zero",
       "kivra params: /dev/zero: this is a device, not a file\n"},
      {"params diff --lang tr " + port + "/dev/zero",
       "kivra params: /dev/zero: bu bir aygıt, dosya değil\n"},
      {"params write " + port + fifo.string(),
       "kivra params: " + fifo.string() + ": this is a pipe (FIFO), not a file\n"},
      {"params write " + port + big.string(),
       "kivra params: " + big.string() + ": too large: a parameter file holds at most 64 KB\n"},
      {"flash " + port + "--params " + fifo.string() + " " + program.string(),
       "kivra flash: " + fifo.string() + ": this is a pipe (FIFO), not a file\n"},
      {"flash " + port + "/dev/zero", "kivra flash: /dev/zero: this is a device, not a file\n"},
      {"download " + port + fifo.string(),
       "kivra download: " + fifo.string() + ": this is a pipe (FIFO), not a file\n"},
  };
  for (const Case& c : cases) {
    const auto r = Run(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_EQ(sim_.State().framesReceived, 0u);
}

TEST_F(Cli, WriteSaysWhatItLeftAloneAndWhatDidNotTake) {
  const auto file = Write("part.txt", {"format = 1", "speed-coefficient = 70000"});
  const auto r = Run("params write --port " + sim_.PortPath() + " " + file.string());
  EXPECT_EQ(r.status, 1);
  // Any 32-bit coefficient goes out; the driver reports it back in 16 bits.
  EXPECT_EQ(r.out, "speed-coefficient: written 70000, the driver holds 4464\n");
  EXPECT_NE(r.err.find("Not in the file, left as they are on the driver: speed, run-current,"),
            std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("1 of 1 values did not take.\n"), std::string::npos) << r.err;
}

TEST_F(Cli, FlashProgramsEveryPortAndRecordsEachDriver) {
  sim::Simulator second, faulty;
  faulty.AddFault({sim::ReplyKind::Ack, sim::FaultAction::Drop, 2, 100});
  const auto program = Write("MOTOR.KV3", {"CURON = 800;", "END;"});
  const auto params = Write("set.txt", {"format = 1", "speed = 900", "prm21 = 21"});
  const auto report = dir_ / "run.json";
  const auto r = Run("flash --port " + sim_.PortPath() + " --port " + faulty.PortPath() +
                     " --port=" + second.PortPath() + " --port /dev/kivra-no-such-port --params " +
                     params.string() + " --report " + report.string() + " " + program.string());
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find(sim_.PortPath() + "  passed  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(second.PortPath() + "  passed  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(faulty.PortPath() + "  FAILED  "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  download: the driver does not answer\n"), std::string::npos) << r.out;
  EXPECT_NE(
      r.out.find(
          "/dev/kivra-no-such-port  FAILED  0.0 s  open: Comm Port /dev/kivra-no-such-port not "
          "opened! There is no such port on this computer.\n"),
      std::string::npos)
      << r.out;
  EXPECT_NE(r.err.find("2 passed, 2 failed\n"), std::string::npos) << r.err;
  EXPECT_EQ(second.State().motor.speed, 900u);
  EXPECT_EQ(second.Program().name, "MOTOR.KV3");

  const std::string json = Read(report);
  EXPECT_NE(json.find("\"passed\": 2,\n  \"failed\": 2,"), std::string::npos) << json;
  for (const auto& port : {sim_.PortPath(), second.PortPath(), faulty.PortPath()})
    EXPECT_NE(json.find("{\"port\": \"" + port + "\""), std::string::npos) << port;
  EXPECT_NE(
      json.find("\"step\": \"download\", \"reason\": \"download: the driver does not answer\""),
      std::string::npos);
}

TEST_F(Cli, FlashReportNamesCannotBecomeFormulas) {
  const auto program = Write("=1+1.KV3", {"END;"});
  const auto report = dir_ / "run.csv";
  const auto r = Run("flash --port " + sim_.PortPath() + " --report " + report.string() + " '" +
                     program.string() + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string csv = Read(report);
  EXPECT_TRUE(csv.ends_with(",done,,1.2,'=1+1.KV3,\r\n")) << csv;
}

// A station's port given as its USB socket's /dev/serial/by-path/ link (a link of the
// test's stands in for it): the record names the slot.
TEST_F(Cli, FlashReportNamesTheSlot) {
  const std::string slot = "pci-0000:00:14.0-usb-0:2:1.0-port0";
  fs::create_directories(dir_ / "by-path");
  fs::create_symlink(sim_.PortPath(), dir_ / "by-path" / slot);
  const auto program = Write("SLOT.KV3", {"END;"});
  for (const char* name : {"run.csv", "run.json"}) {
    const auto report = dir_ / name;
    const auto r = Run("flash --port " + (dir_ / "by-path" / slot).string() + " --report " +
                       report.string() + " " + program.string());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = Read(report);
    EXPECT_NE(text.find(std::string(name) == "run.csv" ? ",SLOT.KV3," + slot + "\r\n"
                                                       : "\"slot\": \"" + slot + "\"}"),
              std::string::npos)
        << text;
  }
}

TEST_F(Cli, FlashRefusesAProgramWithErrorsBeforeAnyPort) {
  const auto program = Write("BAD.KV3", {"SPEED = ;", "END;"});
  const auto r = Run("flash --port " + sim_.PortPath() + " " + program.string());
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("No valid program!\n"), std::string::npos) << r.err;
  EXPECT_EQ(sim_.State().framesReceived, 0u);
}

}  // namespace
}  // namespace kivra::params
