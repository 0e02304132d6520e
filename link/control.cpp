// The direct-control tab's buttons and the replies that fill its boxes.

#include <string>

#include "link/engine.h"
#include "link/integer.h"
#include "link/texts.h"
#include "link/values.h"

namespace kivra::link {

void LinkEngine::PressMove() {
  // One MOVE at a time: not while the motor runs or a MOVE is still being sent.
  if (v_.motorRunning || v_.linkState == state::Move || v_.linkState == state::Move + 1) return;
  v_.motorRunning = true;
  Request(state::Move);
}

void LinkEngine::PressReadSettings() {
  for (auto box : {ctl::Speed, ctl::RunCurrent, ctl::HoldCurrent, ctl::Microstep, ctl::Ramp,
                   ctl::StartSpeed, ctl::Displacement, ctl::Direction})
    view_.SetText(box, "");
  Request(state::ReadSettings);
}

void LinkEngine::PressDirection(bool right) {
  view_.SetText(ctl::Direction, Tr(right ? Text::Right : Text::Left, english_));
  Request(state::Direction);
}

void LinkEngine::PressParameterWrite(int prm) {
  if (!IsParameter(prm)) return;
  v_.paramIndex = ParameterIndex(prm);
  const auto value = ParseInteger(hooks_.BoxText(ctl::ParameterBox(prm)));
  if (!value) {
    AbandonDownload();
    BackToPolling();
    Queue(MessageKind::Plain, Tr(Text::NumberExpected, english_));
    FlushMessages();
    return;
  }
  v_.paramValue = *value;
  Request(IsWideParameter(prm) ? state::Param32 : state::Param16);
}

void LinkEngine::PressOutput(int output) {
  if (output != 1 && output != 2) return;
  // The driver is told the output's state as the display shows it now.
  const bool lit = ShapeColour(output == 1 ? 21 : 22) == Colour::Lime;
  v_.outputValue = static_cast<std::uint16_t>(output * 0x100 + (lit ? 1 : 0));
  Request(state::Output);
}

void LinkEngine::PressMemoryRead() {
  view_.SetText(ctl::MemoryData, "");
  Request(state::MemoryRead);
}

void LinkEngine::PressServiceRead() {
  view_.SetText(ctl::Service1, "");
  view_.SetText(ctl::Service2, "");
  Request(state::ReadService);
}

void LinkEngine::ShowMotorSettings(const MotorSettings& m) {
  view_.SetText(ctl::Speed, std::to_string(m.speed));
  view_.SetText(ctl::RunCurrent, std::to_string(m.runCurrent));
  view_.SetText(ctl::HoldCurrent, std::to_string(m.holdCurrent));
  view_.SetText(ctl::Microstep, std::to_string(m.microstep));
  view_.SetText(ctl::Ramp, std::to_string(m.ramp));
  view_.SetText(ctl::StartSpeed, std::to_string(m.startSpeed));
  view_.SetText(ctl::Direction, Tr(m.direction == 0 ? Text::Left : Text::Right, english_));
  view_.SetText(ctl::Displacement, std::to_string(m.displacement));
  view_.SetText(ctl::SpeedMode, std::to_string(m.speedMode));
  view_.SetText(ctl::SpeedCoefficient, std::to_string(m.speedCoefficient));
}

void LinkEngine::ShowParameterBlock(const ParameterBlock& p) {
  for (int prm = 9; prm <= 20; ++prm) view_.SetText(ctl::ParameterBox(prm), std::to_string(p.prm9to20[prm - 9]));
  for (int prm = 21; prm <= 25; ++prm)
    view_.SetText(ctl::ParameterBox(prm), std::to_string(p.prm21to25[prm - 21]));
}

}  // namespace kivra::link
