#include "common/com_port.h"

#include "common/texts.h"
#include "common/trim.h"

namespace kivra {
namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(s[i]) != prefix[i]) return false;
  }
  return true;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// A run of digits as a port number; anything above the highest port counts as too high,
// however many digits it has.
ComPortText Numbered(std::string_view digits, bool named) {
  std::size_t i = 0;
  while (i + 1 < digits.size() && digits[i] == '0') ++i;
  digits.remove_prefix(i);
  int n = 0;
  for (const char c : digits) {
    n = n * 10 + (c - '0');
    if (n > kHighestComPort) return {std::nullopt, ComPortProblem::TooHigh};
  }
  if (n == 0 && named) return {std::nullopt, ComPortProblem::Zero};
  return {PortName::Number(static_cast<std::uint16_t>(n)), ComPortProblem::None};
}

// "COMn", with the colon DOS allowed after a device name.
ComPortText ComName(std::string_view s) {
  if (!StartsWithNoCase(s, "com")) return {std::nullopt, ComPortProblem::NotAPort};
  s.remove_prefix(3);
  if (!s.empty() && s.back() == ':') s.remove_suffix(1);
  if (s.empty()) return {std::nullopt, ComPortProblem::NoNumber};
  if (!AllDigits(s)) return {std::nullopt, ComPortProblem::NotAPort};
  return Numbered(s, true);
}

}  // namespace

ComPortText ParseComPort(std::string_view text) {
  text = TrimWhitespace(text);
  if (text.empty()) return {std::nullopt, ComPortProblem::Empty};
  if (AllDigits(text)) return Numbered(text, false);
  // The device namespace: \\.\COM7 (and \\?\COM7, which reaches the same device).
  for (const std::string_view device : {"\\\\.\\", "\\\\?\\", "//./", "//?/"}) {
    if (!text.starts_with(device)) continue;
    const std::string_view name = text.substr(device.size());
    if (StartsWithNoCase(name, "pipe\\") || StartsWithNoCase(name, "pipe/")) {
      return {std::nullopt, ComPortProblem::Pipe};
    }
    return ComName(name);
  }
  return ComName(text);
}

std::string ComPortProblemText(ComPortProblem problem, std::string_view text, Language language) {
  using texts::Bilingual;
  static constexpr Bilingual kEmpty{"port belirtilmedi", "no port given"};
  static constexpr Bilingual kNoNumber{" bir port numarası ister: COM1 ile COM255 arası",
                                       " needs a port number: COM1 to COM255"};
  static constexpr Bilingual kZero{
      "COM0 diye bir port yok: portlar COM1'den başlar (yalnız 0 yazmak port sorar)",
      "there is no port COM0: ports are numbered from COM1 (0 alone asks for a port)"};
  static constexpr Bilingual kTooHigh{": port numarası en çok COM255 olabilir",
                                      ": port numbers go up to COM255"};
  static constexpr Bilingual kPipe{" bir boru hattı (pipe), seri port değil",
                                   " is a pipe, not a serial port"};
  static constexpr Bilingual kNotAPort{
      " bir seri port değil: COMn, \\\\.\\COMn ya da yalnız port numarasını yazın",
      " is not a serial port: give COMn, \\\\.\\COMn or the port number alone"};
  const std::string quoted = "\"" + std::string(TrimWhitespace(text)) + "\"";
  switch (problem) {
    case ComPortProblem::None:
      return {};
    case ComPortProblem::Empty:
      return std::string(Pick(kEmpty, language));
    case ComPortProblem::NoNumber:
      return quoted + std::string(Pick(kNoNumber, language));
    case ComPortProblem::Zero:
      return std::string(Pick(kZero, language));
    case ComPortProblem::TooHigh:
      return quoted + std::string(Pick(kTooHigh, language));
    case ComPortProblem::Pipe:
      return quoted + std::string(Pick(kPipe, language));
    case ComPortProblem::NotAPort:
      return quoted + std::string(Pick(kNotAPort, language));
  }
  return {};
}

}  // namespace kivra
