#pragma once

// The operating-system side of the simulator: a pseudo-terminal whose port side (the
// slave) the tool opens as its serial device, while the simulator keeps the other side.

#include <string>

namespace kivra::sim {

class PseudoTerminal {
 public:
  // Creates the pair with the port side already in raw 9600 8N2 mode, so that nothing
  // is echoed or translated even before the tool sets the line up. Throws
  // std::system_error. With `preferredPath`, the port gets that device path back when it
  // is free (the system hands out the lowest free number, so this is tried a few times).
  explicit PseudoTerminal(const std::string& preferredPath = {});
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  int Fd() const { return master_; }  // non-blocking
  const std::string& PortPath() const { return portPath_; }

 private:
  int master_ = -1;
  std::string portPath_;
};

// A symbolic link to the port at a path of the user's choosing, for tools that want a
// fixed name. An existing symbolic link there is replaced; anything else is left alone
// and the constructor throws std::system_error. The link is removed on destruction if
// it still points to the same port.
class PortLink {
 public:
  PortLink(std::string path, const std::string& target);
  ~PortLink();
  PortLink(const PortLink&) = delete;
  PortLink& operator=(const PortLink&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string target_;
};

}  // namespace kivra::sim
