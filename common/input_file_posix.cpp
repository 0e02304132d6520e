#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/input_file.h"

namespace kivra::os {
namespace {

NodeKind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return NodeKind::Regular;
  if (S_ISDIR(mode)) return NodeKind::Folder;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return NodeKind::Device;
  if (S_ISFIFO(mode)) return NodeKind::Fifo;
  if (S_ISSOCK(mode)) return NodeKind::Socket;
  return NodeKind::Other;
}

OsFailure FailureOf(int error) {
  const OsError kind = error == ENOENT || error == ENOTDIR ? OsError::Missing
                       : error == EACCES || error == EPERM ? OsError::NoPermission
                                                           : OsError::Other;
  return {kind, std::strerror(error)};
}

}  // namespace

InputFile::~InputFile() {
  Close();
}

void InputFile::Close() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
}

std::optional<OsFailure> InputFile::Open(const std::string& path) {
  Close();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return FailureOf(errno);
  kind_ = KindOf(st.st_mode);
  if (kind_ != NodeKind::Regular) return std::nullopt;

  // O_NONBLOCK because the name may have become a FIFO since the look above: opening one
  // would wait for a writer. O_NOCTTY for the same reason with a terminal.
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return FailureOf(errno);
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    return FailureOf(error);
  }
  kind_ = KindOf(st.st_mode);
  if (kind_ != NodeKind::Regular) {
    ::close(fd);
    return std::nullopt;
  }
  // Reads of a regular file wait for the disk as they should.
  if (const int flags = ::fcntl(fd, F_GETFL); flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  handle_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  return std::nullopt;
}

std::optional<std::size_t> InputFile::Read(std::span<char> buffer, OsFailure& failure) {
  if (handle_ < 0) {
    failure = FailureOf(EBADF);
    return std::nullopt;
  }
  for (;;) {
    const ssize_t n = ::read(static_cast<int>(handle_), buffer.data(), buffer.size());
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) {
      failure = FailureOf(errno);
      return std::nullopt;
    }
  }
}

}  // namespace kivra::os
