#include "common/cp1254.h"

#include <array>
#include <cstdint>

namespace kivra {
namespace {

// Code points of bytes 80h..9Fh; the rest of the page is Latin-1 except six Turkish letters.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x008E, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178,  // 98..9F
};

char32_t CodePoint(std::uint8_t b) {
  if (b < 0x80) return b;
  if (b < 0xA0) return kHighControls[b - 0x80];
  switch (b) {
    case 0xD0:
      return 0x011E;  // Ğ
    case 0xDD:
      return 0x0130;  // İ
    case 0xDE:
      return 0x015E;  // Ş
    case 0xF0:
      return 0x011F;  // ğ
    case 0xFD:
      return 0x0131;  // ı
    case 0xFE:
      return 0x015F;  // ş
    default:
      return b;
  }
}

// Returns -1 when the code point has no byte in the code page.
int ByteOf(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  for (int b = 0x80; b <= 0xFF; ++b) {
    if (CodePoint(static_cast<std::uint8_t>(b)) == cp) return b;
  }
  return -1;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at `i`; returns false for a malformed one (i then skips one byte).
bool NextCodePoint(std::string_view s, std::size_t& i, char32_t& cp) {
  const auto b0 = static_cast<std::uint8_t>(s[i]);
  int extra = 0;
  if (b0 < 0x80) {
    cp = b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    cp = b0 & 0x1F;
    extra = 1;
  } else if ((b0 & 0xF0) == 0xE0) {
    cp = b0 & 0x0F;
    extra = 2;
  } else if ((b0 & 0xF8) == 0xF0) {
    cp = b0 & 0x07;
    extra = 3;
  } else {
    ++i;
    return false;
  }
  if (extra > 0 && i + extra >= s.size()) {
    ++i;
    return false;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<std::uint8_t>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return false;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += extra + 1;
  return true;
}

}  // namespace

std::string Cp1254ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) AppendUtf8(out, CodePoint(static_cast<std::uint8_t>(c)));
  return out;
}

std::string Utf8ToCp1254(std::string_view utf8, char replacement) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = 0;
    if (!NextCodePoint(utf8, i, cp)) {
      out += replacement;
      continue;
    }
    const int b = ByteOf(cp);
    out += b < 0 ? replacement : static_cast<char>(b);
  }
  return out;
}

bool IsCp1254Representable(std::string_view utf8) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = 0;
    if (!NextCodePoint(utf8, i, cp) || ByteOf(cp) < 0) return false;
  }
  return true;
}

}  // namespace kivra

namespace kivra {

bool IsValidUtf8(std::string_view bytes) {
  std::size_t i = 0;
  char32_t cp = 0;
  while (i < bytes.size())
    if (!NextCodePoint(bytes, i, cp)) return false;
  return true;
}

}  // namespace kivra
