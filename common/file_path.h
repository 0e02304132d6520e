#pragma once

// File names as this program holds them: UTF-8 text, whatever the system. POSIX systems
// take those bytes as they are; Windows takes wide characters, and the narrow calls there
// would read the bytes in the ANSI code page, so that "Çıkış.kv3" named another file.
// Every file the program opens by a name it was given goes through these.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace kivra {

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(
      std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

// std::fopen by a UTF-8 name (on Windows through _wfopen); nullptr with errno set on failure.
std::FILE* OpenFile(const std::string& utf8Path, const char* mode);

}  // namespace kivra
