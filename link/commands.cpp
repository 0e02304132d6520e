#include "link/commands.h"

#include <array>

namespace kivra::link {
namespace {

namespace code = protocol::code;
using S = LinkState;
using A = Answer;
using O = Operand;

constexpr int kTries = kCommandAttempts;

// clang-format off
constexpr Command kCommands[] = {
    // code, send, wait, answer, interval, flush, attempts, operand, name
    {code::Status, S::Idle, S::StatusWait, A::Status, 25, false, kTries, O::None,
     {"durum sorgusu", "status request"}},
    {code::BeginDownload, S::DownloadBegin, S::DownloadBeginWait, A::Ack, 100, false,
     kDownloadAttempts, O::None, {"program yükleme başlangıcı", "begin download"}},
    {code::Run, S::Run, S::RunWait, A::Ack, 100, false, kTries, O::None,
     {"motor çalış", "motor run"}},
    {code::Stop, S::Stop, S::StopWait, A::Ack, 100, false, kTries, O::None,
     {"motor dur", "motor stop"}},
    {code::ScriptOn, S::ScriptOn, S::ScriptOnWait, A::Ack, 100, false, kTries, O::None,
     {"script aç", "script on"}},
    {code::MemoryRead, S::MemoryRead, S::MemoryReadWait, A::Memory, 100, false, kTries,
     O::MemoryRead, {"bellek oku", "memory read"}},
    {code::MemoryWrite, S::MemoryWrite, S::MemoryWriteWait, A::Ack, 100, false, kTries,
     O::MemoryWrite, {"bellek yaz", "memory write"}},
    {code::ReadParameters, S::ReadParameters, S::ReadParametersWait, A::ParamBlock, 100, true,
     kTries, O::None, {"parametreleri oku", "read parameters"}},
    {code::ReadSettings, S::ReadSettings, S::ReadSettingsWait, A::MotorSettings, 100, true,
     kTries, O::None, {"motor ayarlarını oku", "read motor settings"}},
    // MOVE is sent once: after a lost acknowledgement the motor may be moving already.
    {code::Move, S::Move, S::MoveWait, A::Ack, 200, false, 1, O::None, {"MOVE", "MOVE"}},
    {code::Speed, S::Speed, S::SpeedWait, A::Ack, 100, false, kTries, O::Setting,
     {"motor hızı", "speed"}, Setting::Speed, "speed", {Accept::Range, 1, 15000}},
    {code::RunCurrent, S::RunCurrent, S::RunCurrentWait, A::Ack, 100, false, kTries, O::Setting,
     {"çalışma akımı", "run current"}, Setting::RunCurrent, "run-current",
     {Accept::Range, 0, 1000}},
    {code::HoldCurrent, S::HoldCurrent, S::HoldCurrentWait, A::Ack, 100, false, kTries,
     O::Setting, {"bekleme akımı", "hold current"}, Setting::HoldCurrent, "hold-current",
     {Accept::Range, 0, 100}},
    {code::Microstep, S::Microstep, S::MicrostepWait, A::Ack, 100, false, kTries, O::Setting,
     {"mikro step", "micro-step"}, Setting::Microstep, "microstep", {Accept::Microstep}},
    {code::Ramp, S::Ramp, S::RampWait, A::Ack, 100, false, kTries, O::Setting,
     {"rampa", "ramp"}, Setting::Ramp, "ramp", {Accept::Range, 0, 9999}},
    {code::StartSpeed, S::StartSpeed, S::StartSpeedWait, A::Ack, 100, false, kTries, O::Setting,
     {"kalkış hızı", "start speed"}, Setting::StartSpeed, "start-speed",
     {Accept::Range, 10, 15000}},
    {code::Displacement, S::Displacement, S::DisplacementWait, A::Ack, 100, false, kTries,
     O::Setting, {"yerdeğiştirme", "displacement"}, Setting::Displacement, "displacement",
     {Accept::Any}},
    {code::Direction, S::Direction, S::DirectionWait, A::Ack, 100, false, kTries, O::Setting,
     {"dönüş yönü", "direction"}, Setting::Direction, "direction", {Accept::Range, 0, 1}},
    {code::SpeedMode, S::SpeedMode, S::SpeedModeWait, A::Ack, 100, false, kTries, O::Setting,
     {"hız modu", "speed mode"}, Setting::SpeedMode, "speed-mode", {Accept::Range, 0, 1}},
    {code::SpeedCoefficient, S::SpeedCoefficient, S::SpeedCoefficientWait, A::Ack, 100, false,
     kTries, O::Setting, {"hız katsayısı", "speed coefficient"}, Setting::SpeedCoefficient,
     "speed-coefficient", {Accept::Any}},
    {code::Service1, S::Service1, S::Service1Wait, A::Ack, 100, false, kTries, O::Setting,
     {"servis değeri 1", "service value 1"}, Setting::Service1, "service1",
     {Accept::Range, 70, 100}},
    {code::Service2, S::Service2, S::Service2Wait, A::Ack, 100, false, kTries, O::Setting,
     {"servis değeri 2", "service value 2"}, Setting::Service2, "service2",
     {Accept::Range, 70, 100}},
    {code::Output, S::Output, S::OutputWait, A::Ack, 200, true, kTries, O::Output,
     {"çıkış", "output"}},
    {code::Param16, S::Param16, S::Param16Wait, A::Ack, 100, false, kTries, O::Parameter,
     {"parametre", "parameter"}},
    {code::Param32, S::Param32, S::Param32Wait, A::Ack, 100, false, kTries, O::Parameter,
     {"parametre", "parameter"}},
    {code::ReadService, S::ReadService, S::ReadServiceWait, A::ServiceValues, 100, true, kTries,
     O::None, {"servis değerlerini oku", "read service values"}},
    {code::ReadProgramName, S::ReadProgramName, S::ReadProgramNameWait, A::ProgramName, 100,
     true, kTries, O::None, {"program adını oku", "read program name"}},
};
// clang-format on

// The settings' rows by the enum, checked once at compile time.
constexpr std::array<const Command*, kSettingCount> SettingRows() {
  std::array<const Command*, kSettingCount> rows{};
  for (const Command& c : kCommands)
    if (c.setting) rows[static_cast<std::size_t>(*c.setting)] = &c;
  return rows;
}
constexpr auto kSettingRows = SettingRows();

constexpr bool EverySettingHasOneRow() {
  std::size_t settings = 0;
  for (const Command& c : kCommands) settings += c.setting ? 1 : 0;
  for (const Command* c : kSettingRows)
    if (!c) return false;
  return settings == kSettingCount;
}
static_assert(EverySettingHasOneRow());

constexpr bool CodesAreUnique() {
  for (std::size_t i = 0; i < std::size(kCommands); ++i)
    for (std::size_t j = i + 1; j < std::size(kCommands); ++j)
      if (kCommands[i].code == kCommands[j].code) return false;
  return true;
}
static_assert(CodesAreUnique());

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

const Command* CommandByCode(std::uint8_t c) {
  for (const Command& row : kCommands)
    if (row.code == c) return &row;
  return nullptr;
}

const Command* CommandOfState(LinkState state) {
  for (const Command& row : kCommands)
    if (row.send == state || row.wait == state) return &row;
  return nullptr;
}

const Command& CommandOf(Setting setting) {
  return *kSettingRows[static_cast<std::size_t>(setting)];
}

std::optional<Setting> SettingByKey(std::string_view key) {
  for (const Command* row : kSettingRows)
    if (row->key == key) return row->setting;
  return std::nullopt;
}

std::uint8_t LetterOf(Answer answer) {
  switch (answer) {
    case Answer::Ack:
      return 0;
    case Answer::Status:
      return code::Status;
    case Answer::Memory:
      return code::MemoryRead;
    case Answer::ParamBlock:
      return code::ReadParameters;
    case Answer::MotorSettings:
      return code::ReadSettings;
    case Answer::ServiceValues:
      return code::ReadService;
    case Answer::ProgramName:
      return code::ReadProgramName;
  }
  return 0;
}

bool IsReplyLetter(std::uint8_t letter) {
  for (const Command& row : kCommands)
    if (row.answer != Answer::Ack && row.code == letter) return true;
  return false;
}

}  // namespace kivra::link
