// The requests of the direct-control page, the script switch and the command line.

#include "link/engine.h"

namespace kivra::link {

void LinkEngine::WriteSetting(Setting setting, Entered value) {
  setting_ = setting;
  settingValue_ = value;
  Request(CommandOf(setting).send);
}

void LinkEngine::WriteParameter(int prm, Entered value) {
  if (!IsParameter(prm)) return;
  const LinkState state = IsWideParameter(prm) ? LinkState::Param32 : LinkState::Param16;
  const Refusal refusal = CheckParameter(prm, value);
  if (refusal != Refusal::None) {
    // Refused at once, and said so: the box is read when the button is pressed.
    Replace();
    vars_.linkState = LinkState::Idle;
    vars_.pollEnabled = true;
    SetExchange({state, ExchangeOutcome::Refused, refusal});
    if (refusal == Refusal::NotANumber) facts_.Queue(Notice::NumberExpected);
    facts_.FlushNotices();
    return;
  }
  vars_.paramIndex = ParameterIndex(prm);
  vars_.paramValue = *value;
  Request(state);
}

void LinkEngine::Read(Answer what) {
  for (const Command& c : Commands()) {
    if (c.answer == what && c.operand == Operand::None && what != Answer::Status &&
        what != Answer::Ack)
      return Request(c.send);
  }
}

void LinkEngine::Run() {
  Request(LinkState::Run);
}

void LinkEngine::Stop() {
  Request(LinkState::Stop);
}

void LinkEngine::ReadMemory(Entered address) {
  memoryAddress_ = address;
  Request(LinkState::MemoryRead);
}

void LinkEngine::WriteMemory(Entered address, Entered data) {
  memoryAddress_ = address;
  memoryData_ = data;
  Request(LinkState::MemoryWrite);
}

void LinkEngine::WriteOutput(int output, bool shownOn) {
  if (output != 1 && output != 2) return;
  vars_.outputValue = static_cast<std::uint16_t>(output * 0x100 + (shownOn ? 1 : 0));
  Request(LinkState::Output);
}

bool LinkEngine::Move() {
  if (vars_.motorRunning || vars_.linkState == LinkState::Move ||
      vars_.linkState == LinkState::MoveWait)
    return false;
  if (vars_.linkEnabled) vars_.motorRunning = true;
  Request(LinkState::Move);
  return true;
}

void LinkEngine::SetScript(bool on) {
  if (vars_.linkEnabled) vars_.scriptOn = on;
  Request(on ? LinkState::ScriptOn : LinkState::Stop);
}

void LinkEngine::SetDebug(const AddressLines* lines) {
  if (lines) addressLines_ = *lines;
  vars_.debugOn = lines != nullptr;
}

}  // namespace kivra::link
