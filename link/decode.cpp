#include "link/decode.h"

#include <cstdio>

#include "common/cp1254.h"
#include "link/commands.h"
#include "link/texts.h"
#include "link/values.h"

namespace kivra::link {
namespace {

namespace code = protocol::code;

std::uint32_t Big(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

const char* Say(const texts::Bilingual& text, Language language) {
  // The catalogue's texts are literals: their views end where the literal does.
  return texts::Pick(text, language).data();
}

std::string Bits(std::uint8_t bits, int first, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) s += (bits >> (first + i)) & 1 ? '1' : '0';
  return s;
}

std::string Format(const char* format, auto... args) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, format, args...);
  return buffer;
}

std::string TrimmedText(std::span<const std::uint8_t> b) {
  std::string_view s(reinterpret_cast<const char*>(b.data()), b.size());
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return Cp1254ToUtf8(s);
}

void DecodeSent(std::span<const std::uint8_t> b, DecodedFrame& d) {
  const std::uint8_t letter = b[1];
  const std::size_t n = b.size();
  if (letter == protocol::letter::Command && n == 8) {
    d.kind = FrameKind::Command;
    d.code = b[2];
    d.value = Big(b, 3, 4);
  } else if (letter == protocol::letter::Command && n == 9) {
    d.kind = FrameKind::Parameter;
    d.code = b[2];
    d.value = static_cast<std::int32_t>(Big(b, 3, 4));
    d.index = b[7];
  } else if (letter == protocol::letter::ProgramData && n >= 5 && n <= MaxChunk + 5) {
    d.kind = FrameKind::ProgramData;
    d.value = Big(b, 2, 2);
    d.count = n - 5;
  } else if (letter == protocol::letter::Vectors && n == 35) {
    d.kind = FrameKind::Vectors;
    d.value = Big(b, 2, 2);
  } else if (letter == protocol::letter::Name) {
    d.kind = FrameKind::Name;
    d.text = TrimmedText(b.subspan(2, n - 3));
  }
}

// A reply of any length is read: each decoder takes the bytes it reads and leaves a reply
// too short for them undecoded.
void DecodeReceived(std::span<const std::uint8_t> b, DecodedFrame& d) {
  const std::uint8_t letter = b[1];
  if (!IsReplyLetter(letter)) return;
  const auto take = [&](FrameKind kind, const auto& decoded, auto& field) {
    if (!decoded) return;
    d.kind = kind;
    d.code = letter;
    field = *decoded;
  };
  switch (letter) {
    case code::Status:
      return take(FrameKind::StatusReply, DecodeStatus(b), d.status);
    case code::ReadSettings:
      return take(FrameKind::SettingsReply, DecodeMotorSettings(b), d.settings);
    case code::ReadParameters:
      return take(FrameKind::ParameterReply, DecodeParameterBlock(b), d.parameters);
    case code::ReadService:
      return take(FrameKind::ServiceReply, DecodeServiceValues(b), d.service);
    case code::MemoryRead: {
      std::int64_t value = 0;
      const auto cell = DecodeMemoryValue(b);
      if (cell) value = *cell;
      return take(FrameKind::MemoryReply, cell ? std::optional<std::int64_t>(value) : std::nullopt,
                  d.value);
    }
    case code::ReadProgramName:
      return take(FrameKind::NameReply, DecodeProgramName(b), d.text);
    default:
      return;
  }
}

std::string DescribeCommand(const DecodedFrame& d, Language language) {
  const Command* c = CommandByCode(d.code);
  if (!c)
    return Format("%s '%c' = %lld", Say(texts::kUnknownCommand, language),
                  d.code >= 0x20 && d.code < 0x7F ? d.code : '?', static_cast<long long>(d.value));
  std::string s(texts::Pick(c->name, language));
  const bool hasValue = c->operand != Operand::None;
  if (!hasValue) return d.value == 0 ? s : s + Format(" (%lld)", static_cast<long long>(d.value));
  switch (d.code) {
    case code::MemoryRead:
      return s +
             Format(" %s %lld", Say(texts::kAddress, language), static_cast<long long>(d.value));
    case code::MemoryWrite:
      return s + Format(" %s %lld = %lld", Say(texts::kAddress, language),
                        static_cast<long long>(d.value & 0xFFFF),
                        static_cast<long long>(d.value >> 16));
    case code::Direction:
      return s + " = " +
             (d.value == 0 ? Say(texts::kLeftWord, language) : Say(texts::kRightWord, language));
    case code::Displacement:
    case code::SpeedCoefficient:
      return s + Format(" = %d", static_cast<std::int32_t>(static_cast<std::uint32_t>(d.value)));
    default:
      return s + Format(" = %lld", static_cast<long long>(d.value));
  }
}

