#pragma once

// Windows only: the system's wide-character text and this program's UTF-8, and the
// system's own words for an error number.

#include <string>
#include <string_view>

namespace kivra::win32 {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// FormatMessage's text for a system error (GetLastError()), without the line break it
// ends with; "error N" when the system has none.
std::string ErrorText(unsigned long error);

}  // namespace kivra::win32
