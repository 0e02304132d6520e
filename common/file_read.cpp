#include "common/file_read.h"

#include <utility>
#include <vector>

#include "common/input_file.h"

namespace kivra {
namespace {

constexpr std::size_t kPieceBytes = 64 * 1024;

FileReadError Refused(FileRefusal refusal, FileKind kind, std::string detail = {}) {
  return {refusal, kind, std::move(detail)};
}

FileReadError FromOs(const os::OsFailure& failure, FileKind kind) {
  switch (failure.error) {
    case os::OsError::Missing:
      return Refused(FileRefusal::Missing, kind);
    case os::OsError::NoPermission:
      return Refused(FileRefusal::NoPermission, kind);
    case os::OsError::Other:
      break;
  }
  return Refused(FileRefusal::ReadFailed, kind, failure.text);
}

std::optional<FileRefusal> RefusalOfKind(os::NodeKind node) {
  switch (node) {
    case os::NodeKind::Regular:
      return std::nullopt;
    case os::NodeKind::Folder:
      return FileRefusal::Folder;
    case os::NodeKind::Device:
      return FileRefusal::Device;
    case os::NodeKind::Fifo:
      return FileRefusal::Fifo;
    case os::NodeKind::Socket:
      return FileRefusal::Socket;
    case os::NodeKind::Other:
      break;
  }
  return FileRefusal::NotRegular;
}

// Opens the file when it may be read at all; `error` says why not.
bool OpenChecked(os::InputFile& file, const std::string& path, FileKind kind,
                 FileReadError& error) {
  if (const auto failure = file.Open(path)) {
    error = FromOs(*failure, kind);
    return false;
  }
  if (const auto refusal = RefusalOfKind(file.kind())) {
    error = Refused(*refusal, kind);
    return false;
  }
  if (file.size() > MaxFileBytes(kind)) {
    error = Refused(FileRefusal::TooLarge, kind);
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadCheckedFile(const std::string& path, FileKind kind,
                                           FileReadError& error) {
  os::InputFile file;
  if (!OpenChecked(file, path, kind, error)) return std::nullopt;
  const std::uint64_t limit = MaxFileBytes(kind);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(file.size()));
  std::vector<char> piece(kPieceBytes);
  // To the end rather than to the size the file had when it was opened: it may be growing,
  // and files of the system's own (/proc) say 0.
  for (;;) {
    os::OsFailure failure;
    const auto n = file.Read(piece, failure);
    if (!n) {
      error = FromOs(failure, kind);
      return std::nullopt;
    }
    if (*n == 0) return bytes;
    if (bytes.size() + *n > limit) {
      error = Refused(FileRefusal::TooLarge, kind);
      return std::nullopt;
    }
    bytes.append(piece.data(), *n);
  }
}

std::optional<FileReadError> CheckFile(const std::string& path, FileKind kind) {
  os::InputFile file;
  FileReadError error;
  if (!OpenChecked(file, path, kind, error)) return error;
  return std::nullopt;
}

}  // namespace kivra
