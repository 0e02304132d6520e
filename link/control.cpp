// The requests of the direct-control tab, the script switch and the command line.

#include "link/engine.h"

namespace kivra::link {
namespace {

// The exchange that writes each setting, in the order of the enum.
constexpr LinkState kSettingStates[] = {
    LinkState::Speed,        LinkState::RunCurrent,
    LinkState::HoldCurrent,  LinkState::Microstep,
    LinkState::Ramp,         LinkState::StartSpeed,
    LinkState::Displacement, LinkState::Direction,
    LinkState::SpeedMode,    LinkState::SpeedCoefficient,
    LinkState::Service1,     LinkState::Service2,
};
static_assert(std::size(kSettingStates) == static_cast<std::size_t>(Setting::Service2) + 1);

}  // namespace

LinkState WriteStateOf(Setting setting) {
  return kSettingStates[static_cast<std::size_t>(setting)];
}

void LinkEngine::WriteSetting(Setting setting, Entered value) {
  setting_ = setting;
  settingValue_ = value;
  Request(WriteStateOf(setting));
}

void LinkEngine::WriteParameter(int prm, Entered value) {
  if (!IsParameter(prm)) return;
  v_.paramIndex = ParameterIndex(prm);
  const LinkState state = IsWideParameter(prm) ? LinkState::Param32 : LinkState::Param16;
  if (!value) {
    // Refused at once, and said so: the box is read when the button is pressed.
    AbandonDownload();
    BackToPolling();
    if (exchange_.outcome == ExchangeOutcome::Running)
      SetExchange({exchange_.request, ExchangeOutcome::Replaced});
    SetExchange({state, ExchangeOutcome::Refused, Refusal::NotANumber});
    Queue(Notice::NumberExpected);
    FlushNotices();
    return;
  }
  v_.paramValue = *value;
  Request(state);
}

void LinkEngine::ReadSettings() {
  Request(LinkState::ReadSettings);
}
void LinkEngine::ReadParameters() {
  Request(LinkState::ReadParameters);
}
void LinkEngine::ReadServiceValues() {
  Request(LinkState::ReadService);
}
void LinkEngine::ReadProgramName() {
  Request(LinkState::ReadProgramName);
}
void LinkEngine::Run() {
  Request(LinkState::Run);
}
void LinkEngine::Stop() {
  Request(LinkState::Stop);
}

void LinkEngine::ReadMemory(Entered address) {
  memoryAddress_ = MemoryReadAddress(address);
  Request(LinkState::MemoryRead);
}

void LinkEngine::WriteMemory(Entered address, Entered data) {
  writeAddress_ = address;
  writeData_ = data;
  Request(LinkState::MemoryWrite);
}

void LinkEngine::WriteOutput(int output, bool shownOn) {
  if (output != 1 && output != 2) return;
  v_.outputValue = static_cast<std::uint16_t>(output * 0x100 + (shownOn ? 1 : 0));
  Request(LinkState::Output);
}

bool LinkEngine::Move() {
  if (v_.motorRunning || v_.linkState == LinkState::Move || v_.linkState == LinkState::MoveWait)
    return false;
  v_.motorRunning = true;
  Request(LinkState::Move);
  return true;
}

void LinkEngine::SetScript(bool on) {
  v_.scriptOn = on;
  Request(on ? LinkState::ScriptOn : LinkState::Stop);
}

void LinkEngine::EnableDebug(const AddressLines& lines) {
  addressLines_ = lines;
  v_.debugOn = true;
}

void LinkEngine::DisableDebug() {
  v_.debugOn = false;
}

}  // namespace kivra::link
