// The driver status displays of both tabs, and the script and debug switches.

#include <string>

#include "link/engine.h"
#include "link/texts.h"

namespace kivra::link {
namespace {
Colour OnOff(bool on) { return on ? Colour::Lime : Colour::ScrollBar; }
// Shapes of inputs 1..6 start here on each tab; outputs and modes follow.
constexpr int kInputs = 3, kInputsDirect = 15;
constexpr int kOutput1 = 9, kOutput2 = 10, kOutput1Direct = 21, kOutput2Direct = 22;
constexpr int kStepDir = 11, kController = 12, kStepDirDirect = 23, kControllerDirect = 24;
constexpr int kMotorRunning = 2, kScriptDirect = 14, kDebug = 25, kScript = 26;
}  // namespace

Colour LinkEngine::ShapeColour(int shape) const {
  return shape >= 1 && shape <= 26 ? shapes_[shape] : Colour::ScrollBar;
}

void LinkEngine::SetShape(int shape, Colour colour) {
  shapes_[shape] = colour;
  view_.SetColour(ctl::Shape(shape), colour);
}

void LinkEngine::SetConnection(Colour colour) {
  SetShape(1, colour);
  SetShape(13, colour);
  UpdateStatus();
}

void LinkEngine::UpdateStatus() {
  LinkStatus now = LinkStatus::NotAnswering;
  if (waitingForDevice_) {
    now = LinkStatus::Reconnecting;
  } else if (!v_.linkEnabled) {
    now = LinkStatus::PortClosed;
  } else if (v_.connected) {
    now = LinkStatus::Answering;
  }
  if (now == status_) return;
  status_ = now;
  view_.ShowLinkStatus(now);
}

void LinkEngine::ShowStatus(const StatusReply& s) {
  for (int i = 1; i <= 6; ++i) {
    SetShape(kInputs + i - 1, OnOff(s.Input(i)));
    SetShape(kInputsDirect + i - 1, OnOff(s.Input(i)));
  }
  SetShape(kOutput1, OnOff(s.Output(1)));
  SetShape(kOutput1Direct, OnOff(s.Output(1)));
  SetShape(kOutput2, OnOff(s.Output(2)));
  SetShape(kOutput2Direct, OnOff(s.Output(2)));

  view_.SetText(ctl::Analog1, std::to_string(s.analog1));
  view_.SetText(ctl::Analog1Direct, std::to_string(s.analog1));
  view_.SetText(ctl::Analog2, std::to_string(s.analog2));
  view_.SetText(ctl::Analog2Direct, std::to_string(s.analog2));
  view_.SetText(ctl::Temperature, std::to_string(s.temperature));
  view_.SetText(ctl::TemperatureDirect, std::to_string(s.temperature));

  v_.firmwareVersion = s.firmware;

  v_.scriptOn = s.ScriptRunning();
  SetShape(kScript, OnOff(v_.scriptOn));
  SetShape(kScriptDirect, OnOff(v_.scriptOn));
  view_.SetText(ctl::ScriptButton, Tr(Text::ScriptSwitch, english_));
  if (v_.scriptOn) {
    if (v_.debugOn) {
      const std::uint32_t line = s.address < CodeCapacity ? hooks_.LineAtAddress(s.address) : 0;
      if (line != 0) {
        view_.SelectEditorLine(line);
        view_.SetEditorReadOnly(true);
      }
    } else {
      view_.SetEditorReadOnly(false);
    }
  }

  SetShape(kController, OnOff(s.ControllerMode()));
  SetShape(kControllerDirect, OnOff(s.ControllerMode()));
  SetShape(kStepDir, OnOff(!s.ControllerMode()));
  SetShape(kStepDirDirect, OnOff(!s.ControllerMode()));

  v_.motorRunning = s.MotorRunning();
  SetShape(kMotorRunning, OnOff(v_.motorRunning));

  lastStatus_ = s;
  ++statusCount_;
}

void LinkEngine::ShowDisconnected() {
  // The analog values, the motor and debug shapes, the connection shapes and the flags
  // keep their last state.
  SetShape(kScript, Colour::ScrollBar);
  view_.SetText(ctl::ScriptButton, Tr(Text::ScriptSwitch, english_));
  view_.SetText(ctl::Temperature, " ");
  view_.SetText(ctl::TemperatureDirect, " ");
  for (int shape = 3; shape <= 12; ++shape) SetShape(shape, Colour::ScrollBar);
  for (int shape = 14; shape <= 24; ++shape) SetShape(shape, Colour::ScrollBar);
}

void LinkEngine::ScriptSwitch() {
  view_.SetText(ctl::ScriptButton, Tr(Text::ScriptSwitch, english_));
  if (v_.scriptOn) {
    v_.scriptOn = false;
    SetShape(kScript, Colour::ScrollBar);
    Request(state::Stop);
    view_.FocusEditor();
  } else {
    v_.scriptOn = true;
    view_.FocusEditor();
    SetShape(kScript, Colour::Lime);
    Request(state::ScriptOn);
  }
}

void LinkEngine::DebugSwitch() {
  if (v_.debugOn) {
    view_.SetText(ctl::DebugButton, Tr(Text::DebugOn, english_));
    v_.debugOn = false;
    view_.FocusEditor();
    SetShape(kDebug, Colour::ScrollBar);
    view_.SetEditorReadOnly(false);
    return;
  }
  // The highlighted lines must belong to the program in the editor: an edited program is
  // checked, saved and loaded again first. The flag is cleared before, so after a failed
  // check or save the next click turns debug on without another attempt.
  if (hooks_.SourceEdited()) {
    hooks_.ClearSourceEdited();
    if (!hooks_.CheckProgram()) return;
    if (!hooks_.SaveProgram()) return;
    hooks_.ReloadProgram();
  }
  view_.SetText(ctl::DebugButton, Tr(Text::DebugOff, english_));
  v_.debugOn = true;
  view_.FocusEditor();
  SetShape(kDebug, Colour::Lime);
  view_.SetEditorReadOnly(true);
}

}  // namespace kivra::link
