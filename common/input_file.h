#pragma once

// The operating system's part of reading a file: say what a name leads to, open a regular
// file for reading without ever waiting, read one piece. What may be read and how much is
// decided once, in file_read.h; each system has its own small version of this part
// (input_file_posix.cpp). A path is the system's bytes for the name; where names are text
// (Windows), UTF-8. On Windows, a name whose file type is not a disk file (GetFileType)
// is a device or a pipe.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kivra::os {

// What a name leads to (a link is followed).
enum class NodeKind : std::uint8_t { Regular, Folder, Device, Fifo, Socket, Other };

enum class OsError : std::uint8_t { Missing, NoPermission, Other };

struct OsFailure {
  OsError error = OsError::Other;
  std::string text;  // the system's words ("Input/output error")
};

// A regular file opened for reading.
class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Looks at what `path` leads to and opens it only when it is a regular file, so that a
  // device (a serial port raises its modem lines when opened) is never opened and a FIFO
  // never waited on. Afterwards kind() tells what it is and, for a regular file, size() its
  // size; anything but a regular file stays closed. Fails only when the name leads nowhere
  // or the file cannot be opened.
  std::optional<OsFailure> Open(const std::string& path);
  NodeKind kind() const { return kind_; }
  std::uint64_t size() const { return size_; }

  // Up to buffer.size() bytes from an open file: how many, 0 at its end, nothing on a
  // failure (said in `failure`).
  std::optional<std::size_t> Read(std::span<char> buffer, OsFailure& failure);

 private:
  void Close();

  std::intptr_t handle_ = -1;  // a descriptor, or a handle on systems that have them
  NodeKind kind_ = NodeKind::Other;
  std::uint64_t size_ = 0;
};

}  // namespace kivra::os
