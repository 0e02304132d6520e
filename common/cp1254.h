#pragma once

// Text on the driver's side of the system (program files, the wire) is single-byte
// Windows Turkish, code page 1254. Everything inside our code is UTF-8.

#include <string>
#include <string_view>

namespace kivra {

// Every byte has a code point: the seven bytes the code page leaves undefined
// (81h, 8Dh, 8Eh, 8Fh, 90h, 9Dh, 9Eh) map to the C1 control of the same value,
// so a decode followed by an encode gives back the original bytes.
std::string Cp1254ToUtf8(std::string_view bytes);

// Characters without a code page 1254 byte, and malformed UTF-8, become `replacement`.
std::string Utf8ToCp1254(std::string_view utf8, char replacement = '?');

// True when `bytes` is well-formed UTF-8 (an ASCII text is).
bool IsValidUtf8(std::string_view bytes);

// True when every character of `utf8` has a byte in code page 1254.
bool IsCp1254Representable(std::string_view utf8);

}  // namespace kivra
