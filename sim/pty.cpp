#include "sim/pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace kivra::sim {
namespace {

[[noreturn]] void Fail(const std::string& what, int error = errno) {
  throw std::system_error(error, std::generic_category(), what);
}

void SetRawLine(int fd) {
  termios t{};
  if (tcgetattr(fd, &t) != 0) Fail("tcgetattr");
  cfmakeraw(&t);
  cfsetispeed(&t, B9600);
  cfsetospeed(&t, B9600);
  t.c_cflag &= ~(PARENB | CSIZE | CRTSCTS);
  t.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  if (tcsetattr(fd, TCSANOW, &t) != 0) Fail("tcsetattr");
}

// A new pseudo-terminal's controlling side, non-blocking, and the path of its port side.
int OpenMaster(std::string& portPath) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) Fail("posix_openpt");
  try {
    if (fcntl(master, F_SETFD, FD_CLOEXEC) != 0) Fail("fcntl");
    if (fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) Fail("fcntl");
    if (grantpt(master) != 0) Fail("grantpt");
    if (unlockpt(master) != 0) Fail("unlockpt");
    std::vector<char> name(256);
    if (const int e = ptsname_r(master, name.data(), name.size()); e != 0) Fail("ptsname_r", e);
    portPath = name.data();
  } catch (...) {
    close(master);
    throw;
  }
  return master;
}

// Pseudo-terminals made while looking for a particular number, given back at the end.
constexpr int kPreferredPathAttempts = 16;

}  // namespace

PseudoTerminal::PseudoTerminal(const std::string& preferredPath) {
  std::vector<int> others;
  const auto release = [&] {
    for (const int fd : others) close(fd);
  };
  try {
    master_ = OpenMaster(portPath_);
    for (int i = 1;
         i < kPreferredPathAttempts && !preferredPath.empty() && portPath_ != preferredPath; ++i) {
      others.push_back(master_);
      master_ = -1;
      master_ = OpenMaster(portPath_);
    }
    if (!preferredPath.empty() && portPath_ != preferredPath && !others.empty()) {
      // Taken by someone else: the first one made will do.
      std::swap(master_, others.front());
      std::vector<char> name(256);
      if (const int e = ptsname_r(master_, name.data(), name.size()); e != 0) Fail("ptsname_r", e);
      portPath_ = name.data();
    }
    release();
    others.clear();
    // The line settings belong to the port side and outlive this descriptor.
    const int port = open(portPath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (port < 0) Fail("open " + portPath_);
    try {
      SetRawLine(port);
    } catch (...) {
      close(port);
      throw;
    }
    close(port);
  } catch (...) {
    release();
    if (master_ >= 0) close(master_);
    throw;
  }
}

PseudoTerminal::~PseudoTerminal() {
  close(master_);
}

PortLink::PortLink(std::string path, const std::string& target)
    : path_(std::move(path)), target_(target) {
  struct stat st {};
  if (lstat(path_.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    Fail(path_ + " exists and is not a symbolic link", EEXIST);
  }
  // Made under a temporary name and renamed, so the path never names nothing or a
  // half-made link while another program opens it.
  const std::string temporary = path_ + ".new" + std::to_string(getpid());
  unlink(temporary.c_str());
  if (symlink(target_.c_str(), temporary.c_str()) != 0) Fail("symlink " + temporary);
  if (rename(temporary.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    Fail("rename " + temporary + " to " + path_, error);
  }
}

PortLink::~PortLink() {
  std::vector<char> buffer(target_.size() + 2);
  const ssize_t n = readlink(path_.c_str(), buffer.data(), buffer.size());
  if (n >= 0 && std::string(buffer.data(), static_cast<std::size_t>(n)) == target_) {
    unlink(path_.c_str());
  }
}

}  // namespace kivra::sim
