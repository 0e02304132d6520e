// The kivra download, status and send commands, run as programs.

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
    EXPECT_EQ(line, "connected inputs=100000 outputs=00 analog1=0 analog2=0 temperature=33 "
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

TEST_F(Cli, PortThatWillNotOpen) {
  const auto r = Run("status --port /dev/kivra-no-such-port");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "Comm Port /dev/kivra-no-such-port not opened!");
  const auto tr = Run("send --lang tr --port /dev/kivra-no-such-port run");
  EXPECT_EQ(tr.err.substr(0, tr.err.find('\n')), "Comm Port /dev/kivra-no-such-port Açılamadı!");
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
