#include "common/port_name.h"

#include <charconv>

#include "common/com_port.h"
#include "common/trim.h"

namespace kivra {
namespace {

std::optional<std::uint16_t> ParseNumber(std::string_view s) {
  if (s.empty()) return std::nullopt;
  std::uint16_t n = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return n;
}

bool StartsWithCom(std::string_view s) {
  return s.size() > 3 && (s[0] == 'C' || s[0] == 'c') && (s[1] == 'O' || s[1] == 'o') &&
         (s[2] == 'M' || s[2] == 'm');
}

}  // namespace

PortName PortName::Number(std::uint16_t number) {
  PortName p;
  p.number_ = number;
  return p;
}

PortName PortName::Device(std::string path) {
  PortName p;
  p.path_ = std::move(path);
  return p;
}

std::optional<PortName> PortName::Parse(std::string_view text) {
  text = TrimWhitespace(text);
  if (text.empty()) return std::nullopt;
  // Digits are a port number or a typo, never a device name.
  if (text.front() >= '0' && text.front() <= '9') {
    if (const auto n = ParseNumber(text)) return Number(*n);
    return std::nullopt;
  }
  if (StartsWithCom(text)) {
    if (const auto n = ParseNumber(text.substr(3))) return Number(*n);
    return std::nullopt;
  }
  // Windows' device namespace: \\.\COM7 is port 7; other names there are no ports.
  if (text.starts_with("\\\\")) return ParseComPort(text).port;
  if (text.find('/') != std::string_view::npos) return Device(std::string(text));
  // Only plain device names may stand alone; anything with blanks or signs is a typo.
  if (text.front() == '.' || text.front() == '-') return std::nullopt;
  for (const char c : text) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '_' || c == '-' || c == '.';
    if (!ok) return std::nullopt;
  }
  return Device("/dev/" + std::string(text));
}

std::string PortName::ToString() const {
  return IsNumber() ? std::to_string(number_) : path_;
}

std::string PortName::DisplayName() const {
  return IsNumber() ? "COM" + std::to_string(number_) : path_;
}

}  // namespace kivra
