#pragma once

// Reading a file the user names: a program, a parameter file, the settings. It is checked
// before it is read and then read in bounded pieces. Only a regular file is read: a folder,
// a device (/dev/zero never ends), a FIFO (it waits for a writer for ever) or a socket is
// refused with what it is, and so is a file larger than its kind can sanely be, before any
// of its bytes are read. Whatever the name leads to, a read ends and holds at most the
// kind's limit in memory. The window and `kivra` read every such file through here, so both
// refuse the same files with the same words (texts::FileNotRead).

#include <cstdint>
#include <optional>
#include <string>

namespace kivra {

enum class FileKind : std::uint8_t { Program, Parameters, Settings };

// The most bytes a file of the kind may hold. A program has at most 2048 bytes of code, a
// few hundred lines; 1 MB leaves room for ten thousand lines of comments. A parameter file
// is under a kilobyte, and so is the settings file.
constexpr std::uint64_t MaxFileBytes(FileKind kind) {
  switch (kind) {
    case FileKind::Program:
      return 1024 * 1024;
    case FileKind::Parameters:
    case FileKind::Settings:
      return 64 * 1024;
  }
  return 0;
}

enum class FileRefusal : std::uint8_t {
  Missing,
  NoPermission,
  Folder,
  Device,
  Fifo,
  Socket,
  NotRegular,  // anything else that is not a regular file
  TooLarge,
  ReadFailed,  // the system's words in `detail`
};

// True when the file was refused for what it is or for its size, rather than because it
// is missing or cannot be opened or read.
constexpr bool RefusedForWhatItIs(FileRefusal refusal) {
  return refusal != FileRefusal::Missing && refusal != FileRefusal::NoPermission &&
         refusal != FileRefusal::ReadFailed;
}

struct FileReadError {
  FileRefusal refusal = FileRefusal::ReadFailed;
  FileKind kind = FileKind::Program;
  std::string detail;
};

// The file's bytes, or nothing with why in `error`.
std::optional<std::string> ReadCheckedFile(const std::string& path, FileKind kind,
                                           FileReadError& error);

// The same checks without reading, for a file that another library reads: nothing when
// the file may be read, or why not (Missing included).
std::optional<FileReadError> CheckFile(const std::string& path, FileKind kind);

}  // namespace kivra