std::string DescribeStatus(const StatusReply& s, Language language) {
  return Format(
      Say(texts::kStatusFormat, language), Bits(s.io, 0, 6).c_str(), Bits(s.io, 6, 2).c_str(),
      s.analog1, s.analog2, s.temperature,
      s.ControllerMode() ? Say(texts::kControllerMode, language) : "step/dir",
      s.ScriptRunning() ? Say(texts::kOn, language) : Say(texts::kOff, language),
      s.MotorRunning() ? Say(texts::kMotorRunning, language) : Say(texts::kMotorStopped, language),
      s.firmware / 10, s.firmware % 10, s.address);
}

std::string DescribeSettings(const MotorSettings& m, Language language) {
  return Format(
      Say(texts::kSettingsFormat, language), m.speed, m.runCurrent, m.holdCurrent, m.microstep,
      m.ramp, m.startSpeed,
      m.direction == 0 ? Say(texts::kLeftWord, language) : Say(texts::kRightWord, language),
      m.displacement, m.speedMode, m.speedCoefficient);
}

std::string DescribeParameters(const ParameterBlock& p, Language language) {
  std::string s = Say(texts::kParameters, language);
  int prm = kFirstParameter;
  for (std::uint16_t v : p.prm9to20) s += Format(" %d=%u", prm++, v);
  for (std::int32_t v : p.prm21to25) s += Format(" %d=%d", prm++, v);
  return s;
}

}  // namespace

DecodedFrame DecodeFrame(std::span<const std::uint8_t> b, Direction direction) {
  DecodedFrame d;
  if (direction == Direction::Received && b.size() == 1 && b[0] == AckByte) {
    d.kind = FrameKind::Ack;
    d.checksumOk = true;
    return d;
  }
  // Every frame announces its own length; bytes that disagree are not one frame.
  if (b.size() < 3 || b[0] != b.size()) return d;
  d.checksumOk = Xor(b) == 0;
  if (direction == Direction::Sent) {
    DecodeSent(b, d);
  } else {
    DecodeReceived(b, d);
  }
  if (d.kind == FrameKind::Raw) d.checksumOk = false;
  return d;
}

std::string DescribeFrame(const DecodedFrame& d, Language language) {
  std::string s;
  switch (d.kind) {
    case FrameKind::Command:
      s = DescribeCommand(d, language);
      break;
    case FrameKind::Parameter: {
      const int prm = d.code == code::Param32 ? d.index + 21 : d.index + 1;
      s = Format("%s %d = %d", Say(texts::kParameter, language), prm,
                 static_cast<std::int32_t>(d.value));
      break;
    }
    case FrameKind::ProgramData:
      s = Format(Say(texts::kProgramDataFormat, language), d.count,
                 static_cast<long long>(d.value));
      break;
    case FrameKind::Vectors:
      s = Format(Say(texts::kVectorsFormat, language), static_cast<long long>(d.value));
      break;
    case FrameKind::Name:
      s = Say(texts::kProgramName, language) + d.text;
      break;
    case FrameKind::Ack:
      s = Say(texts::kAcknowledgement, language);
      break;
    case FrameKind::StatusReply:
      s = DescribeStatus(d.status, language);
      break;
    case FrameKind::SettingsReply:
      s = DescribeSettings(d.settings, language);
      break;
    case FrameKind::ParameterReply:
      s = DescribeParameters(d.parameters, language);
      break;
    case FrameKind::ServiceReply:
      s = Format(Say(texts::kServiceFormat, language), d.service.value1, d.service.value2);
      break;
    case FrameKind::MemoryReply:
      s = Format(Say(texts::kMemoryFormat, language), static_cast<long long>(d.value));
      break;
    case FrameKind::NameReply:
      s = Say(texts::kProgramInDriver, language) + d.text;
      break;
    case FrameKind::Raw:
      return Say(texts::kUndecodable, language);
  }
  if (!d.checksumOk) s += Say(texts::kChecksumWrong, language);
  return s;
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(bytes.size() * 3);
  for (std::uint8_t b : bytes) {
    if (!s.empty()) s += ' ';
    s += kDigits[b >> 4];
    s += kDigits[b & 15];
  }
  return s;
}

bool LineEvent::IsStatusPoll() const {
  if (direction == Direction::Sent)
    return bytes.size() == 8 && bytes[1] == protocol::letter::Command && bytes[2] == code::Status;
  return bytes.size() >= 2 && bytes[1] == code::Status && bytes.size() == bytes[0];
}

}  // namespace kivra::link
