// Production runs: one driver's steps, several ports at once, the station loop, the record.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "params/param_file.h"
#include "params/run_report.h"
#include "tests/params/scripted_session.h"

namespace kivra::params {
namespace {

using testing::CountedStop;
using testing::ScriptedDriver;
using testing::ScriptedSession;

FlashJob Job(bool withParameters = true) {
  FlashJob job;
  job.code.length = 60;
  job.programPath = "/work/programs/HOMING.KV3";
  if (withParameters) {
    const ParsedFile f = ParseParameterFile("format = 1\nspeed = 1200\nprm9 = 5\nprm21 = -5\n");
    job.parameters = f.set;
  }
  return job;
}

TEST(Flash, DriverGoesThroughEveryStep) {
  ScriptedSession s;
  const FlashResult r = FlashDriver(s, Job());
  EXPECT_TRUE(r.passed) << Reason(r, Language::English);
  EXPECT_EQ(r.step, FlashStep::Done);
  EXPECT_EQ(r.firmware, 12);
  EXPECT_EQ(r.programName, "HOMING.KV3");
  EXPECT_EQ(s.Log(), (std::vector<std::string>{"download 60", "write speed 1200", "write prm9 5",
                                               "write prm21 -5", "read settings", "read parameters",
                                               "read name"}));
  EXPECT_EQ(Reason(r, Language::English), "");
}

TEST(Flash, WithoutParametersOnlyTheProgram) {
  ScriptedSession s;
  EXPECT_TRUE(FlashDriver(s, Job(false)).passed);
  EXPECT_EQ(s.Log(), (std::vector<std::string>{"download 60", "read name"}));
}

TEST(Flash, FailureAtEachExchangeNamesItsStep) {
  struct Case {
    int exchange;
    FlashStep step;
    const char* reason;
  };
  const Case cases[] = {
      {1, FlashStep::Download, "download: the driver does not answer"},
      {2, FlashStep::Parameters, "parameters: writing speed: the driver does not answer"},
      {4, FlashStep::Parameters, "parameters: writing prm21: the driver does not answer"},
      {5, FlashStep::Verify, "verify: the driver does not answer"},
      {6, FlashStep::Verify, "verify: the driver does not answer"},
      {7, FlashStep::ProgramName, "program name: the driver does not answer"},
  };
  for (const Case& c : cases) {
    ScriptedSession s;
    s.FailExchange(c.exchange, Outcome::NoAnswer);
    const FlashResult r = FlashDriver(s, Job());
    EXPECT_FALSE(r.passed) << c.exchange;
    EXPECT_EQ(r.step, c.step) << c.exchange;
    EXPECT_EQ(Reason(r, Language::English), c.reason) << c.exchange;
    EXPECT_EQ(s.Exchanges(), c.exchange) << "nothing after the failure";
  }
}

TEST(Flash, WhatDidNotTakeFailsTheDriver) {
  ScriptedSession s;
  s.Driver().ignores = {"prm9"};
  const FlashResult verify = FlashDriver(s, Job());
  EXPECT_FALSE(verify.passed);
  EXPECT_EQ(Reason(verify, Language::English), "verify: prm9 is 0, not 5");
  EXPECT_EQ(Reason(verify, Language::Turkish), "doğrulama: prm9 = 0, beklenen 5");

  ScriptedSession absent;
  absent.SetPresent(false);
  const FlashResult r = FlashDriver(absent, Job());
  EXPECT_EQ(Reason(r, Language::English), "connect: the driver does not answer");
  EXPECT_EQ(absent.Exchanges(), 0);
}

TEST(Flash, StoredNameMustBeTheProgramsName) {
  EXPECT_EQ(StoredProgramName("C:\\PRG\\MOTOR.KV3"), "MOTOR.KV3");
  EXPECT_EQ(StoredProgramName("  /tmp/x/ şişe.kv3 "), "şişe.kv3");
  ScriptedSession s;
  s.OnExchange(2, [&] { s.Driver().programName = "OTHER.KV3"; });
  const FlashResult r = FlashDriver(s, Job(false));
  EXPECT_FALSE(r.passed);
  EXPECT_EQ(r.step, FlashStep::ProgramName);
  EXPECT_EQ(Reason(r, Language::English),
            "program name: the driver holds \"OTHER.KV3\", not \"HOMING.KV3\"");
}

TEST(Flash, FirstStopLetsTheDriverFinishSecondCutsItOff) {
  ScriptedSession finishing;
  CountedStop stop;
  finishing.OnExchange(2, [&] { stop.Request(); });
  EXPECT_TRUE(FlashDriver(finishing, Job(), &stop).passed);
  EXPECT_EQ(finishing.Exchanges(), 7);

  ScriptedSession cut;
  CountedStop twice;
  cut.OnExchange(2, [&] { twice.Request(); });
  cut.OnExchange(3, [&] { twice.Request(); });
  cut.FailExchange(3, Outcome::Interrupted);  // what the session does at the second request
  const FlashResult r = FlashDriver(cut, Job(), &twice);
  EXPECT_FALSE(r.passed);
  EXPECT_EQ(Reason(r, Language::English), "parameters: writing prm9: interrupted");
}

TEST(Flash, PortsRunSideBySideAndEachHasItsResult) {
  const std::vector<std::string> ports = {"/dev/a", "/dev/b", "/dev/c", "/dev/missing"};
  CountedStop stop;
  std::vector<std::string> seen;
  const auto results = FlashPorts(
      ports,
      [](const std::string& port, std::string& why) -> std::unique_ptr<DriverSession> {
        if (port == "/dev/missing") {
          why = "Comm Port /dev/missing not opened!";
          return nullptr;
        }
        auto s = std::make_unique<ScriptedSession>(port);
        if (port == "/dev/b") s->FailExchange(3, Outcome::PortLost);
        return s;
      },
      Job(), stop, [&](const FlashResult& r) { seen.push_back(r.port); });
  ASSERT_EQ(results.size(), 4u);
  EXPECT_EQ(seen.size(), 4u);
  for (std::size_t i = 0; i < ports.size(); ++i) EXPECT_EQ(results[i].port, ports[i]);
  EXPECT_TRUE(results[0].passed);
  EXPECT_EQ(Reason(results[1], Language::English), "parameters: writing prm9: the port went away");
  EXPECT_TRUE(results[2].passed);
  EXPECT_EQ(Reason(results[3], Language::English), "open: Comm Port /dev/missing not opened!");
}

TEST(Station, ProgramsEachDriverThatComesUntilStopped) {
  ScriptedSession s;
  CountedStop stop;
  s.SetPresent(false);
  ScriptedDriver good, bad;
  bad.ignores = {"speed"};
  s.Arrive(good);
  s.Arrive(bad);
  s.Arrive(good);
  s.StopWhenEmpty(&stop);
  std::vector<std::string> events;
  const StationCounts counts =
      RunStation(s, Job(), stop,
                 {[&](const std::string&) { events.push_back("waiting"); },
                  [&](const FlashResult& r) {
                    events.push_back(std::to_string(r.number) + (r.passed ? " passed" : " failed"));
                  },
                  [&](const std::string&) { events.push_back("remove"); }});
  EXPECT_EQ(counts.passed, 2);
  EXPECT_EQ(counts.failed, 1);
  EXPECT_EQ(events,
            (std::vector<std::string>{"waiting", "1 passed", "remove", "waiting", "2 failed",
                                      "remove", "waiting", "3 passed", "remove", "waiting"}));
}

TEST(Station, StopDuringADriverEndsAfterIt) {
  ScriptedSession s;
  CountedStop stop;
  s.SetPresent(false);
  s.Arrive({});
  s.Arrive({});
  s.OnExchange(3, [&] { stop.Request(); });
  int results = 0;
  const StationCounts counts =
      RunStation(s, Job(), stop, {{}, [&](const FlashResult&) { ++results; }, {}});
  EXPECT_EQ(counts.passed, 1);
  EXPECT_EQ(results, 1);
  EXPECT_EQ(s.Exchanges(), 7);  // the driver was finished, and no other begun
}

TEST(Slot, PortsThatAreNoPathsHaveNone) {
  for (const char* port : {"3", "COM7", "\\\\.\\COM12", ""}) EXPECT_EQ(SlotOf(port), "") << port;
}

#ifndef _WIN32
// A station's slot is the USB socket: a /dev/serial/by-path/ link. Links in a folder of the
// test stand in for the system's: a file for the adapter's device, a by-path and a by-id link
// to it.
TEST(Slot, IsTheByPathLinkThatLeadsToThePort) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("kivra-slot-" + std::to_string(::getpid()));
  fs::create_directories(root / "dev");
  fs::create_directories(root / "by-path");
  fs::create_directories(root / "by-id");
  std::ofstream(root / "dev" / "ttyUSB3").put('\n');
  std::ofstream(root / "dev" / "ttyUSB4").put('\n');
  const std::string slot = "pci-0000:00:14.0-usb-0:1.2:1.0-port0";
  fs::create_symlink(root / "dev" / "ttyUSB3", root / "by-path" / slot);
  fs::create_symlink("../dev/ttyUSB3", root / "by-id" / "usb-FTDI_FT232R_A10K3X-if00-port0");
  const struct {
    const char* name;
    std::string port;
    std::string slot;
  } cases[] = {
      {"given as its by-path link", (root / "by-path" / slot).string(), slot},
      {"given as its device", (root / "dev" / "ttyUSB3").string(), slot},
      {"given by the adapter's by-id link",
       (root / "by-id" / "usb-FTDI_FT232R_A10K3X-if00-port0").string(), slot},
      {"a device in no slot", (root / "dev" / "ttyUSB4").string(), ""},
      {"no such device", (root / "dev" / "ttyUSB9").string(), ""},
      {"a port number", "3", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SlotOf(c.port, root / "by-path"), c.slot) << c.name;
  // A by-path link names its slot even where the folder of links is not looked in.
  EXPECT_EQ(SlotOf((root / "by-path" / slot).string(), root / "elsewhere"), slot);
  fs::remove_all(root);
}
#endif

TEST(Report, CsvAndJsonRecordEachDriver) {
  FlashResult passed;
  passed.port = "/dev/ttyUSB0";
  passed.passed = true;
  passed.step = FlashStep::Done;
  passed.number = 1;
  passed.firmware = 12;
  passed.programName = "HOMING.KV3";
  passed.slot = "pci-0000:00:14.0-usb-0:1.2:1.0-port0";
  passed.started = std::chrono::system_clock::time_point(std::chrono::seconds(1796000000));
  passed.duration = std::chrono::milliseconds(9375);
  FlashResult failed = passed;
  failed.slot.clear();
  failed.port = "/dev/by-id/usb \"x\",1";
  failed.passed = false;
  failed.step = FlashStep::Open;
  failed.firmware.reset();
  failed.programName = "A\tB";
  failed.openError = "Comm Port x not opened!\nno such port, \"sic\"";
  failed.duration = {};
  const std::vector<FlashResult> results = {passed, failed};
  const RunInfo info{"examples/homing.kv3", "", Language::English};

  EXPECT_EQ(ReportCsv(info, results),
            "port,number,result,started,seconds,step,reason,firmware,program,slot\r\n"
            "/dev/ttyUSB0,1,passed,2026-11-30T00:53:20Z,9.38,done,,1.2,HOMING.KV3,"
            "pci-0000:00:14.0-usb-0:1.2:1.0-port0\r\n"
            "\"/dev/by-id/usb \"\"x\"\",1\",1,failed,2026-11-30T00:53:20Z,0.00,open,"
            "\"open: Comm Port x not opened! no such port, \"\"sic\"\"\",,A\tB,\r\n");
  EXPECT_EQ(Report("RUN.JSON", info, results), ReportJson(info, results));
  EXPECT_EQ(
      ReportJson(info, results),
      "{\n  \"program\": \"examples/homing.kv3\",\n  \"parameters\": null,\n  \"passed\": 1,\n"
      "  \"failed\": 1,\n  \"drivers\": [\n"
      "    {\"port\": \"/dev/ttyUSB0\", \"number\": 1, \"result\": \"passed\", \"started\": "
      "\"2026-11-30T00:53:20Z\", \"seconds\": 9.38, \"step\": \"done\", \"reason\": \"\", "
      "\"firmware\": "
      "\"1.2\", \"program\": \"HOMING.KV3\", \"slot\": \"pci-0000:00:14.0-usb-0:1.2:1.0-port0\"},\n"
      "    {\"port\": \"/dev/by-id/usb \\\"x\\\",1\", \"number\": 1, \"result\": \"failed\", "
      "\"started\": "
      "\"2026-11-30T00:53:20Z\", \"seconds\": 0.00, \"step\": \"open\", \"reason\": \"open: Comm "
      "Port x not "
      "opened! no such port, \\\"sic\\\"\", \"firmware\": null, \"program\": \"A\\u0009B\", "
      "\"slot\": null}\n  "
      "]\n}\n");
  EXPECT_EQ(ReportJson(info, {}),
            "{\n  \"program\": \"examples/homing.kv3\",\n  \"parameters\": null,\n"
            "  \"passed\": 0,\n  \"failed\": 0,\n  \"drivers\": []\n}\n");
}

TEST(Report, CsvTextCellsCannotBecomeFormulasJsonKeepsThem) {
  FlashResult r;
  r.port = "-3+2";
  r.passed = true;
  r.step = FlashStep::Done;
  r.number = 7;
  r.firmware = 12;
  r.programName = "=1+1.KV3";
  r.started = std::chrono::system_clock::time_point(std::chrono::seconds(1796000000));
  r.duration = std::chrono::milliseconds(11800);
  FlashResult named = r;
  named.port = "@A1";
  named.programName = "+HOMING.KV3";
  const std::vector<FlashResult> results = {r, named};
  const RunInfo info{"=1+1.KV3", "", Language::English};

  EXPECT_EQ(ReportCsv(info, results),
            "port,number,result,started,seconds,step,reason,firmware,program,slot\r\n"
            "'-3+2,7,passed,2026-11-30T00:53:20Z,11.80,done,,1.2,'=1+1.KV3,\r\n"
            "'@A1,7,passed,2026-11-30T00:53:20Z,11.80,done,,1.2,'+HOMING.KV3,\r\n");
  const std::string json = ReportJson(info, results);
  EXPECT_NE(json.find("\"program\": \"=1+1.KV3\","), std::string::npos) << json;
  EXPECT_NE(json.find("{\"port\": \"-3+2\""), std::string::npos) << json;
  EXPECT_EQ(json.find('\''), std::string::npos) << json;
}

}  // namespace
}  // namespace kivra::params
