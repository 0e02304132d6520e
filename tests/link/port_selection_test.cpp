// Opening the remembered port at start-up and choosing another in the dialog.

#include "link/port_selection.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

struct FakeOpener : PortOpener {
  void SetPort(const PortName& p) override {
    calls.push_back("port " + p.Text());
    if (p != port) open = false;
    port = p;
  }
  void SetOpen(bool o) override {
    calls.push_back(o ? "open" : "close");
    if (o && missing.count(port.Text()))
      throw PortOpenError(OpenFailure::Missing, "Specified port doesn't exist");
    if (o && busy.count(port.Text())) throw std::runtime_error("Device already open");
    open = o;
    if (o) lost = false;
  }
  bool DeviceLost() override { return open && lost; }
  bool DevicePresent(const PortName& p) override { return !absent.count(p.Text()); }
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
  void WriteSetting(std::string_view name, std::string_view value) override { values[std::string(name)] = value; }
  std::map<std::string, std::string> values;
};

struct FakeDialog : PortDialogView {
  void SetDialogVisible(bool v) override { visible = v; }
  void SetNumberText(std::string_view t) override { number = t; }
  void SetCancelCaption(std::string_view t) override { cancel = t; }
  bool visible = false;
  std::string number, cancel;
};

struct PortRig : testing::Rig {
  FakeOpener opener;
  FakeSettings settings;
  FakeDialog dialog;
  PortSelection ports{engine, opener, settings, window, dialog};
  PortRig() { engine.SetLinkEnabled(false); }
};

TEST(PortStartUp, OpensTheRememberedPort) {
  struct Case {
    const char* stored;  // "" = never set
    const char* opened;
  };
  const Case cases[] = {{"", "1"}, {"0", "1"}, {"3", "3"}, {"259", "3"}, {"/dev/ttyUSB0", "/dev/ttyUSB0"}};
  for (const auto& c : cases) {
    PortRig r;
    r.settings.values["COMPORT"] = c.stored;
    r.ports.StartUp();
    EXPECT_EQ(r.opener.port.Text(), c.opened) << c.stored;
    EXPECT_TRUE(r.opener.open);
    EXPECT_TRUE(r.engine.LinkEnabled());
    EXPECT_EQ(r.window.text("StaticText15"), c.opened);
    EXPECT_EQ(r.window.text("StaticText55"), c.opened);
    EXPECT_TRUE(r.window.messages.empty());
    EXPECT_EQ(r.settings.values["COMPORT"], *c.stored ? c.stored : "1");
  }
}

TEST(PortStartUp, FailureWarnsAndLeavesTheLinkOff) {
  struct Case {
    const char* stored;
    bool english;
    const char* message;
  };
  const Case cases[] = {
      {"4", true, "Comm Port 4 not opened!\nThere is no such port on this computer."},
      {"4", false, "Comm Port 4 Açılamadı!\nBu bilgisayarda böyle bir port yok."},
      {"/dev/ttyUSB0", true,
       "Comm Port /dev/ttyUSB0 not opened!\nThere is no such port on this computer."},
      // Without words of ours for the reason, the serial component's.
      {"/dev/ttyS9", true, "Comm Port /dev/ttyS9 not opened!\nDevice already open"},
      {"COM4", true, "Comm Port 0 not opened!"},  // not a number: the number as it stood
  };
  for (const auto& c : cases) {
    PortRig r;
    r.engine.SetEnglish(c.english);
    r.opener.missing = {"4", "/dev/ttyUSB0"};
    r.opener.busy = {"/dev/ttyS9"};
    r.settings.values["COMPORT"] = c.stored;
    r.window.texts["StaticText15"] = "old";
    r.ports.StartUp();
    EXPECT_FALSE(r.engine.LinkEnabled());
    EXPECT_EQ(r.window.colour("Shape1"), Colour::Red);
    EXPECT_EQ(r.window.colour("Shape13"), Colour::Red);
    EXPECT_EQ(r.window.text("StaticText15"), "");
    ASSERT_EQ(r.window.messages.size(), 1u);
    EXPECT_EQ(r.window.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(r.window.messages[0].text, c.message);
    r.Tick(10);
    EXPECT_TRUE(r.port.sent.empty());
  }
}

TEST(PortDialog, ChoosesStoresAndReopens) {
  PortRig r;
  r.engine.SetEnglish(true);
  r.opener.missing = {"9"};
  r.ports.StartUp();
  r.ports.DialogCreated();
  EXPECT_EQ(r.dialog.number, "1");
  r.ports.ShowDialog();
  EXPECT_TRUE(r.dialog.visible);
  EXPECT_EQ(r.dialog.cancel, "CANCEL");

  // Not a number: the link stops, the port stays as it was, the dialog stays open.
  r.opener.calls.clear();
  r.ports.DialogOk("one");
  EXPECT_EQ(r.window.messages.back().kind, MessageKind::Error);
  EXPECT_EQ(r.window.messages.back().text, "Enter number!");
  EXPECT_FALSE(r.engine.LinkEnabled());
  EXPECT_TRUE(r.opener.calls.empty());
  EXPECT_TRUE(r.dialog.visible);

  // A port that cannot be opened: warning, setting unchanged, dialog open.
  r.ports.DialogOk("9");
  EXPECT_EQ(r.window.messages.back().text,
            "Comm Port 9 not opened!\nThere is no such port on this computer.");
  EXPECT_EQ(r.settings.values["COMPORT"], "1");
  EXPECT_TRUE(r.dialog.visible);
  EXPECT_EQ(r.window.text("StaticText55"), "");

  // 257 is port 1 again; the link runs, the dialog closes, the choice is remembered.
  r.ports.DialogOk("257");
  EXPECT_TRUE(r.engine.LinkEnabled());
  EXPECT_FALSE(r.dialog.visible);
  EXPECT_EQ(r.settings.values["COMPORT"], "1");
  EXPECT_EQ(r.window.text("StaticText15"), "1");
  r.ports.ShowDialog();
  r.ports.DialogOk("/dev/ttyACM0");
  EXPECT_EQ(r.settings.values["COMPORT"], "/dev/ttyACM0");
  EXPECT_EQ(r.opener.port.path, "/dev/ttyACM0");
  r.ports.ShowDialog();
  r.ports.DialogCancel();
  EXPECT_FALSE(r.dialog.visible);
  EXPECT_EQ(r.settings.values["COMPORT"], "/dev/ttyACM0");
}

}  // namespace
}  // namespace kivra::link
