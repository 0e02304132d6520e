#include "serial/port_prompt.h"

#include <charconv>
#include <istream>
#include <ostream>
#include <string>

namespace kivra::serial {

std::optional<PortName> AskForPort(std::istream& in, std::ostream& out,
                                   const std::vector<PortInfo>& ports) {
  if (ports.empty()) {
    out << "No serial ports found.\n";
  } else {
    out << "Serial ports:\n";
    std::size_t width = 0;
    for (const auto& p : ports) width = std::max(width, p.path.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
      const PortInfo& p = ports[i];
      out << "  " << (i + 1) << "  " << p.path << std::string(width - p.path.size() + 2, ' ')
          << p.description;
      if (!p.byIdPath.empty()) out << "  " << p.byIdPath;
      out << "\n";
    }
  }
  for (;;) {
    out << (ports.empty() ? "Port (COMn or a device path; empty to cancel): "
                          : "Port (list number, COMn or a device path; empty to cancel): ")
        << std::flush;
    std::string line;
    if (!std::getline(in, line)) return std::nullopt;
    const std::optional<PortName> answer = PortName::Parse(line);
    if (!answer) {
      if (line.find_first_not_of(" \t\r") == std::string::npos) return std::nullopt;
      out << "Not a port: " << line << "\n";
      continue;
    }
    if (!answer->IsNumber()) return answer;
    // A bare number picks from the list; "COMn" names a port by number.
    const bool bare = line.find_first_of("cCoOmM") == std::string::npos;
    if (!bare) {
      if (answer->number() != 0) return answer;
      out << "There is no port COM0.\n";
      continue;
    }
    if (answer->number() >= 1 && answer->number() <= ports.size()) {
      return ports[answer->number() - 1].Name();
    }
    out << "No entry " << answer->number() << " in the list.\n";
  }
}

}  // namespace kivra::serial
