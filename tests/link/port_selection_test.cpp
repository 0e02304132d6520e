// Opening the remembered port at start-up and choosing another in the dialog.

#include "link/port_selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "common/texts.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

struct FakeOpener : PortOpener {
  void SetPort(const PortName& p) override {
    calls.push_back("port " + p.ToString());
    if (p != port) open = false;
    port = p;
  }
  void SetOpen(bool o) override {
    calls.push_back(o ? "open" : "close");
    if (o && missing.count(port.ToString()))
      throw PortOpenError(OpenFailure::Missing, "Specified port doesn't exist");
    if (o && busy.count(port.ToString())) throw std::runtime_error("Device already open");
    open = o;
    if (o) lost = false;
  }
  bool DeviceLost() override { return open && lost; }
  bool DevicePresent(const PortName& p) override { return !absent.count(p.ToString()); }
  PortName port;
  bool open = false;
  bool lost = false;
  std::set<std::string> missing, busy, absent;
  std::vector<std::string> calls;
};

struct FakeSettings : SettingsStore {
  std::string ReadSetting(std::string_view name, std::string_view def) override {
    auto& v = values[std::string(name)];
    if (v.empty()) v = def;
    return v;
  }
  void WriteSetting(std::string_view name, std::string_view value) override {
    values[std::string(name)] = value;
  }
  std::map<std::string, std::string> values;
};

struct FakePortView : PortView {
  void ShowPortNumber(std::string_view t) override { shown = t; }
  void PortNotOpened(std::string_view port, OpenFailure reason, std::string_view detail,
                     bool startUp) override {
    failures.push_back({std::string(port), reason, std::string(detail), startUp});
  }
  void PortNotANumber() override { ++notANumber; }

  struct Failure {
    std::string port;
    OpenFailure reason;
    std::string detail;
    bool startUp;
  };
  // The warning as the window and the command line word it.
  std::string Warning(std::size_t i, Language language) const {
    const Failure& f = failures.at(i);
    return texts::PortNotOpened(f.port, f.reason, f.detail, language);
  }
  std::string shown = "old";
  std::vector<Failure> failures;
  int notANumber = 0;
};

struct PortRig : testing::Rig {
  FakeOpener opener;
  FakeSettings settings;
  FakePortView view;
  PortSelection ports{engine, opener, settings, view};
  PortRig() { engine.SetLinkEnabled(false); }
  // The timer's tick as the owners run it: the port's watch, then the engine.
  void Step(int n = 1) {
    for (int i = 0; i < n; ++i) {
      ports.Tick();
      engine.Tick();
    }
  }
};

TEST(PortStartUp, OpensTheRememberedPort) {
  struct Case {
    const char* stored;  // "" = never set
    const char* opened;
  };
  const Case cases[] = {
      {"", "1"}, {"0", "1"}, {"3", "3"}, {"259", "3"}, {"/dev/ttyUSB0", "/dev/ttyUSB0"}};
  for (const auto& c : cases) {
    PortRig r;
    r.settings.values["COMPORT"] = c.stored;
    r.ports.StartUp();
    EXPECT_EQ(r.opener.port.ToString(), c.opened) << c.stored;
    EXPECT_TRUE(r.opener.open);
    EXPECT_TRUE(r.engine.LinkEnabled());
    EXPECT_EQ(r.view.shown, c.opened);
    EXPECT_TRUE(r.view.failures.empty());
    EXPECT_EQ(r.settings.values["COMPORT"], *c.stored ? c.stored : "1");
  }
}

