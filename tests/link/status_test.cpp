// Status decoding into both tabs, the disconnected display, and the script and debug switches.

#include <gtest/gtest.h>

#include "link/engine.h"
#include "tests/link/fakes.h"

namespace kivra::link {
namespace {

using testing::Rig;
using testing::StatusFrame;

std::vector<int> LitShapes(const testing::FakeWindow& w) {
  std::vector<int> lit;
  for (int n = 1; n <= 26; ++n)
    if (w.colour(ctl::Shape(n)) == Colour::Lime) lit.push_back(n);
  return lit;
}

TEST(Status, BitsLightTheirShapesOnBothTabs) {
  struct Case {
    std::uint8_t io;
    std::uint8_t mode;
    std::vector<int> lit;  // besides the connection shapes 1 and 13
  };
  const Case cases[] = {
      {0x41, 0x00, {3, 9, 11, 15, 21, 23}},       // input 1, output 1; step/dir mode
      {0xC0, 0x00, {9, 10, 11, 21, 22, 23}},      // both outputs only
      {0x00, 0x05, {2, 12, 24}},                  // controller, motor running, no script
      {0x3F, 0x02, {3, 4, 5, 6, 7, 8, 11, 14, 15, 16, 17, 18, 19, 20, 23, 26}},
  };
  for (const auto& c : cases) {
    Rig r;
    r.PollOnce(StatusFrame(c.io, c.mode, 0, 17, 250, 41));
    std::vector<int> expected = c.lit;
    expected.push_back(1);
    expected.push_back(13);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(LitShapes(r.window), expected) << int(c.io) << ' ' << int(c.mode);
    EXPECT_EQ(r.window.text("StaticText49"), "17");
    EXPECT_EQ(r.window.text("StaticText70"), "250");
    EXPECT_EQ(r.window.text("StaticText74"), "41");
    EXPECT_EQ(r.v().firmwareVersion, 12);
    EXPECT_EQ(r.v().motorRunning, (c.mode & 4) != 0);
    EXPECT_EQ(r.v().scriptOn, (c.mode & 2) != 0);
  }
}

TEST(Status, DisconnectedDisplayBlanksAllButTheAnalogValues) {
  Rig r;
  r.PollOnce(StatusFrame(0xFF, 0x07, 0, 33, 44, 50));
  while (r.v().connected) r.Tick();
  EXPECT_EQ(LitShapes(r.window), (std::vector<int>{2}));  // motor running keeps its colour
  EXPECT_EQ(r.window.text("StaticText13"), " ");
  EXPECT_EQ(r.window.text("StaticText74"), " ");
  EXPECT_EQ(r.window.text("StaticText49"), "33");
  EXPECT_EQ(r.window.text("StaticText70"), "44");
  EXPECT_EQ(r.window.colour("Shape1"), Colour::Red);
  EXPECT_TRUE(r.v().scriptOn);  // flags stay until the next reply
}

TEST(Status, DebugSelectsTheExecutingLine) {
  Rig r;
  r.window.addressLines = {{10, 7}, {12, 8}};
  r.engine.DebugSwitch();
  EXPECT_TRUE(r.window.readOnly);
  EXPECT_EQ(r.window.text("Button2"), "DEBUG OFF");
  EXPECT_EQ(r.window.colour("Shape25"), Colour::Lime);
  r.PollOnce(StatusFrame(0, 0x02, 10));
  r.PollOnce(StatusFrame(0, 0x02, 10));
  r.PollOnce(StatusFrame(0, 0x02, 11));    // no instruction starts there
  r.PollOnce(StatusFrame(0, 0x02, 5000));  // beyond the code memory
  r.PollOnce(StatusFrame(0, 0x00, 12));    // script stopped
  EXPECT_EQ(r.window.selectedLines, (std::vector<std::uint32_t>{7, 7}));
  EXPECT_TRUE(r.window.readOnly);
  r.engine.DebugSwitch();
  EXPECT_FALSE(r.window.readOnly);
  EXPECT_EQ(r.window.text("Button2"), "DEBUG ON");
  // Script running with debug off: the editor is writable.
  r.window.readOnly = true;
  r.PollOnce(StatusFrame(0, 0x02, 10));
  EXPECT_FALSE(r.window.readOnly);
  EXPECT_EQ(r.window.selectedLines.size(), 2u);
}

TEST(Status, DebugSwitchChecksSavesAndReloadsAnEditedProgram) {
  struct Case {
    bool checkOk;
    bool saveOk;
    std::vector<std::string> calls;
    bool debugOn;
  };
  const Case cases[] = {
      {true, true, {"clear", "check", "save", "reload"}, true},
      {false, true, {"clear", "check"}, false},
      {true, false, {"clear", "check", "save"}, false},
  };
  for (const auto& c : cases) {
    Rig r;
    r.window.sourceEdited = true;
    r.window.checkOk = c.checkOk;
    r.window.saveOk = c.saveOk;
    r.engine.DebugSwitch();
    EXPECT_EQ(r.window.calls, c.calls);
    EXPECT_EQ(r.v().debugOn, c.debugOn);
    // A failed attempt has cleared the flag: the next click turns debug on directly.
    if (!c.debugOn) {
      r.engine.DebugSwitch();
      EXPECT_TRUE(r.v().debugOn);
      EXPECT_EQ(r.window.calls, c.calls);
    }
  }
}

TEST(Status, ScriptSwitchRequestsAndTheDriverHasTheLastWord) {
  Rig r;
  r.PollOnce(StatusFrame(0, 0x00));
  r.engine.ScriptSwitch();
  EXPECT_TRUE(r.v().scriptOn);
  EXPECT_EQ(r.window.colour("Shape26"), Colour::Lime);
  EXPECT_EQ(r.window.text("Button3"), "SCRIPT ON/OFF");
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('G', 0)});
  r.port.Receive({AckByte});
  r.Tick(2);
  // A reply still showing the old state flips the shapes back.
  r.PollOnce(StatusFrame(0, 0x00));
  EXPECT_FALSE(r.v().scriptOn);
  EXPECT_EQ(r.window.colour("Shape26"), Colour::ScrollBar);
  r.PollOnce(StatusFrame(0, 0x02));
  r.engine.ScriptSwitch();
  EXPECT_FALSE(r.v().scriptOn);
  r.Tick();
  EXPECT_EQ(r.port.TakeFrames(), std::vector<Frame>{CommandFrame('S', 0)});
}

}  // namespace
}  // namespace kivra::link
