#include <algorithm>

#include "common/com_port.h"
#include "serial/port_list.h"

namespace kivra::serial {

std::vector<PortInfo> ComPortList(const std::vector<std::string>& portNames,
                                  const std::map<std::string, std::string>& friendlyNames) {
  std::vector<PortInfo> ports;
  for (const std::string& name : portNames) {
    const ComPortText parsed = ParseComPort(name);
    // A bare number is no port name, and COM0 is no port.
    if (!parsed.port || name.find_first_not_of("0123456789 ") == std::string::npos) continue;
    const std::uint16_t n = parsed.port->number();
    const bool seen = std::any_of(ports.begin(), ports.end(),
                                  [&](const PortInfo& p) { return p.comNumber == n; });
    if (seen) continue;
    PortInfo info;
    info.comNumber = n;
    info.path = "COM" + std::to_string(n);
    const auto friendly = friendlyNames.find(info.path);
    info.description = friendly != friendlyNames.end() && !friendly->second.empty()
                           ? friendly->second
                           : "Serial port " + info.path;
    ports.push_back(std::move(info));
  }
  std::sort(ports.begin(), ports.end(),
            [](const PortInfo& a, const PortInfo& b) { return a.comNumber < b.comNumber; });
  return ports;
}

}  // namespace kivra::serial