TEST(PortStartUp, FailureWarnsAndLeavesTheLinkOff) {
  struct Case {
    const char* stored;
    Language language;
    const char* message;
  };
  const Case cases[] = {
      {"4", Language::English, "Comm Port 4 not opened!\nThere is no such port on this computer."},
      {"4", Language::Turkish, "Comm Port 4 Açılamadı!\nBu bilgisayarda böyle bir port yok."},
      {"/dev/ttyUSB0", Language::English,
       "Comm Port /dev/ttyUSB0 not opened!\nThere is no such port on this computer."},
      // Without words of ours for the reason, the serial component's.
      {"/dev/ttyS9", Language::English, "Comm Port /dev/ttyS9 not opened!\nDevice already open"},
      {"COM4", Language::English,
       "Comm Port 0 not opened!"},  // not a number: the number as it stood
  };
  for (const auto& c : cases) {
    PortRig r;
    r.opener.missing = {"4", "/dev/ttyUSB0"};
    r.opener.busy = {"/dev/ttyS9"};
    r.settings.values["COMPORT"] = c.stored;
    r.ports.StartUp();
    EXPECT_FALSE(r.engine.LinkEnabled());
    EXPECT_FALSE(r.seen.Lit());
    EXPECT_EQ(r.engine.Progress().status, LinkStatus::PortClosed);
    EXPECT_EQ(r.view.shown, "");
    ASSERT_EQ(r.view.failures.size(), 1u);
    EXPECT_TRUE(r.view.failures[0].startUp);
    EXPECT_EQ(r.view.Warning(0, c.language), c.message);
    r.Tick(10);
    EXPECT_TRUE(r.port.sent.empty());
  }
}

// The user's choice, however it was asked for: opened and remembered, or refused with the
// reason, the remembered port left as it was.
TEST(PortChoice, ChoosesStoresAndReopens) {
  PortRig r;
  r.opener.missing = {"9"};
  r.ports.StartUp();
  EXPECT_EQ(r.ports.Current().ToString(), "1");

  // Not a number: the link stops, the port stays as it was.
  r.opener.calls.clear();
  EXPECT_FALSE(r.ports.Choose("one"));
  EXPECT_EQ(r.view.notANumber, 1);
  EXPECT_FALSE(r.engine.LinkEnabled());
  EXPECT_TRUE(r.opener.calls.empty());

  // A port that cannot be opened: warning, setting unchanged.
  EXPECT_FALSE(r.ports.Choose("9"));
  ASSERT_EQ(r.view.failures.size(), 1u);
  EXPECT_FALSE(r.view.failures[0].startUp);
  EXPECT_EQ(r.view.Warning(0, Language::English),
            "Comm Port 9 not opened!\nThere is no such port on this computer.");
  EXPECT_EQ(r.settings.values["COMPORT"], "1");
  EXPECT_EQ(r.view.shown, "");

  // 257 is port 1 again; the link runs, the choice is remembered.
  EXPECT_TRUE(r.ports.Choose("257"));
  EXPECT_TRUE(r.engine.LinkEnabled());
  EXPECT_EQ(r.settings.values["COMPORT"], "1");
  EXPECT_EQ(r.view.shown, "1");
  EXPECT_TRUE(r.ports.Choose("/dev/ttyACM0"));
  EXPECT_EQ(r.settings.values["COMPORT"], "/dev/ttyACM0");
  EXPECT_EQ(r.opener.port.path(), "/dev/ttyACM0");
}

