#include "link/frames.h"

#include "common/cp1254.h"

namespace kivra::link {
namespace {

void PutBig(Frame& f, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) f.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t Big(std::span<const std::uint8_t> b, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | b[at + i];
  return v;
}

// Starts a frame with a placeholder length; Seal writes the length and the checksum.
Frame Begin(std::uint8_t letter) {
  Frame f;
  f.reserve(FrameCapacity);
  f.push_back(0);
  f.push_back(letter);
  return f;
}

Frame Seal(Frame f) {
  f[0] = static_cast<std::uint8_t>(f.size() + 1);
  f.push_back(Xor(f));
  return f;
}

// Trim as the driver-side text fields are trimmed: blanks and control characters.
std::string_view TrimBlanks(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

Frame CommandFrame(std::uint8_t code, std::uint32_t value) {
  Frame f = Begin(protocol::letter::Command);
  f.push_back(code);
  PutBig(f, value, 4);
  return Seal(std::move(f));
}

Frame ParameterFrame(std::uint8_t code, std::int32_t value, std::uint8_t index) {
  Frame f = Begin(protocol::letter::Command);
  f.push_back(code);
  PutBig(f, static_cast<std::uint32_t>(value), 4);
  f.push_back(index);
  return Seal(std::move(f));
}

Frame ProgramDataFrame(std::uint16_t offset, std::span<const std::uint8_t> code) {
  Frame f = Begin(protocol::letter::ProgramData);
  PutBig(f, offset, 2);
  f.insert(f.end(), code.begin(), code.begin() + std::min(code.size(), MaxChunk));
  return Seal(std::move(f));
}

Frame VectorFrame(std::uint16_t codeLength, const VectorTable& vectors) {
  Frame f = Begin(protocol::letter::Vectors);
  PutBig(f, codeLength, 2);
  f.insert(f.end(), vectors.begin(), vectors.end());
  return Seal(std::move(f));
}

Frame NameFrame(std::string_view nameBytes) {
  Frame f = Begin(protocol::letter::Name);
  nameBytes = nameBytes.substr(0, MaxNameBytes);
  f.insert(f.end(), nameBytes.begin(), nameBytes.end());
  return Seal(std::move(f));
}

std::string ProgramNameBytes(std::string_view utf8Path) {
  std::string_view path = TrimBlanks(utf8Path);
  if (auto cut = path.find_last_of("\\/"); cut != std::string_view::npos)
    path.remove_prefix(cut + 1);
  return Utf8ToCp1254(path);
}

bool IsValidReply(std::span<const std::uint8_t> bytes, std::uint8_t letter) {
  return bytes.size() >= 2 && Xor(bytes) == 0 && bytes[1] == letter;
}

// Minimum lengths: the last byte each reply's fields use, plus the checksum after it.
std::optional<StatusReply> DecodeStatus(std::span<const std::uint8_t> r) {
  if (r.size() < 12) return std::nullopt;
  StatusReply s;
  s.io = r[2];
  s.analog1 = r[3];
  s.analog2 = r[4];
  s.mode = r[5];
  s.temperature = r[6];
  s.firmware = r[7];
  s.address = static_cast<std::uint16_t>(Big(r, 9, 2));
  return s;
}

std::optional<MotorSettings> DecodeMotorSettings(std::span<const std::uint8_t> r) {
  if (r.size() < 23) return std::nullopt;
  MotorSettings m;
  m.speed = static_cast<std::uint16_t>(Big(r, 2, 2));
  m.runCurrent = static_cast<std::uint16_t>(Big(r, 4, 2));
  m.holdCurrent = static_cast<std::uint16_t>(Big(r, 6, 2));
  m.microstep = r[8];
  m.ramp = static_cast<std::uint16_t>(Big(r, 9, 2));
  m.startSpeed = static_cast<std::uint16_t>(Big(r, 11, 2));
  m.direction = r[13];
  m.displacement = static_cast<std::int32_t>(Big(r, 14, 4));
  m.speedMode = static_cast<std::uint16_t>(Big(r, 18, 2));
  m.speedCoefficient = static_cast<std::uint16_t>(Big(r, 20, 2));
  return m;
}

std::optional<ParameterBlock> DecodeParameterBlock(std::span<const std::uint8_t> r) {
  if (r.size() < 63) return std::nullopt;
  ParameterBlock p;
  for (std::size_t i = 0; i < p.prm9to20.size(); ++i)
    p.prm9to20[i] = static_cast<std::uint16_t>(Big(r, 18 + 2 * i, 2));
  for (std::size_t i = 0; i < p.prm21to25.size(); ++i)
    p.prm21to25[i] = static_cast<std::int32_t>(Big(r, 42 + 4 * i, 4));
  return p;
}

std::optional<ServiceValues> DecodeServiceValues(std::span<const std::uint8_t> r) {
  if (r.size() < 5) return std::nullopt;
  return ServiceValues{r[2], r[3]};
}

std::optional<std::uint8_t> DecodeMemoryValue(std::span<const std::uint8_t> r) {
  if (r.size() < 4) return std::nullopt;
  return r[2];
}

std::optional<std::string> DecodeProgramName(std::span<const std::uint8_t> r) {
  if (r.size() < 3) return std::nullopt;
  std::string_view text(reinterpret_cast<const char*>(r.data()) + 2, r.size() - 3);
  return Cp1254ToUtf8(TrimBlanks(text));
}

}  // namespace kivra::link