// The adapter is pulled during a download and plugged in again: the download is reported
// as failed, nothing is sent or opened while the device is missing, and once it is back
// only status polling resumes.
TEST(PortReconnect, ALostDeviceIsFoundAgainAndOnlyPollingResumes) {
  PortRig r;
  r.settings.values["COMPORT"] = "/dev/ttyUSB0";
  r.ports.StartUp();
  r.PollOnce();
  CodeImage image;
  image.bytes.fill(0xFF);
  image.length = 100;
  r.engine.Download({true, image, {}, "A.KV3"});
  for (int i = 0; i < 4; ++i) {
    r.Step();
    if (!r.port.TakeFrames().empty()) r.port.Receive({AckByte});
  }
  ASSERT_EQ(r.engine.Progress().download, DownloadResult::Running);

  r.opener.lost = true;
  r.opener.absent = {"/dev/ttyUSB0"};
  r.opener.calls.clear();
  r.Step();
  EXPECT_EQ(r.engine.Progress().download, DownloadResult::Failed);
  EXPECT_EQ(r.seen.NoticeKinds(), std::vector<Notice>{Notice::DownloadError});
  EXPECT_FALSE(r.seen.progressVisible);
  EXPECT_EQ(r.opener.calls, std::vector<std::string>{"close"});
  EXPECT_EQ(r.engine.Progress().status, LinkStatus::Reconnecting);
  EXPECT_EQ(r.seen.statuses.back(), LinkStatus::Reconnecting);
  EXPECT_FALSE(r.seen.Lit());
  EXPECT_TRUE(r.ports.WaitingForDevice());

  // Gone: the path is looked at, never opened, and nothing is sent. A request made
  // meanwhile is not kept for later.
  r.engine.Run();
  r.Step(100);
  EXPECT_EQ(r.opener.calls, std::vector<std::string>{"close"});
  EXPECT_TRUE(r.port.sent.empty());

  // There but not ready yet: tried again, quietly.
  r.opener.absent.clear();
  r.opener.busy = {"/dev/ttyUSB0"};
  r.Step(20);
  EXPECT_TRUE(r.ports.WaitingForDevice());
  EXPECT_GE(std::count(r.opener.calls.begin(), r.opener.calls.end(), "open"), 1);
  EXPECT_EQ(r.seen.notices.size(), 1u);

  r.opener.busy.clear();
  r.Step(20);
  EXPECT_FALSE(r.ports.WaitingForDevice());
  EXPECT_TRUE(r.engine.LinkEnabled());
  EXPECT_EQ(r.opener.port.ToString(), "/dev/ttyUSB0");
  const auto frames = r.port.TakeFrames();
  ASSERT_FALSE(frames.empty());
  for (const auto& f : frames) EXPECT_EQ(f, CommandFrame('s', 0));
  r.port.Receive(testing::StatusFrame());
  r.Step(2);
  EXPECT_EQ(r.engine.Progress().status, LinkStatus::Answering);
  EXPECT_EQ(r.seen.notices.size(), 1u);
}

// Looking for the device takes a look every half second of the timer's time, not every tick.
TEST(PortReconnect, LooksEveryHalfSecond) {
  PortRig r;
  r.ports.StartUp();
  r.PollOnce();  // 25 ms ticks
  r.opener.lost = true;
  r.opener.absent = {"1"};
  r.Step();
  r.opener.calls.clear();
  r.opener.absent.clear();
  int ticks = 0;
  while (r.ports.WaitingForDevice() && ticks < 100) {
    r.Step();
    ++ticks;
  }
  EXPECT_EQ(ticks, PortSelection::kLookForDeviceMs / 25);
  EXPECT_EQ(r.opener.calls, std::vector<std::string>{"open"});
}

// Choosing a port ends the wait for the lost one; it is not reopened when it comes back.
TEST(PortReconnect, ChoosingAnotherPortEndsTheWait) {
  PortRig r;
  r.settings.values["COMPORT"] = "/dev/ttyUSB0";
  r.ports.StartUp();
  r.opener.lost = true;
  r.opener.absent = {"/dev/ttyUSB0"};
  r.Step();
  ASSERT_TRUE(r.ports.WaitingForDevice());
  EXPECT_TRUE(r.ports.Choose("/dev/ttyUSB1"));
  EXPECT_FALSE(r.ports.WaitingForDevice());
  EXPECT_EQ(r.engine.Progress().status, LinkStatus::NotAnswering);
  r.opener.absent.clear();
  r.opener.calls.clear();
  r.Step(100);
  EXPECT_EQ(r.opener.port.ToString(), "/dev/ttyUSB1");
  EXPECT_TRUE(r.opener.calls.empty());
}

// An empty choice stops the link: the lamps and the connection text say so at once,
// instead of staying lime while nothing is sent.
TEST(PortChoice, AnEmptyEntryShowsTheLinkDown) {
  PortRig r;
  r.ports.StartUp();
  r.PollOnce();
  ASSERT_TRUE(r.seen.Lit());
  EXPECT_FALSE(r.ports.Choose(""));
  EXPECT_FALSE(r.engine.LinkEnabled());
  EXPECT_FALSE(r.seen.Lit());
  EXPECT_EQ(r.seen.statuses.back(), LinkStatus::PortClosed);
  EXPECT_EQ(texts::LinkStatusText(r.engine.Progress().status, Language::Turkish),
            "port açık değil");
}

}  // namespace
}  // namespace kivra::link
